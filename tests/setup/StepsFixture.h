#pragma once
// The real install steps over the in-memory machine, with payloads from a table.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>

#include "ports/TextCase.h"
#include "setup/SetupSteps.h"
#include "tests/setup/SetupMachine.h"

namespace tavrin::setup::test {

class FakePayloads final : public PayloadSource {
public:
    FakePayloads() {
        for (const auto& [type, id] :
             std::vector<std::pair<std::wstring, uint16_t>>{{L"DRIVER", 102},
                                                            {L"DRIVER", 103},
                                                            {L"SERVICE", 105},
                                                            {L"SERVICE", 106},
                                                            {L"APP", 107},
                                                            {L"UNINSTALL", 108},
                                                            {L"WINDOWPATCH", 110},
                                                            {L"APP", 111},
                                                            {L"APP", 112}}) {
            Add(type, id, type + L" " + std::to_wstring(id));
        }
    }
    void Add(const std::wstring& type, uint16_t id, const std::wstring& text) {
        bytes_[{type, id}] = std::vector<uint8_t>(text.begin(), text.end());
    }
    void Remove(const std::wstring& type, uint16_t id) { bytes_.erase({type, id}); }
    std::optional<PayloadBytes> Find(uint16_t id, const std::wstring& type) override {
        if (onFind) onFind();
        auto found = bytes_.find({UpperCase(type), id});
        if (found == bytes_.end()) return std::nullopt;
        return PayloadBytes{found->second.data(), found->second.size()};
    }
    static std::string Text(const std::vector<uint8_t>* bytes) {
        return bytes == nullptr ? "" : std::string(bytes->begin(), bytes->end());
    }

    std::function<void()> onFind;

private:
    std::map<std::pair<std::wstring, uint16_t>, std::vector<uint8_t>> bytes_;
};

inline constexpr char kStepsInstallLines[] =
    "ShortcutFolderName=Acme Audio\r\nShortcutFolderNameUp=Acme\r\nAppShortcutName=Acme Audio\r\n"
    "UserManualShortcutName=Acme Manual\r\nEffectAPPFileName=AcmeFx\r\n"
    "SoundEffectAPPFileName=AcmeVoice\r\nDesktopShortcutEnable=1\r\n";
inline constexpr char kStepsSections[] = "[Plugin]\r\nPluginFolderName=Plugin\r\n";

class StepsTest : public ::testing::Test {
public:
    // The machine as the wizard leaves it before Next: a 64-bit Windows seen from a 32-bit
    // setup when `wow64`, the shipped files beside the setup.
    SetupSteps& Prepare(bool wow64 = false, const std::string& installLines = kStepsInstallLines) {
        SetupMachine& m = machine;
        m.environment.wow64 = wow64;
        m.environment.redirectedSystemDirectory =
            wow64 ? L"C:\\Windows\\SysWOW64" : L"C:\\Windows\\System32";
        m.environment.architecture = wow64 ? 9 : 0;
        m.files.AddDirectory(L"C:\\Windows\\System32\\drivers");
        m.files.AddDirectory(L"C:\\Windows\\SysWOW64");
        m.files.AddDirectory(L"C:\\Program Files (x86)");
        m.environment.knownFolders[KnownFolder::CommonPrograms] = L"C:\\ProgramData\\Programs";
        m.environment.knownFolders[KnownFolder::Desktop] = L"C:\\Users\\me\\Desktop";
        m.files.AddDirectory(L"C:\\ProgramData\\Programs");
        m.files.AddDirectory(L"C:\\Users\\me\\Desktop");
        m.WriteConfig(installLines, kStepsSections);
        m.files.AddTextFile(L"C:\\Setup\\Skin\\Midnight\\a.png", "png");
        m.files.AddTextFile(L"C:\\Setup\\Language\\English\\Language.ini", "[Setup]\r\n");
        m.files.AddTextFile(L"C:\\Setup\\Acme.ico", "ico");
        m.files.AddTextFile(L"C:\\Setup\\DLLZR_UsbAudio58xx_x32.dll", "sdk");
        m.files.AddDirectory(L"C:\\Setup\\Plugin\\AcmeFx");
        m.files.AddDirectory(L"C:\\Setup\\Plugin\\AcmeVoice");
        m.files.AddTextFile(std::wstring(kPerUserFolder) + L"AudioConfig.cfg",
                            "[Language]\r\nDefaultLanguage=English\r\n");
        LoadAudioConfig(m.common, L"AudioConfig.cfg", m.environment.ProgramPath(), session.config,
                        ConfigReader::Setup);
        session.wow64 = wow64;
        session.options = ReadInstallOptions(ConfigFile(m.profiles, kShippedConfig));
        session.perUserFolder = kPerUserFolder;
        session.uninstallInfo = MakeUninstallInfo(session.config, L"1.2.3.4");
        steps = std::make_unique<SetupSteps>(m.platform, session, payloads);
        return *steps;
    }
    std::wstring Install(const wchar_t* file) const {
        return session.config.InstallFolderFullPath + file;
    }
    std::optional<std::wstring> Text(const std::wstring& key, const std::wstring& name,
                                     RegistryView view = RegistryView::Default) {
        RegistryValue value;
        std::wstring text;
        if (machine.registry.QueryValue(RegistryHive::LocalMachine, key, name, value, view) != 0 ||
            !ReadStringValue(value, text)) {
            return std::nullopt;
        }
        return text;
    }

    SetupMachine machine;
    SetupSession session;
    FakePayloads payloads;
    RecordingReporter reporter;
    std::unique_ptr<SetupSteps> steps;
};

}  // namespace tavrin::setup::test
