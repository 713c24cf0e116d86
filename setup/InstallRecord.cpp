#include "setup/InstallRecord.h"

#include <algorithm>

#include "ports/TextCase.h"

namespace tavrin::setup {
namespace {

void AddOnce(std::vector<std::wstring>& list, const std::wstring& path) {
    const bool known = std::any_of(list.begin(), list.end(), [&](const std::wstring& entry) {
        return EqualsIgnoringCase(entry, path);
    });
    if (!known) list.push_back(path);
}

void AppendUnit(std::vector<uint8_t>& bytes, wchar_t c) {
    const uint32_t unit = static_cast<uint32_t>(c) & 0xFFFF;
    bytes.push_back(static_cast<uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<uint8_t>(unit >> 8));
}

}  // namespace

void InstallRecord::AddFile(const std::wstring& path) {
    AddOnce(files_, path);
}

void InstallRecord::AddFolder(const std::wstring& path) {
    std::wstring folder = path;
    while (!folder.empty() && folder.back() == L'\\') folder.pop_back();
    if (!folder.empty()) AddOnce(folders_, folder);
}

void InstallRecord::Merge(FileSystem& files, const std::wstring& path) {
    std::vector<uint8_t> bytes;
    if (files.ReadWholeFile(path, bytes) != FileReadResult::Ok || bytes.size() < 2 ||
        bytes[0] != 0xFF || bytes[1] != 0xFE) {
        return;
    }
    std::wstring line;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
        const wchar_t c = static_cast<wchar_t>(bytes[i] | (bytes[i + 1] << 8));
        if (c != L'\n') {
            if (c != L'\r') line += c;
            continue;
        }
        if (line.rfind(L"F ", 0) == 0) AddFile(line.substr(2));
        if (line.rfind(L"D ", 0) == 0) AddFolder(line.substr(2));
        line.clear();
    }
}

bool InstallRecord::Save(FileSystem& files, const std::wstring& path) const {
    std::vector<uint8_t> bytes{0xFF, 0xFE};
    auto addLine = [&](const wchar_t* kind, const std::wstring& entry) {
        for (const wchar_t c : std::wstring(kind) + entry + L"\r\n") AppendUnit(bytes, c);
    };
    for (const std::wstring& folder : folders_) addLine(L"D ", folder);
    for (const std::wstring& file : files_) addLine(L"F ", file);
    return files.ReplaceFileAtomically(path, bytes);
}

}  // namespace tavrin::setup
