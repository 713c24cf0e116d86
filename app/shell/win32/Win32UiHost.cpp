#include "app/shell/win32/Win32UiHost.h"

#include <commdlg.h>
#include <shellapi.h>
#include <windowsx.h>

#include <cstring>
#include <utility>

#include "app/device/win32/DeviceNotification.h"
#include "app/shell/win32/CommonDialogs.h"
#include "app/shell/win32/TrayMenu.h"
#include "app/shell/win32/Win32Dialog.h"
#include "app/shell/win32/Win32Dialogs.h"
#include "resources/TavrinResources.h"

namespace tavrin {
namespace {

constexpr UINT kRunWorkMessage = WM_APP + 1;
constexpr UINT kTrayMessage = WM_APP + 2;
constexpr UINT kTrayIconId = 1;
constexpr WPARAM kDragMove = 0xF012;  // SC_MOVE | HTCAPTION: moves with the mouse
constexpr int32_t kDefaultPixelsPerInch = 96;

UINT MessageBoxStyle(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::None: return MB_OK;
        case MessageIcon::Information: return MB_OK | MB_ICONINFORMATION;
        case MessageIcon::Warning: return MB_OK | MB_ICONWARNING;
        case MessageIcon::Error: return MB_OK | MB_ICONERROR;
    }
    return MB_OK;
}

}  // namespace

Win32UiHost::Win32UiHost(HINSTANCE instance, std::wstring title, FileSystem& files)
    : instance_(instance), files_(files), painter_(files), title_(std::move(title)) {
    // Explorer announces a restart with this message; the tray icon has to be added again.
    taskbarCreatedMessage_ = RegisterWindowMessageW(L"TaskbarCreated");
    customColours_.fill(RGB(255, 255, 255));
}

Win32UiHost::~Win32UiHost() {
    events_ = nullptr;
    formModel_ = nullptr;
    DestroyMainWindow();
    for (HICON icon : {trayIcon_, windowIconLarge_, windowIconSmall_}) {
        if (icon != nullptr) DestroyIcon(icon);
    }
}

bool Win32UiHost::CreateMainWindow() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &Win32UiHost::WindowProcedure;
    windowClass.hInstance = instance_;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hIcon = static_cast<HICON>(LoadImageW(
        instance_, MAKEINTRESOURCEW(TAVRIN_ICON_RESOURCE), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
    windowClass.lpszClassName = kMainWindowClassName;
    if (RegisterClassExW(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        return false;
    }

    // Borderless, so the window is exactly its client area; "not scaled" comes with the
    // manifest's per-monitor awareness.
    const int left = (GetSystemMetrics(SM_CXSCREEN) - kMainWindowWidth) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - kMainWindowHeight) / 2;
    window_ = CreateWindowExW(WS_EX_APPWINDOW, kMainWindowClassName, kMainWindowCaption,
                              WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX, left, top, kMainWindowWidth,
                              kMainWindowHeight, nullptr, nullptr, instance_, this);
    return window_ != nullptr;
}

void Win32UiHost::SetEventTarget(WindowEvents* events) {
    // The painted model belongs to the form: it goes with it.
    if (events_ != nullptr && formModel_ == &events_->Form()) formModel_ = nullptr;
    events_ = events;
}

void Win32UiHost::RunMessageLoop() {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void Win32UiHost::DestroyMainWindow() {
    if (window_ != nullptr) DestroyWindow(window_);
}

LRESULT CALLBACK Win32UiHost::WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
    // The window's user data is the one place the host can be found from a window handle.
    if (message == WM_NCCREATE) {
        auto* host =
            static_cast<Win32UiHost*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        host->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(host));
    }
    auto* host = reinterpret_cast<Win32UiHost*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (host == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    const LRESULT result = host->HandleMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        host->window_ = nullptr;
    }
    return result;
}

LRESULT Win32UiHost::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    // Messages registered by name come first, before any default handling.
    if (message >= 0xC000 && message <= 0xFFFF) {
        if (message == taskbarCreatedMessage_) {
            trayAdded_ = false;
            AddTrayIcon();
            return 0;
        }
        if (events_ != nullptr && events_->OnRegisteredMessage(message)) return 0;
    }
    switch (message) {
        case WM_ERASEBKGND: return 1;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC target = BeginPaint(window_, &paint);
            Paint(target);
            EndPaint(window_, &paint);
            return 0;
        }
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE && events_ != nullptr) events_->FormActivate();
            break;  // the default handling gives the window the focus
        case WM_TIMER:
            if (events_ != nullptr && wParam >= static_cast<WPARAM>(TimerId::Speaker) &&
                wParam < kTimerCount) {
                events_->OnTimer(static_cast<TimerId>(wParam));
            }
            return 0;
        case WM_DEVICECHANGE:
            if (events_ != nullptr) {
                const DeviceChange change = DecodeDeviceChange(wParam, lParam);
                events_->OnDeviceChange(change.event, change.deviceType, change.classGuid,
                                        change.interfaceName);
            }
            return TRUE;
        case WM_LBUTTONDOWN:
        case WM_MOUSEMOVE:
        case WM_LBUTTONUP: HandleMouse(message, lParam); return 0;
        case WM_SYSCOMMAND:
            if (HandleSystemCommand(wParam)) return 0;
            break;
        case WM_COMMAND:
            if (HIWORD(wParam) == 0 && events_ != nullptr) events_->OnMenuCommand(LOWORD(wParam));
            return 0;
        case kTrayMessage: HandleTrayNotification(lParam); return 0;
        case kRunWorkMessage: RunQueuedWork(); return 0;
        case WM_CLOSE: DestroyWindow(window_); return 0;
        case WM_DESTROY: HandleDestroy(); return 0;
        default: break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

bool Win32UiHost::HandleSystemCommand(WPARAM command) {
    // Minimised means gone into the tray; the tray icon brings the window back.
    if ((command & 0xFFF0) != SC_MINIMIZE) return false;
    ShowWindow(window_, SW_HIDE);
    return true;
}

void Win32UiHost::HandleTrayNotification(LPARAM event) {
    if (events_ == nullptr) return;
    switch (static_cast<UINT>(event)) {
        case WM_RBUTTONUP: ShowTrayMenu(); break;
        case WM_LBUTTONDBLCLK: events_->OnTrayDoubleClick(); break;
        default: break;
    }
}

void Win32UiHost::HandleMouse(UINT message, LPARAM lParam) {
    // Captured, the pointer is reported outside the window too: negative coordinates.
    const int32_t x = GET_X_LPARAM(lParam);
    const int32_t y = GET_Y_LPARAM(lParam);
    if (message == WM_LBUTTONDOWN) {
        SetCapture(window_);
        if (events_ != nullptr) events_->OnMouseDown(x, y);
    } else if (message == WM_MOUSEMOVE) {
        if (events_ != nullptr) events_->OnMouseMove(x, y);
    } else {
        if (GetCapture() == window_) ReleaseCapture();
        if (events_ != nullptr) events_->OnMouseUp(x, y);
    }
}

void Win32UiHost::HandleDestroy() {
    if (events_ != nullptr) events_->FormDestroy();
    RemoveTrayIcon();
    UnregisterForDeviceChanges(deviceNotification_);
    deviceNotification_ = nullptr;
    PostQuitMessage(0);
}

void Win32UiHost::RunQueuedWork() {
    std::deque<std::function<void()>> work;
    {
        std::lock_guard lock(workMutex_);
        work.swap(work_);
    }
    for (auto& item : work) item();
}

void Win32UiHost::Paint(HDC target) {
    static const FormModel kNoForm;
    RECT client{};
    GetClientRect(window_, &client);
    painter_.Paint(target, formModel_ != nullptr ? *formModel_ : kNoForm, client.right,
                   client.bottom);
}

void Win32UiHost::SetApplicationTitle(const std::wstring& title) {
    title_ = title;
}

void Win32UiHost::ShowMainWindow() {
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
}

void Win32UiHost::HideMainWindow() {
    ShowWindow(window_, SW_HIDE);
}

void Win32UiHost::MinimizeMainWindow() {
    SendMessageW(window_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
}

void Win32UiHost::PostMinimize() {
    PostMessageW(window_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
}

void Win32UiHost::CloseMainWindow() {
    SendMessageW(window_, WM_CLOSE, 0, 0);
}

void Win32UiHost::BeginWindowDrag() {
    ReleaseCapture();
    SendMessageW(window_, WM_SYSCOMMAND, kDragMove, 0);
}

void Win32UiHost::Repaint() {
    if (window_ != nullptr) InvalidateRect(window_, nullptr, FALSE);
}

void Win32UiHost::PostQuit() {
    PostQuitMessage(0);
}

void Win32UiHost::ProcessPendingMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // Left for the loop that owns it.
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

std::wstring Win32UiHost::CommandLine() {
    return GetCommandLineW();
}

void Win32UiHost::AttachForm(const FormModel& form) {
    formModel_ = &form;
    Repaint();
}

void Win32UiHost::ScreenSize(int32_t& width, int32_t& height) {
    width = GetSystemMetrics(SM_CXSCREEN);
    height = GetSystemMetrics(SM_CYSCREEN);
}

int32_t Win32UiHost::ScreenPixelsPerInch() {
    HDC screen = GetDC(nullptr);
    if (screen == nullptr) return kDefaultPixelsPerInch;
    const int pixelsPerInch = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return pixelsPerInch > 0 ? pixelsPerInch : kDefaultPixelsPerInch;
}

void Win32UiHost::SetClientSize(int32_t width, int32_t height) {
    if (window_ == nullptr) return;
    RECT frame{0, 0, width, height};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_EXSTYLE)));
    const int frameWidth = frame.right - frame.left;
    const int frameHeight = frame.bottom - frame.top;
    // Grows and shrinks about its centre, which is the screen's until the user moves it.
    RECT current{};
    GetWindowRect(window_, &current);
    const int left = (current.left + current.right - frameWidth) / 2;
    const int top = (current.top + current.bottom - frameHeight) / 2;
    SetWindowPos(window_, nullptr, left, top, frameWidth, frameHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    Repaint();
}

void Win32UiHost::SetWindowRegion(const std::vector<uint8_t>& regionData, int32_t, int32_t) {
    if (window_ == nullptr) return;
    // The header's own sizes must lie within the bytes, whoever checked them before.
    HRGN region = nullptr;
    if (regionData.size() >= sizeof(RGNDATAHEADER) && regionData.size() <= MAXDWORD) {
        RGNDATAHEADER header;
        std::memcpy(&header, regionData.data(), sizeof(header));
        const uint64_t needed = static_cast<uint64_t>(header.dwSize) + 16ULL * header.nCount;
        if (header.dwSize >= sizeof(RGNDATAHEADER) && needed <= regionData.size()) {
            region = ExtCreateRegion(nullptr, static_cast<DWORD>(regionData.size()),
                                     reinterpret_cast<const RGNDATA*>(regionData.data()));
        }
    }
    // The system owns the region from here; without one the window stays rectangular.
    SetWindowRgn(window_, region, TRUE);
}

void Win32UiHost::SetTimer(TimerId timer, uint32_t intervalMilliseconds, bool enabled) {
    const auto id = static_cast<UINT_PTR>(timer);
    if (enabled) {
        ::SetTimer(window_, id, intervalMilliseconds, nullptr);
    } else {
        KillTimer(window_, id);
    }
}

uint32_t Win32UiHost::RegisterMessage(const std::wstring& name) {
    return RegisterWindowMessageW(name.c_str());
}

void Win32UiHost::Broadcast(uint32_t message, uint32_t timeoutMilliseconds) {
    SendMessageTimeoutW(HWND_BROADCAST, message, 0, 0, SMTO_NORMAL, timeoutMilliseconds, nullptr);
}

HICON Win32UiHost::LoadIconFile(const std::wstring& path, int size) {
    auto icon = static_cast<HICON>(
        LoadImageW(nullptr, path.c_str(), IMAGE_ICON, size, size, LR_LOADFROMFILE));
    if (icon != nullptr) return icon;
    // A configuration without a usable icon file still gets the program's own icon.
    return static_cast<HICON>(
        LoadImageW(instance_, MAKEINTRESOURCEW(TAVRIN_ICON_RESOURCE), IMAGE_ICON, size, size, 0));
}

void Win32UiHost::SetTrayIcon(const std::wstring& iconPath, const std::wstring& hint) {
    trayHint_ = hint;
    for (HICON* icon : {&trayIcon_, &windowIconLarge_, &windowIconSmall_}) {
        if (*icon != nullptr) DestroyIcon(*icon);
    }
    const int small = GetSystemMetrics(SM_CXSMICON);
    trayIcon_ = LoadIconFile(iconPath, small);
    windowIconSmall_ = LoadIconFile(iconPath, small);
    windowIconLarge_ = LoadIconFile(iconPath, GetSystemMetrics(SM_CXICON));
    SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(windowIconLarge_));
    SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(windowIconSmall_));
    AddTrayIcon();
}

bool Win32UiHost::AddTrayIcon() {
    if (window_ == nullptr || trayIcon_ == nullptr) return false;
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);
    data.hWnd = window_;
    data.uID = kTrayIconId;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = kTrayMessage;
    data.hIcon = trayIcon_;
    lstrcpynW(data.szTip, trayHint_.c_str(), ARRAYSIZE(data.szTip));
    const DWORD action = trayAdded_ ? NIM_MODIFY : NIM_ADD;
    if (Shell_NotifyIconW(action, &data)) trayAdded_ = true;
    return trayAdded_;
}

void Win32UiHost::RemoveTrayIcon() {
    if (!trayAdded_) return;
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);
    data.hWnd = window_;
    data.uID = kTrayIconId;
    Shell_NotifyIconW(NIM_DELETE, &data);
    trayAdded_ = false;
}

void Win32UiHost::SetTrayMenu(const std::vector<MenuItem>& items) {
    trayMenu_ = items;
}

void Win32UiHost::ShowTrayMenu() {
    HMENU menu = BuildTrayMenu(trayMenu_);
    POINT cursor;
    GetCursorPos(&cursor);
    // Without the foreground the menu would not close when the user clicks elsewhere.
    SetForegroundWindow(window_);
    TrackPopupMenu(menu, TPM_RIGHTBUTTON | TPM_BOTTOMALIGN, cursor.x, cursor.y, 0, window_,
                   nullptr);
    PostMessageW(window_, WM_NULL, 0, 0);
    DestroyMenu(menu);
}

HWND Win32UiHost::VisibleOwner() const {
    return window_ != nullptr && IsWindowVisible(window_) ? window_ : nullptr;
}

void Win32UiHost::ShowMessage(const std::wstring& text, const std::wstring& caption,
                              MessageIcon icon) {
    MessageBoxW(VisibleOwner(), text.c_str(), caption.empty() ? title_.c_str() : caption.c_str(),
                MessageBoxStyle(icon));
}

void Win32UiHost::OpenWithShell(const std::wstring& target) {
    OpenWithShellExecute(target);
}

std::optional<std::wstring> Win32UiHost::ChooseFile(const FileDialogOptions& options) {
    return RunFileDialog(VisibleOwner(), options);
}

void Win32UiHost::ShowModalForm(const FormModel& form, const std::wstring& caption,
                                const std::function<void(const Component&)>& clicked) {
    RunModalForm(instance_, VisibleOwner(), files_, form, caption, clicked);
}

bool Win32UiHost::LaunchProgram(const std::wstring& path, const std::wstring& parameters) {
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpFile = path.c_str();
    info.lpParameters = parameters.c_str();
    info.nShow = SW_HIDE;
    const bool started = ShellExecuteExW(&info) != FALSE;
    if (info.hProcess != nullptr) CloseHandle(info.hProcess);
    return started;
}

void Win32UiHost::RegisterDeviceNotifications() {
    if (deviceNotification_ == nullptr) {
        deviceNotification_ = static_cast<HDEVNOTIFY>(RegisterForDeviceChanges(window_));
    }
}

void Win32UiHost::PostToWindowThread(std::function<void()> work) {
    {
        std::lock_guard lock(workMutex_);
        work_.push_back(std::move(work));
    }
    if (window_ != nullptr) PostMessageW(window_, kRunWorkMessage, 0, 0);
}

bool Win32UiHost::ChooseColour(uint32_t& colour) {
    CHOOSECOLORW choice{};
    choice.lStructSize = sizeof(choice);
    choice.hwndOwner = window_;
    choice.rgbResult = colour;
    choice.lpCustColors = customColours_.data();
    choice.Flags = CC_RGBINIT | CC_ANYCOLOR;
    const auto chooseColour = CommonDialogFunction<decltype(&ChooseColorW)>("ChooseColorW");
    if (chooseColour == nullptr || !chooseColour(&choice)) return false;
    colour = choice.rgbResult;
    return true;
}

void Win32UiHost::ShowModalDialog(Dialog& dialog) {
    RunModalDialog(instance_, window_, dialog);
}

}  // namespace tavrin
