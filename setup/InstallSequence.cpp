#include "setup/InstallSequence.h"

#include <cwchar>

namespace tavrin::setup {
namespace {

constexpr uint32_t kSettleWait = 100;
constexpr uint32_t kStep9Wait = 1000;
constexpr int32_t kStartedProgress = 1;
constexpr int32_t kDoneProgress = 100;

using StepFunction = int (InstallSteps::*)(InstallReporter&);

struct Step {
    const wchar_t* label;
    StepFunction run;
    uint32_t failureCode;  // 0: the step's result is ignored
    bool onlyWithPlugins;
};

// STEP1 to STEP8.1; STEP9 and STEP10 close the sequence.
constexpr Step kSteps[] = {
    {L"STEP1", &InstallSteps::Install_FilterDriver, 0x80000001, false},
    {L"STEP2", &InstallSteps::InstallService, 0x80000002, false},
    {L"STEP3", &InstallSteps::InstallApplication, 0x80000003, false},
    {L"STEP4", &InstallSteps::InstallUninstaller, 0x80000004, false},
    {L"STEP5", &InstallSteps::InstallSharedFiles, 0, false},
    {L"STEP6", &InstallSteps::InstallUserManual, 0, false},
    {L"STEP7", &InstallSteps::InstallPlugins, 0, true},
    {L"STEP8", &InstallSteps::InstallEffectApplication, 0x80000008, true},
    {L"STEP8.1", &InstallSteps::InstallSoundEffectApplication, 0x80000008, true},
};
constexpr Step kStep10 = {L"STEP10", &InstallSteps::Install_KB3033929, 0x80000006, false};

void LogStep(DebugLog& log, const wchar_t* label) {
    log.Write(std::wstring(L"===== Install ") + label + L" =====\n");
}

bool StopRequested(const InstallContext& context) {
    return context.stopRequested != nullptr && context.stopRequested->load();
}

InstallResult Stopped(const InstallContext& context, const wchar_t* before, std::wstring last) {
    context.log.Write(std::wstring(L"***** Install stopped before ") + before + L" *****\n");
    return {InstallEnd::Stopped, 0, std::move(last)};
}

// Runs one step; a failing step with a code shows its message.
bool RunStep(InstallSteps& steps, const Step& step, const InstallContext& context,
             InstallResult& result) {
    LogStep(context.log, step.label);
    const int outcome = (steps.*step.run)(context.reporter);
    result.lastStep = step.label;
    if (outcome == 0 || step.failureCode == 0) return true;
    context.reporter.Message(context.stepFailedText + FailureCodeText(step.failureCode));
    result.end = InstallEnd::Failed;
    result.failureCode = step.failureCode;
    return false;
}

}  // namespace

std::wstring FailureCodeText(uint32_t code) {
    wchar_t text[32];
    std::swprintf(text, 32, L"(Code = 0x%08X)", static_cast<unsigned>(code));
    return text;
}

InstallResult RunInstallSequence(InstallSteps& steps, const InstallContext& context) {
    // 1. to 4. Preparation: nothing of ours may be running while files are replaced.
    context.log.Write(L"==> TMainForm::Install\n");
    steps.BroadcastAppExit();
    steps.RestService();
    steps.CleanOldFilters();
    // 5. An earlier installation's filter driver still answers.
    if (steps.FilterDriverActive()) {
        context.reporter.Message(context.previousInstallationText);
        return {InstallEnd::Refused, 0, L""};
    }
    // 6.
    context.clock.Sleep(kSettleWait);
    context.reporter.Progress(kStartedProgress);

    // 7. The steps in their order.
    InstallResult result;
    for (const Step& step : kSteps) {
        if (step.onlyWithPlugins && !context.pluginsPresent) continue;
        if (StopRequested(context)) return Stopped(context, step.label, result.lastStep);
        if (!RunStep(steps, step, context, result)) return result;
    }
    if (StopRequested(context)) return Stopped(context, L"STEP9", result.lastStep);
    LogStep(context.log, L"STEP9");
    context.clock.Sleep(kStep9Wait);
    result.lastStep = L"STEP9";
    if (context.installWindowsKB != 1) {
        context.reporter.Beep();
        result.end = InstallEnd::UpdateSkipped;
        return result;
    }
    if (StopRequested(context)) return Stopped(context, kStep10.label, result.lastStep);
    if (!RunStep(steps, kStep10, context, result)) return result;

    // 8.
    result.end = InstallEnd::Completed;
    context.reporter.Progress(kDoneProgress);
    context.reporter.Beep();
    return result;
}

}  // namespace tavrin::setup
