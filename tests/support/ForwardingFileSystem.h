#pragma once
// A file system that passes every call on to another: tests derive from it and change only the
// calls they watch or break.
#include "ports/FileSystem.h"

namespace tavrin::test {

class ForwardingFileSystem : public FileSystem {
public:
    explicit ForwardingFileSystem(FileSystem& files) : files_(files) {}

    FileReadResult ReadWholeFile(const std::wstring& path,
                                 std::vector<uint8_t>& contents) override {
        return files_.ReadWholeFile(path, contents);
    }
    FileReadResult ReadFileStart(const std::wstring& path, size_t maxBytes,
                                 std::vector<uint8_t>& contents) override {
        return files_.ReadFileStart(path, maxBytes, contents);
    }
    bool FileExists(const std::wstring& path) override { return files_.FileExists(path); }
    bool DirectoryExists(const std::wstring& path) override { return files_.DirectoryExists(path); }
    bool ListDirectory(const std::wstring& path, std::vector<DirectoryEntry>& entries) override {
        return files_.ListDirectory(path, entries);
    }
    bool CreateFolder(const std::wstring& path) override { return files_.CreateFolder(path); }
    bool CopyOneFile(const std::wstring& from, const std::wstring& to, bool failIfExists) override {
        return files_.CopyOneFile(from, to, failIfExists);
    }
    bool RemoveFile(const std::wstring& path) override { return files_.RemoveFile(path); }
    FileWriteResult WriteNewFile(const std::wstring& path, const uint8_t* data,
                                 size_t size) override {
        return files_.WriteNewFile(path, data, size);
    }
    bool SetNormalAttributes(const std::wstring& path) override {
        return files_.SetNormalAttributes(path);
    }
    bool RemoveFolder(const std::wstring& path) override { return files_.RemoveFolder(path); }
    bool ReplaceFileAtomically(const std::wstring& path,
                               const std::vector<uint8_t>& contents) override {
        return files_.ReplaceFileAtomically(path, contents);
    }

private:
    FileSystem& files_;
};

}  // namespace tavrin::test
