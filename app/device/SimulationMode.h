#pragma once
// Whether the program drives the virtual headset instead of real hardware. Chosen explicitly at
// start, never guessed: TAVRIN_SIMULATION=1 in the environment.
#include "ports/Environment.h"

namespace tavrin {

inline constexpr wchar_t kSimulationVariable[] = L"TAVRIN_SIMULATION";

// Set and neither empty nor "0".
bool SimulationModeRequested(Environment& environment);

}  // namespace tavrin
