#pragma once
// Windows profile-string (INI) access: GetPrivateProfileStringW / WritePrivateProfileStringW.
#include <cstdint>
#include <string>

namespace tavrin {

class ProfileStore {
public:
    virtual ~ProfileStore() = default;

    // Same contract as GetPrivateProfileStringW. A null section lists the section names, a null
    // key lists the keys of the section (each NUL-terminated, the list closed by a second NUL);
    // a null default reads as "". Returns the number of characters copied, never writing more
    // than `capacity` characters (terminator included) into `buffer`.
    virtual uint32_t GetString(const wchar_t* section, const wchar_t* key,
                               const wchar_t* defaultValue, wchar_t* buffer, uint32_t capacity,
                               const std::wstring& file) = 0;

    // Same contract as WritePrivateProfileStringW: a null value deletes the key, a null key
    // deletes the section. False when the file cannot be written.
    virtual bool WriteString(const wchar_t* section, const wchar_t* key, const wchar_t* value,
                             const std::wstring& file) = 0;
};

}  // namespace tavrin
