// Broadcasts a message registered by name to every top-level window, as the setup program does
// before it replaces files: `BroadcastMessage WM_ZRN58xxAPP_EXIT [timeout ms]`.
#include <windows.h>

#include <cstdio>
#include <cwchar>

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fwprintf(stderr, L"usage: BroadcastMessage <message name> [timeout ms]\n");
        return 2;
    }
    const UINT message = RegisterWindowMessageW(argv[1]);
    if (message == 0) {
        std::fwprintf(stderr, L"RegisterWindowMessageW(%ls) failed, error %lu\n", argv[1],
                      GetLastError());
        return 1;
    }
    const UINT timeout = argc > 2 ? static_cast<UINT>(std::wcstoul(argv[2], nullptr, 10)) : 5000;
    SendMessageTimeoutW(HWND_BROADCAST, message, 0, 0, SMTO_NORMAL, timeout, nullptr);
    return 0;
}
