// Stand-in for one of the vendor's effect applications: a small window that stays until it is
// asked to close with "WM_AUDIO_EFFECT_EXIT", the message the control application and the
// uninstaller broadcast. Built twice, with a title each (TAVRIN_EFFECT_TITLE).
#include <windows.h>

#include "common/ProcessMessages.h"

namespace {

UINT g_exitMessage = 0;

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == g_exitMessage && g_exitMessage != 0) {
        OutputDebugStringW(TAVRIN_EFFECT_TITLE L": WM_AUDIO_EFFECT_EXIT\n");
        DestroyWindow(window);
        return 0;
    }
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            RECT client;
            GetClientRect(window, &client);
            SetBkMode(dc, TRANSPARENT);
            DrawTextW(dc,
                      L"Stand-in for the vendor's effect application.\n"
                      L"It closes on WM_AUDIO_EFFECT_EXIT.",
                      -1, &client, DT_CENTER | DT_VCENTER | DT_WORDBREAK);
            EndPaint(window, &paint);
            return 0;
        }
        case WM_DESTROY: PostQuitMessage(0); return 0;
        default: break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    g_exitMessage = RegisterWindowMessageW(tavrin::kEffectExitMessageName);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = L"TavrinEffectStandIn";
    RegisterClassExW(&windowClass);
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, TAVRIN_EFFECT_TITLE,
                                  WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 360, 140, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 1;
    ShowWindow(window, show);
    OutputDebugStringW(TAVRIN_EFFECT_TITLE L": running\n");
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
