#include "app/shell/Skin.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "ports/TextCase.h"
#include "ports/portable/MemoryRegistry.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakeEnvironment.h"
#include "tests/support/HostPorts.h"
#include "tests/support/MemoryFileSystem.h"
#include "tests/support/QuietPorts.h"
#include "tests/support/RandomBytes.h"
#include "tests/support/RecordingDebugLog.h"
#include "tests/support/RecordingUiHost.h"
#include "tests/support/TempFolder.h"

namespace tavrin {
namespace {

// ---------------------------------------------------------------------------------------------
// Test data.

void Put32(std::vector<uint8_t>& bytes, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<uint8_t>(value >> shift));
}

void Put16(std::vector<uint8_t>& bytes, uint16_t value) {
    bytes.push_back(static_cast<uint8_t>(value));
    bytes.push_back(static_cast<uint8_t>(value >> 8));
}

// A complete 24-bit BMP file of the given size, all black.
std::vector<uint8_t> Bitmap(int32_t width, int32_t height) {
    const uint32_t row = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
    const uint32_t pixels = row * static_cast<uint32_t>(height);
    std::vector<uint8_t> bytes = {'B', 'M'};
    Put32(bytes, 54 + pixels);
    Put32(bytes, 0);
    Put32(bytes, 54);
    Put32(bytes, 40);
    Put32(bytes, static_cast<uint32_t>(width));
    Put32(bytes, static_cast<uint32_t>(height));
    Put16(bytes, 1);
    Put16(bytes, 24);
    Put32(bytes, 0);
    Put32(bytes, pixels);
    Put32(bytes, 2835);
    Put32(bytes, 2835);
    Put32(bytes, 0);
    Put32(bytes, 0);
    bytes.resize(bytes.size() + pixels, 0);
    return bytes;
}

// A complete 1 x 1 PNG file.
const std::vector<uint8_t> kOnePixelPng = {
    0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48,
    0x44, 0x52, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x08, 0x06, 0x00, 0x00,
    0x00, 0x1F, 0x15, 0xC4, 0x89, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x44, 0x41, 0x54, 0x78,
    0xDA, 0x63, 0x64, 0x60, 0xF8, 0x5F, 0x0F, 0x00, 0x02, 0x87, 0x01, 0x80, 0xEB, 0x47,
    0xBA, 0x92, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};

struct Rect {
    int32_t left, top, right, bottom;
};

// Region data as the system writes it: the header, then the rectangles. `count` and `type`
// default to the honest values.
std::vector<uint8_t> Region(Rect bound, const std::vector<Rect>& rectangles, int64_t count = -1,
                            uint32_t type = 1, uint32_t headerSize = 32) {
    std::vector<uint8_t> bytes;
    Put32(bytes, headerSize);
    Put32(bytes, type);
    Put32(bytes, static_cast<uint32_t>(count < 0 ? rectangles.size() : count));
    Put32(bytes, static_cast<uint32_t>(rectangles.size() * 16));
    for (const Rect& r : std::vector<Rect>{bound}) {
        Put32(bytes, static_cast<uint32_t>(r.left));
        Put32(bytes, static_cast<uint32_t>(r.top));
        Put32(bytes, static_cast<uint32_t>(r.right));
        Put32(bytes, static_cast<uint32_t>(r.bottom));
    }
    for (const Rect& r : rectangles) {
        Put32(bytes, static_cast<uint32_t>(r.left));
        Put32(bytes, static_cast<uint32_t>(r.top));
        Put32(bytes, static_cast<uint32_t>(r.right));
        Put32(bytes, static_cast<uint32_t>(r.bottom));
    }
    return bytes;
}

std::string Narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());  // the fixtures are ASCII
}

Component Image(const std::wstring& name, int32_t tag = 0) {
    Component c;
    c.name = name;
    c.kind = ComponentKind::Image;
    c.tag = tag;
    return c;
}

Component OfKind(ComponentKind kind, const std::wstring& name, int32_t tag = 0) {
    Component c = Image(name, tag);
    c.kind = kind;
    return c;
}

bool Contains(const std::vector<std::wstring>& lines, const std::wstring& a,
              const std::wstring& b = L"") {
    for (const std::wstring& line : lines) {
        if (line.find(a) != std::wstring::npos && line.find(b) != std::wstring::npos) return true;
    }
    return false;
}

// A skin or language is looked for in the folder of the screen's size, then at the top level.
TEST(SkinScreenSizeFolders, TheScreenSizeFolderWinsOverTheTopLevel) {
    const std::wstring top = L"C:\\Tavrin\\Skin\\";
    test::MemoryFileSystem files;
    files.AddDirectory(top + L"1366x768\\Vendor");
    files.AddDirectory(top + L"1366x768\\Both");
    files.AddDirectory(top + L"Both");
    files.AddDirectory(top + L"Shared");
    files.AddDirectory(top + L"960x540\\Small");
    files.AddTextFile(top + L"readme.txt", "not a skin");
    const struct {
        const wchar_t* screenSize;
        const wchar_t* name;
        const wchar_t* folder;
    } cases[] = {
        {L"1366x768\\", L"Vendor", L"1366x768\\Vendor\\"},
        {L"1366x768\\", L"Both", L"1366x768\\Both\\"},
        {L"1366x768\\", L"both", L"1366x768\\both\\"},
        {L"1366x768\\", L"Shared", L"Shared\\"},
        {L"1920x1080\\", L"Shared", L"Shared\\"},
        {L"", L"Shared", L"Shared\\"},
        {L"1366x768\\", L"Gone", L"Gone\\"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ScreenSizeFolderOf(files, top, c.screenSize, c.name), top + c.folder)
            << Narrow(c.screenSize) << Narrow(c.name);
    }

    auto sorted = [&](const std::wstring& screenSize) {
        std::vector<std::wstring> names = ChoosableFolders(files, top, screenSize);
        std::sort(names.begin(), names.end());
        return names;
    };
    using Names = std::vector<std::wstring>;
    EXPECT_EQ(sorted(L"1366x768\\"), (Names{L"Both", L"Shared", L"Vendor"}));
    EXPECT_EQ(sorted(L"960x540\\"), (Names{L"Both", L"Shared", L"Small"}));
    EXPECT_EQ(sorted(L""), (Names{L"Both", L"Shared"})) << "screen-size folders are no skins";
}

// ---------------------------------------------------------------------------------------------
// The key list.

TEST(SkinImageKeyList, SectionsPagesAndSpecialDefaults) {
    const auto& keys = SkinImageKeys();
    auto pageOf = [&](std::wstring_view section, std::wstring_view key) {
        for (const SkinImageKey& k : keys) {
            if (section == k.section && key == k.key) return k.defaultPage;
        }
        ADD_FAILURE() << "no key " << Narrow(std::wstring(key));
        return -1;
    };
    EXPECT_EQ(keys.front().key, std::wstring_view(L"MainFormImage"));
    EXPECT_EQ(keys.back().key, std::wstring_view(L"VMFunctionDownImage"));
    EXPECT_EQ(pageOf(L"Main", L"PageLEDUpImage"), 0);
    EXPECT_EQ(pageOf(L"EQ", L"Back_EQImage"), 1);
    EXPECT_EQ(pageOf(L"EQ", L"EQ12000HzSliderImage"), 1);
    for (const wchar_t* bar :
         {L"EQ60HzBarDownImage", L"EQ300HzBarDownImage", L"EQ1200HzBarDownImage",
          L"EQ3600HzBarDownImage", L"EQ12000HzBarDownImage"}) {
        EXPECT_EQ(pageOf(L"EQ", bar), 0) << Narrow(bar);
    }
    EXPECT_EQ(pageOf(L"Mic", L"MicBarDownImage"), 0);
    EXPECT_EQ(pageOf(L"Mic", L"MicBarImage"), 3);
    EXPECT_EQ(pageOf(L"Effect", L"EffectPicStoneGalleryImage"), 2);
    EXPECT_EQ(pageOf(L"Virtual7ch1", L"VirtualButtonLineImage3"), 4);
    EXPECT_EQ(pageOf(L"3D", L"D3RBetaSliderImage"), 5);
    EXPECT_EQ(pageOf(L"LED", L"ColorSingleCheckDownImage"), 6);
    EXPECT_EQ(pageOf(L"ENC", L"ENCValueImage"), 7);
    EXPECT_EQ(pageOf(L"VoiceMagic", L"VMEffect4DownImage"), 8);
    EXPECT_EQ(pageOf(L"About", L"LogoImage"), 0);
    EXPECT_EQ(pageOf(L"Main", L"LogoImage"), 0);

    // Apart from the two logos every key is named once, also when case is ignored: a control
    // finds its key by name.
    std::set<std::wstring> names;
    for (const SkinImageKey& k : keys) {
        if (std::wstring_view(k.section) == L"About") continue;
        EXPECT_TRUE(names.insert(LowerCase(k.key)).second) << Narrow(k.key);
    }
    // The integer, panel and swatch keys are not image keys.
    for (const wchar_t* other : {L"BevelLine", L"EQSlider", L"EffectPanel", L"MicPanel",
                                 L"VirtualCenter", L"Color01Shape", L"ENCSlider"}) {
        EXPECT_EQ(names.count(LowerCase(other)), 0u) << Narrow(other);
    }
    EXPECT_EQ(keys.size(), 37u + 36u + 30u + 30u + 16u + 27u + 1u + 19u + 5u + 12u);
}

// ---------------------------------------------------------------------------------------------
// Image values.

SkinImageRecord Parse(std::wstring_view value, int32_t page = 1, bool oldVersion = false,
                      std::wstring* problem = nullptr) {
    return ParseSkinImageValue(value, page, oldVersion, problem);
}

SkinImageRecord Make(std::wstring file, std::optional<int32_t> left, std::optional<int32_t> top,
                     std::optional<int32_t> width, std::optional<int32_t> height, int32_t page) {
    SkinImageRecord r;
    r.fileName = std::move(file);
    if (left) r.left = *left, r.hasLeft = 1;
    if (top) r.top = *top, r.hasTop = 1;
    if (width) r.width = *width, r.hasWidth = 1;
    if (height) r.height = *height, r.hasHeight = 1;
    r.page = page;
    return r;
}

TEST(SkinImageValue, SpellingsThatReadAlike) {
    const auto none = std::nullopt;
    const struct {
        const wchar_t* value;
        SkinImageRecord expected;
    } cases[] = {
        {L"a.bmp", Make(L"a.bmp", none, none, none, none, 1)},
        {L"a.bmp,,,,,", Make(L"a.bmp", none, none, none, none, 1)},
        {L"a.bmp,", Make(L"a.bmp", none, none, none, none, 1)},
        {L"a.bmp,10,20", Make(L"a.bmp", 10, 20, none, none, 1)},
        {L"a.bmp, 10 ,\t20", Make(L"a.bmp", 10, 20, none, none, 1)},
        {L"a.bmp,,,30,40", Make(L"a.bmp", none, none, 30, 40, 1)},
        {L"a.bmp,1,2,3,4,0", Make(L"a.bmp", 1, 2, 3, 4, 0)},
        {L"a.bmp,-5,+6,,,3", Make(L"a.bmp", -5, 6, none, none, 3)},
        {L"a.bmp, ,  ,,,", Make(L"a.bmp", none, none, none, none, 1)},
        {L",10,20", Make(L"", 10, 20, none, none, 1)},
        {L"", Make(L"", none, none, none, none, 1)},
        {L"(null)", Make(L"(null)", none, none, none, none, 1)},
    };
    for (const auto& c : cases) {
        std::wstring problem;
        EXPECT_EQ(Parse(c.value, 1, false, &problem), c.expected) << Narrow(c.value);
        EXPECT_EQ(problem, L"") << Narrow(c.value);
    }
}

TEST(SkinImageValue, NamesAFileOnlyWhenNotEmptyAndNotNull) {
    EXPECT_TRUE(Parse(L"a.bmp").NamesFile());
    EXPECT_FALSE(Parse(L"").NamesFile());
    EXPECT_FALSE(Parse(L"(null),1,2").NamesFile());
    const SkinImageRecord positionOnly = Parse(L",10,20");
    EXPECT_FALSE(positionOnly.NamesFile());
    EXPECT_EQ(positionOnly.left, 10);
    EXPECT_EQ(positionOnly.top, 20);
}

TEST(SkinImageValue, OldVersionMovesPageImagesOnly) {
    EXPECT_EQ(Parse(L"a.bmp,10,20", 1, true),
              Make(L"a.bmp", 402, 124, std::nullopt, std::nullopt, 1));
    EXPECT_EQ(Parse(L"a.bmp,10,20", 0, true),
              Make(L"a.bmp", 10, 20, std::nullopt, std::nullopt, 0));
    // The section's page decides, not the page item.
    EXPECT_EQ(Parse(L"a.bmp,10,20,,,0", 4, true),
              Make(L"a.bmp", 402, 124, std::nullopt, std::nullopt, 0));
    EXPECT_EQ(Parse(L"a.bmp,10,20,,,4", 0, true),
              Make(L"a.bmp", 10, 20, std::nullopt, std::nullopt, 4));
    // Only given coordinates move; sizes never.
    EXPECT_EQ(Parse(L"a.bmp,,20,30,40", 6, true), Make(L"a.bmp", std::nullopt, 124, 30, 40, 6));
}

TEST(SkinImageValue, WhatDoesNotFitIsReported) {
    const std::wstring name63 = std::wstring(59, L'n') + L".bmp";
    const std::wstring name64 = std::wstring(60, L'n') + L".bmp";
    const std::wstring item127 = L"0" + std::wstring(125, L'0') + L"7";
    const std::wstring item128 = L"0" + item127;
    const struct {
        std::wstring value;
        SkinImageRecord expected;
        const wchar_t* problem;  // a part of the report; empty: none
    } cases[] = {
        {name63, Make(name63, std::nullopt, std::nullopt, std::nullopt, std::nullopt, 2), L""},
        {name64 + L",10,20", Make(L"", 10, 20, std::nullopt, std::nullopt, 2), L"file name"},
        {L"a.bmp,1,2,3,4,5,6,7", Make(L"a.bmp", 1, 2, 3, 4, 5), L"more than 6 items"},
        {L"a.bmp,x,20", Make(L"a.bmp", std::nullopt, 20, std::nullopt, std::nullopt, 2),
         L"item 2 \"x\" is not a number"},
        {L"a.bmp,10,20px,30", Make(L"a.bmp", 10, std::nullopt, 30, std::nullopt, 2), L"20px"},
        {L"a.bmp,,,,,page",
         Make(L"a.bmp", std::nullopt, std::nullopt, std::nullopt, std::nullopt, 2), L"item 6"},
        {L"a.bmp,99999999999",
         Make(L"a.bmp", std::nullopt, std::nullopt, std::nullopt, std::nullopt, 2),
         L"not a number"},
        {L"a.bmp," + item127, Make(L"a.bmp", 7, std::nullopt, std::nullopt, std::nullopt, 2), L""},
        {L"a.bmp," + item128 + L",5",
         Make(L"a.bmp", std::nullopt, 5, std::nullopt, std::nullopt, 2), L"longer than 127"},
        {L"a.bmp,1,2,3,4,5," + std::wstring(260, L'x'), Make(L"a.bmp", 1, 2, 3, 4, 5),
         L"longer than 255"},
        // Cut at 255 characters, as the read buffer cuts: the last item loses its end.
        {L"a.bmp," + std::wstring(120, L' ') + L"1," + std::wstring(120, L' ') + L"2,345678",
         Make(L"a.bmp", 1, 2, 34567, std::nullopt, 2), L"longer than 255"},
    };
    for (const auto& c : cases) {
        std::wstring problem;
        EXPECT_EQ(Parse(c.value, 2, false, &problem), c.expected) << Narrow(c.value);
        if (std::wstring_view(c.problem).empty()) {
            EXPECT_EQ(problem, L"") << Narrow(c.value);
        } else {
            EXPECT_NE(problem.find(c.problem), std::wstring::npos)
                << Narrow(c.value) << " -> " << Narrow(problem);
        }
    }
    // Without a place for the report the record reads the same.
    EXPECT_EQ(Parse(L"a.bmp,x,20", 2),
              Make(L"a.bmp", std::nullopt, 20, std::nullopt, std::nullopt, 2));
}

// ---------------------------------------------------------------------------------------------
// Window region data.

TEST(SkinRegionData, AcceptsAWellFormedRegion) {
    const std::vector<uint8_t> bytes =
        Region({0, 0, 819, 513}, {{10, 0, 809, 1}, {0, 1, 819, 513}});
    std::wstring problem;
    const auto region = CheckRegionData(bytes, problem);
    ASSERT_TRUE(region.has_value()) << Narrow(problem);
    EXPECT_EQ(region->width, 819);
    EXPECT_EQ(region->height, 513);
    EXPECT_EQ(region->data, bytes);
}

TEST(SkinRegionData, RefusesWhatTheSystemShouldNotBeGiven) {
    const Rect bound{0, 0, 100, 50};
    const std::vector<Rect> two = {{0, 0, 100, 10}, {5, 10, 95, 50}};
    std::vector<uint8_t> shortFile = Region(bound, two);
    shortFile.resize(31);
    std::vector<uint8_t> truncated = Region(bound, two);
    truncated.pop_back();
    std::vector<uint8_t> oversized = Region(bound, two);
    oversized.push_back(0);
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
        const wchar_t* problem;
    } cases[] = {
        {"empty", {}, L"shorter"},
        {"short", shortFile, L"shorter"},
        {"header size", Region(bound, two, -1, 1, 40), L"header size"},
        {"type", Region(bound, two, -1, 2), L"type"},
        {"truncated", truncated, L"truncated"},
        {"oversized", oversized, L"oversized"},
        {"count too high", Region(bound, two, 3), L"truncated"},
        {"count too low", Region(bound, two, 1), L"oversized"},
        {"absurd count", Region(bound, two, 1000001), L"more than 1000000"},
        {"empty box", Region({0, 0, 0, 50}, two), L"bounding box"},
        {"flat box", Region({0, 50, 100, 50}, two), L"bounding box"},
        {"huge box", Region({0, 0, 16385, 50}, {{0, 0, 16385, 50}}), L"bounding box"},
        {"negative box", Region({-1, 0, 100, 50}, two), L"bounding box"},
        {"empty rectangle", Region(bound, {{0, 0, 100, 10}, {5, 10, 5, 50}}), L"rectangle 2"},
        {"rectangle outside", Region(bound, {{0, 0, 101, 10}}), L"outside"},
    };
    for (const auto& c : cases) {
        std::wstring problem;
        EXPECT_FALSE(CheckRegionData(c.bytes, problem).has_value()) << c.name;
        EXPECT_NE(problem.find(c.problem), std::wstring::npos)
            << c.name << " -> " << Narrow(problem);
    }
    std::wstring problem;
    EXPECT_TRUE(CheckRegionData(Region({0, 0, 16384, 16384}, {{0, 0, 16384, 16384}}), problem))
        << "the largest box is allowed";
    EXPECT_TRUE(CheckRegionData(Region({0, 0, 10, 10}, {}), problem)) << "no rectangles";
}

// ---------------------------------------------------------------------------------------------
// Pictures in controls, on an in-memory file system.

class SkinPictureTest : public ::testing::Test {
protected:
    void SetUp() override {
        skins.SetSkinRoot(kRoot);
        skins.LoadSkinSettings(L"Blue");  // no SkinSetting.ini: everything empty
        log.lines.clear();
        files.AddFile(kRoot + L"Blue\\pic.bmp", Bitmap(5, 3));
        files.AddTextFile(kRoot + L"Blue\\notes.bmp", "not a picture");
    }

    const std::wstring kRoot = L"C:\\Program Files\\Tavrin\\Skin\\1366x768\\";
    test::MemoryFileSystem files;
    test::EmptyProfileStore profiles;
    MemoryRegistry registry;
    test::FakeEnvironment environment;
    test::FakeClock clock;
    test::RecordingDebugLog log;
    Platform platform{profiles, registry, files, environment, clock, log};
    RecordingUiHost ui;
    FormModel form;
    SkinManager skins{platform, ui, form};
};

TEST_F(SkinPictureTest, NoFileHidesTheControl) {
    for (const wchar_t* value : {L"", L"(null)", L",10,20"}) {
        Component c = Image(L"CloseImage");
        c.picture = L"old.bmp";
        skins.ShowSkinImage(Parse(value), c);
        EXPECT_FALSE(c.visible) << Narrow(value);
        EXPECT_EQ(c.picture, L"old.bmp") << Narrow(value);
    }
    EXPECT_TRUE(log.lines.empty());
}

TEST_F(SkinPictureTest, WithoutASizeTheControlTakesThePictures) {
    Component c = Image(L"CloseImage");
    c.visible = false;
    c.left = 1, c.top = 2, c.width = 50, c.height = 60;
    skins.ShowSkinImage(Parse(L"pic.bmp,700,5"), c);
    EXPECT_TRUE(c.visible);
    EXPECT_EQ(c.picture, kRoot + L"Blue\\pic.bmp");
    EXPECT_EQ(c.left, 700);
    EXPECT_EQ(c.top, 5);
    EXPECT_TRUE(c.autoSize);
    EXPECT_EQ(c.width, 5);
    EXPECT_EQ(c.height, 3);
}

TEST_F(SkinPictureTest, AGivenSizeWins) {
    Component c = Image(L"CloseImage");
    c.left = 1, c.top = 2, c.width = 50, c.height = 60;
    c.autoSize = true;
    skins.ShowSkinImage(Parse(L"pic.bmp,,,40"), c);
    EXPECT_TRUE(c.visible);
    EXPECT_EQ(c.left, 1);
    EXPECT_EQ(c.top, 2);
    EXPECT_FALSE(c.autoSize);
    EXPECT_EQ(c.width, 40);
    EXPECT_EQ(c.height, 60);
    skins.ShowSkinImage(Parse(L"pic.bmp,,,,70"), c);
    EXPECT_EQ(c.width, 40);
    EXPECT_EQ(c.height, 70);
}

TEST_F(SkinPictureTest, AMissingOrUnreadablePictureHidesTheControlWithANote) {
    const struct { const wchar_t* file; } cases[] = {{L"gone.bmp"}, {L"notes.bmp"}};
    for (const auto& c : cases) {
        Component image = Image(L"MinimizeImage");
        image.picture = kRoot + L"Blue\\pic.bmp";
        skins.ShowSkinImage(Parse(c.file), image);
        EXPECT_FALSE(image.visible) << Narrow(c.file);
        EXPECT_EQ(image.picture, L"") << Narrow(c.file);
        EXPECT_TRUE(Contains(log.lines, kRoot + L"Blue\\" + c.file, L"MinimizeImage"))
            << Narrow(c.file);
    }
    files.FailReads(kRoot + L"Blue\\pic.bmp", test::MemoryFileSystem::ReadFault::ReadFailed);
    skins.LoadSkinSettings(L"Blue");
    Component image = Image(L"LogoImage");
    skins.ShowSkinImage(Parse(L"pic.bmp"), image);
    EXPECT_FALSE(image.visible);
}

TEST_F(SkinPictureTest, EachPictureIsReadOncePerSkinLoad) {
    Component c = Image(L"CloseImage");
    const int before = files.readCount;
    for (int i = 0; i < 3; ++i) skins.ShowSkinImage(Parse(L"pic.bmp"), c);
    EXPECT_EQ(files.readCount, before + 1);
    skins.LoadSkinSettings(L"Blue");
    skins.ShowSkinImage(Parse(L"pic.bmp"), c);
    EXPECT_EQ(files.readCount, before + 2) << "a new load sees changed files";
}

// ---------------------------------------------------------------------------------------------
// The Skin menu.

TEST_F(SkinPictureTest, MenuListsTheSkinFoldersInOrder) {
    files.AddDirectory(kRoot + L"classic");
    files.AddDirectory(kRoot + L"Aqua");
    files.AddTextFile(kRoot + L"readme.txt", "not a skin");
    skins.LoadSkinSettings(L"classic");
    const std::vector<MenuItem> menu = skins.BuildSkinMenu();
    ASSERT_EQ(menu.size(), 3u);
    const wchar_t* captions[] = {L"Aqua", L"Blue", L"classic"};
    for (size_t i = 0; i < menu.size(); ++i) {
        EXPECT_EQ(menu[i].caption, captions[i]);
        EXPECT_EQ(menu[i].command, kSkinCommandBase + i);
        EXPECT_TRUE(menu[i].radio);
        EXPECT_EQ(menu[i].checked, i == 2) << i;
    }
    EXPECT_EQ(skins.SkinMenu().size(), 3u);
}

TEST_F(SkinPictureTest, MenuChecksTheFirstWhenTheSkinIsUnknown) {
    files.AddDirectory(kRoot + L"Aqua");
    skins.LoadSkinSettings(L"Gone");
    const std::vector<MenuItem> menu = skins.BuildSkinMenu();
    ASSERT_EQ(menu.size(), 2u);
    EXPECT_TRUE(menu[0].checked);
    EXPECT_FALSE(menu[1].checked);
    EXPECT_EQ(skins.SkinName(), L"Gone") << "checking the first item chooses nothing";
}

TEST_F(SkinPictureTest, AnEmptyOrMissingSkinRootGivesNoItems) {
    skins.SetSkinRoot(L"C:\\Nowhere\\");
    EXPECT_TRUE(skins.BuildSkinMenu().empty());
    EXPECT_EQ(skins.SkinMenuClick(0), L"Blue");
}

TEST_F(SkinPictureTest, AClickChecksItsItemAndNamesTheSkinWithoutAmpersands) {
    files.AddDirectory(kRoot + L"R&B");
    files.AddDirectory(kRoot + L"&Dark&");
    skins.BuildSkinMenu();  // &Dark&, Blue, R&B
    EXPECT_EQ(skins.SkinMenuClick(2), L"RB");
    EXPECT_EQ(skins.SkinName(), L"RB");
    EXPECT_EQ(skins.SkinDirectory(), kRoot + L"RB\\");
    std::vector<bool> checked;
    for (const MenuItem& item : skins.SkinMenu()) checked.push_back(item.checked);
    EXPECT_EQ(checked, (std::vector<bool>{false, false, true}));

    EXPECT_EQ(skins.SkinMenuClick(0), L"Dark");
    EXPECT_EQ(skins.SkinMenuClick(3), L"Dark") << "outside the menu: nothing changes";
    checked.clear();
    for (const MenuItem& item : skins.SkinMenu()) checked.push_back(item.checked);
    EXPECT_EQ(checked, (std::vector<bool>{true, false, false}));
}

// ---------------------------------------------------------------------------------------------
// Loading SkinSetting.ini through the host's profile functions.

class SkinFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        host.files.CreateFolder(root);
        skins.SetSkinRoot(root);
    }
    void WriteSkin(const std::wstring& name, const std::string& ini) {
        host.files.CreateFolder(root + name + L"\\");
        host.WriteFile(root + name + L"\\" + kSkinSettingFileName, ini);
    }
    void WritePicture(const std::wstring& skin, const std::wstring& file,
                      const std::vector<uint8_t>& bytes) {
        host.files.ReplaceFileAtomically(root + skin + L"\\" + file, bytes);
    }
    // A skin in which every image key names a file of its own: <section>_<key>.bmp.
    std::string EveryKeyNamed() {
        std::string ini;
        std::wstring section;
        for (const SkinImageKey& key : SkinImageKeys()) {
            // Appended piece by piece: GCC 12 warns falsely about "[" + std::string.
            if (section != key.section) {
                section = key.section;
                ini.append("[").append(Narrow(section)).append("]\r\n");
            }
            ini.append(Narrow(key.key)).append("=").append(Narrow(section)).append("_");
            ini.append(Narrow(key.key)).append(".bmp\r\n");
        }
        return ini;
    }

    test::TempFolder folder;
    test::HostPorts host;
    const std::wstring root = folder.Path() + L"Skin\\";
    MemoryRegistry registry;
    test::FakeEnvironment environment;
    test::FakeClock clock;
    test::RecordingDebugLog log;
    Platform platform{host.profiles, registry, host.files, environment, clock, log};
    RecordingUiHost ui;
    FormModel form;
    SkinManager skins{platform, ui, form};
};

constexpr char kBlueSkin[] =
    "[Main]\r\n"
    "MainFormImage=main.bmp\r\n"
    "CloseImageUp=close.bmp,700,5\r\n"
    "LogoImage=logo.bmp,10,20\r\n"
    "BevelLine=1\r\n"
    "BevelLine3=x\r\n"
    "[About]\r\n"
    "LogoImage=about.bmp\r\n"
    "[EQ]\r\n"
    "EQSlider=180,100\r\n"
    "EQEQENImageUp=en.bmp,10,20\r\n"
    "[Mic]\r\n"
    "MicSlider=,90\r\n"
    "MicPanel=panel.bmp\r\n"
    "[Virtual7ch1]\r\n"
    "VirtualCenter=500,200,90\r\n"
    "[LED]\r\n"
    "LEDPageMode=1\r\n"
    "Color01Shape=10,20,30,40,3\r\n"
    "Color03Shape=11,21\r\n"
    "ColorSingleShape=1,2,3,4,9\r\n"
    "[ENC]\r\n"
    "ENCSlider=150,80\r\n";

TEST_F(SkinFileTest, ReadsImageRecordsByTheirSection) {
    WriteSkin(L"Blue", kBlueSkin);
    skins.LoadSkinSettings(L"Blue");
    EXPECT_EQ(skins.SkinName(), L"Blue");
    EXPECT_EQ(skins.Record(L"Main", L"CloseImageUp"),
              Make(L"close.bmp", 700, 5, std::nullopt, std::nullopt, 0));
    EXPECT_EQ(skins.Record(L"Main", L"LogoImage").fileName, L"logo.bmp");
    EXPECT_EQ(skins.Record(L"About", L"LogoImage").fileName, L"about.bmp");
    EXPECT_EQ(skins.Record(L"EQ", L"EQEQENImageUp"),
              Make(L"en.bmp", 10, 20, std::nullopt, std::nullopt, 1));
    EXPECT_FALSE(skins.Record(L"EQ", L"EQEQENImageDown").NamesFile());
    EXPECT_EQ(skins.Record(L"EQ", L"EQEQENImageDown").page, 1) << "empty keys keep their page";
    EXPECT_FALSE(skins.Record(L"Main", L"NoSuchKey").NamesFile());
}

// A skin whose window would have no picture is passed over at start for the first that has one.
TEST_F(SkinFileTest, StartTakesTheFirstUsableSkin) {
    const std::string main = "[Main]\r\nMainFormImage=main.bmp\r\n";
    WriteSkin(L"Damaged", test::RandomBytes(4000, 7));
    WriteSkin(L"NoPicture", main);
    WriteSkin(L"NoMain", "[Main]\r\nCloseImageUp=close.bmp\r\n");
    WriteSkin(L"Plain", main);
    WritePicture(L"Plain", L"main.bmp", Bitmap(8, 4));
    WriteSkin(L"Zebra", main);
    WritePicture(L"Zebra", L"main.bmp", Bitmap(8, 4));
    host.files.CreateFolder(root + L"Empty\\");
    const struct {
        const wchar_t* chosen;
        const wchar_t* taken;
        const wchar_t* why;  // in the debug line; empty: the choice stands without one
    } cases[] = {
        {L"Zebra", L"Zebra", L""},
        {L"Damaged", L"Plain", L"Damaged\\SkinSetting.ini names no [Main] MainFormImage"},
        {L"NoPicture", L"Plain", L"NoPicture\\main.bmp (MainFormImage) is missing or not a"},
        {L"NoMain", L"Plain", L"NoMain\\SkinSetting.ini names no [Main] MainFormImage"},
        {L"Empty", L"Plain", L"Empty\\SkinSetting.ini is missing"},
        {L"", L"Plain", L"\\SkinSetting.ini is missing"},
    };
    for (const auto& c : cases) {
        log.lines.clear();
        skins.SetSkinName(c.chosen);
        skins.BuildSkinMenu();
        skins.ChooseUsableSkin();
        EXPECT_EQ(skins.SkinName(), c.taken) << Narrow(c.chosen);
        for (const MenuItem& item : skins.SkinMenu()) {
            EXPECT_EQ(item.checked, item.caption == c.taken) << Narrow(item.caption);
        }
        if (*c.why == L'\0') {
            EXPECT_TRUE(log.lines.empty()) << Narrow(c.chosen);
        } else {
            EXPECT_TRUE(Contains(log.lines, c.why, L"taking 'Plain'")) << Narrow(c.chosen);
        }
    }

    for (const wchar_t* name : {L"Plain", L"Zebra"}) {
        host.files.RemoveFile(root + name + L"\\main.bmp");
    }
    log.lines.clear();
    skins.SetSkinName(L"Damaged");
    skins.BuildSkinMenu();
    skins.ChooseUsableSkin();
    EXPECT_EQ(skins.SkinName(), L"Damaged") << "nothing better: the choice stays";
    EXPECT_TRUE(Contains(log.lines, L"no skin under", L"is usable"));
}

TEST_F(SkinFileTest, ASkinOfTheScreensSizeWinsOverOneForEverySize) {
    WriteSkin(L"Blue", "[Main]\r\nMainFormImage=everywhere.bmp\r\n");
    WriteSkin(L"Red", "[Main]\r\nMainFormImage=everywhere.bmp\r\n");
    host.files.CreateFolder(root + L"1366x768\\");
    WriteSkin(L"1366x768\\Blue", "[Main]\r\nMainFormImage=this-size.bmp\r\n");
    skins.SetSkinRoot(root, L"1366x768\\");
    skins.LoadSkinSettings(L"Blue");
    EXPECT_EQ(skins.SkinDirectory(), root + L"1366x768\\Blue\\");
    EXPECT_EQ(skins.Record(L"Main", L"MainFormImage").fileName, L"this-size.bmp");
    skins.LoadSkinSettings(L"Red");
    EXPECT_EQ(skins.SkinDirectory(), root + L"Red\\");
    EXPECT_EQ(skins.Record(L"Main", L"MainFormImage").fileName, L"everywhere.bmp");
    std::vector<std::wstring> captions;
    for (const MenuItem& item : skins.BuildSkinMenu()) captions.push_back(item.caption);
    EXPECT_EQ(captions, (std::vector<std::wstring>{L"Blue", L"Red"}));
}

TEST_F(SkinFileTest, ReadsTheIntegerKeysWithTheirDefaults) {
    WriteSkin(L"Blue", kBlueSkin);
    skins.LoadSkinSettings(L"Blue");
    const SkinNumbers& n = skins.Numbers();
    EXPECT_EQ(n.bevelLine, 1);
    EXPECT_EQ(n.bevelLine2, 0);
    EXPECT_EQ(n.bevelLine3, 1) << "not a number: the default";
    EXPECT_EQ(n.eqTop, 180);
    EXPECT_EQ(n.eqRange, 100);
    EXPECT_EQ(n.micTop, 208);
    EXPECT_EQ(n.micRange, 90);
    EXPECT_EQ(n.micProgressLength, 203);
    EXPECT_EQ(n.virtualCenterX, 500);
    EXPECT_EQ(n.virtualCenterY, 200);
    EXPECT_EQ(n.virtualRadius, 90);
    EXPECT_EQ(n.previousVirtualRadius, 110);
    EXPECT_EQ(n.ledPageMode, 1);
    EXPECT_EQ(n.ledFastRightSide, 0);
    EXPECT_EQ(n.encTop, 150);
    EXPECT_EQ(n.encRange, 80);
    EXPECT_TRUE(Contains(log.lines, root + L"Blue\\SkinSetting.ini", L"[Main] BevelLine3"));
    EXPECT_EQ(log.lines.size(), 1u) << Narrow(log.lines.empty() ? L"" : log.lines.back());
}

TEST_F(SkinFileTest, OldVersionMovesPageGeometry) {
    WriteSkin(L"Blue", kBlueSkin);
    skins.SetOldVersion(true);
    skins.LoadSkinSettings(L"Blue");
    EXPECT_EQ(skins.Record(L"EQ", L"EQEQENImageUp").left, 402);
    EXPECT_EQ(skins.Record(L"EQ", L"EQEQENImageUp").top, 124);
    EXPECT_EQ(skins.Record(L"Main", L"CloseImageUp").left, 700);
    EXPECT_EQ(skins.Record(L"Main", L"CloseImageUp").top, 5);
    const SkinNumbers& n = skins.Numbers();
    EXPECT_EQ(n.eqTop, 284);
    EXPECT_EQ(n.eqRange, 100);
    EXPECT_EQ(n.micTop, 208) << "defaults are already in window coordinates";
    EXPECT_EQ(n.virtualCenterX, 892);
    EXPECT_EQ(n.virtualCenterY, 304);
    EXPECT_EQ(n.virtualRadius, 90);
}

TEST_F(SkinFileTest, ANewLoadStartsFromNothingAndRemembersTheRadius) {
    WriteSkin(L"Blue", kBlueSkin);
    WriteSkin(L"Plain", "[Main]\r\nMainFormImage=plain.bmp\r\n");
    skins.LoadSkinSettings(L"Blue");
    skins.LoadSkinSettings(L"Plain");
    EXPECT_EQ(skins.Record(L"Main", L"MainFormImage").fileName, L"plain.bmp");
    EXPECT_FALSE(skins.Record(L"Main", L"CloseImageUp").NamesFile());
    EXPECT_FALSE(skins.Record(L"About", L"LogoImage").NamesFile());
    const SkinNumbers& n = skins.Numbers();
    EXPECT_EQ(n.previousVirtualRadius, 90);
    EXPECT_EQ(n.virtualRadius, 110);
    EXPECT_EQ(n.eqTop, 200);
    EXPECT_EQ(n.bevelLine, 0);
    EXPECT_EQ(n.ledPageMode, 0);
    EXPECT_FALSE(n.encTop.has_value()) << "an empty ENCSlider leaves the slider as it is";
}

TEST_F(SkinFileTest, AMissingFileGivesEmptyRecordsAndDefaults) {
    skins.LoadSkinSettings(L"Nowhere");
    for (const SkinImageKey& key : SkinImageKeys()) {
        EXPECT_EQ(
            skins.Record(key.section, key.key),
            Make(L"", std::nullopt, std::nullopt, std::nullopt, std::nullopt, key.defaultPage))
            << Narrow(key.key);
    }
    const SkinNumbers defaults;
    EXPECT_EQ(skins.Numbers().eqTop, defaults.eqTop);
    EXPECT_EQ(skins.Numbers().bevelLine3, 1);
    EXPECT_TRUE(log.lines.empty());
}

TEST_F(SkinFileTest, BadItemsAreNotedAndLeftAtTheirDefaults) {
    WriteSkin(L"Odd",
              "[EQ]\r\nEQSlider=high,90,7\r\nEQS1ImageUp=s1.bmp,ten,20\r\n"
              "[Virtual7ch1]\r\nVirtualCenter=500,,big\r\n"
              "[LED]\r\nColor02Shape=1,2,3,4,round\r\n");
    skins.LoadSkinSettings(L"Odd");
    const SkinNumbers& n = skins.Numbers();
    EXPECT_EQ(n.eqTop, 200);
    EXPECT_EQ(n.eqRange, 90);
    EXPECT_EQ(n.virtualCenterX, 500);
    EXPECT_EQ(n.virtualCenterY, 251);
    EXPECT_EQ(n.virtualRadius, 110);
    EXPECT_EQ(skins.Record(L"EQ", L"EQS1ImageUp"),
              Make(L"s1.bmp", std::nullopt, 20, std::nullopt, std::nullopt, 1));
    EXPECT_EQ(skins.Swatches()[1].left, 1);
    EXPECT_EQ(skins.Swatches()[1].shape, ShapeCode::Circle);
    for (const wchar_t* key : {L"[EQ] EQSlider", L"[EQ] EQS1ImageUp",
                               L"[Virtual7ch1] VirtualCenter", L"[LED] Color02Shape"}) {
        EXPECT_TRUE(Contains(log.lines, L"SkinSetting.ini", key)) << Narrow(key);
    }
    EXPECT_EQ(log.lines.size(), 4u);
}

TEST_F(SkinFileTest, SwatchesTakeTheirLayoutFromTheSkin) {
    for (const wchar_t* name : SwatchNames()) {
        Component swatch = OfKind(ComponentKind::Shape, name);
        swatch.left = 500, swatch.top = 300, swatch.width = 16, swatch.height = 16;
        swatch.penColour = 0xFFFFFF;
        swatch.penWidth = 3;
        form.Add(swatch);
    }
    WriteSkin(L"Blue", kBlueSkin);
    skins.LoadSkinSettings(L"Blue");
    const auto& swatches = skins.Swatches();
    EXPECT_EQ(swatches[0].left, 10);
    EXPECT_EQ(swatches[0].height, 40);
    EXPECT_EQ(swatches[0].shape, ShapeCode::Rectangle);
    EXPECT_EQ(swatches[7].shape, ShapeCode::Circle) << "shape code 9 draws a circle";
    EXPECT_EQ(swatches[2].left, 11) << "a short value sets what it gives";
    EXPECT_EQ(swatches[2].width, 16);

    skins.ApplySkin(SkinLook{}, 0);
    const Component& first = *form.Find(L"Color01Shape");
    EXPECT_EQ(first.left, 10);
    EXPECT_EQ(first.top, 20);
    EXPECT_EQ(first.width, 30);
    EXPECT_EQ(first.height, 40);
    EXPECT_EQ(first.shape, ShapeCode::Rectangle);
    const Component& second = *form.Find(L"Color02Shape");
    EXPECT_EQ(second.left, 500) << "no value: the swatch keeps its layout";
    EXPECT_EQ(second.width, 16);
    for (size_t i = 0; i < SwatchNames().size(); ++i) {
        const Component& swatch = *form.Find(SwatchNames()[i]);
        EXPECT_EQ(swatch.penColour, 0u) << Narrow(SwatchNames()[i]);
        EXPECT_EQ(swatch.penWidth, 1) << Narrow(SwatchNames()[i]);
    }
}

// ---------------------------------------------------------------------------------------------
// Which record feeds which control.

class SkinMappingTest : public SkinFileTest {
protected:
    void SetUp() override {
        SkinFileTest::SetUp();
        WriteSkin(L"All", EveryKeyNamed());
        skins.LoadSkinSettings(L"All");
    }
    // The file the control shows in the look, "" for none, "<nullptr>" when no key feeds it.
    std::wstring Shown(const Component& control, const SkinLook& look) {
        const SkinImageRecord* record = skins.RecordForControl(control, look);
        return record == nullptr ? L"<nullptr>" : record->fileName;
    }
    std::wstring Shown(const std::wstring& name, const SkinLook& look) {
        return Shown(Image(name), look);
    }
    static SkinLook AllDown() {
        SkinLook look;
        look.isDown = [](const Component&) { return true; };
        return look;
    }
};

TEST_F(SkinMappingTest, ControlsFindTheirKeysByName) {
    const SkinLook up;  // no isDown: every control Up
    const SkinLook down = AllDown();
    const struct {
        const wchar_t* control;
        const wchar_t* up;
        const wchar_t* down;
    } cases[] = {
        {L"MainFormImage", L"Main_MainFormImage.bmp", L"Main_MainFormImage.bmp"},
        {L"LogoImage", L"Main_LogoImage.bmp", L"Main_LogoImage.bmp"},
        {L"EQEQENImage", L"EQ_EQEQENImageUp.bmp", L"EQ_EQEQENImageDown.bmp"},
        {L"CloseImage", L"Main_CloseImageUp.bmp", L"Main_CloseImageDown.bmp"},
        {L"LEDImage", L"Main_LedImageUp.bmp", L"Main_LedImageDown.bmp"},
        {L"PageLEDImage", L"Main_PageLEDUpImage.bmp", L"Main_PageLEDDownImage.bmp"},
        {L"PageVirtual7p1Image", L"Main_PageVirtual7p1UpImage.bmp",
         L"Main_PageVirtual7p1DownImage.bmp"},
        {L"VirtualClockwiseImage", L"Virtual7ch1_VirtualClockwiseUpImage.bmp",
         L"Virtual7ch1_VirtualClockwiseDownImage.bmp"},
        {L"ColorBreatheCheckImage", L"LED_ColorBreatheCheckUpImage.bmp",
         L"LED_ColorBreatheCheckDownImage.bmp"},
        {L"VMEffect3Image", L"VoiceMagic_VMEffect3UpImage.bmp",
         L"VoiceMagic_VMEffect3DownImage.bmp"},
        {L"EQ60HzBarDownImage", L"EQ_EQ60HzBarDownImage.bmp", L"EQ_EQ60HzBarDownImage.bmp"},
        {L"VirtualEnableImage", L"Virtual7ch1_VirtualEnableImageUp.bmp",
         L"Virtual7ch1_VirtualEnableImageDown.bmp"},
        {L"DeviceInImage", L"Main_DeviceActiveUpImage.bmp", L"Main_DeviceActiveDownImage.bmp"},
        {L"DeviceOutImage", L"Main_DeviceUnActiveUpImage.bmp", L"Main_DeviceUnActiveDownImage.bmp"},
        {L"Page3DImage", L"<nullptr>", L"<nullptr>"},
        {L"BeeImage", L"<nullptr>", L"<nullptr>"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Shown(c.control, up), c.up) << Narrow(c.control);
        EXPECT_EQ(Shown(c.control, down), c.down) << Narrow(c.control);
    }
    EXPECT_EQ(Shown(OfKind(ComponentKind::Label, L"CloseImage"), up), L"<nullptr>")
        << "captions have no pictures";
}

TEST_F(SkinMappingTest, TheLookDecidesPerControl) {
    SkinLook look;
    look.isDown = [](const Component& c) { return c.name == L"MicMuteImage"; };
    EXPECT_EQ(Shown(L"MicMuteImage", look), L"Mic_MicMuteImageDown.bmp");
    EXPECT_EQ(Shown(L"MicBoostImage", look), L"Mic_MicBoostImageUp.bmp");
}

TEST_F(SkinMappingTest, EffectButtonsArePairedByTag) {
    const wchar_t* effects[] = {L"Non", L"Theater", L"Bathroom", L"Livingroom", L"StoneGallery"};
    // The design's names: tags 18 and 20 carry each other's names.
    const wchar_t* names[] = {L"EffectButtonNonImage", L"EffectButtonTheaterImage",
                              L"EffectButtonStoneGalleryImage", L"EffectButtonLivingroomImage",
                              L"EffectButtonBathroomImage"};
    for (int32_t current = 1; current <= 5; ++current) {
        SkinLook look = AllDown();
        look.currentEffect = current;
        for (int32_t n = 1; n <= 5; ++n) {
            const std::wstring expected = std::wstring(L"Effect_EffectButton") + effects[n - 1] +
                                          (n == current ? L"ImageDown.bmp" : L"ImageUp.bmp");
            EXPECT_EQ(Shown(Image(names[n - 1], 15 + n), look), expected)
                << "effect " << current << ", tag " << 15 + n;
        }
        EXPECT_EQ(Shown(L"EffectPicImage", look),
                  std::wstring(L"Effect_EffectPic") + effects[current - 1] + L"Image.bmp");
    }
    SkinLook look;
    look.currentEffect = 3;
    EXPECT_EQ(Shown(Image(L"EffectButtonStoneGalleryImage", 18), look),
              L"Effect_EffectButtonBathroomImageDown.bmp");
    EXPECT_EQ(Shown(OfKind(ComponentKind::Label, L"EffectBathroomLabel", 18), look), L"<nullptr>");
    look.currentEffect = 0;
    EXPECT_EQ(Shown(L"EffectPicImage", look), L"<nullptr>") << "kept as it is";
    EXPECT_EQ(Shown(Image(L"EffectButtonNonImage", 16), look),
              L"Effect_EffectButtonNonImageUp.bmp");
}

TEST_F(SkinMappingTest, MainLeftImageFollowsThePage) {
    const wchar_t* expected[] = {L"",
                                 L"Main_MainLeftImage1.bmp",
                                 L"Main_MainLeftImage2.bmp",
                                 L"Main_MainLeftImage3.bmp",
                                 L"Main_MainLeftImage4.bmp",
                                 L"",
                                 L"",
                                 L"",
                                 L""};
    for (int32_t page = 0; page <= 8; ++page) {
        SkinLook look;
        look.currentPage = page;
        EXPECT_EQ(Shown(L"MainLeftImage", look), expected[page]) << "page " << page;
    }
}

TEST_F(SkinMappingTest, ThreeDLinkPicturesFollowTheLinkModes) {
    const struct {
        int32_t link;
        const wchar_t* mode;
    } cases[] = {{-1, L"Indep"}, {0, L"Indep"}, {1, L"Dep"}, {2, L"Inv"}};
    for (const auto& c : cases) {
        SkinLook look;
        look.alphaLink = c.link;
        look.betaLink = c.link == 1 ? 2 : 1;
        EXPECT_EQ(Shown(L"D3AlphaImage", look),
                  std::wstring(L"3D_D3Alpha") + c.mode + L"Image.bmp");
        EXPECT_EQ(Shown(L"D3BetaImage", look),
                  std::wstring(L"3D_D3Beta") + (c.link == 1 ? L"Inv" : L"Dep") + L"Image.bmp");
    }
}

TEST_F(SkinMappingTest, TheSevenOneSwitchDecidesInGpioLevelMode) {
    SkinLook look = AllDown();
    look.gpioLevelMode = true;
    look.virtualSwitchState = 1;
    EXPECT_EQ(Shown(L"VirtualEnableImage", look), L"Virtual7ch1_VirtualDisableImageDown.bmp");
    look.virtualSwitchState = 0;
    EXPECT_EQ(Shown(L"VirtualEnableImage", look), L"Virtual7ch1_VirtualDisableImageUp.bmp");
}

// ---------------------------------------------------------------------------------------------
// Applying a skin to the window.

class SkinApplyTest : public SkinFileTest {
protected:
    void SetUp() override {
        SkinFileTest::SetUp();
        for (const wchar_t* name : {L"MainFormImage", L"CloseImage", L"LEDImage", L"LogoImage",
                                    L"MainLeftImage", L"Page3DImage"}) {
            form.Add(Image(name));
        }
        for (int i = 2; i <= 7; ++i) {
            form.Add(OfKind(ComponentKind::Bevel, L"Bevel" + std::to_wstring(i)));
        }
        form.clientWidth = 819;
        form.clientHeight = 513;
        WriteSkin(L"Blue",
                  "[Main]\r\nMainFormImage=main.bmp\r\nCloseImageUp=close.png,700,5\r\n"
                  "CloseImageDown=gone.bmp\r\nLedImageUp=(null)\r\nLogoImage=close.png,1,2,30\r\n"
                  "MainLeftImage1=left.bmp,0,40\r\n"
                  "[About]\r\nLogoImage=about.bmp\r\n");
        WritePicture(L"Blue", L"main.bmp", Bitmap(640, 400));
        WritePicture(L"Blue", L"left.bmp", Bitmap(100, 300));
        WritePicture(L"Blue", L"close.png", kOnePixelPng);
        skins.LoadSkinSettings(L"Blue");
    }
    const Component& Control(const wchar_t* name) { return *form.Find(name); }
};

TEST_F(SkinApplyTest, ShowsEveryControlItsRecordAndSizesTheWindow) {
    skins.ApplySkin(SkinLook{}, 0);
    const std::wstring skin = root + L"Blue\\";
    EXPECT_TRUE(Control(L"MainFormImage").visible);
    EXPECT_EQ(Control(L"MainFormImage").picture, skin + L"main.bmp");
    EXPECT_EQ(Control(L"MainFormImage").width, 640);
    EXPECT_EQ(Control(L"CloseImage").picture, skin + L"close.png");
    EXPECT_EQ(Control(L"CloseImage").left, 700);
    EXPECT_EQ(Control(L"CloseImage").width, 1);
    EXPECT_EQ(Control(L"LogoImage").width, 30) << "[Main] LogoImage, not the About form's";
    EXPECT_FALSE(Control(L"LEDImage").visible) << "(null) names no file";
    EXPECT_EQ(Control(L"MainLeftImage").picture, skin + L"left.bmp");
    EXPECT_TRUE(Control(L"Page3DImage").visible) << "no key feeds it: left alone";
    EXPECT_EQ(ui.clientSize, (std::pair<int32_t, int32_t>{640, 400}));
    EXPECT_EQ(form.clientWidth, 640);
    EXPECT_EQ(form.clientHeight, 400);
    EXPECT_TRUE(ui.region.empty());
    EXPECT_TRUE(log.lines.empty());
}

TEST_F(SkinApplyTest, TheLookChoosesAndMissingPicturesAreNoted) {
    SkinLook look;
    look.currentPage = 6;
    look.isDown = [](const Component& c) { return c.name == L"CloseImage"; };
    skins.ApplySkin(look, 0);
    EXPECT_FALSE(Control(L"CloseImage").visible) << "its Down picture is missing";
    EXPECT_TRUE(Contains(log.lines, root + L"Blue\\gone.bmp", L"CloseImage"));
    EXPECT_FALSE(Control(L"MainLeftImage").visible) << "no picture on the LED page";
}

TEST_F(SkinApplyTest, RegionCutGivesTheWindowItsShape) {
    const std::vector<uint8_t> region =
        Region({0, 0, 620, 390}, {{0, 0, 620, 200}, {20, 200, 600, 390}});
    WritePicture(L"Blue", kRegionFileName, region);
    skins.ApplySkin(SkinLook{}, 1);
    EXPECT_EQ(ui.region, region);
    EXPECT_EQ(ui.regionSize, (std::pair<int32_t, int32_t>{620, 390}));
    EXPECT_EQ(ui.clientSize, (std::pair<int32_t, int32_t>{640, 400}));
    EXPECT_TRUE(log.lines.empty());
}

TEST_F(SkinApplyTest, AMissingOrRefusedRegionLeavesTheShapeWithANote) {
    skins.ApplySkin(SkinLook{}, 1);
    EXPECT_TRUE(ui.region.empty());
    EXPECT_TRUE(Contains(log.lines, root + L"Blue\\MainForm_Frame.rgn", L"cannot read"));
    EXPECT_EQ(ui.clientSize, (std::pair<int32_t, int32_t>{640, 400}));

    log.lines.clear();
    WritePicture(L"Blue", kRegionFileName, Region({0, 0, 620, 390}, {{0, 0, 620, 390}}, 2));
    skins.ApplySkin(SkinLook{}, 1);
    EXPECT_TRUE(ui.region.empty());
    EXPECT_TRUE(Contains(log.lines, L"MainForm_Frame.rgn", L"truncated"));
}

TEST_F(SkinApplyTest, BevelLinesFollowTheirKeys) {
    const struct {
        const char* keys;
        bool visible[6];  // Bevel2..Bevel7
    } cases[] = {
        {"", {false, false, false, false, false, false}},
        {"BevelLine=1\r\n", {true, true, true, false, false, false}},
        {"BevelLine2=1\r\n", {false, false, false, true, true, true}},
        {"BevelLine2=1\r\nBevelLine3=0\r\n", {false, false, false, true, false, false}},
        {"BevelLine2=2\r\nBevelLine3=0\r\n", {false, false, false, true, true, true}},
        {"BevelLine=3\r\nBevelLine2=1\r\nBevelLine3=5\r\n", {true, true, true, true, true, true}},
    };
    for (const auto& c : cases) {
        WriteSkin(L"Lines", std::string("[Main]\r\nMainFormImage=main.bmp\r\n") + c.keys);
        skins.LoadSkinSettings(L"Lines");
        skins.ApplySkin(SkinLook{}, 0);
        for (int i = 0; i < 6; ++i) {
            EXPECT_EQ(Control((L"Bevel" + std::to_wstring(i + 2)).c_str()).visible, c.visible[i])
                << c.keys << " Bevel" << i + 2;
        }
    }
}

}  // namespace
}  // namespace tavrin
