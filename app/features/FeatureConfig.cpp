#include "app/features/FeatureConfig.h"

namespace tavrin {

MainWindowConfig ReadMainWindowConfig(const ConfigFile& config) {
    using namespace config_keys;
    MainWindowConfig values;
    values.oldVersion = config.Integer(kOldVersion);
    values.defaultIni = config.Integer(kDefaultIni);
    values.bee = config.Integer(kBee);
    values.monitor = config.Integer(kMonitor);
    values.v7ch1Scalar = config.V7ch1Scalar();
    values.encButtonMode = config.Integer(kEncButtonMode);
    values.encGpio = config.Integer(kEncGpio);
    values.exclusive3DV7ch1 = config.Integer(k3DV7ch1MutuallyExclusive);
    values.gpioMode = config.Integer(kGpioMode);
    values.gpioEnable = config.IntegerList(kGpioEnable);
    values.gpioDirection = config.IntegerList(kGpioDirection);
    values.gpioButtonMode = config.Integer(kGpioButtonMode);
    values.gpioDipSwitchMode = config.Integer(kGpioDipSwitchMode);
    for (size_t line = 0; line < kGpioLineCount; ++line) {
        values.gpioActive[line] = config.GpioActive(line);
        values.gpioFunction[line] = config.GpioFunction(line);
    }
    return values;
}

}  // namespace tavrin
