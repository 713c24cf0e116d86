#include "setup/win32/SelfRemoval.h"

#include <windows.h>

#include <cwchar>

namespace tavrin::setup {
namespace {

constexpr DWORD kParentWait = 30000;
constexpr int kDeleteTries = 20;
constexpr DWORD kDeleteWait = 250;

std::wstring FolderOf(const std::wstring& path) {
    return path.substr(0, path.find_last_of(L'\\'));
}

bool RemoveAtNextStart(const std::wstring& programPath) {
    const bool file = MoveFileExW(programPath.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    MoveFileExW(FolderOf(programPath).c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    return file;
}

}  // namespace

bool RemoveAfterExit(const std::wstring& programPath) {
    wchar_t temporaryFolder[MAX_PATH];
    const DWORD length = GetTempPathW(MAX_PATH, temporaryFolder);
    if (length == 0 || length >= MAX_PATH) return RemoveAtNextStart(programPath);
    const std::wstring copy = std::wstring(temporaryFolder) + L"TavrinUninstall-" +
                              std::to_wstring(GetCurrentProcessId()) + L".exe";
    if (!CopyFileW(programPath.c_str(), copy.c_str(), FALSE)) {
        return RemoveAtNextStart(programPath);
    }
    // The copy inherits this handle: the file goes when the last holder, the copy, has ended.
    SECURITY_ATTRIBUTES inherited{sizeof(inherited), nullptr, TRUE};
    HANDLE copyFile =
        CreateFileW(copy.c_str(), GENERIC_READ | DELETE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                    &inherited, OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    std::wstring commandLine = L"\"" + copy + L"\" " + kRemoveAfterSwitch + L" " +
                               std::to_wstring(GetCurrentProcessId()) + L" \"" + programPath +
                               L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    const bool started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0,
                                        nullptr, nullptr, &startup, &process) != FALSE;
    if (copyFile != INVALID_HANDLE_VALUE) CloseHandle(copyFile);
    if (!started) {
        DeleteFileW(copy.c_str());
        return RemoveAtNextStart(programPath);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

bool RunRemovalCopy(const std::vector<std::wstring>& arguments) {
    if (arguments.size() != 3 || arguments[0] != kRemoveAfterSwitch) return false;
    const DWORD parent = static_cast<DWORD>(std::wcstoul(arguments[1].c_str(), nullptr, 10));
    const std::wstring& file = arguments[2];
    if (HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, parent)) {
        WaitForSingleObject(process, kParentWait);
        CloseHandle(process);
    }
    bool removed = false;
    for (int attempt = 0; attempt < kDeleteTries && !removed; ++attempt) {
        if (attempt > 0) Sleep(kDeleteWait);
        removed = DeleteFileW(file.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND;
    }
    if (!removed) {
        RemoveAtNextStart(file);
        return true;
    }
    // Only an empty folder goes: whatever the user keeps there stays.
    RemoveDirectoryW(FolderOf(file).c_str());
    return true;
}

}  // namespace tavrin::setup
