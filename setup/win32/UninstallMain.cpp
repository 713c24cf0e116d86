// TavrinUninstall.exe: the one place where the uninstaller's ports are chosen and wired.
#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

#include "ports/Platform.h"
#include "ports/portable/SystemClock.h"
#include "ports/win32/Win32DebugLog.h"
#include "ports/win32/Win32Environment.h"
#include "ports/win32/Win32FileSystem.h"
#include "ports/win32/Win32ProfileStore.h"
#include "ports/win32/Win32Registry.h"
#include "ports/win32/Win32ServiceManager.h"
#include "setup/Unattended.h"
#include "setup/Uninstaller.h"
#include "setup/win32/SelfRemoval.h"
#include "setup/win32/Win32SetupSystem.h"

namespace {

constexpr int kExitIncomplete = 1;

std::vector<std::wstring> Arguments() {
    int count = 0;
    LPWSTR* list = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::wstring> arguments;
    if (list == nullptr) return arguments;
    if (count > 1) arguments.assign(list + 1, list + count);
    LocalFree(list);
    return arguments;
}

bool Ask(const std::wstring& text, const std::wstring& caption, UINT defaultButton) {
    return MessageBoxW(nullptr, text.c_str(), caption.c_str(),
                       MB_YESNO | MB_ICONQUESTION | defaultButton) == IDYES;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    using namespace tavrin;
    using namespace tavrin::setup;
    const std::vector<std::wstring> arguments = Arguments();
    if (RunRemovalCopy(arguments)) return 0;

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

    const CommandLine commandLine = ParseCommandLine(arguments);
    if (!commandLine.unknown.empty() || commandLine.language) {
        debugLog.Write(L"***** Use: TavrinUninstall [/S] [/REMOVEPROFILES] *****\n");
        return static_cast<int>(kExitBadArguments);
    }
    const std::wstring programPath = environment.ProgramPath();
    Uninstaller uninstaller(platform, programPath);
    const std::wstring caption = uninstaller.Config().UninstallAppTitle;
    bool removeProfiles = commandLine.removeProfiles;
    if (!commandLine.silent) {
        if (!Ask(uninstaller.Text(SetupText::UninstallConfirm), caption, MB_DEFBUTTON1)) {
            return ERROR_CANCELLED;
        }
        removeProfiles =
            Ask(uninstaller.Text(SetupText::UninstallProfiles), caption, MB_DEFBUTTON2);
    }
    std::vector<std::wstring> left = uninstaller.Run(removeProfiles);
    if (!RemoveAfterExit(programPath)) left.push_back(programPath);
    if (!commandLine.silent) {
        std::wstring text = uninstaller.Text(left.empty() ? SetupText::UninstallDone
                                                          : SetupText::UninstallIncomplete);
        for (const std::wstring& item : left) text += L"\n" + item;
        MessageBoxW(nullptr, text.c_str(), caption.c_str(),
                    MB_OK | (left.empty() ? MB_ICONINFORMATION : MB_ICONWARNING));
    }
    return left.empty() ? 0 : kExitIncomplete;
}
