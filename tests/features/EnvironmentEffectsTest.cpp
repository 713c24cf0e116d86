#include "app/features/EnvironmentEffects.h"

#include <gtest/gtest.h>

#include "tests/support/FeatureFixture.h"
