// The install worker beside the window thread: the native build also runs this file under
// ThreadSanitizer.
#include "setup/InstallWorker.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "tests/setup/WizardFixture.h"

namespace tavrin::setup {
namespace {

using test::WizardTest;

TEST(InstallWorker, RunsOnceAndJoins) {
    std::atomic<int> runs{0};
    InstallWorker worker;
    EXPECT_TRUE(worker.Start([&](const std::atomic<bool>&) { ++runs; }));
    EXPECT_FALSE(worker.Start([&](const std::atomic<bool>&) { ++runs; })) << "one run a program";
    worker.Join();
    worker.Join();
    EXPECT_EQ(runs, 1);
}

TEST(InstallWorker, DestroyingItStopsAndJoinsTheRun) {
    std::atomic<bool> sawStop{false};
    {
        InstallWorker worker;
        worker.Start([&](const std::atomic<bool>& stop) {
            while (!stop) std::this_thread::yield();
            sawStop = true;
        });
    }
    EXPECT_TRUE(sawStop);
}

// Many installations with the window thread delivering the worker's posts as they come.
TEST_F(WizardTest, InstallationsRaceNothingWithTheWindowThread) {
    for (int run = 0; run < 20; ++run) {
        TMainForm& form = Open("ShowRebootScreen=1\r\n", "[Plugin]\r\nPluginFolderName=P\r\n");
        form.NextBitBtnClick();
        const std::vector<int32_t> positions = host.DeliverUntilEnded(form);
        ASSERT_EQ(positions.size(), 14u);
        ASSERT_TRUE(Control(L"RebootRadioButton").checked);
    }
}

TEST_F(WizardTest, ClosingDuringTheInstallationStopsItAfterTheRunningStep) {
    std::atomic<bool> inStep2{false};
    steps.during = [&](const std::wstring& label) {
        if (label != L"STEP2") return;
        inStep2 = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    };
    TMainForm& form = Open();
    form.NextBitBtnClick();
    while (!inStep2) std::this_thread::yield();
    form.FormClose();
    EXPECT_TRUE(host.quitPosted);
    EXPECT_EQ(steps.Calls().back(), L"STEP2");
    EXPECT_TRUE(machine.log.Contains(L"***** Install stopped before STEP3 *****\n"));
    EXPECT_FALSE(session.rebootSuggested);
}

}  // namespace
}  // namespace tavrin::setup
