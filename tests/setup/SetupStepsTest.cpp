#include "setup/SetupSteps.h"

#include <gtest/gtest.h>

#include "common/ServiceControl.h"
#include "tests/setup/StepsFixture.h"

namespace tavrin::setup {
namespace {

using test::FakePayloads;
using test::StepsTest;

constexpr wchar_t kDriverFile[] = L"C:\\Windows\\System32\\drivers\\Ovalt.sys";
constexpr wchar_t kServiceFile[] = L"C:\\Windows\\System32\\QuorvelService.exe";
constexpr wchar_t kLaunchKey[] = L"SOFTWARE\\ZRN 58xx Software";

TEST_F(StepsTest, TheDriverStepWritesTheEntryAndThePayloadOfTheMachinesBitness) {
    for (const bool wow64 : {false, true}) {
        SCOPED_TRACE(wow64 ? "64-bit Windows" : "32-bit Windows");
        SetupSteps& setup = Prepare(wow64);
        bool redirectionOffDuringLookup = false;
        payloads.onFind = [&] { redirectionOffDuringLookup = machine.environment.redirectionOff; };
        reporter = {};
        ASSERT_EQ(setup.Install_FilterDriver(reporter), 0);
        EXPECT_EQ(FakePayloads::Text(machine.files.FindFile(kDriverFile)),
                  wow64 ? "DRIVER 103" : "DRIVER 102")
            << "the native drivers folder";
        EXPECT_EQ(redirectionOffDuringLookup, wow64);
        EXPECT_FALSE(machine.environment.redirectionOff);
        EXPECT_EQ(reporter.positions, (std::vector<int32_t>{10, 20}));
        RegistryValue value;
        ASSERT_EQ(machine.registry.QueryValue(RegistryHive::LocalMachine, kDriverKey, L"ImagePath",
                                              value, RegistryView::Default),
                  0);
        EXPECT_EQ(value.type, static_cast<uint32_t>(kRegExpandSz));
        std::wstring imagePath;
        ReadStringValue(value, imagePath);
        EXPECT_EQ(imagePath, L"System32\\DRIVERS\\Ovalt.sys");
        for (const auto& [name, number] :
             {std::pair{L"ErrorControl", 1u}, std::pair{L"Start", 3u}, std::pair{L"Type", 1u}}) {
            uint32_t read = 0;
            machine.registry.QueryValue(RegistryHive::LocalMachine, kDriverKey, name, value,
                                        RegistryView::Default);
            ASSERT_TRUE(ReadDwordValue(value, read)) << name;
            EXPECT_EQ(read, number) << name;
        }
    }
}

TEST_F(StepsTest, RedirectionComesBackOnEveryWayOut) {
    const struct {
        const char* name;
        std::function<void(StepsTest&)> arrange;
        bool serviceStep;
    } cases[] = {
        {"driver payload missing", [](StepsTest& t) { t.payloads.Remove(L"DRIVER", 103); }, false},
        {"driver file locked",
         [](StepsTest& t) { t.machine.files.lockedFiles.insert(kDriverFile); }, false},
        {"service payload missing", [](StepsTest& t) { t.payloads.Remove(L"SERVICE", 106); }, true},
        {"service file locked",
         [](StepsTest& t) { t.machine.files.lockedFiles.insert(kServiceFile); }, true},
        {"service run does not start",
         [](StepsTest& t) { t.machine.system.processRun = ProcessRun::NotStarted; }, true},
        {"service run does not end in 100 s",
         [](StepsTest& t) { t.machine.system.processRun = ProcessRun::TimedOut; }, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        machine.environment.redirectionSwitches = 0;
        SetupSteps& setup = Prepare(true);
        c.arrange(*this);
        const int result =
            c.serviceStep ? setup.InstallService(reporter) : setup.Install_FilterDriver(reporter);
        EXPECT_NE(result, 0);
        EXPECT_FALSE(machine.environment.redirectionOff);
        EXPECT_EQ(machine.environment.redirectionSwitches % 2, 0);
        machine.files.lockedFiles.clear();
        machine.system.processRun = ProcessRun::Ended;
        payloads = FakePayloads();
    }
}

TEST_F(StepsTest, TheServiceStepRegistersStartsAndHandsOverTheLaunchValues) {
    machine.services.AddService(kServiceName, {kServiceRunning, 2, 0, 0});
    SetupSteps& setup = Prepare();
    ASSERT_EQ(setup.InstallService(reporter), 0);
    EXPECT_EQ(FakePayloads::Text(machine.files.FindFile(kServiceFile)), "SERVICE 105");
    EXPECT_EQ(machine.system.processes,
              std::vector<std::wstring>{std::wstring(kServiceFile) + L" /Service [100000]"});
    EXPECT_EQ(machine.system.broadcasts, std::vector<std::wstring>{L"WM_ZRN58xxAPP_EXIT/100"});
    const std::vector<std::wstring> calls = machine.services.Record(kServiceName).calls;
    EXPECT_EQ(calls[1], L"control 1") << "stopped first";
    EXPECT_EQ(calls.back(), L"query") << "started last and polled";
    EXPECT_NE(std::find(calls.begin(), calls.end(), L"start"), calls.end());
    EXPECT_EQ(reporter.positions, (std::vector<int32_t>{30, 40, 50, 60}));
    const std::wstring app = std::wstring(test::kInstallFolder) + L"AcmeAudio.exe";
    EXPECT_EQ(Text(kLaunchKey, L"UserPrivilegeExecution_C0"), L"\"" + app + L"\" -servicestart");
    EXPECT_EQ(Text(kLaunchKey, L"AdminPrivilegeExecutionOnBoot_C4"),
              L"\"" + app + L"\" -serviceboot");
    EXPECT_EQ(
        Text(kLaunchKey, L"SystemPrivilegeExecution_B2"),
        L"\"" + std::wstring(test::kInstallFolder) + L"Plugin\\AcmeFx\\AcmeFx.exe\" -servicestart");
    EXPECT_EQ(Text(kLaunchKey, L"SystemPrivilegeExecutionOnBoot_D3"),
              L"\"" + std::wstring(test::kInstallFolder) +
                  L"Plugin\\AcmeVoice\\AcmeVoice.exe\" -serviceboot");
    EXPECT_TRUE(machine.log.Contains(app + L"\n")) << "each path is logged";
}

TEST(LaunchValues, FifteenWithTheirModesEvenWithoutPlugIns) {
    CAudioConfig config;
    config.InstallFolderFullPath = L"C:\\Acme\\";
    config.APPFileName = L"Acme";
    const auto values = LaunchValues(config);
    ASSERT_EQ(values.size(), 15u);
    const std::vector<std::wstring> expectedNames = {
        L"UserPrivilegeExecution_C0",        L"AdminPrivilegeExecution_C1",
        L"SystemPrivilegeExecution_C2",      L"SystemPrivilegeExecutionOnBoot_C3",
        L"AdminPrivilegeExecutionOnBoot_C4", L"UserPrivilegeExecution_B0"};
    for (size_t i = 0; i < expectedNames.size(); ++i) EXPECT_EQ(values[i].first, expectedNames[i]);
    EXPECT_EQ(values[14].first, L"AdminPrivilegeExecutionOnBoot_D4");
    EXPECT_EQ(values[3].second, L"\"C:\\Acme\\Acme.exe\" -serviceboot");
    EXPECT_EQ(values[5].second, L"\"C:\\Acme\\\\\\.exe\" -servicestart")
        << "empty plug-in names: the install folder, two backslashes and .exe";
    EXPECT_EQ(values[14].second, L"\"C:\\Acme\\\\\\.exe\" -serviceboot");
}

TEST_F(StepsTest, TheApplicationStepInstallsRunsAtLogOnAndLinks) {
    SetupSteps& setup = Prepare();
    ASSERT_EQ(setup.InstallApplication(reporter), 0);
    const std::wstring app = Install(L"AcmeAudio.exe");
    EXPECT_EQ(FakePayloads::Text(machine.files.FindFile(app)), "APP 107");
    EXPECT_EQ(Text(kRunKey, L"AcmeAudio"), L"\"" + app + L"\" -boot");
    EXPECT_EQ(machine.system.shortcuts,
              (std::vector<std::pair<std::wstring, std::wstring>>{
                  {L"C:\\ProgramData\\Programs\\Acme\\Acme Audio\\Acme Audio.lnk", app},
                  {L"C:\\Users\\me\\Desktop\\Acme Audio.lnk", app}}));
    EXPECT_EQ(reporter.positions, std::vector<int32_t>{70});
    EXPECT_NE(machine.files.FindFile(Install(kInstallRecordFileName)), nullptr);

    std::string withoutDesktopLines = test::kStepsInstallLines;
    withoutDesktopLines.replace(withoutDesktopLines.find("DesktopShortcutEnable=1"), 23,
                                "DesktopShortcutEnable=0");
    SetupSteps& withoutDesktop = Prepare(false, withoutDesktopLines);
    machine.system.shortcuts.clear();
    withoutDesktop.InstallApplication(reporter);
    EXPECT_EQ(machine.system.shortcuts.size(), 1u) << "no desktop link unless enabled";
}

TEST_F(StepsTest, ALockedApplicationFailsStep3WithItsCodeAndTheDriverStays) {
    SetupSteps& setup = Prepare();
    machine.files.AddDirectory(test::kInstallFolder);
    machine.files.lockedFiles.insert(Install(L"AcmeAudio.exe"));
    test::RecordingReporter seen;
    const InstallContext context{machine.clock, machine.log, seen, L"", L"Failed ", false, 1};
    const InstallResult result = RunInstallSequence(setup, context);
    EXPECT_EQ(result.failureCode, 0x80000003u);
    EXPECT_EQ(seen.messages, std::vector<std::wstring>{L"Failed (Code = 0x80000003)"});
    EXPECT_NE(machine.files.FindFile(kDriverFile), nullptr);
    EXPECT_NE(machine.files.FindFile(kServiceFile), nullptr);
}

TEST_F(StepsTest, TheUninstallerStepRegistersIt) {
    SetupSteps& setup = Prepare();
    machine.files.AddDirectory(test::kInstallFolder);
    ASSERT_EQ(setup.InstallUninstaller(reporter), 0);
    EXPECT_EQ(FakePayloads::Text(machine.files.FindFile(Install(L"AcmeUninstall.exe"))),
              "UNINSTALL 108");
    EXPECT_EQ(Text(kUninstallKey, L"UninstallString"),
              L"\"" + Install(L"AcmeUninstall.exe") + L"\"");
    EXPECT_EQ(Text(kUninstallKey, L"DisplayVersion"), L"1.2.3.4");
    EXPECT_EQ(machine.system.shortcuts.back().first,
              L"C:\\ProgramData\\Programs\\Acme\\Acme Audio\\Remove Acme.lnk");
    payloads.Remove(L"UNINSTALL", 108);
    EXPECT_EQ(setup.InstallUninstaller(reporter), 1);
}

TEST_F(StepsTest, SharedFilesGoEvenWithoutBeeWavAndThePackageIsTriedTwice) {
    SetupSteps& setup = Prepare();
    machine.files.AddDirectory(test::kInstallFolder);
    payloads.Remove(L"WINDOWPATCH", 110);
    ASSERT_EQ(setup.InstallSharedFiles(reporter), 0);
    EXPECT_NE(machine.files.FindFile(Install(L"Skin\\Midnight\\a.png")), nullptr);
    EXPECT_NE(machine.files.FindFile(Install(L"Language\\English\\Language.ini")), nullptr);
    for (const wchar_t* name : {L"AudioConfig.cfg", L"Acme.ico", L"DLLZR_UsbAudio58xx_x32.dll"}) {
        EXPECT_NE(machine.files.FindFile(Install(name)), nullptr) << name;
    }
    EXPECT_EQ(machine.files.FindFile(Install(L"bee.wav")), nullptr);
    EXPECT_EQ(std::count(machine.log.lines.begin(), machine.log.lines.end(),
                         L"TavrinSetup:  ==> TMainForm::Copy_KB3033929\n"),
              2);
    EXPECT_EQ(reporter.positions, std::vector<int32_t>{90});
}

TEST_F(StepsTest, TheManualStepNeedsAManualForTheChosenLanguage) {
    SetupSteps& setup = Prepare();
    machine.files.AddDirectory(test::kInstallFolder);
    machine.files.AddTextFile(L"C:\\Setup\\Manual\\German\\Handbuch.pdf", "de");
    EXPECT_EQ(setup.InstallUserManual(reporter), 0);
    EXPECT_FALSE(machine.files.DirectoryExists(Install(L"Manual"))) << "no English manual";
    EXPECT_TRUE(machine.system.shortcuts.empty());

    machine.files.AddTextFile(L"C:\\Setup\\Manual\\English\\.hidden", "h");
    machine.files.AddTextFile(L"C:\\Setup\\Manual\\English\\Manual.pdf", "en");
    EXPECT_EQ(setup.InstallUserManual(reporter), 0);
    EXPECT_NE(machine.files.FindFile(Install(L"Manual\\English\\Manual.pdf")), nullptr);
    ASSERT_EQ(machine.system.shortcuts.size(), 1u);
    EXPECT_EQ(machine.system.shortcuts[0].first,
              L"C:\\ProgramData\\Programs\\Acme Audio\\Acme Manual.lnk")
        << "without ShortcutFolderNameUp";
    EXPECT_EQ(machine.system.shortcuts[0].second, Install(L"Manual\\English\\Manual.pdf"));
}

TEST_F(StepsTest, PlugInsAndEffectApplications) {
    SetupSteps& setup = Prepare();
    machine.files.AddDirectory(test::kInstallFolder);
    ASSERT_EQ(setup.InstallPlugins(reporter), 0);
    ASSERT_EQ(setup.InstallEffectApplication(reporter), 0);
    ASSERT_EQ(setup.InstallSoundEffectApplication(reporter), 0);
    EXPECT_EQ(FakePayloads::Text(machine.files.FindFile(Install(L"Plugin\\AcmeFx\\AcmeFx.exe"))),
              "APP 111");
    EXPECT_EQ(
        FakePayloads::Text(machine.files.FindFile(Install(L"Plugin\\AcmeVoice\\AcmeVoice.exe"))),
        "APP 112");
    EXPECT_EQ(reporter.positions, (std::vector<int32_t>{95, 98, 98}));
    payloads.Remove(L"APP", 112);
    EXPECT_EQ(setup.InstallSoundEffectApplication(reporter), 1);
}

TEST_F(StepsTest, TheUpdateIsStartedOnlyWhere64BitWindows7NeedsIt) {
    const struct {
        const char* name;
        bool wow64;
        int family;
        int servicePack;
        bool installed;
        bool started;
        const wchar_t* line;
    } cases[] = {
        {"32-bit Windows 7 SP1", false, 4, 1, false, false, L"##### The OS is 32-Bit #####\n"},
        {"64-bit Windows 7 without SP", true, 4, 0, false, false,
         L"##### The OS is Win7, but not install the service pack! #####\n"},
        {"64-bit Windows 10", true, 6, 0, false, false, L"##### The OS is not Win7 #####\n"},
        {"64-bit Windows 7 SP1 with the update", true, 4, 1, true, false, nullptr},
        {"64-bit Windows 7 SP1 without it", true, 4, 1, false, true, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        machine.environment.osVersion = {6, static_cast<uint32_t>(c.family == 4 ? 1 : 2), 7601,
                                         static_cast<uint16_t>(c.servicePack)};
        SetupSteps& setup = Prepare(c.wow64);
        session.family = c.family;
        session.servicePack = c.servicePack;
        if (c.installed) {
            machine.registry.CreateKey(RegistryHive::LocalMachine,
                                       L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Component "
                                       L"Based Servicing\\Packages\\Package_for_KB3033929~31bf~x",
                                       RegistryView::Native64);
        }
        machine.system.shellStarts.clear();
        machine.log.lines.clear();
        EXPECT_EQ(setup.Install_KB3033929(reporter), 0);
        EXPECT_EQ(machine.system.shellStarts.size(), c.started ? 1u : 0u);
        if (c.started) {
            EXPECT_EQ(machine.system.shellStarts[0].file,
                      L"C:\\Windows\\System32\\Windows6.1-KB3033929-x64.msu");
            EXPECT_LT(machine.system.shellStarts[0].wait, 0) << "waits without limit";
        }
        if (c.line != nullptr) {
            EXPECT_TRUE(machine.log.Contains(c.line));
        }
        machine.registry.DeleteTree(RegistryHive::LocalMachine,
                                    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Component "
                                    L"Based Servicing",
                                    RegistryView::Native64);
    }
    machine.system.shellStartWorks = false;
    EXPECT_EQ(steps->Install_KB3033929(reporter), 1) << "the package cannot start";
    EXPECT_TRUE(machine.log.Contains(L"***** InstallKB3033929 *****\n"));
}

TEST(IsUpdateInstalled, EitherMarkInThe64BitView) {
    const std::wstring cbs =
        L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Component Based Servicing\\";
    const struct {
        const char* name;
        std::wstring key;
        RegistryView view;
        bool installed;
    } cases[] = {
        {"applicability mark",
         cbs +
             L"ApplicabilityEvaluationCache\\Package_for_KB3033929~31bf3856ad364e35~amd64~~6.1.1.1",
         RegistryView::Native64, true},
        {"a package", cbs + L"Packages\\Package_for_KB3033929~31bf3856ad364e35~amd64~~6.1.1.2",
         RegistryView::Native64, true},
        {"only in the 32-bit view", cbs + L"Packages\\Package_for_KB3033929~x",
         RegistryView::Default, false},
        {"another update", cbs + L"Packages\\Package_for_KB3033930~x", RegistryView::Native64,
         false},
        {"the prefix compares with case", cbs + L"Packages\\package_for_KB3033929~x",
         RegistryView::Native64, false},
        {"no tilde", cbs + L"Packages\\Package_for_KB3033929", RegistryView::Native64, false},
    };
    for (const auto& c : cases) {
        MemoryRegistry registry;
        registry.CreateKey(RegistryHive::LocalMachine, c.key, c.view);
        EXPECT_EQ(IsUpdateInstalled(registry), c.installed) << c.name;
    }
}

TEST(CleanOldFilters, OvaltLeavesOurDevicesOnlyAndThePresentOnesRestart) {
    test::SetupMachine machine;
    using Device = test::FakeSetupSystem::Device;
    const std::wstring ours = L"USB\\VID_2B7A&PID_5801&REV_0100&MI_00";
    machine.system.devices = {
        Device{{ours, true}, std::vector<std::wstring>{L"ovalt", L"other"}, {}, true},
        Device{{ours, false}, std::vector<std::wstring>{L"Ovalt"}, {}, false},
        Device{{L"USB\\VID_1234&PID_5801&REV_0100&MI_00", true},
               std::vector<std::wstring>{L"Ovalt"},
               {},
               false},
        Device{{ours + L"&X", true}, std::vector<std::wstring>{L"Ovalt"}, {}, false},
    };
    machine.files.AddTextFile(L"C:\\Setup\\AudioConfig.cfg",
                              "[USB_VID_PID]\r\n1=USB\\VID_2B7A&PID_58XX&REV_0100&MI_00\r\n");
    DEVICEID_MGR::CDeviceIdMgr group(machine.files, machine.registry);
    ASSERT_EQ(group.LoadGroupFromFile(L"C:\\Setup\\AudioConfig.cfg", L"USB_VID_PID"), 0);
    const auto list = machine.system.OpenDeviceList();
    EXPECT_TRUE(CleanOldFilters(*list, group, machine.clock, machine.log));
    const auto& devices = machine.system.devices;
    EXPECT_EQ(devices[0].lowerFilters, std::vector<std::wstring>{L"other"});
    EXPECT_FALSE(devices[1].lowerFilters.has_value()) << "an emptied list is deleted";
    EXPECT_EQ(devices[2].lowerFilters, std::vector<std::wstring>{L"Ovalt"}) << "not ours";
    EXPECT_EQ(devices[3].lowerFilters, std::vector<std::wstring>{L"Ovalt"}) << "longer ID";
    EXPECT_EQ(devices[0].changes,
              (std::vector<std::wstring>{L"disable", L"enable global", L"enable profile"}));
    EXPECT_TRUE(devices[1].changes.empty()) << "not present";
    EXPECT_TRUE(devices[2].changes.empty());
    EXPECT_EQ(machine.clock.waits, std::vector<uint32_t>{1000});
}

TEST_F(StepsTest, PreparationAsksProgramsToCloseRestsTheServiceAndChecksForTheOldDriver) {
    machine.services.AddService(kServiceName, {kServiceStopped, 0, 0, 0});
    SetupSteps& setup = Prepare();
    setup.BroadcastAppExit();
    setup.RestService();
    EXPECT_EQ(machine.system.broadcasts, std::vector<std::wstring>{L"WM_ZRN58xxAPP_EXIT/100"});
    const std::vector<std::wstring> calls = machine.services.Record(kServiceName).calls;
    EXPECT_NE(std::find(calls.begin(), calls.end(), L"control 128"), calls.end());
    EXPECT_EQ(machine.services.Record(kServiceName).state, kServiceStopped);
    EXPECT_FALSE(setup.FilterDriverActive());
    machine.system.filterDevicePresent = true;
    EXPECT_TRUE(setup.FilterDriverActive());
    EXPECT_EQ(machine.system.openedDevices.back(), L"\\\\.\\Class#UsbAudioExtension&2B7A&00");
}

}  // namespace
}  // namespace tavrin::setup
