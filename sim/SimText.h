#pragma once
// Text helpers of the virtual headset: UTF-8 at the edges, hex dumps, numbers in scripts, files.
#include <cstdint>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>

namespace tavrin::sim {

std::string ToUtf8(std::wstring_view text);
std::wstring FromUtf8(std::string_view text);

// "00 60 20 01 10 00..(65)": the bytes up to the last non-zero one (at least five), then the
// zero tail folded into "00..(length)".
std::string HexReport(const uint8_t* bytes, std::size_t length);
// Every byte, "01 00 00 00".
std::string HexBytes(const uint8_t* bytes, std::size_t length);
std::string Hex(uint32_t value, int digits);

// Decimal, or hexadecimal with the prefix 0x; the whole text must be the number.
std::optional<uint32_t> ParseNumber(std::string_view text);

bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b);
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

// Opens a file named in Windows form or host form (backslashes work on Linux too).
std::ofstream OpenOutput(const std::wstring& path, bool append);
std::ifstream OpenInput(const std::wstring& path);

}  // namespace tavrin::sim
