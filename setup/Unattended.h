#pragma once
// Unattended runs for administrators: "/S" installs (or uninstalls) without a window, writes the
// same log lines, never restarts Windows and ends with an exit code.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "setup/BackgroundForm.h"
#include "setup/InstallSequence.h"
#include "setup/SetupPlatform.h"
#include "setup/SetupSession.h"

namespace tavrin::setup {

// Exit codes besides 0 and the failing step's code (0x80000001 ...).
inline constexpr uint32_t kExitCannotStart = 1;  // configuration, groups or texts unusable
inline constexpr uint32_t kExitBadArguments = 87;
inline constexpr uint32_t kExitRefused = 0x80000000;  // an earlier driver is active

struct CommandLine {
    bool silent = false;                   // "/S"
    std::optional<std::wstring> language;  // "/LANG=<language folder>"
    bool removeProfiles = false;           // "/REMOVEPROFILES", the uninstaller's
    std::vector<std::wstring> unknown;     // anything else
};

// Arguments without the program path; switches compare without regard to case.
CommandLine ParseCommandLine(const std::vector<std::wstring>& arguments);

// The exit code of an unattended installation that ended this way.
uint32_t ExitCodeOf(const InstallResult& result);

// The wizard's preparation, the language of /LANG (the one configured when absent) and the
// installation, on the calling thread.
uint32_t RunUnattendedSetup(SetupPlatform& platform, SetupSession& session, InstallSteps& steps,
                            const CommandLine& commandLine, int32_t screenWidth,
                            int32_t screenHeight);

}  // namespace tavrin::setup
