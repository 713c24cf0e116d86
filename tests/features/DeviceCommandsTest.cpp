#include "app/features/DeviceCommands.h"

#include <gtest/gtest.h>

#include "tests/support/FeatureFixture.h"
