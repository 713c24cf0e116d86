// The vendor SDK face of the virtual headset: every entry point the product binds, exported
// under its plain name (see the .def file for Windows). Each call goes through the library's
// simulator, which traces it and applies faults; entry points with a known signature then act on
// the chip model, the others answer "not supported" without looking at the stack.
#include <type_traits>

#include "sim/LibrarySimulator.h"
#include "sim/VendorSdkApi.h"
#include "sim/VendorSdkNames.h"

namespace {

using tavrin::sim::Args;
using tavrin::sim::Hex16;
using tavrin::sim::LedBus;
using tavrin::sim::RgbColor;
using tavrin::sim::Switch;
using tavrin::sim::VirtualHeadset;

tavrin::sim::HeadsetSimulator& Sim() {
    return tavrin::sim::LibrarySimulator();
}

std::string Pointer(const void* pointer) {
    return pointer == nullptr ? "null" : "&";
}

}  // namespace

#if defined(_WIN32)
#define TAVRIN_SDK_EXPORT extern "C" int32_t TAVRIN_SDK_CALL
#else
#define TAVRIN_SDK_EXPORT extern "C" __attribute__((visibility("default"))) int32_t
#endif

// Parameterless on purpose: sim/README.md says what that means for a caller passing arguments.
#define TAVRIN_SDK_GENERIC_STUB(name)                                   \
    TAVRIN_SDK_EXPORT name() {                                          \
        return Sim().Sdk(#name, "", [](VirtualHeadset&, std::string&) { \
            return static_cast<int32_t>(tavrin::sim::kNotSupported);    \
        });                                                             \
    }
#define TAVRIN_SDK_NO_STUB(name)
TAVRIN_VENDOR_SDK_ENTRY_POINTS(TAVRIN_SDK_GENERIC_STUB, TAVRIN_SDK_NO_STUB)

// One traced call of the chip model; the expression sees the chip as `chip`.
#define TAVRIN_SDK_FORWARD(name, arguments, expression) \
    Sim().Sdk(#name, arguments,                         \
              [&](VirtualHeadset& chip, std::string&) -> int32_t { return expression; })

TAVRIN_SDK_EXPORT DLLZR_SetActive_Device(uint16_t vid, uint16_t pid) {
    return TAVRIN_SDK_FORWARD(DLLZR_SetActive_Device, Args("vid", Hex16(vid), "pid", Hex16(pid)),
                              chip.SetActiveDevice(vid, pid));
}

// The trace shows a request's first four data bytes: a value; the voice effect's whole block.
TAVRIN_SDK_EXPORT DLLZR_AudioCommand(uint8_t* request, uint32_t* size) {
    const bool voiceEffect = request != nullptr && request[0] == 7 && request[1] == 2;
    const std::string arguments =
        request == nullptr ? Args("request", "null")
                           : Args("code", request[0], "sub", request[1], "data",
                                  tavrin::sim::HexBytes(request + 2, voiceEffect ? 10 : 4), "size",
                                  size == nullptr ? std::string("null") : std::to_string(*size));
    return TAVRIN_SDK_FORWARD(DLLZR_AudioCommand, arguments, chip.AudioCommand(request, size));
}

TAVRIN_SDK_EXPORT DLLZR_ConfigEQ_ById(uint8_t device) {
    return TAVRIN_SDK_FORWARD(DLLZR_ConfigEQ_ById, Args("device", device), chip.ConfigEq(device));
}

TAVRIN_SDK_EXPORT DLLZR_SetEQ_OnOff_ById(int32_t on, uint8_t device) {
    return TAVRIN_SDK_FORWARD(DLLZR_SetEQ_OnOff_ById, Args("on", on, "device", device),
                              chip.SetEqOnOff(on, device));
}

namespace {

// The verified switches read back here; a read-back fault replaces what the chip answered.
int32_t ReadSwitch(const char* name, Switch which, int32_t* enabled, uint8_t device) {
    return Sim().Sdk(name, Args("device", device), [&](VirtualHeadset& chip, std::string& note) {
        const int32_t result = which == Switch::Eq ? chip.IsEqEnable(enabled, device)
                                                   : chip.Is3DEnable(enabled, device);
        if (result != tavrin::sim::kOk) return result;
        const bool forced = Sim().ApplyReadback(which, *enabled);
        note = "[enabled=" + std::to_string(*enabled) + (forced ? ", read-back fault]" : "]");
        return result;
    });
}

}  // namespace

TAVRIN_SDK_EXPORT DLLZR_IsEQ_Enable_ById(int32_t* enabled, uint8_t device) {
    return ReadSwitch("DLLZR_IsEQ_Enable_ById", Switch::Eq, enabled, device);
}

TAVRIN_SDK_EXPORT DLLZR_Config3D_ById(uint8_t device) {
    return TAVRIN_SDK_FORWARD(DLLZR_Config3D_ById, Args("device", device), chip.Config3D(device));
}

TAVRIN_SDK_EXPORT DLLZR_Set3D_OnOff_ById(int32_t on, uint8_t device) {
    return TAVRIN_SDK_FORWARD(DLLZR_Set3D_OnOff_ById, Args("on", on, "device", device),
                              chip.Set3DOnOff(on, device));
}

TAVRIN_SDK_EXPORT DLLZR_Is3D_Enable_ById(int32_t* enabled, uint8_t device) {
    return ReadSwitch("DLLZR_Is3D_Enable_ById", Switch::ThreeD, enabled, device);
}

TAVRIN_SDK_EXPORT DLLZR_SetVirtual7ch1_OnOff(int32_t on) {
    return TAVRIN_SDK_FORWARD(DLLZR_SetVirtual7ch1_OnOff, Args("on", on),
                              chip.SetVirtual7ch1OnOff(on));
}

TAVRIN_SDK_EXPORT DLLZR_SetVirtual7ch1_Scalar(float scalar) {
    return TAVRIN_SDK_FORWARD(DLLZR_SetVirtual7ch1_Scalar, Args("scalar", scalar),
                              chip.SetVirtual7ch1Scalar(scalar));
}

TAVRIN_SDK_EXPORT DLLZR_SetVirtual7ch1(const uint8_t* block) {
    const std::string arguments =
        block == nullptr
            ? Args("block", "null")
            : Args("block", tavrin::sim::HexReport(block, tavrin::sim::kVirtual7ch1BlockSize));
    return TAVRIN_SDK_FORWARD(DLLZR_SetVirtual7ch1, arguments, chip.SetVirtual7ch1(block));
}

TAVRIN_SDK_EXPORT DLLZR_SetEnc_Parameters(const uint8_t* block) {
    const std::string arguments =
        block == nullptr
            ? Args("block", "null")
            : Args("block", tavrin::sim::HexBytes(block, tavrin::sim::kEncParameterBlockSize));
    return TAVRIN_SDK_FORWARD(DLLZR_SetEnc_Parameters, arguments, chip.SetEncParameters(block));
}

TAVRIN_SDK_EXPORT DLLZR_Read_Register_ById(uint16_t address, uint8_t* value, uint8_t device) {
    return Sim().Sdk("DLLZR_Read_Register_ById", Args("address", Hex16(address), "device", device),
                     [&](VirtualHeadset& chip, std::string& note) {
                         const int32_t result = chip.ReadRegister(address, value, device);
                         if (result == tavrin::sim::kOk) {
                             note = "[value=0x" + tavrin::sim::Hex(*value, 2) + "]";
                         }
                         return result;
                     });
}

TAVRIN_SDK_EXPORT DLLZR_Write_Register_ById(uint16_t address, uint8_t value, uint8_t device) {
    return TAVRIN_SDK_FORWARD(DLLZR_Write_Register_ById,
                              Args("address", Hex16(address), "value",
                                   "0x" + tavrin::sim::Hex(value, 2), "device", device),
                              chip.WriteRegister(address, value, device));
}

TAVRIN_SDK_EXPORT DLLZR_Read_I2C_ById(uint8_t chipAddress, uint8_t address, uint8_t* buffer,
                                      uint32_t length, uint32_t timeout, uint8_t device) {
    return Sim().Sdk("DLLZR_Read_I2C_ById",
                     Args("chip", "0x" + tavrin::sim::Hex(chipAddress, 2), "address",
                          "0x" + tavrin::sim::Hex(address, 2), "length", length, "timeout", timeout,
                          "device", device),
                     [&](VirtualHeadset& chip, std::string& note) {
                         const int32_t result =
                             chip.ReadI2c(chipAddress, address, buffer, length, device);
                         if (result == tavrin::sim::kOk) {
                             note = "[" + tavrin::sim::HexBytes(buffer, length) + "]";
                         }
                         return result;
                     });
}

TAVRIN_SDK_EXPORT DLLZR_ScanButton_ById(uint16_t vid, uint16_t pid,
                                        tavrin::ScanButtonCallback callback, uint8_t enable,
                                        uint8_t device) {
    return TAVRIN_SDK_FORWARD(
        DLLZR_ScanButton_ById,
        Args("vid", Hex16(vid), "pid", Hex16(pid), "callback",
             Pointer(reinterpret_cast<const void*>(callback)), "enable", enable, "device", device),
        chip.ScanButton(vid, pid, callback, enable, device));
}

TAVRIN_SDK_EXPORT DLLZR_SetGpioMode_ById(const uint8_t* modes, uint8_t count, uint8_t device) {
    const std::string bytes = modes == nullptr ? "null" : tavrin::sim::HexBytes(modes, count);
    return TAVRIN_SDK_FORWARD(DLLZR_SetGpioMode_ById,
                              Args("modes", bytes, "count", count, "device", device),
                              chip.SetGpioMode(modes, count, device));
}

TAVRIN_SDK_EXPORT DLLZR_GetGpioEx_ById(uint8_t line, uint8_t* level, uint8_t device) {
    return Sim().Sdk("DLLZR_GetGpioEx_ById", Args("line", line, "device", device),
                     [&](VirtualHeadset& chip, std::string& note) {
                         const int32_t result = chip.GetGpioEx(line, level, device);
                         if (result == tavrin::sim::kOk) {
                             note = "[level=" + std::to_string(*level) + "]";
                         }
                         return result;
                     });
}

TAVRIN_SDK_EXPORT DLLZR_SetGpioModeEx_ById(uint8_t line, uint8_t mode, uint8_t device) {
    return TAVRIN_SDK_FORWARD(DLLZR_SetGpioModeEx_ById,
                              Args("line", line, "mode", mode, "device", device),
                              chip.SetGpioModeEx(line, mode, device));
}

TAVRIN_SDK_EXPORT DLLZR_SetRGB_Mode_ById(uint8_t target, uint8_t led, uint8_t mode, uint8_t speed,
                                         uint32_t tail, uint8_t device) {
    return TAVRIN_SDK_FORWARD(
        DLLZR_SetRGB_Mode_ById,
        Args("target", target, "led", led, "mode", mode, "speed", speed, "tail", tail, "device",
             device),
        chip.SetRgbMode(LedBus::Master, target, led, mode, speed, tail, device));
}

TAVRIN_SDK_EXPORT DLLZR_SetRGB_Color_ById(uint8_t target, uint8_t led, uint8_t slot, uint8_t red,
                                          uint8_t green, uint8_t blue, uint32_t tail,
                                          uint8_t device) {
    return TAVRIN_SDK_FORWARD(DLLZR_SetRGB_Color_ById,
                              Args("target", target, "led", led, "slot", slot, "red", red, "green",
                                   green, "blue", blue, "tail", tail, "device", device),
                              chip.SetRgbColor(LedBus::Master, target, led, slot,
                                               RgbColor{red, green, blue}, tail, device));
}

TAVRIN_SDK_EXPORT DLLZR_SetRGB_SingleColor_ById(uint8_t target, uint8_t led, uint8_t mode,
                                                uint8_t red, uint8_t green, uint8_t blue,
                                                uint32_t tail, uint8_t device) {
    return TAVRIN_SDK_FORWARD(DLLZR_SetRGB_SingleColor_ById,
                              Args("target", target, "led", led, "mode", mode, "red", red, "green",
                                   green, "blue", blue, "tail", tail, "device", device),
                              chip.SetRgbSingleColor(LedBus::Master, target, led, mode,
                                                     RgbColor{red, green, blue}, tail, device));
}

TAVRIN_SDK_EXPORT DLLZR_SetRGB_Step_ById(uint8_t target, uint8_t steps, uint32_t tail,
                                         uint8_t device) {
    return TAVRIN_SDK_FORWARD(
        DLLZR_SetRGB_Step_ById,
        Args("target", target, "steps", steps, "tail", tail, "device", device),
        chip.SetRgbStep(LedBus::Master, target, steps, tail, device));
}

TAVRIN_SDK_EXPORT DLLZR_SetRGB_Mode(uint8_t target, uint8_t led, uint8_t mode, uint8_t speed,
                                    uint32_t tail) {
    return TAVRIN_SDK_FORWARD(
        DLLZR_SetRGB_Mode,
        Args("target", target, "led", led, "mode", mode, "speed", speed, "tail", tail),
        chip.SetRgbMode(LedBus::Master, target, led, mode, speed, tail, 0));
}

TAVRIN_SDK_EXPORT DLLZR_SetRGB_Color(uint8_t target, uint8_t led, uint8_t slot, uint8_t red,
                                     uint8_t green, uint8_t blue, uint32_t tail) {
    return TAVRIN_SDK_FORWARD(
        DLLZR_SetRGB_Color,
        Args("target", target, "led", led, "slot", slot, "red", red, "green", green, "blue", blue,
             "tail", tail),
        chip.SetRgbColor(LedBus::Master, target, led, slot, RgbColor{red, green, blue}, tail, 0));
}

TAVRIN_SDK_EXPORT DLLZR_SetRGB_SingleColor(uint8_t target, uint8_t led, uint8_t mode, uint8_t red,
                                           uint8_t green, uint8_t blue, uint32_t tail) {
    return TAVRIN_SDK_FORWARD(DLLZR_SetRGB_SingleColor,
                              Args("target", target, "led", led, "mode", mode, "red", red, "green",
                                   green, "blue", blue, "tail", tail),
                              chip.SetRgbSingleColor(LedBus::Master, target, led, mode,
                                                     RgbColor{red, green, blue}, tail, 0));
}

TAVRIN_SDK_EXPORT DLLZR_SetRGB_Brightness(uint8_t target, uint8_t led, uint8_t level,
                                          uint32_t tail) {
    return TAVRIN_SDK_FORWARD(DLLZR_SetRGB_Brightness,
                              Args("target", target, "led", led, "level", level, "tail", tail),
                              chip.SetRgbBrightness(LedBus::Master, target, led, level, tail, 0));
}

TAVRIN_SDK_EXPORT DLLZR_SetRGB_Step(uint8_t target, uint8_t steps, uint32_t tail) {
    return TAVRIN_SDK_FORWARD(DLLZR_SetRGB_Step,
                              Args("target", target, "steps", steps, "tail", tail),
                              chip.SetRgbStep(LedBus::Master, target, steps, tail, 0));
}

TAVRIN_SDK_EXPORT DLLZR_UsbHidSlave_SetRGB_Mode_Ex(uint8_t led, uint8_t mode, uint8_t speed,
                                                   uint32_t tail) {
    return TAVRIN_SDK_FORWARD(DLLZR_UsbHidSlave_SetRGB_Mode_Ex,
                              Args("led", led, "mode", mode, "speed", speed, "tail", tail),
                              chip.SetRgbMode(LedBus::Slave, 0, led, mode, speed, tail, 0));
}

TAVRIN_SDK_EXPORT DLLZR_UsbHidSlave_SetRGB_Color_Ex(uint8_t led, uint8_t slot, uint8_t red,
                                                    uint8_t green, uint8_t blue, uint32_t tail) {
    return TAVRIN_SDK_FORWARD(
        DLLZR_UsbHidSlave_SetRGB_Color_Ex,
        Args("led", led, "slot", slot, "red", red, "green", green, "blue", blue, "tail", tail),
        chip.SetRgbColor(LedBus::Slave, 0, led, slot, RgbColor{red, green, blue}, tail, 0));
}

TAVRIN_SDK_EXPORT DLLZR_UsbHidSlave_SetRGB_SingleColor_Ex(uint8_t led, uint8_t mode, uint8_t red,
                                                          uint8_t green, uint8_t blue,
                                                          uint32_t tail) {
    return TAVRIN_SDK_FORWARD(
        DLLZR_UsbHidSlave_SetRGB_SingleColor_Ex,
        Args("led", led, "mode", mode, "red", red, "green", green, "blue", blue, "tail", tail),
        chip.SetRgbSingleColor(LedBus::Slave, 0, led, mode, RgbColor{red, green, blue}, tail, 0));
}

TAVRIN_SDK_EXPORT DLLZR_UsbHidSlave_SetRGB_Brightness_Ex(uint8_t led, uint8_t level,
                                                         uint32_t tail) {
    return TAVRIN_SDK_FORWARD(DLLZR_UsbHidSlave_SetRGB_Brightness_Ex,
                              Args("led", led, "level", level, "tail", tail),
                              chip.SetRgbBrightness(LedBus::Slave, 0, led, level, tail, 0));
}

TAVRIN_SDK_EXPORT DLLZR_UsbHidSlave_SetRGB_Step_Ex(uint8_t steps, uint32_t tail) {
    return TAVRIN_SDK_FORWARD(DLLZR_UsbHidSlave_SetRGB_Step_Ex, Args("steps", steps, "tail", tail),
                              chip.SetRgbStep(LedBus::Slave, 0, steps, tail, 0));
}

// The caller's table and these exports share one set of signatures.
#define TAVRIN_SDK_NO_CHECK(name)
#define TAVRIN_SDK_SIGNATURE_CHECK(name) \
    static_assert(std::is_same_v<decltype(&::name), tavrin::name##_Fn>, #name);
TAVRIN_VENDOR_SDK_ENTRY_POINTS(TAVRIN_SDK_NO_CHECK, TAVRIN_SDK_SIGNATURE_CHECK)
