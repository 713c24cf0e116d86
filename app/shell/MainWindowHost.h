#pragma once
// What the main window needs from the windowing system beyond the features' UI port: the window
// itself, its shape, the tray icon and menu, registered messages and device notifications. The
// Win32 host implements it; the window's behaviour stays portable and is tested against a
// recording host.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ports/UiHost.h"

namespace tavrin {

inline constexpr wchar_t kMainWindowCaption[] = L"Tavrin";
inline constexpr int kMainWindowWidth = 819;
inline constexpr int kMainWindowHeight = 513;

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
struct Component;

class MainWindowHost : public UiHost {
public:
    // The main window.
    virtual void SetApplicationTitle(const std::wstring& title) = 0;
    virtual void ShowMainWindow() = 0;
    virtual void HideMainWindow() = 0;      // into the tray
    virtual void MinimizeMainWindow() = 0;  // the tray icon then hides it
    virtual void PostMinimize() = 0;        // WM_SYSCOMMAND SC_MINIMIZE, posted
    virtual void CloseMainWindow() = 0;     // WM_CLOSE: the normal close path
    virtual void BeginWindowDrag() = 0;     // moves the borderless window with the mouse
    virtual void PostQuit() = 0;
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

    // Messages shared by name between processes; broadcasts go to every top-level window.
    virtual uint32_t RegisterMessage(const std::wstring& name) = 0;
    virtual void Broadcast(uint32_t message, uint32_t timeoutMilliseconds) = 0;

    // The notification-area icon and its pop-up menu.
    virtual void SetTrayIcon(const std::wstring& iconPath, const std::wstring& hint) = 0;
    virtual void SetTrayMenu(const std::vector<MenuItem>& items) = 0;

    virtual void RegisterDeviceNotifications() = 0;

    // Another form of the program as a fixed dialog with a caption, centred on the main window,
    // until the user closes it; a click on a component with a click handler reaches `clicked`.
    virtual void ShowModalForm(const FormModel& form, const std::wstring& caption,
                               const std::function<void(const Component&)>& clicked) = 0;
};

}  // namespace tavrin
