#pragma once
// Case folding the way the product compares names, IDs and switches: character by character with
// the C library's wide rules.
#include <string>
#include <string_view>

namespace tavrin {

std::wstring UpperCase(std::wstring_view text);
std::wstring LowerCase(std::wstring_view text);
bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b);

}  // namespace tavrin
