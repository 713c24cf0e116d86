#include "app/device/SimulationMode.h"

namespace tavrin {

bool SimulationModeRequested(Environment& environment) {
    const auto value = environment.GetVariable(kSimulationVariable);
    return value.has_value() && !value->empty() && *value != L"0";
}

}  // namespace tavrin
