#include "ports/win32/Win32ProfileStore.h"

#include <windows.h>

namespace tavrin {

uint32_t Win32ProfileStore::GetString(const wchar_t* section, const wchar_t* key,
                                      const wchar_t* defaultValue, wchar_t* buffer,
                                      uint32_t capacity, const std::wstring& file) {
    return GetPrivateProfileStringW(section, key, defaultValue, buffer, capacity, file.c_str());
}

bool Win32ProfileStore::WriteString(const wchar_t* section, const wchar_t* key,
                                    const wchar_t* value, const std::wstring& file) {
    return WritePrivateProfileStringW(section, key, value, file.c_str()) != FALSE;
}

}  // namespace tavrin
