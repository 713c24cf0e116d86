// Several threads reach the device at once (the window thread, the LED and GPIO workers, the
// SDK's scan thread): register operations from many threads while the headset is unplugged and
// plugged again must neither crash nor leak a handle nor race. Run under ThreadSanitizer by
// scripts/test (preset native-tsan).
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "app/device/DeviceIo.h"
#include "app/device/VendorSdk.h"
#include "app/device/sim/SimDeviceBus.h"
#include "tests/support/HostPorts.h"
#include "tests/support/QuietPorts.h"
#include "tests/support/RecordingDebugLog.h"

namespace tavrin {
namespace {

constexpr int kOperationsPerThread = 2000;
constexpr uint16_t kVendorId = 0x2B7A;
constexpr uint16_t kProductId = 0x5801;

TEST(DeviceAccessStress, RegisterTrafficFromManyThreadsWhileTheHeadsetComesAndGoes) {
    test::HostDynamicLibrary library;
    test::RecordingDebugLog log;
    test::SilentErrorBox errorBox;
    VendorSdk sdk{library, log};
    ASSERT_EQ(sdk.BindVendorSdk(kVendorSdkFileName, errorBox), 0);
    SimDeviceBus bus{library};
    const BusFaceFunctions& face = bus.Face().Functions();
    face.reset();
    face.plug();
    DeviceIo io{bus, bus.Driver()};

    std::atomic<bool> stop{false};
    std::atomic<int> succeeded{0};
    std::vector<std::thread> workers;
    for (int worker = 0; worker < 3; ++worker) {
        workers.emplace_back([&, worker] {
            const auto address = static_cast<uint16_t>(0x120 + worker);
            for (int i = 0; i < kOperationsPerThread; ++i) {
                HidOperation hid(io, kVendorId, kProductId);
                uint8_t value = 0;
                if (hid.Write(address, static_cast<uint8_t>(i)) && hid.Read(address, value)) {
                    ++succeeded;
                }
                sdk.Invoke<&VendorSdkTable::DLLZR_SetEQ_OnOff_ById>(i & 1, 0);
            }
        });
    }
    std::thread plugger([&] {
        // Unplugged for a moment, plugged for longer, as a user's cable would be.
        while (!stop) {
            face.unplug();
            std::this_thread::yield();
            face.plug();
            io.SendDriverEnable(1);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    for (std::thread& worker : workers) worker.join();
    stop = true;
    plugger.join();

    uint32_t handles = 99;
    face.openHandleCount(&handles);
    EXPECT_EQ(handles, 0u) << "every operation closed its handle, whatever the headset did";
    EXPECT_GT(succeeded.load(), 0) << "the headset was plugged most of the time";
    face.reset();
}

}  // namespace
}  // namespace tavrin
