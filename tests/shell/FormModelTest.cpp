#include "app/form/FormModel.h"

#include <gtest/gtest.h>

#include <set>

#include "app/form/PictureFile.h"

namespace tavrin {
namespace {

TEST(FormDesign, ReadsComponentsAndTheirProperties) {
    std::vector<std::wstring> problems;
    FormModel form = ParseFormDesign(
        "# comment\n"
        "Form client=819,513\n"
        "Image Back at=0,0,819,513 down=FormMouseDown\n"
        "Label Caption tag=7 at=10,20,30,40 align=center vcenter colour=0x00FF00 size=11 "
        "caption=\"Two words\" hidden\n"
        "Shape Swatch tag=151 at=1,2,3,4 shape=9 brush=0x123456 disabled\n",
        problems);
    EXPECT_TRUE(problems.empty());
    EXPECT_EQ(form.clientWidth, 819);
    ASSERT_EQ(form.Components().size(), 3u);
    const Component& caption = form.Components()[1];
    EXPECT_EQ(caption.kind, ComponentKind::Label);
    EXPECT_EQ(caption.tag, 7);
    EXPECT_EQ(caption.left + caption.top + caption.width + caption.height, 100);
    EXPECT_EQ(caption.alignment, TextAlignment::Center);
    EXPECT_TRUE(caption.centreVertically);
    EXPECT_FALSE(caption.visible);
    EXPECT_EQ(caption.fontColour, 0x00FF00u);
    EXPECT_EQ(caption.fontSize, 11);
    EXPECT_EQ(caption.caption, L"Two words");
    const Component& swatch = form.Components()[2];
    EXPECT_EQ(swatch.shape, ShapeCode::Circle) << "unknown shape codes draw a circle";
    EXPECT_FALSE(swatch.enabled);
    EXPECT_EQ(form.Components()[0].onMouseDown, L"FormMouseDown");
}

TEST(FormDesign, ReportsUnreadableLinesAndKeepsTheRest) {
    struct Case {
        const char* line;
        const wchar_t* problem;
    };
    const Case cases[] = {
        {"Button Ok at=1,2,3,4", L"line 1: unknown kind or missing name: Button"},
        {"Image", L"line 1: unknown kind or missing name: Image"},
        {"Image Pic at=1,2,3", L"line 1: cannot read at=1,2,3 of Pic"},
        {"Image Pic at=1,2,3,4,5", L"line 1: cannot read at=1,2,3,4,5 of Pic"},
        {"Image Pic tag=twelve", L"line 1: cannot read tag=twelve of Pic"},
        {"Image Pic colour=0xZZ", L"line 1: cannot read colour=0xZZ of Pic"},
        {"Image Pic glow=1", L"line 1: cannot read glow=1 of Pic"},
        {"Label Cap align=middle", L"line 1: cannot read align=middle of Cap"},
        {"Image Pic hidden=1", L"line 1: cannot read hidden=1 of Pic"},
        {"Image Pic down=", L"line 1: cannot read down= of Pic"},
        {"Form client=819", L"line 1: expected \"Form client=width,height\""},
    };
    for (const Case& c : cases) {
        std::vector<std::wstring> problems;
        const std::string text = std::string(c.line) + "\nImage Good at=0,0,1,1\n";
        FormModel form = ParseFormDesign(text, problems);
        ASSERT_EQ(problems.size(), 1u) << c.line;
        EXPECT_EQ(problems[0], c.problem);
        EXPECT_NE(form.Find(L"Good"), nullptr) << c.line;
    }
    std::vector<std::wstring> problems;
    FormModel form = ParseFormDesign("Image A\nLabel A\n", problems);
    EXPECT_EQ(problems, std::vector<std::wstring>{L"line 2: duplicate name A"});
    EXPECT_EQ(form.Components().size(), 1u);
}

TEST(FormModel, LooksUpByTagFromTheLastAndFindsControlsUnderAPoint) {
    std::vector<std::wstring> problems;
    FormModel form = ParseFormDesign(
        "Image Back at=0,0,100,100\n"
        "Image First tag=5 at=10,10,20,20\n"
        "Label Caption tag=5 at=10,10,20,20 disabled\n"
        "Image Second tag=5 at=50,50,20,20\n"
        "Image Hidden at=50,50,20,20 hidden\n",
        problems);
    ASSERT_TRUE(problems.empty());
    EXPECT_EQ(form.FindByTag(ComponentKind::Image, 5)->name, L"Second");
    EXPECT_EQ(form.FindByTag(ComponentKind::Label, 5)->name, L"Caption");
    EXPECT_EQ(form.FindByTag(ComponentKind::Shape, 5), nullptr);

    struct Case {
        int x, y;
        bool includeDisabled;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {15, 15, true, L"Caption"},  // the disabled caption lies on top
        {15, 15, false, L"First"},   // presses go through it to the picture
        {29, 29, false, L"First"},   // last pixel inside
        {30, 30, false, L"Back"},    // right/bottom edges are outside
        {55, 55, true, L"Second"},   // hidden components are never found
        {-1, 5, true, nullptr},
    };
    for (const Case& c : cases) {
        const Component* found = form.ControlAt(c.x, c.y, c.includeDisabled);
        if (c.expected == nullptr) {
            EXPECT_EQ(found, nullptr);
        } else {
            ASSERT_NE(found, nullptr) << c.x << "," << c.y;
            EXPECT_EQ(found->name, c.expected) << c.x << "," << c.y;
        }
    }
}

// The window as shipped: every control the handlers look up exists with its tag.
TEST(MainFormDesign, HasEveryControlTheHandlersUse) {
    std::vector<std::wstring> problems;
    FormModel form = ParseFormDesign(MainFormDesignText(), problems);
    for (const std::wstring& problem : problems) {
        ADD_FAILURE() << std::string(problem.begin(), problem.end());
    }
    EXPECT_EQ(form.clientWidth, 819);
    EXPECT_EQ(form.clientHeight, 513);

    const int32_t pictureTags[] = {0,  1,   2,   3,   4,   5,   6,   7,   8,   9,   10,  11, 12, 13,
                                   14, 15,  16,  17,  18,  19,  20,  21,  22,  23,  24,  25, 26, 27,
                                   28, 29,  30,  31,  32,  33,  34,  35,  36,  37,  38,  39, 40, 41,
                                   42, 43,  44,  45,  46,  47,  48,  49,  50,  51,  52,  53, 54, 55,
                                   89, 129, 133, 134, 137, 138, 226, 227, 228, 229, 233, 238};
    for (const int32_t tag : pictureTags) {
        EXPECT_NE(form.FindByTag(ComponentKind::Image, tag), nullptr) << "picture of tag " << tag;
    }
    // A caption acts through the picture of its tag, which must then be the right one.
    for (const Component& c : form.Components()) {
        if (c.kind != ComponentKind::Label || c.onMouseDown != L"OnLabelMouseDown") continue;
        const Component* picture = form.FindByTag(ComponentKind::Image, c.tag);
        ASSERT_NE(picture, nullptr) << std::string(c.name.begin(), c.name.end());
        EXPECT_TRUE(picture->Contains(c.left + c.width / 2, c.top + c.height / 2))
            << std::string(c.name.begin(), c.name.end()) << " does not lie on its picture";
    }
    // The pairing of the effect buttons is by tag, not by name.
    EXPECT_EQ(form.FindByTag(ComponentKind::Image, 18)->name, L"EffectButtonStoneGalleryImage");
    EXPECT_EQ(form.FindByTag(ComponentKind::Image, 20)->name, L"EffectButtonBathroomImage");
    EXPECT_EQ(form.FindByTag(ComponentKind::Label, 18)->name, L"EffectBathroomLabel");
    EXPECT_FALSE(form.Find(L"Page3DImage")->visible);
    EXPECT_FALSE(form.Find(L"Page3DImage")->enabled);
}

std::vector<uint8_t> PngHeader(uint32_t width, uint32_t height) {
    std::vector<uint8_t> bytes = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n',
                                  0,    0,   0,   13,  'I',  'H',  'D',  'R'};
    for (const uint32_t v : {width, height}) {
        for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(uint8_t(v >> shift));
    }
    return bytes;
}

std::vector<uint8_t> BmpHeader(int32_t width, int32_t height) {
    std::vector<uint8_t> bytes(54, 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    bytes[14] = 40;
    for (int i = 0; i < 4; ++i) {
        bytes[18 + i] = uint8_t(uint32_t(width) >> (8 * i));
        bytes[22 + i] = uint8_t(uint32_t(height) >> (8 * i));
    }
    return bytes;
}

TEST(PictureFile, ReadsTheSizeOfPngAndBmpAndRefusesTheRest) {
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        int32_t width, height;  // 0: refused
    };
    std::vector<uint8_t> truncated = PngHeader(10, 20);
    truncated.resize(20);
    std::vector<uint8_t> wrongChunk = PngHeader(10, 20);
    wrongChunk[12] = 'X';
    const Case cases[] = {
        {"png", PngHeader(86, 28), 86, 28},
        {"bmp", BmpHeader(12, 34), 12, 34},
        {"top-down bmp", BmpHeader(12, -34), 12, 34},
        {"truncated png", truncated, 0, 0},
        {"png without IHDR", wrongChunk, 0, 0},
        {"empty png", PngHeader(0, 5), 0, 0},
        {"huge png", PngHeader(100000, 5), 0, 0},
        {"negative bmp width", BmpHeader(-5, 5), 0, 0},
        {"text", {'h', 'e', 'l', 'l', 'o'}, 0, 0},
        {"nothing", {}, 0, 0},
    };
    for (const Case& c : cases) {
        const auto size = PictureSizeOf(c.bytes);
        if (c.width == 0) {
            EXPECT_FALSE(size.has_value()) << c.what;
        } else {
            ASSERT_TRUE(size.has_value()) << c.what;
            EXPECT_EQ(size->width, c.width) << c.what;
            EXPECT_EQ(size->height, c.height) << c.what;
        }
    }
}

}  // namespace
}  // namespace tavrin
