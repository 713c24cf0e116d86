#pragma once
// What the main window needs from the windowing system. The Win32 host implements it; the
// window's behaviour stays portable and is tested against a recording host.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tavrin {

enum class TimerId : uint32_t {
    Speaker = 1,  // "Timer", 20 ms: virtual-speaker animation
    Bee = 2,      // 10 ms: Bee test
    BeePlay = 3,  // 100 ms: Bee sound loop
    Timer1 = 4,   // 2000 ms: device poll while no device is active
};

enum class MessageIcon { None, Information, Warning, Error };

// Commands of the tray pop-up menu; plug-in items follow kPluginCommandBase in menu order.
enum MenuCommand : uint32_t {
    kCloseCommand = 100,
    kLanguageCommandBase = 1000,
    kSkinCommandBase = 2000,
    kPluginCommandBase = 3000,
};

struct MenuItem {
    uint32_t command = 0;  // 0 for a sub-menu
    std::wstring caption;
    bool checked = false;
    bool radio = false;
    bool visible = true;
    std::vector<MenuItem> items;
};

class FormModel;

class UiHost {
public:
    virtual ~UiHost() = default;

    // The main window.
    virtual void SetApplicationTitle(const std::wstring& title) = 0;
    virtual void ShowMainWindow() = 0;
    virtual void HideMainWindow() = 0;      // into the tray
    virtual void MinimizeMainWindow() = 0;  // the tray icon then hides it
    virtual void PostMinimize() = 0;        // WM_SYSCOMMAND SC_MINIMIZE, posted
    virtual void CloseMainWindow() = 0;     // WM_CLOSE: the normal close path
    virtual void BeginWindowDrag() = 0;     // moves the borderless window with the mouse
    virtual void Repaint() = 0;
    virtual void PostQuit() = 0;
    virtual void ProcessPendingMessages() = 0;
    // The raw command line of the process.
    virtual std::wstring CommandLine() = 0;

    // The form the window paints; set once, before the window is shown.
    virtual void AttachForm(const FormModel& form) = 0;
    // The primary screen's size in pixels and its pixels per inch.
    virtual void ScreenSize(int32_t& width, int32_t& height) = 0;
    virtual int32_t ScreenPixelsPerInch() = 0;
    virtual void SetClientSize(int32_t width, int32_t height) = 0;
    // Region data in the system's layout (already checked); the window becomes that shape.
    virtual void SetWindowRegion(const std::vector<uint8_t>& regionData, int32_t width,
                                 int32_t height) = 0;

    virtual void SetTimer(TimerId timer, uint32_t intervalMilliseconds, bool enabled) = 0;

    // Messages shared by name between processes; broadcasts go to every top-level window.
    virtual uint32_t RegisterMessage(const std::wstring& name) = 0;
    virtual void Broadcast(uint32_t message, uint32_t timeoutMilliseconds) = 0;

    // The notification-area icon and its pop-up menu.
    virtual void SetTrayIcon(const std::wstring& iconPath, const std::wstring& hint) = 0;
    virtual void SetTrayMenu(const std::vector<MenuItem>& items) = 0;

    virtual void ShowMessage(const std::wstring& text, const std::wstring& caption,
                             MessageIcon icon) = 0;
    // ShellExecuteExW, default verb, hidden, no error UI; false when it could not start.
    virtual bool LaunchProgram(const std::wstring& path, const std::wstring& parameters) = 0;
    virtual void RegisterDeviceNotifications() = 0;
    // Runs `work` on the window thread; callable from any thread.
    virtual void PostToWindowThread(std::function<void()> work) = 0;
};

}  // namespace tavrin
