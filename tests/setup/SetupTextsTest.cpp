#include "setup/SetupTexts.h"

#include <gtest/gtest.h>

#include "common/AudioConfig.h"
#include "tests/setup/SetupMachine.h"

namespace tavrin::setup {
namespace {

TEST(SetupLabel, ItemsInTheirOrder) {
    const SetupLabelRecord full =
        ParseSetupLabel(L"Installing...,255,65280,Arial,10,16,24,200,20,1,extra");
    EXPECT_EQ(full.text, L"Installing...");
    EXPECT_EQ(full.upColour, 255);
    EXPECT_EQ(full.downColour, 65280);
    EXPECT_EQ(full.fontName, L"Arial");
    EXPECT_EQ(full.fontSize, 10);
    EXPECT_EQ(full.left, 16);
    EXPECT_EQ(full.top, 24);
    EXPECT_EQ(full.width, 200);
    EXPECT_EQ(full.height, 20);

    const SetupLabelRecord sparse = ParseSetupLabel(L"Next >,,,,9");
    EXPECT_EQ(sparse.text, L"Next >");
    EXPECT_FALSE(sparse.upColour.has_value()) << "an empty item stays unset";
    EXPECT_FALSE(sparse.fontName.has_value());
    EXPECT_EQ(sparse.fontSize, 9);
    EXPECT_FALSE(sparse.left.has_value());

    const SetupLabelRecord cut =
        ParseSetupLabel(std::wstring(200, L't') + L",,," + std::wstring(70, L'f'));
    EXPECT_EQ(cut.text.size(), 127u);
    EXPECT_EQ(cut.fontName->size(), 63u);

    EXPECT_FALSE(ParseSetupLabel(L"(null)").HasText());
    EXPECT_FALSE(ParseSetupLabel(L"").HasText());
    EXPECT_TRUE(ParseSetupLabel(L"null").HasText());
}

TEST(SetupLabel, ANumberItemThatIsNoNumberIsTheConversionError) {
    for (const wchar_t* value : {L"Back,red", L"Back,,,Tahoma,8pt", L"Back,,,,,0x10"}) {
        try {
            ParseSetupLabel(value);
            ADD_FAILURE() << "no error for " << std::string(value, value + wcslen(value));
        } catch (const ConfigConversionError& error) {
            EXPECT_NE(error.Message().find(L"is not a valid integer value"), std::wstring::npos);
        }
    }
}

TEST(SetupTexts, EveryKeyOfTheSetupSectionAndNothingOfAnEarlierLoad) {
    test::SetupMachine machine;
    machine.WriteLanguage(L"English",
                          "LabelNextBtn=Next >\r\nAntivirusTip=Pause the scanner\r\n"
                          "UninstallDone=Removed\r\n[Main]\r\nLabelBackBtn=wrong section\r\n");
    machine.WriteLanguage(L"German",
                          "LabelBackBtn=< Zur\xfc"
                          "ck\r\n");  // Windows-1252
    SetupTexts texts;
    texts.Load(machine.profiles, L"C:\\Setup\\Language\\English\\Language.ini");
    EXPECT_EQ(texts.Text(SetupText::LabelNextBtn), L"Next >");
    EXPECT_EQ(texts.Text(SetupText::AntivirusTip), L"Pause the scanner");
    EXPECT_EQ(texts.Text(SetupText::UninstallDone), L"Removed");
    EXPECT_EQ(texts.Text(SetupText::LabelBackBtn), L"");
    texts.Load(machine.profiles, L"C:\\Setup\\Language\\German\\Language.ini");
    EXPECT_EQ(texts.Text(SetupText::LabelBackBtn), L"< Zur\u00fcck");
    EXPECT_EQ(texts.Text(SetupText::LabelNextBtn), L"") << "records are cleared before a load";
    texts.Load(machine.profiles, L"C:\\Setup\\Language\\Missing\\Language.ini");
    EXPECT_EQ(texts.Text(SetupText::LabelBackBtn), L"");
}

}  // namespace
}  // namespace tavrin::setup
