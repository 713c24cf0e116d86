#pragma once
// The virtual headset's bus face, found by name in the library the vendor SDK binding loaded.
// The library is bound after the ports are wired, so the names are looked up at first use, once,
// under a lock: the window thread and the workers reach the device side alike.
#include <mutex>

#include "ports/DynamicLibrary.h"
#include "sim/BusFaceApi.h"

namespace tavrin {

// Null for every name the library does not export.
struct BusFaceFunctions {
    TavrinSim_GetDeviceHardwareId_Fn getDeviceHardwareId = nullptr;
    TavrinSim_GetHidInterfacePath_Fn getHidInterfacePath = nullptr;
    TavrinSim_OpenHid_Fn openHid = nullptr;
    TavrinSim_CloseHid_Fn closeHid = nullptr;
    TavrinSim_GetHidAttributes_Fn getHidAttributes = nullptr;
    TavrinSim_GetHidCaps_Fn getHidCaps = nullptr;
    TavrinSim_SetOutputReport_Fn setOutputReport = nullptr;
    TavrinSim_GetInputReport_Fn getInputReport = nullptr;
    TavrinSim_OpenDriver_Fn openDriver = nullptr;
    TavrinSim_CloseDriver_Fn closeDriver = nullptr;
    TavrinSim_DriverControl_Fn driverControl = nullptr;
    TavrinSim_GetCaptureEndpoint_Fn getCaptureEndpoint = nullptr;
    TavrinSim_GetCaptureVolumeStep_Fn getCaptureVolumeStep = nullptr;
    TavrinSim_SetCaptureVolumeScalar_Fn setCaptureVolumeScalar = nullptr;
    TavrinSim_GetCaptureMute_Fn getCaptureMute = nullptr;
    TavrinSim_SetCaptureMute_Fn setCaptureMute = nullptr;
    TavrinSim_GetCaptureAutoGain_Fn getCaptureAutoGain = nullptr;
    TavrinSim_SetCaptureAutoGain_Fn setCaptureAutoGain = nullptr;
    TavrinSim_GetCapturePeak_Fn getCapturePeak = nullptr;
    TavrinSim_ReadCaptureSamples_Fn readCaptureSamples = nullptr;
    TavrinSim_Reset_Fn reset = nullptr;
    TavrinSim_Plug_Fn plug = nullptr;
    TavrinSim_Unplug_Fn unplug = nullptr;
    TavrinSim_SetGpioLine_Fn setGpioLine = nullptr;
    TavrinSim_RunScript_Fn runScript = nullptr;
    TavrinSim_WriteTrace_Fn writeTrace = nullptr;
    TavrinSim_ClearTrace_Fn clearTrace = nullptr;
    TavrinSim_OpenHandleCount_Fn openHandleCount = nullptr;
};

class BusFace {
public:
    explicit BusFace(DynamicLibrary& library) : library_(library) {}

    // All null until the library is loaded; looked up again at the next call until then.
    const BusFaceFunctions& Functions();

private:
    DynamicLibrary& library_;
    std::mutex mutex_;
    bool resolved_ = false;
    BusFaceFunctions functions_;
};

}  // namespace tavrin
