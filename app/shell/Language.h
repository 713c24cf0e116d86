#pragma once
// Language texts: the captions, colours, fonts and positions of the main window's labels, read
// from Language.ini of the chosen language folder, and the Language menu.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/device/DeviceDiscovery.h"
#include "app/form/FormModel.h"
#include "app/shell/MainWindowHost.h"
#include "app/shell/ScreenSizeFolders.h"
#include "common/AudioConfig.h"
#include "ports/Platform.h"

namespace tavrin {

inline constexpr wchar_t kLanguageFileName[] = L"Language.ini";
inline constexpr size_t kLabelValueCapacity = 256;
inline constexpr size_t kLabelTextCapacity = 128;     // 127 characters and the end
inline constexpr size_t kLabelFontNameCapacity = 64;  // 63 characters and the end
inline constexpr size_t kLabelItemCount = 10;

struct GlobalFont {
    Colour colorUp = 0;     // 0: none
    Colour colorDown = 0;   // 0: none
    std::wstring font;      // empty: none
    int32_t fontSize = -1;  // -1: none
};

struct LabelRecord {
    std::wstring text;  // empty = control hidden
    Colour upColour = 0;
    bool hasUpColour = false;
    Colour downColour = 0;
    bool hasDownColour = false;
    std::wstring fontName;
    bool hasFontName = false;
    int32_t fontSize = 0;
    bool hasFontSize = false;
    int32_t left = 0, top = 0, width = 0, height = 0;
    bool hasLeft = false, hasTop = false, hasWidth = false, hasHeight = false;
    int32_t page = 0;

    // Has a text: not empty and not "(null)".
    bool HasText() const;
    bool operator==(const LabelRecord&) const = default;
};

// One label key of Language.ini, the control it feeds (empty when it feeds none of the main
// window's, e.g. message texts and menu captions) and the page its record defaults to.
struct LabelKey {
    const wchar_t* section;
    const wchar_t* key;
    const wchar_t* control;
    int32_t defaultPage;
};
const std::vector<LabelKey>& LabelKeys();

// Parses one label value; problems (over-long text or font name, more than ten items, an
// integer item that is not a number) are described in `problem`, and the record keeps what
// could be read (long texts cut to 127 characters, bad integers left unset). Integers are
// decimal; colours may also be written as 0x hexadecimal; blanks around numbers and the font
// name do not count.
LabelRecord ParseLabelValue(std::wstring_view value, int32_t defaultPage, bool oldVersion,
                            std::wstring* problem);

// The English Language.ini, built into the program: the captions of last resort.
std::string_view BuiltInLanguageText();

// Font scaling by pixels per inch; `beforeVista` for systems older than Windows Vista.
double ScreenFactor(int32_t pixelsPerInch, bool beforeVista);
// Rounds to the nearest integer, ties to even.
int32_t ScaledFontSize(int32_t points, double factor);

// What ApplyLanguageLabels needs of the window's state.
struct LabelLook {
    int32_t eqPreset = 1;
    int32_t micValue = 0;
    int32_t encValue = 0;
    // Labels with a state: true uses the down colour.
    std::function<bool(const Component&)> isSelected;
};

class LanguageManager {
public:
    LanguageManager(Platform& platform, MainWindowHost& ui, FormModel& form);

    // Program folder + LanguageFolderName + "\" and the resolution folder, each with its
    // trailing backslash: a language is looked for in the resolution folder, then at the top
    // level.
    void SetLanguageRoot(const std::wstring& topLevel, const std::wstring& resolutionFolder = L"") {
        languageRoot_ = topLevel;
        resolutionFolder_ = resolutionFolder;
    }
    void SetOldVersion(bool oldVersion) { oldVersion_ = oldVersion; }
    // Pre-Vista font factors apply when the operating-system class is below 6.
    void SetOperatingSystemClass(int32_t osClass) { osClass_ = osClass; }
    const std::wstring& LanguageName() const { return languageName_; }
    // The language chosen before any is loaded: the menu checks it.
    void SetLanguageName(const std::wstring& languageName) { languageName_ = languageName; }

    // Clears all records, reads [GlobalFont] and every label key of the folder's Language.ini;
    // no folder (an empty name) reads the built-in English captions.
    void LoadLanguage(const std::wstring& languageFolderName);
    // Usable: its Language.ini captions at least one page tab ([Main] LabelPageEQ,
    // LabelPageEffect, LabelPageMic or LabelPageVirtual7ch1); with none the window would have no
    // way to its pages. `why` says what is wrong otherwise.
    bool LanguageUsable(const std::wstring& languageFolderName, std::wstring& why);
    // At start, after BuildLanguageMenu: keeps the chosen language when it is usable, else checks
    // the first usable language of the menu and takes it, else takes the built-in English
    // captions (an empty name); the debug log says why.
    void ChooseUsableLanguage();
    // Applies one record to one control; `normal` chooses the up colour.
    void ApplyLabel(LabelRecord& record, Component& control, bool normal);
    // A caption's colour in the up or down state: the record's own, else the global colour,
    // else the colour it has.
    void ApplyStateColour(const LabelRecord& record, Component& label, bool down) const;
    // DeviceActiveLabel takes the text of the device state: LabelActive, LabelUnactive or
    // LabelUnDriver.
    void ApplyDeviceLabel(DeviceLabel label);
    DeviceLabel DeviceLabelShown() const { return deviceLabelShown_; }
    // Applies every record of the main window, then chains the page tabs.
    void ApplyLanguageLabels(const LabelLook& look);

    const GlobalFont& Global() const { return global_; }
    // The record of a key (an empty record for unknown keys).
    const LabelRecord& Record(std::wstring_view key) const;
    // The record that feeds a control (DeviceActiveLabel: the one for the device state shown
    // last), nullptr when none does.
    const LabelRecord* RecordForControl(std::wstring_view control) const;
    // The menu captions and message texts, with the built-in caption where the text is empty.
    std::wstring Text(std::wstring_view key, std::wstring_view fallback = L"") const;

    // The Language menu from the folders of the language root and their display names.
    std::vector<MenuItem> BuildLanguageMenu(const ConfigFile& config);
    // Checks the clicked item; the folder of the first item with the clicked caption becomes
    // the language name, which is returned. The caller loads and applies.
    std::wstring LanguageMenuClick(size_t index);
    // The Language menu as built, with the check where the last click left it.
    const std::vector<MenuItem>& LanguageMenuItems() const { return menu_; }

private:
    // Reads the value of a key of the texts being loaded.
    using ValueReader = std::function<std::wstring(const wchar_t* section, const wchar_t* key)>;

    void ClearRecords();
    std::wstring LanguageFile(const std::wstring& languageFolderName);
    // `source` names the texts in debug notes: the file, or the built-in captions.
    void LoadRecords(const std::wstring& source, const ValueReader& read);
    void LoadGlobalFont(const std::wstring& source, const ValueReader& read);
    std::wstring ReadLanguageValue(const std::wstring& file, const wchar_t* section,
                                   const wchar_t* key);
    void NoteProblem(const std::wstring& source, const wchar_t* section, const wchar_t* key,
                     const std::wstring& problem);
    void ChainPageTabs();

    Platform& platform_;
    MainWindowHost& ui_;
    FormModel& form_;
    std::wstring languageRoot_;
    std::wstring resolutionFolder_;
    std::wstring languageName_;
    bool oldVersion_ = false;
    int32_t osClass_ = 6;
    GlobalFont global_;
    std::vector<LabelRecord> records_;  // parallel to LabelKeys()
    DeviceLabel deviceLabelShown_ = DeviceLabel::Unactive;
    std::vector<std::wstring> menuFolders_;  // the hidden ListBoxLanguageMap
    std::vector<MenuItem> menu_;
};

}  // namespace tavrin
