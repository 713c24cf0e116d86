#pragma once
#include "ports/ProfileStore.h"

namespace tavrin {

// GetPrivateProfileStringW / WritePrivateProfileStringW, passed through unchanged.
class Win32ProfileStore final : public ProfileStore {
public:
    uint32_t GetString(const wchar_t* section, const wchar_t* key, const wchar_t* defaultValue,
                       wchar_t* buffer, uint32_t capacity, const std::wstring& file) override;
    bool WriteString(const wchar_t* section, const wchar_t* key, const wchar_t* value,
                     const std::wstring& file) override;
};

}  // namespace tavrin
