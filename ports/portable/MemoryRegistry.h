#pragma once
#include <map>
#include <mutex>

#include "ports/Registry.h"

namespace tavrin {

// A registry held in memory: the registry of a host that has none. Key and value names compare
// case-insensitively as on Windows; the 32-bit and 64-bit views are separate trees, as for a
// 32-bit process on 64-bit Windows.
class MemoryRegistry final : public Registry {
public:
    long CreateKey(RegistryHive hive, const std::wstring& path, RegistryView view) override;
    long SetValue(RegistryHive hive, const std::wstring& path, const std::wstring& name,
                  const RegistryValue& value, RegistryView view) override;
    long QueryValue(RegistryHive hive, const std::wstring& path, const std::wstring& name,
                    RegistryValue& value, RegistryView view) override;
    long DeleteValue(RegistryHive hive, const std::wstring& path, const std::wstring& name,
                     RegistryView view) override;
    long DeleteTree(RegistryHive hive, const std::wstring& path, RegistryView view) override;
    long EnumValueNames(RegistryHive hive, const std::wstring& path,
                        std::vector<std::wstring>& names, RegistryView view) override;
    long EnumSubKeyNames(RegistryHive hive, const std::wstring& path,
                         std::vector<std::wstring>& names, RegistryView view) override;

    bool KeyExists(RegistryHive hive, const std::wstring& path, RegistryView view) const;
    // Makes every later write fail with access denied, like HKLM without administrator rights.
    void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }

private:
    struct Key {
        std::wstring name;                                                      // as first created
        std::map<std::wstring, std::pair<std::wstring, RegistryValue>> values;  // folded name
    };
    using KeyId = std::wstring;  // hive, view and folded path

    static KeyId MakeKeyId(RegistryHive hive, const std::wstring& path, RegistryView view);

    mutable std::mutex mutex_;
    std::map<KeyId, Key> keys_;
    bool readOnly_ = false;
};

}  // namespace tavrin
