#include "sim/SimText.h"

#include <algorithm>
#include <cwctype>
#include <filesystem>

namespace tavrin::sim {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

void AppendUtf8(std::string& out, uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

void AppendWide(std::wstring& out, uint32_t code) {
    if constexpr (sizeof(wchar_t) == 2) {
        if (code >= 0x10000) {
            code -= 0x10000;
            out += static_cast<wchar_t>(0xD800 + (code >> 10));
            out += static_cast<wchar_t>(0xDC00 + (code & 0x3FF));
            return;
        }
    }
    out += static_cast<wchar_t>(code);
}

std::filesystem::path HostPath(const std::wstring& path) {
#if defined(_WIN32)
    return std::filesystem::path(path);
#else
    std::string host = ToUtf8(path);
    std::replace(host.begin(), host.end(), '\\', '/');
    return std::filesystem::path(host);
#endif
}

}  // namespace

std::string ToUtf8(std::wstring_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        uint32_t code = static_cast<uint32_t>(text[i]);
        if (sizeof(wchar_t) == 2 && code >= 0xD800 && code < 0xDC00 && i + 1 < text.size()) {
            const uint32_t low = static_cast<uint32_t>(text[i + 1]);
            if (low >= 0xDC00 && low < 0xE000) {
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        AppendUtf8(out, code);
    }
    return out;
}

std::wstring FromUtf8(std::string_view text) {
    std::wstring out;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        int extra = lead < 0x80 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
        uint32_t code = extra == 0 ? lead : lead & (0x3F >> extra);
        ++i;
        for (; extra > 0 && i < text.size(); --extra, ++i) {
            code = (code << 6) | (static_cast<unsigned char>(text[i]) & 0x3F);
        }
        AppendWide(out, code);
    }
    return out;
}

std::string HexBytes(const uint8_t* bytes, std::size_t length) {
    std::string out;
    for (std::size_t i = 0; i < length; ++i) {
        if (i != 0) out += ' ';
        out += kHexDigits[bytes[i] >> 4];
        out += kHexDigits[bytes[i] & 0x0F];
    }
    return out;
}

std::string HexReport(const uint8_t* bytes, std::size_t length) {
    std::size_t shown = length;
    while (shown > 5 && bytes[shown - 1] == 0) --shown;
    std::string out = HexBytes(bytes, shown);
    if (shown < length) {
        out += (shown == 0 ? "" : " ");
        out += "00..(" + std::to_string(length) + ")";
    }
    return out;
}

std::string Hex(uint32_t value, int digits) {
    std::string out(static_cast<std::size_t>(digits), '0');
    for (int i = digits - 1; i >= 0; --i, value >>= 4) {
        out[static_cast<std::size_t>(i)] = kHexDigits[value & 0x0F];
    }
    return out;
}

std::optional<uint32_t> ParseNumber(std::string_view text) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty() || text.size() > 10) return std::nullopt;
    uint64_t value = 0;
    for (const char c : text) {
        int digit = -1;
        if (c >= '0' && c <= '9') digit = c - '0';
        if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        if (digit < 0) return std::nullopt;
        value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
    }
    if (value > 0xFFFFFFFFu) return std::nullopt;
    return static_cast<uint32_t>(value);
}

bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) {
               return std::towlower(static_cast<wint_t>(x)) ==
                      std::towlower(static_cast<wint_t>(y));
           });
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               const auto lower = [](char c) {
                   return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
               };
               return lower(x) == lower(y);
           });
}

std::ofstream OpenOutput(const std::wstring& path, bool append) {
    return std::ofstream(HostPath(path), append ? std::ios::app : std::ios::trunc);
}

std::ifstream OpenInput(const std::wstring& path) {
    return std::ifstream(HostPath(path), std::ios::binary);
}

}  // namespace tavrin::sim
