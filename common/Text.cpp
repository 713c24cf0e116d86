#include "common/Text.h"

#include <algorithm>

#include "ports/TextCase.h"

namespace tavrin {

std::wstring_view TrimBlanks(std::wstring_view text) {
    const auto blank = [](wchar_t c) { return c == L' ' || c == L'\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

void AddProblem(std::wstring& problems, const std::wstring& problem) {
    if (!problems.empty()) problems += L"; ";
    problems += problem;
}

std::wstring WithoutAmpersands(std::wstring_view text) {
    std::wstring result;
    for (const wchar_t c : text) {
        if (c != L'&') result += c;
    }
    return result;
}

void SortFolderNames(std::vector<std::wstring>& names) {
    std::sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
        const std::wstring upperA = UpperCase(a);
        const std::wstring upperB = UpperCase(b);
        return upperA != upperB ? upperA < upperB : a < b;
    });
}

std::vector<std::wstring> SortedSubfolders(FileSystem& files, const std::wstring& folder) {
    std::vector<DirectoryEntry> entries;
    files.ListDirectory(folder, entries);
    std::vector<std::wstring> folders;
    for (const DirectoryEntry& entry : entries) {
        if (entry.isDirectory) folders.push_back(entry.name);
    }
    SortFolderNames(folders);
    return folders;
}

}  // namespace tavrin
