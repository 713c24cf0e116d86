#include "app/shell/win32/Win32Dialogs.h"

#include <commdlg.h>
#include <shellapi.h>
#include <windowsx.h>

#include <vector>

#include "app/shell/win32/CommonDialogs.h"
#include "app/shell/win32/FormPainter.h"

namespace tavrin {
namespace {

constexpr wchar_t kModalFormClassName[] = L"TavrinModalForm";
constexpr DWORD kModalFormStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_DLGFRAME;
constexpr DWORD kModalFormExStyle = WS_EX_DLGMODALFRAME;
constexpr size_t kFileNameCapacity = 1024;
constexpr int kShellTextCapacity = 256;  // 255 characters and the end

// "Description|pattern|..." with the separators as NULs, closed by a second NUL.
std::wstring DialogFilter(const std::wstring& filter) {
    std::wstring converted = filter;
    for (wchar_t& c : converted) {
        if (c == L'|') c = L'\0';
    }
    return converted + std::wstring(2, L'\0');
}

// What a modal form needs while its window lives.
struct ModalForm {
    FormModel form;
    const std::function<void(const Component&)>& clicked;
    FormPainter painter;
};

// A component the pointer can click: it has a click handler.
const Component* ClickableAt(FormModel& form, LPARAM position) {
    const Component* target = form.ControlAt(GET_X_LPARAM(position), GET_Y_LPARAM(position), false);
    return target != nullptr && !target->onClick.empty() ? target : nullptr;
}

LRESULT CALLBACK ModalFormProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        SetWindowLongPtrW(
            window, GWLP_USERDATA,
            reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    }
    auto* modal = reinterpret_cast<ModalForm*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (modal == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
        case WM_ERASEBKGND: return 1;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC target = BeginPaint(window, &paint);
            RECT client{};
            GetClientRect(window, &client);
            modal->painter.Paint(target, modal->form, client.right, client.bottom);
            EndPaint(window, &paint);
            return 0;
        }
        case WM_SETCURSOR: {
            POINT cursor;
            GetCursorPos(&cursor);
            ScreenToClient(window, &cursor);
            if (LOWORD(lParam) == HTCLIENT &&
                ClickableAt(modal->form, MAKELPARAM(cursor.x, cursor.y)) != nullptr) {
                SetCursor(LoadCursorW(nullptr, IDC_HAND));
                return TRUE;
            }
            break;
        }
        case WM_LBUTTONUP:
            if (const Component* target = ClickableAt(modal->form, lParam)) modal->clicked(*target);
            return 0;
        case WM_KEYDOWN:
            if (wParam == VK_ESCAPE) DestroyWindow(window);
            return 0;
        case WM_CLOSE: DestroyWindow(window); return 0;
        case WM_NCDESTROY: SetWindowLongPtrW(window, GWLP_USERDATA, 0); break;
        default: break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool RegisterModalFormClass(HINSTANCE instance) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &ModalFormProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kModalFormClassName;
    return RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// The window's outer rectangle for the form's client area, centred on the owner (on the screen
// without one).
RECT CentredFrame(HWND owner, const FormModel& form) {
    RECT frame{0, 0, form.clientWidth, form.clientHeight};
    AdjustWindowRectEx(&frame, kModalFormStyle, FALSE, kModalFormExStyle);
    const LONG width = frame.right - frame.left;
    const LONG height = frame.bottom - frame.top;
    RECT around{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (owner != nullptr && IsWindowVisible(owner)) GetWindowRect(owner, &around);
    const LONG left = around.left + (around.right - around.left - width) / 2;
    const LONG top = around.top + (around.bottom - around.top - height) / 2;
    return {left, top, left + width, top + height};
}

}  // namespace

std::optional<std::wstring> RunFileDialog(HWND owner, const FileDialogOptions& options) {
    std::vector<wchar_t> fileName(kFileNameCapacity, L'\0');
    options.fileName.copy(fileName.data(), fileName.size() - 1);
    const std::wstring filter = DialogFilter(options.filter);
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = fileName.data();
    dialog.nMaxFile = static_cast<DWORD>(fileName.size());
    dialog.lpstrInitialDir =
        options.initialFolder.empty() ? nullptr : options.initialFolder.c_str();
    dialog.Flags = OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
    const bool save = options.kind == FileDialogKind::Save;
    dialog.Flags |= save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST;
    const auto show = save ? CommonDialogFunction<decltype(&GetSaveFileNameW)>("GetSaveFileNameW")
                           : CommonDialogFunction<decltype(&GetOpenFileNameW)>("GetOpenFileNameW");
    const BOOL chosen = show != nullptr && show(&dialog);
    if (!chosen) return std::nullopt;
    return std::wstring(fileName.data());
}

void OpenWithShellExecute(const std::wstring& target) {
    char ansi[kShellTextCapacity] = {};
    WideCharToMultiByte(CP_ACP, 0, target.c_str(), -1, ansi, kShellTextCapacity - 1, nullptr,
                        nullptr);
    wchar_t wide[kShellTextCapacity] = {};
    MultiByteToWideChar(CP_ACP, 0, ansi, -1, wide, kShellTextCapacity - 1);
    ShellExecuteW(nullptr, L"open", wide, nullptr, nullptr, SW_SHOW);
}

void RunModalForm(HINSTANCE instance, HWND owner, FileSystem& files, const FormModel& form,
                  const std::wstring& caption,
                  const std::function<void(const Component&)>& clicked) {
    if (!RegisterModalFormClass(instance)) return;
    ModalForm modal{form, clicked, FormPainter(files)};
    const RECT frame = CentredFrame(owner, form);
    HWND window = CreateWindowExW(kModalFormExStyle, kModalFormClassName, caption.c_str(),
                                  kModalFormStyle, frame.left, frame.top, frame.right - frame.left,
                                  frame.bottom - frame.top, owner, nullptr, instance, &modal);
    if (window == nullptr) return;
    if (owner != nullptr) EnableWindow(owner, FALSE);
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    MSG message;
    while (IsWindow(window)) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got <= 0) {
            // The program is ending: the main loop must see the quit as well.
            if (got == 0) PostQuitMessage(static_cast<int>(message.wParam));
            DestroyWindow(window);
            break;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    if (owner != nullptr) {
        EnableWindow(owner, TRUE);
        SetForegroundWindow(owner);
    }
}

}  // namespace tavrin
