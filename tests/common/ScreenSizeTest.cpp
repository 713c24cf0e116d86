#include "common/ScreenSize.h"

#include <gtest/gtest.h>

namespace tavrin {
namespace {

TEST(ResolutionFolder, ByScreenAreaWithTheBoundaryScreens) {
    const struct {
        int32_t width, height;
        const wchar_t* folder;
    } cases[] = {
        {2560, 1440, L"1920x1080\\"},
        {1921, 1080, L"1920x1080\\"},
        {1920, 1081, L"1920x1080\\"},
        {1920, 1080, L"1366x768\\"},  // exactly 1920 x 1080
        {1600, 900, L"1366x768\\"},
        {1280, 1024, L"1366x768\\"},
        {1367, 768, L"1366x768\\"},
        {1366, 769, L"1366x768\\"},
        {1366, 768, L"960x540\\"},  // exactly 1366 x 768
        {1024, 768, L"960x540\\"},
        {961, 540, L"960x540\\"},
        {960, 540, L""},
        {800, 600, L""},
        {0, 0, L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ResolutionFolder(c.width, c.height), c.folder) << c.width << "x" << c.height;
    }
}

}  // namespace
}  // namespace tavrin
