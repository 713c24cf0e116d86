#include "service/LaunchChoice.h"

#include <cwctype>

namespace tavrin::service {
namespace {

bool EqualsIgnoringCase(const std::wstring& text, const wchar_t* expected) {
    size_t i = 0;
    for (; i < text.size() && expected[i] != L'\0'; ++i) {
        if (std::towlower(text[i]) != std::towlower(expected[i])) return false;
    }
    return i == text.size() && expected[i] == L'\0';
}

}  // namespace

RunMode ChooseRunMode(const std::vector<std::wstring>& arguments) {
    if (arguments.size() <= 1) return RunMode::Dispatch;
    // Windows switches are case-blind; anything more is a mistake, not a registration.
    if (arguments.size() == 2 && EqualsIgnoringCase(arguments[1], L"/Service")) {
        return RunMode::Register;
    }
    return RunMode::Unknown;
}

ControlChoice ChooseControl(uint32_t control) {
    switch (control) {
        case kControlStop: return {ControlAction::Stop, nullptr};
        case kControlInterrogate: return {ControlAction::ReportStatus, nullptr};
        case kControlStartWindow: return {ControlAction::Launch, kUserLaunchValue};
        case kControlBoot: return {ControlAction::Launch, kBootLaunchValue};
        default: break;
    }
    // The user range always reaches the handler; codes the stand-in has no use for (128 among
    // them) are only logged.
    if (control >= 128 && control <= 255) return {ControlAction::Ignore, nullptr};
    return {ControlAction::NotImplemented, nullptr};
}

}  // namespace tavrin::service
