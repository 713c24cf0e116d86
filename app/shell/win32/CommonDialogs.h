#pragma once

#include <windows.h>

namespace tavrin {

// comdlg32 brings the print spooler with it (under Wine also the printing and security
// libraries): several megabytes the program would carry all day in the tray for dialogs that
// the user opens now and then. It is loaded when a dialog first opens, on the window thread.
template <typename Function>
Function CommonDialogFunction(const char* name) {
    static const HMODULE module = LoadLibraryW(L"comdlg32.dll");
    if (module == nullptr) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace tavrin
