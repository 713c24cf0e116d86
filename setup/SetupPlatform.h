#pragma once
// The setup program's one wiring point: the shared ports and its own, built once in its entry
// and passed down.
#include "ports/Platform.h"
#include "ports/ServiceManager.h"
#include "setup/SetupSystem.h"

namespace tavrin::setup {

struct SetupPlatform {
    Platform& common;
    ServiceManager& services;
    SetupSystem& system;
};

}  // namespace tavrin::setup
