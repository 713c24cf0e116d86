#pragma once
#include "ports/FileSystem.h"
#include "ports/ProfileStore.h"

namespace tavrin {

// The Windows profile-string semantics (GetPrivateProfileStringW / WritePrivateProfileStringW)
// over the file-system port. Files without a mark are read and written as Windows-1252, files
// with a UTF-16LE mark stay UTF-16LE. Unlike Windows, a write never rewrites the file in place:
// it swaps in a complete new file, so a crash mid-write loses nothing.
class PortableProfileStore final : public ProfileStore {
public:
    explicit PortableProfileStore(FileSystem& files);

    uint32_t GetString(const wchar_t* section, const wchar_t* key, const wchar_t* defaultValue,
                       wchar_t* buffer, uint32_t capacity, const std::wstring& file) override;
    bool WriteString(const wchar_t* section, const wchar_t* key, const wchar_t* value,
                     const std::wstring& file) override;

private:
    FileSystem& files_;
};

}  // namespace tavrin
