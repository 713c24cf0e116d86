#include "setup/Unattended.h"

#include <algorithm>

#include "common/AudioConfig.h"
#include "ports/TextCase.h"
#include "setup/MainForm.h"

namespace tavrin::setup {
namespace {

constexpr wchar_t kLanguageSwitch[] = L"/LANG=";

// The wizard's window, when there is none: messages become log lines.
class SilentHost final : public WizardHost {
public:
    SilentHost(DebugLog& log, int32_t screenWidth, int32_t screenHeight)
        : log_(log), screenWidth_(screenWidth), screenHeight_(screenHeight) {}

    void Show(const WizardForm&) override {}
    void ShowMessage(const std::wstring& text, const std::wstring& caption, MessageKind) override {
        log_.Write(L"***** " + caption + L": " + text + L" *****\n");
    }
    void PostProgress(int32_t) override {}
    void PostInstallEnded() override {}
    void ProcessPendingMessages() override {}
    void PostQuit() override { quitPosted = true; }
    void CloseWizard() override {}
    void SetApplicationTitle(const std::wstring&) override {}
    void SetIcon(const std::wstring&) override {}
    void ScreenSize(int32_t& width, int32_t& height) override {
        width = screenWidth_;
        height = screenHeight_;
    }
    void MoveBackground(int32_t, int32_t, int32_t, int32_t) override {}

    bool quitPosted = false;

private:
    DebugLog& log_;
    int32_t screenWidth_;
    int32_t screenHeight_;
};

class SilentReporter final : public InstallReporter {
public:
    explicit SilentReporter(DebugLog& log) : log_(log) {}
    void Progress(int32_t) override {}
    void Message(const std::wstring& text) override {
        log_.Write(L"***** " + std::wstring(kInstallCaption) + L": " + text + L" *****\n");
    }
    void Beep() override {}

private:
    DebugLog& log_;
};

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::wstring>& arguments) {
    CommandLine commandLine;
    for (const std::wstring& argument : arguments) {
        const std::wstring upper = UpperCase(argument);
        if (upper == L"/S") {
            commandLine.silent = true;
        } else if (upper == L"/REMOVEPROFILES") {
            commandLine.removeProfiles = true;
        } else if (upper.rfind(kLanguageSwitch, 0) == 0) {
            commandLine.language = argument.substr(std::size(kLanguageSwitch) - 1);
        } else {
            commandLine.unknown.push_back(argument);
        }
    }
    return commandLine;
}

uint32_t ExitCodeOf(const InstallResult& result) {
    switch (result.end) {
        case InstallEnd::Completed:
        case InstallEnd::UpdateSkipped: return 0;
        case InstallEnd::Refused: return kExitRefused;
        case InstallEnd::Failed: return result.failureCode;
        case InstallEnd::Stopped: break;
    }
    return kExitCannotStart;
}

uint32_t RunUnattendedSetup(SetupPlatform& platform, SetupSession& session, InstallSteps& steps,
                            const CommandLine& commandLine, int32_t screenWidth,
                            int32_t screenHeight) {
    DebugLog& log = platform.common.debugLog;
    if (!commandLine.unknown.empty()) {
        log.Write(L"***** Unknown argument: " + commandLine.unknown.front() + L" *****\n");
        return kExitBadArguments;
    }
    SilentHost host(log, screenWidth, screenHeight);
    const TBackgroundForm background(platform.common, screenWidth, screenHeight);
    try {
        TMainForm wizard(platform, session, host, background, steps);
        wizard.FormShow();
        if (host.quitPosted) return kExitCannotStart;
        if (commandLine.language) {
            const std::vector<std::wstring>& folders = wizard.LanguageFolders();
            const auto found = std::find(folders.begin(), folders.end(), *commandLine.language);
            if (found == folders.end()) {
                log.Write(L"***** No language folder " + *commandLine.language + L" *****\n");
                return kExitBadArguments;
            }
            wizard.ComboBoxChange(static_cast<int32_t>(found - folders.begin()));
        }
        SilentReporter reporter(log);
        return ExitCodeOf(wizard.Install(reporter, nullptr));
    } catch (const ConfigConversionError& error) {
        log.Write(L"***** " + error.Message() + L" *****\n");
        return kExitCannotStart;
    }
}

}  // namespace tavrin::setup
