#pragma once
// The window thread's services that features, workers and dialogs need: message boxes, timers,
// running work on the window thread, repainting, starting programs and modal dialogs. The Win32
// host implements it; tests use a recording host.
#include <cstdint>
#include <functional>
#include <string>

#include "ports/Dialog.h"

namespace tavrin {

// The program's timers.
enum class TimerId : uint32_t {
    Speaker = 1,  // "Timer", 20 ms: virtual-speaker animation
    Bee = 2,      // 10 ms: Bee test
    BeePlay = 3,  // 100 ms: Bee sound loop
    Timer1 = 4,   // 2000 ms: device poll while no device is active
};
inline constexpr size_t kTimerCount = 5;

enum class MessageIcon { None, Information, Warning, Error };

class UiHost {
public:
    virtual ~UiHost() = default;

    // Modal; returns when the user closed it.
    virtual void ShowMessage(const std::wstring& text, const std::wstring& caption,
                             MessageIcon icon) = 0;
    virtual void SetTimer(TimerId timer, uint32_t intervalMilliseconds, bool enabled) = 0;
    // Runs `work` on the window thread; callable from any thread.
    virtual void PostToWindowThread(std::function<void()> work) = 0;
    virtual void ProcessPendingMessages() = 0;
    virtual void Repaint() = 0;
    // ShellExecuteExW, default verb, hidden, no error UI; false when it could not start.
    virtual bool LaunchProgram(const std::wstring& path, const std::wstring& parameters) = 0;
    // The standard colour dialog over the main window, starting at `colour` (0x00BBGGRR), which
    // receives the choice; false when the user cancelled.
    virtual bool ChooseColour(uint32_t& colour) = 0;
    // Shows `dialog` modally over the main window; returns once it closed.
    virtual void ShowModalDialog(Dialog& dialog) = 0;
};

}  // namespace tavrin
