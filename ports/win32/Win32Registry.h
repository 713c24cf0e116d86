#pragma once
#include "ports/Registry.h"

namespace tavrin {

class Win32Registry final : public Registry {
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
};

}  // namespace tavrin
