#pragma once
// What installations put on the machine, kept beside the installed program, so that the
// uninstaller removes exactly that and nothing the user added.
#include <string>
#include <vector>

#include "ports/FileSystem.h"

namespace tavrin::setup {

inline constexpr wchar_t kInstallRecordFileName[] = L"Installed.log";

class InstallRecord {
public:
    // A file written or copied; a folder only when this installation created it.
    void AddFile(const std::wstring& path);
    void AddFolder(const std::wstring& path);
    const std::vector<std::wstring>& Files() const { return files_; }
    // In the order they were created: parents before their subfolders.
    const std::vector<std::wstring>& Folders() const { return folders_; }

    // Adds what an earlier installation recorded in the file; a missing or unreadable file
    // adds nothing.
    void Merge(FileSystem& files, const std::wstring& path);
    // UTF-16 text, one "F <path>" or "D <path>" a line, swapped in whole.
    bool Save(FileSystem& files, const std::wstring& path) const;

private:
    std::vector<std::wstring> files_;
    std::vector<std::wstring> folders_;
};

}  // namespace tavrin::setup
