#include "app/shell/win32/Win32UiHost.h"

#include <shellapi.h>

#include <utility>

#include "app/device/win32/DeviceNotification.h"
#include "app/shell/AudioMainForm.h"
#include "app/shell/win32/TrayMenu.h"
#include "resources/TavrinResources.h"

namespace tavrin {
namespace {

constexpr UINT kRunWorkMessage = WM_APP + 1;
constexpr UINT kTrayMessage = WM_APP + 2;
constexpr UINT kTrayIconId = 1;
constexpr WPARAM kDragMove = 0xF012;  // SC_MOVE | HTCAPTION: moves with the mouse

// Until the skin paints the form, a plain panel in these proportions and colours.
constexpr int kHeaderHeight = 56;
constexpr int kMargin = 24;
constexpr int kPictureWidth = 32;
constexpr int kPictureHeight = 24;
constexpr int kPictureTop = (kHeaderHeight - kPictureHeight) / 2;
constexpr int kPictureGap = 6;
constexpr COLORREF kBackgroundColour = RGB(30, 34, 41);
constexpr COLORREF kHeaderColour = RGB(21, 24, 30);
constexpr COLORREF kAccentColour = RGB(46, 140, 255);
constexpr COLORREF kCardColour = RGB(39, 44, 53);
constexpr COLORREF kCardBorderColour = RGB(55, 61, 72);
constexpr COLORREF kTitleColour = RGB(240, 243, 247);
constexpr COLORREF kDimTextColour = RGB(140, 149, 163);
constexpr COLORREF kPictureColour = RGB(44, 49, 59);
constexpr COLORREF kPicturePressedColour = RGB(70, 78, 92);
constexpr COLORREF kClosePressedColour = RGB(196, 58, 58);
constexpr COLORREF kGlyphColour = RGB(214, 219, 227);

struct DeviceLabelLook {
    const wchar_t* text;
    COLORREF colour;
};

DeviceLabelLook LookOf(DeviceLabel label) {
    switch (label) {
        case DeviceLabel::Active: return {L"Device active", RGB(76, 187, 96)};
        case DeviceLabel::Unactive: return {L"No device", RGB(240, 172, 46)};
        case DeviceLabel::UnDriver: return {L"No driver", RGB(232, 84, 72)};
    }
    return {L"", kDimTextColour};
}

HFONT MakeFont(int pixelHeight, int weight) {
    return CreateFontW(-pixelHeight, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                       DEFAULT_PITCH | FF_SWISS, L"Segoe UI");
}

void FillRectangle(HDC canvas, const RECT& bounds, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(canvas, &bounds, brush);
    DeleteObject(brush);
}

void FillRounded(HDC canvas, const RECT& bounds, int radius, COLORREF fill, COLORREF border) {
    HBRUSH brush = CreateSolidBrush(fill);
    HPEN pen = CreatePen(PS_SOLID, 1, border);
    HGDIOBJ oldBrush = SelectObject(canvas, brush);
    HGDIOBJ oldPen = SelectObject(canvas, pen);
    RoundRect(canvas, bounds.left, bounds.top, bounds.right, bounds.bottom, radius, radius);
    SelectObject(canvas, oldPen);
    SelectObject(canvas, oldBrush);
    DeleteObject(pen);
    DeleteObject(brush);
}

void DrawLine(HDC canvas, int x1, int y1, int x2, int y2, COLORREF colour) {
    HPEN pen = CreatePen(PS_SOLID, 2, colour);
    HGDIOBJ old = SelectObject(canvas, pen);
    MoveToEx(canvas, x1, y1, nullptr);
    LineTo(canvas, x2, y2);
    SelectObject(canvas, old);
    DeleteObject(pen);
}

void PaintText(HDC canvas, const std::wstring& text, RECT bounds, HFONT font, COLORREF colour,
               UINT format) {
    HGDIOBJ old = SelectObject(canvas, font);
    SetTextColor(canvas, colour);
    ::DrawTextW(canvas, text.c_str(), static_cast<int>(text.size()), &bounds,
                format | DT_NOPREFIX | DT_SINGLELINE);
    SelectObject(canvas, old);
}

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

Win32UiHost::Win32UiHost(HINSTANCE instance, std::wstring title)
    : instance_(instance), title_(std::move(title)) {
    // Explorer announces a restart with this message; the tray icon has to be added again.
    taskbarCreatedMessage_ = RegisterWindowMessageW(L"TaskbarCreated");
}

Win32UiHost::~Win32UiHost() {
    form_ = nullptr;
    DestroyMainWindow();
    for (HICON icon : {trayIcon_, windowIconLarge_, windowIconSmall_}) {
        if (icon != nullptr) DestroyIcon(icon);
    }
    for (HFONT font : {titleFont_, labelFont_, stateFont_}) {
        if (font != nullptr) DeleteObject(font);
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

    titleFont_ = MakeFont(20, FW_SEMIBOLD);
    labelFont_ = MakeFont(13, FW_NORMAL);
    stateFont_ = MakeFont(24, FW_SEMIBOLD);

    // Borderless, so the window is exactly its client area; "not scaled" comes with the
    // manifest's per-monitor awareness.
    const int left = (GetSystemMetrics(SM_CXSCREEN) - kMainWindowWidth) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - kMainWindowHeight) / 2;
    window_ = CreateWindowExW(WS_EX_APPWINDOW, kMainWindowClassName, kMainWindowCaption,
                              WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX, left, top, kMainWindowWidth,
                              kMainWindowHeight, nullptr, nullptr, instance_, this);
    return window_ != nullptr;
}

void Win32UiHost::AttachForm(TAudioMainForm* form) {
    form_ = form;
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
        if (form_ != nullptr && form_->OnRegisteredMessage(message)) return 0;
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
            if (LOWORD(wParam) != WA_INACTIVE && form_ != nullptr) form_->FormActivate();
            break;  // the default handling gives the window the focus
        case WM_TIMER:
            if (form_ != nullptr && wParam >= static_cast<WPARAM>(TimerId::Speaker) &&
                wParam <= static_cast<WPARAM>(TimerId::Timer1)) {
                form_->OnTimer(static_cast<TimerId>(wParam));
            }
            return 0;
        case WM_DEVICECHANGE:
            if (form_ != nullptr) {
                const DeviceChange change = DecodeDeviceChange(wParam, lParam);
                form_->OnDeviceChange(change.event, change.deviceType, change.classGuid,
                                      change.interfaceName);
            }
            return TRUE;
        case WM_LBUTTONDOWN:
            HandleLeftButtonDown(
                {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
            return 0;
        case WM_LBUTTONUP:
            HandleLeftButtonUp(
                {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
            return 0;
        case WM_MOUSEMOVE:
            // Activation by the same click can take the capture away, so a press is only
            // forgotten once the button is seen up without a release over a picture.
            if (pressedPicture_ != Picture::None && (wParam & MK_LBUTTON) == 0) {
                pressedPicture_ = Picture::None;
                Repaint();
            }
            return 0;
        case WM_SYSCOMMAND:
            if (HandleSystemCommand(wParam)) return 0;
            break;
        case WM_COMMAND:
            if (HIWORD(wParam) == 0 && form_ != nullptr) form_->OnMenuCommand(LOWORD(wParam));
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
    if (form_ == nullptr) return;
    switch (static_cast<UINT>(event)) {
        case WM_RBUTTONUP: ShowTrayMenu(); break;
        case WM_LBUTTONDBLCLK: form_->OnTrayDoubleClick(); break;
        default: break;
    }
}

void Win32UiHost::HandleLeftButtonDown(POINT point) {
    pressedPicture_ = PictureAt(point);
    if (pressedPicture_ != Picture::None) {
        SetCapture(window_);
        Repaint();
        return;
    }
    if (form_ != nullptr) form_->OnBackgroundPress();
}

void Win32UiHost::HandleLeftButtonUp(POINT point) {
    const Picture pressed = pressedPicture_;
    if (pressed == Picture::None) return;
    pressedPicture_ = Picture::None;
    ReleaseCapture();
    Repaint();
    // A picture acts like a button: only a release over the picture that was pressed counts.
    if (form_ == nullptr || PictureAt(point) != pressed) return;
    if (pressed == Picture::Close) {
        form_->OnClosePicture();
    } else {
        form_->OnMinimizePicture();
    }
}

void Win32UiHost::HandleDestroy() {
    if (form_ != nullptr) form_->FormDestroy();
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

RECT Win32UiHost::PictureBounds(Picture picture) const {
    const int closeLeft = kMainWindowWidth - kMargin / 2 - kPictureWidth;
    const int left =
        picture == Picture::Close ? closeLeft : closeLeft - kPictureGap - kPictureWidth;
    return {left, kPictureTop, left + kPictureWidth, kPictureTop + kPictureHeight};
}

Win32UiHost::Picture Win32UiHost::PictureAt(POINT point) const {
    for (Picture picture : {Picture::Minimize, Picture::Close}) {
        const RECT bounds = PictureBounds(picture);
        if (PtInRect(&bounds, point)) return picture;
    }
    return Picture::None;
}

void Win32UiHost::Paint(HDC target) {
    // Drawn off screen and copied in one piece, so that nothing flickers.
    HDC canvas = CreateCompatibleDC(target);
    HBITMAP bitmap = CreateCompatibleBitmap(target, kMainWindowWidth, kMainWindowHeight);
    HGDIOBJ oldBitmap = SelectObject(canvas, bitmap);
    SetBkMode(canvas, TRANSPARENT);

    FillRectangle(canvas, {0, 0, kMainWindowWidth, kMainWindowHeight}, kBackgroundColour);
    FillRectangle(canvas, {0, 0, kMainWindowWidth, kHeaderHeight}, kHeaderColour);
    FillRectangle(canvas, {0, kHeaderHeight, kMainWindowWidth, kHeaderHeight + 2}, kAccentColour);
    PaintText(canvas, title_, {kMargin, 0, kMainWindowWidth / 2 + kMargin * 4, kHeaderHeight},
              titleFont_, kTitleColour, DT_LEFT | DT_VCENTER | DT_END_ELLIPSIS);
    PaintPicture(canvas, Picture::Minimize, PictureBounds(Picture::Minimize));
    PaintPicture(canvas, Picture::Close, PictureBounds(Picture::Close));

    const RECT card{kMargin, kHeaderHeight + kMargin, kMainWindowWidth - kMargin,
                    kHeaderHeight + kMargin + 96};
    FillRounded(canvas, card, 10, kCardColour, kCardBorderColour);
    PaintText(canvas, L"DEVICE", {card.left + 20, card.top + 14, card.right - 20, card.top + 32},
              labelFont_, kDimTextColour, DT_LEFT | DT_TOP);
    const DeviceLabelLook look =
        LookOf(form_ != nullptr ? form_->CurrentDeviceLabel() : DeviceLabel::Unactive);
    const int dotTop = card.top + 48;
    FillRounded(canvas, {card.left + 20, dotTop + 4, card.left + 36, dotTop + 20}, 16, look.colour,
                look.colour);
    PaintText(canvas, look.text, {card.left + 46, dotTop - 4, card.right - 20, dotTop + 28},
              stateFont_, kTitleColour, DT_LEFT | DT_VCENTER);

    PaintText(canvas, kMainWindowCaption,
              {kMargin, kMainWindowHeight - kMargin - 16, kMainWindowWidth - kMargin,
               kMainWindowHeight - kMargin},
              labelFont_, kDimTextColour, DT_RIGHT | DT_BOTTOM);

    BitBlt(target, 0, 0, kMainWindowWidth, kMainWindowHeight, canvas, 0, 0, SRCCOPY);
    SelectObject(canvas, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(canvas);
}

void Win32UiHost::PaintPicture(HDC canvas, Picture picture, const RECT& bounds) {
    const bool pressed = pressedPicture_ == picture;
    const COLORREF fill = !pressed                    ? kPictureColour
                          : picture == Picture::Close ? kClosePressedColour
                                                      : kPicturePressedColour;
    FillRounded(canvas, bounds, 6, fill, kCardBorderColour);
    const int centreX = (bounds.left + bounds.right) / 2;
    const int centreY = (bounds.top + bounds.bottom) / 2;
    if (picture == Picture::Close) {
        DrawLine(canvas, centreX - 5, centreY - 5, centreX + 5, centreY + 5, kGlyphColour);
        DrawLine(canvas, centreX - 5, centreY + 5, centreX + 5, centreY - 5, kGlyphColour);
    } else {
        DrawLine(canvas, centreX - 6, centreY + 4, centreX + 6, centreY + 4, kGlyphColour);
    }
}

void Win32UiHost::SetApplicationTitle(const std::wstring& title) {
    title_ = title;
    Repaint();
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

void Win32UiHost::ShowMessage(const std::wstring& text, const std::wstring& caption,
                              MessageIcon icon) {
    HWND owner = window_ != nullptr && IsWindowVisible(window_) ? window_ : nullptr;
    MessageBoxW(owner, text.c_str(), caption.empty() ? title_.c_str() : caption.c_str(),
                MessageBoxStyle(icon));
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

}  // namespace tavrin
