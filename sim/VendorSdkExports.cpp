// The vendor SDK face of the virtual headset: every entry point the product binds, exported
// under its plain name (see the .def file for Windows). Entry points with a known signature
// forward to the chip model; the others answer "not supported" without looking at the stack.
#include <type_traits>

#include "sim/VendorSdkApi.h"
#include "sim/VendorSdkNames.h"
#include "sim/VirtualHeadset.h"

namespace {

using tavrin::sim::LedBus;
using tavrin::sim::RgbColor;
using tavrin::sim::VirtualHeadset;

// The library is the device: one chip per loaded library.
VirtualHeadset& Headset() {
    static VirtualHeadset headset;
    return headset;
}

}  // namespace

#if defined(_WIN32)
#define TAVRIN_SDK_EXPORT extern "C" int32_t TAVRIN_SDK_CALL
#else
#define TAVRIN_SDK_EXPORT extern "C" __attribute__((visibility("default"))) int32_t
#endif

// Parameterless on purpose: sim/README.md says what that means for a caller passing arguments.
#define TAVRIN_SDK_GENERIC_STUB(name)      \
    TAVRIN_SDK_EXPORT name() {             \
        return tavrin::sim::kNotSupported; \
    }
#define TAVRIN_SDK_NO_STUB(name)
TAVRIN_VENDOR_SDK_ENTRY_POINTS(TAVRIN_SDK_GENERIC_STUB, TAVRIN_SDK_NO_STUB)

TAVRIN_SDK_EXPORT DLLZR_SetActive_Device(uint16_t vid, uint16_t pid) {
    return Headset().SetActiveDevice(vid, pid);
}

TAVRIN_SDK_EXPORT DLLZR_AudioCommand(uint8_t* request, uint32_t* size) {
    return Headset().AudioCommand(request, size);
}

TAVRIN_SDK_EXPORT DLLZR_ConfigEQ_ById(uint8_t device) {
    return Headset().ConfigEq(device);
}

TAVRIN_SDK_EXPORT DLLZR_SetEQ_OnOff_ById(int32_t on, uint8_t device) {
    return Headset().SetEqOnOff(on, device);
}

TAVRIN_SDK_EXPORT DLLZR_IsEQ_Enable_ById(int32_t* enabled, uint8_t device) {
    return Headset().IsEqEnable(enabled, device);
}

TAVRIN_SDK_EXPORT DLLZR_Config3D_ById(uint8_t device) {
    return Headset().Config3D(device);
}

TAVRIN_SDK_EXPORT DLLZR_Set3D_OnOff_ById(int32_t on, uint8_t device) {
    return Headset().Set3DOnOff(on, device);
}

TAVRIN_SDK_EXPORT DLLZR_Is3D_Enable_ById(int32_t* enabled, uint8_t device) {
    return Headset().Is3DEnable(enabled, device);
}

TAVRIN_SDK_EXPORT DLLZR_SetVirtual7ch1_OnOff(int32_t on) {
    return Headset().SetVirtual7ch1OnOff(on);
}

TAVRIN_SDK_EXPORT DLLZR_SetVirtual7ch1_Scalar(float scalar) {
    return Headset().SetVirtual7ch1Scalar(scalar);
}

TAVRIN_SDK_EXPORT DLLZR_SetVirtual7ch1(const uint8_t* block) {
    return Headset().SetVirtual7ch1(block);
}

TAVRIN_SDK_EXPORT DLLZR_SetEnc_Parameters(const uint8_t* block) {
    return Headset().SetEncParameters(block);
}

TAVRIN_SDK_EXPORT DLLZR_Read_Register_ById(uint16_t address, uint8_t* value, uint8_t device) {
    return Headset().ReadRegister(address, value, device);
}

TAVRIN_SDK_EXPORT DLLZR_Write_Register_ById(uint16_t address, uint8_t value, uint8_t device) {
    return Headset().WriteRegister(address, value, device);
}

TAVRIN_SDK_EXPORT DLLZR_Read_I2C_ById(uint8_t chip, uint8_t address, uint8_t* buffer,
                                      uint32_t length, uint32_t /*timeout*/, uint8_t device) {
    return Headset().ReadI2c(chip, address, buffer, length, device);
}

TAVRIN_SDK_EXPORT DLLZR_ScanButton_ById(uint16_t vid, uint16_t pid,
                                        tavrin::ScanButtonCallback callback, uint8_t enable,
                                        uint8_t device) {
    return Headset().ScanButton(vid, pid, callback, enable, device);
}

TAVRIN_SDK_EXPORT DLLZR_SetGpioMode_ById(const uint8_t* modes, uint8_t count, uint8_t device) {
    return Headset().SetGpioMode(modes, count, device);
}

TAVRIN_SDK_EXPORT DLLZR_GetGpioEx_ById(uint8_t line, uint8_t* level, uint8_t device) {
    return Headset().GetGpioEx(line, level, device);
}

TAVRIN_SDK_EXPORT DLLZR_SetGpioModeEx_ById(uint8_t line, uint8_t mode, uint8_t device) {
    return Headset().SetGpioModeEx(line, mode, device);
}

TAVRIN_SDK_EXPORT DLLZR_SetRGB_Mode_ById(uint8_t target, uint8_t led, uint8_t mode, uint8_t speed,
                                         uint32_t tail, uint8_t device) {
    return Headset().SetRgbMode(LedBus::Master, target, led, mode, speed, tail, device);
}

TAVRIN_SDK_EXPORT DLLZR_SetRGB_Color_ById(uint8_t target, uint8_t led, uint8_t slot, uint8_t red,
                                          uint8_t green, uint8_t blue, uint32_t tail,
                                          uint8_t device) {
    return Headset().SetRgbColor(LedBus::Master, target, led, slot, RgbColor{red, green, blue},
                                 tail, device);
}

TAVRIN_SDK_EXPORT DLLZR_SetRGB_SingleColor_ById(uint8_t target, uint8_t led, uint8_t mode,
                                                uint8_t red, uint8_t green, uint8_t blue,
                                                uint32_t tail, uint8_t device) {
    return Headset().SetRgbSingleColor(LedBus::Master, target, led, mode,
                                       RgbColor{red, green, blue}, tail, device);
}

TAVRIN_SDK_EXPORT DLLZR_SetRGB_Step_ById(uint8_t target, uint8_t steps, uint32_t tail,
                                         uint8_t device) {
    return Headset().SetRgbStep(LedBus::Master, target, steps, tail, device);
}

TAVRIN_SDK_EXPORT DLLZR_SetRGB_Mode(uint8_t target, uint8_t led, uint8_t mode, uint8_t speed,
                                    uint32_t tail) {
    return Headset().SetRgbMode(LedBus::Master, target, led, mode, speed, tail, 0);
}

TAVRIN_SDK_EXPORT DLLZR_SetRGB_Color(uint8_t target, uint8_t led, uint8_t slot, uint8_t red,
                                     uint8_t green, uint8_t blue, uint32_t tail) {
    return Headset().SetRgbColor(LedBus::Master, target, led, slot, RgbColor{red, green, blue},
                                 tail, 0);
}

TAVRIN_SDK_EXPORT DLLZR_SetRGB_SingleColor(uint8_t target, uint8_t led, uint8_t mode, uint8_t red,
                                           uint8_t green, uint8_t blue, uint32_t tail) {
    return Headset().SetRgbSingleColor(LedBus::Master, target, led, mode,
                                       RgbColor{red, green, blue}, tail, 0);
}

TAVRIN_SDK_EXPORT DLLZR_SetRGB_Brightness(uint8_t target, uint8_t led, uint8_t level,
                                          uint32_t tail) {
    return Headset().SetRgbBrightness(LedBus::Master, target, led, level, tail, 0);
}

TAVRIN_SDK_EXPORT DLLZR_SetRGB_Step(uint8_t target, uint8_t steps, uint32_t tail) {
    return Headset().SetRgbStep(LedBus::Master, target, steps, tail, 0);
}

TAVRIN_SDK_EXPORT DLLZR_UsbHidSlave_SetRGB_Mode_Ex(uint8_t led, uint8_t mode, uint8_t speed,
                                                   uint32_t tail) {
    return Headset().SetRgbMode(LedBus::Slave, 0, led, mode, speed, tail, 0);
}

TAVRIN_SDK_EXPORT DLLZR_UsbHidSlave_SetRGB_Color_Ex(uint8_t led, uint8_t slot, uint8_t red,
                                                    uint8_t green, uint8_t blue, uint32_t tail) {
    return Headset().SetRgbColor(LedBus::Slave, 0, led, slot, RgbColor{red, green, blue}, tail, 0);
}

TAVRIN_SDK_EXPORT DLLZR_UsbHidSlave_SetRGB_SingleColor_Ex(uint8_t led, uint8_t mode, uint8_t red,
                                                          uint8_t green, uint8_t blue,
                                                          uint32_t tail) {
    return Headset().SetRgbSingleColor(LedBus::Slave, 0, led, mode, RgbColor{red, green, blue},
                                       tail, 0);
}

TAVRIN_SDK_EXPORT DLLZR_UsbHidSlave_SetRGB_Brightness_Ex(uint8_t led, uint8_t level,
                                                         uint32_t tail) {
    return Headset().SetRgbBrightness(LedBus::Slave, 0, led, level, tail, 0);
}

TAVRIN_SDK_EXPORT DLLZR_UsbHidSlave_SetRGB_Step_Ex(uint8_t steps, uint32_t tail) {
    return Headset().SetRgbStep(LedBus::Slave, 0, steps, tail, 0);
}

// The caller's table and these exports share one set of signatures.
#define TAVRIN_SDK_NO_CHECK(name)
#define TAVRIN_SDK_SIGNATURE_CHECK(name) \
    static_assert(std::is_same_v<decltype(&::name), tavrin::name##_Fn>, #name);
TAVRIN_VENDOR_SDK_ENTRY_POINTS(TAVRIN_SDK_NO_CHECK, TAVRIN_SDK_SIGNATURE_CHECK)
