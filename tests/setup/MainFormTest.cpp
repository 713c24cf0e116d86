#include "setup/MainForm.h"

#include <gtest/gtest.h>

#include "common/AudioConfig.h"
#include "tests/setup/WizardFixture.h"

namespace tavrin::setup {
namespace {

using test::kPerUserFolder;
using test::WizardTest;

std::optional<std::wstring> RegistryText(MemoryRegistry& registry, const std::wstring& key,
                                         const std::wstring& name) {
    RegistryValue value;
    std::wstring text;
    if (registry.QueryValue(RegistryHive::LocalMachine, key, name, value, RegistryView::Default) !=
            0 ||
        !ReadStringValue(value, text)) {
        return std::nullopt;
    }
    return text;
}

TEST_F(WizardTest, ConstructionReadsTheProgramTheMachineAndTheConfiguration) {
    machine.environment.wow64 = true;
    Open();
    EXPECT_EQ(session.versionText, L"1.2.3.4");
    EXPECT_TRUE(session.wow64);
    EXPECT_EQ(session.family, 6) << "Windows 10";
    EXPECT_EQ(session.config.InstallFolderFullPath, test::kInstallFolder);
    EXPECT_EQ(host.title, L"Acme Audio");
    EXPECT_EQ(host.icon, L"C:\\Setup\\Acme.ico");
    const _REG_UNINSTALL_INFO& info = session.uninstallInfo;
    EXPECT_EQ(info.registryKey,
              L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ZRN58xxAudioExt");
    EXPECT_EQ(info.displayName, L"Acme Audio Driver");
    const std::wstring uninstaller = std::wstring(test::kInstallFolder) + L"AcmeUninstall.exe";
    EXPECT_EQ(info.uninstallString, L"\"" + uninstaller + L"\"") << "quoted: the path has blanks";
    EXPECT_EQ(info.quietUninstallString, L"\"" + uninstaller + L"\" /S");
    EXPECT_EQ(info.displayIcon, uninstaller);
    EXPECT_EQ(info.displayVersion, L"1.2.3.4");
    EXPECT_EQ(info.publisher, L"Acme");
    EXPECT_EQ(machine.log.lines.front(), L"==> TBackgroundForm::TBackgroundForm\n");
    EXPECT_TRUE(machine.log.Contains(L"==> TMainForm::TMainForm\n"));
    EXPECT_TRUE(machine.log.Contains(L"==> TMainForm::FormShow\n"));
}

TEST_F(WizardTest, AnUnreadableWindowsVersionCountsAsNotWindows7) {
    machine.environment.versionResult = OsVersionResult::NotExported;
    Open();
    EXPECT_EQ(session.family, 2);
    EXPECT_TRUE(machine.log.Contains(L"***** Get Windows Version FAIL! *****\n"));
}

TEST_F(WizardTest, FormShowPublishesTheGroupsAndDefaultsAndShowsTheLanguagePage) {
    Open("", "[DefaultSet]\r\nEncEnable=1\r\n");
    EXPECT_EQ(RegistryText(machine.registry, L"SOFTWARE\\ZRN USB DeviceId Group", L"1"),
              L"USB\\VID_2B7A&PID_58XX&REV_0100&MI_00");
    EXPECT_EQ(RegistryText(machine.registry, L"SOFTWARE\\ZRN HID DeviceId Group", L"1"),
              L"HID\\VID_2B7A&PID_58XX&REV_0100&MI_03");
    RegistryValue encEnable;
    EXPECT_EQ(
        machine.registry.QueryValue(RegistryHive::LocalMachine, L"SOFTWARE\\ZRN 58xx Software",
                                    L"EncEnable", encEnable, RegistryView::Default),
        0);
    EXPECT_EQ(machine.clock.waits, std::vector<uint32_t>{100});
    EXPECT_EQ(host.background, (std::array<int32_t, 4>{0, 0, 1280, 1024}));
    ASSERT_NE(host.shown, nullptr);
    EXPECT_EQ(host.shown->page, kLanguagePage);
    EXPECT_EQ(host.shown->focus, L"NextBitBtn");
    EXPECT_FALSE(host.quitPosted);
}

TEST_F(WizardTest, AMissingDeviceIdGroupEndsTheProgramSilently) {
    machine.files.AddTextFile(test::kShippedConfig,
                              "[Install]\r\nInstallFolderName=Acme Audio\r\n"
                              "[USB_VID_PID]\r\n1=USB\\VID_2B7A&PID_58XX&REV_0100&MI_00\r\n");
    TBackgroundForm background(machine.common, 1280, 1024);
    TMainForm form(machine.platform, session, host, background, steps);
    form.FormShow();
    EXPECT_TRUE(host.quitPosted);
    EXPECT_TRUE(host.Messages().empty());
    EXPECT_EQ(host.shown, nullptr) << "no page was shown";
}

TEST_F(WizardTest, ALongSetupPathIsRefused) {
    EXPECT_FALSE(SetupPathTooLong(L"C:\\" + std::wstring(177, L'a')));
    EXPECT_TRUE(SetupPathTooLong(L"C:\\" + std::wstring(178, L'a')));
    machine.environment.moduleFileName = L"C:\\" + std::wstring(178, L'a');
    Open();
    EXPECT_TRUE(host.quitPosted);
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_EQ(host.Messages()[0].text,
              L"***** Install folder path is over windows max setting! *****");
}

TEST_F(WizardTest, TheLanguageListShowsMappedFoldersAndSelectsTheUsersChoice) {
    machine.WriteLanguage(L"Klingon", "LabelNextBtn=Qapla'\r\n");  // no display name
    machine.files.AddTextFile(L"C:\\Setup\\Language\\Readme.txt", "not a folder");
    machine.files.AddTextFile(std::wstring(kPerUserFolder) + L"AudioConfig.cfg",
                              "[Language]\r\nDefaultLanguage=German\r\n");
    Open();
    EXPECT_EQ(Control(L"ComboBox").items, (std::vector<std::wstring>{L"English", L"Deutsch"}));
    EXPECT_EQ(Control(L"OriginalComboBox").items,
              (std::vector<std::wstring>{L"English", L"German"}));
    EXPECT_EQ(Control(L"ComboBox").selected, 1);
    EXPECT_EQ(Control(L"NextBitBtn").caption, L"Weiter >");
}

TEST_F(WizardTest, AnUnknownDefaultLanguageSelectsTheFirstAndItsTexts) {
    for (const char* config : {"[Language]\r\nDefaultLanguage=Klingon\r\n", "[Skin]\r\n"}) {
        SCOPED_TRACE(config);
        machine.files.AddTextFile(std::wstring(kPerUserFolder) + L"AudioConfig.cfg", config);
        Open();
        EXPECT_EQ(Control(L"ComboBox").selected, 0);
        EXPECT_EQ(Control(L"NextBitBtn").caption, L"Next >")
            << "the wizard never comes up without captions";
    }
}

TEST_F(WizardTest, ThePerUserFolderKeepsAUsersConfigurationOnly) {
    const std::wstring config = std::wstring(kPerUserFolder) + L"AudioConfig.cfg";
    const std::wstring profile = std::wstring(kPerUserFolder) + L"DefaultProfile.ini";
    const struct {
        const char* name;
        std::vector<const wchar_t*> files;
        bool keeps;
    } cases[] = {
        {"the user's configuration first", {L"AudioConfig.cfg", L"DefaultProfile.ini"}, true},
        {"a hidden file does not count", {L".lock", L"AudioConfig.cfg"}, true},
        {"a file sorting earlier", {L"Aaa.txt", L"AudioConfig.cfg", L"DefaultProfile.ini"}, false},
        {"only a profile", {L"DefaultProfile.ini"}, false},
        {"an empty folder", {}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::SetupMachine fresh;
        fresh.files.AddTextFile(L"C:\\Setup\\DefaultProfile.ini", "[Profile]\r\nShipped=1\r\n");
        fresh.files.AddDirectory(kPerUserFolder);
        for (const wchar_t* name : c.files) {
            fresh.files.AddTextFile(std::wstring(kPerUserFolder) + name, "[User]\r\nMine=1\r\n");
        }
        fresh.WriteConfig();
        SetupSession freshSession;
        TBackgroundForm background(fresh.common, 1280, 1024);
        TMainForm form(fresh.platform, freshSession, host, background, steps);
        form.FormShow();
        const std::vector<uint8_t>* kept = fresh.files.FindFile(config);
        ASSERT_NE(kept, nullptr);
        EXPECT_EQ(std::string(kept->begin(), kept->end()).find("Mine=1") != std::string::npos,
                  c.keeps);
        if (!c.keeps) {
            const std::vector<uint8_t>* copied = fresh.files.FindFile(profile);
            ASSERT_NE(copied, nullptr);
            EXPECT_EQ(std::string(copied->begin(), copied->end()), "[Profile]\r\nShipped=1\r\n");
            EXPECT_EQ(fresh.files.normalAttributes.count(config), 1u);
            EXPECT_EQ(fresh.files.normalAttributes.count(profile), 1u);
        }
    }
}

TEST_F(WizardTest, AMissingPerUserFolderIsCreatedAndFilled) {
    Open();
    EXPECT_TRUE(machine.files.DirectoryExists(kPerUserFolder));
    EXPECT_EQ(PerUserText(L"Language", L"DefaultLanguage"), L"English");
    EXPECT_EQ(session.perUserFolder, kPerUserFolder);
}

TEST_F(WizardTest, TheTextsCaptionTheButtonsAndLabels) {
    Open();
    EXPECT_EQ(Control(L"BackBitBtn").caption, L"< Back");
    EXPECT_EQ(Control(L"RebootRadioButton").caption, L"Yes");
    EXPECT_EQ(Control(L"SelectLangLabel").caption, L"Language:");
    EXPECT_TRUE(Control(L"SelectLangLabel").visible);
    EXPECT_FALSE(Control(L"VersionLabel").visible) << "(null) hides a label";
    EXPECT_FALSE(Control(L"AudioExtLabel").visible) << "so does an empty text";
    const WizardControl& install = Control(L"InstallLabel");
    EXPECT_EQ(install.caption, L"Installing");
    EXPECT_EQ(install.fontColour, 255u);
    EXPECT_EQ(install.fontName, L"Arial");
    EXPECT_EQ(install.fontSize, 10);
    EXPECT_EQ(install.left, 20);
    EXPECT_EQ(install.top, 30);
    EXPECT_EQ(install.width, 0) << "an item not given keeps the design";
    EXPECT_EQ(host.shown->caption, L"Acme Setup (V1.2.3.4)");
}

TEST_F(WizardTest, ABadNumberInTheTextsIsTheConversionError) {
    OwnLanguages();
    machine.WriteLanguage(L"English", "LabelInstall=Installing,red\r\n");
    EXPECT_THROW(Open(), ConfigConversionError);
}

TEST_F(WizardTest, ChoosingALanguageShowsItsTextsAndRemembersIt) {
    TMainForm& form = Open();
    form.ComboBoxChange(1);
    EXPECT_EQ(Control(L"NextBitBtn").caption, L"Weiter >");
    EXPECT_EQ(Control(L"BackBitBtn").caption, L"") << "a missing key gives an empty caption";
    EXPECT_EQ(PerUserText(L"Language", L"DefaultLanguage"), L"German");
    form.ComboBoxChange(0);
    EXPECT_EQ(Control(L"NextBitBtn").caption, L"Next >");
    EXPECT_EQ(PerUserText(L"Language", L"DefaultLanguage"), L"English");
}

TEST_F(WizardTest, TheResolutionLayoutIsUsedOnlyWhenItsTextsExist) {
    OwnLanguages();
    machine.files.AddTextFile(L"C:\\Setup\\Language\\1366x768\\English\\Language.ini",
                              "[Setup]\r\nLabelNextBtn=Next (large)\r\n");
    machine.WriteLanguage(L"English", "LabelNextBtn=Next (plain)\r\n");
    Open("MultiDisplaySetting=1\r\n");
    EXPECT_EQ(session.resolutionFolder, L"1366x768\\");
    EXPECT_EQ(Control(L"NextBitBtn").caption, L"Next (large)");

    host.screenWidth = 2560;
    host.screenHeight = 1440;
    Open("MultiDisplaySetting=1\r\n");
    EXPECT_EQ(session.resolutionFolder, L"") << "no 1920x1080 texts: the plain layout";
    EXPECT_EQ(Control(L"NextBitBtn").caption, L"Next (plain)");
}

TEST_F(WizardTest, TheAntivirusTipComesOnTheFirstNextOnly) {
    OwnLanguages();
    machine.WriteLanguage(L"English",
                          std::string(test::kEnglishTexts) + "AntivirusTip=Pause the scanner.\r\n");
    TMainForm& form = Open();
    form.NextBitBtnClick();
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_EQ(host.Messages()[0].text, L"Pause the scanner.");
    EXPECT_EQ(host.Messages()[0].caption, L"Install");
    EXPECT_EQ(Control(L"ProgressBar").position, 0);
    EXPECT_EQ(form.Form().page, kLanguagePage) << "the tip only";
    form.NextBitBtnClick();
    EXPECT_EQ(form.Form().page, kInstallPage);
    host.DeliverUntilEnded(form);
    EXPECT_EQ(host.Messages().size(), 1u);
}

TEST_F(WizardTest, WithoutATipNextInstallsAtOnce) {
    TMainForm& form = Open();
    form.NextBitBtnClick();
    EXPECT_EQ(form.Form().page, kInstallPage);
    host.DeliverUntilEnded(form);
    EXPECT_TRUE(host.Messages().empty());
}

TEST_F(WizardTest, TheInstallationMovesTheBarAndEndsOnTheFinishPage) {
    TMainForm& form = Open("", "[Plugin]\r\nPluginFolderName=Plugin\r\n");
    form.NextBitBtnClick();
    EXPECT_FALSE(Control(L"NextBitBtn").enabled);
    EXPECT_FALSE(Control(L"CancelBitBtn").enabled) << "nothing is rolled back: no cancel";
    EXPECT_FALSE(host.shown->closeEnabled);
    form.CancelBitBtnClick();
    EXPECT_FALSE(host.closeRequested);

    const std::vector<int32_t> positions = host.DeliverUntilEnded(form);
    EXPECT_EQ(positions,
              (std::vector<int32_t>{1, 10, 20, 30, 40, 50, 60, 70, 80, 90, 95, 98, 98, 100}));
    EXPECT_EQ(Control(L"ProgressBar").position, 100);
    EXPECT_EQ(form.Form().page, kFinishPage);
    EXPECT_TRUE(Control(L"FinishBitBtn").enabled);
    EXPECT_FALSE(Control(L"NextBitBtn").visible);
    EXPECT_FALSE(Control(L"CancelBitBtn").visible);
    EXPECT_FALSE(Control(L"BackBitBtn").enabled);
    EXPECT_TRUE(host.shown->closeEnabled);
    EXPECT_EQ(host.shown->defaultButton, L"FinishBitBtn");
    EXPECT_EQ(machine.clock.waits.back(), 500u);
    EXPECT_EQ(machine.system.beeps, (std::vector<std::pair<uint32_t, uint32_t>>{{500, 100}}));
}

TEST_F(WizardTest, TheFinishPageOffersTheRebootAsConfigured) {
    const std::wstring application = std::wstring(test::kInstallFolder) + L"AcmeAudio.exe";
    const struct {
        const char* install;
        bool choiceShown;
        bool rebootChecked;
    } cases[] = {
        {"ShowRebootScreen=1\r\n", true, true},
        {"ShowRebootScreen=1\r\nInstallWindowsKB=0\r\n", true, false},
        {"ShowRebootScreen=0\r\n", false, false},
        {"", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.install);
        machine.system.reboots = 0;
        machine.system.shellStarts.clear();
        TMainForm& form = Open(c.install);
        form.NextBitBtnClick();
        host.DeliverUntilEnded(form);
        EXPECT_EQ(Control(L"RebootRadioButton").visible, c.choiceShown);
        EXPECT_EQ(Control(L"RebootRadioButton").checked, c.rebootChecked);
        form.FinishBitBtnClick();
        EXPECT_EQ(machine.system.reboots, c.rebootChecked ? 1 : 0);
        if (!c.rebootChecked) {
            ASSERT_EQ(machine.system.shellStarts.size(), 1u);
            EXPECT_EQ(machine.system.shellStarts[0].file, application);
            EXPECT_EQ(machine.system.shellStarts[0].parameters, application);
        }
        EXPECT_TRUE(host.closeRequested);
    }
}

TEST_F(WizardTest, ARefusalAndAFailureStillEndOnTheFinishPage) {
    steps.filterDriverActive = true;
    TMainForm& form = Open("ShowRebootScreen=1\r\n");
    form.NextBitBtnClick();
    host.DeliverUntilEnded(form);
    EXPECT_EQ(form.Form().page, kFinishPage);
    EXPECT_FALSE(Control(L"RebootRadioButton").checked);
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_EQ(host.Messages()[0].text, L"Remove the old driver first.");

    steps.filterDriverActive = false;
    steps.results[L"STEP3"] = 1;
    TMainForm& failing = Open("ShowRebootScreen=1\r\n");
    failing.NextBitBtnClick();
    host.DeliverUntilEnded(failing);
    EXPECT_EQ(host.Messages().back().text, L"Setup failed:(Code = 0x80000003)");
    EXPECT_FALSE(Control(L"RebootRadioButton").checked);
}

TEST_F(WizardTest, CancelOnTheLanguagePageClosesAndCloseEndsTheProgram) {
    TMainForm& form = Open();
    form.CancelBitBtnClick();
    EXPECT_TRUE(host.closeRequested);
    form.FormClose();
    EXPECT_TRUE(host.quitPosted);
    EXPECT_TRUE(steps.Calls().empty());
}

}  // namespace
}  // namespace tavrin::setup
