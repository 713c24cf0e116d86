#include "setup/win32/SetupWindows.h"

#include <commctrl.h>
#include <wincodec.h>

#include <utility>

#include "common/AudioConfig.h"

namespace tavrin::setup {
namespace {

constexpr wchar_t kBackgroundClass[] = L"TBackgroundForm";
constexpr wchar_t kWizardClass[] = L"TMainForm";
constexpr UINT kProgressMessage = WM_USER + 32;
constexpr UINT kInstallEndedMessage = WM_USER + 33;
constexpr int kFirstControlId = 1000;
constexpr DWORD kWizardStyle = WS_CAPTION | WS_SYSMENU | WS_BORDER | WS_CLIPCHILDREN;
constexpr int kComboDropHeight = 200;
constexpr int kRadioTextGap = 8;

// Decodes a picture file (BMP, PNG, JPEG ...) with the Windows imaging component.
HBITMAP LoadPicture(const std::wstring& path) {
    IWICImagingFactory* factory = nullptr;
    IWICBitmapDecoder* decoder = nullptr;
    IWICBitmapFrameDecode* frame = nullptr;
    IWICFormatConverter* converter = nullptr;
    HBITMAP bitmap = nullptr;
    UINT width = 0;
    UINT height = 0;
    if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IWICImagingFactory, reinterpret_cast<void**>(&factory))) &&
        SUCCEEDED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ,
                                                     WICDecodeMetadataCacheOnDemand, &decoder)) &&
        SUCCEEDED(decoder->GetFrame(0, &frame)) &&
        SUCCEEDED(factory->CreateFormatConverter(&converter)) &&
        SUCCEEDED(converter->Initialize(frame, GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone,
                                        nullptr, 0, WICBitmapPaletteTypeCustom)) &&
        SUCCEEDED(converter->GetSize(&width, &height)) && width > 0 && height > 0) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = static_cast<LONG>(width);
        info.bmiHeader.biHeight = -static_cast<LONG>(height);  // top-down rows
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        const UINT stride = width * 4;
        if (bitmap != nullptr && FAILED(converter->CopyPixels(nullptr, stride, stride * height,
                                                              static_cast<BYTE*>(bits)))) {
            DeleteObject(bitmap);
            bitmap = nullptr;
        }
    }
    if (converter != nullptr) converter->Release();
    if (frame != nullptr) frame->Release();
    if (decoder != nullptr) decoder->Release();
    if (factory != nullptr) factory->Release();
    return bitmap;
}

const wchar_t* WindowClassOf(WizardControlKind kind) {
    switch (kind) {
        case WizardControlKind::Button:
        case WizardControlKind::RadioButton: return WC_BUTTONW;
        case WizardControlKind::ComboBox: return WC_COMBOBOXW;
        case WizardControlKind::ProgressBar: return PROGRESS_CLASSW;
        case WizardControlKind::Label:
        case WizardControlKind::Hidden: break;
    }
    return WC_STATICW;
}

DWORD StyleOf(const WizardControl& control, bool firstRadio) {
    const DWORD child = WS_CHILD;
    switch (control.kind) {
        case WizardControlKind::Button: return child | WS_TABSTOP | BS_PUSHBUTTON;
        case WizardControlKind::RadioButton:
            return child | BS_AUTORADIOBUTTON | (firstRadio ? (WS_GROUP | WS_TABSTOP) : 0);
        case WizardControlKind::ComboBox:
            return child | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | WS_GROUP;
        case WizardControlKind::ProgressBar: return child | PBS_SMOOTH;
        case WizardControlKind::Label:
            return child | SS_NOPREFIX | (control.wordWrap ? SS_LEFT : SS_LEFTNOWORDWRAP);
        case WizardControlKind::Hidden: break;
    }
    return child;
}

bool SameLook(const WizardControl& a, const WizardControl& b) {
    return a.caption == b.caption && a.left == b.left && a.top == b.top && a.width == b.width &&
           a.height == b.height && a.fontName == b.fontName && a.fontSize == b.fontSize;
}

}  // namespace

SetupWindows::SetupWindows(HINSTANCE instance) : instance_(instance) {
    HDC screen = GetDC(nullptr);
    pixelsPerInch_ = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
}

SetupWindows::~SetupWindows() {
    if (wizard_ != nullptr) DestroyWindow(wizard_);
    if (background_ != nullptr) DestroyWindow(background_);
    for (const auto& [key, font] : fonts_) DeleteObject(font);
    if (picture_ != nullptr) DeleteObject(picture_);
    for (HICON icon : {largeIcon_, smallIcon_}) {
        if (icon != nullptr) DestroyIcon(icon);
    }
}

int SetupWindows::Scale(int32_t designPixels) const {
    return MulDiv(designPixels, pixelsPerInch_, 96);
}

HFONT SetupWindows::Font(const std::wstring& name, int32_t points) {
    const auto key = std::make_pair(name, points);
    auto found = fonts_.find(key);
    if (found != fonts_.end()) return found->second;
    HFONT font = CreateFontW(-MulDiv(points, pixelsPerInch_, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE,
                             FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                             DEFAULT_QUALITY, DEFAULT_PITCH, name.c_str());
    fonts_[key] = font;
    return font;
}

bool SetupWindows::Create(const TBackgroundForm& background) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.hInstance = instance_;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpfnWndProc = &SetupWindows::BackgroundProcedure;
    windowClass.lpszClassName = kBackgroundClass;
    if (RegisterClassExW(&windowClass) == 0) return false;
    windowClass.lpfnWndProc = &SetupWindows::WizardProcedure;
    windowClass.lpszClassName = kWizardClass;
    if (RegisterClassExW(&windowClass) == 0) return false;

    background_ = CreateWindowExW(WS_EX_TOOLWINDOW, kBackgroundClass, title_.c_str(), WS_POPUP,
                                  background.Left(), background.Top(), background.Width(),
                                  background.Height(), nullptr, nullptr, instance_, this);
    if (background_ == nullptr) return false;

    RECT frame{0, 0, Scale(WizardForm::kClientWidth), Scale(WizardForm::kClientHeight)};
    AdjustWindowRectEx(&frame, kWizardStyle, FALSE, WS_EX_APPWINDOW | WS_EX_CONTROLPARENT);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    wizard_ = CreateWindowExW(WS_EX_APPWINDOW | WS_EX_CONTROLPARENT, kWizardClass,
                              WizardForm::kDesignCaption, kWizardStyle,
                              (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                              (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height,
                              background_, nullptr, instance_, this);
    for (HWND window : {background_, wizard_}) {
        if (largeIcon_ != nullptr) SendMessageW(window, WM_SETICON, ICON_BIG, (LPARAM)largeIcon_);
        if (smallIcon_ != nullptr) SendMessageW(window, WM_SETICON, ICON_SMALL, (LPARAM)smallIcon_);
    }
    return wizard_ != nullptr;
}

void SetupWindows::Run(TBackgroundForm& background, TMainForm& wizard) {
    wizardForm_ = &wizard;
    background.FormShow(*this);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (IsDialogMessageW(wizard_, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    wizardForm_ = nullptr;
}

template <class Handler>
void SetupWindows::Guarded(Handler handler) {
    try {
        handler();
    } catch (const ConfigConversionError& error) {
        MessageBoxW(wizard_, error.Message().c_str(), title_.c_str(), MB_OK | MB_ICONERROR);
    }
}

// ---------------------------------------------------------------------------------------------
// The wizard

void SetupWindows::CreateControls(const WizardForm& form) {
    HFONT font = Font(WizardForm::kFontName, WizardForm::kFontSize);
    bool firstRadio = true;
    int id = kFirstControlId;
    for (const WizardControl& control : form.Controls()) {
        ShownControl shown;
        const bool radio = control.kind == WizardControlKind::RadioButton;
        shown.window = CreateWindowExW(
            0, WindowClassOf(control.kind), L"", StyleOf(control, radio && firstRadio), 0, 0, 0, 0,
            wizard_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id++)), instance_, nullptr);
        if (radio) firstRadio = false;
        SendMessageW(shown.window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (control.kind == WizardControlKind::ProgressBar) {
            SendMessageW(shown.window, PBM_SETRANGE32, 0, 100);
            SendMessageW(shown.window, PBM_SETSTEP, 1, 0);
        }
        controls_.push_back(shown);
    }
}

void SetupWindows::Show(const WizardForm& form) {
    form_ = &form;
    if (controls_.empty()) CreateControls(form);
    if (caption_ != form.caption) {
        caption_ = form.caption;
        SetWindowTextW(wizard_, caption_.c_str());
    }
    const std::vector<WizardControl>& wanted = form.Controls();
    for (size_t i = 0; i < wanted.size(); ++i) {
        if (wanted[i].name == form.defaultButton) {
            defaultButtonId_ = kFirstControlId + static_cast<int>(i);
        }
        Apply(controls_[i], wanted[i], form.page);
        if (wanted[i].kind == WizardControlKind::Button) {
            const bool isDefault = wanted[i].name == form.defaultButton;
            SendMessageW(controls_[i].window, BM_SETSTYLE,
                         isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
        }
    }
    EnableMenuItem(GetSystemMenu(wizard_, FALSE), SC_CLOSE,
                   MF_BYCOMMAND | (form.closeEnabled ? MF_ENABLED : MF_GRAYED));
    if (focus_ != form.focus) {
        focus_ = form.focus;
        for (size_t i = 0; i < wanted.size(); ++i) {
            if (wanted[i].name == focus_) SetFocus(controls_[i].window);
        }
    }
}

void SetupWindows::Apply(ShownControl& control, const WizardControl& wanted, int32_t page) {
    HWND window = control.window;
    const WizardControl& shown = control.shown;
    const bool first = !control.created;
    if (first || !SameLook(shown, wanted)) {
        const HFONT font = Font(wanted.fontName.empty() ? WizardForm::kFontName : wanted.fontName,
                                wanted.fontSize.value_or(WizardForm::kFontSize));
        SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        SetWindowTextW(window, wanted.caption.c_str());
        if (wanted.kind == WizardControlKind::Label ||
            wanted.kind == WizardControlKind::RadioButton) {
            PlaceLabel(control, wanted, font);
        } else {
            const int height = wanted.kind == WizardControlKind::ComboBox ? Scale(kComboDropHeight)
                                                                          : Scale(wanted.height);
            MoveWindow(window, Scale(wanted.left), Scale(wanted.top), Scale(wanted.width), height,
                       TRUE);
        }
    }
    if (wanted.kind == WizardControlKind::ComboBox && (first || shown.items != wanted.items)) {
        SendMessageW(window, CB_RESETCONTENT, 0, 0);
        for (const std::wstring& item : wanted.items) {
            SendMessageW(window, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
        }
    }
    if (wanted.kind == WizardControlKind::ComboBox) {
        SendMessageW(window, CB_SETCURSEL, static_cast<WPARAM>(wanted.selected), 0);
    }
    if (wanted.kind == WizardControlKind::ProgressBar &&
        (first || shown.position != wanted.position)) {
        SendMessageW(window, PBM_SETPOS, static_cast<WPARAM>(wanted.position), 0);
    }
    if (wanted.kind == WizardControlKind::RadioButton) {
        SendMessageW(window, BM_SETCHECK, wanted.checked ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    if (first || shown.fontColour != wanted.fontColour) InvalidateRect(window, nullptr, TRUE);
    EnableWindow(window, wanted.enabled);
    const bool visible = wanted.kind != WizardControlKind::Hidden && wanted.visible &&
                         (wanted.page == kEveryPage || wanted.page == page);
    ShowWindow(window, visible ? SW_SHOWNA : SW_HIDE);
    control.shown = wanted;
    control.created = true;
}

// A label or radio button without a size fits its text; a word-wrapped one keeps its width.
void SetupWindows::PlaceLabel(ShownControl& control, const WizardControl& wanted, HFONT font) {
    HDC dc = GetDC(control.window);
    HGDIOBJ previous = SelectObject(dc, font);
    RECT text{0, 0, wanted.width > 0 ? Scale(wanted.width) : 0, 0};
    const UINT format =
        DT_CALCRECT | DT_NOPREFIX | (wanted.wordWrap ? DT_WORDBREAK : DT_SINGLELINE);
    DrawTextW(dc, wanted.caption.empty() ? L" " : wanted.caption.c_str(), -1, &text, format);
    SelectObject(dc, previous);
    ReleaseDC(control.window, dc);
    int width = text.right - text.left;
    if (wanted.kind == WizardControlKind::RadioButton) {
        width += GetSystemMetrics(SM_CXMENUCHECK) + Scale(kRadioTextGap);
    }
    if (wanted.width > 0) width = Scale(wanted.width);
    const int height = wanted.height > 0 ? Scale(wanted.height) : text.bottom - text.top + 2;
    MoveWindow(control.window, Scale(wanted.left), Scale(wanted.top), width, height, TRUE);
}

void SetupWindows::OnCommand(WORD id, WORD code) {
    if (wizardForm_ == nullptr || form_ == nullptr) return;
    if (id == IDCANCEL) {
        Guarded([&] { wizardForm_->CancelBitBtnClick(); });
        return;
    }
    const int index = static_cast<int>(id) - kFirstControlId;
    if (index < 0 || static_cast<size_t>(index) >= form_->Controls().size()) return;
    const std::wstring& name = form_->Controls()[static_cast<size_t>(index)].name;
    TMainForm& form = *wizardForm_;
    if (code == CBN_SELCHANGE && name == L"ComboBox") {
        const auto selected =
            SendMessageW(controls_[static_cast<size_t>(index)].window, CB_GETCURSEL, 0, 0);
        Guarded([&] { form.ComboBoxChange(static_cast<int32_t>(selected)); });
        return;
    }
    if (code != BN_CLICKED) return;
    Guarded([&] {
        if (name == L"NextBitBtn") form.NextBitBtnClick();
        if (name == L"BackBitBtn") form.BackBitBtnClick();
        if (name == L"FinishBitBtn") form.FinishBitBtnClick();
        if (name == L"CancelBitBtn") form.CancelBitBtnClick();
        if (name == L"RebootRadioButton") form.RadioButtonClick(true);
        if (name == L"NoRebootRadioButton") form.RadioButtonClick(false);
    });
}

bool SetupWindows::CloseAllowed() const {
    return form_ == nullptr || form_->closeEnabled;
}

LRESULT SetupWindows::OnWizardMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND: OnCommand(LOWORD(wParam), HIWORD(wParam)); return 0;
        case DM_GETDEFID: return MAKELRESULT(defaultButtonId_, DC_HASDEFID);
        case WM_CTLCOLORSTATIC: {
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
            for (const ShownControl& control : controls_) {
                if (control.window == reinterpret_cast<HWND>(lParam) && control.shown.fontColour) {
                    SetTextColor(dc, *control.shown.fontColour);
                }
            }
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        }
        case kProgressMessage:
            if (wizardForm_ != nullptr) wizardForm_->ProgressMessage(static_cast<int32_t>(wParam));
            return 0;
        case kInstallEndedMessage:
            if (wizardForm_ != nullptr) wizardForm_->InstallEndedMessage();
            return 0;
        case WM_CLOSE:
            if (CloseAllowed() && wizardForm_ != nullptr)
                Guarded([&] { wizardForm_->FormClose(); });
            return 0;
        case WM_ACTIVATE:
            // As a dialog does: the control that had the keyboard gets it back, so that Enter
            // still presses the default button after a message box.
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focused = GetFocus();
                if (focused != nullptr && IsChild(wizard_, focused)) savedFocus_ = focused;
            } else if (savedFocus_ != nullptr && IsWindowEnabled(savedFocus_)) {
                SetFocus(savedFocus_);
                return 0;
            }
            break;
        default: break;
    }
    return DefWindowProcW(wizard_, message, wParam, lParam);
}

LRESULT CALLBACK SetupWindows::WizardProcedure(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<SetupWindows*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr || self->wizard_ != window) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->OnWizardMessage(message, wParam, lParam);
}

// WizardHost, the rest

void SetupWindows::ShowMessage(const std::wstring& text, const std::wstring& caption,
                               MessageKind kind) {
    const UINT icon = kind == MessageKind::Error ? MB_ICONERROR : MB_ICONINFORMATION;
    MessageBoxW(wizard_, text.c_str(), caption.c_str(), MB_OK | icon);
}

void SetupWindows::PostProgress(int32_t position) {
    PostMessageW(wizard_, kProgressMessage, static_cast<WPARAM>(position), 0);
}

void SetupWindows::PostInstallEnded() {
    PostMessageW(wizard_, kInstallEndedMessage, 0, 0);
}

void SetupWindows::ProcessPendingMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (IsDialogMessageW(wizard_, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void SetupWindows::PostQuit() {
    quitPosted_ = true;
    PostQuitMessage(0);
}

void SetupWindows::CloseWizard() {
    PostMessageW(wizard_, WM_CLOSE, 0, 0);
}

void SetupWindows::SetApplicationTitle(const std::wstring& title) {
    title_ = title;
    if (background_ != nullptr) SetWindowTextW(background_, title_.c_str());
}

void SetupWindows::SetIcon(const std::wstring& iconPath) {
    for (HICON icon : {largeIcon_, smallIcon_}) {
        if (icon != nullptr) DestroyIcon(icon);
    }
    largeIcon_ = static_cast<HICON>(LoadImageW(nullptr, iconPath.c_str(), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXICON),
                                               GetSystemMetrics(SM_CYICON), LR_LOADFROMFILE));
    smallIcon_ = static_cast<HICON>(LoadImageW(nullptr, iconPath.c_str(), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), LR_LOADFROMFILE));
    for (HWND window : {background_, wizard_}) {
        if (window == nullptr) continue;
        SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(largeIcon_));
        SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
    }
}

void SetupWindows::ScreenSize(int32_t& width, int32_t& height) {
    width = GetSystemMetrics(SM_CXSCREEN);
    height = GetSystemMetrics(SM_CYSCREEN);
}

void SetupWindows::MoveBackground(int32_t left, int32_t top, int32_t width, int32_t height) {
    MoveWindow(background_, left, top, width, height, TRUE);
}

// ---------------------------------------------------------------------------------------------
// The background

bool SetupWindows::ShowPicture(const std::wstring& path) {
    if (picture_ != nullptr) DeleteObject(picture_);
    picture_ = LoadPicture(path);
    InvalidateRect(background_, nullptr, TRUE);
    return picture_ != nullptr;
}

// The window's own colour becomes the see-through colour, so nothing of it shows.
void SetupWindows::MakeSeeThrough() {
    SetWindowLongW(background_, GWL_EXSTYLE,
                   GetWindowLongW(background_, GWL_EXSTYLE) | WS_EX_LAYERED);
    SetLayeredWindowAttributes(background_, GetSysColor(COLOR_BTNFACE), 0, LWA_COLORKEY);
}

void SetupWindows::ShowPictureError(const std::wstring& message) {
    MessageBoxW(background_, message.c_str(), title_.c_str(), MB_OK | MB_ICONERROR);
}

// The wizard's texts are in place before anything appears; a wizard that ends at once shows
// nothing.
void SetupWindows::ShowWizard() {
    if (wizardForm_ != nullptr) Guarded([&] { wizardForm_->FormShow(); });
    if (quitPosted_) return;
    ShowWindow(background_, SW_SHOW);
    UpdateWindow(background_);
    ShowWindow(wizard_, SW_SHOW);
    SetForegroundWindow(wizard_);
}

void SetupWindows::PaintBackground() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(background_, &paint);
    RECT client;
    GetClientRect(background_, &client);
    if (picture_ != nullptr) {
        BITMAP info{};
        GetObjectW(picture_, sizeof(info), &info);
        HDC source = CreateCompatibleDC(dc);
        HGDIOBJ previous = SelectObject(source, picture_);
        SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);
        StretchBlt(dc, 0, 0, client.right, client.bottom, source, 0, 0, info.bmWidth, info.bmHeight,
                   SRCCOPY);
        SelectObject(source, previous);
        DeleteDC(source);
    } else {
        FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    }
    EndPaint(background_, &paint);
}

LRESULT SetupWindows::OnBackgroundMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: PaintBackground(); return 0;
        case WM_ERASEBKGND: return 1;
        case WM_CLOSE:
            // The main form: closing it ends the program, as long as no installation runs.
            if (CloseAllowed() && wizardForm_ != nullptr)
                Guarded([&] { wizardForm_->FormClose(); });
            return 0;
        default: break;
    }
    return DefWindowProcW(background_, message, wParam, lParam);
}

LRESULT CALLBACK SetupWindows::BackgroundProcedure(HWND window, UINT message, WPARAM wParam,
                                                   LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<SetupWindows*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr || self->background_ != window) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->OnBackgroundMessage(message, wParam, lParam);
}

}  // namespace tavrin::setup
