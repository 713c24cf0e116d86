// The skinned window's handlers against the virtual headset, with a small skin and language
// folder written by the test.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <tuple>

#include "app/features/AudioFeatures.h"
#include "app/shell/AudioMainForm.h"
#include "tests/support/MainWindowFixture.h"
#include "tests/support/RandomBytes.h"
#include "tests/support/RecordingFeatures.h"
#include "tests/support/RecordingUiHost.h"

namespace tavrin {
namespace {

using Calls = std::vector<std::string>;

using test::RecordingFeatures;

constexpr char kConfig[] =
    "[Install]\r\nInstallAppTitle=Acme Audio Control\r\nInstallIconFileName=Tavrin.ico\r\n"
    "InstallFolderName=Acme Audio\r\n"
    "[Skin]\r\nSkinFolderName=Skin\r\nRegionCut=0\r\n"
    "[Language]\r\nLanguageFolderName=Language\r\n"
    "[MultiLanguageFolderMap]\r\nEnglish=English\r\nGerman=Deutsch\r\n"
    "[Version]\r\nBee=1\r\n"
    "[Simple]\r\nEnable=0\r\n"
    "[GPIO]\r\nMODE=0\r\nENABLE=0\r\nDIRECTION=0\r\n"
    "[GPIOActive]\r\n0=1\r\n1=1\r\n2=1\r\n3=1\r\n4=1\r\n5=1\r\n6=1\r\n7=1\r\n8=1\r\n9=1\r\n"
    "[DefaultSet]\r\nV7ch1Scalar=20\r\n"
    "[USB_VID_PID]\r\n1=USB\\VID_2B7A&PID_58XX&REV_0100&MI_00\r\n";

// Every picture a test looks at, each in its own file so that a test can tell them apart.
constexpr char kSkin[] =
    "[Main]\r\nMainFormImage=main.png\r\nCloseImageUp=close_up.png\r\n"
    "CloseImageDown=close_down.png\r\nMinimizeImageUp=min_up.png\r\n"
    "MinimizeImageDown=min_down.png\r\nMenu1ImageUp=m1_up.png\r\nMenu1ImageDown=m1_down.png\r\n"
    "Menu2ImageUp=m2_up.png\r\nMenu2ImageDown=m2_down.png\r\nMenu3ImageUp=m3_up.png\r\n"
    "Menu3ImageDown=m3_down.png\r\nLedImageUp=led_up.png\r\nLedImageDown=led_down.png\r\n"
    "MainLeftImage1=left1.png\r\nMainLeftImage2=left2.png\r\nMainLeftImage3=left3.png\r\n"
    "MainLeftImage4=left4.png\r\n"
    "DeviceActiveUpImage=in_up.png\r\nDeviceActiveDownImage=in_down.png\r\n"
    "DeviceUnActiveUpImage=out_up.png\r\nDeviceUnActiveDownImage=out_down.png\r\n"
    "PageEQUpImage=eq_up.png\r\nPageEQDownImage=eq_down.png\r\n"
    "PageEffectUpImage=fx_up.png\r\nPageEffectDownImage=fx_down.png\r\n"
    "PageMicUpImage=mic_up.png\r\nPageMicDownImage=mic_down.png\r\n"
    "PageVirtual7p1UpImage=v_up.png\r\nPageVirtual7p1DownImage=v_down.png\r\n"
    "PageLEDUpImage=led_tab_up.png\r\nPageLEDDownImage=led_tab_down.png\r\n"
    "PageENCUpImage=enc_up.png\r\nPageENCDownImage=enc_down.png\r\n"
    "PageVMEffectUpImage=vm_up.png\r\nPageVMEffectDownImage=vm_down.png\r\n"
    "[EQ]\r\nBack_EQImage=back_eq.png\r\nEQEQENImageUp=eqen_up.png\r\n"
    "EQEQENImageDown=eqen_down.png\r\nEQResetImageUp=reset_up.png\r\n"
    "EQResetImageDown=reset_down.png\r\n"
    "EQ60HzBarImage=bar.png,,,12,208\r\nEQ60HzSliderImage=slider.png,,,40,18\r\n"
    "EQ300HzBarImage=bar.png,,,12,208\r\nEQ300HzSliderImage=slider.png,,,40,18\r\n"
    "EQ60HzBarDownImage=bar.png,,,12,208,1\r\nEQSlider=181,208\r\n"
    "[Effect]\r\nBack_EffectImage=back_fx.png\r\n"
    "[Mic]\r\nBack_MicImage=back_mic.png\r\nMicBarImage=bar.png,,,12,224\r\nMicSliderImage=slider."
    "png,,,40,18\r\n"
    "MicBoostImageUp=boost_up.png\r\nMicBoostImageDown=boost_down.png\r\nMicSlider=155,100\r\n"
    "[Virtual7ch1]\r\nBack_Virtual7p1Image=back_v.png\r\nVirtualCImage=spk.png\r\n"
    "VirtualResetUpImage=vreset_up.png\r\nVirtualResetDownImage=vreset_down.png\r\n"
    "VirtualEnableImageUp=ven_up.png\r\nVirtualEnableImageDown=ven_down.png\r\n"
    "VirtualDisableImageUp=vdis_up.png\r\nVirtualDisableImageDown=vdis_down.png\r\n"
    "[3D]\r\nD3LBetaSliderImage=slider.png,,,36,16\r\nD3AlphaDepImage=link_dep.png\r\n"
    "[ENC]\r\nENCBarImage=bar.png,,,12,240\r\nENCSliderImage=slider.png,,,40,18\r\n"
    "[LED]\r\nLEDPageMode=1\r\n";

constexpr char kLanguage[] =
    "[GlobalFont]\r\nColorUp=100\r\nColorDown=200\r\nFont=Tahoma\r\nFontSize=9\r\n"
    "[Main]\r\nLabelMenu1=Save\r\nLabelMenu2=Load\r\nLabelMenu3=About\r\n"
    "LabelPageEQ=EQ,11,22\r\nLabelPageEffect=Effects\r\nLabelPageMic=Mic\r\n"
    "LabelPageVirtual7ch1=7.1\r\nLabelPageLED=LED\r\nLabelPageENC=ENC\r\n"
    "LabelPageVMEffect=Voice\r\nLabelActive=Connected\r\nLabelUnactive=No headset\r\n"
    "LabelWarning=Connect the headset first\r\nLabelWarning1=No noise cancellation\r\n"
    "LabelLanguage=Sprache\r\n"
    "[EQ]\r\nLabelEQEnable=EQ-EN\r\nLabelEQReset=RESET\r\n"
    "[Mic]\r\nLabelMicBoost=Mic Boost\r\n"
    "[Virtual7ch1]\r\nLabel7ch1Reset=RESET\r\n";

std::vector<uint8_t> TinyPng() {
    return {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13,
            'I',  'H', 'D', 'R', 0,    0,    0,    20,   0, 0, 0, 10};
}

// Plain writes: the fixture needs no crash safety, and syncing every picture is slow.
void WriteUnder(const test::TempFolder& folder, const std::filesystem::path& relative,
                const std::string& bytes) {
    const std::filesystem::path path = folder.HostPath() / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

void WriteSkinFolder(const test::TempFolder& folder, const std::string& name,
                     const std::string& settings) {
    const std::filesystem::path dir = std::filesystem::path("Skin") / "1366x768" / name;
    WriteUnder(folder, dir / "SkinSetting.ini", settings);
    // Every file the settings name, as a picture header the window can size itself by.
    const std::vector<uint8_t> png = TinyPng();
    std::istringstream lines(settings);
    for (std::string line; std::getline(lines, line);) {
        const size_t end = line.find(".png");
        const size_t equals = line.find('=');
        if (end == std::string::npos || equals == std::string::npos) continue;
        WriteUnder(folder, dir / line.substr(equals + 1, end + 4 - equals - 1),
                   std::string(png.begin(), png.end()));
    }
}

void WriteLanguageFolder(const test::TempFolder& folder, const std::string& name,
                         const std::string& text) {
    WriteUnder(folder, std::filesystem::path("Language") / "1366x768" / name / "Language.ini",
               text);
}

class SkinnedWindowTest : public test::MainWindowFixture<RecordingUiHost, RecordingFeatures> {
protected:
    void SetUp() override {
        SetUpProgram(kConfig);
        WriteSkin("Test", kSkin);
        WriteLanguage("English", kLanguage);
        environment.variables[L"APPDATA"] = folder.Path() + L"AppData";
    }
    void Write(const std::filesystem::path& relative, const std::string& bytes) {
        WriteUnder(folder, relative, bytes);
    }
    void WriteSkin(const std::string& name, const std::string& settings) {
        WriteSkinFolder(folder, name, settings);
    }
    void WriteLanguage(const std::string& name, const std::string& text) {
        WriteLanguageFolder(folder, name, text);
    }
    void Build() { ASSERT_TRUE(form.Construct()); }
    // A second skin that sorts first, and the program's configuration naming `skin`.
    void BuildWithProgramSkin(const std::string& skin) {
        WriteSkin("Alpha", "[Main]\r\nMainFormImage=main.png\r\n");
        std::string config = kConfig;
        config.insert(config.find("RegionCut"), "DefaultSkin=" + skin + "\r\n");
        host.WriteFile(folder.Path() + L"AudioConfig.cfg", config);
        Build();
    }
    Component& Control(const wchar_t* name) {
        Component* control = form.MutableForm().Find(name);
        EXPECT_NE(control, nullptr) << std::string(name, name + wcslen(name));
        return *control;
    }
    // The file name of the picture a control shows.
    std::string PictureOf(const wchar_t* name) {
        const std::wstring& path = Control(name).picture;
        const std::wstring file = path.substr(path.find_last_of(L'\\') + 1);
        return std::string(file.begin(), file.end());
    }
    void Press(const wchar_t* name) {
        const Component& c = Control(name);
        form.OnMouseDown(c.left + c.width / 2, c.top + c.height / 2);
    }
    void Release(const wchar_t* name) {
        const Component& c = Control(name);
        form.OnMouseUp(c.left + c.width / 2, c.top + c.height / 2);
    }
    void Click(const wchar_t* name) {
        Press(name);
        Release(name);
    }
    void Unplug() { form.Discovery().m_bDeviceActive = 0; }
    bool Logged(const std::wstring& part) {
        return std::any_of(log.lines.begin(), log.lines.end(), [&](const std::wstring& line) {
            return line.find(part) != std::wstring::npos;
        });
    }
};

TEST_F(SkinnedWindowTest, ConstructionShowsTheFirstPageInItsSkinAndLanguage) {
    Build();
    EXPECT_EQ(ui.form, &form.Form());
    EXPECT_EQ(form.m_Settings.m_iCurrentPage, 1);
    EXPECT_EQ(PictureOf(L"PageEQImage"), "eq_down.png");
    EXPECT_EQ(PictureOf(L"PageEffectImage"), "fx_up.png");
    EXPECT_EQ(PictureOf(L"MainLeftImage"), "left1.png");
    EXPECT_TRUE(Control(L"Back_EQImage").visible);
    EXPECT_FALSE(Control(L"Back_EffectImage").visible);
    EXPECT_TRUE(Control(L"EQ60HzBarDownImage").visible);
    EXPECT_EQ(Control(L"Menu1Label").caption, L"Save");
    EXPECT_TRUE(Control(L"Menu1Label").visible);
    EXPECT_FALSE(Control(L"EQS1Label").visible) << "a key the language file lacks hides its label";
    EXPECT_FALSE(Control(L"BeeCheckBox").visible) << "only on the 7.1 page";
    EXPECT_EQ(PictureOf(L"DeviceInImage"), "in_down.png");
    EXPECT_EQ(PictureOf(L"DeviceOutImage"), "out_up.png");
    EXPECT_EQ(Control(L"DeviceActiveLabel").caption, L"Connected");
    form.ShowDeviceLabel(DeviceLabel::Unactive);
    EXPECT_EQ(Control(L"DeviceActiveLabel").caption, L"No headset");
    ASSERT_EQ(ui.menu.size(), 4u);
    EXPECT_EQ(ui.menu[0].caption, L"Sprache");
    EXPECT_EQ(ui.menu[1].caption, L"Skin") << "built-in caption for an empty text";
    ASSERT_EQ(ui.menu[1].items.size(), 1u);
    EXPECT_EQ(ui.menu[1].items[0].caption, L"Test");
    EXPECT_TRUE(ui.menu[1].items[0].checked);
}

// A caption must act exactly like its picture: same features, same look, same boxes.
TEST_F(SkinnedWindowTest, ACaptionActsExactlyLikeItsPicture) {
    Build();
    const struct {
        const wchar_t* picture;
        const wchar_t* caption;
    } pairs[] = {
        {L"Menu1Image", L"Menu1Label"},
        {L"EQEQENImage", L"EQEQENLabel"},
        {L"EQResetImage", L"EQResetLabel"},
        {L"MicBoostImage", L"MicBoostLabel"},
        {L"VirtualResetImage", L"VirtualResetLabel"},
        {L"EffectButtonStoneGalleryImage", L"EffectBathroomLabel"},
    };
    for (const bool deviceActive : {true, false}) {
        for (const auto& pair : pairs) {
            form.Discovery().m_bDeviceActive = deviceActive ? 1 : 0;
            auto outcome = [&](const wchar_t* pressed) {
                features.calls.clear();
                ui.messages.clear();
                Component& picture = Control(pair.picture);
                picture.picture.clear();
                Component& target = Control(pressed);
                form.OnMouseDown(target.left + target.width / 2, target.top + target.height / 2);
                return std::make_tuple(
                    features.calls, ui.messages, picture.picture,
                    form.MutableForm().FindByTag(ComponentKind::Label, picture.tag)->fontColour);
            };
            const auto byPicture = outcome(pair.picture);
            form.OnMouseUp(-1, -1);
            const auto byCaption = outcome(pair.caption);
            form.OnMouseUp(-1, -1);
            EXPECT_EQ(byPicture, byCaption)
                << std::string(pair.caption, pair.caption + wcslen(pair.caption)) << " device "
                << deviceActive;
        }
    }
    EXPECT_TRUE(log.Contains(L"TAudioMainForm::OnLabelMouseDown"));
}

TEST_F(SkinnedWindowTest, WithoutADeviceOnlyTheExemptPressesGoThrough) {
    Build();
    Unplug();
    const struct {
        int32_t tag;
        bool warned;
    } cases[] = {{0, false},  {1, false},  {2, true},   {3, true},   {4, false},
                 {5, true},   {7, true},   {14, false}, {15, false}, {16, true},
                 {23, true},  {28, false}, {29, false}, {47, true},  {48, true},
                 {49, false}, {50, false}, {51, true},  {52, true},  {226, true}};
    for (const auto& c : cases) {
        ui.messages.clear();
        features.calls.clear();
        Component* picture = form.MutableForm().FindByTag(ComponentKind::Image, c.tag);
        ASSERT_NE(picture, nullptr) << c.tag;
        form.OnImageMouseDown(*picture);
        if (c.warned) {
            EXPECT_EQ(ui.messages, std::vector<std::wstring>{L"Connect the headset first"})
                << c.tag;
            EXPECT_EQ(ui.messageCaptions.back(), L"Acme Audio Control");
            EXPECT_EQ(ui.messageIcons.back(), MessageIcon::Warning);
            EXPECT_TRUE(features.calls.empty()) << c.tag;
        } else {
            EXPECT_TRUE(ui.messages.empty()) << c.tag;
        }
    }
    EXPECT_EQ(form.m_Settings.m_iCurrentPage, 1) << "a refused tab switches nothing";
}

// Releases and clicks of gated controls need the device themselves: a press may arrive without
// the pointer (hardware buttons) and no warning box then swallows the release.
TEST_F(SkinnedWindowTest, ReleasesAndClicksOfGatedControlsNeedADevice) {
    Build();
    Unplug();
    for (const wchar_t* name : {L"Menu1Image", L"Menu2Image", L"EQResetImage"}) {
        features.calls.clear();
        ui.messages.clear();
        form.OnImageMouseUp(Control(name));
        Click(name);
        EXPECT_TRUE(features.calls.empty()) << std::string(name, name + wcslen(name));
        EXPECT_EQ(ui.messages.size(), 1u) << "the press warns once";
    }
    form.Discovery().m_bDeviceActive = 1;
    features.calls.clear();
    for (const wchar_t* name : {L"Menu1Image", L"Menu2Image", L"EQResetImage"}) Click(name);
    EXPECT_EQ(features.calls, (Calls{"press 2", "release 2", "press 3", "release 3", "press 5",
                                     "release 5", "click EQResetLabel 5"}))
        << "the caption lies over the picture";
}

TEST_F(SkinnedWindowTest, AboutShowsItsPressedLookWithAndWithoutADevice) {
    Build();
    for (const bool deviceActive : {false, true}) {
        form.Discovery().m_bDeviceActive = deviceActive ? 1 : 0;
        features.calls.clear();
        Press(L"Menu3Image");
        EXPECT_EQ(PictureOf(L"Menu3Image"), "m3_down.png");
        EXPECT_EQ(Control(L"Menu3Label").fontColour, 200u) << "caption in its down colour";
        Release(L"Menu3Image");
        EXPECT_EQ(PictureOf(L"Menu3Image"), "m3_up.png");
        EXPECT_EQ(Control(L"Menu3Label").fontColour, 100u);
        EXPECT_EQ(features.calls, (Calls{"press 4", "release 4"}))
            << "the About unit decides about the device";
    }
}

TEST_F(SkinnedWindowTest, PageTabsSwitchPagesAndTheirPictures) {
    Build();
    const struct {
        const wchar_t* tab;
        int32_t page;
        const char* selectedPicture;
        const char* leftPicture;
        const wchar_t* pageBackground;
        Calls calls;
    } cases[] = {
        {L"PageEffectLabel", 2, "fx_down.png", "left2.png", L"Back_EffectImage", {"page tab 2"}},
        {L"PageMicImage", 3, "mic_down.png", "left3.png", L"Back_MicImage", {"page tab 3"}},
        {L"PageVirtual7p1Label",
         4,
         "v_down.png",
         "left4.png",
         L"Back_Virtual7p1Image",
         {"page tab 4"}},
        {L"PageENCImage", 7, "enc_down.png", nullptr, nullptr, {"page tab 7"}},
        {L"PageVMEffectLabel", 8, "vm_down.png", nullptr, nullptr, {"page tab 8"}},
        {L"PageLEDLabel",
         6,
         "led_tab_down.png",
         nullptr,
         nullptr,
         {"page tab 6", "click PageLEDLabel 228"}},
        {L"PageEQLabel", 1, "eq_down.png", "left1.png", L"Back_EQImage", {"page tab 1"}},
    };
    for (const auto& c : cases) {
        features.calls.clear();
        Press(c.tab);
        Release(c.tab);
        const std::string name(c.tab, c.tab + wcslen(c.tab));
        EXPECT_EQ(form.m_Settings.m_iCurrentPage, c.page) << name;
        EXPECT_EQ(features.calls, c.calls) << name;
        const Component& tab =
            *form.MutableForm().FindByTag(ComponentKind::Image, Control(c.tab).tag);
        EXPECT_EQ(PictureOf(tab.name.c_str()), c.selectedPicture) << name;
        EXPECT_EQ(PictureOf(L"PageEQImage") == "eq_down.png", c.page == 1) << name;
        if (c.leftPicture != nullptr) {
            EXPECT_TRUE(Control(L"MainLeftImage").visible) << name;
            EXPECT_EQ(PictureOf(L"MainLeftImage"), c.leftPicture) << name;
        } else {
            EXPECT_FALSE(Control(L"MainLeftImage").visible) << name;
        }
        for (const wchar_t* background :
             {L"Back_EQImage", L"Back_EffectImage", L"Back_MicImage", L"Back_Virtual7p1Image"}) {
            EXPECT_EQ(Control(background).visible,
                      c.pageBackground != nullptr && std::wstring(background) == c.pageBackground)
                << name << " " << std::string(background, background + wcslen(background));
        }
        EXPECT_EQ(Control(L"BeeCheckBox").visible, c.page == 4) << name;
        // Tab captions: the record of PageEQLabel gives both colours.
        EXPECT_EQ(Control(L"PageEQLabel").fontColour, c.page == 1 ? 22u : 11u) << name;
        EXPECT_EQ(Control(L"PageMicLabel").fontColour, c.page == 3 ? 22u : 11u) << name;
    }
}

TEST_F(SkinnedWindowTest, TheLedTabStaysAButtonWhenTheFeaturesUseNoLedPage) {
    features.ledPageInUse = false;
    Build();
    features.calls.clear();
    Click(L"PageLEDLabel");
    EXPECT_EQ(form.m_Settings.m_iCurrentPage, 1);
    EXPECT_EQ(features.calls, (Calls{"page tab 6", "click PageLEDLabel 228"}));
    features.calls.clear();
    Component& tab = Control(L"PageLEDImage");
    form.OnImageMouseDown(tab);
    form.OnImageMouseUp(tab);
    EXPECT_EQ(form.m_Settings.m_iCurrentPage, 1);
    EXPECT_EQ(PictureOf(L"PageLEDImage"), "led_tab_up.png");
    EXPECT_TRUE(features.calls.empty());
}

// The device captions show the device's state in their colours, also after the texts and the
// skin are applied again.
TEST_F(SkinnedWindowTest, TheDeviceCaptionsKeepTheirStateThroughASkinChange) {
    std::string language = kLanguage;
    language.insert(language.find("[Main]") + 8,
                    "DeviceInLabel=Online\r\nDeviceOutLabel=Offline\r\n");
    WriteLanguage("English", language);
    Build();
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(Control(L"DeviceInLabel").fontColour, 200u) << round;
        EXPECT_EQ(Control(L"DeviceOutLabel").fontColour, 100u) << round;
        form.OnMenuCommand(ui.menu[1].items[0].command);
    }
}

TEST_F(SkinnedWindowTest, TwoStateButtonsShowTheLookTheyAreGiven) {
    Build();
    form.ShowButton(7, true);
    EXPECT_EQ(PictureOf(L"EQEQENImage"), "eqen_down.png");
    EXPECT_EQ(Control(L"EQEQENLabel").fontColour, 200u);
    form.ShowButton(7, false);
    EXPECT_EQ(PictureOf(L"EQEQENImage"), "eqen_up.png");
    EXPECT_EQ(Control(L"EQEQENLabel").fontColour, 100u);

    // With hardware switches the switch decides 7.1's look.
    features.levelMode = true;
    features.switchState = 1;
    form.ShowButton(47, false);
    EXPECT_EQ(PictureOf(L"VirtualEnableImage"), "vdis_down.png");
    features.switchState = 0;
    form.ShowButton(47, true);
    EXPECT_EQ(PictureOf(L"VirtualEnableImage"), "vdis_up.png");
}

// A skin may keep the 3D link pictures in a "3D" folder outside its screen-size folders.
TEST_F(SkinnedWindowTest, LinkPicturesComeFromTheSkinsOwnThreeDFolderWhenItHasThem) {
    Build();
    Component& link = Control(L"D3AlphaImage");
    form.ShowLinkPicture(L"D3AlphaDepImage", link);
    EXPECT_EQ(link.picture, folder.Path() + L"Skin\\1366x768\\Test\\link_dep.png");
    const std::vector<uint8_t> png = TinyPng();
    Write(std::filesystem::path("Skin") / "Test" / "3D" / "link_dep.png",
          std::string(png.begin(), png.end()));
    form.ShowLinkPicture(L"D3AlphaDepImage", link);
    EXPECT_EQ(link.picture, folder.Path() + L"Skin\\Test\\3D\\link_dep.png");
    EXPECT_FALSE(link.visible) << "a 3D control while the EQ page is shown";
    form.m_Settings.m_iCurrentPage = 5;
    form.ShowLinkPicture(L"D3AlphaDepImage", link);
    EXPECT_TRUE(link.visible);
}

TEST_F(SkinnedWindowTest, TheLedButtonIsMomentary) {
    Build();
    Press(L"LEDImage");
    EXPECT_EQ(PictureOf(L"LEDImage"), "led_down.png");
    Release(L"LEDImage");
    EXPECT_EQ(PictureOf(L"LEDImage"), "led_up.png");
}

TEST_F(SkinnedWindowTest, GpioLockedButtonsIgnorePressAndRelease) {
    Build();
    features.calls.clear();
    features.lockedTags = {41, 47};
    for (const wchar_t* name : {L"VirtualEnableImage", L"VirtualCImage"}) {
        form.OnImageMouseDown(Control(name));
        form.OnImageMouseUp(Control(name));
    }
    EXPECT_TRUE(features.calls.empty());
    features.lockedTags.clear();
    for (const wchar_t* name : {L"VirtualEnableImage", L"VirtualCImage"}) {
        form.OnImageMouseDown(Control(name));
        form.OnImageMouseUp(Control(name));
    }
    EXPECT_EQ(features.calls, (Calls{"press 47", "release 47", "press 41", "release 41"}));
}

// The window hands the pointer's offset to the slider's unit, which keeps it in its travel.
TEST_F(SkinnedWindowTest, DragsGoToTheSlidersUnitUntilTheButtonIsReleased) {
    Build();
    Component& slider = Control(L"EQ300HzSliderImage");
    slider.top = 250;
    const int32_t x = slider.left + 5;
    form.OnMouseDown(x, 255);
    ASSERT_TRUE(form.Dragging());
    for (const int32_t dy : {10, -60, 300}) {
        features.calls.clear();
        form.OnMouseMove(x + 2, 255 + dy);
        EXPECT_EQ(features.calls, Calls{"drag 30 " + std::to_string(slider.left + 2) + "," +
                                        std::to_string(250 + dy)});
    }
    // Releasing anywhere, also outside every control, ends the drag, and the unit hears it.
    features.calls.clear();
    form.OnMouseUp(-50, -50);
    EXPECT_FALSE(form.Dragging());
    EXPECT_EQ(features.calls, Calls{"drag end 30"});
    features.calls.clear();
    form.OnMouseMove(x, 400);
    EXPECT_TRUE(features.calls.empty());
}

TEST_F(SkinnedWindowTest, ABarPressGoesToItsUnitWithoutADrag) {
    Build();
    Component& bar = Control(L"EQ60HzBarImage");
    features.calls.clear();
    form.OnMouseDown(bar.left + 1, bar.top + 20);
    EXPECT_EQ(features.calls, Calls{"bar 229"}) << "the filled bar lies over the bar";
    EXPECT_FALSE(form.Dragging());
    form.OnMouseUp(bar.left + 1, bar.top + 20);
}

// A hardware button acts as the user's click: the control's own handlers, with their gates and
// locks; a page made current shows its tab.
TEST_F(SkinnedWindowTest, HardwarePressesActAsClicks) {
    Build();
    const struct {
        const wchar_t* control;
        Calls calls;
    } cases[] = {
        {L"EQResetLabel", {"press 5", "release 5", "click EQResetLabel 5"}},
        {L"MicBoostImage", {"press 21", "release 21"}},
        {L"PageENCLabel", {"page tab 7"}},
        {L"ENCFunctionImage", {"click ENCFunctionImage -1"}},
    };
    for (const auto& c : cases) {
        features.calls.clear();
        form.PressControl(c.control);
        EXPECT_EQ(features.calls, c.calls) << std::string(c.control, c.control + wcslen(c.control));
    }
    EXPECT_EQ(form.m_Settings.m_iCurrentPage, 7);
    features.lockedTags = {47};
    features.calls.clear();
    form.PressControl(L"VirtualEnableImage");
    EXPECT_TRUE(features.calls.empty()) << "locked for the hardware as for the mouse";

    features.calls.clear();
    form.ShowPage(4);
    EXPECT_EQ(form.m_Settings.m_iCurrentPage, 4);
    EXPECT_EQ(PictureOf(L"PageVirtual7p1Image"), "v_down.png");
    EXPECT_EQ(features.calls, Calls{"page tab 4"});
    ui.calls.clear();
    form.RestoreWindow();
    EXPECT_EQ(ui.calls, Calls{"show"});
}

TEST_F(SkinnedWindowTest, DragsNeedADeviceAndTheirUnitsConsent) {
    Build();
    Component& enc = Control(L"ENCSliderImage");
    enc.visible = true;
    features.refusals[L"ENCSliderImage"] = L"LabelWarning1";
    form.DragPress(enc.left + 1, enc.top + 1);
    EXPECT_EQ(ui.messages.back(), L"No noise cancellation");
    EXPECT_FALSE(form.Dragging());

    features.refusals.clear();
    form.DragPress(enc.left + 1, enc.top + 1);
    EXPECT_TRUE(form.Dragging());
    form.DragRelease();

    Unplug();
    ui.messages.clear();
    Component& slider = Control(L"EQ60HzSliderImage");
    form.DragPress(slider.left + 1, slider.top + 1);
    EXPECT_EQ(ui.messages, std::vector<std::wstring>{L"Connect the headset first"})
        << "a drag needs the device even where a press does not";
    EXPECT_FALSE(form.Dragging());
}

TEST_F(SkinnedWindowTest, SpeakersAreDraggedByTheirFeature) {
    Build();
    Component& speaker = Control(L"VirtualCImage");
    speaker.visible = true;
    const int32_t left = speaker.left;
    const int32_t top = speaker.top;
    form.DragPress(left + 2, top + 2);
    features.calls.clear();
    form.DragMove(left + 12, top - 3);
    EXPECT_EQ(features.calls,
              Calls{"drag 41 " + std::to_string(left + 10) + "," + std::to_string(top - 5)});
}

TEST_F(SkinnedWindowTest, ClicksAndReleasesGoToThePressedControl) {
    Build();
    ui.calls.clear();
    Click(L"CloseImage");
    EXPECT_EQ(ui.calls, Calls{"hide"});
    EXPECT_EQ(PictureOf(L"CloseImage"), "close_up.png");

    // Pressed on one control and released over another: the release, not the click.
    ui.calls.clear();
    Press(L"MinimizeImage");
    EXPECT_EQ(PictureOf(L"MinimizeImage"), "min_down.png");
    Release(L"CloseImage");
    EXPECT_EQ(PictureOf(L"MinimizeImage"), "min_up.png");
    EXPECT_TRUE(ui.calls.empty());

    features.calls.clear();
    Click(L"EQResetLabel");
    EXPECT_EQ(features.calls, (Calls{"press 5", "release 5", "click EQResetLabel 5"}));
    Press(L"MainFormImage");
    EXPECT_EQ(ui.calls, Calls{"drag"});
}

TEST_F(SkinnedWindowTest, SkinAndLanguageMenusSwitchAndRemember) {
    WriteSkin("Other",
              "[Main]\r\nMainFormImage=main.png\r\nPageEQDownImage=other_tab.png\r\n"
              "[Virtual7ch1]\r\nVirtualCenter=500,300,165\r\n");
    WriteLanguage("German", "[Main]\r\nLabelMenu1=Sichern\r\n");
    host.files.CreateFolder(folder.Path() + L"AppData\\");
    host.files.CreateFolder(folder.Path() + L"AppData\\Acme Audio\\");
    const std::wstring perUser = folder.Path() + L"AppData\\Acme Audio\\AudioConfig.cfg";
    host.WriteFile(perUser,
                   "[Skin]\r\nDefaultSkin=Test\r\n[Language]\r\nDefaultLanguage=English\r\n");
    Build();
    ASSERT_EQ(ui.menu[1].items.size(), 2u);
    EXPECT_EQ(ui.menu[1].items[0].caption, L"Other");
    EXPECT_FALSE(ui.menu[1].items[0].checked);
    EXPECT_TRUE(ui.menu[1].items[1].checked);

    form.OnMenuCommand(ui.menu[1].items[0].command);
    EXPECT_EQ(PictureOf(L"PageEQImage"), "other_tab.png");
    EXPECT_TRUE(ui.menu[1].items[0].checked);

    ASSERT_EQ(ui.menu[0].items.size(), 2u);
    EXPECT_EQ(ui.menu[0].items[1].caption, L"Deutsch");
    form.OnMenuCommand(ui.menu[0].items[1].command);
    EXPECT_EQ(Control(L"Menu1Label").caption, L"Sichern");
    EXPECT_FALSE(Control(L"Menu2Label").visible);
    EXPECT_EQ(ui.menu[0].caption, L"Language");

    std::wstring skin, language;
    ReadConfigText(host.profiles, perUser, L"Skin", L"DefaultSkin", skin);
    ReadConfigText(host.profiles, perUser, L"Language", L"DefaultLanguage", language);
    EXPECT_EQ(skin, L"Other");
    EXPECT_EQ(language, L"German");
}

// Without the per-user copy the program's own configuration names the skin; a name whose folder
// is gone (or no name at all) falls back to the first folder, or the window would be blank.
TEST_F(SkinnedWindowTest, WithoutAPerUserChoiceTheProgramsSkinIsShown) {
    BuildWithProgramSkin("Test");
    EXPECT_EQ(form.Skin().SkinName(), L"Test");
    EXPECT_EQ(form.Language().LanguageName(), L"English");
    EXPECT_TRUE(Control(L"Back_EQImage").visible);
    EXPECT_FALSE(host.files.FileExists(folder.Path() + L"AppData\\Acme Audio\\AudioConfig.cfg"));
}

TEST_F(SkinnedWindowTest, ASkinThatIsGoneFallsBackToTheFirstFolder) {
    BuildWithProgramSkin("Removed");
    EXPECT_EQ(form.Skin().SkinName(), L"Alpha");
    EXPECT_TRUE(ui.menu[1].items[0].checked);
}

// Files of random bytes where the chosen skin and language should be: the window still gets a
// face and captions, and the debug log says why they are not the chosen ones.
TEST_F(SkinnedWindowTest, ADamagedSkinOrLanguageGivesWayToAUsableOne) {
    WriteSkin("Broken", test::RandomBytes(5000, 3));
    WriteLanguage("Broken", test::RandomBytes(5000, 4));
    std::string config = kConfig;
    config.insert(config.find("RegionCut"), "DefaultSkin=Broken\r\n");
    config.insert(config.find("LanguageFolderName"), "DefaultLanguage=Broken\r\n");
    host.WriteFile(folder.Path() + L"AudioConfig.cfg", config);
    Build();
    EXPECT_EQ(form.Skin().SkinName(), L"Test");
    EXPECT_TRUE(Control(L"MainFormImage").visible);
    EXPECT_EQ(form.Language().LanguageName(), L"English");
    EXPECT_EQ(Control(L"PageVirtual7p1Label").caption, L"7.1");
    EXPECT_TRUE(Logged(L"Skin: 'Broken' is not usable"));
    EXPECT_TRUE(Logged(L"Language: 'Broken' is not usable"));
}

TEST_F(SkinnedWindowTest, WithoutAnyUsableLanguageTheBuiltInCaptionsShow) {
    WriteLanguage("English", test::RandomBytes(5000, 5));
    Build();
    EXPECT_EQ(form.Language().LanguageName(), L"");
    EXPECT_EQ(Control(L"PageVirtual7p1Label").caption, L"7.1 Surround");
    EXPECT_TRUE(Control(L"PageVirtual7p1Label").visible);
    EXPECT_EQ(ui.menu[0].caption, L"Language");
    EXPECT_TRUE(Logged(L"the built-in English captions stand in"));
}

// The window with its real feature units: a skin change redraws every feature's state, which
// must not bring controls of other pages onto the one shown.
class SkinSwitchTest : public test::MainWindowFixture<RecordingUiHost, AudioFeatures> {
protected:
    void SetUp() override {
        SetUpProgram(kConfig);
        environment.variables[L"APPDATA"] = folder.Path() + L"AppData";
        std::string skin = kSkin;
        skin.insert(skin.find("[Mic]"),
                    "EffectButtonNonImageUp=fx1_up.png\r\nEffectButtonNonImageDown=fx1_down.png\r\n"
                    "EffectButtonTheaterImageUp=fx2_up.png\r\n"
                    "EffectButtonTheaterImageDown=fx2_down.png\r\n"
                    "EffectPicNonImage=pic1.png\r\nEffectPicTheaterImage=pic2.png\r\n");
        skin.insert(skin.find("[ENC]"),
                    "D3FBMImageUp=fbm_up.png\r\nD3FBMImageDown=fbm_down.png\r\n"
                    "D3AlphaIndImage=link_ind.png\r\n");
        WriteSkinFolder(folder, "Alpha", skin);
        WriteSkinFolder(folder, "Beta", skin);
        WriteLanguageFolder(folder, "English", kLanguage);
    }
    // What a page shows: the visible controls and their caption colours.
    std::map<std::wstring, Colour> Visible() {
        std::map<std::wstring, Colour> shown;
        for (const Component& control : form.Form().Components()) {
            if (control.visible) shown[control.name] = control.fontColour;
        }
        return shown;
    }
};

TEST_F(SkinSwitchTest, EveryPageKeepsItsControlsAcrossASkinChange) {
    ASSERT_TRUE(form.Construct());
    ASSERT_EQ(ui.menu[1].items.size(), 2u);
    const struct {
        int32_t tabTag;
        int32_t page;
    } pages[] = {{23, 1}, {25, 2}, {26, 3}, {27, 4}, {24, 5}, {228, 6}, {227, 7}, {226, 8}};
    for (const auto& p : pages) {
        Component* tab = form.MutableForm().FindByTag(ComponentKind::Label, p.tabTag);
        ASSERT_NE(tab, nullptr) << p.tabTag;
        form.OnLabelPageMouseDown(*tab);
        ASSERT_EQ(form.m_Settings.m_iCurrentPage, p.page);
        const std::map<std::wstring, Colour> before = Visible();
        for (const MenuItem& item : {ui.menu[1].items[1], ui.menu[1].items[0]}) {
            form.OnMenuCommand(item.command);
            EXPECT_EQ(Visible(), before) << "page " << p.page << " after switching to "
                                         << std::string(item.caption.begin(), item.caption.end());
        }
    }
}

// Looks that follow the state, the chosen effect's own icon and the captions of the device
// indicators, show it after a press and stay the same across a skin change and back.
TEST_F(SkinSwitchTest, TheLooksOfTheStateSurviveASkinChange) {
    std::string skin = kSkin;
    skin.insert(skin.find("[Mic]"),
                "EffectNonUpImage=i1_up.png\r\nEffectNonDownImage=i1_down.png\r\n"
                "EffectTheaterUpImage=i2_up.png\r\nEffectTheaterDownImage=i2_down.png\r\n");
    WriteSkinFolder(folder, "Alpha", skin);
    WriteSkinFolder(folder, "Beta", skin);
    std::string language = kLanguage;
    language.insert(language.find("LabelMenu1"), "DeviceInLabel=Online\r\n");
    WriteLanguageFolder(folder, "English", language);
    ASSERT_TRUE(form.Construct());
    form.OnLabelPageMouseDown(*form.MutableForm().FindByTag(ComponentKind::Label, 25));
    Component& theater = *form.MutableForm().FindByTag(ComponentKind::Image, 17);
    form.OnImageMouseDown(theater);
    form.OnImageMouseUp(theater);
    // The effect's icons and the device indicators' captions.
    const auto looks = [this] {
        std::vector<std::pair<std::wstring, Colour>> all;
        for (const wchar_t* name : {L"EffectNonImage", L"EffectTheaterImage"}) {
            all.emplace_back(form.Form().Find(name)->picture, 0);
        }
        for (const wchar_t* name : {L"DeviceInLabel", L"DeviceOutLabel"}) {
            all.emplace_back(name, form.Form().Find(name)->fontColour);
        }
        return all;
    };
    const auto before = looks();
    EXPECT_NE(before[0].first.find(L"i1_up.png"), std::wstring::npos);
    EXPECT_NE(before[1].first.find(L"i2_down.png"), std::wstring::npos);
    EXPECT_EQ(before[2].second, 200u) << "the device is in: its caption in the down colour";
    for (const MenuItem& item : {ui.menu[1].items[1], ui.menu[1].items[0]}) {
        form.OnMenuCommand(item.command);
    }
    EXPECT_EQ(looks(), before);
}

// The LED page in the window with its real unit: the pointer drags a speed slider, letting go
// sends the effect; a skin without an LED page opens the LED settings dialog instead.
class LightingWindowTest : public test::MainWindowFixture<RecordingUiHost, AudioFeatures> {
protected:
    void SetUp() override {
        SetUpProgram(kConfig);
        environment.variables[L"APPDATA"] = folder.Path() + L"AppData";
        WriteLanguageFolder(folder, "English", kLanguage);
    }
    void BuildWithLedPageMode(int pageMode) {
        std::string skin = kSkin;
        skin.replace(skin.find("LEDPageMode=1"), 13, "LEDPageMode=" + std::to_string(pageMode));
        for (const char* effect : {"Breathe", "Rainbow", "Pulsating"}) {
            const std::string stem = std::string("Color") + effect;
            skin += stem + "BarImage=bar.png,,,240,8\r\n" + stem +
                    "SliderUpImage=knob_up.png,,,14,20\r\n" + stem +
                    "SliderDownImage=knob_down.png,,,14,20\r\n" + stem +
                    "CheckUpImage=check_up.png,,,20,20\r\n" + stem +
                    "CheckDownImage=check_down.png,,,20,20\r\n";
        }
        WriteSkinFolder(folder, "Test", skin);
        ASSERT_TRUE(form.Construct());
    }
    void Click(const wchar_t* name) {
        const Component& c = *form.MutableForm().Find(name);
        form.OnMouseDown(c.left + c.width / 2, c.top + c.height / 2);
        form.OnMouseUp(c.left + c.width / 2, c.top + c.height / 2);
    }
    // Takes the slider by its middle and lets go `dx` pixels to the side.
    void Drag(const wchar_t* name, int32_t dx) {
        const Component& c = *form.MutableForm().Find(name);
        const int32_t x = c.left + c.width / 2;
        const int32_t y = c.top + c.height / 2;
        form.OnMouseDown(x, y);
        form.OnMouseMove(x + dx / 2, y + 3);
        form.OnMouseMove(x + dx, y);
        form.OnMouseUp(x + dx, y);
    }
    bool Sent(const std::string& text) {
        const std::vector<std::string> traffic = DeviceTraffic();
        return std::any_of(traffic.begin(), traffic.end(), [&](const std::string& line) {
            return line.find(text) != std::string::npos;
        });
    }
};

TEST_F(LightingWindowTest, DraggingTheChosenEffectsSliderSendsItsSpeed) {
    BuildWithLedPageMode(1);
    Click(L"PageLEDLabel");
    ASSERT_EQ(form.m_Settings.m_iCurrentPage, 6);
    Click(L"ColorBreatheCheckImage");
    const Component& slider = *form.Form().Find(L"ColorBreatheSliderImage");
    ASSERT_TRUE(slider.visible);
    EXPECT_EQ(slider.left, 488) << "a new run's slider starts at the left end";
    ClearTraffic();
    Drag(L"ColorBreatheSliderImage", 1000);
    EXPECT_EQ(slider.left, 488 + 240 - 14);
    EXPECT_FALSE(form.Dragging());
    EXPECT_TRUE(Sent("DLLZR_SetRGB_Mode_ById(target=58, led=0, mode=4, speed=255,"));
    ClearTraffic();
    Drag(L"ColorBreatheSliderImage", -1000);
    EXPECT_EQ(slider.left, 488);
    EXPECT_TRUE(Sent("DLLZR_SetRGB_Mode_ById(target=58, led=0, mode=4, speed=1,"));
    EXPECT_EQ(features.Led().State().LEDBreatheSliderPos, 488);
}

TEST_F(LightingWindowTest, WithoutAnLedPageTheTabOpensTheDialogAndThePointerWaits) {
    BuildWithLedPageMode(2);
    bool showing = false;
    ui.whileDialogShows = [&](Dialog&) {
        showing = features.ModalDialogShowing();
        form.FormMouseDown();
        const Component& band = *form.Form().Find(L"EQ60HzSliderImage");
        form.DragPress(band.left + 1, band.top + 1);
        EXPECT_FALSE(form.Dragging());
    };
    Click(L"PageLEDLabel");
    EXPECT_TRUE(showing);
    EXPECT_EQ(ui.dialogsShown, std::vector<std::wstring>{L"LEDForm"});
    EXPECT_EQ(form.m_Settings.m_iCurrentPage, 1);
    EXPECT_EQ(std::count(ui.calls.begin(), ui.calls.end(), "drag"), 0);
    EXPECT_FALSE(form.Form().Find(L"ColorBreatheCheckImage")->visible);
}
}  // namespace
}  // namespace tavrin
