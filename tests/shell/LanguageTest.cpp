#include "app/shell/Language.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "ports/portable/MemoryRegistry.h"
#include "ports/portable/PortableProfileStore.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakeEnvironment.h"
#include "tests/support/MemoryFileSystem.h"
#include "tests/support/RandomBytes.h"
#include "tests/support/RecordingDebugLog.h"
#include "tests/support/RecordingUiHost.h"

namespace tavrin {

void PrintTo(const LabelRecord& r, std::ostream* out) {
    auto field = [&](const char* name, auto value, bool given) {
        if (given) *out << " " << name << "=" << value;
    };
    *out << "{text=\"" << std::string(r.text.begin(), r.text.end()) << "\"";
    field("up", r.upColour, r.hasUpColour);
    field("down", r.downColour, r.hasDownColour);
    field("font", std::string(r.fontName.begin(), r.fontName.end()), r.hasFontName);
    field("size", r.fontSize, r.hasFontSize);
    field("left", r.left, r.hasLeft);
    field("top", r.top, r.hasTop);
    field("width", r.width, r.hasWidth);
    field("height", r.height, r.hasHeight);
    *out << " page=" << r.page << "}";
}

namespace {

// Builds an expected record field by field.
class Rec {
public:
    Rec(std::wstring text, int32_t page) {
        r_.text = std::move(text);
        r_.page = page;
    }
    Rec& Up(Colour c) { return Set(r_.upColour, c, r_.hasUpColour); }
    Rec& Down(Colour c) { return Set(r_.downColour, c, r_.hasDownColour); }
    Rec& Font(std::wstring name) { return Set(r_.fontName, std::move(name), r_.hasFontName); }
    Rec& Size(int32_t v) { return Set(r_.fontSize, v, r_.hasFontSize); }
    Rec& Left(int32_t v) { return Set(r_.left, v, r_.hasLeft); }
    Rec& Top(int32_t v) { return Set(r_.top, v, r_.hasTop); }
    Rec& Width(int32_t v) { return Set(r_.width, v, r_.hasWidth); }
    Rec& Height(int32_t v) { return Set(r_.height, v, r_.hasHeight); }
    operator LabelRecord() const { return r_; }

private:
    template <typename T, typename V>
    Rec& Set(T& field, V value, bool& given) {
        field = std::move(value);
        given = true;
        return *this;
    }
    LabelRecord r_;
};

struct ParseCase {
    const char* name;
    std::wstring value;
    int32_t defaultPage;
    bool oldVersion;
    LabelRecord expected;
    std::wstring problemMentions;  // empty: no problem expected
};

TEST(LanguageLabelValue, ParsesItemsInOrder) {
    const std::wstring longText(128, L'a');
    const std::wstring longFont(64, L'f');
    const ParseCase cases[] = {
        {"empty value", L"", 1, false, Rec(L"", 1), L""},
        {"text only", L"Volume", 0, false, Rec(L"Volume", 0), L""},
        {"all ten items", L"Volume,255,65280,Arial,10,1,2,3,4,5", 1, false,
         Rec(L"Volume", 5)
             .Up(255)
             .Down(65280)
             .Font(L"Arial")
             .Size(10)
             .Left(1)
             .Top(2)
             .Width(3)
             .Height(4),
         L""},
        {"empty items stay unset", L"Volume,,,,12,,,,,", 3, false, Rec(L"Volume", 3).Size(12), L""},
        {"no text, a colour", L",1", 0, false, Rec(L"", 0).Up(1), L""},
        {"blanks around numbers and font", L"Volume, 0x0000FF , 0XfF00,  Tahoma , 9, -4", 0, false,
         Rec(L"Volume", 0).Up(0xFF).Down(0xFF00).Font(L"Tahoma").Size(9).Left(-4), L""},
        {"text keeps its blanks", L" Mic ", 0, false, Rec(L" Mic ", 0), L""},
        {"explicit page 0 beats the section", L"Tab,,,,,,,,,0", 4, false, Rec(L"Tab", 0), L""},
        {"old version moves page controls", L"Gain,,,,,10,20", 3, true,
         Rec(L"Gain", 3).Left(206).Top(72), L""},
        {"old version leaves [Main] alone", L"Gain,,,,,10,20", 0, true,
         Rec(L"Gain", 0).Left(10).Top(20), L""},
        {"old version adds nothing to unset bounds", L"Gain,,,,,,,30", 2, true,
         Rec(L"Gain", 2).Width(30), L""},
        {"long text is cut to 127", longText, 0, false, Rec(longText.substr(0, 127), 0), L"text"},
        {"long font name is cut to 63", L"A,,," + longFont, 0, false,
         Rec(L"A", 0).Font(longFont.substr(0, 63)), L"font name"},
        {"items past ten are ignored", L"A,1,2,F,4,5,6,7,8,6,99", 0, false,
         Rec(L"A", 6).Up(1).Down(2).Font(L"F").Size(4).Left(5).Top(6).Width(7).Height(8),
         L"more than 10 items"},
        {"non-numeric size stays unset", L"A,,,,abc,7", 0, false, Rec(L"A", 0).Left(7),
         L"item 5 (font size) 'abc'"},
        {"trailing garbage is not a number", L"A,12px", 0, false, Rec(L"A", 0), L"up colour"},
        {"negative colour refused", L"A,-1", 0, false, Rec(L"A", 0), L"up colour"},
        {"overflowing integer refused", L"A,,,,,2147483648", 0, false, Rec(L"A", 0), L"left"},
        {"bad page keeps the section page", L"A,,,,,,,,,x", 7, false, Rec(L"A", 7), L"page"},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::wstring problem = L"untouched";
        EXPECT_EQ(ParseLabelValue(c.value, c.defaultPage, c.oldVersion, &problem), c.expected);
        if (c.problemMentions.empty()) {
            EXPECT_EQ(problem, L"");
        } else {
            EXPECT_NE(problem.find(c.problemMentions), std::wstring::npos)
                << std::string(problem.begin(), problem.end());
        }
    }
}

TEST(LanguageLabelValue, NullProblemPointerIsAllowed) {
    EXPECT_EQ(ParseLabelValue(L"A,x", 0, false, nullptr), LabelRecord(Rec(L"A", 0)));
}

TEST(LanguageFontScaling, FactorByPixelsPerInchAndSystem) {
    const struct {
        int32_t pixelsPerInch;
        bool beforeVista;
        int32_t points;
        int32_t expected;
    } cases[] = {
        {96, false, 10, 10},  {96, true, 10, 9},  {120, false, 10, 8}, {120, true, 10, 7},
        {144, false, 12, 8},  {144, true, 12, 8}, {72, false, 10, 10}, {192, true, 10, 10},
        {96, true, 5, 4},      // 4.5: ties go to the even neighbour
        {96, true, 15, 14},    // 13.5
        {96, true, 25, 22},    // 22.5
        {120, false, 13, 10},  // 10.4
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ScaledFontSize(c.points, ScreenFactor(c.pixelsPerInch, c.beforeVista)),
                  c.expected)
            << c.pixelsPerInch << " dpi, before Vista " << c.beforeVista << ", " << c.points;
    }
    EXPECT_EQ(ScaledFontSize(3, 0.5), 2);
    EXPECT_EQ(ScaledFontSize(5, 0.5), 2);
    EXPECT_EQ(ScaledFontSize(-3, 0.5), -2);
}

const std::wstring kRoot = L"C:\\Tavrin\\Language\\1920x1080\\";
const std::wstring kConfigPath = L"C:\\Tavrin\\AudioConfig.cfg";

class LanguageTest : public ::testing::Test {
protected:
    LanguageTest() { language.SetLanguageRoot(kRoot); }
    void WriteLanguage(const std::wstring& folder, const std::string& text) {
        files.AddTextFile(kRoot + folder + L"\\Language.ini", text);
    }
    void Load(const std::string& text) {
        WriteLanguage(L"English", text);
        language.LoadLanguage(L"English");
    }
    Component& AddLabel(const std::wstring& name, int32_t left = 0, int32_t width = 0) {
        Component label;
        label.name = name;
        label.kind = ComponentKind::Label;
        label.left = left;
        label.width = width;
        label.fontColour = kDesignColour;
        return form.Add(label);
    }
    Component& AddBevel(const std::wstring& name, int32_t width, bool visible = true) {
        Component bevel;
        bevel.name = name;
        bevel.kind = ComponentKind::Bevel;
        bevel.width = width;
        bevel.visible = visible;
        return form.Add(bevel);
    }

    static constexpr Colour kDesignColour = 0x123456;
    test::MemoryFileSystem files;
    PortableProfileStore profiles{files};
    MemoryRegistry registry;
    test::FakeEnvironment environment;
    test::FakeClock clock;
    test::RecordingDebugLog log;
    Platform platform{profiles, registry, files, environment, clock, log};
    RecordingUiHost ui;
    FormModel form;
    LanguageManager language{platform, ui, form};
};

TEST_F(LanguageTest, LoadReadsGlobalFontAndEveryKeyOfTheFolder) {
    language.SetOldVersion(true);
    Load(
        "[GlobalFont]\nColorUp=0xFFFFFF\nColorDown=255\nFont=Verdana\nFontSize=11\n"
        "[Main]\nLabelMenu1=Save,,,,,10,10\nLabelActive=Connected\n"
        "[EQ]\nLableEQ3DEnable=3D,,,,,10,10\nLabelEQS2=Rock\n"
        "[About]\nLabelWeb=www.example.com\n");

    EXPECT_EQ(language.LanguageName(), L"English");
    EXPECT_EQ(language.Global().colorUp, 0xFFFFFFu);
    EXPECT_EQ(language.Global().colorDown, 255u);
    EXPECT_EQ(language.Global().font, L"Verdana");
    EXPECT_EQ(language.Global().fontSize, 11);
    EXPECT_EQ(language.Record(L"LabelMenu1"), LabelRecord(Rec(L"Save", 0).Left(10).Top(10)));
    EXPECT_EQ(language.Record(L"LabelEQS2").text, L"Rock");
    EXPECT_EQ(language.Record(L"LabelWeb").text, L"www.example.com");
    // The key's odd spelling is the one the files use; the [EQ] page gets the old offsets.
    const LabelRecord* eq3d = language.RecordForControl(L"EQ3DENLabel");
    ASSERT_NE(eq3d, nullptr);
    EXPECT_EQ(*eq3d, LabelRecord(Rec(L"3D", 1).Left(206).Top(62)));
    EXPECT_EQ(language.RecordForControl(L"NoSuchLabel"), nullptr);
    EXPECT_TRUE(log.lines.empty());
}

TEST_F(LanguageTest, BadItemsAreNotedWithFileAndKey) {
    Load("[GlobalFont]\nColorUp=white\nFontSize=\n[Mic]\nLabelMicGain=Gain,,,,big\n");

    EXPECT_EQ(language.Global().colorUp, 0u);
    EXPECT_EQ(language.Global().fontSize, -1);
    EXPECT_EQ(language.Record(L"LabelMicGain"), LabelRecord(Rec(L"Gain", 3)));
    ASSERT_EQ(log.lines.size(), 2u);
    const std::wstring file = kRoot + L"English\\Language.ini";
    EXPECT_EQ(log.lines[0], file + L" [GlobalFont] ColorUp: 'white' is not a number");
    EXPECT_EQ(log.lines[1],
              file + L" [Mic] LabelMicGain: item 5 (font size) 'big' is not a number");
}

TEST_F(LanguageTest, ValueLongerThanTheBufferIsCutAndNoted) {
    Load("[Main]\nLabelSync=" + std::string(300, 's') + "\n");
    EXPECT_EQ(language.Record(L"LabelSync").text, std::wstring(127, L's'));
    ASSERT_EQ(log.lines.size(), 2u);
    EXPECT_NE(log.lines[0].find(L"[Main] LabelSync: value fills the 256-character buffer"),
              std::wstring::npos);
    EXPECT_NE(log.lines[1].find(L"[Main] LabelSync: text longer than 127"), std::wstring::npos);
}

TEST_F(LanguageTest, MissingFileClearsWhatTheLastLanguageLoaded) {
    Load(
        "[GlobalFont]\nColorUp=1\nFont=Verdana\nFontSize=11\n"
        "[Main]\nLabelLanguage=Sprache\nLabelSkin=Haut\nLabelPageEQ=EQ\n");
    ASSERT_EQ(language.Text(L"LabelLanguage", L"Language"), L"Sprache");

    language.LoadLanguage(L"Missing");

    EXPECT_EQ(language.LanguageName(), L"Missing");
    EXPECT_EQ(language.Global().colorUp, 0u);
    EXPECT_EQ(language.Global().font, L"");
    EXPECT_EQ(language.Global().fontSize, -1);
    for (const LabelKey& key : LabelKeys()) {
        const std::wstring name = key.key;
        EXPECT_EQ(language.Record(name), LabelRecord(Rec(L"", key.defaultPage)))
            << std::string(name.begin(), name.end());
    }
    EXPECT_EQ(language.Text(L"LabelLanguage", L"Language"), L"Language");
    EXPECT_EQ(language.Text(L"LabelSkin", L"Skin"), L"Skin");
    EXPECT_EQ(language.Text(L"LabelClose", L"Close"), L"Close");
    EXPECT_EQ(language.Text(L"LabelPlugin", L"Plugin"), L"Plugin");
}

TEST_F(LanguageTest, TextFallsBackOnlyWhenThereIsNoText) {
    Load("[Main]\nLabelClose=Beenden\nLabelSkin=(null)\n");
    EXPECT_EQ(language.Text(L"LabelClose", L"Close"), L"Beenden");
    EXPECT_EQ(language.Text(L"LabelSkin", L"Skin"), L"Skin");
    EXPECT_EQ(language.Text(L"NoSuchKey", L"x"), L"x");
}

TEST_F(LanguageTest, ApplyLabelFillsGapsFromTheGlobalFont) {
    Load("[GlobalFont]\nColorUp=0x00FF00\nColorDown=0x0000FF\nFont=Verdana\nFontSize=11\n");
    LabelRecord record = Rec(L"Volume", 0);
    Component& label = AddLabel(L"L");
    label.visible = false;

    language.ApplyLabel(record, label, true);
    EXPECT_TRUE(label.visible);
    EXPECT_EQ(label.caption, L"Volume");
    EXPECT_EQ(label.fontColour, 0x00FF00u);
    EXPECT_EQ(label.fontName, L"Verdana");
    EXPECT_EQ(label.fontSize, 11);
    // The record now carries the global colours, as later state changes read them from it.
    EXPECT_EQ(record, LabelRecord(Rec(L"Volume", 0).Up(0x00FF00).Down(0x0000FF)));

    language.ApplyLabel(record, label, false);
    EXPECT_EQ(label.fontColour, 0x0000FFu);
}

TEST_F(LanguageTest, ApplyLabelPrefersTheRecordsOwnValues) {
    Load("[GlobalFont]\nColorUp=1\nColorDown=2\nFont=Verdana\nFontSize=11\n");
    LabelRecord record =
        Rec(L"A", 0).Up(3).Down(4).Font(L"Arial").Size(14).Left(5).Top(6).Width(7).Height(8);
    Component& label = AddLabel(L"L");

    language.ApplyLabel(record, label, false);
    EXPECT_EQ(label.fontColour, 4u);
    EXPECT_EQ(label.fontName, L"Arial");
    EXPECT_EQ(label.fontSize, 14);
    EXPECT_EQ((std::vector<int32_t>{label.left, label.top, label.width, label.height}),
              (std::vector<int32_t>{5, 6, 7, 8}));
}

TEST_F(LanguageTest, ApplyLabelWithoutGlobalValuesKeepsTheDesign) {
    Load("[GlobalFont]\nColorUp=0\n");
    LabelRecord record = Rec(L"A", 0).Down(4);
    Component& label = AddLabel(L"L", 30, 40);
    label.top = 50;

    language.ApplyLabel(record, label, true);
    EXPECT_EQ(label.fontColour, kDesignColour);
    EXPECT_EQ(label.fontName, L"Tahoma");
    EXPECT_EQ(label.fontSize, 9);
    EXPECT_EQ((std::vector<int32_t>{label.left, label.top, label.width}),
              (std::vector<int32_t>{30, 50, 40}));
    EXPECT_FALSE(record.hasUpColour);
}

TEST_F(LanguageTest, ApplyLabelHidesWithoutText) {
    for (const wchar_t* text : {L"", L"(null)"}) {
        LabelRecord record = Rec(text, 0);
        Component& label = AddLabel(L"L");
        label.caption = L"designed";
        language.ApplyLabel(record, label, true);
        EXPECT_FALSE(label.visible) << text;
        EXPECT_EQ(label.caption, L"designed");
    }
}

TEST_F(LanguageTest, ApplyLabelScalesSizesByScreenAndSystem) {
    Load("[GlobalFont]\nFontSize=5\n");
    const struct {
        int32_t pixelsPerInch;
        int32_t osClass;
        int32_t recordSize;  // 0: from the global font
        int32_t expected;
    } cases[] = {{120, 6, 10, 8},
                 {120, 5, 10, 7},
                 {96, 6, 10, 10},
                 {96, 4, 0, 4},  // 4.5 rounds to even
                 {96, 6, 0, 5}};
    for (const auto& c : cases) {
        ui.pixelsPerInch = c.pixelsPerInch;
        language.SetOperatingSystemClass(c.osClass);
        LabelRecord record = Rec(L"A", 0);
        if (c.recordSize != 0) record = Rec(L"A", 0).Size(c.recordSize);
        Component& label = AddLabel(L"L");
        language.ApplyLabel(record, label, true);
        EXPECT_EQ(label.fontSize, c.expected) << c.pixelsPerInch << " dpi, class " << c.osClass;
    }
}

TEST_F(LanguageTest, DeviceLabelFollowsTheDeviceState) {
    Load("[Main]\nLabelActive=Connected\nLabelUnactive=No device\nLabelUnDriver=No driver\n");
    Component& label = AddLabel(L"DeviceActiveLabel");
    const struct {
        DeviceLabel state;
        const wchar_t* caption;
    } cases[] = {{DeviceLabel::Active, L"Connected"},
                 {DeviceLabel::UnDriver, L"No driver"},
                 {DeviceLabel::Unactive, L"No device"}};
    for (const auto& c : cases) {
        language.ApplyDeviceLabel(c.state);
        EXPECT_EQ(label.caption, c.caption);
        label.caption.clear();
        language.ApplyLanguageLabels(LabelLook{});
        EXPECT_EQ(label.caption, c.caption) << "all labels keep the state shown last";
        ASSERT_NE(language.RecordForControl(L"DeviceActiveLabel"), nullptr);
        EXPECT_EQ(language.RecordForControl(L"DeviceActiveLabel")->text, c.caption);
    }
}

TEST_F(LanguageTest, OnlyLabelsWithAStateTakeTheDownColour) {
    Load(
        "[Main]\nLabelMenu1=Save,1,2\nLabelPageMic=Mic,1,2\nDeviceInLabel=Online,1,2\n"
        "[EQ]\nLabelEQEnable=EQ,1,2\nLabelEQS3=Pop,1,2\nLabelEQ60Hz=60,1,2\n");
    for (const wchar_t* name : {L"Menu1Label", L"PageMicLabel", L"EQEQENLabel", L"EQS3Label",
                                L"EQ60HzLabel", L"DeviceInLabel"}) {
        AddLabel(name);
    }
    LabelLook look;
    look.isSelected = [](const Component&) { return true; };
    language.ApplyLanguageLabels(look);
    EXPECT_EQ(form.Find(L"Menu1Label")->fontColour, 1u);
    EXPECT_EQ(form.Find(L"EQ60HzLabel")->fontColour, 1u);
    EXPECT_EQ(form.Find(L"PageMicLabel")->fontColour, 2u);
    EXPECT_EQ(form.Find(L"EQEQENLabel")->fontColour, 2u);
    EXPECT_EQ(form.Find(L"EQS3Label")->fontColour, 2u);
    EXPECT_EQ(form.Find(L"DeviceInLabel")->fontColour, 2u) << "the device indicator's caption";

    look.isSelected = [](const Component& c) { return c.name == L"EQS3Label"; };
    language.ApplyLanguageLabels(look);
    EXPECT_EQ(form.Find(L"EQEQENLabel")->fontColour, 1u);
    EXPECT_EQ(form.Find(L"EQS3Label")->fontColour, 2u);

    look.isSelected = nullptr;
    language.ApplyLanguageLabels(look);
    EXPECT_EQ(form.Find(L"EQS3Label")->fontColour, 1u);
}

TEST_F(LanguageTest, PresetAndValueLabelsShowTheWindowsState) {
    Load(
        "[Main]\nLabelSX=SX,,,,,100\n[EQ]\nLabelEQS1=Flat\nLabelEQS2=Rock\n"
        "[Mic]\nLabelMicValue=x,5\n[ENC]\nLabelENCValue=y\n");
    Component& sx = AddLabel(L"SXLabel");
    Component& mic = AddLabel(L"MicValueLabel");
    Component& enc = AddLabel(L"ENCValueLabel");
    LabelLook look;
    look.eqPreset = 2;
    look.micValue = 73;
    look.encValue = -4;
    language.ApplyLanguageLabels(look);

    EXPECT_EQ(sx.caption, L"Rock");
    EXPECT_EQ(sx.left, 100);  // the rest of its own record still applies
    EXPECT_EQ(mic.caption, L"73");
    EXPECT_EQ(mic.fontColour, 5u);
    EXPECT_EQ(enc.caption, L"-4");
    EXPECT_EQ(language.Record(L"LabelSX").text, L"SX");
}

class LanguagePageTabsTest : public LanguageTest {
protected:
    // Tabs 40 wide except the ENC tab (30); separators 2 wide, scattered before the layout.
    void BuildTabs(bool bevel7Visible) {
        Component& eq = AddLabel(L"PageEQLabel", 10, 40);
        eq.top = 7;
        AddBevel(L"Bevel2", 2).top = 99;
        AddLabel(L"PageEffectLabel", 0, 40);
        AddBevel(L"Bevel3", 2);
        AddLabel(L"PageMicLabel", 0, 40);
        AddBevel(L"Bevel4", 2);
        AddLabel(L"PageVirtual7p1Label", 0, 40);
        AddBevel(L"Bevel5", 2);
        AddLabel(L"PageENCLabel", 0, 30);
        AddBevel(L"Bevel6", 2).top = 55;
        AddLabel(L"PageVMEffectLabel", 0, 40);
        AddBevel(L"Bevel7", 2, bevel7Visible).top = 55;
        AddLabel(L"PageLEDLabel", 0, 40);
    }
    int32_t LeftOf(const wchar_t* name) { return form.Find(name)->left; }
    int32_t TopOf(const wchar_t* name) { return form.Find(name)->top; }
};

TEST_F(LanguagePageTabsTest, ChainsTabsThroughTheEncAndVoiceMagicTabs) {
    BuildTabs(true);
    language.ApplyLanguageLabels(LabelLook());

    // Each separator touches the tab before it; the tab after is 5 further (10 for ENC).
    EXPECT_EQ(LeftOf(L"Bevel2"), 50);
    EXPECT_EQ(LeftOf(L"PageEffectLabel"), 57);
    EXPECT_EQ(LeftOf(L"Bevel3"), 97);
    EXPECT_EQ(LeftOf(L"PageMicLabel"), 104);
    EXPECT_EQ(LeftOf(L"Bevel4"), 144);
    EXPECT_EQ(LeftOf(L"PageVirtual7p1Label"), 151);
    EXPECT_EQ(LeftOf(L"Bevel5"), 191);
    EXPECT_EQ(LeftOf(L"PageENCLabel"), 203);
    EXPECT_EQ(LeftOf(L"Bevel6"), 233);
    EXPECT_EQ(LeftOf(L"PageVMEffectLabel"), 240);
    EXPECT_EQ(LeftOf(L"Bevel7"), 280);
    EXPECT_EQ(LeftOf(L"PageLEDLabel"), 287);
    for (const wchar_t* bevel : {L"Bevel2", L"Bevel3", L"Bevel5", L"Bevel6", L"Bevel7"}) {
        EXPECT_EQ(TopOf(bevel), 7) << bevel;
    }
}

TEST_F(LanguagePageTabsTest, WithoutBevel7TheLedTabFollowsBevel5) {
    BuildTabs(false);
    language.ApplyLanguageLabels(LabelLook());

    EXPECT_EQ(LeftOf(L"Bevel5"), 191);
    EXPECT_EQ(LeftOf(L"PageLEDLabel"), 198);
    EXPECT_EQ(LeftOf(L"PageENCLabel"), 0);
    EXPECT_EQ(LeftOf(L"Bevel6"), 0);
    EXPECT_EQ(TopOf(L"Bevel6"), 7);  // follows Bevel2 all the same
}

TEST_F(LanguagePageTabsTest, HiddenBevel2LeavesTheTabsAlone) {
    BuildTabs(true);
    form.Find(L"Bevel2")->visible = false;
    language.ApplyLanguageLabels(LabelLook());
    EXPECT_EQ(LeftOf(L"PageEffectLabel"), 0);
    EXPECT_EQ(TopOf(L"Bevel2"), 99);
}

TEST_F(LanguagePageTabsTest, TabsUseTheirLanguageWidthsBeforeChaining) {
    BuildTabs(true);
    Load("[Main]\nLabelPageEQ=Equalizer,,,,,,,60\n");
    language.ApplyLanguageLabels(LabelLook());
    EXPECT_EQ(LeftOf(L"Bevel2"), 70);
}

class LanguageMenuTest : public LanguageTest {
protected:
    void SetUp() override {
        files.AddTextFile(kConfigPath,
                          "[MultiLanguageFolderMap]\nEnglish=English\nDeutsch=Deutsch\n"
                          "German=Deutsch\n");
        for (const wchar_t* folder : {L"German", L"English", L"Klingon", L"Deutsch"}) {
            files.AddDirectory(kRoot + folder);
        }
        files.AddTextFile(kRoot + L"readme.txt", "not a language");
    }
    std::vector<MenuItem> Build() { return language.BuildLanguageMenu(config); }
    static std::vector<std::wstring> Captions(const std::vector<MenuItem>& menu) {
        std::vector<std::wstring> captions;
        for (const MenuItem& item : menu) captions.push_back(item.caption);
        return captions;
    }
    static std::vector<bool> Checks(const std::vector<MenuItem>& menu) {
        std::vector<bool> checks;
        for (const MenuItem& item : menu) checks.push_back(item.checked);
        return checks;
    }

    ConfigFile config{profiles, kConfigPath};
};

TEST_F(LanguageMenuTest, OneRadioItemPerFolderInNameOrder) {
    language.LoadLanguage(L"english");
    const std::vector<MenuItem> menu = Build();

    // Deutsch, English, German, Klingon; Klingon has no display name.
    EXPECT_EQ(Captions(menu), (std::vector<std::wstring>{L"Deutsch", L"English", L"Deutsch", L""}));
    EXPECT_EQ(Checks(menu), (std::vector<bool>{false, true, false, false}));
    for (size_t i = 0; i < menu.size(); ++i) {
        EXPECT_EQ(menu[i].command, kLanguageCommandBase + i);
        EXPECT_TRUE(menu[i].radio);
    }
}

TEST_F(LanguageMenuTest, UnknownCurrentLanguageChecksTheFirstItem) {
    language.LoadLanguage(L"Esperanto");
    EXPECT_EQ(Checks(Build()), (std::vector<bool>{true, false, false, false}));
}

TEST_F(LanguageMenuTest, ClickPicksTheFirstFolderWithThatCaption) {
    Build();
    EXPECT_EQ(language.LanguageMenuClick(2), L"Deutsch");  // "German", shown as Deutsch
    EXPECT_EQ(language.LanguageName(), L"Deutsch");
    EXPECT_EQ(Checks(language.LanguageMenuItems()), (std::vector<bool>{false, false, true, false}));

    EXPECT_EQ(language.LanguageMenuClick(3), L"Klingon");
    EXPECT_EQ(language.LanguageMenuClick(9), L"Klingon");
    EXPECT_EQ(Checks(language.LanguageMenuItems()), (std::vector<bool>{false, false, false, true}));
}

// A language that would leave the page tabs without captions is passed over at start; with no
// usable folder the built-in English captions stand in.
TEST_F(LanguageMenuTest, StartTakesTheFirstUsableLanguageThenTheBuiltInCaptions) {
    WriteLanguage(L"Klingon", test::RandomBytes(3000, 11));
    WriteLanguage(L"English", "[Main]\nLabelMenu1=Save\n");
    WriteLanguage(L"Deutsch", "[Main]\nLabelPageMic=Mikrofon\n");
    const struct {
        const wchar_t* chosen;
        const wchar_t* taken;
        const wchar_t* why;  // empty: the choice stands without a debug line
    } cases[] = {
        {L"Deutsch", L"Deutsch", L""},
        {L"Klingon", L"Deutsch", L"Klingon\\Language.ini captions no page tab"},
        {L"English", L"Deutsch", L"English\\Language.ini captions no page tab"},
        {L"German", L"Deutsch", L"German\\Language.ini is missing"},
        {L"", L"Deutsch", L"no language folder is named"},
    };
    for (const auto& c : cases) {
        log.lines.clear();
        language.SetLanguageName(c.chosen);
        Build();
        language.ChooseUsableLanguage();
        EXPECT_EQ(language.LanguageName(), c.taken);
        EXPECT_EQ(Checks(language.LanguageMenuItems()),
                  (std::vector<bool>{true, false, false, false}));
        if (*c.why == L'\0') {
            EXPECT_TRUE(log.lines.empty());
        } else {
            ASSERT_EQ(log.lines.size(), 1u);
            EXPECT_NE(log.lines[0].find(c.why), std::wstring::npos);
            EXPECT_NE(log.lines[0].find(L"taking 'Deutsch'"), std::wstring::npos);
        }
    }

    WriteLanguage(L"Deutsch", test::RandomBytes(3000, 12));
    log.lines.clear();
    language.SetLanguageName(L"Klingon");
    Build();
    language.ChooseUsableLanguage();
    EXPECT_EQ(language.LanguageName(), L"");
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_NE(log.lines[0].find(L"the built-in English captions stand in"), std::wstring::npos);
    language.LoadLanguage(language.LanguageName());
    EXPECT_EQ(language.Record(L"LabelPageEQ").text, L"EQ");
    EXPECT_EQ(language.Record(L"LabelMenu1").text, L"Save");
    EXPECT_EQ(language.Text(L"LabelClose"), L"Close");
    EXPECT_EQ(language.Global().font, L"Tahoma");
    EXPECT_EQ(log.lines.size(), 1u) << "the built-in captions read without a problem";
}

TEST_F(LanguageMenuTest, MissingLanguageRootGivesAnEmptyMenu) {
    language.SetLanguageRoot(L"C:\\Nowhere\\");
    EXPECT_TRUE(Build().empty());
    EXPECT_EQ(language.LanguageMenuClick(0), L"");
}

}  // namespace
}  // namespace tavrin
