#include "app/shell/win32/Win32Dialog.h"

#include <commctrl.h>

#include <vector>

namespace tavrin {
namespace {

constexpr int kFirstControlId = 1000;
constexpr WPARAM kDragMove = 0xF012;  // SC_MOVE | HTCAPTION
constexpr WORD kFontPoints = 8;
constexpr wchar_t kFontName[] = L"MS Shell Dlg";

struct Session {
    Session(Dialog& shown, HWND ownerWindow) : dialog(shown), owner(ownerWindow) {}

    Dialog& dialog;
    HWND owner;
    HWND window = nullptr;
    std::vector<HWND> controls;
    bool finished = false;
};

// An empty dialog template: the controls are created from the model once it exists.
std::vector<WORD> Template(const DialogFrame& frame) {
    const DWORD style =
        DS_SETFONT | WS_POPUP | (frame.captioned ? DS_MODALFRAME | WS_CAPTION | WS_SYSMENU : 0);
    std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
    auto* header = reinterpret_cast<DLGTEMPLATE*>(words.data());
    header->style = style;
    words.push_back(0);  // no menu
    words.push_back(0);  // the standard dialog class
    for (wchar_t c : frame.caption) words.push_back(static_cast<WORD>(c));
    words.push_back(0);
    words.push_back(kFontPoints);
    for (const wchar_t* c = kFontName; *c != 0; ++c) words.push_back(static_cast<WORD>(*c));
    words.push_back(0);
    return words;
}

int IndexOf(const Session& session, int id) {
    const int index = id - kFirstControlId;
    return index >= 0 && index < static_cast<int>(session.dialog.controls.size()) ? index : -1;
}

HWND CreateControl(Session& session, const DialogControl& control, int id, HFONT font) {
    const wchar_t* windowClass = L"BUTTON";
    DWORD style = WS_CHILD | WS_VISIBLE;
    switch (control.kind) {
        case DialogControlKind::GroupBox: style |= BS_GROUPBOX; break;
        case DialogControlKind::Label:
            windowClass = L"STATIC";
            style |= SS_LEFT;
            break;
        case DialogControlKind::Button: style |= BS_PUSHBUTTON | WS_TABSTOP; break;
        case DialogControlKind::RadioButton:
            style |= BS_RADIOBUTTON | WS_TABSTOP | (control.groupStart ? WS_GROUP : 0);
            break;
        case DialogControlKind::TrackBar:
            windowClass = TRACKBAR_CLASSW;
            style |= TBS_HORZ | TBS_AUTOTICKS | WS_TABSTOP;
            break;
        case DialogControlKind::Swatch:
            windowClass = L"STATIC";
            style |= SS_OWNERDRAW | SS_NOTIFY;
            break;
    }
    HWND child =
        CreateWindowExW(0, windowClass, control.caption.c_str(), style, control.left, control.top,
                        control.width, control.height, session.window,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    if (child == nullptr) return nullptr;
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (control.kind == DialogControlKind::TrackBar) {
        const int range = control.maximum - control.minimum;
        SendMessageW(child, TBM_SETRANGE, FALSE, MAKELPARAM(control.minimum, control.maximum));
        SendMessageW(child, TBM_SETPAGESIZE, 0, control.pageSize);
        SendMessageW(child, TBM_SETTICFREQ, range > 10 ? range / 10 : 1, 0);
        SendMessageW(child, TBM_SETPOS, TRUE, control.position);
    }
    return child;
}

// What the model says now: radio checks, track bar positions, swatch colours.
void ShowState(Session& session) {
    for (size_t i = 0; i < session.controls.size(); ++i) {
        const DialogControl& control = session.dialog.controls[i];
        HWND child = session.controls[i];
        if (child == nullptr) continue;
        if (control.kind == DialogControlKind::RadioButton) {
            SendMessageW(child, BM_SETCHECK, control.checked ? BST_CHECKED : BST_UNCHECKED, 0);
        } else if (control.kind == DialogControlKind::TrackBar &&
                   SendMessageW(child, TBM_GETPOS, 0, 0) != control.position) {
            SendMessageW(child, TBM_SETPOS, TRUE, control.position);
        } else if (control.kind == DialogControlKind::Swatch) {
            InvalidateRect(child, nullptr, FALSE);
        }
    }
}

void Finish(Session& session) {
    if (session.finished) return;
    session.finished = true;
    session.dialog.OnClose();
    EndDialog(session.window, 0);
}

void AfterEvent(Session& session) {
    ShowState(session);
    if (session.dialog.CloseRequested()) Finish(session);
}

void Place(Session& session) {
    const DialogFrame& frame = session.dialog.frame;
    RECT outer{0, 0, frame.clientWidth, frame.clientHeight};
    AdjustWindowRectEx(&outer, static_cast<DWORD>(GetWindowLongPtrW(session.window, GWL_STYLE)),
                       FALSE, static_cast<DWORD>(GetWindowLongPtrW(session.window, GWL_EXSTYLE)));
    const int width = outer.right - outer.left;
    const int height = outer.bottom - outer.top;
    RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (!frame.captioned && session.owner != nullptr) GetWindowRect(session.owner, &area);
    SetWindowPos(session.window, nullptr, (area.left + area.right - width) / 2,
                 (area.top + area.bottom - height) / 2, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void Initialise(Session& session) {
    session.dialog.OnShow();
    Place(session);
    auto font = reinterpret_cast<HFONT>(SendMessageW(session.window, WM_GETFONT, 0, 0));
    const auto& controls = session.dialog.controls;
    for (size_t i = 0; i < controls.size(); ++i) {
        session.controls.push_back(
            CreateControl(session, controls[i], kFirstControlId + static_cast<int>(i), font));
    }
    AfterEvent(session);
}

void DrawSwatch(const DialogControl& swatch, const DRAWITEMSTRUCT& item) {
    HBRUSH brush = CreateSolidBrush(swatch.brushColour);
    HPEN pen = CreatePen(PS_INSIDEFRAME, swatch.penWidth, swatch.penColour);
    HGDIOBJ oldBrush = SelectObject(item.hDC, brush);
    HGDIOBJ oldPen = SelectObject(item.hDC, pen);
    Rectangle(item.hDC, item.rcItem.left, item.rcItem.top, item.rcItem.right, item.rcItem.bottom);
    SelectObject(item.hDC, oldPen);
    SelectObject(item.hDC, oldBrush);
    DeleteObject(pen);
    DeleteObject(brush);
}

void OnCommand(Session& session, WPARAM wParam) {
    const int id = LOWORD(wParam);
    if (id == IDCANCEL) return Finish(session);
    const int index = IndexOf(session, id);
    if (index < 0) return;
    const DialogControlKind kind = session.dialog.controls[static_cast<size_t>(index)].kind;
    const bool pressed =
        (kind == DialogControlKind::Swatch && HIWORD(wParam) == STN_CLICKED) ||
        ((kind == DialogControlKind::Button || kind == DialogControlKind::RadioButton) &&
         HIWORD(wParam) == BN_CLICKED);
    if (!pressed) return;
    session.dialog.Press(static_cast<size_t>(index));
    AfterEvent(session);
}

void OnTrackBar(Session& session, HWND bar) {
    const int index = IndexOf(session, GetDlgCtrlID(bar));
    if (index < 0) return;
    const auto position = static_cast<int32_t>(SendMessageW(bar, TBM_GETPOS, 0, 0));
    session.dialog.TrackBarMoved(static_cast<size_t>(index), position);
    AfterEvent(session);
}

INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* session = reinterpret_cast<Session*>(lParam);
        session->window = window;
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        Initialise(*session);
        return TRUE;
    }
    auto* session = reinterpret_cast<Session*>(GetWindowLongPtrW(window, DWLP_USER));
    if (session == nullptr) return FALSE;
    switch (message) {
        case WM_COMMAND: OnCommand(*session, wParam); return TRUE;
        case WM_HSCROLL: OnTrackBar(*session, reinterpret_cast<HWND>(lParam)); return TRUE;
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            const int index = IndexOf(*session, static_cast<int>(item.CtlID));
            if (index < 0) return FALSE;
            DrawSwatch(session->dialog.controls[static_cast<size_t>(index)], item);
            return TRUE;
        }
        case WM_LBUTTONDOWN:
            // A dialog without a caption bar moves by its background.
            if (session->dialog.frame.captioned) return FALSE;
            ReleaseCapture();
            SendMessageW(window, WM_SYSCOMMAND, kDragMove, 0);
            return TRUE;
        case WM_CLOSE: Finish(*session); return TRUE;
        default: return FALSE;
    }
}

}  // namespace

void RunModalDialog(HINSTANCE instance, HWND owner, Dialog& dialog) {
    INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_BAR_CLASSES};
    InitCommonControlsEx(&classes);
    const std::vector<WORD> words = Template(dialog.frame);
    Session session(dialog, owner);
    DialogBoxIndirectParamW(instance, reinterpret_cast<const DLGTEMPLATE*>(words.data()), owner,
                            &Procedure, reinterpret_cast<LPARAM>(&session));
    // A dialog that showed ends closed, whatever ended its loop.
    if (session.window != nullptr && !session.finished) dialog.OnClose();
}

}  // namespace tavrin
