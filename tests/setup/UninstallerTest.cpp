#include "setup/Uninstaller.h"

#include <gtest/gtest.h>

#include <set>

#include "common/ServiceControl.h"
#include "setup/Unattended.h"
#include "tests/setup/StepsFixture.h"

namespace tavrin::setup {
namespace {

using test::StepsTest;

// Every file, folder, registry key and value of the machine, for a before and after comparison.
std::set<std::wstring> Snapshot(test::SetupMachine& machine) {
    std::set<std::wstring> items;
    for (const auto& [path, bytes] : machine.files.files) items.insert(L"file " + path);
    for (const std::wstring& folder : machine.files.directories) items.insert(L"dir " + folder);
    std::function<void(const std::wstring&, RegistryView)> walk = [&](const std::wstring& key,
                                                                      RegistryView view) {
        items.insert(L"key " + key);
        std::vector<std::wstring> names;
        machine.registry.EnumValueNames(RegistryHive::LocalMachine, key, names, view);
        for (const std::wstring& name : names) items.insert(L"value " + key + L"\\" + name);
        machine.registry.EnumSubKeyNames(RegistryHive::LocalMachine, key, names, view);
        for (const std::wstring& name : names) walk(key + L"\\" + name, view);
    };
    for (const wchar_t* root : {L"SOFTWARE", L"SYSTEM"}) {
        walk(root, RegistryView::Default);
        walk(root, RegistryView::Native64);
    }
    return items;
}

std::vector<std::wstring> Difference(const std::set<std::wstring>& a,
                                     const std::set<std::wstring>& b) {
    std::vector<std::wstring> only;
    std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(only));
    return only;
}

class UninstallerTest : public StepsTest {
protected:
    // A machine before the setup, then after an unattended installation.
    void Install(bool wow64 = false) {
        Prepare(wow64);
        // Keys every Windows has.
        for (const wchar_t* key : {L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run",
                                   L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
                                   L"SYSTEM\\CurrentControlSet\\Services"}) {
            machine.registry.CreateKey(RegistryHive::LocalMachine, key, RegistryView::Default);
            machine.registry.CreateKey(RegistryHive::LocalMachine, key, RegistryView::Native64);
        }
        machine.files.AddTextFile(L"C:\\Setup\\Manual\\English\\Manual.pdf", "en");
        machine.files.AddTextFile(L"C:\\Setup\\Plugin\\AcmeFx\\fx.ini", "[Fx]\r\n");
        machine.files.files.erase(std::wstring(test::kPerUserFolder) + L"AudioConfig.cfg");
        machine.files.directories.erase(L"C:\\Users\\me\\AppData\\Roaming\\Acme Audio");
        machine.system.onRunProcess = [&](const std::wstring&) {
            machine.services.AddService(kServiceName, {kServiceStopped, 0, 0, 0});
        };
        before = Snapshot(machine);
        SetupSession installed;
        ASSERT_EQ(RunUnattendedSetup(machine.platform, installed, *steps, ParseCommandLine({L"/S"}),
                                     1280, 1024),
                  0u);
    }
    std::wstring UninstallerFile() const {
        return std::wstring(test::kInstallFolder) + L"AcmeUninstall.exe";
    }

    std::set<std::wstring> before;
};

TEST_F(UninstallerTest, RemovesEverythingTheSetupPutThereButTheUsersProfiles) {
    Install();
    EXPECT_FALSE(machine.system.shortcuts.empty());
    Uninstaller uninstaller(machine.platform, UninstallerFile());
    EXPECT_TRUE(uninstaller.Run(false).empty());
    EXPECT_EQ(Difference(before, Snapshot(machine)), std::vector<std::wstring>{})
        << "nothing that was there is gone";
    // What stays: the running uninstaller and its folder, which go once it has ended, and the
    // user's profile folder.
    const std::wstring profiles = L"C:\\Users\\me\\AppData\\Roaming\\Acme Audio";
    EXPECT_EQ(Difference(Snapshot(machine), before),
              (std::vector<std::wstring>{L"dir C:\\Program Files (x86)\\Acme Audio",
                                         L"dir " + profiles, L"file " + UninstallerFile(),
                                         L"file " + profiles + L"\\AudioConfig.cfg"}));
    const auto service = machine.services.Record(kServiceName);
    EXPECT_TRUE(service.deleted);
    EXPECT_EQ(machine.system.broadcasts.back(), L"WM_AUDIO_EFFECT_EXIT/100");
}

TEST_F(UninstallerTest, TheProfilesGoWhenAsked) {
    Install();
    Uninstaller uninstaller(machine.platform, UninstallerFile());
    EXPECT_TRUE(uninstaller.Run(true).empty());
    EXPECT_FALSE(machine.files.DirectoryExists(L"C:\\Users\\me\\AppData\\Roaming\\Acme Audio"));
}

TEST_F(UninstallerTest, ALockedFileIsReportedAndTheUsersOwnFilesStay) {
    Install(true);
    const std::wstring application = std::wstring(test::kInstallFolder) + L"AcmeAudio.exe";
    const std::wstring userSkin = std::wstring(test::kInstallFolder) + L"Skin\\Mine\\a.png";
    machine.files.AddTextFile(userSkin, "mine");
    machine.files.lockedFiles.insert(application);
    machine.clock.waits.clear();
    Uninstaller uninstaller(machine.platform, UninstallerFile());
    const std::vector<std::wstring> left = uninstaller.Run(false);
    EXPECT_EQ(left, (std::vector<std::wstring>{application,
                                               std::wstring(test::kInstallFolder) + L"Skin"}));
    EXPECT_NE(machine.files.FindFile(userSkin), nullptr);
    EXPECT_EQ(machine.clock.waits, std::vector<uint32_t>(19, 500)) << "it waits for the program";
    EXPECT_TRUE(machine.log.Contains(L"***** Not removed: " + application + L" *****\n"));
    EXPECT_FALSE(machine.environment.redirectionOff);
}

TEST_F(UninstallerTest, SpeaksTheUsersLanguageWithEnglishToFallBackOn) {
    Install();
    machine.files.AddTextFile(
        std::wstring(test::kInstallFolder) + L"Language\\English\\Language.ini",
        "[Setup]\r\nUninstallDone=All gone.\r\n");
    const Uninstaller uninstaller(machine.platform, UninstallerFile());
    EXPECT_EQ(uninstaller.Text(SetupText::UninstallDone), L"All gone.");
    EXPECT_EQ(uninstaller.Text(SetupText::UninstallConfirm),
              L"Remove Tavrin Audio Control and all of its components?");
}

}  // namespace
}  // namespace tavrin::setup
