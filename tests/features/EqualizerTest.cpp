#include "app/features/Equalizer.h"

#include <gtest/gtest.h>

#include "tests/support/FeatureFixture.h"
