#pragma once
// The main window on Win32: one borderless top-level window that paints the form and turns
// window messages into the form's events, plus the tray icon and its pop-up menu.
#include <windows.h>

#include <array>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "app/shell/MainWindowHost.h"
#include "app/shell/WindowEvents.h"
#include "app/shell/win32/FormPainter.h"

namespace tavrin {

inline constexpr wchar_t kMainWindowClassName[] = L"TAudioMainForm";

class Win32UiHost final : public MainWindowHost {
public:
    // `title` is the application title until the configuration replaces it.
    Win32UiHost(HINSTANCE instance, std::wstring title, FileSystem& files);
    ~Win32UiHost() override;
    Win32UiHost(const Win32UiHost&) = delete;
    Win32UiHost& operator=(const Win32UiHost&) = delete;

    // Created hidden and centred; false when the system refuses (no display).
    bool CreateMainWindow();
    // The form receives the window's events from now on; null detaches it.
    void SetEventTarget(WindowEvents* events);
    // Until WM_QUIT.
    void RunMessageLoop();
    void DestroyMainWindow();
    const std::wstring& ApplicationTitle() const { return title_; }

    void SetApplicationTitle(const std::wstring& title) override;
    void ShowMainWindow() override;
    void HideMainWindow() override;
    void MinimizeMainWindow() override;
    void PostMinimize() override;
    void CloseMainWindow() override;
    void BeginWindowDrag() override;
    void Repaint() override;
    void PostQuit() override;
    void ProcessPendingMessages() override;
    std::wstring CommandLine() override;
    void AttachForm(const FormModel& form) override;
    void ScreenSize(int32_t& width, int32_t& height) override;
    int32_t ScreenPixelsPerInch() override;
    void SetClientSize(int32_t width, int32_t height) override;
    void SetWindowRegion(const std::vector<uint8_t>& regionData, int32_t width,
                         int32_t height) override;
    void SetTimer(TimerId timer, uint32_t intervalMilliseconds, bool enabled) override;
    uint32_t RegisterMessage(const std::wstring& name) override;
    void Broadcast(uint32_t message, uint32_t timeoutMilliseconds) override;
    void SetTrayIcon(const std::wstring& iconPath, const std::wstring& hint) override;
    void SetTrayMenu(const std::vector<MenuItem>& items) override;
    void ShowMessage(const std::wstring& text, const std::wstring& caption,
                     MessageIcon icon) override;
    bool LaunchProgram(const std::wstring& path, const std::wstring& parameters) override;
    void RegisterDeviceNotifications() override;
    void PostToWindowThread(std::function<void()> work) override;
    void OpenWithShell(const std::wstring& target) override;
    std::optional<std::wstring> ChooseFile(const FileDialogOptions& options) override;
    void ShowModalForm(const FormModel& form, const std::wstring& caption,
                       const std::function<void(const Component&)>& clicked) override;
    bool ChooseColour(uint32_t& colour) override;
    void ShowModalDialog(Dialog& dialog) override;

private:
    // The main window when it shows: the owner of dialogs and message boxes.
    HWND VisibleOwner() const;
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool HandleSystemCommand(WPARAM command);
    void HandleTrayNotification(LPARAM event);
    void HandleMouse(UINT message, LPARAM lParam);
    void HandleDestroy();
    void RunQueuedWork();

    void Paint(HDC target);

    bool AddTrayIcon();
    void RemoveTrayIcon();
    void ShowTrayMenu();
    HICON LoadIconFile(const std::wstring& path, int size);

    HINSTANCE instance_;
    HWND window_ = nullptr;
    WindowEvents* events_ = nullptr;
    const FormModel* formModel_ = nullptr;
    FileSystem& files_;
    FormPainter painter_;
    std::wstring title_;
    UINT taskbarCreatedMessage_ = 0;
    HDEVNOTIFY deviceNotification_ = nullptr;

    bool trayAdded_ = false;
    std::wstring trayHint_;
    HICON trayIcon_ = nullptr;
    HICON windowIconLarge_ = nullptr;
    HICON windowIconSmall_ = nullptr;
    std::vector<MenuItem> trayMenu_;
    // The colour dialog's custom colours, kept for the run.
    std::array<COLORREF, 16> customColours_{};

    std::mutex workMutex_;
    std::deque<std::function<void()>> work_;
};

}  // namespace tavrin
