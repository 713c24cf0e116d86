#include "setup/Deployment.h"

#include <gtest/gtest.h>

#include "tests/setup/SetupMachine.h"

namespace tavrin::setup {
namespace {

using test::SetupMachine;

TEST(CopyFolderTree, CopyingXIntoYMakesYXUnlessYIsX) {
    const struct {
        const char* name;
        const wchar_t* source;
        const wchar_t* target;
        const wchar_t* copied;  // where C:\Setup\<tree>\a\b.txt lands
    } cases[] = {
        {"skin tree into the install folder's Skin", L"C:\\Setup\\Skin\\", L"C:\\Install\\Skin",
         L"C:\\Install\\Skin\\a\\b.txt"},
        {"plug-ins into a target of the same name", L"C:\\Setup\\Plugin\\",
         L"C:\\Install\\Plugin\\", L"C:\\Install\\Plugin\\a\\b.txt"},
        {"same name in other case", L"C:\\Setup\\Skin\\", L"C:\\Install\\SKIN",
         L"C:\\Install\\SKIN\\a\\b.txt"},
        {"a manual into Manual", L"C:\\Setup\\Manual\\English\\", L"C:\\Install\\Manual\\",
         L"C:\\Install\\Manual\\English\\a\\b.txt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetupMachine machine;
        machine.files.AddTextFile(std::wstring(c.source) + L"a\\b.txt", "b");
        machine.files.AddTextFile(std::wstring(c.source) + L"top.txt", "t");
        machine.files.AddDirectory(L"C:\\Install\\");
        if (std::wstring(c.target).find(L"Manual") != std::wstring::npos) {
            machine.files.AddDirectory(c.target);
        }
        InstallRecord record;
        EXPECT_EQ(CopyFolderTree(machine.files, machine.log, c.source, c.target, &record), 1);
        ASSERT_NE(machine.files.FindFile(c.copied), nullptr);
        EXPECT_EQ(machine.files.normalAttributes.count(c.copied), 1u);
        EXPECT_EQ(record.Files().size(), 2u);
    }
}

TEST(CopyFolderTree, LogsEachFolderAndTheFailureOfAnExistingOne) {
    SetupMachine machine;
    machine.files.AddTextFile(L"C:\\Setup\\Skin\\Midnight\\a.png", "a");
    machine.files.AddDirectory(L"C:\\Install\\Skin");
    InstallRecord record;
    CopyFolderTree(machine.files, machine.log, L"C:\\Setup\\Skin\\", L"C:\\Install\\Skin", &record);
    EXPECT_EQ(machine.log.lines, (std::vector<std::wstring>{
                                     L"##### Create Directory = C:\\Install\\Skin\n",
                                     L"***** Create Directory FAIL! *****\n",
                                     L"##### Create Directory = C:\\Install\\Skin\\Midnight\n"}));
    EXPECT_EQ(record.Folders(), std::vector<std::wstring>{L"C:\\Install\\Skin\\Midnight"})
        << "only what this installation created";
    EXPECT_EQ(CopyFolderTree(machine.files, machine.log, L"Skin", L"C:\\Install\\Skin"), 0);
}

TEST(CopyFolderTree, PathsLongerThan255CharactersAreLeftOutNotCut) {
    SetupMachine machine;
    const std::wstring longName(250, L'n');
    machine.files.AddTextFile(L"C:\\Setup\\Skin\\" + longName, "x");
    machine.files.AddTextFile(L"C:\\Setup\\Skin\\short.png", "s");
    machine.files.AddDirectory(L"C:\\Install\\");
    CopyFolderTree(machine.files, machine.log, L"C:\\Setup\\Skin\\", L"C:\\Install\\Skin");
    EXPECT_NE(machine.files.FindFile(L"C:\\Install\\Skin\\short.png"), nullptr);
    for (const auto& [path, bytes] : machine.files.files) {
        EXPECT_TRUE(path.rfind(L"C:\\Install\\", 0) != 0 || path.size() <= 255);
    }
    EXPECT_TRUE(machine.log.Contains(L"***** Path too long, not copied: C:\\Setup\\Skin\\" +
                                     longName + L" *****\n"));
}

TEST(Shortcuts, StartMenuLinksGoOneLevelDeeperWithShortcutFolderNameUp) {
    SetupMachine machine;
    machine.environment.knownFolders[KnownFolder::CommonPrograms] = L"C:\\ProgramData\\Programs";
    machine.environment.knownFolders[KnownFolder::Desktop] = L"C:\\Users\\me\\Desktop";
    CAudioConfig config;
    config.ShortcutFolderName = L"Acme Audio";
    const struct {
        const wchar_t* up;
        ShortcutKind kind;
        const wchar_t* path;
    } cases[] = {
        {L"", ShortcutKind::StartMenu, L"C:\\ProgramData\\Programs\\Acme Audio\\Go.lnk"},
        {L"Acme", ShortcutKind::StartMenu, L"C:\\ProgramData\\Programs\\Acme\\Acme Audio\\Go.lnk"},
        {L"Acme", ShortcutKind::Manual, L"C:\\ProgramData\\Programs\\Acme Audio\\Go.lnk"},
        {L"Acme", ShortcutKind::Desktop, L"C:\\Users\\me\\Desktop\\Go.lnk"},
    };
    for (const auto& c : cases) {
        config.ShortcutFolderNameUp = c.up;
        EXPECT_EQ(ShortcutPath(machine.environment, config, c.kind, L"Go"), c.path);
    }
    EXPECT_EQ(
        ShortcutPath(machine.environment, config, ShortcutKind::Desktop, std::wstring(240, L'g')),
        L"")
        << "does not fit 259 characters";

    machine.files.AddDirectory(L"C:\\ProgramData\\Programs");
    InstallRecord record;
    CreateShortcut(machine.files, machine.environment, machine.system, config,
                   ShortcutKind::StartMenu, L"Go", L"C:\\Install\\Go.exe", &record);
    EXPECT_TRUE(machine.files.DirectoryExists(L"C:\\ProgramData\\Programs\\Acme\\Acme Audio"));
    ASSERT_EQ(machine.system.shortcuts.size(), 1u);
    EXPECT_EQ(machine.system.shortcuts[0].second, L"C:\\Install\\Go.exe");
    EXPECT_EQ(record.Folders(),
              (std::vector<std::wstring>{L"C:\\ProgramData\\Programs\\Acme",
                                         L"C:\\ProgramData\\Programs\\Acme\\Acme Audio"}));
    EXPECT_EQ(record.Files(),
              std::vector<std::wstring>{L"C:\\ProgramData\\Programs\\Acme\\Acme Audio\\Go.lnk"});
}

TEST(Payloads, WrittenWholeOrReportedWithTheirReason) {
    SetupMachine machine;
    machine.files.AddDirectory(L"C:\\Install");
    const uint8_t bytes[] = {'M', 'Z', 1, 2};
    const PayloadBytes payload{bytes, sizeof(bytes)};
    EXPECT_EQ(WritePayload(machine.files, L"C:\\Install\\A.exe", payload), 0);
    EXPECT_EQ(*machine.files.FindFile(L"C:\\Install\\A.exe"),
              std::vector<uint8_t>(bytes, bytes + 4));
    EXPECT_EQ(WritePayload(machine.files, L"C:\\Missing\\A.exe", payload), 1);
    machine.files.lockedFiles.insert(L"C:\\Install\\A.exe");
    EXPECT_EQ(WritePayload(machine.files, L"C:\\Install\\A.exe", payload), 1)
        << "a running program's file";
}

TEST(Registration, RunEntryAndUninstallValues) {
    SetupMachine machine;
    EXPECT_EQ(AddRunEntry(machine.registry, L"Acme", L"\"C:\\Install\\Acme.exe\" -boot"), 0);
    RegistryValue value;
    std::wstring text;
    ASSERT_EQ(machine.registry.QueryValue(RegistryHive::LocalMachine, kRunKey, L"Acme", value,
                                          RegistryView::Default),
              0);
    ReadStringValue(value, text);
    EXPECT_EQ(text, L"\"C:\\Install\\Acme.exe\" -boot");

    _REG_UNINSTALL_INFO info;
    info.registryKey = kUninstallKey;
    info.displayName = L"Acme Audio";
    info.uninstallString = L"\"C:\\Install\\Un.exe\"";
    info.quietUninstallString = L"\"C:\\Install\\Un.exe\" /S";
    info.displayIcon = L"C:\\Install\\Un.exe";
    info.displayVersion = L"1.2.3.4";
    info.publisher = L"Acme";
    EXPECT_TRUE(RegisterUninstall(machine.registry, info));
    std::vector<std::wstring> names;
    machine.registry.EnumValueNames(RegistryHive::LocalMachine, kUninstallKey, names,
                                    RegistryView::Default);
    EXPECT_EQ(names.size(), 6u);

    machine.registry.SetReadOnly(true);
    EXPECT_EQ(AddRunEntry(machine.registry, L"Other", L"x"), 0) << "the key exists already";
    info.registryKey = L"SOFTWARE\\New";
    EXPECT_FALSE(RegisterUninstall(machine.registry, info));
}

TEST(InstallRecord, SurvivesASaveAndMergesWithoutDoubles) {
    SetupMachine machine;
    machine.files.AddDirectory(L"C:\\Install");
    InstallRecord first;
    first.AddFolder(L"C:\\Install\\Skin\\");
    first.AddFile(L"C:\\Install\\Tavrin.exe");
    first.AddFile(L"C:\\Install\\\u0421\u043a\u0438\u043d.png");
    ASSERT_TRUE(first.Save(machine.files, L"C:\\Install\\Installed.log"));
    InstallRecord second;
    second.AddFile(L"c:\\install\\tavrin.exe");
    second.Merge(machine.files, L"C:\\Install\\Installed.log");
    EXPECT_EQ(second.Files(),
              (std::vector<std::wstring>{L"c:\\install\\tavrin.exe",
                                         L"C:\\Install\\\u0421\u043a\u0438\u043d.png"}));
    EXPECT_EQ(second.Folders(), std::vector<std::wstring>{L"C:\\Install\\Skin"});
    second.Merge(machine.files, L"C:\\Install\\Missing.log");
    EXPECT_EQ(second.Files().size(), 2u);
}

}  // namespace
}  // namespace tavrin::setup
