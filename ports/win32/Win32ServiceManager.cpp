#include "ports/win32/Win32ServiceManager.h"

#include <windows.h>

namespace tavrin {
namespace {

// SERVICE_STATUS and SERVICE_STATUS_PROCESS share these fields.
template <class Status>
void Translate(const Status& from, ServiceStatus& to) {
    to.serviceType = from.dwServiceType;
    to.currentState = from.dwCurrentState;
    to.controlsAccepted = from.dwControlsAccepted;
    to.win32ExitCode = from.dwWin32ExitCode;
    to.checkPoint = from.dwCheckPoint;
    to.waitHint = from.dwWaitHint;
}

class Win32Service final : public ServiceHandle {
public:
    explicit Win32Service(SC_HANDLE handle) : handle_(handle) {}
    ~Win32Service() override { CloseServiceHandle(handle_); }
    Win32Service(const Win32Service&) = delete;
    Win32Service& operator=(const Win32Service&) = delete;

    uint32_t QueryStatus(ServiceStatus& status) override {
        SERVICE_STATUS_PROCESS process{};
        DWORD needed = 0;
        if (!QueryServiceStatusEx(handle_, SC_STATUS_PROCESS_INFO,
                                  reinterpret_cast<BYTE*>(&process), sizeof(process), &needed)) {
            return GetLastError();
        }
        Translate(process, status);
        status.processId = process.dwProcessId;
        return ERROR_SUCCESS;
    }

    uint32_t Control(uint32_t code, ServiceStatus& status) override {
        SERVICE_STATUS answer{};
        if (!ControlService(handle_, code, &answer)) return GetLastError();
        Translate(answer, status);
        return ERROR_SUCCESS;
    }

    uint32_t Start() override {
        return StartServiceW(handle_, 0, nullptr) ? ERROR_SUCCESS : GetLastError();
    }

    uint32_t Delete() override { return DeleteService(handle_) ? ERROR_SUCCESS : GetLastError(); }

private:
    SC_HANDLE handle_;
};

class Win32ManagerHandle final : public ServiceManagerHandle {
public:
    explicit Win32ManagerHandle(SC_HANDLE handle) : handle_(handle) {}
    ~Win32ManagerHandle() override { CloseServiceHandle(handle_); }
    Win32ManagerHandle(const Win32ManagerHandle&) = delete;
    Win32ManagerHandle& operator=(const Win32ManagerHandle&) = delete;

    std::unique_ptr<ServiceHandle> Open(const std::wstring& serviceName, uint32_t access,
                                        uint32_t& error) override {
        SC_HANDLE service = OpenServiceW(handle_, serviceName.c_str(), access);
        if (service == nullptr) {
            error = GetLastError();
            return nullptr;
        }
        error = ERROR_SUCCESS;
        return std::make_unique<Win32Service>(service);
    }

private:
    SC_HANDLE handle_;
};

}  // namespace

std::unique_ptr<ServiceManagerHandle> Win32ServiceManager::Connect(uint32_t access,
                                                                   uint32_t& error) {
    SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, access);
    if (manager == nullptr) {
        error = GetLastError();
        return nullptr;
    }
    error = ERROR_SUCCESS;
    return std::make_unique<Win32ManagerHandle>(manager);
}

}  // namespace tavrin
