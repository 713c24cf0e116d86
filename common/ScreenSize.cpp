#include "common/ScreenSize.h"

namespace tavrin {

std::wstring ResolutionFolder(int32_t screenWidth, int32_t screenHeight) {
    const int64_t area = int64_t{screenWidth} * screenHeight;
    if (area > int64_t{1920} * 1080) return std::wstring(kScreenSizeFolderNames[0]) + L"\\";
    if (area > int64_t{1366} * 768) return std::wstring(kScreenSizeFolderNames[1]) + L"\\";
    if (area > int64_t{960} * 540) return std::wstring(kScreenSizeFolderNames[2]) + L"\\";
    return L"";
}

}  // namespace tavrin
