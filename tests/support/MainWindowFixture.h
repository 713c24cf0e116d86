#pragma once
// The main window against the virtual headset: the SDK and the bus face of the built library,
// the program in a temporary folder with the configuration a test gives.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/device/audio/sim/SimAudio.h"
#include "app/device/sim/SimDeviceBus.h"
#include "app/shell/AudioMainForm.h"
#include "ports/portable/MemoryRegistry.h"
#include "ports/portable/MemoryServiceManager.h"
#include "sim/BusFaceApi.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakeEnvironment.h"
#include "tests/support/FakeWaveDevices.h"
#include "tests/support/HostPorts.h"
#include "tests/support/RecordingDebugLog.h"
#include "tests/support/TempFolder.h"
#include "tests/support/VirtualHeadsetTrace.h"

namespace tavrin::test {

class RecordingErrorBox final : public ErrorBox {
public:
    void Show(const std::wstring& text, const std::wstring&) override { shown.push_back(text); }
    std::vector<std::wstring> shown;
};

template <class Ui, class Features>
class MainWindowFixture : public ::testing::Test {
protected:
    // Every test starts from a freshly plugged headset with an empty trace.
    void SetUpProgram(const std::string& config) {
        host.WriteFile(folder.Path() + L"AudioConfig.cfg", config);
        ASSERT_TRUE(library.Load(kVendorSdkFileName));
        Face().reset();
        Face().plug();
        environment.moduleFileName = folder.Path() + L"Tavrin.exe";
        environment.osVersion = {6, 1, 7601, 1};
    }
    void TearDown() override {
        if (auto reset = Face().reset) reset();
    }
    // The virtual headset's bus face: scenario controls and the trace.
    const BusFaceFunctions& Face() { return bus.Face().Functions(); }
    std::vector<std::string> DeviceTraffic() { return ReadDeviceTraffic(bus.Face(), folder); }
    void ClearTraffic() { ClearDeviceTraffic(bus.Face()); }

    TempFolder folder;
    HostPorts host;
    MemoryRegistry registry;
    FakeEnvironment environment;
    FakeClock clock;
    RecordingDebugLog log;
    Platform platform{host.profiles, registry, host.files, environment, clock, log};
    HostDynamicLibrary library;
    RecordingErrorBox errorBox;
    SimDeviceBus bus{library};
    SimAudio audio{bus.Face()};
    RecordingMediaPlayer mediaPlayer;
    MemoryServiceManager services;
    Ui ui;
    Features features;
    TAudioMainForm form{Ports(ui, library, features)};

    // The fixture's ports, for a second window or one with another UI, SDK or features.
    MainWindowPorts Ports(MainWindowHost& windowUi, DynamicLibrary& sdkLibrary,
                          MainWindowFeatures& windowFeatures) {
        return {platform,
                windowUi,
                sdkLibrary,
                errorBox,
                bus,
                bus,
                bus.Driver(),
                windowFeatures,
                {audio, mediaPlayer, services}};
    }
};

}  // namespace tavrin::test
