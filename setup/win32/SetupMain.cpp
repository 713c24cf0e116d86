// TavrinSetup.exe: the one place where the setup program's ports are chosen and wired.
#include <windows.h>

#include <objbase.h>
#include <shellapi.h>

#include <string>
#include <vector>

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
#include "setup/SetupSteps.h"
#include "setup/Unattended.h"
#include "setup/win32/SetupWindows.h"
#include "setup/win32/Win32Payloads.h"
#include "setup/win32/Win32SetupSystem.h"

namespace {

// The arguments after the program path.
std::vector<std::wstring> Arguments() {
    int count = 0;
    LPWSTR* list = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::wstring> arguments;
    if (list == nullptr) return arguments;
    if (count > 1) arguments.assign(list + 1, list + count);
    LocalFree(list);
    return arguments;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    using namespace tavrin;
    using namespace tavrin::setup;
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
    Win32Payloads payloads;

    const CommandLine commandLine = ParseCommandLine(Arguments());
    if (SetupPathTooLong(environment.ProgramPath())) {
        if (!commandLine.silent) {
            MessageBoxW(nullptr, kTooLongPathText, kTooLongPathCaption, MB_OK | MB_ICONERROR);
        }
        return static_cast<int>(kExitCannotStart);
    }
    const int32_t screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int32_t screenHeight = GetSystemMetrics(SM_CYSCREEN);
    SetupSession session;
    SetupSteps steps(platform, session, payloads);
    if (commandLine.silent) {
        return static_cast<int>(
            RunUnattendedSetup(platform, session, steps, commandLine, screenWidth, screenHeight));
    }

    CoInitialize(nullptr);
    {
        TBackgroundForm background(common, screenWidth, screenHeight);
        SetupWindows windows(instance);
        TMainForm wizard(platform, session, windows, background, steps);
        if (windows.Create(background)) windows.Run(background, wizard);
    }
    CoUninitialize();
    return 0;
}
