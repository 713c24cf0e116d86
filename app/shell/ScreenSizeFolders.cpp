#include "app/shell/ScreenSizeFolders.h"

#include <algorithm>

#include "ports/TextCase.h"

namespace tavrin {
namespace {

bool IsScreenSizeFolder(const std::wstring& name) {
    return std::any_of(kScreenSizeFolderNames.begin(), kScreenSizeFolderNames.end(),
                       [&](const wchar_t* folder) { return EqualsIgnoringCase(name, folder); });
}

}  // namespace

std::wstring ScreenSizeFolderOf(FileSystem& files, const std::wstring& topLevel,
                                const std::wstring& screenSize, const std::wstring& name) {
    const std::wstring own = topLevel + screenSize + name + L"\\";
    if (screenSize.empty() || files.DirectoryExists(own)) return own;
    return topLevel + name + L"\\";
}

std::vector<std::wstring> ChoosableFolders(FileSystem& files, const std::wstring& topLevel,
                                           const std::wstring& screenSize) {
    std::vector<std::wstring> names;
    auto addFoldersOf = [&](const std::wstring& folder) {
        std::vector<DirectoryEntry> entries;
        files.ListDirectory(folder, entries);
        for (const DirectoryEntry& entry : entries) {
            if (!entry.isDirectory || IsScreenSizeFolder(entry.name)) continue;
            const bool known = std::any_of(names.begin(), names.end(), [&](const auto& name) {
                return EqualsIgnoringCase(name, entry.name);
            });
            if (!known) names.push_back(entry.name);
        }
    };
    if (!screenSize.empty()) addFoldersOf(topLevel + screenSize);
    addFoldersOf(topLevel);
    return names;
}

}  // namespace tavrin
