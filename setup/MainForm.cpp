#include "setup/MainForm.h"

#include <cwchar>

#include "common/SharedRegistry.h"
#include "common/VersionInfoMgr.h"
#include "ports/TextCase.h"
#include "setup/Deployment.h"

namespace tavrin::setup {
namespace {

constexpr wchar_t kUsbGroupName[] = L"ZRN USB DeviceId Group";
constexpr wchar_t kHidGroupName[] = L"ZRN HID DeviceId Group";
constexpr wchar_t kDefaultProfileFileName[] = L"DefaultProfile.ini";
constexpr wchar_t kPathOverMaxText[] =
    L"***** Install folder path is over windows max setting! *****";
constexpr size_t kLanguageNameMaxLength = 255;
constexpr uint32_t kDefaultsWait = 100;
constexpr uint32_t kWorkerEndWait = 500;

std::wstring VersionText(SetupSystem& system) {
    std::array<uint16_t, 4> version{};
    system.ProgramVersion(version);
    wchar_t text[32];
    std::swprintf(text, 32, L"%d.%d.%d.%d", version[0], version[1], version[2], version[3]);
    return text;
}

// The wizard's progress and messages, from the worker thread.
class WizardReporter final : public InstallReporter {
public:
    WizardReporter(WizardHost& host, SetupSystem& system) : host_(host), system_(system) {}
    void Progress(int32_t position) override { host_.PostProgress(position); }
    void Message(const std::wstring& text) override {
        host_.ShowMessage(text, kInstallCaption, MessageKind::Information);
    }
    void Beep() override { system_.Beep(500, 100); }

private:
    WizardHost& host_;
    SetupSystem& system_;
};

}  // namespace

bool SetupPathTooLong(const std::wstring& programPath) {
    return programPath.size() > kSetupPathMaxLength;
}

TMainForm::TMainForm(SetupPlatform& platform, SetupSession& session, WizardHost& host,
                     const TBackgroundForm& background, InstallSteps& steps)
    : platform_(platform),
      session_(session),
      host_(host),
      background_(background),
      steps_(steps),
      usbGroup_(platform.common.files, platform.common.registry),
      hidGroup_(platform.common.files, platform.common.registry) {
    Platform& common = platform_.common;
    common.debugLog.Write(L"==> TMainForm::TMainForm\n");
    // 1. The program's version and the machine.
    session_.versionText = VersionText(platform_.system);
    session_.wow64 = common.environment.IsWow64Process();
    session_.family = VERSIONINFO_MGR::kFamilyXP;
    int servicePack = 0;
    if (VERSIONINFO_MGR::QueryWindowsVersion(common.environment, &session_.family, nullptr,
                                             &servicePack) != 0) {
        common.debugLog.Write(L"***** Get Windows Version FAIL! *****\n");
    }
    session_.servicePack = servicePack;
    // 2. The shipped configuration.
    LoadAudioConfig(common, kAudioConfigFileName, common.environment.ProgramPath(), session_.config,
                    ConfigReader::Setup);
    // 3. Icon and title.
    host_.SetIcon(session_.config.SourceFolderFullPath + session_.config.InstallIconFileName);
    host_.SetApplicationTitle(session_.config.InstallAppTitle);
    // 4.
    session_.uninstallInfo = MakeUninstallInfo(session_.config, session_.versionText);
    session_.rebootSuggested = false;
}

TMainForm::~TMainForm() {
    worker_.RequestStop();
    worker_.Join();
}

std::wstring TMainForm::ShippedConfigPath() const {
    return session_.config.SourceFolderFullPath + kAudioConfigFileName;
}

std::wstring TMainForm::PerUserConfigPath() const {
    return session_.perUserFolder + kAudioConfigFileName;
}

std::wstring TMainForm::LanguageFolder() const {
    return session_.config.SourceFolderFullPath + session_.config.LanguageFolderName + L"\\" +
           session_.resolutionFolder;
}

std::wstring TMainForm::LanguageFile(const std::wstring& language) const {
    return LanguageFolder() + language + L"\\" + kLanguageFileName;
}

const std::vector<std::wstring>& TMainForm::LanguageFolders() const {
    return form_.Control(L"OriginalComboBox").items;
}

void TMainForm::FormShow() {
    Platform& common = platform_.common;
    common.debugLog.Write(L"==> TMainForm::FormShow\n");
    // 1.
    if (common.environment.ProgramPath().size() > kSetupPathMaxLength) {
        host_.ShowMessage(kPathOverMaxText, session_.config.InstallAppTitle, MessageKind::Error);
        host_.PostQuit();
        return;
    }
    // 2.
    host_.MoveBackground(0, 0, background_.Width(), background_.Height());
    // 3. Without both device-ID groups there is nothing to install for.
    if (!ImportDeviceIdGroup(usbGroup_, kUsbVidPidSection, kUsbGroupName) ||
        !ImportDeviceIdGroup(hidGroup_, kHidVidPidSection, kHidGroupName)) {
        host_.PostQuit();
        return;
    }
    // 4.
    form_.page = kLanguagePage;
    form_.focus = L"NextBitBtn";
    // 5. to 9.
    PreparePerUserFolder();
    const std::wstring language =
        ReadConfigValue(common.profiles, PerUserConfigPath(), config_keys::kDefaultLanguage.section,
                        config_keys::kDefaultLanguage.key, kConfigTextCapacity);
    ChooseLayout(language);
    FillLanguageList(language);
    // The texts follow the language the list shows: the first one when DefaultLanguage names
    // none of them, so that the wizard never comes up without its captions.
    const WizardControl& list = form_.Control(L"ComboBox");
    LoadLanguageTexts(list.selected >= 0 ? LanguageFolders()[list.selected] : language);
    ApplyLanguageTexts();
    host_.Show(form_);
    // 10.
    REGINI_MGR::WriteSharedDefaults(common.profiles, common.registry, ShippedConfigPath());
    common.clock.Sleep(kDefaultsWait);
}

bool TMainForm::ImportDeviceIdGroup(DEVICEID_MGR::CDeviceIdMgr& group, const wchar_t* section,
                                    const wchar_t* registryName) {
    if (group.LoadGroupFromFile(ShippedConfigPath(), section) != 0) return false;
    group.StoreGroupInRegistry(registryName);
    return true;
}

// A user who has run the product keeps the configuration: its folder then lists
// AudioConfig.cfg first. Anything else gets fresh copies.
void TMainForm::PreparePerUserFolder() {
    Platform& common = platform_.common;
    const std::wstring configPath = tavrin::PerUserConfigPath(common.environment, session_.config);
    session_.perUserFolder = configPath.substr(0, configPath.find_last_of(L'\\') + 1);
    if (EqualsIgnoringCase(FirstFileName(common.files, session_.perUserFolder),
                           kAudioConfigFileName)) {
        return;
    }
    CreateFolderChain(common.files, session_.perUserFolder);
    for (const wchar_t* name : {kAudioConfigFileName, kDefaultProfileFileName}) {
        const std::wstring target = session_.perUserFolder + name;
        common.files.CopyOneFile(session_.config.SourceFolderFullPath + name, target, false);
        common.files.SetNormalAttributes(target);
    }
}

// 7. and 8.: options, and the per-resolution layout when its files are there.
void TMainForm::ChooseLayout(const std::wstring& language) {
    const tavrin::ConfigFile shipped(platform_.common.profiles, ShippedConfigPath());
    session_.options = ReadInstallOptions(shipped);
    session_.resolutionFolder.clear();
    if (session_.options.multiDisplaySetting == 1) {
        int32_t width = 0;
        int32_t height = 0;
        host_.ScreenSize(width, height);
        session_.resolutionFolder = ResolutionFolder(width, height);
        if (!platform_.common.files.FileExists(LanguageFile(language))) {
            session_.resolutionFolder.clear();
        }
    }
    const bool rebootChoice = session_.options.showRebootScreen == 1;
    form_.Control(L"RebootRadioButton").visible = rebootChoice;
    form_.Control(L"NoRebootRadioButton").visible = rebootChoice;
}

void TMainForm::FillLanguageList(const std::wstring& currentLanguage) {
    const tavrin::ConfigFile shipped(platform_.common.profiles, ShippedConfigPath());
    WizardControl& list = form_.Control(L"ComboBox");
    WizardControl& folders = form_.Control(L"OriginalComboBox");
    list.items.clear();
    list.selected = -1;
    folders.items.clear();
    for (const DirectoryEntry& entry : ListInOrder(platform_.common.files, LanguageFolder())) {
        if (!entry.isDirectory) continue;
        const std::wstring name = entry.name.substr(0, kLanguageNameMaxLength);
        const std::wstring displayName = shipped.LanguageDisplayName(name);
        if (displayName.empty()) continue;
        folders.items.push_back(name);
        list.items.push_back(displayName);
        if (name == currentLanguage) list.selected = static_cast<int32_t>(list.items.size()) - 1;
    }
    if (list.selected < 0 && !list.items.empty()) list.selected = 0;
}

void TMainForm::LoadLanguageTexts(const std::wstring& language) {
    session_.texts.Load(platform_.common.profiles, LanguageFile(language));
}

void TMainForm::ApplyLabel(const SetupLabelRecord& record, WizardControl& label) {
    label.caption = record.text;
    label.visible = record.HasText();
    if (record.upColour) label.fontColour = static_cast<uint32_t>(*record.upColour);
    if (record.fontName) label.fontName = *record.fontName;
    if (record.fontSize) label.fontSize = *record.fontSize;
    if (record.left) label.left = *record.left;
    if (record.top) label.top = *record.top;
    if (record.width) label.width = *record.width;
    if (record.height) label.height = *record.height;
}

void TMainForm::ApplyLanguageTexts() {
    const SetupTexts& texts = session_.texts;
    const struct {
        SetupText text;
        const wchar_t* control;
    } captions[] =
        {
            {SetupText::LabelBackBtn, L"BackBitBtn"},
            {SetupText::LabelNextBtn, L"NextBitBtn"},
            {SetupText::LabelFinishBtn, L"FinishBitBtn"},
            {SetupText::LabelCancelBtn, L"CancelBitBtn"},
            {SetupText::LabelRebootRadioBtn, L"RebootRadioButton"},
            {SetupText::LabelNoRebootRadioBtn, L"NoRebootRadioButton"},
        },
      labels[] = {
          {SetupText::LabelSelectLang, L"SelectLangLabel"},
          {SetupText::LabelVersion, L"VersionLabel"},
          {SetupText::LabelAudioExt, L"AudioExtLabel"},
          {SetupText::LabelInstall, L"InstallLabel"},
          {SetupText::LabelReboot, L"RebootLabel"},
      };
    for (const auto& caption : captions) {
        form_.Control(caption.control).caption = texts.Text(caption.text);
    }
    for (const auto& label : labels)
        ApplyLabel(texts.Record(label.text), form_.Control(label.control));
    form_.caption = texts.Text(SetupText::LabelTitle) + L" (V" + session_.versionText + L")";
}

void TMainForm::ComboBoxChange(int32_t index) {
    const std::vector<std::wstring>& folders = LanguageFolders();
    if (index < 0 || static_cast<size_t>(index) >= folders.size()) return;
    form_.Control(L"ComboBox").selected = index;
    const std::wstring language = folders[static_cast<size_t>(index)];
    LoadLanguageTexts(language);
    ApplyLanguageTexts();
    host_.Show(form_);
    WriteConfigValue(platform_.common.profiles, PerUserConfigPath(),
                     config_keys::kDefaultLanguage.section, config_keys::kDefaultLanguage.key,
                     language);
}

void TMainForm::NextBitBtnClick() {
    if (form_.page != kLanguagePage) return;
    const std::wstring& tip = session_.texts.Text(SetupText::AntivirusTip);
    if (!tip.empty() && !antivirusTipShown_) {
        antivirusTipShown_ = true;
        host_.ShowMessage(tip, kInstallCaption, MessageKind::Information);
        return;
    }
    StartInstallation();
}

// Nothing is rolled back, so the installation cannot be cancelled halfway: Cancel and the
// window's Close stay off until it has ended.
void TMainForm::StartInstallation() {
    form_.page = kInstallPage;
    form_.Control(L"BackBitBtn").enabled = false;
    form_.Control(L"NextBitBtn").enabled = false;
    form_.Control(L"CancelBitBtn").enabled = false;
    form_.closeEnabled = false;
    host_.Show(form_);
    worker_.Start([this](const std::atomic<bool>& stopRequested) {
        WizardReporter reporter(host_, platform_.system);
        Install(reporter, &stopRequested);
        platform_.common.clock.Sleep(kWorkerEndWait);
        host_.PostInstallEnded();
    });
}

InstallResult TMainForm::Install(InstallReporter& reporter,
                                 const std::atomic<bool>* stopRequested) {
    const InstallContext context{platform_.common.clock,
                                 platform_.common.debugLog,
                                 reporter,
                                 session_.texts.Text(SetupText::LabelWarning1),
                                 session_.texts.Text(SetupText::LabelWarning2),
                                 session_.options.pluginsPresent,
                                 session_.options.installWindowsKB,
                                 stopRequested};
    const InstallResult result = RunInstallSequence(steps_, context);
    if (result.end == InstallEnd::Completed) session_.rebootSuggested = true;
    return result;
}

void TMainForm::BackBitBtnClick() {
    if (form_.page != kInstallPage && form_.page != kFinishPage) return;
    --form_.page;
    form_.Control(L"BackBitBtn").enabled = false;
    form_.Control(L"NextBitBtn").enabled = true;
    host_.Show(form_);
}

void TMainForm::ProgressMessage(int32_t position) {
    form_.Control(L"ProgressBar").position = position;
    host_.Show(form_);
    host_.ProcessPendingMessages();
}

void TMainForm::InstallEndedMessage() {
    worker_.Join();
    form_.page = kFinishPage;
    if (session_.rebootSuggested) form_.CheckReboot(true);
    if (session_.options.showRebootScreen != 1) form_.CheckReboot(false);
    for (const wchar_t* name : {L"BackBitBtn", L"NextBitBtn", L"CancelBitBtn"}) {
        form_.Control(name).enabled = false;
    }
    form_.Control(L"FinishBitBtn").enabled = true;
    form_.Control(L"NextBitBtn").visible = false;
    form_.Control(L"CancelBitBtn").visible = false;
    form_.defaultButton = L"FinishBitBtn";
    form_.focus = L"FinishBitBtn";
    form_.closeEnabled = true;
    host_.Show(form_);
}

void TMainForm::FinishBitBtnClick() {
    if (form_.Control(L"RebootRadioButton").checked) {
        platform_.system.Reboot();
    } else {
        const std::wstring application = ApplicationPath(session_.config);
        platform_.system.ShellStart(application, application, 0);
    }
    host_.CloseWizard();
}

void TMainForm::CancelBitBtnClick() {
    if (!form_.Control(L"CancelBitBtn").enabled) return;
    host_.CloseWizard();
}

void TMainForm::RadioButtonClick(bool reboot) {
    form_.CheckReboot(reboot);
}

void TMainForm::FormClose() {
    worker_.RequestStop();
    worker_.Join();
    host_.PostQuit();
}

}  // namespace tavrin::setup
