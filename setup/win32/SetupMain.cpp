// TavrinSetup.exe: the one place where the setup program's ports are chosen and wired.
#include <windows.h>

#include <objbase.h>

#include "common/AudioConfig.h"
#include "ports/Platform.h"
#include "ports/portable/SystemClock.h"
#include "ports/win32/Win32DebugLog.h"
#include "ports/win32/Win32Environment.h"
#include "ports/win32/Win32FileSystem.h"
#include "ports/win32/Win32ProfileStore.h"
#include "ports/win32/Win32Registry.h"
#include "ports/win32/Win32ServiceManager.h"
#include "setup/BackgroundForm.h"
#include "setup/MainForm.h"
#include "setup/win32/SetupWindows.h"
#include "setup/win32/Win32SetupSystem.h"

namespace {

using namespace tavrin::setup;

// Until the install steps are built, the sequence runs over steps that only report progress.
class ProgressOnlySteps final : public InstallSteps {
public:
    void BroadcastAppExit() override {}
    void RestService() override {}
    void CleanOldFilters() override {}
    bool FilterDriverActive() override { return false; }
    int Install_FilterDriver(InstallReporter& r) override { return Report(r, {10, 20}); }
    int InstallService(InstallReporter& r) override { return Report(r, {30, 40, 50, 60}); }
    int InstallApplication(InstallReporter& r) override { return Report(r, {70}); }
    int InstallUninstaller(InstallReporter& r) override { return Report(r, {80}); }
    int InstallSharedFiles(InstallReporter& r) override { return Report(r, {90}); }
    int InstallUserManual(InstallReporter&) override { return 0; }
    int InstallPlugins(InstallReporter& r) override { return Report(r, {95}); }
    int InstallEffectApplication(InstallReporter& r) override { return Report(r, {98}); }
    int InstallSoundEffectApplication(InstallReporter& r) override { return Report(r, {98}); }
    int Install_KB3033929(InstallReporter&) override { return 0; }

private:
    static int Report(InstallReporter& reporter, std::initializer_list<int32_t> positions) {
        for (const int32_t position : positions) {
            reporter.Progress(position);
            Sleep(150);
        }
        return 0;
    }
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    using namespace tavrin;
    Win32ProfileStore profiles;
    Win32Registry registry;
    Win32FileSystem files;
    Win32Environment environment;
    SystemClock clock;
    Win32DebugLog debugLog;
    Platform common{profiles, registry, files, environment, clock, debugLog};
    Win32ServiceManager services;
    Win32SetupSystem system;
    SetupPlatform platform{common, services, system};

    if (SetupPathTooLong(environment.ProgramPath())) {
        MessageBoxW(nullptr, kTooLongPathText, kTooLongPathCaption, MB_OK | MB_ICONERROR);
        return 1;
    }
    CoInitialize(nullptr);
    SetupWindows windows(instance);
    int32_t screenWidth = 0;
    int32_t screenHeight = 0;
    windows.ScreenSize(screenWidth, screenHeight);
    TBackgroundForm background(common, screenWidth, screenHeight);
    SetupSession session;
    ProgressOnlySteps steps;
    {
        TMainForm wizard(platform, session, windows, background, steps);
        if (windows.Create(background)) windows.Run(background, wizard);
    }
    CoUninitialize();
    return 0;
}
