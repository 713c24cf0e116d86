#pragma once
// The library's one simulator, shared by the vendor SDK face and the bus face.
#include "sim/HeadsetSimulator.h"

namespace tavrin::sim {

HeadsetSimulator& LibrarySimulator();

}  // namespace tavrin::sim
