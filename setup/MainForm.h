#pragma once
// The setup wizard: the language page, the installation with its progress, the finish page
// with the reboot choice. Portable; the Win32 host shows the form and calls the handlers.
#include <cstdint>
#include <string>
#include <vector>

#include "common/DeviceIdMgr.h"
#include "setup/BackgroundForm.h"
#include "setup/InstallSequence.h"
#include "setup/InstallWorker.h"
#include "setup/SetupPlatform.h"
#include "setup/SetupSession.h"
#include "setup/WizardForm.h"

namespace tavrin::setup {

// The setup program's path may be at most this long.
inline constexpr size_t kSetupPathMaxLength = 180;
inline constexpr wchar_t kTooLongPathText[] = L"TLPD - Too Long Path Detector";
inline constexpr wchar_t kTooLongPathCaption[] = L"ERROR";
inline constexpr wchar_t kInstallCaption[] = L"Install";

enum class MessageKind { Information, Error };

// What the wizard needs of the windowing system.
class WizardHost {
public:
    virtual ~WizardHost() = default;
    // The window shows the form as it is now.
    virtual void Show(const WizardForm& form) = 0;
    // A message box owned by the wizard with an OK button; callable from any thread.
    virtual void ShowMessage(const std::wstring& text, const std::wstring& caption,
                             MessageKind kind) = 0;
    // WM_USER + 32 and WM_USER + 33 to the wizard; callable from any thread.
    virtual void PostProgress(int32_t position) = 0;
    virtual void PostInstallEnded() = 0;
    // Lets the window's message queue run, so that the progress bar repaints.
    virtual void ProcessPendingMessages() = 0;
    virtual void PostQuit() = 0;
    // WM_CLOSE to the wizard: FormClose follows.
    virtual void CloseWizard() = 0;
    virtual void SetApplicationTitle(const std::wstring& title) = 0;
    virtual void SetIcon(const std::wstring& iconPath) = 0;
    virtual void ScreenSize(int32_t& width, int32_t& height) = 0;
    virtual void MoveBackground(int32_t left, int32_t top, int32_t width, int32_t height) = 0;
};

// True when the setup program's full path is too long for it to run.
bool SetupPathTooLong(const std::wstring& programPath);

class TMainForm {
public:
    // Reads the version, the machine, the shipped configuration; sets icon and title.
    TMainForm(SetupPlatform& platform, SetupSession& session, WizardHost& host,
              const TBackgroundForm& background, InstallSteps& steps);
    // Asks a running installation to stop after its step and waits for it.
    ~TMainForm();
    TMainForm(const TMainForm&) = delete;
    TMainForm& operator=(const TMainForm&) = delete;

    void FormShow();
    void ComboBoxChange(int32_t index);
    void NextBitBtnClick();
    void BackBitBtnClick();
    void FinishBitBtnClick();
    void CancelBitBtnClick();
    // A click on "Yes, reboot now" (true) or "No, reboot later".
    void RadioButtonClick(bool reboot);
    void FormClose();
    // WM_USER + 32 and WM_USER + 33.
    void ProgressMessage(int32_t position);
    void InstallEndedMessage();

    // The installation on the calling thread; the worker runs it, and so does an unattended
    // setup.
    InstallResult Install(InstallReporter& reporter, const std::atomic<bool>* stopRequested);

    const WizardForm& Form() const { return form_; }
    // The language folders in list order (the hidden OriginalComboBox).
    const std::vector<std::wstring>& LanguageFolders() const;

private:
    std::wstring ShippedConfigPath() const;
    std::wstring PerUserConfigPath() const;
    std::wstring LanguageFolder() const;
    std::wstring LanguageFile(const std::wstring& language) const;
    bool ImportDeviceIdGroup(DEVICEID_MGR::CDeviceIdMgr& group, const wchar_t* section,
                             const wchar_t* registryName);
    void PreparePerUserFolder();
    void ChooseLayout(const std::wstring& language);
    void FillLanguageList(const std::wstring& currentLanguage);
    void LoadLanguageTexts(const std::wstring& language);
    void ApplyLanguageTexts();
    void ApplyLabel(const SetupLabelRecord& record, WizardControl& label);
    void StartInstallation();

    SetupPlatform& platform_;
    SetupSession& session_;
    WizardHost& host_;
    const TBackgroundForm& background_;
    InstallSteps& steps_;
    WizardForm form_;
    DEVICEID_MGR::CDeviceIdMgr usbGroup_;
    DEVICEID_MGR::CDeviceIdMgr hidGroup_;
    bool antivirusTipShown_ = false;
    InstallWorker worker_;
};

}  // namespace tavrin::setup
