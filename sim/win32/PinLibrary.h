#pragma once

namespace tavrin::sim {

// Keeps the library loaded until the process ends, whatever FreeLibrary calls follow: a running
// scan thread must never find its code unmapped.
void PinLibrary();

}  // namespace tavrin::sim
