#include "setup/Deployment.h"

#include <algorithm>

#include "ports/TextCase.h"

namespace tavrin::setup {
namespace {

constexpr size_t kCopyPathMaxLength = 255;
constexpr size_t kLinkPathMaxLength = 259;

std::wstring WithoutTrailingBackslash(std::wstring path) {
    if (!path.empty() && path.back() == L'\\') path.pop_back();
    return path;
}

// The text after the last backslash, ignoring one trailing backslash.
std::wstring LastComponent(const std::wstring& path) {
    const std::wstring trimmed = WithoutTrailingBackslash(path);
    return trimmed.substr(trimmed.find_last_of(L'\\') + 1);
}

std::wstring Join(const std::wstring& folder, const std::wstring& name) {
    return WithoutTrailingBackslash(folder) + L"\\" + name;
}

void CreateLoggedFolder(FileSystem& files, DebugLog& log, const std::wstring& folder,
                        InstallRecord* record) {
    log.Write(L"##### Create Directory = " + folder + L"\n");
    if (files.CreateFolder(folder)) {
        if (record != nullptr) record->AddFolder(folder);
    } else {
        log.Write(L"***** Create Directory FAIL! *****\n");
    }
}

bool Fits(DebugLog& log, const std::wstring& path) {
    if (path.size() <= kCopyPathMaxLength) return true;
    log.Write(L"***** Path too long, not copied: " + path + L" *****\n");
    return false;
}

}  // namespace

std::optional<PayloadBytes> FindPayload(PayloadSource& payloads, uint16_t identifier,
                                        const std::wstring& type) {
    const std::optional<PayloadBytes> payload = payloads.Find(identifier, type);
    if (!payload || payload->size == 0 || payload->data == nullptr) return std::nullopt;
    return payload;
}

int WritePayload(FileSystem& files, const std::wstring& path, const PayloadBytes& payload) {
    switch (files.WriteNewFile(path, payload.data, payload.size)) {
        case FileWriteResult::Ok: return 0;
        case FileWriteResult::OpenFailed: return 1;
        case FileWriteResult::ShortWrite: break;
    }
    return 2;
}

std::vector<DirectoryEntry> ListInOrder(FileSystem& files, const std::wstring& folder) {
    std::vector<DirectoryEntry> entries;
    files.ListDirectory(folder, entries);
    std::sort(entries.begin(), entries.end(), [](const DirectoryEntry& a, const DirectoryEntry& b) {
        return UpperCase(a.name) < UpperCase(b.name);
    });
    return entries;
}

std::wstring FirstFileName(FileSystem& files, const std::wstring& folder) {
    for (const DirectoryEntry& entry : ListInOrder(files, folder)) {
        if (!entry.isDirectory && entry.name.rfind(L".", 0) != 0) return entry.name;
    }
    return L"";
}

void CreateFolderChain(FileSystem& files, const std::wstring& path, InstallRecord* record) {
    for (size_t end = path.find(L'\\'); end != std::wstring::npos;
         end = path.find(L'\\', end + 1)) {
        const std::wstring prefix = path.substr(0, end + 1);
        if (files.CreateFolder(prefix) && record != nullptr) record->AddFolder(prefix);
    }
}

int CopyFolderTree(FileSystem& files, DebugLog& log, const std::wstring& source,
                   const std::wstring& target, InstallRecord* record) {
    if (source.find(L'\\') == std::wstring::npos || target.find(L'\\') == std::wstring::npos) {
        return 0;
    }
    // 1. Copying X into Y makes Y\X, unless Y is X already.
    const std::wstring sourceName = LastComponent(source);
    std::wstring folder = WithoutTrailingBackslash(target);
    if (!EqualsIgnoringCase(LastComponent(target), sourceName)) {
        folder = Join(folder, sourceName);
    }
    if (!Fits(log, folder)) return 1;
    // 2.
    CreateLoggedFolder(files, log, folder, record);
    // 3.
    std::vector<DirectoryEntry> entries;
    files.ListDirectory(source, entries);
    for (const DirectoryEntry& entry : entries) {
        const std::wstring from = Join(source, entry.name);
        const std::wstring to = Join(folder, entry.name);
        if (!Fits(log, from) || !Fits(log, to)) continue;
        if (entry.isDirectory) {
            CopyFolderTree(files, log, from, to, record);
            files.SetNormalAttributes(to);
        } else if (files.CopyOneFile(from, to, false)) {
            files.SetNormalAttributes(to);
            if (record != nullptr) record->AddFile(to);
        }
    }
    return 1;
}

std::wstring ShortcutPath(Environment& environment, const CAudioConfig& config, ShortcutKind kind,
                          const std::wstring& name) {
    std::wstring path;
    if (kind == ShortcutKind::Desktop) {
        path = environment.GetKnownFolder(KnownFolder::Desktop);
    } else {
        path = environment.GetKnownFolder(KnownFolder::CommonPrograms);
        if (kind == ShortcutKind::StartMenu && !config.ShortcutFolderNameUp.empty()) {
            path += L"\\" + config.ShortcutFolderNameUp;
        }
        path += L"\\" + config.ShortcutFolderName;
    }
    path += L"\\" + name + L".lnk";
    return path.size() <= kLinkPathMaxLength ? path : L"";
}

void CreateShortcut(FileSystem& files, Environment& environment, SetupSystem& system,
                    const CAudioConfig& config, ShortcutKind kind, const std::wstring& name,
                    const std::wstring& target, InstallRecord* record) {
    const std::wstring link = ShortcutPath(environment, config, kind, name);
    if (link.empty()) return;
    if (kind != ShortcutKind::Desktop) {
        const std::wstring programs = environment.GetKnownFolder(KnownFolder::CommonPrograms);
        std::wstring folder = programs;
        if (kind == ShortcutKind::StartMenu && !config.ShortcutFolderNameUp.empty()) {
            folder += L"\\" + config.ShortcutFolderNameUp;
            if (files.CreateFolder(folder) && record != nullptr) record->AddFolder(folder);
        }
        folder += L"\\" + config.ShortcutFolderName;
        if (files.CreateFolder(folder) && record != nullptr) record->AddFolder(folder);
    }
    if (system.CreateShortcut(link, target) && record != nullptr) record->AddFile(link);
}

int AddRunEntry(Registry& registry, const std::wstring& name, const std::wstring& command) {
    if (registry.CreateKey(RegistryHive::LocalMachine, kRunKey, RegistryView::Default) != 0) {
        return 1;
    }
    registry.SetValue(RegistryHive::LocalMachine, kRunKey, name, MakeStringValue(command),
                      RegistryView::Default);
    return 0;
}

bool RegisterUninstall(Registry& registry, const _REG_UNINSTALL_INFO& info) {
    if (registry.CreateKey(RegistryHive::LocalMachine, info.registryKey, RegistryView::Default) !=
        0) {
        return false;
    }
    const std::pair<const wchar_t*, const std::wstring&> values[] = {
        {L"DisplayName", info.displayName}, {L"UninstallString", info.uninstallString},
        {L"DisplayIcon", info.displayIcon}, {L"DisplayVersion", info.displayVersion},
        {L"Publisher", info.publisher},     {L"QuietUninstallString", info.quietUninstallString},
    };
    for (const auto& [name, text] : values) {
        registry.SetValue(RegistryHive::LocalMachine, info.registryKey, name, MakeStringValue(text),
                          RegistryView::Default);
    }
    return true;
}

}  // namespace tavrin::setup
