#include "ports/win32/Win32DynamicLibrary.h"

#include <windows.h>

namespace tavrin {

Win32DynamicLibrary::~Win32DynamicLibrary() {
    if (module_ != nullptr) FreeLibrary(static_cast<HMODULE>(module_));
}

bool Win32DynamicLibrary::Load(const std::wstring& fileName) {
    HMODULE module = LoadLibraryW(fileName.c_str());
    if (module == nullptr) return false;
    if (module_ != nullptr) FreeLibrary(static_cast<HMODULE>(module_));
    module_ = module;
    return true;
}

void* Win32DynamicLibrary::Symbol(const char* name) {
    if (module_ == nullptr) return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module_), name));
}

uint32_t Win32DynamicLibrary::LastError() {
    return GetLastError();
}

std::wstring Win32DynamicLibrary::ErrorText(uint32_t code) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
        reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text;
    if (length != 0 && buffer != nullptr) text.assign(buffer, length);
    if (buffer != nullptr) LocalFree(buffer);
    return text;
}

}  // namespace tavrin
