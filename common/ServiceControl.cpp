#include "common/ServiceControl.h"

namespace tavrin {
namespace {

constexpr int kServicePolls = 30;
constexpr uint32_t kServicePollWait = 300;
constexpr uint32_t kFirstServiceCode = 128;

// Query until the state is reached; a failed query counts as not yet there.
bool WaitForState(ServiceHandle& service, Clock& clock, uint32_t state) {
    for (int poll = 0; poll < kServicePolls; ++poll) {
        ServiceStatus status;
        if (service.QueryStatus(status) == 0 && status.currentState == state) return true;
        clock.Sleep(kServicePollWait);
    }
    return false;
}

}  // namespace

int ControlTheService(ServiceManager& services, Clock& clock, const std::wstring& serviceName,
                      uint32_t code, ServiceAccess access) {
    const bool full = access == ServiceAccess::Full;
    uint32_t error = 0;
    const auto manager = services.Connect(full ? kScManagerAllAccess : kScManagerConnect, error);
    if (!manager) return 1;
    const uint32_t serviceAccess = full || code < kFirstServiceCode
                                       ? kServiceAllAccess
                                       : (kServiceUserDefinedControl | kServiceQueryStatus);
    const auto service = manager->Open(serviceName, serviceAccess, error);
    if (!service) return 2;
    ServiceStatus status;
    if (service->QueryStatus(status) != 0) return 3;

    if (code == kServiceRequestStop) {
        if (status.currentState == kServiceStopped) return 0;
        if (service->Control(kServiceControlStop, status) != 0) return 4;
        return WaitForState(*service, clock, kServiceStopped) ? 0 : 5;
    }
    if (code == kServiceRequestStart) {
        if (status.currentState == kServiceRunning) return 0;
        if (service->Start() != 0) return 6;
        return WaitForState(*service, clock, kServiceRunning) ? 0 : 7;
    }
    service->Control(code, status);
    return 0;
}

}  // namespace tavrin
