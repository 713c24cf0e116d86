// Stand-in for the vendor's background service: registers itself when run with "/Service" and,
// run by the service control manager, starts the control application when asked to.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "service/LaunchChoice.h"

namespace tavrin::service {
namespace {

// ServiceMain takes no context, so the little state the service has lives here.
SERVICE_STATUS_HANDLE g_statusHandle = nullptr;
HANDLE g_stopEvent = nullptr;
SERVICE_STATUS g_status{};

template <class... Args>
void Log(const wchar_t* format, Args... args) {
    wchar_t line[1024];
    std::swprintf(line, sizeof(line) / sizeof(line[0]), format, args...);
    OutputDebugStringW(line);
}

void ReportState(DWORD state) {
    g_status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    g_status.dwCurrentState = state;
    g_status.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP : 0;
    g_status.dwWin32ExitCode = NO_ERROR;
    g_status.dwWaitHint = state == SERVICE_RUNNING || state == SERVICE_STOPPED ? 0 : 3000;
    SetServiceStatus(g_statusHandle, &g_status);
}

std::wstring OwnPath() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) return std::wstring(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

DWORD Register() {
    const std::wstring binaryPath = L"\"" + OwnPath() + L"\"";
    SC_HANDLE manager =
        OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT | SC_MANAGER_CREATE_SERVICE);
    if (manager == nullptr) return GetLastError();
    DWORD error = NO_ERROR;
    SC_HANDLE service =
        CreateServiceW(manager, kServiceName, kServiceName, SERVICE_ALL_ACCESS,
                       SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START, SERVICE_ERROR_NORMAL,
                       binaryPath.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr);
    if (service == nullptr && GetLastError() == ERROR_SERVICE_EXISTS) {
        // A new setup may install to another place: the registration follows the file.
        service = OpenServiceW(manager, kServiceName, SERVICE_CHANGE_CONFIG);
        if (service != nullptr &&
            !ChangeServiceConfigW(service, SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START,
                                  SERVICE_NO_CHANGE, binaryPath.c_str(), nullptr, nullptr, nullptr,
                                  nullptr, nullptr, nullptr)) {
            error = GetLastError();
        }
    }
    if (service == nullptr) error = GetLastError();
    Log(L"##### QuorvelService registration %ls, error = %lu #####\n", binaryPath.c_str(), error);
    if (service != nullptr) CloseServiceHandle(service);
    CloseServiceHandle(manager);
    return error;
}

// The stored command line, as the setup program wrote it.
bool ReadLaunchValue(const wchar_t* name, std::wstring& commandLine) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kLaunchKeyPath, 0, KEY_QUERY_VALUE | KEY_WOW64_32KEY,
                      &key) != ERROR_SUCCESS) {
        return false;
    }
    DWORD size = 0;
    LSTATUS result = RegGetValueW(key, nullptr, name, RRF_RT_REG_SZ, nullptr, nullptr, &size);
    if (result == ERROR_SUCCESS && size > sizeof(wchar_t)) {
        std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1);
        result = RegGetValueW(key, nullptr, name, RRF_RT_REG_SZ, nullptr, buffer.data(), &size);
        commandLine = buffer.data();
    }
    RegCloseKey(key);
    return result == ERROR_SUCCESS && !commandLine.empty();
}

// A real service starts the program in the signed-in user's session; the stand-in starts it in
// its own, which is enough to run the product's start-up path.
void Launch(const wchar_t* valueName) {
    std::wstring commandLine;
    if (!ReadLaunchValue(valueName, commandLine)) {
        Log(L"***** QuorvelService no launch value %ls *****\n", valueName);
        return;
    }
    Log(L"##### QuorvelService launch %ls #####\n", commandLine.c_str());
    std::vector<wchar_t> writable(commandLine.begin(), commandLine.end());
    writable.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, writable.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        Log(L"***** QuorvelService CreateProcessW failed, error = %lu *****\n", GetLastError());
        return;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

DWORD WINAPI Handler(DWORD control, DWORD, LPVOID, LPVOID) {
    Log(L"##### QuorvelService control %lu #####\n", control);
    const ControlChoice choice = ChooseControl(control);
    switch (choice.action) {
        case ControlAction::Stop:
            ReportState(SERVICE_STOP_PENDING);
            SetEvent(g_stopEvent);
            return NO_ERROR;
        case ControlAction::ReportStatus: return NO_ERROR;
        case ControlAction::Launch: Launch(choice.launchValue); return NO_ERROR;
        case ControlAction::Ignore: return NO_ERROR;
        case ControlAction::NotImplemented: break;
    }
    return ERROR_CALL_NOT_IMPLEMENTED;
}

void WINAPI ServiceMain(DWORD, LPWSTR*) {
    g_statusHandle = RegisterServiceCtrlHandlerExW(kServiceName, Handler, nullptr);
    if (g_statusHandle == nullptr) return;
    g_stopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (g_stopEvent == nullptr) {
        ReportState(SERVICE_STOPPED);
        return;
    }
    ReportState(SERVICE_RUNNING);
    Log(L"##### QuorvelService running #####\n");
    WaitForSingleObject(g_stopEvent, INFINITE);
    Log(L"##### QuorvelService stopped #####\n");
    ReportState(SERVICE_STOPPED);
}

DWORD Dispatch() {
    // The dispatcher only reads the name.
    const SERVICE_TABLE_ENTRYW table[] = {{const_cast<LPWSTR>(kServiceName), ServiceMain},
                                          {nullptr, nullptr}};
    return StartServiceCtrlDispatcherW(table) ? NO_ERROR : GetLastError();
}

}  // namespace
}  // namespace tavrin::service

// A windows-subsystem program, so that the setup program's run shows no console.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    using namespace tavrin::service;
    const std::vector<std::wstring> arguments(__wargv, __wargv + __argc);
    switch (ChooseRunMode(arguments)) {
        case RunMode::Register: return static_cast<int>(Register());
        case RunMode::Dispatch: return static_cast<int>(Dispatch());
        case RunMode::Unknown: break;
    }
    Log(L"***** QuorvelService: unknown arguments; use /Service *****\n");
    return ERROR_INVALID_PARAMETER;
}
