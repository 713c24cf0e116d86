#include "app/device/sim/BusFace.h"

namespace tavrin {
namespace {

template <class Function>
void Find(DynamicLibrary& library, Function& function, const char* name) {
    function = reinterpret_cast<Function>(library.Symbol(name));
}

}  // namespace

const BusFaceFunctions& BusFace::Functions() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (resolved_) return functions_;
    BusFaceFunctions& f = functions_;
    DynamicLibrary& l = library_;
    Find(l, f.getDeviceHardwareId, "TavrinSim_GetDeviceHardwareId");
    Find(l, f.getHidInterfacePath, "TavrinSim_GetHidInterfacePath");
    Find(l, f.openHid, "TavrinSim_OpenHid");
    Find(l, f.closeHid, "TavrinSim_CloseHid");
    Find(l, f.getHidAttributes, "TavrinSim_GetHidAttributes");
    Find(l, f.getHidCaps, "TavrinSim_GetHidCaps");
    Find(l, f.setOutputReport, "TavrinSim_SetOutputReport");
    Find(l, f.getInputReport, "TavrinSim_GetInputReport");
    Find(l, f.openDriver, "TavrinSim_OpenDriver");
    Find(l, f.closeDriver, "TavrinSim_CloseDriver");
    Find(l, f.driverControl, "TavrinSim_DriverControl");
    Find(l, f.getCaptureEndpoint, "TavrinSim_GetCaptureEndpoint");
    Find(l, f.getCaptureVolumeStep, "TavrinSim_GetCaptureVolumeStep");
    Find(l, f.setCaptureVolumeScalar, "TavrinSim_SetCaptureVolumeScalar");
    Find(l, f.getCaptureMute, "TavrinSim_GetCaptureMute");
    Find(l, f.setCaptureMute, "TavrinSim_SetCaptureMute");
    Find(l, f.getCaptureAutoGain, "TavrinSim_GetCaptureAutoGain");
    Find(l, f.setCaptureAutoGain, "TavrinSim_SetCaptureAutoGain");
    Find(l, f.getCapturePeak, "TavrinSim_GetCapturePeak");
    Find(l, f.readCaptureSamples, "TavrinSim_ReadCaptureSamples");
    Find(l, f.reset, "TavrinSim_Reset");
    Find(l, f.plug, "TavrinSim_Plug");
    Find(l, f.unplug, "TavrinSim_Unplug");
    Find(l, f.setGpioLine, "TavrinSim_SetGpioLine");
    Find(l, f.runScript, "TavrinSim_RunScript");
    Find(l, f.writeTrace, "TavrinSim_WriteTrace");
    Find(l, f.clearTrace, "TavrinSim_ClearTrace");
    Find(l, f.openHandleCount, "TavrinSim_OpenHandleCount");
    // A library without the bus face (the vendor's own) stays without it; look again only
    // while nothing is loaded at all.
    resolved_ = f.getDeviceHardwareId != nullptr || f.reset != nullptr;
    return functions_;
}

}  // namespace tavrin
