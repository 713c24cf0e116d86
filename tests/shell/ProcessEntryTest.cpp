#include "app/shell/ProcessEntry.h"

#include <gtest/gtest.h>

#include "common/AudioConfig.h"
#include "ports/portable/MemoryServiceManager.h"
#include "tests/support/FakeClock.h"
#include "tests/support/RecordingDebugLog.h"

namespace tavrin {
namespace {

using ServiceSetup = MemoryServiceManager::ServiceSetup;

// The stand-in service as the service manager knows it, in the given state.
struct Services {
    explicit Services(bool installed = true) {
        if (installed) manager.AddService(kServiceName, ServiceSetup{kServiceRunning, 0, 0, 0});
    }
    std::vector<std::wstring> Calls() const { return manager.Record(kServiceName).calls; }
    MemoryServiceManager manager;
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
        Services services;
        test::FakeClock clock;
        test::RecordingDebugLog log;
        RecordingProcessHost host;
        EXPECT_EQ(RunProcessEntry(c.arguments, log, services.manager, clock, host), 0);
        EXPECT_EQ(services.Calls(),
                  (std::vector<std::wstring>{L"query", L"control " + std::to_wstring(c.code)}));
        EXPECT_TRUE(host.calls.empty());
        EXPECT_TRUE(log.Contains(c.banner));
        EXPECT_EQ(log.lines.back(), L"ControlTheService ret = 0\n");
    }
}

TEST(ProcessEntry, WindowModeKeepsOneInstance) {
    Services services;
    test::FakeClock clock;
    test::RecordingDebugLog log;
    RecordingProcessHost first;
    EXPECT_EQ(
        RunProcessEntry({L"Tavrin.exe", L"-servicestart"}, log, services.manager, clock, first), 0);
    EXPECT_EQ(first.calls, (std::vector<std::string>{"create mutex", "run"}));
    EXPECT_TRUE(services.Calls().empty());

    RecordingProcessHost second;
    second.otherInstance = true;
    EXPECT_EQ(
        RunProcessEntry({L"Tavrin.exe", L"-serviceboot"}, log, services.manager, clock, second), 0);
    EXPECT_EQ(second.calls, std::vector<std::string>{"raise first instance"});
}

TEST(ProcessEntry, AStartUpErrorIsShownAndTheExitCodeStaysZero) {
    Services services;
    test::FakeClock clock;
    test::RecordingDebugLog log;
    RecordingProcessHost host;
    host.failure = true;
    EXPECT_EQ(
        RunProcessEntry({L"Tavrin.exe", L"-servicestart"}, log, services.manager, clock, host), 0);
    EXPECT_EQ(host.shown, std::vector<std::wstring>{L"'x' is not a valid integer value"});
}

}  // namespace
}  // namespace tavrin
