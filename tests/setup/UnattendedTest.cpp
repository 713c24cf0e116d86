#include "setup/Unattended.h"

#include <gtest/gtest.h>

#include "tests/setup/StepsFixture.h"

namespace tavrin::setup {
namespace {

using test::StepsTest;

TEST(CommandLine, SwitchesWithoutRegardToCase) {
    const CommandLine parsed =
        ParseCommandLine({L"/s", L"/Lang=Russian", L"/removeprofiles", L"-x"});
    EXPECT_TRUE(parsed.silent);
    EXPECT_EQ(parsed.language, L"Russian");
    EXPECT_TRUE(parsed.removeProfiles);
    EXPECT_EQ(parsed.unknown, std::vector<std::wstring>{L"-x"});
    const CommandLine none = ParseCommandLine({});
    EXPECT_FALSE(none.silent);
    EXPECT_FALSE(none.language.has_value());
}

class UnattendedTest : public StepsTest {
protected:
    uint32_t Run(const std::vector<std::wstring>& arguments, bool wow64 = false) {
        Prepare(wow64);
        machine.WriteLanguage(L"English", "LabelWarning1=Old driver.\r\nLabelWarning2=Failed\r\n");
        machine.WriteLanguage(L"German", "LabelWarning2=Fehler\r\n");
        SetupSession fresh;
        return RunUnattendedSetup(machine.platform, fresh, *steps, ParseCommandLine(arguments),
                                  1280, 1024);
    }
};

TEST_F(UnattendedTest, ExitCodesTellHowTheInstallationEnded) {
    EXPECT_EQ(Run({L"/S"}), 0u);
    EXPECT_NE(machine.files.FindFile(std::wstring(test::kInstallFolder) + L"AcmeAudio.exe"),
              nullptr);
    EXPECT_EQ(machine.system.reboots, 0) << "never restarts by itself";
    EXPECT_TRUE(machine.system.beeps.empty());

    machine.files.lockedFiles.insert(std::wstring(test::kInstallFolder) + L"AcmeAudio.exe");
    EXPECT_EQ(Run({L"/S"}), 0x80000003u);
    EXPECT_TRUE(machine.log.Contains(L"***** Install: Failed(Code = 0x80000003) *****\n"));
    machine.files.lockedFiles.clear();

    machine.system.filterDevicePresent = true;
    EXPECT_EQ(Run({L"/S"}), kExitRefused);
    EXPECT_TRUE(machine.log.Contains(L"***** Install: Old driver. *****\n"));
    machine.system.filterDevicePresent = false;

    EXPECT_EQ(Run({L"/S", L"/LANG=Klingon"}), kExitBadArguments);
    EXPECT_EQ(Run({L"/S", L"/Quiet"}), kExitBadArguments);
}

TEST_F(UnattendedTest, TheLanguageSwitchChoosesTheInstalledLanguage) {
    EXPECT_EQ(Run({L"/S", L"/LANG=German"}), 0u);
    wchar_t language[64];
    const uint32_t length =
        machine.profiles.GetString(L"Language", L"DefaultLanguage", L"", language, 64,
                                   std::wstring(test::kPerUserFolder) + L"AudioConfig.cfg");
    EXPECT_EQ(std::wstring(language, length), L"German");
}

TEST_F(UnattendedTest, AConfigurationItCannotUseEndsWithoutInstalling) {
    Prepare();
    machine.files.AddTextFile(test::kShippedConfig, "[Install]\r\nInstallFolderName=Acme\r\n");
    SetupSession fresh;
    EXPECT_EQ(
        RunUnattendedSetup(machine.platform, fresh, *steps, ParseCommandLine({L"/S"}), 1280, 1024),
        kExitCannotStart);
    EXPECT_TRUE(machine.system.processes.empty());
}

}  // namespace
}  // namespace tavrin::setup
