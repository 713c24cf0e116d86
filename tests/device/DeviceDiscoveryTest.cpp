#include <gtest/gtest.h>

#include <map>

#include "app/device/DeviceDiscovery.h"
#include "ports/portable/MemoryRegistry.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakeDeviceBus.h"
#include "tests/support/FakeEnvironment.h"
#include "tests/support/MemoryFileSystem.h"
#include "tests/support/QuietPorts.h"
#include "tests/support/RecordingDebugLog.h"

namespace tavrin {
namespace {

using Calls = std::vector<std::string>;

// The SDK seen by discovery: selection and the readiness probe. Entry points are plain function
// pointers, so their knobs live in one place per test.
struct SdkKnobs {
    std::vector<int32_t> selectResults;  // answered first, in order
    int32_t selectResult = 0;            // then this
    int probeFailures = 0;               // readiness probes that fail before one succeeds
    std::vector<std::pair<uint16_t, uint16_t>> selections;
    std::vector<uint8_t> lastCode;
    int probes = 0;
};
SdkKnobs knobs;

int32_t TAVRIN_SDK_CALL FakeSetActiveDevice(uint16_t vid, uint16_t pid) {
    knobs.selections.emplace_back(vid, pid);
    if (knobs.selectResults.empty()) return knobs.selectResult;
    const int32_t result = knobs.selectResults.front();
    knobs.selectResults.erase(knobs.selectResults.begin());
    return result;
}

int32_t TAVRIN_SDK_CALL FakeAudioCommand(uint8_t* request, uint32_t* size) {
    if (*size != 286) return 3;
    knobs.lastCode = {request[0], request[1], request[2], request[3], request[4], request[5]};
    ++knobs.probes;
    return knobs.probeFailures-- > 0 ? 1 : 0;
}

class FakeSdkLibrary final : public DynamicLibrary {
public:
    bool Load(const std::wstring&) override { return true; }
    void* Symbol(const char* name) override {
        const std::string text = name;
        if (text == "DLLZR_SetActive_Device") return reinterpret_cast<void*>(&FakeSetActiveDevice);
        if (text == "DLLZR_AudioCommand") return reinterpret_cast<void*>(&FakeAudioCommand);
        return &placeholder;
    }
    uint32_t LastError() override { return 0; }
    std::wstring ErrorText(uint32_t) override { return L""; }
    char placeholder = 0;
};

class RecordingHost final : public DiscoveryHost, public DeviceRestore {
public:
    void ShowDeviceLabel(DeviceLabel label) override {
        const char* names[] = {"LabelActive", "LabelUnactive", "LabelUnDriver"};
        calls.push_back(names[static_cast<int>(label)]);
    }
    void UpdateDeviceIndicators() override { calls.push_back("indicators"); }
    void SetTimer1Enabled(bool enabled) override {
        timer1 = enabled;
        calls.push_back(enabled ? "Timer1 on" : "Timer1 off");
    }
    void RedrawCurrentPage() override { calls.push_back("redraw"); }
    void ProcessPendingMessages() override { calls.push_back("messages"); }
    void PrepareMicrophone() override { calls.push_back("prepare microphone"); }
    void Restore(ActivationPath path, bool first) override {
        calls.push_back(std::string("restore ") +
                        (path == ActivationPath::Arrival ? "arrival" : "timer") +
                        (first ? " first" : ""));
    }
    void DeviceRemoved() override { calls.push_back("removed"); }
    void ReleaseDevice() override { calls.push_back("release device"); }

    Calls calls;
    bool timer1 = false;
};

constexpr wchar_t kHeadsetId[] = L"USB\\VID_2B7A&PID_5801&REV_0100&MI_00";
constexpr wchar_t kHeadsetHidName[] =
    L"\\\\?\\HID#VID_2B7A&PID_5801&MI_03#7&2f3a1b4c&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}";

class DeviceDiscoveryTest : public ::testing::Test {
protected:
    DeviceDiscoveryTest() {
        knobs = SdkKnobs{};
        config.SourceFolderFullPath = L"C:\\Program Files\\Tavrin\\";
        files.AddTextFile(config.SourceFolderFullPath + L"AudioConfig.cfg",
                          "[USB_VID_PID]\r\n1=USB\\VID_2B7A&PID_58XX&REV_0100&MI_00\r\n"
                          "2=USB\\VID_2B7A&PID_59XX&REV_0100&MI_00X\r\n");
        enumeration.hardwareIds = {L"ROOT\\HUB", kHeadsetId};
        EXPECT_EQ(sdk.BindVendorSdk(kVendorSdkFileName, errorBox), 0);
    }

    void Unplug() {
        enumeration.hardwareIds = {L"ROOT\\HUB"};
        hid.interfaces.clear();
    }

    test::MemoryFileSystem files;
    MemoryRegistry registry;
    // Discovery reads its configuration through the INI reader, not the profile store.
    test::EmptyProfileStore profiles;
    test::FakeEnvironment environment;
    test::FakeClock clock;
    test::RecordingDebugLog log;
    Platform platform{profiles, registry, files, environment, clock, log};
    CAudioConfig config;
    test::FakeDeviceEnumeration enumeration;
    test::FakeHidBus hid;
    test::FakeDriverBus driver;
    DeviceIo io{hid, driver};
    FakeSdkLibrary library;
    test::SilentErrorBox errorBox;
    VendorSdk sdk{library, log};
    RecordingHost host;
    DeviceDiscovery discovery{platform, config, enumeration, sdk, io, host, host};
};

TEST(ParseVidPid, TakesFourHexDigitsAfterEachMark) {
    const struct {
        const wchar_t* text;
        uint16_t vid, pid;
    } cases[] = {
        {L"USB\\VID_2B7A&PID_5801&REV_0100&MI_00", 0x2B7A, 0x5801},
        {L"\\\\?\\hid#Vid_2b7a&Pid_58a1&mi_03", 0x2B7A, 0x58A1},
        {L"VID_12&PID_3", 0x12, 0x3},
        {L"PID_5801 only", 0, 0},
        {L"VID_2B7A without product", 0x2B7A, 0},
        {L"vid_2b7a&pid_5801", 0, 0},
        {L"", 0, 0},
    };
    for (const auto& c : cases) {
        uint16_t vid = 99, pid = 99;
        ParseVidPid(c.text, vid, pid);
        EXPECT_EQ(vid, c.vid) << c.text;
        EXPECT_EQ(pid, c.pid) << c.text;
    }
}

TEST_F(DeviceDiscoveryTest, OnlyHardwareIdsOfTheServedLengthAreConsidered) {
    std::wstring found;
    enumeration.hardwareIds = {L"USB\\VID_2B7A&PID_5901&REV_0100&MI_00A",
                               L"USB\\VID_2B7A&PID_5801&REV_0100&MI_0", kHeadsetId};
    ASSERT_TRUE(discovery.FindServedDevice(found));
    EXPECT_EQ(found, kHeadsetId) << "the 37-character entry is never a match";

    enumeration.hardwareIds = {L"USB\\VID_2B7A&PID_5901&REV_0100&MI_00A"};
    EXPECT_FALSE(discovery.FindServedDevice(found));
    enumeration.hardwareIds = {L"USB\\VID_2B7A&PID_5801&REV_0100&MI_01"};
    EXPECT_FALSE(discovery.FindServedDevice(found));

    files.FailReads(config.SourceFolderFullPath + L"AudioConfig.cfg",
                    test::MemoryFileSystem::ReadFault::OpenFailed);
    enumeration.hardwareIds = {kHeadsetId};
    EXPECT_FALSE(discovery.FindServedDevice(found)) << "no group, no device";
}

TEST_F(DeviceDiscoveryTest, ConstructionWithDeviceAndDriverIsActiveAndKeepsTheHandle) {
    discovery.ConstructionStep();
    EXPECT_EQ(knobs.selections, (std::vector<std::pair<uint16_t, uint16_t>>{{0x2B7A, 0x5801}}));
    EXPECT_EQ(discovery.m_bDeviceActive, 1);
    EXPECT_EQ(discovery.m_bSync, 1);
    EXPECT_NE(discovery.HidHandle(), kNoDeviceHandle);
    EXPECT_EQ(hid.open.size(), 1u);
    EXPECT_EQ(host.calls, (Calls{"LabelActive", "indicators"}));
    EXPECT_FALSE(host.timer1);
    EXPECT_TRUE(clock.waits.empty());
}

TEST_F(DeviceDiscoveryTest, ConstructionWithoutDeviceLooksTwiceAndPolls) {
    Unplug();
    knobs.selectResult = 5;
    discovery.ConstructionStep();
    EXPECT_EQ(enumeration.enumerations, 2);
    EXPECT_EQ(discovery.ActiveVendorId(), 0);
    EXPECT_EQ(discovery.ActiveProductId(), 0);
    EXPECT_EQ(knobs.selections.size(), 2u) << "selection retried once";
    EXPECT_EQ(clock.waits, std::vector<uint32_t>{10});
    EXPECT_EQ(log.lines,
              std::vector<std::wstring>{L"***** fnDLLZR_SetActive_Device, ret = 5 *****"});
    EXPECT_EQ(host.calls, (Calls{"LabelUnactive", "indicators", "Timer1 on"}));
    EXPECT_EQ(discovery.m_bDeviceActive, 0);
}

TEST_F(DeviceDiscoveryTest, ConstructionWithoutDriverShowsNoDriverAndPolls) {
    driver.presentPaths.clear();
    discovery.ConstructionStep();
    EXPECT_EQ(host.calls, (Calls{"LabelUnDriver", "indicators", "Timer1 on"}));
    EXPECT_EQ(discovery.m_bDeviceActive, 0);
    EXPECT_NE(discovery.HidHandle(), kNoDeviceHandle) << "the handle is still kept";
}

TEST_F(DeviceDiscoveryTest, ArrivalWhileAHandleIsHeldChangesNothing) {
    discovery.ConstructionStep();
    host.calls.clear();
    const int enumerations = enumeration.enumerations;
    discovery.DeviceArrival1(kHeadsetHidName);
    EXPECT_EQ(enumeration.enumerations, enumerations);
    EXPECT_EQ(log.lines, (std::vector<std::wstring>{L"DeviceArrival1", L"m_hDevice != NULL"}));
    EXPECT_EQ(host.calls, Calls{"prepare microphone"});
}

TEST_F(DeviceDiscoveryTest, ArrivalActivatesAndRestoresInOrder) {
    Unplug();
    discovery.ConstructionStep();
    enumeration.hardwareIds = {kHeadsetId};
    hid.interfaces = {{L"headset"}};
    host.calls.clear();
    log.lines.clear();
    clock.waits.clear();
    knobs.probeFailures = 2;

    discovery.HandleDeviceChange(kDbtDeviceArrival, kDbtDeviceTypeInterface, L"", kHeadsetHidName);

    EXPECT_EQ(clock.waits, std::vector<uint32_t>{10});
    EXPECT_EQ(knobs.probes, 3);
    EXPECT_EQ(knobs.lastCode, (std::vector<uint8_t>{4, 0, 0, 0, 0, 0}));
    EXPECT_EQ(log.lines,
              (std::vector<std::wstring>{L"DeviceArrival1",
                                         L"***** ZRN_Set_DEVICE_SYMBOLIC_NAME Success *****"}));
    EXPECT_EQ(host.calls, (Calls{"prepare microphone", "indicators", "redraw",
                                 "restore arrival first", "redraw", "LabelActive", "messages"}));
    EXPECT_EQ(discovery.m_bDeviceActive, 1);
    EXPECT_EQ(discovery.HidHandle(), kNoDeviceHandle) << "closed again at once";
    EXPECT_TRUE(hid.open.empty());
    EXPECT_EQ(discovery.ActivationCount(), 1u);
}

TEST_F(DeviceDiscoveryTest, ArrivalGivesUpSilentlyWhenTheDeviceNeverAnswers) {
    Unplug();
    discovery.ConstructionStep();
    enumeration.hardwareIds = {kHeadsetId};
    hid.interfaces = {{L"headset"}};
    host.calls.clear();
    knobs.probeFailures = 100;
    discovery.DeviceArrival1(kHeadsetHidName);
    EXPECT_EQ(knobs.probes, 5);
    EXPECT_EQ(discovery.m_bDeviceActive, 0);
    EXPECT_EQ(host.calls, Calls{"prepare microphone"});
}

TEST_F(DeviceDiscoveryTest, ArrivalWithoutServedDeviceOrInterface) {
    Unplug();
    discovery.ConstructionStep();
    log.lines.clear();
    host.calls.clear();
    discovery.DeviceArrival1(L"other");
    EXPECT_EQ(log.lines, (std::vector<std::wstring>{L"DeviceArrival1", L"bResult = 0"}));
    EXPECT_EQ(host.calls, Calls{"prepare microphone"});

    enumeration.hardwareIds = {kHeadsetId};  // listed, but its HID interface is not there yet
    host.calls.clear();
    discovery.DeviceArrival1(L"other");
    EXPECT_EQ(host.calls, (Calls{"prepare microphone", "Timer1 on", "LabelUnactive", "indicators",
                                 "redraw", "Timer1 on"}));
}

TEST_F(DeviceDiscoveryTest, TimerTickActivatesWithTenProbesAndStopsPolling) {
    Unplug();
    discovery.ConstructionStep();
    enumeration.hardwareIds = {kHeadsetId};
    hid.interfaces = {{L"headset"}};
    host.calls.clear();
    log.lines.clear();
    knobs.selectResults = {3};
    knobs.selections.clear();
    knobs.probeFailures = 9;
    driver.requests.clear();

    discovery.Timer1Timer();

    EXPECT_EQ(knobs.selections.size(), 2u) << "selection repeated at once";
    EXPECT_TRUE(log.lines.empty());
    EXPECT_EQ(knobs.probes, 10);
    EXPECT_EQ(host.calls, (Calls{"indicators", "redraw", "restore timer first", "redraw",
                                 "LabelActive", "Timer1 off"}));
    EXPECT_FALSE(host.timer1);
    // The poll probes the driver's path too, so the restore sequence's requests reach it.
    EXPECT_EQ(driver.openedPaths,
              std::vector<std::wstring>{L"\\\\.\\Class#UsbAudioExtension&2B7A&5801"});
    EXPECT_TRUE(log.lines.empty()) << "the arrival's success line is not the poll's";
}

TEST_F(DeviceDiscoveryTest, TheDriverPathFollowsAProductChosenLater) {
    discovery.ConstructionStep();
    discovery.DeviceRemoval(kHidInterfaceClass, kHeadsetHidName);
    enumeration.hardwareIds = {L"USB\\VID_2B7A&PID_5833&REV_0100&MI_00"};
    hid.interfaces = {{L"\\\\?\\hid#vid_2b7a&pid_5833&mi_03#1", 0x2B7A, 0x5833}};
    driver.presentPaths = {L"\\\\.\\Class#UsbAudioExtension&2B7A&5833"};
    driver.openedPaths.clear();

    discovery.Timer1Timer();

    ASSERT_EQ(discovery.m_bDeviceActive, 1);
    EXPECT_EQ(discovery.ActiveProductId(), 0x5833);
    ASSERT_FALSE(driver.openedPaths.empty());
    for (const std::wstring& path : driver.openedPaths) {
        EXPECT_EQ(path, L"\\\\.\\Class#UsbAudioExtension&2B7A&5833");
    }
}

// A device the SDK refuses to select answers no SDK call: it is shown offline and polled for,
// at construction, on arrival and on the poll, until a selection succeeds.
TEST_F(DeviceDiscoveryTest, ASelectionThatStillFailsLeavesNoUsableDevice) {
    knobs.selectResult = 7;
    discovery.ConstructionStep();
    EXPECT_EQ(knobs.selections.size(), 2u);
    EXPECT_EQ(log.lines,
              std::vector<std::wstring>{L"***** fnDLLZR_SetActive_Device, ret = 7 *****"});
    EXPECT_EQ(host.calls, (Calls{"LabelUnactive", "indicators", "Timer1 on"}));
    EXPECT_EQ(discovery.m_bDeviceActive, 0);
    EXPECT_EQ(discovery.HidHandle(), kNoDeviceHandle) << "no handle kept for it";

    host.calls.clear();
    log.lines.clear();
    discovery.DeviceArrival1(kHeadsetHidName);
    EXPECT_EQ(log.lines, (std::vector<std::wstring>{
                             L"DeviceArrival1", L"***** fnDLLZR_SetActive_Device, ret = 7 *****"}));
    EXPECT_EQ(discovery.m_bDeviceActive, 0);
    EXPECT_TRUE(host.timer1);
    EXPECT_EQ(knobs.probes, 0) << "the readiness probe is not even tried";

    knobs.selections.clear();
    host.calls.clear();
    discovery.Timer1Timer();
    EXPECT_EQ(knobs.selections.size(), 2u) << "the poll repeats the selection at once";
    EXPECT_EQ(host.calls,
              (Calls{"Timer1 on", "LabelUnactive", "indicators", "redraw", "Timer1 on"}));
    EXPECT_EQ(discovery.m_bDeviceActive, 0);

    knobs.selectResult = 0;
    discovery.Timer1Timer();
    EXPECT_EQ(discovery.m_bDeviceActive, 1) << "recovers once the selection succeeds";
    EXPECT_EQ(host.calls.back(), "Timer1 off");
}

TEST_F(DeviceDiscoveryTest, TimerTickWithoutAnswerKeepsPolling) {
    Unplug();
    discovery.ConstructionStep();
    enumeration.hardwareIds = {kHeadsetId};
    hid.interfaces = {{L"headset"}};
    knobs.probeFailures = 100;
    host.calls.clear();
    discovery.Timer1Timer();
    EXPECT_EQ(knobs.probes, 10);
    EXPECT_TRUE(host.calls.empty());
    EXPECT_TRUE(host.timer1);
}

TEST_F(DeviceDiscoveryTest, RemovalOfTheActiveDeviceOnly) {
    discovery.ConstructionStep();
    host.calls.clear();
    const struct {
        const wchar_t* guid;
        const wchar_t* name;
    } ignored[] = {
        {kHidInterfaceClass, L"\\\\?\\HID#VID_2B7A&PID_5802&MI_03#x"},
        {kHidInterfaceClass, L"\\\\?\\HID#VID_FFF1&PID_5801#x"},
        {L"{6994AD04-93EF-11D0-A3CC-00A0C9223196}", kHeadsetHidName},
    };
    for (const auto& c : ignored) discovery.DeviceRemoval(c.guid, c.name);
    EXPECT_TRUE(host.calls.empty());
    EXPECT_EQ(discovery.m_bDeviceActive, 1);

    discovery.HandleDeviceChange(kDbtDeviceRemoveComplete, kDbtDeviceTypeInterface,
                                 L"{4d1e55b2-f16f-11cf-88cb-001111000030}", kHeadsetHidName);
    EXPECT_EQ(host.calls, (Calls{"LabelUnactive", "indicators", "removed", "redraw",
                                 "release device", "messages"}));
    EXPECT_EQ(discovery.m_bDeviceActive, 0);
    EXPECT_EQ(discovery.m_bSync, 0);
    EXPECT_EQ(discovery.HidHandle(), kNoDeviceHandle);
    EXPECT_TRUE(hid.open.empty());
    EXPECT_EQ(discovery.ActiveVendorId(), 0x2B7A) << "the chosen device stays in force";
}

TEST_F(DeviceDiscoveryTest, OtherDeviceChangeEventsOnlyLetMessagesRun) {
    discovery.HandleDeviceChange(0x8007, kDbtDeviceTypeInterface, kHidInterfaceClass,
                                 kHeadsetHidName);
    discovery.HandleDeviceChange(kDbtDeviceArrival, 2, L"", L"");
    EXPECT_EQ(host.calls, (Calls{"messages", "messages"}));
}

}  // namespace
}  // namespace tavrin
