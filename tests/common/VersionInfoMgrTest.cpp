#include <gtest/gtest.h>

#include "common/VersionInfoMgr.h"
#include "tests/support/FakeEnvironment.h"
#include "tests/support/RecordingDebugLog.h"

namespace tavrin {
namespace {

using namespace VERSIONINFO_MGR;
using test::FakeEnvironment;
using test::RecordingDebugLog;

TEST(WindowsVersion, MapsMajorAndMinorToFamilyAndCode) {
    const struct {
        uint32_t major, minor;
        int family, code;
        const wchar_t* line;
    } cases[] = {
        {4, 0, 0, 0x400, L"##### The OS is NT4 #####\n"},
        {5, 0, 2, 0x500, L"##### The OS is WIN2000 #####\n"},
        {5, 1, 2, 0x501, L"##### The OS is WINXP #####\n"},
        {5, 2, 2, 0x502, L"##### The OS is Windows Server 2003 #####\n"},
        {6, 0, 3, 0x600, L"##### The OS is VISTA #####\n"},
        {6, 1, 4, 0x601, L"##### The OS is WIN7 #####\n"},
        {6, 2, 5, 0x602, L"##### The OS is WIN8 #####\n"},
        {6, 3, 5, 0x603, L"##### The OS is WIN8.1 #####\n"},
        {10, 0, 6, 0xA00, L"##### The OS is WIN10 #####\n"},
        {5, 3, 2, -1, L"##### The OS is Unknown #####\n"},
        {6, 4, -1, -1, L"##### The OS is Unknown #####\n"},
        {11, 0, -1, -1, L"##### The OS is Unknown #####\n"},
        {3, 51, -1, -1, L"##### The OS is Unknown #####\n"},
    };
    for (const auto& c : cases) {
        FakeEnvironment environment;
        environment.osVersion = {c.major, c.minor, 0, 1};
        RecordingDebugLog log;
        CVersionInfoMgr manager(environment, log);
        int family = 99, code = 99, servicePack = 99;
        ASSERT_EQ(manager.GetWindowsVersion(&family, &code, &servicePack), 0);
        EXPECT_EQ(family, c.family) << c.major << "." << c.minor;
        EXPECT_EQ(code, c.code) << c.major << "." << c.minor;
        EXPECT_EQ(servicePack, 1);
        manager.LogWindowsVersion(family, code, std::nullopt);
        ASSERT_EQ(log.lines.size(), 2u);
        EXPECT_EQ(log.lines[1], c.line);
    }
}

TEST(WindowsVersion, LogsTheVersionLineAndAcceptsAbsentOutputs) {
    FakeEnvironment environment;
    environment.osVersion = {10, 0, 19045, 0};
    RecordingDebugLog log;
    CVersionInfoMgr manager(environment, log);
    EXPECT_EQ(manager.GetWindowsVersion(nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(log.lines, std::vector<std::wstring>{
                             L"GetWindowsVersion: Major = 0x0000000A, Minor = 0x00000000\n"});

    int family = 0;
    log.lines.clear();
    EXPECT_EQ(QueryWindowsVersion(environment, &family, nullptr, nullptr), 0);
    EXPECT_EQ(family, kFamilyWin10);
    EXPECT_TRUE(log.lines.empty()) << "the wizard's copy logs nothing";
}

TEST(WindowsVersion, FailuresLeaveTheOutputsUnset) {
    for (const auto failure : {OsVersionResult::NotExported, OsVersionResult::CallFailed}) {
        FakeEnvironment environment;
        environment.versionResult = failure;
        RecordingDebugLog log;
        CVersionInfoMgr manager(environment, log);
        int family = 42;
        EXPECT_EQ(manager.GetWindowsVersion(&family, nullptr, nullptr),
                  failure == OsVersionResult::NotExported ? 1 : 2);
        EXPECT_EQ(family, 42);
        EXPECT_TRUE(log.lines.empty());
    }
}

TEST(WindowsVersion, LogByFamilyWhenNoCodeIsGivenAndServicePackLine) {
    const struct {
        int family;
        const wchar_t* name;
    } cases[] = {{0, L"NT4"},  {2, L"WINXP"}, {3, L"VISTA"},   {4, L"WIN7"},
                 {5, L"WIN8"}, {6, L"WIN10"}, {1, L"Unknown"}, {-1, L"Unknown"}};
    for (const auto& c : cases) {
        FakeEnvironment environment;
        RecordingDebugLog log;
        CVersionInfoMgr(environment, log).LogWindowsVersion(c.family, std::nullopt, 2);
        EXPECT_EQ(log.lines, (std::vector<std::wstring>{
                                 std::wstring(L"##### The OS is ") + c.name + L" #####\n",
                                 L"##### The service pack version = 2 #####\n"}));
    }
}

TEST(MachineBitness, FromTheNativeProcessorArchitecture) {
    const struct {
        uint16_t architecture;
        int result, bitness;
    } cases[] = {{0, 0, 0}, {9, 0, 1}, {12, 1, 7}, {6, 1, 7}, {5, 1, 7}};
    for (const auto& c : cases) {
        FakeEnvironment environment;
        environment.architecture = c.architecture;
        RecordingDebugLog log;
        int bitness = 7;
        EXPECT_EQ(CVersionInfoMgr(environment, log).GetMachineBitness(bitness), c.result);
        EXPECT_EQ(bitness, c.bitness);
    }
}

TEST(InstallMgr, SixtyFourBitWindows7) {
    FakeEnvironment environment;
    environment.architecture = 9;
    environment.osVersion = {6, 1, 7601, 1};
    environment.knownFolders[KnownFolder::ProgramFiles] = L"C:\\Program Files (x86)";
    environment.knownFolders[KnownFolder::SystemX86] = L"C:\\Windows\\SysWOW64";
    RecordingDebugLog log;
    INSTALL_MGR::CInstallMgr manager(environment, log);
    EXPECT_EQ(manager.m_iMachineBitness, 1);
    EXPECT_EQ(manager.m_iBitness, 1);
    EXPECT_EQ(manager.m_iFamily, 4);
    EXPECT_EQ(manager.m_iVersionCode, 0x601);
    EXPECT_EQ(manager.m_iServicePack, 1);
    EXPECT_EQ(manager.m_ProgramFilesFolder, L"C:\\Program Files (x86)\\");
    EXPECT_EQ(manager.m_SystemFolder32, L"C:\\Windows\\SysWOW64\\");
    EXPECT_EQ(manager.m_SystemFolderNative, L"C:\\Windows\\System32\\");
    EXPECT_EQ(environment.redirectionSwitches, 2);
    EXPECT_FALSE(environment.redirectionOff);
    EXPECT_EQ(log.lines,
              (std::vector<std::wstring>{
                  L"GetWindowsVersion: Major = 0x00000006, Minor = 0x00000001\n",
                  L"##### The OS is WIN7 #####\n", L"##### The service pack version = 1 #####\n"}));
}

TEST(InstallMgr, ThirtyTwoBitWindowsWithoutRtlGetVersion) {
    FakeEnvironment environment;
    environment.architecture = 0;
    environment.versionResult = OsVersionResult::NotExported;
    environment.knownFolders[KnownFolder::System] = L"C:\\Windows\\system32";
    RecordingDebugLog log;
    INSTALL_MGR::CInstallMgr manager(environment, log);
    EXPECT_EQ(manager.m_iBitness, 0);
    EXPECT_EQ(manager.m_SystemFolder32, L"C:\\Windows\\system32\\");
    EXPECT_EQ(environment.redirectionSwitches, 0);
    EXPECT_EQ(log.lines, (std::vector<std::wstring>{
                             L"CInstallMgr::CInstallMgr ***** GetWindowsVersion FAIL! *****\n",
                             L"##### The OS is Unknown #####\n",
                             L"##### The service pack version = 0 #####\n"}));
}

}  // namespace
}  // namespace tavrin
