#include "setup/win32/Win32SetupSystem.h"

#include <windows.h>

#include <shellapi.h>

#include <vector>

namespace tavrin::setup {
namespace {

std::wstring ProgramFile() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return L"";
        if (length < buffer.size()) return std::wstring(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

// Keeps the calling thread's window messages flowing until the time is up.
void PumpMessagesFor(DWORD milliseconds) {
    const ULONGLONG end = GetTickCount64() + milliseconds;
    for (ULONGLONG now = GetTickCount64(); now < end; now = GetTickCount64()) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
    }
}

}  // namespace

bool Win32SetupSystem::ProgramVersion(std::array<uint16_t, 4>& version) {
    const std::wstring file = ProgramFile();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
    if (size == 0) return false;
    std::vector<BYTE> data(size);
    if (!GetFileVersionInfoW(file.c_str(), 0, size, data.data())) return false;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) ||
        fixed == nullptr || length < sizeof(VS_FIXEDFILEINFO)) {
        return false;
    }
    version = {HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
               HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS)};
    return true;
}

void Win32SetupSystem::Broadcast(const std::wstring& messageName, uint32_t timeoutMilliseconds) {
    const UINT message = RegisterWindowMessageW(messageName.c_str());
    if (message == 0) return;
    SendMessageTimeoutW(HWND_BROADCAST, message, 0, 0, SMTO_NORMAL, timeoutMilliseconds, nullptr);
}

bool Win32SetupSystem::ShellStart(const std::wstring& file, const std::wstring& parameters,
                                  int32_t waitMilliseconds) {
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpFile = file.c_str();
    info.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
    info.nShow = SW_HIDE;
    if (!ShellExecuteExW(&info)) return false;
    if (waitMilliseconds < 0 && info.hProcess != nullptr) {
        WaitForSingleObject(info.hProcess, INFINITE);
    }
    if (info.hProcess != nullptr) CloseHandle(info.hProcess);
    if (waitMilliseconds > 0) PumpMessagesFor(static_cast<DWORD>(waitMilliseconds));
    return true;
}

void Win32SetupSystem::Beep(uint32_t frequency, uint32_t milliseconds) {
    ::Beep(frequency, milliseconds);
}

bool Win32SetupSystem::Reboot() {
    HANDLE token = nullptr;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
        TOKEN_PRIVILEGES privileges{};
        privileges.PrivilegeCount = 1;
        privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        if (LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid)) {
            AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
        }
        CloseHandle(token);
    }
    return ExitWindowsEx(EWX_REBOOT, 0) != 0;
}

}  // namespace tavrin::setup
