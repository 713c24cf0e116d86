#include "app/shell/ProcessEntry.h"

#include <exception>

#include "common/AudioConfig.h"
#include "ports/TextCase.h"

namespace tavrin {
namespace {

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
