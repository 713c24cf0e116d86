#include "app/device/SimulationMode.h"

#include <gtest/gtest.h>

#include "tests/support/FakeEnvironment.h"

namespace tavrin {
namespace {

TEST(SimulationMode, OnlyAnExplicitNonZeroValueSwitchesItOn) {
    const struct {
        const wchar_t* value;  // null: not set
        bool simulated;
    } cases[] = {{nullptr, false}, {L"", false}, {L"0", false}, {L"1", true}, {L"yes", true}};
    for (const auto& c : cases) {
        test::FakeEnvironment environment;
        if (c.value != nullptr) environment.variables[kSimulationVariable] = c.value;
        EXPECT_EQ(SimulationModeRequested(environment), c.simulated)
            << (c.value != nullptr ? "set" : "unset");
    }
}

}  // namespace
}  // namespace tavrin
