#include "setup/win32/Win32Payloads.h"

namespace tavrin::setup {

std::optional<PayloadBytes> Win32Payloads::Find(uint16_t identifier, const std::wstring& type) {
    HRSRC resource = FindResourceW(module_, MAKEINTRESOURCEW(identifier), type.c_str());
    if (resource == nullptr) return std::nullopt;
    const DWORD size = SizeofResource(module_, resource);
    HGLOBAL loaded = LoadResource(module_, resource);
    const void* bytes = loaded == nullptr ? nullptr : LockResource(loaded);
    if (bytes == nullptr) return std::nullopt;
    return PayloadBytes{static_cast<const uint8_t*>(bytes), size};
}

}  // namespace tavrin::setup
