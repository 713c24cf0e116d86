#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "app/device/DeviceDiscovery.h"
#include "app/device/audio/sim/SimAudio.h"
#include "app/features/AudioFeatures.h"
#include "ports/portable/MemoryRegistry.h"
#include "ports/portable/MemoryServiceManager.h"
#include "ports/portable/PortableFileSystem.h"
#include "ports/portable/PortableProfileStore.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakeDeviceBus.h"
#include "tests/support/FakeEnvironment.h"
#include "tests/support/FakeWaveDevices.h"
#include "tests/support/QuietDiscoveryHost.h"
#include "tests/support/RecordingDebugLog.h"
#include "tests/support/RecordingUiHost.h"
#include "tests/support/TempFolder.h"

namespace tavrin {

std::string_view MainFormDesignText();

namespace {

// No vendor SDK: its calls come back at once.
class NoLibrary final : public DynamicLibrary {
public:
    bool Load(const std::wstring&) override { return false; }
    void* Symbol(const char*) override { return nullptr; }
    uint32_t LastError() override { return 126; }
    std::wstring ErrorText(uint32_t) override { return L""; }
};

// The window as far as the profile uses it: the shipped design's controls.
class DesignWindow final : public WindowControls {
public:
    DesignWindow() {
        std::vector<std::wstring> problems;
        form_ = ParseFormDesign(MainFormDesignText(), problems);
    }
    FormModel& Form() override { return form_; }
    void ShowPicture(const wchar_t*, const wchar_t*, Component&) override {}
    void ShowLinkPicture(const wchar_t*, Component&) override {}
    void ShowLook(const ControlRow&, bool) override {}
    void ShowButton(int32_t, bool) override {}
    void SetCaptionColour(Component&, const wchar_t*, bool) override {}
    SliderTravel EqSliderTravel() override { return {}; }
    SliderTravel MicSliderTravel() override { return {}; }
    SpeakerCircle VirtualCircle() override { return {}; }
    int32_t MicProgressLength() override { return 0; }
    LedSkinValues LedSkin() override { return {}; }
    GivenTravel EncSliderTravel() override { return {}; }
    void PressControl(std::wstring_view) override {}
    void ShowPage(int32_t) override {}
    void RestoreWindow() override {}
    void ShowWarning(const wchar_t*) override {}
    void RedrawCurrentPage() override {}
    void Repaint() override {}
    void ShowSkinRecord(const wchar_t*, const wchar_t*, Component&) override {}
    void ApplyLabelRecord(const wchar_t*, Component&) override {}
    void ShowModalForm(const FormModel&, const std::wstring&,
                       const std::function<void(const Component&)>&) override {}

private:
    FormModel form_;
};

// The profile unit with an active device that answers every register at once (the SDK calls
// return unbound), and its files on the disk through the portable store: what a save and a load
// cost beyond the device's own time.
class ProfileBench {
public:
    ProfileBench() {
        hid.interfaces.push_back(
            {L"\\\\?\\hid#headset", kInitialVendorId, discovery.ActiveProductId(), true});
        discovery.m_bDeviceActive = 1;
        discovery.m_bSync = 1;
        features.Attach(context);
        features.SetInitialState();
        features.ConstructPages();
        features.Eq().LoadPresetValues({L"0x300", L"0x500", L"0x9FF", L"0x200", L"0x6FF", L"1"}, 2,
                                       1);
        settings.m_iCurrentEffect = 4;
    }
    Profiles& Unit() { return features.ProfileFiles(); }
    std::wstring File() const { return folder.Path() + kLastProfileFileName; }
    void ForgetReports() { hid.sent.clear(); }

private:
    test::TempFolder folder;
    PortableFileSystem files;
    PortableProfileStore profiles{files};
    MemoryRegistry registry;
    test::FakeEnvironment environment;
    test::FakeClock clock;
    test::RecordingDebugLog log;
    Platform platform{profiles, registry, files, environment, clock, log};
    NoLibrary library;
    VendorSdk sdk{library, log};
    test::FakeDeviceEnumeration devices;
    test::FakeHidBus hid;
    test::FakeDriverBus driver;
    DeviceIo io{hid, driver};
    CAudioConfig config;
    test::QuietDiscoveryHost host;
    DeviceDiscovery discovery{platform, config, devices, sdk, io, host, host};
    RecordingUiHost ui;
    SettingsModel settings;
    ConfigurationImage image;
    DesignWindow window;
    MainWindowConfig windowConfig;
    // No microphone, nothing to play on.
    BusFace busFace{library};
    SimAudio audio{busFace};
    test::RecordingMediaPlayer mediaPlayer;
    MemoryServiceManager services;
    FeatureContext context{
        platform,  ui,     settings, sdk,          io,
        discovery, window, image,    windowConfig, {audio, mediaPlayer, services},
        6,         L""};
    AudioFeatures features;
};

// Saving at close and loading at start must not be felt.
constexpr char kBudget[] = "budget 20 ms";

void BM_SaveProfile(benchmark::State& state) {
    ProfileBench bench;
    state.SetLabel(kBudget);
    for (auto _ : state) {
        benchmark::DoNotOptimize(bench.Unit().SaveProfile(bench.File()));
        bench.ForgetReports();
    }
}
BENCHMARK(BM_SaveProfile)->Unit(benchmark::kMillisecond);

void BM_LoadProfile(benchmark::State& state) {
    ProfileBench bench;
    bench.Unit().SaveProfile(bench.File());
    state.SetLabel(kBudget);
    for (auto _ : state) {
        bench.Unit().LoadProfile(bench.File());
        bench.ForgetReports();
    }
}
BENCHMARK(BM_LoadProfile)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tavrin
