#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "sim/VirtualHeadset.h"

namespace tavrin::sim {
namespace {

int32_t TAVRIN_SDK_CALL IgnoreButtons(uint32_t, uint32_t, uint8_t*, uint32_t, uint32_t) {
    return 0;
}

class VirtualHeadsetTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(headset->SetActiveDevice(kVendorId, kDefaultProductId), kOk);
    }

    std::unique_ptr<VirtualHeadset> headset = std::make_unique<VirtualHeadset>();
    ChipState& state = headset->State();
};

TEST(VirtualHeadsetSelection, OnlyTheSelectedDeviceAnswers) {
    VirtualHeadset headset;
    int32_t flag = 0;
    uint8_t byte = 0;
    EXPECT_EQ(headset.SetEqOnOff(1, 0), kNoDevice) << "nothing selected yet";
    EXPECT_EQ(headset.SetVirtual7ch1OnOff(1), kNoDevice);
    EXPECT_EQ(headset.SetActiveDevice(kVendorId, 0x5802), kNoDevice);
    headset.State().productId = 0x5802;
    EXPECT_EQ(headset.SetActiveDevice(kVendorId, 0x5802), kOk);
    EXPECT_EQ(headset.IsEqEnable(&flag, 1), kNoDevice) << "index 1 addresses no device";
    EXPECT_EQ(headset.ReadRegister(0x100, &byte, 0), kOk);
    EXPECT_EQ(headset.SetActiveDevice(0x1234, 0x5802), kNoDevice);
    EXPECT_EQ(headset.ReadRegister(0x100, &byte, 0), kNoDevice) << "a failed selection clears";
}

TEST_F(VirtualHeadsetTest, EqAnd3DSwitchesAreSeparateAndReadBack) {
    int32_t eq = -1;
    int32_t threeD = -1;
    EXPECT_EQ(headset->ConfigEq(0), kOk);
    EXPECT_EQ(headset->SetEqOnOff(1, 0), kOk);
    EXPECT_EQ(headset->Set3DOnOff(0, 0), kOk);
    EXPECT_EQ(headset->IsEqEnable(&eq, 0), kOk);
    EXPECT_EQ(headset->Is3DEnable(&threeD, 0), kOk);
    EXPECT_EQ(eq, 1);
    EXPECT_EQ(threeD, 0);
    EXPECT_EQ(headset->Set3DOnOff(1, 0), kOk);
    EXPECT_EQ(headset->SetEqOnOff(0, 0), kOk);
    EXPECT_EQ(headset->IsEqEnable(&eq, 0), kOk);
    EXPECT_EQ(headset->Is3DEnable(&threeD, 0), kOk);
    EXPECT_EQ(eq, 0);
    EXPECT_EQ(threeD, 1);
    EXPECT_EQ(headset->IsEqEnable(nullptr, 0), kBadArgument);
    EXPECT_EQ(state.eqConfigCount, 1u);
}

TEST_F(VirtualHeadsetTest, RegistersAndEepromKeepTheirBytes) {
    uint8_t value = 0;
    EXPECT_EQ(headset->WriteRegister(0xFFFF, 0xA5, 0), kOk);
    EXPECT_EQ(headset->ReadRegister(0xFFFF, &value, 0), kOk);
    EXPECT_EQ(value, 0xA5);

    std::vector<uint8_t> bytes(8, 0);
    EXPECT_EQ(headset->ReadI2c(0x50, 0x8D, bytes.data(), 1, 0), kOk);
    EXPECT_EQ(bytes[0], 0x01) << "the preset table is there";
    state.eeprom[1][0x17] = 0x7F;
    state.eeprom[1][0x1F] = 0x01;
    EXPECT_EQ(headset->ReadI2c(0x51, 0x17, bytes.data(), 1, 0), kOk);
    EXPECT_EQ(bytes[0], 0x7F);
    EXPECT_EQ(headset->ReadI2c(0x51, 0x18, bytes.data(), 8, 0), kOk);
    EXPECT_EQ(bytes[7], 0x01);
    EXPECT_EQ(headset->ReadI2c(0x52, 0, bytes.data(), 1, 0), kNoDevice) << "no such chip";
    EXPECT_EQ(headset->ReadI2c(0x51, 0xFF, bytes.data(), 2, 0), kBadArgument);
}

TEST_F(VirtualHeadsetTest, AudioCommandSwitchesAndRepliesInPlace) {
    std::vector<uint8_t> request(kAudioCommandSize, 0);
    uint32_t size = kAudioCommandSize;
    request[0] = 4;
    request[2] = 1;
    EXPECT_EQ(headset->AudioCommand(request.data(), &size), kOk);
    EXPECT_EQ(state.encEnabled, 1);

    state.encParameters[8] = 17;
    std::fill(request.begin(), request.end(), 0);
    request[0] = 4;
    request[1] = 8;
    EXPECT_EQ(headset->AudioCommand(request.data(), &size), kOk);
    EXPECT_EQ(request[2], 1) << "state block: enable word";
    EXPECT_EQ(request[134 + 8], 17) << "parameter block: level word";

    std::fill(request.begin(), request.end(), 0);
    request[0] = 7;
    request[1] = 2;
    request[2] = 3;
    request[11] = 9;
    EXPECT_EQ(headset->AudioCommand(request.data(), &size), kOk);
    EXPECT_EQ(state.voiceMagicEffect[0], 3);
    EXPECT_EQ(state.voiceMagicEffect[9], 9);

    request[0] = 99;
    EXPECT_EQ(headset->AudioCommand(request.data(), &size), kNotSupported);
    size = 285;
    EXPECT_EQ(headset->AudioCommand(request.data(), &size), kBadArgument);
    EXPECT_EQ(headset->AudioCommand(request.data(), nullptr), kBadArgument);
}

TEST_F(VirtualHeadsetTest, GpioLinesAndScan) {
    const std::vector<uint8_t> modes(kGpioLineCount, 2);
    EXPECT_EQ(headset->SetGpioMode(modes.data(), kGpioLineCount, 0), kOk);
    EXPECT_EQ(headset->SetGpioModeEx(9, 0, 0), kOk);
    EXPECT_EQ(state.gpioModes[8], 2);
    EXPECT_EQ(state.gpioModes[9], 0);
    state.gpioLevels[3] = 1;
    uint8_t level = 0;
    EXPECT_EQ(headset->GetGpioEx(3, &level, 0), kOk);
    EXPECT_EQ(level, 1);
    EXPECT_EQ(headset->GetGpioEx(kGpioLineCount, &level, 0), kBadArgument);

    const ScanButtonCallback scan = &IgnoreButtons;
    EXPECT_EQ(headset->ScanButton(kVendorId, kDefaultProductId, scan, 1, 0), kOk);
    EXPECT_TRUE(state.scanning);
    EXPECT_EQ(headset->ScanButton(kVendorId, kDefaultProductId, nullptr, 0, 0), kOk);
    EXPECT_FALSE(state.scanning);
    EXPECT_EQ(headset->ScanButton(kVendorId, kDefaultProductId, nullptr, 1, 0), kBadArgument);
}

TEST_F(VirtualHeadsetTest, MasterAndSlaveLedControllersAreSeparate) {
    EXPECT_EQ(headset->SetRgbMode(LedBus::Master, 58, 0, 5, 3, 50, 0), kOk);
    EXPECT_EQ(headset->SetRgbColor(LedBus::Master, 58, 1, 7, {9, 240, 247}, 50, 0), kOk);
    EXPECT_EQ(headset->SetRgbColor(LedBus::Slave, 0, 1, 7, {1, 2, 3}, 500, 0), kOk);
    EXPECT_EQ(headset->SetRgbSingleColor(LedBus::Master, 58, 1, 4, {255, 0, 0}, 50, 0), kOk);
    EXPECT_EQ(headset->SetRgbStep(LedBus::Slave, 0, 7, 500, 0), kOk);
    EXPECT_EQ(state.masterLed.mode, 5);
    EXPECT_EQ(state.masterLed.speed, 3);
    EXPECT_EQ(state.masterLed.slotColors[7], (RgbColor{9, 240, 247}));
    EXPECT_EQ(state.slaveLed.slotColors[7], (RgbColor{1, 2, 3}));
    EXPECT_EQ(state.masterLed.modeColors[4], (RgbColor{255, 0, 0}));
    EXPECT_EQ(state.slaveLed.steps, 7);
    EXPECT_EQ(state.masterLed.steps, 0);
    EXPECT_EQ(headset->SetRgbColor(LedBus::Master, 58, 1, 0, {}, 50, 0), kBadArgument);
    EXPECT_EQ(headset->SetRgbColor(LedBus::Master, 58, 1, 8, {}, 50, 0), kBadArgument);
}

}  // namespace
}  // namespace tavrin::sim
