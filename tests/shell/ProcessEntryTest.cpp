#include "app/shell/ProcessEntry.h"

#include <gtest/gtest.h>

#include "common/AudioConfig.h"
#include "tests/support/FakeClock.h"
#include "tests/support/RecordingDebugLog.h"

namespace tavrin {
namespace {

// One service whose answers are set by the test; records what was asked of it.
struct FakeService {
    bool managerOpens = true;
    bool serviceOpens = true;
    bool statusReadable = true;
    uint32_t state = kServiceRunning;
    bool refusesControl = false;
    bool refusesStart = false;
    int queriesUntilSettled = 1;  // status queries before a stop or start takes effect
    uint32_t pendingState = 0;
    uint32_t openedAccess = 0;
    std::vector<uint32_t> controls;
    int starts = 0;
    int openHandles = 0;
};

class FakeServiceHandle final : public ServiceHandle {
public:
    explicit FakeServiceHandle(FakeService& service) : service_(service) { ++service_.openHandles; }
    ~FakeServiceHandle() override { --service_.openHandles; }
    uint32_t QueryStatus(ServiceStatus& status) override {
        if (!service_.statusReadable) return 5;
        if (service_.pendingState != 0 && --queries_ <= 0) {
            service_.state = service_.pendingState;
            service_.pendingState = 0;
        }
        status.currentState = service_.state;
        return 0;
    }
    uint32_t Control(uint32_t code, ServiceStatus& status) override {
        service_.controls.push_back(code);
        if (service_.refusesControl) return 1052;
        if (code == kServiceControlStop) Settle(kServiceStopped);
        status.currentState = service_.state;
        return 0;
    }
    uint32_t Start() override {
        ++service_.starts;
        if (service_.refusesStart) return 1058;
        Settle(kServiceRunning);
        return 0;
    }

private:
    void Settle(uint32_t state) {
        service_.pendingState = state;
        queries_ = service_.queriesUntilSettled;
    }
    FakeService& service_;
    int queries_ = 0;
};

class FakeManagerHandle final : public ServiceManagerHandle {
public:
    explicit FakeManagerHandle(FakeService& service) : service_(service) { ++service_.openHandles; }
    ~FakeManagerHandle() override { --service_.openHandles; }
    std::unique_ptr<ServiceHandle> Open(const std::wstring& name, uint32_t access,
                                        uint32_t& error) override {
        service_.openedAccess = access;
        if (!service_.serviceOpens || name != kServiceName) {
            error = 1060;
            return nullptr;
        }
        return std::make_unique<FakeServiceHandle>(service_);
    }

private:
    FakeService& service_;
};

class FakeServiceManager final : public ServiceManager {
public:
    std::unique_ptr<ServiceManagerHandle> Connect(uint32_t, uint32_t& error) override {
        if (!service.managerOpens) {
            error = 5;
            return nullptr;
        }
        return std::make_unique<FakeManagerHandle>(service);
    }
    FakeService service;
};

class RecordingProcessHost final : public ProcessHost {
public:
    bool InstanceMutexExists() override { return otherInstance; }
    void CreateInstanceMutex() override { calls.push_back("create mutex"); }
    void RaiseRunningInstance() override { calls.push_back("raise first instance"); }
    void RunApplication() override {
        calls.push_back("run");
        if (failure) throw ConfigConversionError(L"x");
    }
    void ShowException(const std::wstring& message) override { shown.push_back(message); }

    bool otherInstance = false;
    bool failure = false;
    std::vector<std::string> calls;
    std::vector<std::wstring> shown;
};

TEST(StartMode, TheFirstRecognisedSwitchWins) {
    const struct {
        std::vector<std::wstring> arguments;
        StartMode mode;
    } cases[] = {
        {{L"Tavrin.exe"}, StartMode::ServiceRequest},
        {{L"Tavrin.exe", L"-boot"}, StartMode::BootRequest},
        {{L"Tavrin.exe", L"-BOOT"}, StartMode::BootRequest},
        {{L"Tavrin.exe", L"--boot"}, StartMode::ServiceRequest},
        {{L"Tavrin.exe", L"-boot2"}, StartMode::ServiceRequest},
        {{L"Tavrin.exe", L"-servicestart"}, StartMode::Window},
        {{L"Tavrin.exe", L"-ServiceBoot"}, StartMode::Window},
        {{L"Tavrin.exe", L"-servicestart", L"-boot"}, StartMode::Window},
        {{L"Tavrin.exe", L"", L"x", L"-boot", L"-servicestart"}, StartMode::BootRequest},
        {{L"-boot"}, StartMode::ServiceRequest},  // the program path is not a switch
    };
    for (const auto& c : cases) {
        test::RecordingDebugLog log;
        EXPECT_EQ(ChooseStartMode(c.arguments, log), c.mode) << c.arguments.back().c_str();
    }
}

TEST(StartMode, LogsEveryArgumentThenEachLowerCased) {
    test::RecordingDebugLog log;
    ChooseStartMode({L"C:\\Tavrin.exe", L"-X", L"-ServiceStart"}, log);
    EXPECT_EQ(log.lines, (std::vector<std::wstring>{
                             L"ParamStr(0) = C:\\Tavrin.exe\n", L"ParamStr(1) = -X\n",
                             L"ParamStr(2) = -ServiceStart\n", L"-x\n", L"-servicestart\n"}));
}

TEST(ControlTheService, ResultsOfEachStep) {
    const struct {
        const char* name;
        uint32_t code;
        void (*arrange)(FakeService&);
        int result;
    } cases[] = {
        {"no manager", 193, [](FakeService& s) { s.managerOpens = false; }, 1},
        {"no service", 193, [](FakeService& s) { s.serviceOpens = false; }, 2},
        {"no status", 193, [](FakeService& s) { s.statusReadable = false; }, 3},
        {"user code", 193, [](FakeService&) {}, 0},
        {"user code refused is ignored", 196, [](FakeService& s) { s.refusesControl = true; }, 0},
        {"stop", 1, [](FakeService& s) { s.queriesUntilSettled = 3; }, 0},
        {"stop when stopped", 1, [](FakeService& s) { s.state = kServiceStopped; }, 0},
        {"stop refused", 1, [](FakeService& s) { s.refusesControl = true; }, 4},
        {"stop too slow", 1, [](FakeService& s) { s.queriesUntilSettled = 31; }, 5},
        {"start", 0, [](FakeService& s) { s.state = kServiceStopped; }, 0},
        {"start when running", 0, [](FakeService&) {}, 0},
        {"start refused", 0,
         [](FakeService& s) {
             s.state = kServiceStopped;
             s.refusesStart = true;
         },
         6},
        {"start too slow", 0,
         [](FakeService& s) {
             s.state = kServiceStopped;
             s.queriesUntilSettled = 31;
         },
         7},
    };
    for (const auto& c : cases) {
        FakeServiceManager services;
        c.arrange(services.service);
        test::FakeClock clock;
        EXPECT_EQ(ControlTheService(services, clock, kServiceName, c.code), c.result) << c.name;
        EXPECT_EQ(services.service.openHandles, 0) << c.name << ": handles closed";
    }
}

TEST(ControlTheService, PollsEvery300MsAndAsksForTheRightAccess) {
    FakeServiceManager services;
    services.service.queriesUntilSettled = 3;
    test::FakeClock clock;
    EXPECT_EQ(ControlTheService(services, clock, kServiceName, 1), 0);
    EXPECT_EQ(clock.waits, (std::vector<uint32_t>{300, 300}));
    EXPECT_EQ(services.service.openedAccess, kServiceAllAccess);

    services.service.queriesUntilSettled = 100;
    services.service.state = kServiceRunning;
    clock.waits.clear();
    EXPECT_EQ(ControlTheService(services, clock, kServiceName, 1), 5);
    EXPECT_EQ(clock.waits, std::vector<uint32_t>(30, 300));

    EXPECT_EQ(ControlTheService(services, clock, kServiceName, 193), 0);
    EXPECT_EQ(services.service.openedAccess, kServiceUserDefinedControl | kServiceQueryStatus);
    EXPECT_EQ(services.service.controls.back(), 193u);
}

TEST(ProcessEntry, ServiceAndBootRequestsShowNoWindow) {
    const struct {
        std::vector<std::wstring> arguments;
        uint32_t code;
        const wchar_t* banner;
    } cases[] = {
        {{L"Tavrin.exe"}, 193, L"===== Service Control Execution no service =====\n"},
        {{L"Tavrin.exe", L"-boot"}, 196, L"===== Service Control Execution -boot =====\n"},
    };
    for (const auto& c : cases) {
        FakeServiceManager services;
        services.service.refusesControl = true;
        test::FakeClock clock;
        test::RecordingDebugLog log;
        RecordingProcessHost host;
        EXPECT_EQ(RunProcessEntry(c.arguments, log, services, clock, host), 0);
        EXPECT_EQ(services.service.controls, std::vector<uint32_t>{c.code});
        EXPECT_TRUE(host.calls.empty());
        EXPECT_TRUE(log.Contains(c.banner));
        EXPECT_EQ(log.lines.back(), L"ControlTheService ret = 0\n");
    }
}

TEST(ProcessEntry, WindowModeKeepsOneInstance) {
    FakeServiceManager services;
    test::FakeClock clock;
    test::RecordingDebugLog log;
    RecordingProcessHost first;
    EXPECT_EQ(RunProcessEntry({L"Tavrin.exe", L"-servicestart"}, log, services, clock, first), 0);
    EXPECT_EQ(first.calls, (std::vector<std::string>{"create mutex", "run"}));
    EXPECT_TRUE(services.service.controls.empty());

    RecordingProcessHost second;
    second.otherInstance = true;
    EXPECT_EQ(RunProcessEntry({L"Tavrin.exe", L"-serviceboot"}, log, services, clock, second), 0);
    EXPECT_EQ(second.calls, std::vector<std::string>{"raise first instance"});
}

TEST(ProcessEntry, AStartUpErrorIsShownAndTheExitCodeStaysZero) {
    FakeServiceManager services;
    test::FakeClock clock;
    test::RecordingDebugLog log;
    RecordingProcessHost host;
    host.failure = true;
    EXPECT_EQ(RunProcessEntry({L"Tavrin.exe", L"-servicestart"}, log, services, clock, host), 0);
    EXPECT_EQ(host.shown, std::vector<std::wstring>{L"'x' is not a valid integer value"});
}

}  // namespace
}  // namespace tavrin
