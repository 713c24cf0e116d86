// The Windows audio and service ports on Wine: no USB headset, no "audiosrv", but a real
// registry, a real service manager and Wine's Core Audio, DirectSound and mixer.
#include <gtest/gtest.h>
#include <windows.h>

#include <mmsystem.h>

#include <chrono>

#include "app/device/audio/AudioEndpoint.h"
#include "app/device/audio/win32/Win32Audio.h"
#include "app/device/audio/win32/Win32MediaPlayer.h"
#include "ports/portable/SystemClock.h"
#include "ports/win32/Win32Registry.h"
#include "ports/win32/Win32ServiceManager.h"
#include "tests/support/RecordingUiHost.h"

namespace tavrin {
namespace {

constexpr uint32_t kServiceDoesNotExist = 1060;

TEST(Win32ServiceManager, MissingServicesAndTheAbsentAudioService) {
    Win32ServiceManager services;
    uint32_t error = 0;
    auto manager = services.Connect(kScManagerConnect, error);
    ASSERT_NE(manager, nullptr) << error;
    EXPECT_EQ(manager->Open(L"TavrinSurelyAbsentService", kServiceQueryStatus, error), nullptr);
    EXPECT_EQ(error, kServiceDoesNotExist);
    // Wine has no Windows audio service: nothing can be started.
    SystemClock clock;
    EXPECT_EQ(RestartAudioService(services, clock), kAudioServiceStartRefused);
}

// Starting and stopping a real service is shown with our own stand-in service (its test):
// Wine's built-in services do not reliably start in a fresh prefix.
TEST(Win32ServiceManager, QueriesARealService) {
    Win32ServiceManager services;
    uint32_t error = 0;
    auto manager = services.Connect(kScManagerConnect, error);
    ASSERT_NE(manager, nullptr) << error;
    auto service = manager->Open(L"Spooler", kServiceQueryStatus, error);
    ASSERT_NE(service, nullptr) << error;
    ServiceStatus status;
    ASSERT_EQ(service->QueryStatus(status), 0u);
    EXPECT_GE(status.currentState, static_cast<uint32_t>(kServiceStopped));
    EXPECT_LE(status.currentState, static_cast<uint32_t>(kServicePaused));
}

// The capture-devices key moved under a test key, so that the real registry functions (64-bit
// view, subkey enumeration) run without touching Wine's own audio devices.
class MovedRegistry final : public Registry {
public:
    explicit MovedRegistry(std::wstring root) : root_(std::move(root)) {}

    long CreateKey(RegistryHive hive, const std::wstring& path, RegistryView view) override {
        return real_.CreateKey(hive, Move(path), view);
    }
    long SetValue(RegistryHive hive, const std::wstring& path, const std::wstring& name,
                  const RegistryValue& value, RegistryView view) override {
        return real_.SetValue(hive, Move(path), name, value, view);
    }
    long QueryValue(RegistryHive hive, const std::wstring& path, const std::wstring& name,
                    RegistryValue& value, RegistryView view) override {
        return real_.QueryValue(hive, Move(path), name, value, view);
    }
    long DeleteValue(RegistryHive hive, const std::wstring& path, const std::wstring& name,
                     RegistryView view) override {
        return real_.DeleteValue(hive, Move(path), name, view);
    }
    long DeleteTree(RegistryHive hive, const std::wstring& path, RegistryView view) override {
        return real_.DeleteTree(hive, Move(path), view);
    }
    long EnumValueNames(RegistryHive hive, const std::wstring& path,
                        std::vector<std::wstring>& names, RegistryView view) override {
        return real_.EnumValueNames(hive, Move(path), names, view);
    }
    long EnumSubKeyNames(RegistryHive hive, const std::wstring& path,
                         std::vector<std::wstring>& names, RegistryView view) override {
        return real_.EnumSubKeyNames(hive, Move(path), names, view);
    }

private:
    std::wstring Move(const std::wstring& path) const {
        const std::wstring from = kCaptureDevicesKey;
        return path.compare(0, from.size(), from) == 0 ? root_ + path.substr(from.size()) : path;
    }

    Win32Registry real_;
    std::wstring root_;
};

TEST(Win32Audio, ListenSettingInThe64BitViewOfTheRealRegistry) {
    const std::wstring root = L"SOFTWARE\\Tavrin Test\\Capture";
    const auto hklm = RegistryHive::LocalMachine;
    const auto view = RegistryView::Native64;
    Win32Registry real;
    real.DeleteTree(hklm, L"SOFTWARE\\Tavrin Test", view);
    const std::wstring instance = L"{233164c8-1b2c-4c7d-bc68-b671687a2567},1";
    const std::wstring listen = L"{24dbb0fc-9311-4b3d-9cf0-18ff155639d4},4";
    for (const auto& [endpoint, text] :
         {std::pair<std::wstring, std::wstring>{L"{0.0.1.00000000}.{a}",
                                                L"{1}.\\\\?\\usb#vid_2b7a&pid_5801&mi_00"},
          {L"{0.0.1.00000000}.{b}", L"{1}.\\\\?\\usb#vid_fff1&pid_0825&mi_02"}}) {
        const std::wstring properties = root + L"\\" + endpoint + L"\\Properties";
        ASSERT_EQ(real.CreateKey(hklm, properties, view), 0);
        ASSERT_EQ(real.SetValue(hklm, properties, instance, MakeStringValue(text), view), 0);
    }
    std::vector<std::wstring> names;
    ASSERT_EQ(real.EnumSubKeyNames(hklm, root, names, view), 0);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"{0.0.1.00000000}.{a}", L"{0.0.1.00000000}.{b}"}));

    MovedRegistry moved(root);
    SetListenToDevice(moved, true, 0x2B7A, 0x5801);
    RegistryValue value;
    ASSERT_EQ(
        real.QueryValue(hklm, root + L"\\{0.0.1.00000000}.{a}\\Properties", listen, value, view),
        0);
    EXPECT_EQ(value.type, static_cast<uint32_t>(REG_BINARY));
    EXPECT_EQ(value.data,
              (std::vector<uint8_t>{0x0B, 0, 0, 0, 1, 0, 0, 0, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(
        real.QueryValue(hklm, root + L"\\{0.0.1.00000000}.{b}\\Properties", listen, value, view),
        2);
    EXPECT_EQ(real.DeleteTree(hklm, L"SOFTWARE\\Tavrin Test", view), 0);
}

// COM for the thread, as the window thread has it.
class ComThread : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(audio.InitializeCom()); }
    void TearDown() override { audio.UninitializeCom(); }
    Win32Audio audio;
};

TEST_F(ComThread, NoHeadsetNoEndpointNoMixerLine) {
    std::vector<CaptureDriverEntry> entries;
    const AudioResult enumerated = audio.EnumerateCaptureDrivers(entries);
    EXPECT_TRUE(enumerated == kAudioOk || entries.empty()) << std::hex << enumerated;
    EXPECT_EQ(FindCaptureName(audio, 0x2B7A, 0x5801), L"");
    EXPECT_EQ(FindCaptureEndpoint(audio, 0x2B7A, 0x5801), nullptr);
    uint32_t value = 0;
    uint32_t minimum = 0;
    uint32_t maximum = 0;
    EXPECT_EQ(
        MixerControl(audio, MixerOperation::GetVolume, value, minimum, maximum, 0x2B7A, 0x5801),
        kMixerNotFound);
}

TEST_F(ComThread, CoreAudioEnumeratesCaptureEndpoints) {
    std::unique_ptr<AudioDeviceEnumerator> enumerator;
    ASSERT_EQ(audio.CreateDeviceEnumerator(enumerator), kAudioOk);
    std::unique_ptr<AudioDeviceCollection> endpoints;
    ASSERT_EQ(enumerator->EnumActiveCaptureEndpoints(endpoints), kAudioOk);
    uint32_t count = 0;
    ASSERT_EQ(endpoints->GetCount(count), kAudioOk);
    std::unique_ptr<AudioDevice> device;
    EXPECT_NE(enumerator->GetDevice(L"{0.0.1.00000000}.{no-such-endpoint}", device), kAudioOk);
    // Wherever Wine has a capture endpoint (a host with a sound server), the endpoint
    // operations run on it.
    for (uint32_t index = 0; index < count; ++index) {
        ASSERT_EQ(endpoints->Item(index, device), kAudioOk);
        std::wstring name;
        EXPECT_EQ(device->ReadFriendlyName(name), kAudioOk);
        int percent = -1;
        const int level = GetEndpointLevel(audio, *device, percent);
        EXPECT_TRUE(level == kEndpointDone || level == kEndpointActivationFailed) << level;
    }
}

// ---- Wave devices and the media player ----

class CountingSink final : public RecordingSink {
public:
    void BufferFilled(std::span<const uint8_t> samples) override {
        ++buffers;
        bytes = samples.size();
    }
    int buffers = 0;
    size_t bytes = 0;
};

// Runs this thread's messages for a while: the recording's notifications arrive as messages.
void PumpMessages(std::chrono::milliseconds duration) {
    const auto end = std::chrono::steady_clock::now() + duration;
    while (std::chrono::steady_clock::now() < end) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        Sleep(5);
    }
}

constexpr WaveFormat kMeter{1, 8000, 8, 1, 8000};

// Whether the machine has a sound card is not ours to choose: with one, buffers arrive as
// messages on this thread; without one, the open says so and leaves nothing behind.
TEST(Win32Audio, ARecordingDeliversItsBuffersAsMessagesOrSaysWhyNot) {
    Win32Audio audio;
    RecordingUiHost ui;
    CountingSink sink;
    std::unique_ptr<WaveRecording> recording;
    const AudioResult opened = audio.OpenRecording(kMeter, 400, 2, &sink, ui, recording);
    if (waveInGetNumDevs() == 0) {
        EXPECT_NE(opened, kAudioOk);
        EXPECT_EQ(recording, nullptr);
        return;
    }
    ASSERT_EQ(opened, kAudioOk);
    ASSERT_EQ(recording->Start(), kAudioOk);
    PumpMessages(std::chrono::milliseconds(400));
    EXPECT_GT(sink.buffers, 0);
    EXPECT_EQ(sink.bytes, 400u);
    recording->Stop();
    const int arrived = sink.buffers;
    PumpMessages(std::chrono::milliseconds(100));
    EXPECT_EQ(sink.buffers, arrived) << "nothing after the stop";
    recording.reset();
    PumpMessages(std::chrono::milliseconds(50));
}

TEST(Win32Audio, ALoopBackRecordingAndItsPlaybackCloseCleanly) {
    Win32Audio audio;
    RecordingUiHost ui;
    const WaveFormat wide{1, 8000, 16, 2, 16000};
    std::unique_ptr<WaveRecording> recording;
    if (audio.OpenRecording(wide, 0x100000, 1, nullptr, ui, recording) == kAudioOk) {
        recording->Start();
        Sleep(100);
        recording->Stop();
        EXPECT_LE(recording->BytesRecorded(0), 0x100000u);
        EXPECT_EQ(recording->Contents(0).size(), 0x100000u);
    }
    std::unique_ptr<WavePlayback> playback;
    const AudioResult played = audio.Play(wide, std::vector<uint8_t>(16000), playback);
    EXPECT_EQ(played == kAudioOk, playback != nullptr);
    if (waveOutGetNumDevs() == 0) {
        EXPECT_NE(played, kAudioOk);
    }
}

TEST(Win32MediaPlayer, AFileThatCannotBePlayedLeavesThePlayerClosed) {
    Win32MediaPlayer player;
    EXPECT_FALSE(player.Open(L"C:\\surely\\absent\\bee.wav"));
    EXPECT_EQ(player.Length(), 0u);
    EXPECT_EQ(player.Position(), 0u);
    player.Play();
    player.Close();
}

}  // namespace
}  // namespace tavrin
