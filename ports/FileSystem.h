#pragma once
// Files and folders. Paths are in Windows form (backslashes); the portable implementation maps
// them to the host in one place.
#include <cstdint>
#include <string>
#include <vector>

namespace tavrin {

enum class FileReadResult { Ok, OpenFailed, SizeFailed, ReadFailed };
enum class FileWriteResult { Ok, OpenFailed, ShortWrite };

struct DirectoryEntry {
    std::wstring name;
    bool isDirectory = false;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    virtual FileReadResult ReadWholeFile(const std::wstring& path,
                                         std::vector<uint8_t>& contents) = 0;
    // The first `maxBytes` bytes of a file, all of it when it is shorter: a header, or a read
    // that a huge file must not turn into a huge allocation.
    virtual FileReadResult ReadFileStart(const std::wstring& path, size_t maxBytes,
                                         std::vector<uint8_t>& contents) {
        const FileReadResult result = ReadWholeFile(path, contents);
        if (contents.size() > maxBytes) contents.resize(maxBytes);
        return result;
    }
    virtual bool FileExists(const std::wstring& path) = 0;
    virtual bool DirectoryExists(const std::wstring& path) = 0;
    // Entries of a folder, without "." and "..", in no particular order.
    virtual bool ListDirectory(const std::wstring& path, std::vector<DirectoryEntry>& entries) = 0;
    virtual bool CreateFolder(const std::wstring& path) = 0;
    virtual bool CopyOneFile(const std::wstring& from, const std::wstring& to,
                             bool failIfExists) = 0;
    virtual bool RemoveFile(const std::wstring& path) = 0;
    // Creates the file or truncates it and writes `size` bytes in one call, the way a program
    // file is put in place; a file that a running program holds fails to open.
    virtual FileWriteResult WriteNewFile(const std::wstring& path, const uint8_t* data,
                                         size_t size) = 0;
    // Clears read-only, hidden and system (FILE_ATTRIBUTE_NORMAL) of a file or folder.
    virtual bool SetNormalAttributes(const std::wstring& path) = 0;
    // Removes a folder; fails when the folder still holds anything.
    virtual bool RemoveFolder(const std::wstring& path) = 0;
    // Writes a temporary file in the same folder, flushes it, then swaps it in, so that a crash
    // leaves either the old file or the new one, never a torn one.
    virtual bool ReplaceFileAtomically(const std::wstring& path,
                                       const std::vector<uint8_t>& contents) = 0;
};

}  // namespace tavrin
