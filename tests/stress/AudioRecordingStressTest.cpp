// The simulation's recordings run a worker each that hands filled buffers to the window thread.
// Recordings opened, run and closed again and again on the window thread, while another thread
// changes the microphone and plugs the headset out and in, must neither race nor deliver a buffer
// after their end. Run under ThreadSanitizer by scripts/test (preset native-tsan).
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "app/device/VendorSdk.h"
#include "app/device/audio/sim/SimAudio.h"
#include "app/device/sim/SimDeviceBus.h"
#include "tests/support/HostPorts.h"
#include "tests/support/RecordingUiHost.h"

namespace tavrin {
namespace {

constexpr int kRecordings = 150;
// 400 bytes at 400000 a second: a buffer every millisecond.
constexpr WaveFormat kFastFormat{1, 400000, 8, 1, 400000};

class CountingSink final : public RecordingSink {
public:
    void BufferFilled(std::span<const uint8_t> samples) override {
        EXPECT_TRUE(open) << "a buffer after the recording's end";
        bytes += samples.size();
    }
    bool open = false;
    size_t bytes = 0;
};

TEST(AudioRecordingStress, RecordingsComeAndGoWhileTheHeadsetDoes) {
    test::HostDynamicLibrary library;
    ASSERT_TRUE(library.Load(kVendorSdkFileName));
    SimDeviceBus bus{library};
    const BusFaceFunctions& face = bus.Face().Functions();
    face.reset();
    face.plug();
    face.runScript(L"peak 0.5");
    SimAudio audio{bus.Face()};
    RecordingUiHost windowThread;

    std::atomic<bool> stop{false};
    std::thread headset([&] {
        while (!stop) {
            face.unplug();
            face.runScript(L"peak 0.25");
            std::this_thread::yield();
            face.plug();
            face.runScript(L"peak 0.75");
        }
    });

    CountingSink sink;
    for (int i = 0; i < kRecordings; ++i) {
        std::unique_ptr<WaveRecording> recording;
        ASSERT_EQ(audio.OpenRecording(kFastFormat, 400, 2, &sink, windowThread, recording),
                  kAudioOk);
        sink.open = true;
        recording->Start();
        std::this_thread::sleep_for(std::chrono::microseconds(500 * (i % 7)));
        windowThread.ProcessPendingMessages();
        if (i % 3 == 0) recording->Stop();
        sink.open = i % 3 != 0;
        windowThread.ProcessPendingMessages();
        sink.open = false;
        recording.reset();
        windowThread.ProcessPendingMessages();
    }
    stop = true;
    headset.join();
    EXPECT_GT(sink.bytes, 0u);
    face.reset();
}

}  // namespace
}  // namespace tavrin
