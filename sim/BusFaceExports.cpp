// The bus face of the virtual headset: what Windows would report about the device, and the
// controls of a scenario, exported beside the vendor SDK face and acting on the same simulator.
#include <type_traits>

#include "sim/BusFaceApi.h"
#include "sim/LibrarySimulator.h"
#if defined(_WIN32)
#include "sim/win32/DeviceAnnouncement.h"
#include "sim/win32/PinLibrary.h"
#endif

namespace tavrin::sim {

// Created once and never destroyed: a scan thread may still run while the process ends, and
// joining it from a static destructor (under the Windows loader lock) would hang.
HeadsetSimulator& LibrarySimulator() {
    static HeadsetSimulator* const simulator = [] {
#if defined(_WIN32)
        PinLibrary();  // on Linux the library is linked with -z nodelete
#endif
        auto* created = new HeadsetSimulator;
#if defined(_WIN32)
        created->SetDeviceAnnouncer(&AnnounceDeviceChange);
#endif
        created->LoadFromEnvironment();
        return created;
    }();
    return *simulator;
}

namespace {

// TAVRIN_SIM_TRACE and TAVRIN_SIM_SCRIPT take effect when the library loads, before any call.
[[maybe_unused]] const bool kLoadedWithEnvironment = (LibrarySimulator(), true);

}  // namespace
}  // namespace tavrin::sim

#if defined(_WIN32)
#define TAVRIN_BUS_EXPORT extern "C" int32_t TAVRIN_SDK_CALL
#else
#define TAVRIN_BUS_EXPORT extern "C" __attribute__((visibility("default"))) int32_t
#endif

namespace {

tavrin::sim::HeadsetSimulator& Sim() {
    return tavrin::sim::LibrarySimulator();
}

}  // namespace

TAVRIN_BUS_EXPORT TavrinSim_GetDeviceHardwareId(uint32_t index, wchar_t* buffer,
                                                uint32_t capacity) {
    return Sim().GetDeviceHardwareId(index, buffer, capacity);
}

TAVRIN_BUS_EXPORT TavrinSim_GetHidInterfacePath(uint32_t index, wchar_t* buffer,
                                                uint32_t capacity) {
    return Sim().GetHidInterfacePath(index, buffer, capacity);
}

TAVRIN_BUS_EXPORT TavrinSim_OpenHid(const wchar_t* path, uint32_t* handle) {
    return Sim().OpenHid(path, handle);
}

TAVRIN_BUS_EXPORT TavrinSim_CloseHid(uint32_t handle) {
    return Sim().CloseHid(handle);
}

TAVRIN_BUS_EXPORT TavrinSim_GetHidAttributes(uint32_t handle, uint16_t* vid, uint16_t* pid) {
    return Sim().GetHidAttributes(handle, vid, pid);
}

TAVRIN_BUS_EXPORT TavrinSim_GetHidCaps(uint32_t handle, uint16_t* outputLength,
                                       uint16_t* inputLength) {
    return Sim().GetHidCaps(handle, outputLength, inputLength);
}

TAVRIN_BUS_EXPORT TavrinSim_SetOutputReport(uint32_t handle, const uint8_t* report,
                                            uint32_t length) {
    return Sim().SetOutputReport(handle, report, length);
}

TAVRIN_BUS_EXPORT TavrinSim_GetInputReport(uint32_t handle, uint8_t* report, uint32_t length) {
    return Sim().GetInputReport(handle, report, length);
}

TAVRIN_BUS_EXPORT TavrinSim_OpenDriver(const wchar_t* path, uint32_t* handle) {
    return Sim().OpenDriver(path, handle);
}

TAVRIN_BUS_EXPORT TavrinSim_CloseDriver(uint32_t handle) {
    return Sim().CloseDriver(handle);
}

TAVRIN_BUS_EXPORT TavrinSim_DriverControl(uint32_t handle, uint32_t code, const uint8_t* input,
                                          uint32_t inputLength, uint8_t* output,
                                          uint32_t outputCapacity, uint32_t* returned) {
    return Sim().DriverControl(handle, code, input, inputLength, output, outputCapacity, returned);
}

TAVRIN_BUS_EXPORT TavrinSim_GetCaptureEndpoint(uint32_t index, wchar_t* friendlyName,
                                               uint32_t nameCapacity, wchar_t* interfacePath,
                                               uint32_t pathCapacity) {
    return Sim().GetCaptureEndpoint(index, friendlyName, nameCapacity, interfacePath, pathCapacity);
}

TAVRIN_BUS_EXPORT TavrinSim_GetCaptureVolumeStep(uint32_t* step, uint32_t* stepCount) {
    return Sim().GetCaptureVolumeStep(step, stepCount);
}

TAVRIN_BUS_EXPORT TavrinSim_SetCaptureVolumeScalar(float level) {
    return Sim().SetCaptureVolumeScalar(level);
}

TAVRIN_BUS_EXPORT TavrinSim_GetCaptureMute(int32_t* mute) {
    return Sim().GetCaptureMute(mute);
}

TAVRIN_BUS_EXPORT TavrinSim_SetCaptureMute(int32_t mute) {
    return Sim().SetCaptureMute(mute);
}

TAVRIN_BUS_EXPORT TavrinSim_GetCaptureAutoGain(int32_t* enabled) {
    return Sim().GetCaptureAutoGain(enabled);
}

TAVRIN_BUS_EXPORT TavrinSim_SetCaptureAutoGain(int32_t enabled) {
    return Sim().SetCaptureAutoGain(enabled);
}

TAVRIN_BUS_EXPORT TavrinSim_GetCapturePeak(float* peak) {
    return Sim().GetCapturePeak(peak);
}

TAVRIN_BUS_EXPORT TavrinSim_ReadCaptureSamples(uint32_t bitsPerSample, uint8_t* buffer,
                                               uint32_t byteCount) {
    return Sim().ReadCaptureSamples(bitsPerSample, buffer, byteCount);
}

TAVRIN_BUS_EXPORT TavrinSim_Reset() {
    return Sim().Reset();
}

TAVRIN_BUS_EXPORT TavrinSim_Plug() {
    return Sim().Plug();
}

TAVRIN_BUS_EXPORT TavrinSim_Unplug() {
    return Sim().Unplug();
}

TAVRIN_BUS_EXPORT TavrinSim_SetGpioLine(uint32_t line, uint32_t level) {
    return Sim().SetGpioLine(line, level);
}

TAVRIN_BUS_EXPORT TavrinSim_RunScript(const wchar_t* text) {
    if (text == nullptr) return tavrin::kBusRefused;
    return Sim().RunScript(tavrin::sim::ToUtf8(text)).Ok() ? 0 : tavrin::kBusRefused;
}

TAVRIN_BUS_EXPORT TavrinSim_WriteTrace(const wchar_t* path) {
    if (path == nullptr) return tavrin::kBusRefused;
    return Sim().WriteTrace(path);
}

TAVRIN_BUS_EXPORT TavrinSim_ClearTrace() {
    return Sim().ClearTrace();
}

TAVRIN_BUS_EXPORT TavrinSim_OpenHandleCount(uint32_t* count) {
    if (count == nullptr) return tavrin::kBusBufferTooSmall;
    *count = Sim().OpenHandleCount();
    return 0;
}

// The application's function-pointer types and these exports share one set of signatures.
#define TAVRIN_BUS_SIGNATURE_CHECK(name) \
    static_assert(std::is_same_v<decltype(&::name), tavrin::name##_Fn>, #name);
TAVRIN_BUS_SIGNATURE_CHECK(TavrinSim_GetDeviceHardwareId)
TAVRIN_BUS_SIGNATURE_CHECK(TavrinSim_GetHidInterfacePath)
TAVRIN_BUS_SIGNATURE_CHECK(TavrinSim_OpenHid)
TAVRIN_BUS_SIGNATURE_CHECK(TavrinSim_CloseHid)
TAVRIN_BUS_SIGNATURE_CHECK(TavrinSim_GetHidAttributes)
TAVRIN_BUS_SIGNATURE_CHECK(TavrinSim_GetHidCaps)
TAVRIN_BUS_SIGNATURE_CHECK(TavrinSim_SetOutputReport)
TAVRIN_BUS_SIGNATURE_CHECK(TavrinSim_GetInputReport)
TAVRIN_BUS_SIGNATURE_CHECK(TavrinSim_OpenDriver)
TAVRIN_BUS_SIGNATURE_CHECK(TavrinSim_CloseDriver)
TAVRIN_BUS_SIGNATURE_CHECK(TavrinSim_DriverControl)
TAVRIN_BUS_SIGNATURE_CHECK(TavrinSim_GetCaptureEndpoint)
TAVRIN_BUS_SIGNATURE_CHECK(TavrinSim_GetCaptureVolumeStep)
TAVRIN_BUS_SIGNATURE_CHECK(TavrinSim_SetCaptureVolumeScalar)
TAVRIN_BUS_SIGNATURE_CHECK(TavrinSim_GetCaptureMute)
TAVRIN_BUS_SIGNATURE_CHECK(TavrinSim_SetCaptureMute)
TAVRIN_BUS_SIGNATURE_CHECK(TavrinSim_GetCaptureAutoGain)
TAVRIN_BUS_SIGNATURE_CHECK(TavrinSim_SetCaptureAutoGain)
TAVRIN_BUS_SIGNATURE_CHECK(TavrinSim_GetCapturePeak)
TAVRIN_BUS_SIGNATURE_CHECK(TavrinSim_ReadCaptureSamples)
TAVRIN_BUS_SIGNATURE_CHECK(TavrinSim_Reset)
TAVRIN_BUS_SIGNATURE_CHECK(TavrinSim_Plug)
TAVRIN_BUS_SIGNATURE_CHECK(TavrinSim_Unplug)
TAVRIN_BUS_SIGNATURE_CHECK(TavrinSim_SetGpioLine)
TAVRIN_BUS_SIGNATURE_CHECK(TavrinSim_RunScript)
TAVRIN_BUS_SIGNATURE_CHECK(TavrinSim_WriteTrace)
TAVRIN_BUS_SIGNATURE_CHECK(TavrinSim_ClearTrace)
TAVRIN_BUS_SIGNATURE_CHECK(TavrinSim_OpenHandleCount)
