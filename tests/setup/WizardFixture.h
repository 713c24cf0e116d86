#pragma once
// The wizard over the in-memory machine, its recording window and recording steps.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "setup/BackgroundForm.h"
#include "setup/MainForm.h"
#include "tests/setup/SetupMachine.h"

namespace tavrin::setup::test {

inline constexpr char kEnglishTexts[] =
    "LabelBackBtn=< Back\r\nLabelNextBtn=Next >\r\nLabelFinishBtn=Finish\r\n"
    "LabelCancelBtn=Cancel\r\nLabelSelectLang=Language:\r\nLabelVersion=(null)\r\n"
    "LabelAudioExt=\r\nLabelInstall=Installing,255,,Arial,10,20,30\r\n"
    "LabelReboot=Restart now?\r\nLabelRebootRadioBtn=Yes\r\nLabelNoRebootRadioBtn=No\r\n"
    "LabelTitle=Acme Setup\r\nLabelWarning1=Remove the old driver first.\r\n"
    "LabelWarning2=Setup failed:\r\n";

class WizardTest : public ::testing::Test {
protected:
    // The shipped configuration with more keys in section Install and more sections, English
    // and German texts, and the wizard opened on them.
    TMainForm& Open(const std::string& installLines = "", const std::string& sections = "") {
        machine.WriteConfig(installLines, sections);
        if (!languagesWritten_) {
            machine.WriteLanguage(L"English", kEnglishTexts);
            machine.WriteLanguage(L"German", "LabelNextBtn=Weiter >\r\nLabelTitle=Acme Setup\r\n");
        }
        background_ =
            std::make_unique<TBackgroundForm>(machine.common, host.screenWidth, host.screenHeight);
        form_ = std::make_unique<TMainForm>(machine.platform, session, host, *background_, steps);
        form_->FormShow();
        return *form_;
    }
    // Language files are written by the test itself from here on.
    void OwnLanguages() { languagesWritten_ = true; }
    const WizardControl& Control(const wchar_t* name) const { return form_->Form().Control(name); }
    std::wstring PerUserText(const wchar_t* section, const wchar_t* key) {
        wchar_t buffer[256];
        const uint32_t length = machine.profiles.GetString(
            section, key, L"", buffer, 256, std::wstring(kPerUserFolder) + L"AudioConfig.cfg");
        return std::wstring(buffer, length);
    }

    SetupMachine machine;
    SetupSession session;
    RecordingWizardHost host;
    RecordingInstallSteps steps;

private:
    bool languagesWritten_ = false;
    std::unique_ptr<TBackgroundForm> background_;
    std::unique_ptr<TMainForm> form_;
};

}  // namespace tavrin::setup::test
