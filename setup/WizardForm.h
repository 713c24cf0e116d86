#pragma once
// The setup wizard's window as data: the buttons, the three notebook pages and their controls,
// with the properties the handlers change. The Win32 host turns it into standard controls.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavrin::setup {

enum class WizardControlKind { Button, Label, ComboBox, ProgressBar, RadioButton, Hidden };

inline constexpr int32_t kEveryPage = -1;
inline constexpr int32_t kLanguagePage = 0;
inline constexpr int32_t kInstallPage = 1;
inline constexpr int32_t kFinishPage = 2;

struct WizardControl {
    std::wstring name;
    WizardControlKind kind = WizardControlKind::Label;
    int32_t page = kEveryPage;
    // Design pixels at 96 pixels per inch; a label without a width or height fits its text.
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
    std::wstring caption;
    bool visible = true;
    bool enabled = true;
    bool checked = false;  // radio buttons
    bool wordWrap = false;
    // 0x00BBGGRR, a font name and a size in points from the language texts; unset: the form's.
    std::optional<uint32_t> fontColour;
    std::wstring fontName;
    std::optional<int32_t> fontSize;
    std::vector<std::wstring> items;  // combo boxes
    int32_t selected = -1;
    int32_t position = 0;  // the progress bar, 0..100
};

class WizardForm {
public:
    static constexpr int32_t kClientWidth = 430;
    static constexpr int32_t kClientHeight = 153;
    static constexpr wchar_t kFontName[] = L"Tahoma";
    static constexpr int32_t kFontSize = 8;
    static constexpr wchar_t kDesignCaption[] = L"ZRN 7.1 USB Audio Setup";

    // The design: page 0 shown, "No, reboot later" checked, Back disabled and hidden, Finish
    // disabled.
    WizardForm();

    WizardControl& Control(std::wstring_view name);
    const WizardControl& Control(std::wstring_view name) const;
    const std::vector<WizardControl>& Controls() const { return controls_; }

    int32_t page = kLanguagePage;
    std::wstring caption = kDesignCaption;
    // The Close item of the window's system menu.
    bool closeEnabled = true;
    // The default button: Enter presses it.
    std::wstring defaultButton = L"NextBitBtn";
    // The control that has the keyboard focus.
    std::wstring focus = L"NextBitBtn";

    // Checks one of the two radio buttons, as a click does: the other one loses its check.
    void CheckReboot(bool reboot);

private:
    std::vector<WizardControl> controls_;
};

}  // namespace tavrin::setup
