#pragma once
// Process entry of the control application: the command line decides between handing the
// background service a control code and opening the window, and only one window-showing
// instance runs at a time.
#include <cstdint>
#include <string>
#include <vector>

#include "common/ServiceControl.h"
#include "ports/Clock.h"
#include "ports/DebugLog.h"
#include "ports/ServiceManager.h"

namespace tavrin {

inline constexpr wchar_t kInstanceMutexName[] = L"{196BFF53-13AC-4BB7-8F82-D7E5E55E19F7}";
inline constexpr uint32_t kServiceCodeStartWindow = 193;
inline constexpr uint32_t kServiceCodeBoot = 196;

enum class StartMode { ServiceRequest, BootRequest, Window };

// Logs every argument, then takes the first recognised switch (compared lower-cased).
StartMode ChooseStartMode(const std::vector<std::wstring>& arguments, DebugLog& log);

// What the entry needs from the windowing side.
class ProcessHost {
public:
    virtual ~ProcessHost() = default;
    virtual bool InstanceMutexExists() = 0;
    // Held until the process ends.
    virtual void CreateInstanceMutex() = 0;
    // Restores, raises and focuses the running instance's window.
    virtual void RaiseRunningInstance() = 0;
    // Creates the forms, main window first, and runs the message loop until the program ends.
    virtual void RunApplication() = 0;
    // The application's standard exception box.
    virtual void ShowException(const std::wstring& message) = 0;
};

// Returns the exit code, 0 in every case.
int RunProcessEntry(const std::vector<std::wstring>& arguments, DebugLog& log,
                    ServiceManager& services, Clock& clock, ProcessHost& host);

}  // namespace tavrin
