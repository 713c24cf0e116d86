#include "ports/portable/MemoryRegistry.h"

#include "ports/TextCase.h"

namespace tavrin {
namespace {

constexpr long kSuccess = 0;
constexpr long kFileNotFound = 2;
constexpr long kAccessDenied = 5;

std::wstring Fold(const std::wstring& text) {
    return UpperCase(text);
}

std::wstring TrimSeparators(const std::wstring& path) {
    size_t begin = 0;
    size_t end = path.size();
    while (begin < end && path[begin] == L'\\') ++begin;
    while (end > begin && path[end - 1] == L'\\') --end;
    return path.substr(begin, end - begin);
}

}  // namespace

MemoryRegistry::KeyId MemoryRegistry::MakeKeyId(RegistryHive hive, const std::wstring& path,
                                                RegistryView view) {
    std::wstring id = hive == RegistryHive::LocalMachine ? L"HKLM" : L"HKCU";
    id += view == RegistryView::Native64 ? L"64" : L"32";
    const std::wstring trimmed = TrimSeparators(path);
    if (!trimmed.empty()) id += L"\\" + Fold(trimmed);
    return id;
}

long MemoryRegistry::CreateKey(RegistryHive hive, const std::wstring& path, RegistryView view) {
    std::lock_guard<std::mutex> lock(mutex_);
    const KeyId id = MakeKeyId(hive, path, view);
    if (keys_.count(id) != 0) return kSuccess;
    if (readOnly_) return kAccessDenied;
    // Creating a key creates every missing parent, as RegCreateKeyExW does.
    const std::wstring trimmed = TrimSeparators(path);
    for (size_t at = trimmed.find(L'\\'); at != std::wstring::npos;
         at = trimmed.find(L'\\', at + 1)) {
        const KeyId parent = MakeKeyId(hive, trimmed.substr(0, at), view);
        if (keys_.count(parent) == 0) keys_[parent].name = trimmed.substr(0, at);
    }
    keys_[id].name = trimmed;
    return kSuccess;
}

long MemoryRegistry::SetValue(RegistryHive hive, const std::wstring& path, const std::wstring& name,
                              const RegistryValue& value, RegistryView view) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto key = keys_.find(MakeKeyId(hive, path, view));
    if (key == keys_.end()) return kFileNotFound;
    if (readOnly_) return kAccessDenied;
    key->second.values[Fold(name)] = {name, value};
    return kSuccess;
}

long MemoryRegistry::QueryValue(RegistryHive hive, const std::wstring& path,
                                const std::wstring& name, RegistryValue& value, RegistryView view) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto key = keys_.find(MakeKeyId(hive, path, view));
    if (key == keys_.end()) return kFileNotFound;
    auto found = key->second.values.find(Fold(name));
    if (found == key->second.values.end()) return kFileNotFound;
    value = found->second.second;
    return kSuccess;
}

long MemoryRegistry::DeleteValue(RegistryHive hive, const std::wstring& path,
                                 const std::wstring& name, RegistryView view) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto key = keys_.find(MakeKeyId(hive, path, view));
    if (key == keys_.end()) return kFileNotFound;
    if (readOnly_) return kAccessDenied;
    return key->second.values.erase(Fold(name)) != 0 ? kSuccess : kFileNotFound;
}

long MemoryRegistry::DeleteTree(RegistryHive hive, const std::wstring& path, RegistryView view) {
    std::lock_guard<std::mutex> lock(mutex_);
    const KeyId id = MakeKeyId(hive, path, view);
    if (keys_.count(id) == 0) return kFileNotFound;
    if (readOnly_) return kAccessDenied;
    const KeyId prefix = id + L"\\";
    for (auto it = keys_.begin(); it != keys_.end();) {
        const bool below = it->first == id || it->first.compare(0, prefix.size(), prefix) == 0;
        it = below ? keys_.erase(it) : std::next(it);
    }
    return kSuccess;
}

long MemoryRegistry::EnumValueNames(RegistryHive hive, const std::wstring& path,
                                    std::vector<std::wstring>& names, RegistryView view) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto key = keys_.find(MakeKeyId(hive, path, view));
    if (key == keys_.end()) return kFileNotFound;
    names.clear();
    for (const auto& entry : key->second.values) names.push_back(entry.second.first);
    return kSuccess;
}

long MemoryRegistry::EnumSubKeyNames(RegistryHive hive, const std::wstring& path,
                                     std::vector<std::wstring>& names, RegistryView view) {
    std::lock_guard<std::mutex> lock(mutex_);
    const KeyId id = MakeKeyId(hive, path, view);
    if (keys_.count(id) == 0) return kFileNotFound;
    names.clear();
    // Folded ids sort the children alphabetically, the order RegEnumKeyExW shows in practice.
    const KeyId prefix = id + L"\\";
    for (auto it = keys_.lower_bound(prefix);
         it != keys_.end() && it->first.compare(0, prefix.size(), prefix) == 0; ++it) {
        if (it->first.find(L'\\', prefix.size()) != KeyId::npos) continue;  // deeper down
        const std::wstring& name = it->second.name;
        names.push_back(name.substr(name.find_last_of(L'\\') + 1));
    }
    return kSuccess;
}

bool MemoryRegistry::KeyExists(RegistryHive hive, const std::wstring& path,
                               RegistryView view) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return keys_.count(MakeKeyId(hive, path, view)) != 0;
}

}  // namespace tavrin
