#pragma once
// Skins, language texts and the setup's background pictures may come in a folder per screen size.
#include <array>
#include <cstdint>
#include <string>

namespace tavrin {

// The screen-size folders, largest first.
inline constexpr std::array<const wchar_t*, 3> kScreenSizeFolderNames = {L"1920x1080", L"1366x768",
                                                                         L"960x540"};

// "1920x1080\", "1366x768\", "960x540\" or "": the largest size whose area the screen's exceeds.
std::wstring ResolutionFolder(int32_t screenWidth, int32_t screenHeight);

}  // namespace tavrin
