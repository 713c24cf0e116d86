#pragma once
// A Windows machine in memory with the setup folder C:\Setup beside TavrinSetup.exe, for the
// setup program's logic.
#include <string>

#include "ports/portable/MemoryRegistry.h"
#include "ports/portable/MemoryServiceManager.h"
#include "ports/portable/PortableProfileStore.h"
#include "setup/SetupPlatform.h"
#include "tests/setup/SetupFakes.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakeEnvironment.h"
#include "tests/support/MemoryFileSystem.h"
#include "tests/support/RecordingDebugLog.h"

namespace tavrin::setup::test {

inline constexpr wchar_t kSetupFolder[] = L"C:\\Setup\\";
inline constexpr wchar_t kShippedConfig[] = L"C:\\Setup\\AudioConfig.cfg";
inline constexpr wchar_t kPerUserFolder[] = L"C:\\Users\\me\\AppData\\Roaming\\Acme Audio\\";
inline constexpr wchar_t kInstallFolder[] = L"C:\\Program Files (x86)\\Acme Audio\\";

// The keys the setup reads, with values like a vendor's. Tests add keys to section Install and
// further sections.
inline constexpr char kConfigBeforeInstall[] =
    "[Language]\r\nLanguageFolderName=Language\r\nDefaultLanguage=English\r\n"
    "[Skin]\r\nSkinFolderName=Skin\r\n"
    "[Install]\r\nInstallAppTitle=Acme Audio\r\nInstallIconFileName=Acme.ico\r\n"
    "InstallFolderName=Acme Audio\r\nAPPFileName=AcmeAudio\r\n";
inline constexpr char kConfigAfterInstall[] =
    "[Uninstall]\r\nUninstallFileName=AcmeUninstall\r\nUninstallDisplayName=Acme Audio Driver\r\n"
    "Publisher=Acme\r\nUninstallShortcutName=Remove Acme\r\nUninstallAppTitle=Acme Removal\r\n"
    "[USB_VID_PID]\r\n1=USB\\VID_2B7A&PID_58XX&REV_0100&MI_00\r\n"
    "[HID_VID_PID]\r\n1=HID\\VID_2B7A&PID_58XX&REV_0100&MI_03\r\n"
    "[MultiLanguageFolderMap]\r\nEnglish=English\r\nGerman=Deutsch\r\n";

struct SetupMachine {
    SetupMachine() {
        environment.moduleFileName = L"C:\\Setup\\TavrinSetup.exe";
        environment.knownFolders[KnownFolder::ProgramFiles] = L"C:\\Program Files (x86)";
        environment.knownFolders[KnownFolder::System] = L"C:\\Windows\\system32";
        environment.knownFolders[KnownFolder::SystemX86] = L"C:\\Windows\\SysWOW64";
        environment.variables[L"APPDATA"] = L"C:\\Users\\me\\AppData\\Roaming";
        environment.osVersion = OsVersion{10, 0, 19045, 0};
        files.AddDirectory(kSetupFolder);
    }

    void WriteConfig(const std::string& installLines = "", const std::string& sections = "") {
        files.AddTextFile(kShippedConfig, std::string(kConfigBeforeInstall) + installLines +
                                              kConfigAfterInstall + sections);
    }
    // Language.ini of a language folder with the given [Setup] lines.
    void WriteLanguage(const std::wstring& folder, const std::string& setupLines) {
        files.AddTextFile(std::wstring(kSetupFolder) + L"Language\\" + folder + L"\\Language.ini",
                          "[Setup]\r\n" + setupLines);
    }

    tavrin::test::MemoryFileSystem files;
    PortableProfileStore profiles{files};
    MemoryRegistry registry;
    tavrin::test::FakeEnvironment environment;
    tavrin::test::FakeClock clock;
    tavrin::test::RecordingDebugLog log;
    Platform common{profiles, registry, files, environment, clock, log};
    MemoryServiceManager services;
    FakeSetupSystem system;
    SetupPlatform platform{common, services, system};
};

}  // namespace tavrin::setup::test
