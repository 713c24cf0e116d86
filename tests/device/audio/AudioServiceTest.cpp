// The listen-to-this-device setting against the in-memory registry, and the audio service
// restart against the in-memory service manager.
#include <gtest/gtest.h>

#include "app/device/audio/AudioEndpoint.h"
#include "ports/portable/MemoryRegistry.h"
#include "ports/portable/MemoryServiceManager.h"
#include "tests/support/FakeClock.h"

namespace tavrin {
namespace {

constexpr auto kHklm = RegistryHive::LocalMachine;
constexpr auto kView64 = RegistryView::Native64;
constexpr wchar_t kInstanceValue[] = L"{233164c8-1b2c-4c7d-bc68-b671687a2567},1";
constexpr wchar_t kListenFirst[] = L"{24dbb0fc-9311-4b3d-9cf0-18ff155639d4},1";
constexpr wchar_t kListenSecond[] = L"{24dbb0fc-9311-4b3d-9cf0-18ff155639d4},4";

const std::vector<uint8_t> kListenOn = {0x0B, 0, 0, 0, 1, 0, 0, 0, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0};
const std::vector<uint8_t> kListenOff = {0x0B, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};

class ListenToDeviceTest : public ::testing::Test {
protected:
    static std::wstring Properties(const std::wstring& endpoint) {
        return std::wstring(kCaptureDevicesKey) + L"\\" + endpoint + L"\\Properties";
    }
    void AddEndpoint(const std::wstring& endpoint, const std::wstring& instance,
                     RegistryView view = kView64) {
        ASSERT_EQ(registry.CreateKey(kHklm, Properties(endpoint), view), 0);
        ASSERT_EQ(registry.SetValue(kHklm, Properties(endpoint), kInstanceValue,
                                    MakeStringValue(instance), view),
                  0);
    }
    // Both listen values of an endpoint, or empty when it was not written.
    std::vector<uint8_t> Listen(const std::wstring& endpoint, RegistryView view = kView64) {
        RegistryValue first;
        RegistryValue second;
        if (registry.QueryValue(kHklm, Properties(endpoint), kListenFirst, first, view) != 0) {
            return {};
        }
        EXPECT_EQ(registry.QueryValue(kHklm, Properties(endpoint), kListenSecond, second, view), 0);
        EXPECT_EQ(first.type, static_cast<uint32_t>(kRegBinary));
        EXPECT_EQ(second.type, static_cast<uint32_t>(kRegBinary));
        EXPECT_EQ(first.data, second.data);
        return first.data;
    }

    MemoryRegistry registry;
};

TEST_F(ListenToDeviceTest, WritesEveryEndpointOfTheDeviceOnly) {
    AddEndpoint(L"{0.0.1.00000000}.{a}", L"{1}.\\\\?\\usb#vid_2b7a&pid_5801&mi_00#7&1f2e#{x}");
    AddEndpoint(L"{0.0.1.00000000}.{b}", L"{1}.\\\\?\\usb#vid_2b7a&pid_5801&mi_03#7&9a8b#{x}");
    AddEndpoint(L"{0.0.1.00000000}.{c}", L"{1}.\\\\?\\usb#vid_fff1&pid_0825&mi_02#6&1c#{x}");
    AddEndpoint(L"{0.0.1.00000000}.{d}", L"{1}.\\\\?\\usb#vid_2b7a&pid_5802&mi_00#7&2f#{x}");
    AddEndpoint(L"{0.0.1.00000000}.{e}", L"{1}.\\\\?\\USB#VID_2B7A&PID_5801&MI_00#7&3f#{x}");
    AddEndpoint(L"{0.0.1.00000000}.{a}", L"{1}.\\\\?\\usb#vid_2b7a&pid_5801&mi_00#7&1f2e#{x}",
                RegistryView::Default);

    SetListenToDevice(registry, true, 0x2B7A, 0x5801);
    EXPECT_EQ(Listen(L"{0.0.1.00000000}.{a}"), kListenOn);
    EXPECT_EQ(Listen(L"{0.0.1.00000000}.{b}"), kListenOn);
    EXPECT_TRUE(Listen(L"{0.0.1.00000000}.{c}").empty()) << "another device";
    EXPECT_TRUE(Listen(L"{0.0.1.00000000}.{d}").empty()) << "another product";
    EXPECT_TRUE(Listen(L"{0.0.1.00000000}.{e}").empty()) << "the texts are lower case";
    EXPECT_TRUE(Listen(L"{0.0.1.00000000}.{a}", RegistryView::Default).empty())
        << "the 64-bit view only";

    SetListenToDevice(registry, false, 0x2B7A, 0x5801);
    EXPECT_EQ(Listen(L"{0.0.1.00000000}.{a}"), kListenOff);
    EXPECT_EQ(Listen(L"{0.0.1.00000000}.{b}"), kListenOff);
}

TEST_F(ListenToDeviceTest, TextsCountOnlyAfterTheFirstCharacter) {
    AddEndpoint(L"vid first", L"2b7a&pid_5801 of another");
    AddEndpoint(L"pid first", L"5801 {1}.usb\\vid_2b7a");
    AddEndpoint(L"vid again later", L"2b7a {1}.usb\\vid_2b7a&pid_5801");
    SetListenToDevice(registry, true, 0x2B7A, 0x5801);
    EXPECT_TRUE(Listen(L"vid first").empty());
    EXPECT_TRUE(Listen(L"pid first").empty());
    EXPECT_EQ(Listen(L"vid again later"), kListenOn);
}

TEST_F(ListenToDeviceTest, HexWithoutLeadingZeros) {
    AddEndpoint(L"padded", L"{1}.usb\\vid_2b7a&pid_0012");
    AddEndpoint(L"other vendor", L"{1}.usb\\vid_fff1&pid_0012");
    AddEndpoint(L"longer numbers", L"{1}.usb\\vid_12b7a&pid_1203");
    SetListenToDevice(registry, true, 0x2B7A, 0x0012);
    EXPECT_EQ(Listen(L"padded"), kListenOn);
    EXPECT_TRUE(Listen(L"other vendor").empty());
    EXPECT_EQ(Listen(L"longer numbers"), kListenOn)
        << "\"2b7a\" and \"12\" are searched as they are, inside longer numbers too";
}

TEST_F(ListenToDeviceTest, UnreadableEndpointsAreSkipped) {
    ASSERT_EQ(registry.CreateKey(kHklm, std::wstring(kCaptureDevicesKey) + L"\\bare", kView64), 0);
    AddEndpoint(L"long", L"{1}.usb\\vid_2b7a&pid_5801" + std::wstring(120, L'x'));
    AddEndpoint(L"binary", L"");
    const std::wstring text = L"{1}.usb\\vid_2b7a&pid_5801";
    RegistryValue binary = MakeStringValue(text);
    binary.type = kRegBinary;
    ASSERT_EQ(registry.SetValue(kHklm, Properties(L"binary"), kInstanceValue, binary, kView64), 0);
    AddEndpoint(L"fits", L"{1}.usb\\vid_2b7a&pid_5801" + std::wstring(104, L'x'));
    SetListenToDevice(registry, true, 0x2B7A, 0x5801);
    EXPECT_TRUE(Listen(L"long").empty()) << "more than 260 bytes does not fit the buffer";
    EXPECT_EQ(Listen(L"fits"), kListenOn) << "129 characters and the null are 260 bytes";
    EXPECT_TRUE(Listen(L"binary").empty()) << "not a text value";
    EXPECT_FALSE(registry.KeyExists(kHklm, Properties(L"bare"), kView64));
}

TEST_F(ListenToDeviceTest, NoCaptureKeyNoChange) {
    SetListenToDevice(registry, true, 0x2B7A, 0x5801);
    EXPECT_FALSE(registry.KeyExists(kHklm, kCaptureDevicesKey, kView64));
}

TEST(MemoryRegistrySubKeys, DirectChildrenInNameOrder) {
    MemoryRegistry registry;
    const auto view = RegistryView::Default;
    ASSERT_EQ(registry.CreateKey(kHklm, L"SOFTWARE\\Root\\beta\\Deep", view), 0);
    ASSERT_EQ(registry.CreateKey(kHklm, L"SOFTWARE\\Root\\Alpha", view), 0);
    ASSERT_EQ(registry.CreateKey(kHklm, L"SOFTWARE\\RootSibling\\Other", view), 0);
    ASSERT_EQ(registry.CreateKey(kHklm, L"SOFTWARE\\Root\\Alpha", kView64), 0);
    ASSERT_EQ(registry.CreateKey(kHklm, L"SOFTWARE\\Root\\Gamma", kView64), 0);

    std::vector<std::wstring> names{L"stale"};
    ASSERT_EQ(registry.EnumSubKeyNames(kHklm, L"software\\root", names, view), 0);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"Alpha", L"beta"}))
        << "spelled as created, without grandchildren, siblings or the other view";
    ASSERT_EQ(registry.EnumSubKeyNames(kHklm, L"SOFTWARE\\Root\\Alpha", names, view), 0);
    EXPECT_TRUE(names.empty());
    EXPECT_EQ(registry.EnumSubKeyNames(kHklm, L"SOFTWARE\\Absent", names, view), 2);
}

struct RestartCase {
    const char* what;
    MemoryServiceManager::ServiceSetup setup;
    int result;
    std::vector<std::wstring> firstCalls;  // the calls before the status queries after a stop
    uint32_t queries;
    uint32_t waited;  // milliseconds, through the clock
    bool started;     // a start was asked for last
    uint32_t finalState;
};

void PrintTo(const RestartCase& c, std::ostream* out) {
    *out << c.what;
}

class RestartAudioServiceTest : public ::testing::TestWithParam<RestartCase> {};

TEST_P(RestartAudioServiceTest, StopsWaitsAndStarts) {
    const RestartCase& c = GetParam();
    MemoryServiceManager services;
    test::FakeClock clock;
    services.AddService(L"AudioSrv", c.setup);
    EXPECT_EQ(RestartAudioService(services, clock), c.result);
    const auto record = services.Record(L"audiosrv");
    EXPECT_EQ(record.queries, c.queries);
    EXPECT_EQ(record.state, c.finalState);
    ASSERT_GE(record.calls.size(), c.firstCalls.size());
    EXPECT_EQ(
        std::vector<std::wstring>(record.calls.begin(), record.calls.begin() + c.firstCalls.size()),
        c.firstCalls);
    EXPECT_EQ(record.calls.back() == L"start", c.started);
    EXPECT_EQ(clock.now, c.waited);
    for (const uint32_t wait : clock.waits) EXPECT_EQ(wait, kAudioServiceStopPoll);
    EXPECT_EQ(services.OpenHandles(), 0) << "both handles are closed";
}

using Setup = MemoryServiceManager::ServiceSetup;
constexpr uint32_t kNever = MemoryServiceManager::kNever;
// The stop is polled every 100 ms for 10 s: the query at once and one after each wait.
constexpr uint32_t kLastQueryInTime = kAudioServiceStopLimit / kAudioServiceStopPoll + 1;

INSTANTIATE_TEST_SUITE_P(
    Cases, RestartAudioServiceTest,
    ::testing::Values(RestartCase{"running, stops at once",
                                  Setup{kServiceRunning, 0, 0, 0},
                                  kAudioServiceDone,
                                  {L"query", L"control 1", L"query", L"start"},
                                  2,
                                  0,
                                  true,
                                  kServiceRunning},
                      RestartCase{"running, stops on the last query in time",
                                  Setup{kServiceRunning, kLastQueryInTime, 0, 0},
                                  kAudioServiceDone,
                                  {L"query", L"control 1"},
                                  1 + kLastQueryInTime,
                                  kAudioServiceStopLimit,
                                  true,
                                  kServiceRunning},
                      RestartCase{"stopped: only started",
                                  Setup{kServiceStopped, 0, 0, 0},
                                  kAudioServiceDone,
                                  {L"query", L"start"},
                                  1,
                                  0,
                                  true,
                                  kServiceRunning},
                      RestartCase{"stop refused: it still runs",
                                  Setup{kServiceRunning, 0, 1051, 0},
                                  kAudioServiceStopRefused,
                                  {L"query", L"control 1"},
                                  1,
                                  0,
                                  false,
                                  kServiceRunning},
                      RestartCase{"never stops: start asked for all the same",
                                  Setup{kServiceRunning, kNever, 0, 0},
                                  kAudioServiceNotStopped,
                                  {L"query", L"control 1"},
                                  1 + kLastQueryInTime,
                                  kAudioServiceStopLimit,
                                  true,
                                  kServiceStopPending},
                      RestartCase{"stops one poll too late",
                                  Setup{kServiceRunning, kLastQueryInTime + 1, 0, 0},
                                  kAudioServiceNotStopped,
                                  {L"query", L"control 1"},
                                  1 + kLastQueryInTime,
                                  kAudioServiceStopLimit,
                                  true,
                                  kServiceStopPending},
                      RestartCase{"start refused after the stop",
                                  Setup{kServiceRunning, 3, 0, 1058},
                                  kAudioServiceStartRefused,
                                  {L"query", L"control 1", L"query", L"query", L"query", L"start"},
                                  4,
                                  2 * kAudioServiceStopPoll,
                                  true,
                                  kServiceStopped},
                      RestartCase{"start refused, never ran",
                                  Setup{kServiceStopped, 0, 0, 1058},
                                  kAudioServiceStartRefused,
                                  {L"query", L"start"},
                                  1,
                                  0,
                                  true,
                                  kServiceStopped}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(RestartAudioService, WithoutManagerOrServiceNothingStarts) {
    MemoryServiceManager services;
    test::FakeClock clock;
    EXPECT_EQ(RestartAudioService(services, clock), kAudioServiceStartRefused) << "no such service";
    services.AddService(L"audiosrv", {});
    services.RefuseConnect(5);
    EXPECT_EQ(RestartAudioService(services, clock), kAudioServiceStartRefused);
    EXPECT_TRUE(services.Record(L"audiosrv").calls.empty());
    EXPECT_EQ(services.OpenHandles(), 0);
}

TEST(MemoryServiceManager, AnswersLikeTheServiceControlManager) {
    MemoryServiceManager services;
    services.AddService(L"Quorvel", {kServiceRunning, 2, 0, 0});
    uint32_t error = 0;
    auto manager = services.Connect(kScManagerConnect, error);
    ASSERT_NE(manager, nullptr);
    EXPECT_EQ(manager->Open(L"Absent", kServiceAllAccess, error), nullptr);
    EXPECT_EQ(error, MemoryServiceManager::kServiceDoesNotExist);

    auto queryOnly = manager->Open(L"quorvel", kServiceQueryStatus, error);
    ASSERT_NE(queryOnly, nullptr);
    ServiceStatus status;
    EXPECT_EQ(queryOnly->Control(kServiceControlStop, status), MemoryServiceManager::kAccessDenied);
    EXPECT_EQ(queryOnly->Control(193, status), MemoryServiceManager::kAccessDenied);
    EXPECT_EQ(queryOnly->Start(), MemoryServiceManager::kAccessDenied);

    auto service = manager->Open(L"QUORVEL", kServiceAllAccess, error);
    EXPECT_EQ(service->Control(193, status), 0u) << "a service's own control code";
    EXPECT_EQ(service->Control(20, status), MemoryServiceManager::kInvalidServiceControl);
    EXPECT_EQ(service->Start(), MemoryServiceManager::kServiceAlreadyRunning);
    EXPECT_EQ(service->Control(kServiceControlStop, status), 0u);
    EXPECT_EQ(status.currentState, kServiceStopPending);
    EXPECT_EQ(service->Control(kServiceControlStop, status),
              MemoryServiceManager::kServiceCannotAcceptControl);
    EXPECT_EQ(service->QueryStatus(status), 0u);
    EXPECT_EQ(status.currentState, kServiceStopPending);
    EXPECT_EQ(service->QueryStatus(status), 0u);
    EXPECT_EQ(status.currentState, kServiceStopped);
    EXPECT_EQ(service->Control(193, status), MemoryServiceManager::kServiceNotActive);
    EXPECT_EQ(service->Start(), 0u);
    EXPECT_EQ(services.Record(L"Quorvel").state, kServiceRunning);
    EXPECT_EQ(services.OpenHandles(), 3);
}

}  // namespace
}  // namespace tavrin
