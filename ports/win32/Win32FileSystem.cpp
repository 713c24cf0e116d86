#include "ports/win32/Win32FileSystem.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>

namespace tavrin {
namespace {

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    HANDLE Get() const { return handle_; }
    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    void Close() {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE handle_;
};

std::wstring WithoutTrailingBackslash(const std::wstring& path) {
    std::wstring trimmed = path;
    while (trimmed.size() > 3 && trimmed.back() == L'\\') trimmed.pop_back();
    return trimmed;
}

}  // namespace

FileReadResult Win32FileSystem::ReadWholeFile(const std::wstring& path,
                                              std::vector<uint8_t>& contents) {
    return ReadFileStart(path, SIZE_MAX, contents);
}

FileReadResult Win32FileSystem::ReadFileStart(const std::wstring& path, size_t maxBytes,
                                              std::vector<uint8_t>& contents) {
    FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) return FileReadResult::OpenFailed;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size)) return FileReadResult::SizeFailed;
    const uint64_t wanted = std::min<uint64_t>(static_cast<uint64_t>(size.QuadPart), maxBytes);
    if (wanted > 0x7FFFFFFF) return FileReadResult::SizeFailed;
    contents.assign(static_cast<size_t>(wanted), 0);
    DWORD done = 0;
    if (!contents.empty() && (!::ReadFile(file.Get(), contents.data(),
                                          static_cast<DWORD>(contents.size()), &done, nullptr) ||
                              done != contents.size())) {
        return FileReadResult::ReadFailed;
    }
    return FileReadResult::Ok;
}

bool Win32FileSystem::FileExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32FileSystem::DirectoryExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(WithoutTrailingBackslash(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32FileSystem::ListDirectory(const std::wstring& path,
                                    std::vector<DirectoryEntry>& entries) {
    std::wstring pattern = WithoutTrailingBackslash(path) + L"\\*";
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        entries.push_back({name, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return true;
}

bool Win32FileSystem::CreateFolder(const std::wstring& path) {
    return CreateDirectoryW(WithoutTrailingBackslash(path).c_str(), nullptr) != 0;
}

bool Win32FileSystem::CopyOneFile(const std::wstring& from, const std::wstring& to,
                                  bool failIfExists) {
    return CopyFileW(from.c_str(), to.c_str(), failIfExists ? TRUE : FALSE) != 0;
}

bool Win32FileSystem::RemoveFile(const std::wstring& path) {
    return DeleteFileW(path.c_str()) != 0;
}

FileWriteResult Win32FileSystem::WriteNewFile(const std::wstring& path, const uint8_t* data,
                                              size_t size) {
    FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) return FileWriteResult::OpenFailed;
    if (size > 0xFFFFFFFFu) return FileWriteResult::ShortWrite;
    DWORD written = 0;
    if (size > 0 && (!::WriteFile(file.Get(), data, static_cast<DWORD>(size), &written, nullptr) ||
                     written != size)) {
        return FileWriteResult::ShortWrite;
    }
    return FileWriteResult::Ok;
}

bool Win32FileSystem::SetNormalAttributes(const std::wstring& path) {
    return SetFileAttributesW(WithoutTrailingBackslash(path).c_str(), FILE_ATTRIBUTE_NORMAL) != 0;
}

bool Win32FileSystem::RemoveFolder(const std::wstring& path) {
    return RemoveDirectoryW(WithoutTrailingBackslash(path).c_str()) != 0;
}

bool Win32FileSystem::ReplaceFileAtomically(const std::wstring& path,
                                            const std::vector<uint8_t>& contents) {
    // A unique temporary file in the target's own folder, so that the swap stays on one volume.
    const size_t split = path.find_last_of(L'\\');
    const std::wstring folder = split == std::wstring::npos ? L"." : path.substr(0, split);
    wchar_t temporaryName[MAX_PATH] = {};
    if (GetTempFileNameW(folder.c_str(), L"tvr", 0, temporaryName) == 0) return false;
    const std::wstring temporary = temporaryName;
    {
        FileHandle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.Valid()) {
            DeleteFileW(temporary.c_str());
            return false;
        }
        DWORD written = 0;
        const bool ok = (contents.empty() ||
                         (::WriteFile(file.Get(), contents.data(),
                                      static_cast<DWORD>(contents.size()), &written, nullptr) &&
                          written == contents.size())) &&
                        FlushFileBuffers(file.Get());
        file.Close();
        if (!ok) {
            DeleteFileW(temporary.c_str());
            return false;
        }
    }
    // ReplaceFileW keeps the target's attributes and security; it needs an existing target.
    if (FileExists(path) && ReplaceFileW(path.c_str(), temporary.c_str(), nullptr,
                                         REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
        return true;
    }
    if (MoveFileExW(temporary.c_str(), path.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    DeleteFileW(temporary.c_str());
    return false;
}

}  // namespace tavrin
