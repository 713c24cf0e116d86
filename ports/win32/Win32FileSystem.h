#pragma once
#include "ports/FileSystem.h"

namespace tavrin {

class Win32FileSystem final : public FileSystem {
public:
    FileReadResult ReadWholeFile(const std::wstring& path, std::vector<uint8_t>& contents) override;
    FileReadResult ReadFileStart(const std::wstring& path, size_t maxBytes,
                                 std::vector<uint8_t>& contents) override;
    bool FileExists(const std::wstring& path) override;
    bool DirectoryExists(const std::wstring& path) override;
    bool ListDirectory(const std::wstring& path, std::vector<DirectoryEntry>& entries) override;
    bool CreateFolder(const std::wstring& path) override;
    bool CopyOneFile(const std::wstring& from, const std::wstring& to, bool failIfExists) override;
    bool RemoveFile(const std::wstring& path) override;
    FileWriteResult WriteNewFile(const std::wstring& path, const uint8_t* data,
                                 size_t size) override;
    bool SetNormalAttributes(const std::wstring& path) override;
    bool RemoveFolder(const std::wstring& path) override;
    bool ReplaceFileAtomically(const std::wstring& path,
                               const std::vector<uint8_t>& contents) override;
};

}  // namespace tavrin
