#pragma once
// The configuration values the main window's features read at construction.
#include <array>
#include <cstdint>
#include <vector>

#include "common/AudioConfig.h"

namespace tavrin {

struct MainWindowConfig {
    int32_t oldVersion = 0;
    int32_t defaultIni = 0;
    int32_t bee = 0;
    int32_t monitor = 1;
    double v7ch1Scalar = 2.0;
    int32_t encButtonMode = 0;
    int32_t encGpio = 0;
    int32_t exclusive3DV7ch1 = 0;
    int32_t gpioMode = 0;
    std::vector<int32_t> gpioEnable;
    std::vector<int32_t> gpioDirection;
    int32_t gpioButtonMode = 0;
    int32_t gpioDipSwitchMode = 0;
    std::array<int32_t, kGpioLineCount> gpioActive{};
    std::array<int32_t, kGpioLineCount> gpioFunction{};
    int32_t regionCut = 0;
    int32_t simpleEnable = 0;
};
// Strict keys that are missing or not numbers throw ConfigConversionError.
MainWindowConfig ReadMainWindowConfig(const ConfigFile& config);

}  // namespace tavrin
