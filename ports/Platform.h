#pragma once
// The one wiring point of a program: built once in its entry and passed down by reference.
#include "ports/Clock.h"
#include "ports/DebugLog.h"
#include "ports/Environment.h"
#include "ports/FileSystem.h"
#include "ports/ProfileStore.h"
#include "ports/Registry.h"

namespace tavrin {

struct Platform {
    ProfileStore& profiles;
    Registry& registry;
    FileSystem& files;
    Environment& environment;
    Clock& clock;
    DebugLog& debugLog;
};

}  // namespace tavrin
