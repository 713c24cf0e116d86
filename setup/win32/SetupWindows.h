#pragma once
// The setup program's two windows: the background picture and the wizard with standard
// controls. Thin: they show the forms' data and pass the user's actions to the handlers.
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "setup/BackgroundForm.h"
#include "setup/MainForm.h"

namespace tavrin::setup {

class SetupWindows final : public WizardHost, public BackgroundHost {
public:
    explicit SetupWindows(HINSTANCE instance);
    ~SetupWindows() override;
    SetupWindows(const SetupWindows&) = delete;
    SetupWindows& operator=(const SetupWindows&) = delete;

    // Creates both windows hidden; false when the system refuses.
    bool Create(const TBackgroundForm& background);
    // Shows the background (which shows the wizard) and runs the message loop until the
    // program ends.
    void Run(TBackgroundForm& background, TMainForm& wizard);

    // WizardHost
    void Show(const WizardForm& form) override;
    void ShowMessage(const std::wstring& text, const std::wstring& caption,
                     MessageKind kind) override;
    void PostProgress(int32_t position) override;
    void PostInstallEnded() override;
    void ProcessPendingMessages() override;
    void PostQuit() override;
    void CloseWizard() override;
    void SetApplicationTitle(const std::wstring& title) override;
    void SetIcon(const std::wstring& iconPath) override;
    void ScreenSize(int32_t& width, int32_t& height) override;
    void MoveBackground(int32_t left, int32_t top, int32_t width, int32_t height) override;

    // BackgroundHost
    bool ShowPicture(const std::wstring& path) override;
    void MakeSeeThrough() override;
    void ShowPictureError(const std::wstring& message) override;
    void ShowWizard() override;

private:
    struct ShownControl {
        HWND window = nullptr;
        WizardControl shown;  // as last applied
        bool created = false;
    };

    static LRESULT CALLBACK BackgroundProcedure(HWND, UINT, WPARAM, LPARAM);
    static LRESULT CALLBACK WizardProcedure(HWND, UINT, WPARAM, LPARAM);
    LRESULT OnBackgroundMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnWizardMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCommand(WORD id, WORD code);
    // Runs a handler; a configuration value that is no number is shown, as the application's
    // exception handler does, and the program goes on.
    template <class Handler>
    void Guarded(Handler handler);

    int Scale(int32_t designPixels) const;
    HFONT Font(const std::wstring& name, int32_t points);
    void CreateControls(const WizardForm& form);
    void Apply(ShownControl& control, const WizardControl& wanted, int32_t page);
    void PlaceLabel(ShownControl& control, const WizardControl& wanted, HFONT font);
    void PaintBackground();
    bool CloseAllowed() const;

    HINSTANCE instance_;
    HWND background_ = nullptr;
    HWND wizard_ = nullptr;
    TMainForm* wizardForm_ = nullptr;
    const WizardForm* form_ = nullptr;
    std::vector<ShownControl> controls_;
    std::map<std::pair<std::wstring, int32_t>, HFONT> fonts_;
    HBITMAP picture_ = nullptr;
    HICON largeIcon_ = nullptr;
    HICON smallIcon_ = nullptr;
    std::wstring title_;
    std::wstring caption_;
    int pixelsPerInch_ = 96;
    int defaultButtonId_ = 0;
    bool quitPosted_ = false;
    HWND savedFocus_ = nullptr;
    std::wstring focus_;
};

}  // namespace tavrin::setup
