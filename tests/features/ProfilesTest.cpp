#include "app/features/Profiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/features/AudioFeatures.h"
#include "ports/portable/PortableProfileStore.h"
#include "tests/support/FeatureFixture.h"
#include "tests/support/ForwardingFileSystem.h"

namespace tavrin {
namespace {

using Key = ProfileKeyId;
using Lines = std::vector<std::string>;

constexpr wchar_t kUserData[] = L"C:\\Users\\Ann\\AppData\\Roaming\\Acme\\";
constexpr wchar_t kUserFolder[] = L"C:\\Users\\Ann\\Acme\\";
constexpr wchar_t kInstalledConfig[] = L"C:\\Tavrin\\AudioConfig.cfg";

std::string Text(const std::vector<uint8_t>* bytes) {
    return bytes == nullptr ? std::string("(none)") : std::string(bytes->begin(), bytes->end());
}

bool Contains(const Lines& lines, const std::string& part) {
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
        return line.find(part) != std::string::npos;
    });
}

// The profile unit in the composition, against the virtual headset, with profile files in
// memory read and written by the Windows rules.
class ProfilesTest : public test::FeatureTest {
protected:
    void SetUp() override {
        FeatureTest::SetUp();
        files.AddDirectory(L"C:\\Users\\Ann\\AppData\\Roaming");
        files.AddDirectory(L"C:\\Profiles");
        context.emplace(FeatureContext{profilePlatform, ui, settings, sdk, *io, *discovery, window,
                                       image, windowConfig, context->audio, 6,
                                       std::wstring(kUserData) + kDefaultProfileFileName});
        context->lastProfilePath = std::wstring(kUserData) + kLastProfileFileName;
        context->userProfileFolder = kUserFolder;
        context->installedConfigPath = kInstalledConfig;
        context->messageCaption = L"Acme Audio";
        features.Attach(*context);
        features.SetInitialState();
        features.ConstructPages();
        ClearTraffic();
    }
    Profiles& Unit() { return features.ProfileFiles(); }
    void WriteFile(const std::wstring& path, const std::string& text) {
        files.AddFile(path, std::vector<uint8_t>(text.begin(), text.end()));
    }
    // A file the writer would make, with some keys given other values.
    void WriteProfile(const std::wstring& path,
                      std::initializer_list<std::pair<Key, std::wstring>> changes) {
        ProfileData profile = Defaults();
        for (const auto& [key, value] : changes) profile.SetValue(key, value);
        const std::string text = ProfileText(profile);
        WriteFile(path, text);
    }
    static ProfileData Defaults() {
        ProfileData profile;
        for (int32_t preset = 1; preset <= kEqPresetCount; ++preset) {
            profile.SetPreset(preset, {0x300, 0x500, 0x400, 0x400, 0x400}, 0);
        }
        for (const ProfileKey& key : ProfileKeys()) {
            if (key.format == ProfileFormat::Number) profile.SetNumber(key.id, 0);
            if (key.format == ProfileFormat::Position) profile.SetPosition(key.id, 500, 200);
        }
        profile.SetNumber(Key::CurrentEffect, 1);
        return profile;
    }
    EqRecord Slot(int32_t preset) {
        return UnpackEqSlot(image.bytes.data() + 0x100 + 16 * (preset - 1));
    }
    std::wstring InstalledPath() {
        return ReadConfigValue(store, kInstalledConfig, L"LastINI", L"Path", kConfigPathCapacity);
    }
    void PressRelease(int32_t tag) {
        Component* picture = window.form.FindByTag(ComponentKind::Image, tag);
        features.Unit(FindControlRowByTag(tag)->unit)->Release(*FindControlRowByTag(tag), *picture);
    }

    PortableProfileStore store{files};
    Platform profilePlatform{store, registry, files, environment, clock, log};
    AudioFeatures features;
};

TEST_F(ProfilesTest, ASavedProfileLoadsBackTheSettingsItKeeps) {
    features.Eq().LoadPresetValues({L"0x300", L"0x500", L"0x9FF", L"0x200", L"0x400", L"1"}, 2, 1);
    settings.m_b3DEnable = 1;
    settings.m_iCurrentEffect = 4;
    settings.m_b7ch1Enable = 1;
    window.Control(L"VirtualLImage").left = 481;
    window.Control(L"VirtualLImage").top = 172;
    window.Control(L"VirtualRBImage").left = 610;
    const std::wstring file = L"C:\\Profiles\\Mine.ini";
    ASSERT_TRUE(Unit().SaveProfile(file));
    EXPECT_EQ(settings.m_bProfileBusy, 0);

    // Everything back to how construction leaves it, and the keys that must not act changed in
    // the file.
    features.ConstructPages();
    settings.m_b3DEnable = settings.m_b7ch1Enable = 0;
    window.Control(L"VirtualLImage").left = window.Control(L"VirtualRBImage").left = 1;
    for (const auto& [key, value] : {std::pair{L"LeftAlpha", L"1"}, {L"FBM", L"0"}}) {
        store.WriteString(L"3D", key, value, file);
    }
    store.WriteString(L"ENC", L"ENCEN", L"1", file);
    store.WriteString(L"VoiceMagic", L"VoiceMagicMode", L"3", file);
    ClearTraffic();
    Unit().LoadProfile(file);

    EXPECT_EQ(Slot(2).gains, (std::array<uint16_t, 5>{0x300, 0x500, 0x9FF, 0x200, 0x400}));
    EXPECT_EQ(settings.m_bEQEnable, 1);
    EXPECT_EQ(settings.m_b3DEnable, 1);
    EXPECT_EQ(settings.m_iCurrentEffect, 4);
    EXPECT_EQ(settings.m_b7ch1Enable, 1);
    EXPECT_EQ(settings.m_bSaved7ch1Enable, 1);
    EXPECT_EQ(window.Control(L"VirtualLImage").left, 481);
    EXPECT_EQ(window.Control(L"VirtualLImage").top, 172);
    EXPECT_EQ(window.Control(L"VirtualRBImage").left, 610);
    EXPECT_TRUE(Contains(DeviceTraffic(), "drv 0x08232008 in 03 00 00 00")) << "effect 4 sent";
    EXPECT_EQ(features.Effect3D().Record(), ThreeDRecord{}) << "3D parameters are not loaded";
    EXPECT_EQ(settings.m_bFBM, 1);
    EXPECT_EQ(settings.m_bENCEnable, 0);
    EXPECT_EQ(settings.m_iVoiceMagicMode, 0);
    EXPECT_EQ(Unit().CurrentProfile(), file);
    EXPECT_EQ(window.redraws, 1) << "the current page shown again";
}

// Saving passes every preset through the EQ record without touching the registers, and leaves
// the record holding the current preset again.
TEST_F(ProfilesTest, SavingWritesNoRegisterAndRestoresTheCurrentPreset) {
    features.Eq().LoadPresetValues({L"0x300", L"0x500", L"0x9FF", L"0x200", L"0x400", L"1"}, 2, 2);
    features.Eq().LoadPresetValues({L"0x600", L"0x400", L"0x400", L"0x400", L"0x400", L"1"}, 3, 2);
    settings.m_iEQPreset = 2;
    ClearTraffic();
    ASSERT_TRUE(Unit().SaveProfile(L"C:\\Profiles\\Busy.ini"));
    EXPECT_FALSE(Contains(DeviceTraffic(), ":=")) << "no register written while saving";
    EXPECT_EQ(features.Eq().Record(), Slot(2));
    const ProfileData saved = ReadProfile(store, L"C:\\Profiles\\Busy.ini");
    EXPECT_EQ(saved.Value(Key::S3), L"0x600,0x400,0x400,0x400,0x400,1");
}

TEST_F(ProfilesTest, ThreeDAndVirtual7ch1BothOnLoadWithVirtual7ch1OffWhenTheyExclude) {
    const std::wstring file = L"C:\\Profiles\\Both.ini";
    WriteProfile(file, {{Key::ThreeDEN, L"1"}, {Key::Virtual7ch1EN, L"1"}});
    for (const int32_t exclusive : {0, 1}) {
        settings.m_b3DV7ch1Exclusive = exclusive;
        window.buttonStates.clear();
        Unit().LoadProfile(file);
        EXPECT_EQ(settings.m_b3DEnable, 1);
        EXPECT_EQ(settings.m_b7ch1Enable, 1 - exclusive);
        EXPECT_EQ(settings.m_bSaved7ch1Enable, 1 - exclusive);
        const auto virtualLook =
            std::find_if(window.buttonStates.rbegin(), window.buttonStates.rend(),
                         [](const auto& look) { return look.first == 47; });
        ASSERT_NE(virtualLook, window.buttonStates.rend());
        EXPECT_EQ(virtualLook->second, exclusive == 0);
    }
}

// Step 10, virtual 7.1's own: the speakers the profile placed are measured and sent with the
// switch, before the units' later steps (the LEDs).
TEST_F(ProfilesTest, ALoadSendsTheSpeakersWhereTheProfilePutThem) {
    const std::wstring file = L"C:\\Profiles\\Speakers.ini";
    WriteProfile(file, {{Key::Virtual7ch1EN, L"1"}, {Key::C, L"560,200"}});
    Unit().LoadProfile(file);
    const Lines traffic = DeviceTraffic();
    const auto on =
        std::find(traffic.begin(), traffic.end(), "sdk DLLZR_SetVirtual7ch1_OnOff(on=1) -> 0");
    ASSERT_NE(on, traffic.end());
    ASSERT_NE(on + 1, traffic.end());
    EXPECT_EQ(on[1].rfind("sdk DLLZR_SetVirtual7ch1(block=01 00 00 00 ", 0), 0u);
    // C straight above the centre (560, 251): its angle is pi / 2.
    EXPECT_NE(on[1].find("DB 0F C9 3F"), std::string::npos) << on[1];
}

// The switches reach the device as 0 or 1, whatever number the file gives; a flat preset turns
// the device's equalizer off although the profile has it on.
TEST_F(ProfilesTest, SwitchesLoadAsOnOrOffAndAFlatPresetSendsTheEqualizerOff) {
    const std::wstring file = L"C:\\Profiles\\Switches.ini";
    WriteProfile(
        file,
        {{Key::S1, L"0x300,0x500,0x400,0x400,0x400,5"}, {Key::EQEN, L"7"}, {Key::ThreeDEN, L"-1"}});
    Unit().LoadProfile(file);
    EXPECT_EQ(settings.m_bEQEnable, 1);
    EXPECT_EQ(settings.m_b3DEnable, 1);
    const Lines traffic = DeviceTraffic();
    EXPECT_TRUE(Contains(traffic, "DLLZR_SetEQ_OnOff_ById(on=1"));
    EXPECT_FALSE(Contains(traffic, "on=5") || Contains(traffic, "on=7") ||
                 Contains(traffic, "on=-1"));

    WriteProfile(file, {{Key::S1, L"0x400,0x400,0x400,0x400,0x400,1"}, {Key::EQEN, L"1"}});
    ClearTraffic();
    Unit().LoadProfile(file);
    EXPECT_EQ(settings.m_bEQEnable, 1);
    EXPECT_EQ(settings.m_bEQFlat, 1);
    std::string lastSwitch;
    for (const std::string& line : DeviceTraffic()) {
        if (line.find("DLLZR_SetEQ_OnOff_ById") != std::string::npos) lastSwitch = line;
    }
    EXPECT_NE(lastSwitch.find("on=0"), std::string::npos) << lastSwitch;
}

// The presets of the file are not flat: with the device in sync they would reach its registers.
TEST_F(ProfilesTest, LoadingWithoutADeviceStopsPresetWritesUntilTheNextArrival) {
    const std::wstring file = L"C:\\Profiles\\Offline.ini";
    WriteProfile(file, {});
    Unit().LoadProfile(file);
    ASSERT_TRUE(Contains(DeviceTraffic(), "register 0x0120 :="));

    discovery->m_bDeviceActive = 0;
    ClearTraffic();
    Unit().LoadProfile(file);
    EXPECT_EQ(discovery->m_bSync, 0);
    EXPECT_FALSE(Contains(DeviceTraffic(), "register 0x0120 :=")) << "no preset written";
}

// The first key that is not a number where one must be ends the load; what came before stays.
TEST_F(ProfilesTest, ABadKeyEndsTheLoadWithTheStepsBeforeItInForce) {
    const std::wstring file = L"C:\\Profiles\\Broken.ini";
    WriteProfile(file, {{Key::EQFromEEPROM, L"1"},
                        {Key::S1, L"0x600,0x400,0x400,0x400,0x400,0"},
                        {Key::S2, L"0x400,abc,0x400,0x400,0x400,0"},
                        {Key::CurrentEffect, L"5"}});
    try {
        Unit().LoadProfile(file);
        FAIL() << "the load must end at S2";
    } catch (const ConfigConversionError& error) {
        EXPECT_EQ(error.Message(), L"'abc' is not a valid integer value");
    }
    EXPECT_EQ(settings.m_bEQFromEEPROM, 1);
    EXPECT_EQ(Slot(1).gains[0], 0x600);
    EXPECT_EQ(Slot(2).gains[0], kNeutralGain) << "S2 was not applied";
    EXPECT_EQ(settings.m_iCurrentEffect, 1) << "the effect comes after the failing key";
}

// The Save button: the name as chosen, ".ini" added unless the name has it somewhere (case
// counts), the profile written, and its path kept in the program's configuration.
TEST_F(ProfilesTest, TheSaveButtonAddsIniUnlessTheNameHasIt) {
    const std::pair<std::wstring, std::wstring> names[] = {
        {L"C:\\Profiles\\Mine", L"C:\\Profiles\\Mine.ini"},
        {L"C:\\Profiles\\Old.ini.bak", L"C:\\Profiles\\Old.ini.bak"},
        {L"C:\\Profiles\\LOUD.INI", L"C:\\Profiles\\LOUD.INI.ini"},
    };
    for (const auto& [chosen, saved] : names) {
        ui.chosenFiles.push_back(chosen);
        PressRelease(control_tag::kSave);
        EXPECT_NE(files.FindFile(saved), nullptr) << std::string(saved.begin(), saved.end());
        EXPECT_EQ(InstalledPath(), saved);
    }
    ASSERT_EQ(ui.dialogs.size(), 3u);
    const FileDialogOptions& dialog = ui.dialogs.front();
    EXPECT_EQ(dialog.kind, FileDialogKind::Save);
    EXPECT_EQ(dialog.initialFolder, kUserFolder);
    EXPECT_EQ(dialog.fileName, L"AudioSetting.ini");
    EXPECT_EQ(dialog.filter, L"INI (*.ini)|*.ini");
    EXPECT_TRUE(files.DirectoryExists(kUserFolder)) << "the dialog's folder is made";

    // Cancelled: nothing written.
    PressRelease(control_tag::kSave);
    EXPECT_EQ(InstalledPath(), L"C:\\Profiles\\LOUD.INI.ini");
}

TEST_F(ProfilesTest, ASaveThatCannotBeWrittenSaysSoAndKeepsTheLastPath) {
    store.WriteString(L"LastINI", L"Path", L"C:\\Profiles\\Mine.ini", kInstalledConfig);
    ui.chosenFiles.push_back(L"C:\\NoSuchFolder\\Mine.ini");
    PressRelease(control_tag::kSave);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].find(L"C:\\NoSuchFolder\\Mine.ini"), std::wstring::npos);
    EXPECT_EQ(ui.messageCaptions[0], L"Acme Audio");
    EXPECT_EQ(InstalledPath(), L"C:\\Profiles\\Mine.ini");
}

TEST_F(ProfilesTest, TheLoadButtonStartsInTheLastSavedFolderAndReportsABadFile) {
    // No path saved yet: the user's folder, made for the dialog.
    PressRelease(control_tag::kLoad);
    ASSERT_EQ(ui.dialogs.size(), 1u);
    EXPECT_EQ(ui.dialogs[0].kind, FileDialogKind::Open);
    EXPECT_EQ(ui.dialogs[0].initialFolder, kUserFolder);
    EXPECT_TRUE(files.DirectoryExists(kUserFolder));
    EXPECT_TRUE(DeviceTraffic().empty()) << "cancelled: nothing loaded";

    store.WriteString(L"LastINI", L"Path", L"C:\\Profiles\\Mine.ini", kInstalledConfig);
    const std::wstring file = L"C:\\Profiles\\Other.ini";
    WriteProfile(file, {{Key::S1, L"0x600,0x400,0x400,0x400,0x400,0"}, {Key::CurrentEffect, L"x"}});
    ui.chosenFiles.push_back(file);
    PressRelease(control_tag::kLoad);
    EXPECT_EQ(ui.dialogs[1].initialFolder, L"C:\\Profiles");
    EXPECT_EQ(ui.messages, std::vector<std::wstring>{L"'x' is not a valid integer value"});
    EXPECT_EQ(Slot(1).gains[0], 0x600);
    EXPECT_EQ(InstalledPath(), L"C:\\Profiles\\Mine.ini") << "loading keeps the path";
}

TEST_F(ProfilesTest, WithoutTheHidInterfaceTheButtonsDoNothing) {
    Script(L"vanish-hid");
    PressRelease(control_tag::kSave);
    Script(L"vanish-hid");
    PressRelease(control_tag::kLoad);
    EXPECT_TRUE(ui.dialogs.empty());
}

TEST_F(ProfilesTest, TheDefaultProfileLoadsWithItsFourDefaultSwitches) {
    const std::wstring file = context->defaultProfilePath;
    files.AddDirectory(kUserData);
    WriteProfile(
        file,
        {{Key::EQEN, L"1"}, {Key::ThreeDEN, L"1"}, {Key::ENCEN, L"1"}, {Key::CurrentEffect, L"2"}});
    windowConfig.defaultIni = 0;
    EXPECT_FALSE(Unit().LoadDefaultProfile()) << "only when the configuration asks for it";
    windowConfig.defaultIni = 1;
    EXPECT_TRUE(Unit().LoadDefaultProfile());
    EXPECT_EQ(settings.m_bDefaultEQEnable, 1);
    EXPECT_EQ(settings.m_bDefault3DEnable, 1);
    EXPECT_EQ(settings.m_bDefault7ch1Enable, 0);
    EXPECT_EQ(settings.m_bDefaultENCEnable, 1);
    EXPECT_EQ(settings.m_iCurrentEffect, 2);
    files.RemoveFile(file);
    EXPECT_FALSE(Unit().LoadDefaultProfile()) << "a missing default profile is no error";
}

// A last profile that fails at start: one message naming the file, a ".bad" copy beside it, the
// window up with what loaded before the failing key; the start goes on.
TEST_F(ProfilesTest, ABadLastProfileAtStartIsReportedOnceAndKeptAsBad) {
    const std::wstring file = context->lastProfilePath;
    files.AddDirectory(kUserData);
    WriteProfile(file,
                 {{Key::S1, L"0x600,0x400,0x400,0x400,0x400,0"}, {Key::CurrentEffect, L"junk"}});
    const std::vector<uint8_t> original = *files.FindFile(file);
    settings.m_b3DFromEEPROM = 0;
    features.RestoreAtStart();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].find(L"'junk' is not a valid integer value"), std::wstring::npos);
    EXPECT_NE(ui.messages[0].find(file), std::wstring::npos);
    EXPECT_EQ(ui.messageIcons[0], MessageIcon::Warning);
    ASSERT_NE(files.FindFile(file + L".bad"), nullptr);
    EXPECT_EQ(*files.FindFile(file + L".bad"), original);
    EXPECT_EQ(Slot(1).gains[0], 0x600);
    EXPECT_EQ(settings.m_iCurrentEffect, 1);
}

TEST_F(ProfilesTest, CloseSavesTheLastProfileAndTheNextStartRestoresIt) {
    features.Eq().LoadPresetValues({L"0x700", L"0x400", L"0x400", L"0x400", L"0x400", L"1"}, 1, 1);
    settings.m_iCurrentEffect = 3;
    features.Close();
    ASSERT_NE(files.FindFile(context->lastProfilePath), nullptr) << "the per-user folder is made";

    features.ConstructPages();
    ASSERT_EQ(settings.m_iCurrentEffect, 1);
    features.RestoreAtStart();
    EXPECT_EQ(Slot(1).gains[0], 0x700);
    EXPECT_EQ(settings.m_bEQEnable, 1);
    EXPECT_EQ(settings.m_iCurrentEffect, 3);
    EXPECT_TRUE(ui.messages.empty());
}

// The [LED] keys go to the lighting on a load and come from it on a save.
TEST_F(ProfilesTest, TheLightingKeysSurviveALoadAndASave) {
    const std::wstring file = L"C:\\Profiles\\Lit.ini";
    WriteProfile(file,
                 {{Key::LEDPageMode, L"1"}, {Key::LEDColor3RGB, L"65280"}, {Key::LEDON, L""}});
    Unit().LoadProfile(file);
    ASSERT_TRUE(Unit().SaveProfile(L"C:\\Profiles\\Again.ini"));
    const ProfileData again = ReadProfile(store, L"C:\\Profiles\\Again.ini");
    EXPECT_EQ(again.Value(Key::LEDPageMode), L"1");
    EXPECT_EQ(again.Value(Key::LEDColor3RGB), L"65280");
    EXPECT_EQ(again.Value(Key::LEDON), L"0") << "not given: the button as the window has it";
}

// A file system that stops the program at its n-th write step, as a power loss would: a folder
// made, or one step of an atomic replacement (the temporary file begun, half its bytes, all of
// them, the swap). Or, instead of stopping, that step fails.
class StoppingFileSystem final : public test::ForwardingFileSystem {
public:
    struct Stop {};
    StoppingFileSystem(test::MemoryFileSystem& disk, int stepToStop, bool failInstead)
        : ForwardingFileSystem(disk),
          disk_(disk),
          stepToStop_(stepToStop),
          failInstead_(failInstead) {}

    bool CreateFolder(const std::wstring& path) override {
        return Step() && disk_.CreateFolder(path);
    }
    bool CopyOneFile(const std::wstring& from, const std::wstring& to, bool failIfExists) override {
        return Step() && disk_.CopyOneFile(from, to, failIfExists);
    }
    bool RemoveFile(const std::wstring& path) override { return Step() && disk_.RemoveFile(path); }
    FileWriteResult WriteNewFile(const std::wstring& path, const uint8_t* data,
                                 size_t size) override {
        return Step() ? disk_.WriteNewFile(path, data, size) : FileWriteResult::OpenFailed;
    }
    bool SetNormalAttributes(const std::wstring& path) override {
        return disk_.SetNormalAttributes(path);
    }
    bool RemoveFolder(const std::wstring& path) override {
        return Step() && disk_.RemoveFolder(path);
    }
    bool ReplaceFileAtomically(const std::wstring& path,
                               const std::vector<uint8_t>& contents) override {
        const std::wstring temporary = path + L".tmp";
        const std::vector<uint8_t> half(contents.begin(), contents.begin() + contents.size() / 2);
        for (const std::vector<uint8_t>* part : {&kNothing, &half, &contents}) {
            if (!Step() || !disk_.ReplaceFileAtomically(temporary, *part)) {
                disk_.RemoveFile(temporary);
                return false;
            }
        }
        if (!Step()) {
            disk_.RemoveFile(temporary);
            return false;
        }
        disk_.files[path] = contents;
        disk_.RemoveFile(temporary);
        return true;
    }
    int steps = 0;

private:
    bool Step() {
        if (++steps != stepToStop_) return true;
        if (failInstead_) return false;
        throw Stop{};
    }
    inline static const std::vector<uint8_t> kNothing;
    test::MemoryFileSystem& disk_;
    int stepToStop_;
    bool failInstead_;
};

TEST_F(ProfilesTest, StoppedOrFailingAtAnyWriteTheLastProfileIsTheOldOneOrTheNewOne) {
    files.AddDirectory(kUserData);
    ASSERT_TRUE(Unit().SaveLastProfile());
    const std::string before = Text(files.FindFile(context->lastProfilePath));
    features.Eq().LoadPresetValues({L"0x250", L"0x9FF", L"0x400", L"0x400", L"0x400", L"1"}, 3, 1);
    settings.m_iCurrentEffect = 5;

    // Count the write steps of a whole save, then stop (or fail) at each in turn.
    const auto saveThrough = [&](FileSystem& stepped) {
        Platform platform{store, registry, stepped, environment, clock, log};
        FeatureContext bound{platform,
                             ui,
                             settings,
                             sdk,
                             *io,
                             *discovery,
                             window,
                             image,
                             windowConfig,
                             context->audio,
                             6,
                             context->defaultProfilePath};
        bound.lastProfilePath = context->lastProfilePath;
        Profiles profiles(bound, features.Eq(), features.Effect3D(), features.Effects(), {});
        return profiles.SaveLastProfile();
    };
    const auto restore = [&] {
        files.files[context->lastProfilePath] = std::vector<uint8_t>(before.begin(), before.end());
    };
    StoppingFileSystem counting(files, 0, false);
    ASSERT_TRUE(saveThrough(counting));
    const std::string after = Text(files.FindFile(context->lastProfilePath));
    ASSERT_NE(after, before);
    ASSERT_GE(counting.steps, 4);

    for (const bool failInstead : {false, true}) {
        for (int step = 1; step <= counting.steps; ++step) {
            SCOPED_TRACE(testing::Message()
                         << (failInstead ? "failing" : "stopped") << " at step " << step);
            restore();
            StoppingFileSystem stepped(files, step, failInstead);
            try {
                // The folder is there already: only a failure to make it goes unnoticed.
                EXPECT_EQ(saveThrough(stepped), step == 1);
            } catch (const StoppingFileSystem::Stop&) {
            }
            const std::string now = Text(files.FindFile(context->lastProfilePath));
            EXPECT_TRUE(now == before || now == after) << now;
        }
    }
}

}  // namespace
}  // namespace tavrin
