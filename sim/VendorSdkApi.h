#pragma once
// The calling contract of the vendor SDK: calling convention, result rule and the signatures of
// the entry points whose arguments are known. Both sides of the library boundary use it, so the
// caller's table and the virtual headset's exports cannot drift apart.
#include <cstdint>

#if defined(_WIN32)
#define TAVRIN_SDK_CALL __stdcall
#else
#define TAVRIN_SDK_CALL
#endif

namespace tavrin {

// Every entry point returns 0 on success and anything else on failure.
inline constexpr int32_t kVendorSdkOk = 0;

// Called by the library on its own thread for every button report: VID, PID, the 5-byte raw
// report and two values the product does not use. Returns 0.
using ScanButtonCallback = int32_t(TAVRIN_SDK_CALL*)(uint32_t vid, uint32_t pid, uint8_t* report,
                                                     uint32_t, uint32_t);

// Entry points ending in "_ById" take the device index last; 0 addresses the device selected
// with DLLZR_SetActive_Device. Arguments without a known width take a full 32-bit slot.

using DLLZR_SetActive_Device_Fn = int32_t(TAVRIN_SDK_CALL*)(uint16_t vid, uint16_t pid);
// A 286-byte request that the reply overwrites, and its size.
using DLLZR_AudioCommand_Fn = int32_t(TAVRIN_SDK_CALL*)(uint8_t* request, uint32_t* size);

using DLLZR_ConfigEQ_ById_Fn = int32_t(TAVRIN_SDK_CALL*)(uint8_t device);
using DLLZR_SetEQ_OnOff_ById_Fn = int32_t(TAVRIN_SDK_CALL*)(int32_t on, uint8_t device);
using DLLZR_IsEQ_Enable_ById_Fn = int32_t(TAVRIN_SDK_CALL*)(int32_t* enabled, uint8_t device);
using DLLZR_Config3D_ById_Fn = int32_t(TAVRIN_SDK_CALL*)(uint8_t device);
using DLLZR_Set3D_OnOff_ById_Fn = int32_t(TAVRIN_SDK_CALL*)(int32_t on, uint8_t device);
using DLLZR_Is3D_Enable_ById_Fn = int32_t(TAVRIN_SDK_CALL*)(int32_t* enabled, uint8_t device);

using DLLZR_SetVirtual7ch1_OnOff_Fn = int32_t(TAVRIN_SDK_CALL*)(int32_t on);
using DLLZR_SetVirtual7ch1_Scalar_Fn = int32_t(TAVRIN_SDK_CALL*)(float scalar);
// The 68-byte speaker block.
using DLLZR_SetVirtual7ch1_Fn = int32_t(TAVRIN_SDK_CALL*)(const uint8_t* block);
// The 16-byte ENC parameter block.
using DLLZR_SetEnc_Parameters_Fn = int32_t(TAVRIN_SDK_CALL*)(const uint8_t* block);

using DLLZR_Read_Register_ById_Fn = int32_t(TAVRIN_SDK_CALL*)(uint16_t address, uint8_t* value,
                                                              uint8_t device);
using DLLZR_Write_Register_ById_Fn = int32_t(TAVRIN_SDK_CALL*)(uint16_t address, uint8_t value,
                                                               uint8_t device);
// The product passes 100 as timeout; its unit is the library's business.
using DLLZR_Read_I2C_ById_Fn = int32_t(TAVRIN_SDK_CALL*)(uint8_t chip, uint8_t address,
                                                         uint8_t* buffer, uint32_t length,
                                                         uint32_t timeout, uint8_t device);

// callback null with enable 0 stops the scan.
using DLLZR_ScanButton_ById_Fn = int32_t(TAVRIN_SDK_CALL*)(uint16_t vid, uint16_t pid,
                                                           ScanButtonCallback callback,
                                                           uint8_t enable, uint8_t device);
using DLLZR_SetGpioMode_ById_Fn = int32_t(TAVRIN_SDK_CALL*)(const uint8_t* modes, uint8_t count,
                                                            uint8_t device);
using DLLZR_GetGpioEx_ById_Fn = int32_t(TAVRIN_SDK_CALL*)(uint8_t line, uint8_t* level,
                                                          uint8_t device);
using DLLZR_SetGpioModeEx_ById_Fn = int32_t(TAVRIN_SDK_CALL*)(uint8_t line, uint8_t mode,
                                                              uint8_t device);

// LED requests: the target byte addresses the LED controller (58 on our headsets), the tail is a
// 32-bit value the product always passes unchanged.
using DLLZR_SetRGB_Mode_ById_Fn = int32_t(TAVRIN_SDK_CALL*)(uint8_t target, uint8_t led,
                                                            uint8_t mode, uint8_t speed,
                                                            uint32_t tail, uint8_t device);
using DLLZR_SetRGB_Color_ById_Fn = int32_t(TAVRIN_SDK_CALL*)(uint8_t target, uint8_t led,
                                                             uint8_t slot, uint8_t red,
                                                             uint8_t green, uint8_t blue,
                                                             uint32_t tail, uint8_t device);
using DLLZR_SetRGB_SingleColor_ById_Fn = int32_t(TAVRIN_SDK_CALL*)(uint8_t target, uint8_t led,
                                                                   uint8_t mode, uint8_t red,
                                                                   uint8_t green, uint8_t blue,
                                                                   uint32_t tail, uint8_t device);
using DLLZR_SetRGB_Step_ById_Fn = int32_t(TAVRIN_SDK_CALL*)(uint8_t target, uint8_t steps,
                                                            uint32_t tail, uint8_t device);

using DLLZR_SetRGB_Mode_Fn = int32_t(TAVRIN_SDK_CALL*)(uint8_t target, uint8_t led, uint8_t mode,
                                                       uint8_t speed, uint32_t tail);
using DLLZR_SetRGB_Color_Fn = int32_t(TAVRIN_SDK_CALL*)(uint8_t target, uint8_t led, uint8_t slot,
                                                        uint8_t red, uint8_t green, uint8_t blue,
                                                        uint32_t tail);
using DLLZR_SetRGB_SingleColor_Fn = int32_t(TAVRIN_SDK_CALL*)(uint8_t target, uint8_t led,
                                                              uint8_t mode, uint8_t red,
                                                              uint8_t green, uint8_t blue,
                                                              uint32_t tail);
using DLLZR_SetRGB_Brightness_Fn = int32_t(TAVRIN_SDK_CALL*)(uint8_t target, uint8_t led,
                                                             uint8_t level, uint32_t tail);
using DLLZR_SetRGB_Step_Fn = int32_t(TAVRIN_SDK_CALL*)(uint8_t target, uint8_t steps,
                                                       uint32_t tail);

// The same requests for an LED controller behind the headset's slave bus.
using DLLZR_UsbHidSlave_SetRGB_Mode_Ex_Fn = int32_t(TAVRIN_SDK_CALL*)(uint8_t led, uint8_t mode,
                                                                      uint8_t speed, uint32_t tail);
using DLLZR_UsbHidSlave_SetRGB_Color_Ex_Fn = int32_t(TAVRIN_SDK_CALL*)(uint8_t led, uint8_t slot,
                                                                       uint8_t red, uint8_t green,
                                                                       uint8_t blue, uint32_t tail);
using DLLZR_UsbHidSlave_SetRGB_SingleColor_Ex_Fn = int32_t(TAVRIN_SDK_CALL*)(
    uint8_t led, uint8_t mode, uint8_t red, uint8_t green, uint8_t blue, uint32_t tail);
using DLLZR_UsbHidSlave_SetRGB_Brightness_Ex_Fn = int32_t(TAVRIN_SDK_CALL*)(uint8_t led,
                                                                            uint8_t level,
                                                                            uint32_t tail);
using DLLZR_UsbHidSlave_SetRGB_Step_Ex_Fn = int32_t(TAVRIN_SDK_CALL*)(uint8_t steps, uint32_t tail);

}  // namespace tavrin
