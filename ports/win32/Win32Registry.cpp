#include "ports/win32/Win32Registry.h"

#include <windows.h>

namespace tavrin {
namespace {

HKEY RootOf(RegistryHive hive) {
    return hive == RegistryHive::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

REGSAM Access(REGSAM access, RegistryView view) {
    return view == RegistryView::Native64 ? (access | KEY_WOW64_64KEY) : access;
}

// Opens a key for one call and closes it on every path.
class OpenKey {
public:
    OpenKey(RegistryHive hive, const std::wstring& path, REGSAM access, RegistryView view) {
        result_ = RegOpenKeyExW(RootOf(hive), path.c_str(), 0, Access(access, view), &key_);
    }
    ~OpenKey() {
        if (result_ == ERROR_SUCCESS) RegCloseKey(key_);
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;

    long Result() const { return result_; }
    HKEY Key() const { return key_; }

private:
    HKEY key_ = nullptr;
    long result_ = ERROR_INVALID_HANDLE;
};

}  // namespace

long Win32Registry::CreateKey(RegistryHive hive, const std::wstring& path, RegistryView view) {
    HKEY key = nullptr;
    const long result = RegCreateKeyExW(RootOf(hive), path.c_str(), 0, nullptr, 0,
                                        Access(KEY_ALL_ACCESS, view), nullptr, &key, nullptr);
    if (result == ERROR_SUCCESS) RegCloseKey(key);
    return result;
}

long Win32Registry::SetValue(RegistryHive hive, const std::wstring& path, const std::wstring& name,
                             const RegistryValue& value, RegistryView view) {
    OpenKey key(hive, path, KEY_SET_VALUE, view);
    if (key.Result() != ERROR_SUCCESS) return key.Result();
    return RegSetValueExW(key.Key(), name.c_str(), 0, value.type, value.data.data(),
                          static_cast<DWORD>(value.data.size()));
}

long Win32Registry::QueryValue(RegistryHive hive, const std::wstring& path,
                               const std::wstring& name, RegistryValue& value, RegistryView view) {
    OpenKey key(hive, path, KEY_QUERY_VALUE, view);
    if (key.Result() != ERROR_SUCCESS) return key.Result();
    DWORD type = 0;
    DWORD size = 0;
    long result = RegQueryValueExW(key.Key(), name.c_str(), nullptr, &type, nullptr, &size);
    if (result != ERROR_SUCCESS) return result;
    value.data.assign(size, 0);
    result = RegQueryValueExW(key.Key(), name.c_str(), nullptr, &type, value.data.data(), &size);
    if (result != ERROR_SUCCESS) return result;
    value.data.resize(size);
    value.type = type;
    return ERROR_SUCCESS;
}

long Win32Registry::DeleteValue(RegistryHive hive, const std::wstring& path,
                                const std::wstring& name, RegistryView view) {
    OpenKey key(hive, path, KEY_SET_VALUE, view);
    if (key.Result() != ERROR_SUCCESS) return key.Result();
    return RegDeleteValueW(key.Key(), name.c_str());
}

long Win32Registry::DeleteTree(RegistryHive hive, const std::wstring& path, RegistryView view) {
    const size_t split = path.find_last_of(L'\\');
    const std::wstring parent = split == std::wstring::npos ? L"" : path.substr(0, split);
    const std::wstring child = split == std::wstring::npos ? path : path.substr(split + 1);
    OpenKey key(hive, parent, KEY_ALL_ACCESS, view);
    if (key.Result() != ERROR_SUCCESS) return key.Result();
    // With a subkey name RegDeleteTreeW removes that key itself as well.
    return RegDeleteTreeW(key.Key(), child.c_str());
}

long Win32Registry::EnumValueNames(RegistryHive hive, const std::wstring& path,
                                   std::vector<std::wstring>& names, RegistryView view) {
    OpenKey key(hive, path, KEY_QUERY_VALUE, view);
    if (key.Result() != ERROR_SUCCESS) return key.Result();
    names.clear();
    for (DWORD index = 0;; ++index) {
        wchar_t name[16384];
        DWORD length = 16384;
        const long result =
            RegEnumValueW(key.Key(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS) return ERROR_SUCCESS;
        if (result != ERROR_SUCCESS) return result;
        names.emplace_back(name, length);
    }
}

long Win32Registry::EnumSubKeyNames(RegistryHive hive, const std::wstring& path,
                                    std::vector<std::wstring>& names, RegistryView view) {
    OpenKey key(hive, path, KEY_ENUMERATE_SUB_KEYS, view);
    if (key.Result() != ERROR_SUCCESS) return key.Result();
    names.clear();
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];  // the longest key name is 255 characters
        DWORD length = 256;
        const long result =
            RegEnumKeyExW(key.Key(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS) return ERROR_SUCCESS;
        if (result != ERROR_SUCCESS) return result;
        names.emplace_back(name, length);
    }
}

}  // namespace tavrin
