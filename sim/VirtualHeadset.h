#pragma once
// The chip model behind the vendor SDK face: one 58xx headset with its register file, EEPROM,
// effect switches, GPIO lines and LED controllers. Methods take the entry points' arguments and
// return their results.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "sim/VendorSdkApi.h"

namespace tavrin::sim {

enum SdkResult : int32_t {
    kOk = 0,
    kNotSupported = 1,  // entry points the model does not implement
    kNoDevice = 2,      // no device selected, another device index, or an unknown I2C chip
    kBadArgument = 3,   // null pointer, wrong size, line or slot out of range
};

inline constexpr uint16_t kVendorId = 0x2B7A;
inline constexpr uint16_t kDefaultProductId = 0x5801;
inline constexpr uint32_t kAudioCommandSize = 286;
inline constexpr std::size_t kVirtual7ch1BlockSize = 68;
inline constexpr std::size_t kEncParameterBlockSize = 16;
inline constexpr std::size_t kGpioLineCount = 10;
inline constexpr uint8_t kEepromChipFirst = 0x50;
inline constexpr uint8_t kEepromChipSecond = 0x51;
inline constexpr std::size_t kEepromSize = 256;
// Chip 0x50: bit 0 says that chip 0x51 holds the preset table; the next byte is 0x10 + bank.
inline constexpr std::size_t kEepromTableFlag = 0x8D;
inline constexpr std::size_t kEepromCurrentBank = 0x8E;
inline constexpr std::size_t kLedModeCount = 8;

struct RgbColor {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    bool operator==(const RgbColor&) const = default;
};

struct LedController {
    uint8_t target = 0;
    uint8_t led = 0;
    uint8_t mode = 0;
    uint8_t speed = 0;
    uint8_t brightness = 0;
    uint8_t steps = 0;
    uint32_t tail = 0;
    std::array<RgbColor, 8> slotColors{};              // slots 1..7
    std::array<RgbColor, kLedModeCount> modeColors{};  // by mode code
};

enum class LedBus { Master, Slave };

struct ChipState {
    uint16_t vendorId = kVendorId;
    uint16_t productId = kDefaultProductId;
    bool selected = false;

    int32_t eqEnabled = 0;
    int32_t threeDEnabled = 0;
    uint32_t eqConfigCount = 0;
    uint32_t threeDConfigCount = 0;

    // 64 KiB; the registers the product uses start at their power-on values (sim/README.md).
    std::vector<uint8_t> registers = DefaultRegisters();
    // Chips 0x50 and 0x51 as programmed at the factory; unprogrammed bytes read 0xFF.
    std::array<std::array<uint8_t, kEepromSize>, 2> eeprom = DefaultEeprom();

    int32_t virtual7ch1Enabled = 0;
    float virtual7ch1Scalar = 0.0f;
    std::array<uint8_t, kVirtual7ch1BlockSize> virtual7ch1Block{};

    int32_t encEnabled = 0;
    std::array<uint8_t, kEncParameterBlockSize> encParameters{};
    int32_t voiceMagicEnabled = 0;
    std::array<uint8_t, 10> voiceMagicEffect{};

    std::array<uint8_t, kGpioLineCount> gpioModes{};
    std::array<uint8_t, kGpioLineCount> gpioLevels{};  // input levels, 0 or 1
    ScanButtonCallback scanCallback = nullptr;
    bool scanning = false;

    LedController masterLed;
    LedController slaveLed;

    static std::vector<uint8_t> DefaultRegisters();
    static std::array<std::array<uint8_t, kEepromSize>, 2> DefaultEeprom();
};

// Eight bytes of an EEPROM preset bank: five 12-bit values and the flags in the high nibble of
// byte 7.
std::array<uint8_t, 8> PackEepromPreset(const std::array<uint16_t, 5>& values, uint8_t flags);

class VirtualHeadset {
public:
    ChipState& State() { return state_; }
    const ChipState& State() const { return state_; }

    int32_t SetActiveDevice(uint16_t vid, uint16_t pid);
    int32_t AudioCommand(uint8_t* request, uint32_t* size);

    int32_t ConfigEq(uint8_t device);
    int32_t SetEqOnOff(int32_t on, uint8_t device);
    int32_t IsEqEnable(int32_t* enabled, uint8_t device);
    int32_t Config3D(uint8_t device);
    int32_t Set3DOnOff(int32_t on, uint8_t device);
    int32_t Is3DEnable(int32_t* enabled, uint8_t device);

    int32_t SetVirtual7ch1OnOff(int32_t on);
    int32_t SetVirtual7ch1Scalar(float scalar);
    int32_t SetVirtual7ch1(const uint8_t* block);
    int32_t SetEncParameters(const uint8_t* block);

    int32_t ReadRegister(uint16_t address, uint8_t* value, uint8_t device);
    int32_t WriteRegister(uint16_t address, uint8_t value, uint8_t device);
    int32_t ReadI2c(uint8_t chip, uint8_t address, uint8_t* buffer, uint32_t length,
                    uint8_t device);

    int32_t ScanButton(uint16_t vid, uint16_t pid, ScanButtonCallback callback, uint8_t enable,
                       uint8_t device);
    int32_t SetGpioMode(const uint8_t* modes, uint8_t count, uint8_t device);
    int32_t GetGpioEx(uint8_t line, uint8_t* level, uint8_t device);
    int32_t SetGpioModeEx(uint8_t line, uint8_t mode, uint8_t device);

    // LED requests. Entry points without a device index pass 0, the selected device; the
    // slave bus has no target byte of its own and passes 0 there.
    int32_t SetRgbMode(LedBus bus, uint8_t target, uint8_t led, uint8_t mode, uint8_t speed,
                       uint32_t tail, uint8_t device);
    int32_t SetRgbColor(LedBus bus, uint8_t target, uint8_t led, uint8_t slot, RgbColor color,
                        uint32_t tail, uint8_t device);
    int32_t SetRgbSingleColor(LedBus bus, uint8_t target, uint8_t led, uint8_t mode, RgbColor color,
                              uint32_t tail, uint8_t device);
    int32_t SetRgbBrightness(LedBus bus, uint8_t target, uint8_t led, uint8_t level, uint32_t tail,
                             uint8_t device);
    int32_t SetRgbStep(LedBus bus, uint8_t target, uint8_t steps, uint32_t tail, uint8_t device);

private:
    int32_t CountConfig(uint32_t& count, uint8_t device);
    int32_t SetSwitch(int32_t& flag, int32_t on, uint8_t device);
    int32_t ReadSwitch(int32_t flag, int32_t* enabled, uint8_t device) const;

    // Device-index check of the "_ById" entry points.
    int32_t Addressed(uint8_t device) const;
    // Calls without a device index address the selected device.
    int32_t Selected() const;

    LedController& Led(LedBus bus);

    ChipState state_;
};

}  // namespace tavrin::sim
