#pragma once
// The decisions of the background service stand-in, apart from its Win32 body: how it was
// started, and what each control code makes it do.
#include <cstdint>
#include <string>
#include <vector>

namespace tavrin::service {

inline constexpr wchar_t kServiceName[] = L"QuorvelService";
// Relative to HKEY_LOCAL_MACHINE, read in the 32-bit view where the 32-bit setup writes it.
inline constexpr wchar_t kLaunchKeyPath[] = L"SOFTWARE\\ZRN 58xx Software";
inline constexpr wchar_t kUserLaunchValue[] = L"UserPrivilegeExecution_C0";
inline constexpr wchar_t kBootLaunchValue[] = L"SystemPrivilegeExecutionOnBoot_C3";

// The control codes the product sends.
inline constexpr uint32_t kControlStop = 1;
inline constexpr uint32_t kControlInterrogate = 4;
// Sent by the setup program; what it means lies with the vendor's service.
inline constexpr uint32_t kControlSetup = 128;
inline constexpr uint32_t kControlStartWindow = 193;
inline constexpr uint32_t kControlBoot = 196;

enum class RunMode {
    Register,  // "/Service", as the setup program runs it
    Dispatch,  // no arguments: started by the service control manager
    Unknown,
};

// Arguments as the process received them, the program path first.
RunMode ChooseRunMode(const std::vector<std::wstring>& arguments);

enum class ControlAction {
    Stop,
    ReportStatus,
    Launch,  // start the command line stored in ControlChoice::launchValue
    Ignore,  // accepted and logged, nothing else
    NotImplemented,
};

struct ControlChoice {
    ControlAction action;
    const wchar_t* launchValue;  // null unless action is Launch
};

ControlChoice ChooseControl(uint32_t control);

}  // namespace tavrin::service
