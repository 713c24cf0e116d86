// The control application's entry: the one place where the Windows ports are chosen and wired.
#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

#include "app/device/SimulationMode.h"
#include "app/device/audio/sim/SimAudio.h"
#include "app/device/audio/win32/Win32Audio.h"
#include "app/device/audio/win32/Win32MediaPlayer.h"
#include "app/device/sim/SimDeviceBus.h"
#include "app/device/win32/Win32DeviceBus.h"
#include "app/device/win32/Win32ErrorBox.h"
#include "app/features/AudioFeatures.h"
#include "app/shell/ProcessEntry.h"
#include "app/shell/win32/Win32ProcessHost.h"
#include "ports/Platform.h"
#include "ports/portable/SystemClock.h"
#include "ports/win32/Win32DebugLog.h"
#include "ports/win32/Win32DynamicLibrary.h"
#include "ports/win32/Win32Environment.h"
#include "ports/win32/Win32FileSystem.h"
#include "ports/win32/Win32ProfileStore.h"
#include "ports/win32/Win32Registry.h"
#include "ports/win32/Win32ServiceManager.h"

namespace {

std::vector<std::wstring> CommandLineArguments() {
    int count = 0;
    LPWSTR* list = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::wstring> arguments;
    if (list == nullptr) return arguments;
    arguments.assign(list, list + count);
    LocalFree(list);
    return arguments;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    using namespace tavrin;
    Win32ProfileStore profiles;
    Win32Registry registry;
    Win32FileSystem files;
    Win32Environment environment;
    SystemClock clock;
    Win32DebugLog debugLog;
    Platform platform{profiles, registry, files, environment, clock, debugLog};

    Win32DynamicLibrary sdkLibrary;
    Win32ErrorBox errorBox;
    Win32ServiceManager services;

    // The virtual headset answers for the device only when asked to at start.
    SimDeviceBus simulatedBus(sdkLibrary);
    Win32DeviceEnumeration windowsDevices;
    Win32HidBus windowsHid;
    Win32DriverBus windowsDriver;
    const bool simulation = SimulationModeRequested(environment);
    DeviceEnumeration& devices =
        simulation ? static_cast<DeviceEnumeration&>(simulatedBus) : windowsDevices;
    HidBus& hid = simulation ? static_cast<HidBus&>(simulatedBus) : windowsHid;
    DriverBus& driver = simulation ? simulatedBus.Driver() : windowsDriver;
    // The headset's microphone too; the media player is the system's either way.
    SimAudio simulatedAudio(simulatedBus.Face());
    Win32Audio windowsAudio;
    Audio& audio = simulation ? static_cast<Audio&>(simulatedAudio) : windowsAudio;
    Win32MediaPlayer mediaPlayer;

    AudioFeatures features;
    Win32ProcessHost host(instance, {platform,
                                     sdkLibrary,
                                     errorBox,
                                     devices,
                                     hid,
                                     driver,
                                     features,
                                     {audio, mediaPlayer, services}});
    RunProcessEntry(CommandLineArguments(), debugLog, services, clock, host);
    return 0;
}
