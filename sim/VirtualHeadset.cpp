#include "sim/VirtualHeadset.h"

#include <algorithm>

namespace tavrin::sim {
namespace {

constexpr uint8_t kCodeEnc = 4;
constexpr uint8_t kCodeVoiceMagic = 7;
constexpr uint8_t kSubOnOff = 0;
constexpr uint8_t kSubVoiceEffect = 2;
constexpr uint8_t kSubEncBlocks = 8;
constexpr size_t kRequestData = 2;
constexpr size_t kReplySecondPart = 134;

uint32_t ReadLe32(const uint8_t* bytes) {
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

void WriteLe32(uint8_t* bytes, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

std::vector<uint8_t> ChipState::DefaultRegisters() {
    std::vector<uint8_t> registers(0x10000, 0);
    // Equalizer bands 0..4 at the neutral gain 0x400; 0x129 carries the flags A, B, C above.
    for (uint16_t band = 0; band < 5; ++band) {
        registers[0x120 + 2 * band] = 0x00;
        registers[0x121 + 2 * band] = 0x04;
    }
    registers[0x129] = 0xE4;
    // 3D: FBM on, effect off, alpha 10 and beta 3 on both channels.
    registers[0x18A] = 0x01;
    registers[0x18B] = 0xA3;
    registers[0x18C] = 0xA3;
    // Nibbles of 0xA that the switch path turns into 0xF, so that its rewrite shows.
    registers[0x1CD] = 0xAA;
    registers[0x1CE] = 0x5A;
    return registers;
}

std::array<uint8_t, 8> PackEepromPreset(const std::array<uint16_t, 5>& values, uint8_t flags) {
    std::array<uint8_t, 8> bytes{};
    bytes[0] = static_cast<uint8_t>(values[0]);
    bytes[1] = static_cast<uint8_t>((values[0] >> 8 & 0x0F) | (values[1] & 0x0F) << 4);
    bytes[2] = static_cast<uint8_t>(values[1] >> 4);
    bytes[3] = static_cast<uint8_t>(values[2]);
    bytes[4] = static_cast<uint8_t>((values[2] >> 8 & 0x0F) | (values[3] & 0x0F) << 4);
    bytes[5] = static_cast<uint8_t>(values[3] >> 4);
    bytes[6] = static_cast<uint8_t>(values[4]);
    bytes[7] = static_cast<uint8_t>((values[4] >> 8 & 0x0F) | (flags & 0xF0));
    return bytes;
}

std::array<std::array<uint8_t, kEepromSize>, 2> ChipState::DefaultEeprom() {
    std::array<std::array<uint8_t, kEepromSize>, 2> chips;
    for (auto& chip : chips) chip.fill(0xFF);
    chips[0][kEepromTableFlag] = 0x01;
    chips[0][kEepromCurrentBank] = 0x10;
    // Stored values are 2 x gain - 0x400. Byte 7 doubles as the bank's status: bit 7 clear is
    // "equalizer on", bit 4 the 3D hint. Bank 3 is left unprogrammed.
    const std::array<std::pair<std::array<uint16_t, 5>, uint8_t>, 3> banks = {{
        {{0x400, 0x400, 0x400, 0x400, 0x400}, 0x00},  // flat
        {{0x800, 0x600, 0x400, 0x400, 0x400}, 0x10},  // bass, with the 3D hint
        {{0x400, 0x400, 0x400, 0x600, 0x800}, 0x00},  // treble
    }};
    for (std::size_t bank = 0; bank < banks.size(); ++bank) {
        const auto bytes = PackEepromPreset(banks[bank].first, banks[bank].second);
        std::copy(bytes.begin(), bytes.end(), chips[1].begin() + 16 * bank);
    }
    return chips;
}

int32_t VirtualHeadset::Addressed(uint8_t device) const {
    return device == 0 ? Selected() : kNoDevice;
}

int32_t VirtualHeadset::Selected() const {
    return state_.selected ? kOk : kNoDevice;
}

int32_t VirtualHeadset::SetActiveDevice(uint16_t vid, uint16_t pid) {
    state_.selected = vid == state_.vendorId && pid == state_.productId;
    return Selected();
}

int32_t VirtualHeadset::AudioCommand(uint8_t* request, uint32_t* size) {
    if (request == nullptr || size == nullptr || *size != kAudioCommandSize) return kBadArgument;
    if (const int32_t result = Selected(); result != kOk) return result;
    const uint8_t code = request[0];
    const uint8_t sub = request[1];
    uint8_t* data = request + kRequestData;
    if (code == kCodeEnc && sub == kSubOnOff) {
        state_.encEnabled = static_cast<int32_t>(ReadLe32(data));
    } else if (code == kCodeEnc && sub == kSubEncBlocks) {
        // State block of 8 bytes (enable first), then the parameter block in the second part.
        std::fill(data, data + 8, 0);
        WriteLe32(data, static_cast<uint32_t>(state_.encEnabled));
        std::copy(state_.encParameters.begin(), state_.encParameters.end(),
                  request + kReplySecondPart);
    } else if (code == kCodeVoiceMagic && sub == kSubOnOff) {
        state_.voiceMagicEnabled = static_cast<int32_t>(ReadLe32(data));
    } else if (code == kCodeVoiceMagic && sub == kSubVoiceEffect) {
        std::copy(data, data + state_.voiceMagicEffect.size(), state_.voiceMagicEffect.begin());
    } else {
        return kNotSupported;
    }
    return kOk;
}

// The EQ and 3D switches behave alike; only the state they act on differs.
int32_t VirtualHeadset::CountConfig(uint32_t& count, uint8_t device) {
    if (const int32_t result = Addressed(device); result != kOk) return result;
    ++count;
    return kOk;
}

int32_t VirtualHeadset::SetSwitch(int32_t& flag, int32_t on, uint8_t device) {
    if (const int32_t result = Addressed(device); result != kOk) return result;
    flag = on != 0 ? 1 : 0;
    return kOk;
}

int32_t VirtualHeadset::ReadSwitch(int32_t flag, int32_t* enabled, uint8_t device) const {
    if (enabled == nullptr) return kBadArgument;
    if (const int32_t result = Addressed(device); result != kOk) return result;
    *enabled = flag;
    return kOk;
}

int32_t VirtualHeadset::ConfigEq(uint8_t device) {
    return CountConfig(state_.eqConfigCount, device);
}

int32_t VirtualHeadset::SetEqOnOff(int32_t on, uint8_t device) {
    return SetSwitch(state_.eqEnabled, on, device);
}

int32_t VirtualHeadset::IsEqEnable(int32_t* enabled, uint8_t device) {
    return ReadSwitch(state_.eqEnabled, enabled, device);
}

int32_t VirtualHeadset::Config3D(uint8_t device) {
    return CountConfig(state_.threeDConfigCount, device);
}

int32_t VirtualHeadset::Set3DOnOff(int32_t on, uint8_t device) {
    return SetSwitch(state_.threeDEnabled, on, device);
}

int32_t VirtualHeadset::Is3DEnable(int32_t* enabled, uint8_t device) {
    return ReadSwitch(state_.threeDEnabled, enabled, device);
}

int32_t VirtualHeadset::SetVirtual7ch1OnOff(int32_t on) {
    if (const int32_t result = Selected(); result != kOk) return result;
    state_.virtual7ch1Enabled = on;
    return kOk;
}

int32_t VirtualHeadset::SetVirtual7ch1Scalar(float scalar) {
    if (const int32_t result = Selected(); result != kOk) return result;
    state_.virtual7ch1Scalar = scalar;
    return kOk;
}

int32_t VirtualHeadset::SetVirtual7ch1(const uint8_t* block) {
    if (block == nullptr) return kBadArgument;
    if (const int32_t result = Selected(); result != kOk) return result;
    std::copy(block, block + kVirtual7ch1BlockSize, state_.virtual7ch1Block.begin());
    return kOk;
}

int32_t VirtualHeadset::SetEncParameters(const uint8_t* block) {
    if (block == nullptr) return kBadArgument;
    if (const int32_t result = Selected(); result != kOk) return result;
    std::copy(block, block + kEncParameterBlockSize, state_.encParameters.begin());
    return kOk;
}

int32_t VirtualHeadset::ReadRegister(uint16_t address, uint8_t* value, uint8_t device) {
    if (value == nullptr) return kBadArgument;
    if (const int32_t result = Addressed(device); result != kOk) return result;
    *value = state_.registers[address];
    return kOk;
}

int32_t VirtualHeadset::WriteRegister(uint16_t address, uint8_t value, uint8_t device) {
    if (const int32_t result = Addressed(device); result != kOk) return result;
    state_.registers[address] = value;
    return kOk;
}

int32_t VirtualHeadset::ReadI2c(uint8_t chip, uint8_t address, uint8_t* buffer, uint32_t length,
                                uint8_t device) {
    if (buffer == nullptr || length == 0 || address + length > kEepromSize) return kBadArgument;
    if (const int32_t result = Addressed(device); result != kOk) return result;
    if (chip != kEepromChipFirst && chip != kEepromChipSecond) return kNoDevice;
    const auto& eeprom = state_.eeprom[chip - kEepromChipFirst];
    std::copy(eeprom.begin() + address, eeprom.begin() + address + length, buffer);
    return kOk;
}

int32_t VirtualHeadset::ScanButton(uint16_t vid, uint16_t pid, ScanButtonCallback callback,
                                   uint8_t enable, uint8_t device) {
    if (const int32_t result = Addressed(device); result != kOk) return result;
    if (vid != state_.vendorId || pid != state_.productId) return kNoDevice;
    if (enable != 0 && callback == nullptr) return kBadArgument;
    state_.scanning = enable != 0;
    state_.scanCallback = state_.scanning ? callback : nullptr;
    return kOk;
}

int32_t VirtualHeadset::SetGpioMode(const uint8_t* modes, uint8_t count, uint8_t device) {
    if (modes == nullptr || count > kGpioLineCount) return kBadArgument;
    if (const int32_t result = Addressed(device); result != kOk) return result;
    std::copy(modes, modes + count, state_.gpioModes.begin());
    return kOk;
}

int32_t VirtualHeadset::GetGpioEx(uint8_t line, uint8_t* level, uint8_t device) {
    if (level == nullptr || line >= kGpioLineCount) return kBadArgument;
    if (const int32_t result = Addressed(device); result != kOk) return result;
    *level = state_.gpioLevels[line];
    return kOk;
}

int32_t VirtualHeadset::SetGpioModeEx(uint8_t line, uint8_t mode, uint8_t device) {
    if (line >= kGpioLineCount) return kBadArgument;
    if (const int32_t result = Addressed(device); result != kOk) return result;
    state_.gpioModes[line] = mode;
    return kOk;
}

LedController& VirtualHeadset::Led(LedBus bus) {
    return bus == LedBus::Master ? state_.masterLed : state_.slaveLed;
}

int32_t VirtualHeadset::SetRgbMode(LedBus bus, uint8_t target, uint8_t led, uint8_t mode,
                                   uint8_t speed, uint32_t tail, uint8_t device) {
    if (const int32_t result = Addressed(device); result != kOk) return result;
    LedController& controller = Led(bus);
    controller.target = target;
    controller.led = led;
    controller.mode = mode;
    controller.speed = speed;
    controller.tail = tail;
    return kOk;
}

int32_t VirtualHeadset::SetRgbColor(LedBus bus, uint8_t target, uint8_t led, uint8_t slot,
                                    RgbColor color, uint32_t tail, uint8_t device) {
    if (slot < 1 || slot > 7) return kBadArgument;
    if (const int32_t result = Addressed(device); result != kOk) return result;
    LedController& controller = Led(bus);
    controller.target = target;
    controller.led = led;
    controller.slotColors[slot] = color;
    controller.tail = tail;
    return kOk;
}

int32_t VirtualHeadset::SetRgbSingleColor(LedBus bus, uint8_t target, uint8_t led, uint8_t mode,
                                          RgbColor color, uint32_t tail, uint8_t device) {
    if (mode >= kLedModeCount) return kBadArgument;
    if (const int32_t result = Addressed(device); result != kOk) return result;
    LedController& controller = Led(bus);
    controller.target = target;
    controller.led = led;
    controller.modeColors[mode] = color;
    controller.tail = tail;
    return kOk;
}

int32_t VirtualHeadset::SetRgbBrightness(LedBus bus, uint8_t target, uint8_t led, uint8_t level,
                                         uint32_t tail, uint8_t device) {
    if (const int32_t result = Addressed(device); result != kOk) return result;
    LedController& controller = Led(bus);
    controller.target = target;
    controller.led = led;
    controller.brightness = level;
    controller.tail = tail;
    return kOk;
}

int32_t VirtualHeadset::SetRgbStep(LedBus bus, uint8_t target, uint8_t steps, uint32_t tail,
                                   uint8_t device) {
    if (const int32_t result = Addressed(device); result != kOk) return result;
    LedController& controller = Led(bus);
    controller.target = target;
    controller.steps = steps;
    controller.tail = tail;
    return kOk;
}

}  // namespace tavrin::sim
