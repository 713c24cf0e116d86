#include "setup/InstallSequence.h"

#include <gtest/gtest.h>

#include "tests/setup/SetupFakes.h"
#include "tests/support/FakeClock.h"
#include "tests/support/RecordingDebugLog.h"

namespace tavrin::setup {
namespace {

using test::RecordingInstallSteps;
using test::RecordingReporter;

class InstallSequenceTest : public ::testing::Test {
protected:
    InstallResult Run(bool plugins = true, int32_t installWindowsKB = 1) {
        const InstallContext context{
            clock, log, reporter, L"Earlier driver active. ", L"Failed", plugins, installWindowsKB};
        return RunInstallSequence(steps, context);
    }
    // The step labels the log shows, in order.
    std::vector<std::wstring> LoggedSteps() const {
        std::vector<std::wstring> labels;
        const std::wstring prefix = L"===== Install ";
        for (const std::wstring& line : log.lines) {
            if (line.rfind(prefix, 0) == 0) {
                labels.push_back(line.substr(prefix.size(), line.size() - prefix.size() - 7));
            }
        }
        return labels;
    }

    tavrin::test::FakeClock clock;
    tavrin::test::RecordingDebugLog log;
    RecordingReporter reporter;
    RecordingInstallSteps steps;
};

TEST_F(InstallSequenceTest, EveryStepInOrderWithItsProgress) {
    const InstallResult result = Run();
    EXPECT_EQ(result.end, InstallEnd::Completed);
    EXPECT_EQ(steps.Calls(), (std::vector<std::wstring>{
                                 L"broadcast", L"rest service", L"clean filters", L"refusal check",
                                 L"STEP1", L"STEP2", L"STEP3", L"STEP4", L"STEP5", L"STEP6",
                                 L"STEP7", L"STEP8", L"STEP8.1", L"STEP10"}));
    EXPECT_EQ(LoggedSteps(),
              (std::vector<std::wstring>{L"STEP1", L"STEP2", L"STEP3", L"STEP4", L"STEP5", L"STEP6",
                                         L"STEP7", L"STEP8", L"STEP8.1", L"STEP9", L"STEP10"}));
    EXPECT_EQ(log.lines.front(), L"==> TMainForm::Install\n");
    EXPECT_EQ(reporter.positions,
              (std::vector<int32_t>{1, 10, 20, 30, 40, 50, 60, 70, 80, 90, 95, 98, 98, 100}));
    EXPECT_EQ(clock.waits, (std::vector<uint32_t>{100, 1000}));
    EXPECT_EQ(reporter.beeps, 1);
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(InstallSequenceTest, WithoutPlugInsTheProgressGoesFrom90To100) {
    EXPECT_EQ(Run(false).end, InstallEnd::Completed);
    EXPECT_EQ(LoggedSteps(), (std::vector<std::wstring>{L"STEP1", L"STEP2", L"STEP3", L"STEP4",
                                                        L"STEP5", L"STEP6", L"STEP9", L"STEP10"}));
    EXPECT_EQ(reporter.positions,
              (std::vector<int32_t>{1, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100}));
}

TEST(InstallSequence, TheUpdateOptionOffEndsAfterStep9) {
    for (const int32_t option : {0, 2}) {
        RecordingInstallSteps steps;
        RecordingReporter reporter;
        tavrin::test::FakeClock clock;
        tavrin::test::RecordingDebugLog log;
        const InstallContext context{clock, log, reporter, L"", L"", true, option};
        EXPECT_EQ(RunInstallSequence(steps, context).end, InstallEnd::UpdateSkipped) << option;
        EXPECT_EQ(steps.Calls().back(), L"STEP8.1");
        EXPECT_EQ(log.lines.back(), L"===== Install STEP9 =====\n");
        EXPECT_EQ(reporter.positions.back(), 98) << "no 100 without the update step";
        EXPECT_EQ(clock.waits.back(), 1000u);
        EXPECT_EQ(reporter.beeps, 1);
    }
}

TEST_F(InstallSequenceTest, AFailingStepShowsItsCodeAndStops) {
    const struct {
        const wchar_t* step;
        uint32_t code;
        const wchar_t* text;
    } cases[] = {
        {L"STEP1", 0x80000001, L"Failed(Code = 0x80000001)"},
        {L"STEP2", 0x80000002, L"Failed(Code = 0x80000002)"},
        {L"STEP3", 0x80000003, L"Failed(Code = 0x80000003)"},
        {L"STEP4", 0x80000004, L"Failed(Code = 0x80000004)"},
        {L"STEP8", 0x80000008, L"Failed(Code = 0x80000008)"},
        {L"STEP8.1", 0x80000008, L"Failed(Code = 0x80000008)"},
        {L"STEP10", 0x80000006, L"Failed(Code = 0x80000006)"},
    };
    for (const auto& c : cases) {
        RecordingInstallSteps failing;
        failing.results[c.step] = 1;
        RecordingReporter seen;
        tavrin::test::RecordingDebugLog lines;
        const InstallContext context{clock, lines, seen, L"", L"Failed", true, 1};
        const InstallResult result = RunInstallSequence(failing, context);
        EXPECT_EQ(result.end, InstallEnd::Failed);
        EXPECT_EQ(result.failureCode, c.code);
        EXPECT_EQ(result.lastStep, c.step);
        EXPECT_EQ(seen.messages, std::vector<std::wstring>{c.text});
        EXPECT_EQ(failing.Calls().back(), c.step) << "later steps do not run";
        EXPECT_EQ(seen.beeps, 0);
    }
}

TEST_F(InstallSequenceTest, StepsWithoutACodeDoNotStopTheSequence) {
    for (const wchar_t* step : {L"STEP5", L"STEP6", L"STEP7"}) steps.results[step] = 1;
    EXPECT_EQ(Run().end, InstallEnd::Completed);
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(InstallSequenceTest, AnActiveEarlierDriverRefusesBeforeAnyStep) {
    steps.filterDriverActive = true;
    EXPECT_EQ(Run().end, InstallEnd::Refused);
    EXPECT_EQ(reporter.messages, std::vector<std::wstring>{L"Earlier driver active. "});
    EXPECT_TRUE(LoggedSteps().empty());
    EXPECT_TRUE(reporter.positions.empty());
    EXPECT_EQ(steps.Calls().back(), L"refusal check");
}

TEST_F(InstallSequenceTest, AStopRequestEndsBetweenSteps) {
    std::atomic<bool> stop{false};
    steps.during = [&](const std::wstring& label) {
        if (label == L"STEP3") stop = true;
    };
    const InstallContext context{clock, log, reporter, L"", L"", true, 1, &stop};
    const InstallResult result = RunInstallSequence(steps, context);
    EXPECT_EQ(result.end, InstallEnd::Stopped);
    EXPECT_EQ(result.lastStep, L"STEP3") << "the running step ends";
    EXPECT_EQ(steps.Calls().back(), L"STEP3");
    EXPECT_TRUE(log.Contains(L"***** Install stopped before STEP4 *****\n"));
}

}  // namespace
}  // namespace tavrin::setup
