#include "ports/Registry.h"

namespace tavrin {

RegistryValue MakeStringValue(const std::wstring& text) {
    RegistryValue value;
    value.type = kRegSz;
    value.data.reserve((text.size() + 1) * 2);
    for (wchar_t c : text) {
        const uint32_t unit = static_cast<uint32_t>(c) & 0xFFFF;
        value.data.push_back(static_cast<uint8_t>(unit & 0xFF));
        value.data.push_back(static_cast<uint8_t>(unit >> 8));
    }
    value.data.push_back(0);
    value.data.push_back(0);
    return value;
}

RegistryValue MakeDwordValue(uint32_t number) {
    RegistryValue value;
    value.type = kRegDword;
    for (int shift = 0; shift < 32; shift += 8) {
        value.data.push_back(static_cast<uint8_t>((number >> shift) & 0xFF));
    }
    return value;
}

bool ReadStringValue(const RegistryValue& value, std::wstring& text) {
    if (value.type != kRegSz && value.type != kRegExpandSz) return false;
    text.clear();
    for (size_t i = 0; i + 1 < value.data.size(); i += 2) {
        const wchar_t c = static_cast<wchar_t>(value.data[i] | (value.data[i + 1] << 8));
        if (c == L'\0') break;
        text += c;
    }
    return true;
}

bool ReadDwordValue(const RegistryValue& value, uint32_t& number) {
    if (value.type != kRegDword || value.data.size() != 4) return false;
    number = 0;
    for (int i = 3; i >= 0; --i) number = (number << 8) | value.data[static_cast<size_t>(i)];
    return true;
}

}  // namespace tavrin
