#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "common/AudioConfig.h"
#include "ports/portable/MemoryRegistry.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakeEnvironment.h"
#include "tests/support/HostPorts.h"
#include "tests/support/RecordingDebugLog.h"
#include "tests/support/TempFolder.h"

namespace tavrin {
namespace {

using test::FakeEnvironment;

TEST(ConfigConversion, StrictIntegerAcceptsDecimalIntegersOnly) {
    const struct {
        const wchar_t* text;
        int32_t number;
    } valid[] = {{L"0", 0},
                 {L"7", 7},
                 {L"-12", -12},
                 {L"+3", 3},
                 {L" 1", 1},
                 {L"2147483647", 2147483647},
                 {L"-2147483648", INT32_MIN}};
    for (const auto& c : valid) EXPECT_EQ(StrictInteger(c.text), c.number) << c.text;

    for (const wchar_t* text : {L"", L"x", L"1x", L"1 ", L"-", L"0x10", L"2147483648", L"1.5"}) {
        try {
            StrictInteger(text);
            ADD_FAILURE() << "no error for '" << text << "'";
        } catch (const ConfigConversionError& error) {
            EXPECT_EQ(error.Message(),
                      std::wstring(L"'") + text + L"' is not a valid integer value");
        }
    }
}

TEST(ConfigConversion, HexadecimalNumbersWhereTheyAreAllowed) {
    const struct {
        const wchar_t* text;
        std::optional<int32_t> number;
    } cases[] = {{L"0x10", 16},       {L" 0XfF", 255}, {L"0x7FFFFFFF", INT32_MAX},
                 {L"0x80000000", {}}, {L"0x", {}},     {L"0x1g", {}},
                 {L"-0x1", {}},       {L"12", 12},     {L"0x 1", {}}};
    for (const auto& c : cases) {
        EXPECT_EQ(ParseInteger(c.text, true), c.number) << c.text;
    }
    EXPECT_EQ(ParseInteger(L"0x10"), std::nullopt) << "decimal only unless asked";
}

TEST(ConfigConversion, LenientIntegerTakesLeadingDigits) {
    const struct {
        const wchar_t* text;
        int32_t number;
    } cases[] = {{L"", 0},
                 {L"abc", 0},
                 {L"15", 15},
                 {L"12abc", 12},
                 {L"  -4", -4},
                 {L"+9", 9},
                 {L"- 4", 0},
                 {L"\t5", 5},
                 {L"1,2", 1},
                 {L"99999999999", INT32_MAX},
                 {L"-99999999999", INT32_MIN}};
    for (const auto& c : cases) EXPECT_EQ(LenientInteger(c.text), c.number) << c.text;
}

TEST(ConfigConversion, SplitAtCommasKeepsEveryField) {
    EXPECT_TRUE(SplitAtCommas(L"").empty());
    EXPECT_EQ(SplitAtCommas(L"a"), (std::vector<std::wstring>{L"a"}));
    EXPECT_EQ(SplitAtCommas(L"a ,b,,"), (std::vector<std::wstring>{L"a ", L"b", L"", L""}));
}

class AudioConfigFileTest : public ::testing::Test {
protected:
    std::wstring WriteConfig(const std::string& text) {
        const std::wstring path = folder.Path() + kAudioConfigFileName;
        host.WriteFile(path, text);
        return path;
    }
    ConfigFile Config(const std::string& text) {
        return ConfigFile(host.profiles, WriteConfig(text));
    }
    CAudioConfig Load(const std::wstring& fileName, const std::wstring& program,
                      ConfigReader reader = ConfigReader::Application) {
        Platform platform{host.profiles, registry, host.files, environment, clock, log};
        CAudioConfig record;
        LoadAudioConfig(platform, fileName, folder.Path() + program, record, reader);
        return record;
    }

    test::TempFolder folder;
    test::HostPorts host;
    FakeEnvironment environment;
    test::RecordingDebugLog log;
    MemoryRegistry registry;
    test::FakeClock clock;
};

TEST_F(AudioConfigFileTest, LoadAudioConfigFillsTheRecordAndDerivedFolders) {
    WriteConfig(
        "[Language]\r\nLanguageFolderName=Language\r\n"
        "[Skin]\r\nSkinFolderName=Skin\r\n"
        "[Install]\r\nInstallAppTitle=Acme Control\r\nInstallFolderName=Acme Audio\r\n"
        "ShortcutFolderNameUp=Up\r\nAPPFileName=Tavrin.exe\r\nSoundEffectAPPFileName=Snd.exe\r\n"
        "[Uninstall]\r\nPublisher=Acme\r\nUninstallFileName=Uninstall.exe\r\n"
        "[Plugin]\r\nPluginFolderName=Plugin\r\n");
    environment.knownFolders[KnownFolder::ProgramFiles] = L"C:\\Program Files (x86)";
    environment.knownFolders[KnownFolder::System] = L"C:\\Windows\\system32";

    const CAudioConfig record = Load(kAudioConfigFileName, L"Tavrin.exe");

    EXPECT_EQ(record.SourceAppFileName, L"Tavrin.exe");
    EXPECT_EQ(record.SourceFolderFullPath, folder.Path());
    EXPECT_EQ(record.LanguageFolderName, L"Language");
    EXPECT_EQ(record.SkinFolderName, L"Skin");
    EXPECT_EQ(record.InstallAppTitle, L"Acme Control");
    EXPECT_EQ(record.APPFileName, L"Tavrin.exe");
    EXPECT_EQ(record.Publisher, L"Acme");
    EXPECT_EQ(record.UninstallFileName, L"Uninstall.exe");
    EXPECT_EQ(record.PluginFolderName, L"Plugin");
    EXPECT_EQ(record.ShortcutFolderNameUp, L"") << "setup-only key read by the application";
    EXPECT_EQ(record.SoundEffectAPPFileName, L"");
    EXPECT_EQ(record.DebugLevelApplication, L"0");
    EXPECT_EQ(record.DebugLevelService, L"0");
    EXPECT_EQ(record.ProgramFilesFolder, L"C:\\Program Files (x86)\\");
    EXPECT_EQ(record.InstallFolderFullPath, L"C:\\Program Files (x86)\\Acme Audio\\");
    EXPECT_EQ(record.SystemFolderPath, L"C:\\Windows\\system32\\");
    EXPECT_EQ(record.SystemDirectoryPath, L"C:\\Windows\\SysWOW64\\");
    EXPECT_EQ(environment.redirectionSwitches, 0) << "no WOW64, no switching";
    ASSERT_GE(log.lines.size(), 2u);
    EXPECT_EQ(log.lines[0], L"##### SourceAppFileName = Tavrin.exe\n");
    EXPECT_EQ(log.lines[1], L"##### SourceFolderFullPath = " + folder.Path() + L"\n");

    const CAudioConfig setupRecord = Load(kAudioConfigFileName, L"Setup.exe", ConfigReader::Setup);
    EXPECT_EQ(setupRecord.ShortcutFolderNameUp, L"Up");
    EXPECT_EQ(setupRecord.SoundEffectAPPFileName, L"Snd.exe");
}

TEST_F(AudioConfigFileTest, UnderWow64TheSystemFoldersAreTheNativeAndTheX86Ones) {
    environment.wow64 = true;
    environment.knownFolders[KnownFolder::System] = L"C:\\Windows\\system32";
    environment.knownFolders[KnownFolder::SystemX86] = L"C:\\Windows\\SysWOW64";

    CAudioConfig record = Load(kAudioConfigFileName, L"Tavrin.exe");
    EXPECT_EQ(record.SystemFolderPath, L"C:\\Windows\\SysWOW64\\");
    EXPECT_EQ(record.SystemDirectoryPath, L"C:\\Windows\\System32\\");
    EXPECT_EQ(environment.redirectionSwitches, 2);
    EXPECT_FALSE(environment.redirectionOff);

    environment.redirectionFunctions = false;  // old systems: the redirected folder is all there is
    record = Load(kAudioConfigFileName, L"Tavrin.exe");
    EXPECT_EQ(record.SystemDirectoryPath, L"C:\\Windows\\SysWOW64\\");
}

TEST_F(AudioConfigFileTest, AMissingFileReadsAsEveryKeyMissing) {
    const CAudioConfig record = Load(L"Missing.cfg", L"Tavrin.exe");
    EXPECT_EQ(record.InstallFolderName, L"");
    EXPECT_EQ(record.DebugLevelApplication, L"0");

    ConfigFile config(host.profiles, host.files, folder.Path() + L"Missing.cfg");
    EXPECT_EQ(config.Integer(config_keys::kMonitor), 1);
    EXPECT_DOUBLE_EQ(config.V7ch1Scalar(), 2.0);
    try {
        config.Integer(config_keys::kRegionCut);
        ADD_FAILURE() << "a strict key of a missing file must stop start-up";
    } catch (const ConfigConversionError& error) {
        EXPECT_EQ(error.Message(), L"'' is not a valid integer value\n\nFile: " + folder.Path() +
                                       L"Missing.cfg (the file is missing)\nSection: Skin\n"
                                       L"Key: RegionCut");
    }
}

TEST_F(AudioConfigFileTest, ReadConfigTextCutsAt1023AndLeavesTargetOnEmpty) {
    const std::string longValue(2000, 'v');
    const std::wstring path = WriteConfig("[S]\r\nLong=" + longValue + "\r\nEmpty=\r\n");
    std::wstring target = L"kept";
    EXPECT_EQ(ReadConfigText(host.profiles, path, L"S", L"Empty", target), 1);
    EXPECT_EQ(ReadConfigText(host.profiles, path, L"S", L"Missing", target), 1);
    EXPECT_EQ(target, L"kept");
    EXPECT_EQ(ReadConfigText(host.profiles, path, L"S", L"Long", target), 0);
    EXPECT_EQ(target, std::wstring(1023, L'v'));
}

TEST_F(AudioConfigFileTest, ReadConfigValueNeverWritesPastTheCallersBuffer) {
    const std::wstring path = WriteConfig("[S]\r\nHint=" + std::string(40, 'h') + "\r\n");
    wchar_t buffer[kConfigNumberCapacity + 4];
    std::fill(std::begin(buffer), std::end(buffer), L'#');
    EXPECT_EQ(ReadConfigValue(host.profiles, path, L"S", L"Hint", buffer, kConfigNumberCapacity),
              31u);
    EXPECT_EQ(std::wstring(buffer), std::wstring(31, L'h'));
    for (size_t i = kConfigNumberCapacity; i < std::size(buffer); ++i) EXPECT_EQ(buffer[i], L'#');
    EXPECT_EQ(ReadConfigValue(host.profiles, path, L"S", L"Missing", kConfigPathCapacity), L"");
}

TEST_F(AudioConfigFileTest, WriteConfigValueCreatesTheKey) {
    const std::wstring path = WriteConfig("[LastINI]\r\n");
    WriteConfigValue(host.profiles, path, L"LastINI", L"Path", L"C:\\Users\\me\\p.ini");
    ConfigFile config(host.profiles, path);
    EXPECT_EQ(config.Text(config_keys::kLastIniPath), L"C:\\Users\\me\\p.ini");
}

TEST_F(AudioConfigFileTest, NumbersReadAsTheKeyTableSays) {
    const struct {
        const char* body;
        double scalar;
        int32_t monitor;
    } cases[] = {
        {"[DefaultSet]\r\nV7ch1Scalar=\r\n", 2.0, 1},
        {"[DefaultSet]\r\nV7ch1Scalar=15\r\n[Mic]\r\nMonitor=0\r\n", 1.5, 0},
        {"[DefaultSet]\r\nV7ch1Scalar=abc\r\n[Mic]\r\nMonitor=2\r\n", 0.0, 2},
    };
    for (const auto& c : cases) {
        ConfigFile config = Config(c.body);
        EXPECT_DOUBLE_EQ(config.V7ch1Scalar(), c.scalar) << c.body;
        EXPECT_EQ(config.Integer(config_keys::kMonitor), c.monitor) << c.body;
    }

    ConfigFile config = Config("[DefaultSet]\r\nEncButtonMode=\r\nEncGpio=4\r\n");
    EXPECT_EQ(config.Integer(config_keys::kEncGpio), 4);
    EXPECT_EQ(config.Integer(config_keys::kEncButtonMode), 0);
}

TEST_F(AudioConfigFileTest, GpioKeys) {
    ConfigFile config = Config(
        "[GPIO]\r\nMODE=1\r\nENABLE=1,0,1\r\nDIRECTION=1,1,1,1,1,1,1,1,1,1,1,1\r\n"
        "[GPIOActive]\r\n0=1\r\n1=0\r\n"
        "[GPIOFunction]\r\n3=F7\r\n4=7\r\n5=F\r\n6=f2\r\n");
    EXPECT_EQ(config.Integer(config_keys::kGpioMode), 1);
    EXPECT_EQ(config.IntegerList(config_keys::kGpioEnable),
              (std::vector<int32_t>{1, 0, 1, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(config.IntegerList(config_keys::kGpioDirection), std::vector<int32_t>(10, 1))
        << "items past the tenth are not taken";
    EXPECT_EQ(config.GpioActive(0), 1);
    EXPECT_EQ(config.GpioFunction(3), 7);
    EXPECT_EQ(config.GpioFunction(4), -1);
    EXPECT_EQ(config.GpioFunction(5), 0);
    EXPECT_EQ(config.GpioFunction(6), -1) << "the F is upper case";
    EXPECT_EQ(config.GpioFunction(9), -1);
}

// The conversion message stays as it is; the box adds where the value came from.
TEST_F(AudioConfigFileTest, AConversionErrorNamesTheFileSectionAndKey) {
    const struct {
        const char* body;
        std::function<void(const ConfigFile&)> read;
        const wchar_t* message;
    } cases[] = {
        {"[Skin]\r\nRegionCut=abc\r\n",
         [](const ConfigFile& c) { c.Integer(config_keys::kRegionCut); },
         L"'abc' is not a valid integer value\n\nFile: @\nSection: Skin\nKey: RegionCut"},
        {"[GPIO]\r\nENABLE=1,x,1\r\n",
         [](const ConfigFile& c) { c.IntegerList(config_keys::kGpioEnable); },
         L"'x' is not a valid integer value\n\nFile: @\nSection: GPIO\nKey: ENABLE"},
        {"[GPIOActive]\r\n0=1\r\n", [](const ConfigFile& c) { c.GpioActive(2); },
         L"'' is not a valid integer value\n\nFile: @\nSection: GPIOActive\nKey: 2"},
    };
    for (const auto& c : cases) {
        const ConfigFile config(host.profiles, host.files, WriteConfig(c.body));
        std::wstring expected = c.message;
        expected.replace(expected.find(L'@'), 1, config.Path());
        try {
            c.read(config);
            ADD_FAILURE() << c.body;
        } catch (const ConfigConversionError& error) {
            EXPECT_EQ(error.Message(), expected);
        }
    }
}

TEST_F(AudioConfigFileTest, PluginAndLanguageKeysAreNamedByFolder) {
    ConfigFile config = Config(
        "[Application]\r\nEqualizer Pro=1\r\nOld=0\r\n"
        "[MultiLanguageFolderMap]\r\nEnglish=English\r\nDeutsch=Deutsch (DE)\r\n");
    EXPECT_EQ(config.PluginEnabled(L"Equalizer Pro"), 1);
    EXPECT_EQ(config.PluginEnabled(L"Old"), 0);
    EXPECT_EQ(config.PluginEnabled(L"Missing"), 0);
    EXPECT_EQ(config.LanguageDisplayName(L"Deutsch"), L"Deutsch (DE)");
}

TEST(PerUserConfig, PathIsBelowAppDataInTheInstallFolderName) {
    FakeEnvironment environment;
    environment.variables[L"APPDATA"] = L"C:\\Users\\me\\AppData\\Roaming";
    CAudioConfig record;
    record.InstallFolderName = L"Acme Audio";
    EXPECT_EQ(PerUserConfigPath(environment, record),
              L"C:\\Users\\me\\AppData\\Roaming\\Acme Audio\\AudioConfig.cfg");
}

}  // namespace
}  // namespace tavrin
