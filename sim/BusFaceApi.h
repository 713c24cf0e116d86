#pragma once
// The bus face of the virtual headset: what Windows would otherwise report about the device
// (device list, HID interface, filter driver, capture endpoint) and the controls a test or a
// script uses to drive it (plug, unplug, GPIO lines, faults, trace). Exported by the same library
// as the vendor SDK face, so both faces act on the one chip; the application's simulation ports
// look these names up in the library they bound.
#include <cstdint>

#include "sim/VendorSdkApi.h"

namespace tavrin {

// Results of the bus face: 0 success, else one of these.
inline constexpr int32_t kBusNoSuchItem = 1;      // past the end of a list, or a closed handle
inline constexpr int32_t kBusNotPresent = 2;      // the device (or its driver) is not plugged in
inline constexpr int32_t kBusBufferTooSmall = 3;  // a text or report does not fit
inline constexpr int32_t kBusRefused = 4;         // the device refused the report or request

// Present devices of all classes, in enumeration order: the first hardware ID of each.
using TavrinSim_GetDeviceHardwareId_Fn = int32_t(TAVRIN_SDK_CALL*)(uint32_t index, wchar_t* buffer,
                                                                   uint32_t capacity);
// Present HID interfaces, in enumeration order: the interface's device path.
using TavrinSim_GetHidInterfacePath_Fn = int32_t(TAVRIN_SDK_CALL*)(uint32_t index, wchar_t* buffer,
                                                                   uint32_t capacity);
using TavrinSim_OpenHid_Fn = int32_t(TAVRIN_SDK_CALL*)(const wchar_t* path, uint32_t* handle);
using TavrinSim_CloseHid_Fn = int32_t(TAVRIN_SDK_CALL*)(uint32_t handle);
using TavrinSim_GetHidAttributes_Fn = int32_t(TAVRIN_SDK_CALL*)(uint32_t handle, uint16_t* vid,
                                                                uint16_t* pid);
// Report lengths from the interface's capabilities (report ID byte included).
using TavrinSim_GetHidCaps_Fn = int32_t(TAVRIN_SDK_CALL*)(uint32_t handle, uint16_t* outputLength,
                                                          uint16_t* inputLength);
using TavrinSim_SetOutputReport_Fn = int32_t(TAVRIN_SDK_CALL*)(uint32_t handle,
                                                               const uint8_t* report,
                                                               uint32_t length);
using TavrinSim_GetInputReport_Fn = int32_t(TAVRIN_SDK_CALL*)(uint32_t handle, uint8_t* report,
                                                              uint32_t length);

// The filter driver's device, opened by its path ("\\.\Class#UsbAudioExtension&VVVV&PPPP").
using TavrinSim_OpenDriver_Fn = int32_t(TAVRIN_SDK_CALL*)(const wchar_t* path, uint32_t* handle);
using TavrinSim_CloseDriver_Fn = int32_t(TAVRIN_SDK_CALL*)(uint32_t handle);
using TavrinSim_DriverControl_Fn = int32_t(TAVRIN_SDK_CALL*)(uint32_t handle, uint32_t code,
                                                             const uint8_t* input,
                                                             uint32_t inputLength, uint8_t* output,
                                                             uint32_t outputCapacity,
                                                             uint32_t* returned);

// Active capture endpoints, in collection order: friendly name and the capture driver's
// interface path (what DirectSound's enumeration reports for it).
using TavrinSim_GetCaptureEndpoint_Fn = int32_t(TAVRIN_SDK_CALL*)(uint32_t index,
                                                                  wchar_t* friendlyName,
                                                                  uint32_t nameCapacity,
                                                                  wchar_t* interfacePath,
                                                                  uint32_t pathCapacity);
using TavrinSim_GetCaptureVolumeStep_Fn = int32_t(TAVRIN_SDK_CALL*)(uint32_t* step,
                                                                    uint32_t* stepCount);
using TavrinSim_SetCaptureVolumeScalar_Fn = int32_t(TAVRIN_SDK_CALL*)(float level);
using TavrinSim_GetCaptureMute_Fn = int32_t(TAVRIN_SDK_CALL*)(int32_t* mute);
using TavrinSim_SetCaptureMute_Fn = int32_t(TAVRIN_SDK_CALL*)(int32_t mute);
using TavrinSim_GetCaptureAutoGain_Fn = int32_t(TAVRIN_SDK_CALL*)(int32_t* enabled);
using TavrinSim_SetCaptureAutoGain_Fn = int32_t(TAVRIN_SDK_CALL*)(int32_t enabled);
// Peak of the microphone signal, 0.0 to 1.0, for the level meter.
using TavrinSim_GetCapturePeak_Fn = int32_t(TAVRIN_SDK_CALL*)(float* peak);
// The next samples the headset's microphone records: mono PCM at 8000 samples per second, 8 or
// 16 bits per sample; byteCount is a whole number of samples.
using TavrinSim_ReadCaptureSamples_Fn = int32_t(TAVRIN_SDK_CALL*)(uint32_t bitsPerSample,
                                                                  uint8_t* buffer,
                                                                  uint32_t byteCount);

// Scenario controls.
using TavrinSim_Reset_Fn = int32_t(TAVRIN_SDK_CALL*)();
using TavrinSim_Plug_Fn = int32_t(TAVRIN_SDK_CALL*)();
using TavrinSim_Unplug_Fn = int32_t(TAVRIN_SDK_CALL*)();
using TavrinSim_SetGpioLine_Fn = int32_t(TAVRIN_SDK_CALL*)(uint32_t line, uint32_t level);
// One script line per call or several separated by newlines; see sim/README.md.
using TavrinSim_RunScript_Fn = int32_t(TAVRIN_SDK_CALL*)(const wchar_t* text);
// The trace so far, one line per SDK call, report or request, as UTF-8 text.
using TavrinSim_WriteTrace_Fn = int32_t(TAVRIN_SDK_CALL*)(const wchar_t* path);
using TavrinSim_ClearTrace_Fn = int32_t(TAVRIN_SDK_CALL*)();
// Handles of the HID interface and the driver device that are open now.
using TavrinSim_OpenHandleCount_Fn = int32_t(TAVRIN_SDK_CALL*)(uint32_t* count);

}  // namespace tavrin
