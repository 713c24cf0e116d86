#pragma once
#include <cstdint>
#include <map>
#include <new>
#include <set>
#include <string>
#include <vector>

#include "ports/FileSystem.h"

namespace tavrin::test {

// Files and folders held in memory, with the Windows rules the product relies on: paths compare
// without regard to ASCII case, a file can only be written into an existing folder, a folder is
// created one level at a time, and drive roots ("C:\") always exist. Folder paths may carry a
// trailing backslash or not. Reads of chosen files can be made to fail, and files can be locked
// as a running program locks its own file: they read, but cannot be written or removed.
class MemoryFileSystem final : public FileSystem {
public:
    // How reads of a file fail; OutOfMemory throws std::bad_alloc as an allocation of the
    // file's contents would.
    enum class ReadFault { OpenFailed, SizeFailed, ReadFailed, OutOfMemory };

    // Test set-up: the file and every missing folder above it are created.
    void AddFile(const std::wstring& path, std::vector<uint8_t> contents) {
        AddDirectory(ParentOf(path));
        files[path] = std::move(contents);
    }
    void AddTextFile(const std::wstring& path, const std::string& text) {
        AddFile(path, std::vector<uint8_t>(text.begin(), text.end()));
    }
    // Test set-up: the folder and every missing folder above it are created.
    void AddDirectory(const std::wstring& path) {
        const std::wstring folder = WithoutTrailingBackslash(path);
        if (IsRoot(folder) || directories.count(folder) != 0) return;
        AddDirectory(ParentOf(folder));
        directories.insert(folder);
    }
    // Every read of the file fails this way until the fault is removed.
    void FailReads(const std::wstring& path, ReadFault fault) { readFaults[path] = fault; }
    void RemoveReadFault(const std::wstring& path) { readFaults.erase(path); }
    // The contents of a file, or null when there is none.
    const std::vector<uint8_t>* FindFile(const std::wstring& path) const {
        auto found = files.find(path);
        return found == files.end() ? nullptr : &found->second;
    }

    FileReadResult ReadWholeFile(const std::wstring& path,
                                 std::vector<uint8_t>& contents) override {
        ++readCount;
        auto fault = readFaults.find(path);
        if (fault != readFaults.end()) {
            switch (fault->second) {
                case ReadFault::OpenFailed: return FileReadResult::OpenFailed;
                case ReadFault::SizeFailed: return FileReadResult::SizeFailed;
                case ReadFault::OutOfMemory: throw std::bad_alloc();
                case ReadFault::ReadFailed:
                    // As a real read: the buffer was sized before the read failed.
                    if (const std::vector<uint8_t>* file = FindFile(path)) {
                        contents.assign(file->size(), 0);
                    }
                    return FileReadResult::ReadFailed;
            }
        }
        const std::vector<uint8_t>* file = FindFile(path);
        if (file == nullptr) return FileReadResult::OpenFailed;
        contents = *file;
        return FileReadResult::Ok;
    }

    bool FileExists(const std::wstring& path) override { return files.count(path) != 0; }

    bool DirectoryExists(const std::wstring& path) override {
        const std::wstring folder = WithoutTrailingBackslash(path);
        return IsRoot(folder) || directories.count(folder) != 0;
    }

    bool ListDirectory(const std::wstring& path, std::vector<DirectoryEntry>& entries) override {
        if (!DirectoryExists(path)) return false;
        const std::wstring folder = WithoutTrailingBackslash(path);
        for (const std::wstring& directory : directories) {
            if (SamePath(ParentOf(directory), folder)) {
                entries.push_back({NameOf(directory), true});
            }
        }
        for (const auto& [file, contents] : files) {
            if (SamePath(ParentOf(file), folder)) entries.push_back({NameOf(file), false});
        }
        return true;
    }

    // As CreateDirectoryW: fails when the folder or a file of that name exists, or when the
    // folder above it does not.
    bool CreateFolder(const std::wstring& path) override {
        const std::wstring folder = WithoutTrailingBackslash(path);
        if (IsRoot(folder) || directories.count(folder) != 0 || files.count(folder) != 0 ||
            !DirectoryExists(ParentOf(folder))) {
            return false;
        }
        directories.insert(folder);
        return true;
    }

    bool CopyOneFile(const std::wstring& from, const std::wstring& to, bool failIfExists) override {
        const std::vector<uint8_t>* source = FindFile(from);
        if (source == nullptr || (failIfExists && FileExists(to)) || lockedFiles.count(to) != 0) {
            return false;
        }
        std::vector<uint8_t> contents = *source;
        return StoreFile(to, std::move(contents));
    }

    bool RemoveFile(const std::wstring& path) override {
        return lockedFiles.count(path) == 0 && files.erase(path) != 0;
    }

    FileWriteResult WriteNewFile(const std::wstring& path, const uint8_t* data,
                                 size_t size) override {
        if (lockedFiles.count(path) != 0) return FileWriteResult::OpenFailed;
        return StoreFile(path, std::vector<uint8_t>(data, data + size))
                   ? FileWriteResult::Ok
                   : FileWriteResult::OpenFailed;
    }

    bool SetNormalAttributes(const std::wstring& path) override {
        const std::wstring target = WithoutTrailingBackslash(path);
        if (files.count(target) == 0 && directories.count(target) == 0) return false;
        normalAttributes.insert(target);
        return true;
    }

    bool RemoveFolder(const std::wstring& path) override {
        const std::wstring folder = WithoutTrailingBackslash(path);
        if (directories.count(folder) == 0) return false;
        std::vector<DirectoryEntry> entries;
        ListDirectory(folder, entries);
        if (!entries.empty()) return false;
        directories.erase(folder);
        return true;
    }

    bool ReplaceFileAtomically(const std::wstring& path,
                               const std::vector<uint8_t>& contents) override {
        return StoreFile(path, contents);
    }

    // Windows compares paths without regard to case; ASCII folding is enough for tests.
    struct PathLess {
        bool operator()(const std::wstring& left, const std::wstring& right) const {
            return Fold(left) < Fold(right);
        }
    };

    std::map<std::wstring, std::vector<uint8_t>, PathLess> files;
    std::set<std::wstring, PathLess> directories;  // without trailing backslash
    std::map<std::wstring, ReadFault, PathLess> readFaults;
    std::set<std::wstring, PathLess> lockedFiles;
    // Files and folders (without trailing backslash) that were given normal attributes.
    std::set<std::wstring, PathLess> normalAttributes;
    int readCount = 0;

private:
    static std::wstring Fold(const std::wstring& text) {
        std::wstring folded = text;
        for (wchar_t& c : folded) {
            if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
        }
        return folded;
    }
    static bool SamePath(const std::wstring& left, const std::wstring& right) {
        return Fold(left) == Fold(right);
    }
    static std::wstring WithoutTrailingBackslash(const std::wstring& path) {
        std::wstring folder = path;
        while (!folder.empty() && folder.back() == L'\\') folder.pop_back();
        return folder;
    }
    // The folder that holds a path, without trailing backslash; empty for a bare name.
    static std::wstring ParentOf(const std::wstring& path) {
        const std::wstring trimmed = WithoutTrailingBackslash(path);
        const size_t separator = trimmed.rfind(L'\\');
        return separator == std::wstring::npos ? std::wstring() : trimmed.substr(0, separator);
    }
    static std::wstring NameOf(const std::wstring& path) {
        const size_t separator = path.rfind(L'\\');
        return separator == std::wstring::npos ? path : path.substr(separator + 1);
    }
    // A drive ("C:") or the current folder of a bare name.
    static bool IsRoot(const std::wstring& folder) {
        return folder.empty() || (folder.size() == 2 && folder[1] == L':');
    }

    bool StoreFile(const std::wstring& path, std::vector<uint8_t> contents) {
        if (directories.count(WithoutTrailingBackslash(path)) != 0 ||
            !DirectoryExists(ParentOf(path))) {
            return false;
        }
        files[path] = std::move(contents);
        return true;
    }
};

}  // namespace tavrin::test
