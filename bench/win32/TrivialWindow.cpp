// The baseline of the Wine measurements under bench/: the least a Win32 program with one window
// does, built with the same toolchain and flags as Tavrin.exe. The window has Tavrin's size and
// no timer; a click hides it, as Tavrin's close picture does.
#include <windows.h>

namespace {

constexpr wchar_t kClassName[] = L"TavrinTrivialWindow";
constexpr wchar_t kTitle[] = L"TrivialWindow";
constexpr int kWidth = 819;
constexpr int kHeight = 513;

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_LBUTTONUP: ShowWindow(window, SW_HIDE); return 0;
        case WM_DESTROY: PostQuitMessage(0); return 0;
        default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kClassName;
    if (RegisterClassExW(&windowClass) == 0) return 1;
    const int left = (GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2;
    HWND window = CreateWindowExW(WS_EX_APPWINDOW, kClassName, kTitle, WS_POPUP, left, top, kWidth,
                                  kHeight, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 1;
    ShowWindow(window, SW_SHOW);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
