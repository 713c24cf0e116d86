// Discovery end to end against the built virtual headset: the SDK face through the binding
// table, the bus face through the simulation ports.
#include <gtest/gtest.h>

#include <optional>

#include "app/device/DeviceDiscovery.h"
#include "app/device/sim/SimDeviceBus.h"
#include "ports/portable/MemoryRegistry.h"
#include "sim/BusFaceApi.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakeEnvironment.h"
#include "tests/support/HostPorts.h"
#include "tests/support/MemoryFileSystem.h"
#include "tests/support/QuietDiscoveryHost.h"
#include "tests/support/QuietPorts.h"
#include "tests/support/RecordingDebugLog.h"

namespace tavrin {
namespace {

// As Windows broadcasts it: upper case, unlike the enumerated path.
constexpr wchar_t kBroadcastName[] =
    L"\\\\?\\HID#VID_2B7A&PID_5801&MI_03#7&2F3A1B4C&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}";

class DiscoveryWithVirtualHeadset : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(sdk.BindVendorSdk(kVendorSdkFileName, errorBox), 0);
        bus.emplace(library);
        const BusFaceFunctions& face = bus->Face().Functions();
        reset = face.reset;
        plug = face.plug;
        unplug = face.unplug;
        openHandles = face.openHandleCount;
        ASSERT_TRUE(reset && plug && unplug && openHandles);
        reset();
        plug();
        config.SourceFolderFullPath = L"C:\\Tavrin\\";
        files.AddTextFile(L"C:\\Tavrin\\AudioConfig.cfg",
                          "[USB_VID_PID]\r\n1=USB\\VID_2B7A&PID_58XX&REV_0100&MI_00\r\n");
        io.emplace(*bus, bus->Driver());
        discovery.emplace(platform, config, *bus, sdk, *io, host, host);
    }
    void TearDown() override {
        if (reset) reset();
    }
    uint32_t OpenHandles() {
        uint32_t count = 0;
        openHandles(&count);
        return count;
    }

    test::HostDynamicLibrary library;
    test::RecordingDebugLog log;
    test::SilentErrorBox errorBox;
    VendorSdk sdk{library, log};
    TavrinSim_Reset_Fn reset = nullptr;
    TavrinSim_Plug_Fn plug = nullptr;
    TavrinSim_Unplug_Fn unplug = nullptr;
    TavrinSim_OpenHandleCount_Fn openHandles = nullptr;

    test::MemoryFileSystem files;
    MemoryRegistry registry;
    // Discovery reads its configuration through the INI reader, not the profile store.
    test::EmptyProfileStore profiles;
    test::FakeEnvironment environment;
    test::FakeClock clock;
    Platform platform{profiles, registry, files, environment, clock, log};
    CAudioConfig config;
    test::QuietDiscoveryHost host;
    // The bus face is looked up in the library once it is bound.
    std::optional<SimDeviceBus> bus;
    std::optional<DeviceIo> io;
    std::optional<DeviceDiscovery> discovery;
};

TEST_F(DiscoveryWithVirtualHeadset, ConstructionFindsTheHeadsetAndItsDriver) {
    discovery->ConstructionStep();
    EXPECT_EQ(discovery->ActiveProductId(), 0x5801);
    EXPECT_EQ(discovery->m_bDeviceActive, 1);
    EXPECT_EQ(host.label, DeviceLabel::Active);
    EXPECT_EQ(OpenHandles(), 1u) << "the HID handle kept since construction";
}

TEST_F(DiscoveryWithVirtualHeadset, AThousandUnplugsAndReplugsLeakNoHandle) {
    discovery->ConstructionStep();
    for (int cycle = 0; cycle < 1000; ++cycle) {
        unplug();
        discovery->DeviceRemoval(kHidInterfaceClass, kBroadcastName);
        ASSERT_EQ(discovery->m_bDeviceActive, 0) << "cycle " << cycle;
        plug();
        discovery->DeviceArrival1(kBroadcastName);
        ASSERT_EQ(discovery->m_bDeviceActive, 1) << "cycle " << cycle;
    }
    EXPECT_EQ(OpenHandles(), 0u);
    EXPECT_EQ(host.label, DeviceLabel::Active);
    EXPECT_EQ(host.firstActivations, 1) << "the count only resets with the construction handle";
}

TEST_F(DiscoveryWithVirtualHeadset, WithoutTheHeadsetThePollTakesOver) {
    unplug();
    discovery->ConstructionStep();
    EXPECT_EQ(host.label, DeviceLabel::Unactive);
    EXPECT_TRUE(host.timer1);
    plug();
    discovery->Timer1Timer();
    EXPECT_EQ(discovery->m_bDeviceActive, 1);
    EXPECT_FALSE(host.timer1);
    EXPECT_EQ(OpenHandles(), 0u);
}

}  // namespace
}  // namespace tavrin
