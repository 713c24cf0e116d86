#pragma once
// The Windows registry, one call per value; keys are opened and closed inside each call.
#include <cstdint>
#include <string>
#include <vector>

namespace tavrin {

enum class RegistryHive { LocalMachine, CurrentUser };

// Default is the view of the calling process (the 32-bit view for the shipped 32-bit programs);
// Native64 adds KEY_WOW64_64KEY.
enum class RegistryView { Default, Native64 };

enum RegistryType : uint32_t {
    kRegSz = 1,
    kRegExpandSz = 2,
    kRegBinary = 3,
    kRegDword = 4,
    kRegMultiSz = 7,
};

struct RegistryValue {
    uint32_t type = 0;
    std::vector<uint8_t> data;
};

class Registry {
public:
    virtual ~Registry() = default;

    // Results are Win32 error codes: 0 success, 2 not found, 5 access denied.
    virtual long CreateKey(RegistryHive hive, const std::wstring& path, RegistryView view) = 0;
    virtual long SetValue(RegistryHive hive, const std::wstring& path, const std::wstring& name,
                          const RegistryValue& value, RegistryView view) = 0;
    virtual long QueryValue(RegistryHive hive, const std::wstring& path, const std::wstring& name,
                            RegistryValue& value, RegistryView view) = 0;
    virtual long DeleteValue(RegistryHive hive, const std::wstring& path, const std::wstring& name,
                             RegistryView view) = 0;
    // Deletes the key with everything below it.
    virtual long DeleteTree(RegistryHive hive, const std::wstring& path, RegistryView view) = 0;
    virtual long EnumValueNames(RegistryHive hive, const std::wstring& path,
                                std::vector<std::wstring>& names, RegistryView view) = 0;
    // The names of the key's direct subkeys.
    virtual long EnumSubKeyNames(RegistryHive hive, const std::wstring& path,
                                 std::vector<std::wstring>& names, RegistryView view) = 0;
};

// Value bytes as RegSetValueExW takes them.
RegistryValue MakeStringValue(const std::wstring& text);  // REG_SZ with its terminating null
RegistryValue MakeDwordValue(uint32_t number);            // REG_DWORD, little-endian
bool ReadStringValue(const RegistryValue& value, std::wstring& text);
bool ReadDwordValue(const RegistryValue& value, uint32_t& number);

}  // namespace tavrin
