#pragma once
// The window thread's services that features, workers and dialogs need: message boxes, timers,
// running work on the window thread, repainting, starting programs and modal dialogs. The Win32
// host implements it; tests use a recording host.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "ports/Dialog.h"

namespace tavrin {

// The program's timers.
enum class TimerId : uint32_t {
    Speaker = 1,   // "Timer", 20 ms: virtual-speaker animation
    Bee = 2,       // 10 ms: Bee test
    BeePlay = 3,   // 100 ms: Bee sound loop
    Timer1 = 4,    // 2000 ms: device poll while no device is active
    LoopBack = 5,  // 1000 ms: the microphone's loop-back test plays what it recorded
};
inline constexpr size_t kTimerCount = 6;

enum class MessageIcon { None, Information, Warning, Error };

// The standard file dialogs.
enum class FileDialogKind { Open, Save };
struct FileDialogOptions {
    FileDialogKind kind = FileDialogKind::Open;
    std::wstring initialFolder;
    std::wstring fileName;  // proposed in the name field
    std::wstring filter;    // "Description|pattern", as "INI (*.ini)|*.ini"
};

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
    // The shell opens a document or an address with the verb "open", shown (a web address in
    // the default browser); what comes of it is not reported.
    virtual void OpenWithShell(const std::wstring& target) = 0;
    // The open or save dialog, modal; the chosen file's full path, nothing when cancelled.
    virtual std::optional<std::wstring> ChooseFile(const FileDialogOptions& options) = 0;
    // The standard colour dialog over the main window, starting at `colour` (0x00BBGGRR), which
    // receives the choice; false when the user cancelled.
    virtual bool ChooseColour(uint32_t& colour) = 0;
    // Shows `dialog` modally over the main window; returns once it closed.
    virtual void ShowModalDialog(Dialog& dialog) = 0;
};

}  // namespace tavrin
