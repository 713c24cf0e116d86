#include "service/LaunchChoice.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tavrin::service {
namespace {

TEST(QuorvelServiceRunMode, SetupRunRegistersAndAManagerRunDispatches) {
    struct Case {
        std::vector<std::wstring> arguments;
        RunMode expected;
    };
    const Case cases[] = {
        {{L"C:\\Windows\\System32\\QuorvelService.exe"}, RunMode::Dispatch},
        {{}, RunMode::Dispatch},
        {{L"QuorvelService.exe", L"/Service"}, RunMode::Register},
        {{L"QuorvelService.exe", L"/SERVICE"}, RunMode::Register},
        {{L"QuorvelService.exe", L"/Services"}, RunMode::Unknown},
        {{L"QuorvelService.exe", L"/Servic"}, RunMode::Unknown},
        {{L"QuorvelService.exe", L"-Service"}, RunMode::Unknown},
        {{L"QuorvelService.exe", L""}, RunMode::Unknown},
        {{L"QuorvelService.exe", L"/Service", L"/Service"}, RunMode::Unknown},
    };
    for (const Case& c : cases) {
        const std::wstring last = c.arguments.empty() ? L"(none)" : c.arguments.back();
        EXPECT_EQ(ChooseRunMode(c.arguments), c.expected)
            << std::string(last.begin(), last.end()) << ", " << c.arguments.size() << " args";
    }
}

TEST(QuorvelServiceControl, EachCodeHasItsAction) {
    struct Case {
        uint32_t control;
        ControlAction action;
        const wchar_t* launchValue;
    };
    const Case cases[] = {
        {193, ControlAction::Launch, L"UserPrivilegeExecution_C0"},
        {196, ControlAction::Launch, L"SystemPrivilegeExecutionOnBoot_C3"},
        {1, ControlAction::Stop, nullptr},
        {4, ControlAction::ReportStatus, nullptr},
        {128, ControlAction::Ignore, nullptr},
        {194, ControlAction::Ignore, nullptr},
        {255, ControlAction::Ignore, nullptr},
        // Pause, continue and the system's notifications are not accepted.
        {2, ControlAction::NotImplemented, nullptr},
        {3, ControlAction::NotImplemented, nullptr},
        {127, ControlAction::NotImplemented, nullptr},
        {256, ControlAction::NotImplemented, nullptr},
        {193 + 256, ControlAction::NotImplemented, nullptr},
    };
    for (const Case& c : cases) {
        const ControlChoice choice = ChooseControl(c.control);
        EXPECT_EQ(choice.action, c.action) << c.control;
        if (c.launchValue == nullptr) {
            EXPECT_EQ(choice.launchValue, nullptr) << c.control;
        } else {
            ASSERT_NE(choice.launchValue, nullptr) << c.control;
            EXPECT_EQ(std::wstring(choice.launchValue), c.launchValue) << c.control;
        }
    }
}

}  // namespace
}  // namespace tavrin::service
