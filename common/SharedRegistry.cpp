#include "common/SharedRegistry.h"

#include <cwchar>
#include <vector>

#include "common/AudioConfig.h"

namespace tavrin::REGINI_MGR {
namespace {

constexpr int kEncValueMapLastKey = 19;

std::wstring SharedPath(const std::wstring& keyPath) {
    return L"SOFTWARE\\" + keyPath;
}

int WriteSharedValue(Registry& registry, const std::wstring& keyPath, const std::wstring& name,
                     const RegistryValue& value) {
    const std::wstring path = SharedPath(keyPath);
    registry.CreateKey(RegistryHive::LocalMachine, path, RegistryView::Default);
    registry.SetValue(RegistryHive::LocalMachine, path, name, value, RegistryView::Default);
    return 0;
}

}  // namespace

int WriteSharedString(Registry& registry, const std::wstring& keyPath, const std::wstring& name,
                      const std::wstring& text) {
    return WriteSharedValue(registry, keyPath, name, MakeStringValue(text));
}

int WriteSharedDword(Registry& registry, const std::wstring& keyPath, const std::wstring& name,
                     uint32_t number) {
    return WriteSharedValue(registry, keyPath, name, MakeDwordValue(number));
}

bool ReadSharedDword(Registry& registry, const std::wstring& keyPath, const std::wstring& name,
                     uint32_t& number) {
    const std::wstring path = SharedPath(keyPath);
    if (registry.CreateKey(RegistryHive::LocalMachine, path, RegistryView::Default) != 0) {
        return false;
    }
    RegistryValue value;
    return registry.QueryValue(RegistryHive::LocalMachine, path, name, value,
                               RegistryView::Default) == 0 &&
           ReadDwordValue(value, number);
}

std::wstring EncValueName(uint16_t vendorId, uint16_t productId) {
    wchar_t name[32];
    std::swprintf(name, 32, L"VID_%.4X&PID_%.4X", static_cast<unsigned>(vendorId),
                  static_cast<unsigned>(productId));
    return name;
}

void WriteSharedDefaults(ProfileStore& profiles, Registry& registry,
                         const std::wstring& configFile) {
    using namespace config_keys;
    // 1. Device levels: "VID_xxxx&PID_xxxx,level" under keys 1..19.
    for (int n = 1; n <= kEncValueMapLastKey; ++n) {
        std::wstring value;
        ReadConfigText(profiles, configFile, kEncValueMapSection, std::to_wstring(n), value);
        const std::vector<std::wstring> fields = SplitAtCommas(value);
        if (fields.size() < 2) continue;
        WriteSharedDword(registry, kEncValueMapKeyName, fields[0],
                         static_cast<uint32_t>(LenientInteger(fields[1])));
    }

    auto firstField = [&](const ConfigKey& key) {
        return SplitAtCommas(
            ReadConfigValue(profiles, configFile, key.section, key.key, kConfigNumberCapacity));
    };

    // 2. EncEnable is always written; empty means off.
    const std::vector<std::wstring> encEnable = firstField(kEncEnable);
    WriteSharedDword(registry, kSharedKeyName, kEncEnableValue,
                     encEnable.empty() ? 0u : static_cast<uint32_t>(LenientInteger(encEnable[0])));

    // 3. The others only when set, so that an empty key keeps what is there.
    const std::pair<const ConfigKey&, const wchar_t*> optionalValues[] = {
        {kVoiceMagicEnable, kVoiceMagicEnableValue},
        {kVoiceMagicLevel, kVoiceMagicLevelValue},
        {kV7ch1Scalar, kVirtual7ch1ScalarValue},
        {kEncScalar, kEncScalarValue},
        {kEncGpio, kEncGpioValue},
    };
    for (const auto& [key, valueName] : optionalValues) {
        const std::vector<std::wstring> fields = firstField(key);
        if (fields.empty()) continue;
        WriteSharedDword(registry, kSharedKeyName, valueName,
                         static_cast<uint32_t>(LenientInteger(fields[0])));
    }
}

}  // namespace tavrin::REGINI_MGR
