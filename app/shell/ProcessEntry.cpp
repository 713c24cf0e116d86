#include "app/shell/ProcessEntry.h"

#include <exception>

#include "common/AudioConfig.h"
#include "ports/TextCase.h"

namespace tavrin {
namespace {

constexpr int kServicePolls = 30;
constexpr uint32_t kServicePollWait = 300;
constexpr uint32_t kServiceControlStart = 0;

// Query until the state is reached; a failed query counts as not yet there.
bool WaitForState(ServiceHandle& service, Clock& clock, uint32_t state) {
    for (int poll = 0; poll < kServicePolls; ++poll) {
        ServiceStatus status;
        if (service.QueryStatus(status) == 0 && status.currentState == state) return true;
        clock.Sleep(kServicePollWait);
    }
    return false;
}

int RequestService(ServiceManager& services, Clock& clock, DebugLog& log, const wchar_t* banner,
                   uint32_t code) {
    log.Write(banner);
    const int result = ControlTheService(services, clock, kServiceName, code);
    log.Write(L"ControlTheService ret = " + std::to_wstring(result) + L"\n");
    return 0;
}

}  // namespace

StartMode ChooseStartMode(const std::vector<std::wstring>& arguments, DebugLog& log) {
    for (size_t i = 0; i < arguments.size(); ++i) {
        log.Write(L"ParamStr(" + std::to_wstring(i) + L") = " + arguments[i] + L"\n");
    }
    for (size_t i = 1; i < arguments.size(); ++i) {
        const std::wstring argument = LowerCase(arguments[i]);
        log.Write(argument + L"\n");
        if (argument.empty()) continue;
        if (argument == L"-boot") return StartMode::BootRequest;
        if (argument == L"-servicestart" || argument == L"-serviceboot") return StartMode::Window;
    }
    return StartMode::ServiceRequest;
}

int ControlTheService(ServiceManager& services, Clock& clock, const std::wstring& serviceName,
                      uint32_t code) {
    uint32_t error = 0;
    const auto manager = services.Connect(kScManagerConnect, error);
    if (!manager) return 1;
    const uint32_t access =
        code >= 128 ? (kServiceUserDefinedControl | kServiceQueryStatus) : kServiceAllAccess;
    const auto service = manager->Open(serviceName, access, error);
    if (!service) return 2;
    ServiceStatus status;
    if (service->QueryStatus(status) != 0) return 3;

    if (code == kServiceControlStop) {
        if (status.currentState == kServiceStopped) return 0;
        if (service->Control(kServiceControlStop, status) != 0) return 4;
        return WaitForState(*service, clock, kServiceStopped) ? 0 : 5;
    }
    if (code == kServiceControlStart) {
        if (status.currentState == kServiceRunning) return 0;
        if (service->Start() != 0) return 6;
        return WaitForState(*service, clock, kServiceRunning) ? 0 : 7;
    }
    service->Control(code, status);
    return 0;
}

int RunProcessEntry(const std::vector<std::wstring>& arguments, DebugLog& log,
                    ServiceManager& services, Clock& clock, ProcessHost& host) {
    switch (ChooseStartMode(arguments, log)) {
        case StartMode::BootRequest:
            return RequestService(services, clock, log,
                                  L"===== Service Control Execution -boot =====\n",
                                  kServiceCodeBoot);
        case StartMode::ServiceRequest:
            return RequestService(services, clock, log,
                                  L"===== Service Control Execution no service =====\n",
                                  kServiceCodeStartWindow);
        case StartMode::Window: break;
    }
    try {
        if (host.InstanceMutexExists()) {
            // A second instance only hands over to the first: building its own main window
            // would talk to the device and, on the way out, switch the first instance's
            // features off and overwrite its last profile.
            host.RaiseRunningInstance();
            return 0;
        }
        host.CreateInstanceMutex();
        host.RunApplication();
    } catch (const ConfigConversionError& error) {
        host.ShowException(error.Message());
    } catch (const std::exception& error) {
        const std::string what = error.what();
        host.ShowException(std::wstring(what.begin(), what.end()));
    }
    return 0;
}

}  // namespace tavrin
