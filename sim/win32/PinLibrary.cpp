#include "sim/win32/PinLibrary.h"

#include <windows.h>

namespace tavrin::sim {

void PinLibrary() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       reinterpret_cast<LPCWSTR>(&PinLibrary), &module);
}

}  // namespace tavrin::sim
