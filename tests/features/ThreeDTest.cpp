#include "app/features/ThreeD.h"

#include <gtest/gtest.h>

#include "tests/support/FeatureFixture.h"
