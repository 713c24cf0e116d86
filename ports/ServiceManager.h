#pragma once
// The service control manager. Handles are objects that close themselves when destroyed; every
// call answers with a Win32 error code (0 success).
#include <cstdint>
#include <memory>
#include <string>

namespace tavrin {

// Access rights, as OpenSCManagerW and OpenServiceW take them.
inline constexpr uint32_t kScManagerConnect = 0x0001;
inline constexpr uint32_t kScManagerAllAccess = 0xF003F;
inline constexpr uint32_t kServiceQueryStatus = 0x0004;
inline constexpr uint32_t kServiceStart = 0x0010;
inline constexpr uint32_t kServiceStop = 0x0020;
inline constexpr uint32_t kServiceUserDefinedControl = 0x0100;
inline constexpr uint32_t kServiceDelete = 0x00010000;  // DELETE
inline constexpr uint32_t kServiceAllAccess = 0xF01FF;

// Control codes; 128 to 255 are the service's own.
inline constexpr uint32_t kServiceControlStop = 1;
inline constexpr uint32_t kServiceControlInterrogate = 4;

enum ServiceState : uint32_t {
    kServiceStopped = 1,
    kServiceStartPending = 2,
    kServiceStopPending = 3,
    kServiceRunning = 4,
    kServiceContinuePending = 5,
    kServicePausePending = 6,
    kServicePaused = 7,
};

// The process-status form of QueryServiceStatusEx (the fields callers read).
struct ServiceStatus {
    uint32_t serviceType = 0;
    uint32_t currentState = 0;
    uint32_t controlsAccepted = 0;
    uint32_t win32ExitCode = 0;
    uint32_t checkPoint = 0;
    uint32_t waitHint = 0;
    uint32_t processId = 0;
};

// An open service.
class ServiceHandle {
public:
    virtual ~ServiceHandle() = default;
    virtual uint32_t QueryStatus(ServiceStatus& status) = 0;
    // ControlService: the status the service reported with its answer.
    virtual uint32_t Control(uint32_t code, ServiceStatus& status) = 0;
    // StartServiceW without arguments.
    virtual uint32_t Start() = 0;
    // DeleteService: the service goes once it has stopped and every handle to it is closed.
    virtual uint32_t Delete() = 0;
};

// An open service control manager.
class ServiceManagerHandle {
public:
    virtual ~ServiceManagerHandle() = default;
    // Null, with error set, when the service cannot be opened.
    virtual std::unique_ptr<ServiceHandle> Open(const std::wstring& serviceName, uint32_t access,
                                                uint32_t& error) = 0;
};

class ServiceManager {
public:
    virtual ~ServiceManager() = default;
    // The manager of this machine's active services; null, with error set, when refused.
    virtual std::unique_ptr<ServiceManagerHandle> Connect(uint32_t access, uint32_t& error) = 0;
};

}  // namespace tavrin
