#pragma once
// The registry values the setup program hands to the control application and the service.
#include <cstdint>
#include <string>

#include "ports/Platform.h"

namespace tavrin::REGINI_MGR {

inline constexpr wchar_t kSharedKeyName[] = L"ZRN 58xx Software";
inline constexpr wchar_t kEncValueMapKeyName[] = L"ZRN 58xx Software\\EncValueMap";
inline constexpr wchar_t kEncEnableValue[] = L"EncEnable";
inline constexpr wchar_t kVoiceMagicEnableValue[] = L"VoiceMagicEnable";
inline constexpr wchar_t kVoiceMagicLevelValue[] = L"VoiceMagicLevel";
inline constexpr wchar_t kVirtual7ch1ScalarValue[] = L"Virtual7ch1Scalar";
inline constexpr wchar_t kEncScalarValue[] = L"EncScalar";
inline constexpr wchar_t kEncGpioValue[] = L"EncGpio";

// Both report success whatever happens: the setup program goes on without the value.
int WriteSharedString(Registry& registry, const std::wstring& keyPath, const std::wstring& name,
                      const std::wstring& text);
int WriteSharedDword(Registry& registry, const std::wstring& keyPath, const std::wstring& name,
                     uint32_t number);

// The control application's reads: the key is created when missing; false when the value is
// not there (or not a number).
bool ReadSharedDword(Registry& registry, const std::wstring& keyPath, const std::wstring& name,
                     uint32_t& number);
// A device's value name under EncValueMap: "VID_%.4X&PID_%.4X".
std::wstring EncValueName(uint16_t vendorId, uint16_t productId);

// Copies sections DefaultSet and EncValueMap of the shipped configuration to the shared key.
void WriteSharedDefaults(ProfileStore& profiles, Registry& registry,
                         const std::wstring& configFile);

}  // namespace tavrin::REGINI_MGR
