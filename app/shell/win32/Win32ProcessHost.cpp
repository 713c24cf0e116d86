#include "app/shell/win32/Win32ProcessHost.h"

#include "app/shell/AudioMainForm.h"
#include "app/shell/PluginMenu.h"

namespace tavrin {
namespace {

constexpr wchar_t kExitListenerClassName[] = L"TavrinExitListener";

// While the exception box is up nothing else answers the setup program's exit broadcast, and an
// installer could not replace the program: this hidden window ends the box's loop on it.
class ExitBroadcastListener {
public:
    explicit ExitBroadcastListener(HINSTANCE instance) {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = &ExitBroadcastListener::Procedure;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = kExitListenerClassName;
        RegisterClassExW(&windowClass);  // fails harmlessly when it exists already
        // A broadcast reaches top-level pop-up windows, shown or not.
        window_ = CreateWindowExW(0, kExitListenerClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                                  nullptr, instance, nullptr);
        if (window_ != nullptr) {
            SetWindowLongPtrW(window_, GWLP_USERDATA, RegisterWindowMessageW(kExitMessageName));
        }
    }
    ~ExitBroadcastListener() {
        if (window_ != nullptr) DestroyWindow(window_);
    }
    ExitBroadcastListener(const ExitBroadcastListener&) = delete;
    ExitBroadcastListener& operator=(const ExitBroadcastListener&) = delete;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        const auto exitMessage = static_cast<UINT>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (exitMessage != 0 && message == exitMessage) {
            // A message box's loop ends on WM_QUIT and posts it again for the loop outside.
            PostQuitMessage(0);
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    HWND window_ = nullptr;
};

// The form stops receiving window messages on every way out of its scope, exceptions included.
class FormAttachment {
public:
    FormAttachment(Win32UiHost& ui, TAudioMainForm& form) : ui_(ui) { ui_.SetEventTarget(&form); }
    ~FormAttachment() { ui_.SetEventTarget(nullptr); }
    FormAttachment(const FormAttachment&) = delete;
    FormAttachment& operator=(const FormAttachment&) = delete;

private:
    Win32UiHost& ui_;
};

}  // namespace

Win32ProcessHost::Win32ProcessHost(HINSTANCE instance, ApplicationPorts ports)
    : instance_(instance), ports_(ports) {}

Win32ProcessHost::~Win32ProcessHost() {
    ui_.reset();
    if (instanceMutex_ != nullptr) CloseHandle(instanceMutex_);
}

bool Win32ProcessHost::InstanceMutexExists() {
    HANDLE existing = OpenMutexW(SYNCHRONIZE, FALSE, kInstanceMutexName);
    if (existing == nullptr) return false;
    CloseHandle(existing);
    return true;
}

void Win32ProcessHost::CreateInstanceMutex() {
    instanceMutex_ = CreateMutexW(nullptr, FALSE, kInstanceMutexName);
}

void Win32ProcessHost::RaiseRunningInstance() {
    // By our own window class: the running instance's title is its configured application
    // title, which this process has not read.
    HWND running = FindWindowW(kMainWindowClassName, nullptr);
    if (running == nullptr) return;
    if (IsIconic(running)) {
        ShowWindow(running, SW_RESTORE);
    } else if (!IsWindowVisible(running)) {
        ShowWindow(running, SW_SHOW);  // hidden in the tray
    }
    BringWindowToTop(running);
    SetForegroundWindow(running);
}

void Win32ProcessHost::RunApplication() {
    ui_ = std::make_unique<Win32UiHost>(instance_, ProgramTitle(), ports_.platform.files);
    if (!ui_->CreateMainWindow()) {
        ports_.platform.debugLog.Write(L"***** CreateWindowExW(TAudioMainForm) failed, error " +
                                       std::to_wstring(GetLastError()) + L" *****\n");
        return;
    }
    TAudioMainForm form({ports_.platform, *ui_, ports_.sdkLibrary, ports_.errorBox, ports_.devices,
                         ports_.hid, ports_.driver, ports_.features, ports_.audio});
    FormAttachment attachment(*ui_, form);
    // The constructor needs the window (timers, tray, notifications), so the creation event
    // follows it here rather than arriving with WM_CREATE.
    const bool constructed = form.Construct();
    form.FormCreate();
    if (constructed) ui_->ShowMainWindow();
    ui_->RunMessageLoop();
    // After a failed start the loop ends with the window still there.
    ui_->DestroyMainWindow();
}

void Win32ProcessHost::ShowException(const std::wstring& message) {
    std::wstring title = ui_ != nullptr ? ui_->ApplicationTitle() : L"";
    // Without a configured title (or without the configuration) the program's name stands in.
    if (title.empty()) title = ProgramTitle();
    const ExitBroadcastListener listener(instance_);
    MessageBoxW(nullptr, message.c_str(), title.c_str(), MB_OK | MB_ICONERROR);
}

std::wstring Win32ProcessHost::ProgramTitle() const {
    std::wstring name = ports_.platform.environment.ProgramPath();
    const size_t slash = name.find_last_of(L"\\/");
    if (slash != std::wstring::npos) name.erase(0, slash + 1);
    const size_t dot = name.find_last_of(L'.');
    if (dot != std::wstring::npos) name.erase(dot);
    return name;
}

}  // namespace tavrin
