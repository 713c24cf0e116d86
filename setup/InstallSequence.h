#pragma once
// The installation: the preparation, then the numbered steps in their fixed order with their
// progress, failure codes and messages. What each step installs lies behind InstallSteps.
#include <atomic>
#include <cstdint>
#include <string>

#include "ports/Clock.h"
#include "ports/DebugLog.h"

namespace tavrin::setup {

// Progress and messages of a running installation.
class InstallReporter {
public:
    virtual ~InstallReporter() = default;
    // WM_USER + 32: the progress bar's position, 0..100.
    virtual void Progress(int32_t position) = 0;
    // A message box captioned "Install" with an OK button, owned by the wizard.
    virtual void Message(const std::wstring& text) = 0;
    // 500 Hz for 100 ms.
    virtual void Beep() = 0;
};

// The operations of an installation. Steps return 0 on success and post their own progress.
class InstallSteps {
public:
    virtual ~InstallSteps() = default;

    // Asks every running control application to close ("WM_ZRN58xxAPP_EXIT").
    virtual void BroadcastAppExit() = 0;
    // Starts the background service, sends it code 128 and stops it; results do not matter.
    virtual void RestService() = 0;
    // Takes an earlier installation's filter out of the devices it is attached to.
    virtual void CleanOldFilters() = 0;
    // The filter driver of an earlier installation answers: nothing may be installed.
    virtual bool FilterDriverActive() = 0;

    virtual int Install_FilterDriver(InstallReporter& reporter) = 0;           // STEP1
    virtual int InstallService(InstallReporter& reporter) = 0;                 // STEP2
    virtual int InstallApplication(InstallReporter& reporter) = 0;             // STEP3
    virtual int InstallUninstaller(InstallReporter& reporter) = 0;             // STEP4
    virtual int InstallSharedFiles(InstallReporter& reporter) = 0;             // STEP5
    virtual int InstallUserManual(InstallReporter& reporter) = 0;              // STEP6
    virtual int InstallPlugins(InstallReporter& reporter) = 0;                 // STEP7
    virtual int InstallEffectApplication(InstallReporter& reporter) = 0;       // STEP8
    virtual int InstallSoundEffectApplication(InstallReporter& reporter) = 0;  // STEP8.1
    virtual int Install_KB3033929(InstallReporter& reporter) = 0;              // STEP10
};

enum class InstallEnd {
    Completed,      // STEP10 done: a reboot is suggested
    UpdateSkipped,  // the Windows-update option is off: the sequence ended at STEP9
    Refused,        // an earlier installation's filter driver is active: nothing installed
    Failed,         // a step failed; the steps before it stay done
    Stopped,        // asked to stop; the steps before it stay done
};

struct InstallResult {
    InstallEnd end = InstallEnd::Completed;
    uint32_t failureCode = 0;  // 0x80000001 ... for a failed step
    std::wstring lastStep;     // the label of the step that failed, or of the last one done
};

struct InstallContext {
    Clock& clock;
    DebugLog& log;
    InstallReporter& reporter;
    // The LabelWarning1 and LabelWarning2 texts.
    std::wstring previousInstallationText;
    std::wstring stepFailedText;
    bool pluginsPresent = false;
    int32_t installWindowsKB = 1;
    // Checked before each step: the sequence stops between steps, never inside one.
    const std::atomic<bool>* stopRequested = nullptr;
};

// "(Code = 0x80000001)"
std::wstring FailureCodeText(uint32_t code);

InstallResult RunInstallSequence(InstallSteps& steps, const InstallContext& context);

}  // namespace tavrin::setup
