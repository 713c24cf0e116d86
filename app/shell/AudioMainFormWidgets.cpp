// The main window's skinned controls: building the form from its design, skins and texts, the
// press and release handlers of pictures and captions, page tabs, two-state buttons and the
// pointer hook that drags sliders and speakers.
#include <algorithm>
#include <array>

#include "app/form/PictureFile.h"
#include "app/shell/AudioMainForm.h"

namespace tavrin {
namespace {

using namespace skin_section;

constexpr int32_t kD3SliderTopMin = 105;
constexpr int32_t kD3SliderTopMax = 225;
constexpr int32_t kLedPageModeShown = 1;

// The page tabs: tag, page, the tab's two pictures and the page picture of the left column.
struct PageTab {
    int32_t tag;
    int32_t page;
    const wchar_t* upKey;
    const wchar_t* downKey;
    const wchar_t* leftPictureKey;  // null: no page picture
};
constexpr std::array<PageTab, 7> kPageTabs = {{
    {23, 1, L"PageEQUpImage", L"PageEQDownImage", L"MainLeftImage1"},
    {25, 2, L"PageEffectUpImage", L"PageEffectDownImage", L"MainLeftImage2"},
    {26, 3, L"PageMicUpImage", L"PageMicDownImage", L"MainLeftImage3"},
    {27, 4, L"PageVirtual7p1UpImage", L"PageVirtual7p1DownImage", L"MainLeftImage4"},
    {228, 6, L"PageLEDUpImage", L"PageLEDDownImage", nullptr},
    {227, 7, L"PageENCUpImage", L"PageENCDownImage", nullptr},
    {226, 8, L"PageVMEffectUpImage", L"PageVMEffectDownImage", nullptr},
}};

const PageTab* TabOfTag(int32_t tag) {
    for (const PageTab& tab : kPageTabs) {
        if (tab.tag == tag) return &tab;
    }
    return nullptr;
}

// The buttons with two looks: the picture pair and whether the caption follows.
struct TwoStateButton {
    int32_t tag;
    const wchar_t* section;
    const wchar_t* upKey;
    const wchar_t* downKey;
    bool hasCaption;
};
constexpr std::array<TwoStateButton, 15> kTwoStateButtons = {{
    {7, kEq, L"EQEQENImageUp", L"EQEQENImageDown", true},
    {8, kEq, L"EQ3DENImageUp", L"EQ3DENImageDown", true},
    {13, k3D, L"D3FBMImageUp", L"D3FBMImageDown", true},
    {21, kMic, L"MicBoostImageUp", L"MicBoostImageDown", true},
    {22, kMic, L"MicMuteImageUp", L"MicMuteImageDown", true},
    {89, kMic, L"MicMonitorImageUp", L"MicMonitorImageDown", true},
    {47, kVirtual, L"VirtualEnableImageUp", L"VirtualEnableImageDown", true},
    {49, kVirtual, L"VirtualClockwiseUpImage", L"VirtualClockwiseDownImage", true},
    {50, kVirtual, L"VirtualCounterclockwiseUpImage", L"VirtualCounterclockwiseDownImage", true},
    {52, kVirtual, L"VirtualNarrowUpImage", L"VirtualNarrowDownImage", true},
    {53, kVirtual, L"VirtualEnlargeUpImage", L"VirtualEnlargeDownImage", true},
    {51, kMain, L"LedImageUp", L"LedImageDown", false},
    {54, kMain, L"DeviceActiveUpImage", L"DeviceActiveDownImage", true},
    {55, kMain, L"DeviceUnActiveUpImage", L"DeviceUnActiveDownImage", true},
    {48, kVirtual, L"VirtualResetUpImage", L"VirtualResetDownImage", true},
}};

// Tags a press reaches without an active device.
bool PassesWithoutDevice(int32_t tag) {
    switch (tag) {
        case 4:
        case 14:
        case 15:
        case 28:
        case 29:
        case 49:
        case 50: return true;
        default: return tag <= 1;
    }
}

bool IsFeaturePress(int32_t tag) {
    return (tag >= 7 && tag <= 22) || tag == 47 || tag == 49 || tag == 50 || tag == 52 ||
           tag == 53 || tag == 89;
}

bool IsOneOf(const std::wstring& name, std::initializer_list<const wchar_t*> names) {
    return std::any_of(names.begin(), names.end(),
                       [&](const wchar_t* candidate) { return name == candidate; });
}

constexpr std::initializer_list<const wchar_t*> kEqSliders = {
    L"EQ60HzSliderImage", L"EQ300HzSliderImage", L"EQ1200HzSliderImage", L"EQ3600HzSliderImage",
    L"EQ12000HzSliderImage"};
constexpr std::initializer_list<const wchar_t*> kEqBars = {
    L"EQ60HzBarImage",       L"EQ300HzBarImage",      L"EQ1200HzBarImage",
    L"EQ3600HzBarImage",     L"EQ12000HzBarImage",    L"EQ60HzBarDownImage",
    L"EQ300HzBarDownImage",  L"EQ1200HzBarDownImage", L"EQ3600HzBarDownImage",
    L"EQ12000HzBarDownImage"};
constexpr std::initializer_list<const wchar_t*> kD3Sliders = {
    L"D3LBetaSliderImage", L"D3LAlphaSliderImage", L"D3RAlphaSliderImage", L"D3RBetaSliderImage"};
constexpr std::initializer_list<const wchar_t*> kSpeakers = {
    L"VirtualCImage", L"VirtualSUBImage", L"VirtualLSImage", L"VirtualRSImage",
    L"VirtualLImage", L"VirtualRImage",   L"VirtualLBImage", L"VirtualRBImage"};

constexpr int32_t kFirstEqSliderTag = 29;

// A slider's top within its travel; a skin that gives a negative travel pins it to the top.
int32_t WithinTravel(int32_t value, int32_t top, int32_t range) {
    return std::clamp(value, top, top + std::max(range, 0));
}

// Effect pictures and captions of the effect page, by name: which effect they stand for.
int32_t EffectOfControl(const std::wstring& name) {
    for (size_t i = 0; i < kEffectNames.size(); ++i) {
        if (name == std::wstring(L"Effect") + kEffectNames[i] + L"Image") {
            return static_cast<int32_t>(i + 1);
        }
    }
    return 0;
}

}  // namespace

// ---- Building the form, skins and texts ----

void TAudioMainForm::CreateForm() {
    std::vector<std::wstring> problems;
    form_ = ParseFormDesign(MainFormDesignText(), problems);
    for (const std::wstring& problem : problems) Log(L"MainForm.design: " + problem);
    if (Component* bee = form_.Find(L"BeeImage")) bee->visible = false;
    ui_.AttachForm(form_);
}

void TAudioMainForm::ChooseSkinAndLanguageFolders() {
    int32_t width = 0;
    int32_t height = 0;
    ui_.ScreenSize(width, height);
    resolutionFolder_ = ResolutionFolder(width, height);
    skin_.SetSkinRoot(programFolder_ + m_Config.SkinFolderName + L"\\", resolutionFolder_);
    language_.SetLanguageRoot(programFolder_ + m_Config.LanguageFolderName + L"\\",
                              resolutionFolder_);
}

void TAudioMainForm::BuildMenus() {
    language_.BuildLanguageMenu(*configFile_);
    skin_.BuildSkinMenu();
    // A skin or language that is missing or damaged would leave the window without pictures or
    // texts.
    language_.ChooseUsableLanguage();
    skin_.ChooseUsableSkin();
    pluginCaptions_ = PopulatePluginMenu(platform_.files, *configFile_, programFolder_,
                                         m_Config.PluginFolderName);
    checkedPlugin_.reset();
    PublishTrayMenu();
}

void TAudioMainForm::ApplyTexts() {
    language_.ApplyLanguageLabels(CurrentLabelLook());
    if (bound_) PublishTrayMenu();
}

void TAudioMainForm::LoadAndApplySkin() {
    skin_.LoadSkinSettings(skin_.SkinName());
    skin_.ApplySkin(CurrentSkinLook(), m_WindowConfig.regionCut);
}

void TAudioMainForm::OnLanguageMenu(size_t index) {
    if (index >= language_.LanguageMenuItems().size()) return;
    language_.LoadLanguage(language_.LanguageMenuClick(index));
    ApplyTexts();
    RedrawCurrentPage();
    StorePerUserChoices();
}

void TAudioMainForm::OnSkinMenu(size_t index) {
    if (index >= skin_.SkinMenu().size()) return;
    skin_.SkinMenuClick(index);
    LoadAndApplySkin();
    ApplyTexts();
    RedrawCurrentPage();
    features_.RedrawFeatureDisplays();
    const SkinNumbers& numbers = skin_.Numbers();
    if (numbers.previousVirtualRadius != 0) {
        features_.RescaleSpeakers(static_cast<double>(numbers.virtualRadius) /
                                  numbers.previousVirtualRadius);
    }
    StorePerUserChoices();
}

void TAudioMainForm::StorePerUserChoices() {
    const std::wstring perUser = PerUserConfigPath(platform_.environment, m_Config);
    if (!platform_.files.FileExists(perUser)) return;
    WriteConfigValue(platform_.profiles, perUser, config_keys::kDefaultSkin.section,
                     config_keys::kDefaultSkin.key, skin_.SkinName());
    WriteConfigValue(platform_.profiles, perUser, config_keys::kDefaultLanguage.section,
                     config_keys::kDefaultLanguage.key, language_.LanguageName());
}

// ---- The state the pictures and captions show ----

bool TAudioMainForm::DeviceActive() const {
    return discovery_.m_bDeviceActive == 1;
}

bool TAudioMainForm::IsControlOn(const Component& control) {
    const SettingsModel& s = m_Settings;
    if (const PageTab* tab = TabOfTag(control.tag)) return s.m_iCurrentPage == tab->page;
    switch (control.tag) {
        case 7: return s.m_bEQEnable != 0;
        case 8: return s.m_b3DEnable != 0;
        case 9:
        case 10:
        case 11:
        case 12: return s.m_iEQPreset == control.tag - 8;
        case 13: return s.m_bFBM != 0;
        case 16:
        case 17:
        case 18:
        case 19:
        case 20: return s.m_iCurrentEffect == control.tag - 15;
        case 21: return s.m_bMicBoost != 0;
        case 22: return s.m_bMicMute != 0;
        case 89: return s.m_bMicMonitor != 0;
        case 47: return s.m_b7ch1Enable != 0;
        case 49: return s.m_bRotateCW != 0;
        case 50: return s.m_bRotateCCW != 0;
        case 52: return s.m_bNarrow != 0;
        case 53: return s.m_bEnlarge != 0;
        case 51: return ledButtonState_ != 0;
        case 54: return DeviceActive();
        case 55: return !DeviceActive();
        default: break;
    }
    const std::wstring& name = control.name;
    if (name == L"D33DENImage" || name == L"D33DENLabel") return s.m_b3DEnable != 0;
    if (const int32_t effect = EffectOfControl(name)) return s.m_iCurrentEffect == effect;
    if (name == L"ENCFunctionImage" || name == L"ENCFunctionLabel") return s.m_bENCEnable != 0;
    if (name == L"VMFunctionImage" || name == L"VMFunctionLabel") {
        return s.m_bVoiceMagicEnable != 0;
    }
    static constexpr std::array<const wchar_t*, 5> kVoiceEffects = {
        L"VMEffectNone", L"VMEffect1", L"VMEffect2", L"VMEffect3", L"VMEffect4"};
    for (size_t mode = 0; mode < kVoiceEffects.size(); ++mode) {
        const std::wstring base = kVoiceEffects[mode];
        if (name == base + L"Image" || name == base + L"Label") {
            return s.m_iVoiceMagicMode == static_cast<int32_t>(mode);
        }
    }
    return features_.LedControlDown(control);
}

SkinLook TAudioMainForm::CurrentSkinLook() {
    SkinLook look;
    look.currentPage = m_Settings.m_iCurrentPage;
    look.currentEffect = m_Settings.m_iCurrentEffect;
    look.alphaLink = m_Settings.m_iAlphaLink;
    look.betaLink = m_Settings.m_iBetaLink;
    look.gpioLevelMode = bound_ && features_.GpioLevelMode();
    look.virtualSwitchState = features_.VirtualSwitchState();
    look.isDown = [this](const Component& control) { return IsControlOn(control); };
    return look;
}

LabelLook TAudioMainForm::CurrentLabelLook() {
    LabelLook look;
    look.eqPreset = m_Settings.m_iEQPreset;
    look.micValue = m_Settings.m_iMicGain;
    look.encValue = m_Settings.m_iENCValue;
    look.isSelected = [this](const Component& control) { return IsControlOn(control); };
    return look;
}

void TAudioMainForm::ShowPicture(const wchar_t* section, const wchar_t* key, Component& control) {
    const SkinImageRecord& record = skin_.Record(section, key);
    if (record.NamesFile()) skin_.ShowSkinImage(record, control);
}

void TAudioMainForm::SetCaptionColour(int32_t tag, bool down) {
    Component* label = form_.FindByTag(ComponentKind::Label, tag);
    if (label == nullptr) return;
    const LabelRecord* record = language_.RecordForControl(label->name);
    language_.ApplyStateColour(record != nullptr ? *record : LabelRecord{}, *label, down);
}

void TAudioMainForm::SetCaptionColour(Component& label, const wchar_t* recordOf, bool down) {
    const LabelRecord* record = language_.RecordForControl(
        recordOf != nullptr ? std::wstring_view(recordOf) : std::wstring_view(label.name));
    language_.ApplyStateColour(record != nullptr ? *record : LabelRecord{}, label, down);
}

void TAudioMainForm::ShowLinkPicture(const wchar_t* key, Component& control) {
    const SkinImageRecord& record = skin_.Record(k3D, key);
    const std::wstring ownFolder = programFolder_ + m_Config.SkinFolderName + L"\\" +
                                   skin_.SkinName() + L"\\3D\\" + record.fileName;
    if (record.NamesFile() && ReadPictureSize(platform_.files, ownFolder)) {
        control.picture = ownFolder;
        control.visible = true;
        return;
    }
    ShowPicture(k3D, key, control);
}

SliderTravel TAudioMainForm::EqSliderTravel() {
    return {skin_.Numbers().eqTop, skin_.Numbers().eqRange};
}

void TAudioMainForm::ShowDeviceWarning(const wchar_t* textKey) {
    ui_.ShowMessage(language_.Text(textKey), m_Config.InstallAppTitle, MessageIcon::Warning);
}

// ---- Pointer routing ----

void TAudioMainForm::OnMouseDown(int32_t x, int32_t y) {
    DragPress(x, y);
    pressed_ = form_.ControlAt(x, y, false);
    if (pressed_ != nullptr && !pressed_->onMouseDown.empty()) {
        RunHandler(pressed_->onMouseDown, *pressed_);
    }
    ui_.Repaint();
}

void TAudioMainForm::OnMouseMove(int32_t x, int32_t y) {
    DragMove(x, y);
}

void TAudioMainForm::OnMouseUp(int32_t x, int32_t y) {
    DragRelease();
    Component* target = pressed_;
    pressed_ = nullptr;
    if (target == nullptr) return;
    if (!target->onMouseUp.empty()) RunHandler(target->onMouseUp, *target);
    if (target->Contains(x, y) && !target->onClick.empty()) RunHandler(target->onClick, *target);
    ui_.Repaint();
}

void TAudioMainForm::RunHandler(const std::wstring& handler, Component& sender) {
    if (handler == L"OnImageMouseDown")
        OnImageMouseDown(sender);
    else if (handler == L"OnImageMouseUp")
        OnImageMouseUp(sender);
    else if (handler == L"OnLabelMouseDown")
        OnLabelMouseDown(sender);
    else if (handler == L"OnLabelMouseUp")
        OnLabelMouseUp(sender);
    else if (handler == L"OnLabelPageMouseDown")
        OnLabelPageMouseDown(sender);
    else if (handler == L"FormMouseDown")
        FormMouseDown();
    else if (handler == L"CloseImageClick")
        CloseImageClick();
    else if (handler == L"MinimizeImageClick")
        MinimizeImageClick();
    else
        features_.HandleControlEvent(handler, sender);
}

// ---- Presses and releases ----

void TAudioMainForm::OnImageMouseDown(Component& sender) {
    const int32_t tag = sender.tag;
    if (features_.GpioPressLocked(tag)) return;
    if (!DeviceActive() && !PassesWithoutDevice(tag)) {
        ShowDeviceWarning();
        return;
    }
    switch (tag) {
        case 0: ShowPicture(kMain, L"CloseImageDown", sender); return;
        case 1: ShowPicture(kMain, L"MinimizeImageDown", sender); return;
        case 2: ShowPicture(kMain, L"Menu1ImageDown", sender); break;
        case 3: ShowPicture(kMain, L"Menu2ImageDown", sender); break;
        case 4: ShowPicture(kMain, L"Menu3ImageDown", sender); break;
        case 5: ShowPicture(kEq, L"EQResetImageDown", sender); break;
        case 6: ShowPicture(k3D, L"D3ResetImageDown", sender); break;
        case 23:
        case 25:
        case 26:
        case 27:
            ShowPageTabs(tag);
            SwitchPage(tag);
            return;
        case 228:
            if (skin_.Numbers().ledPageMode != kLedPageModeShown) return;
            [[fallthrough]];
        case 226:
        case 227:
            ShowPageTabs(tag);
            ShowPicture(kMain, TabOfTag(tag)->downKey, sender);
            SwitchPage(tag);
            return;
        case 48:
            if (features_.BeeChecked()) return;
            ShowPicture(kVirtual, L"VirtualResetDownImage", sender);
            break;
        case 51:
            SetButtonState(51, ledButtonState_);
            io_.SendLedSwitch(discovery_.ActiveVendorId(), discovery_.ActiveProductId(), true);
            return;
        default:
            if (IsFeaturePress(tag)) features_.PressFeature(tag);
            return;
    }
    SetCaptionColour(tag, true);
}

void TAudioMainForm::OnImageMouseUp(Component& sender) {
    const int32_t tag = sender.tag;
    if (tag >= 39 && tag <= 48 && features_.GpioPressLocked(tag)) return;
    switch (tag) {
        case 0: ShowPicture(kMain, L"CloseImageUp", sender); return;
        case 1: ShowPicture(kMain, L"MinimizeImageUp", sender); return;
        case 2:
            ShowPicture(kMain, L"Menu1ImageUp", sender);
            features_.SaveButton();
            break;
        case 3:
            ShowPicture(kMain, L"Menu2ImageUp", sender);
            features_.LoadButton();
            break;
        case 4:
            ShowPicture(kMain, L"Menu3ImageUp", sender);
            SetCaptionColour(tag, false);
            if (DeviceActive()) {
                const Component* caption = form_.Find(L"Menu3Label");
                features_.ShowAbout(caption != nullptr ? caption->caption : L"");
            }
            return;
        case 5: ShowPicture(kEq, L"EQResetImageUp", sender); break;
        case 6: ShowPicture(k3D, L"D3ResetImageUp", sender); break;
        case 48:
            if (features_.BeeChecked()) return;
            ShowPicture(kVirtual, L"VirtualResetUpImage", sender);
            break;
        case 51:
            SetButtonState(51, ledButtonState_);
            io_.SendLedSwitch(discovery_.ActiveVendorId(), discovery_.ActiveProductId(), false);
            return;
        case 226:
        case 227: {
            const PageTab* tab = TabOfTag(tag);
            ShowPicture(kMain, DeviceActive() ? tab->downKey : tab->upKey, sender);
            return;
        }
        case 228:
            if (skin_.Numbers().ledPageMode != kLedPageModeShown) {
                ShowPicture(kMain, L"PageLEDUpImage", sender);
            } else if (DeviceActive()) {
                ShowPicture(kMain, L"PageLEDDownImage", sender);
            }
            return;
        default:
            if (tag >= 39 && tag <= 46) features_.EnableMotionTimer();
            return;
    }
    SetCaptionColour(tag, false);
}

void TAudioMainForm::OnLabelMouseDown(Component& sender) {
    Log(L"TAudioMainForm::OnLabelMouseDown");
    if (Component* picture = form_.FindByTag(ComponentKind::Image, sender.tag)) {
        OnImageMouseDown(*picture);
    }
}

void TAudioMainForm::OnLabelMouseUp(Component& sender) {
    if (Component* picture = form_.FindByTag(ComponentKind::Image, sender.tag)) {
        OnImageMouseUp(*picture);
    }
}

void TAudioMainForm::OnLabelPageMouseDown(Component& sender) {
    if (!DeviceActive()) {
        ShowDeviceWarning();
        return;
    }
    SwitchPage(sender.tag);
}

void TAudioMainForm::SwitchPage(int32_t tag) {
    int32_t& page = m_Settings.m_iCurrentPage;
    switch (tag) {
        case 23:
        case 25:
        case 27:
        case 226:
        case 227:
            page = TabOfTag(tag)->page;
            ShowPageTabs(tag);
            features_.StopLevelMeter();
            if (tag == 226) features_.ShowVoiceMagic();
            if (tag == 227) features_.ShowENC();
            break;
        case 24:
            page = 5;
            ShowPageTabs(0);
            features_.StopLevelMeter();
            break;
        case 26:
            page = 3;
            ShowPageTabs(26);
            ui_.ProcessPendingMessages();
            features_.StartLevelMeter();
            break;
        case 228:
            if (skin_.Numbers().ledPageMode == kLedPageModeShown) {
                page = 6;
                ShowPageTabs(228);
            }
            features_.StopLevelMeter();
            break;
        default: return;
    }
    ui_.ProcessPendingMessages();
    ApplyPageVisibility(page);
    const LabelRecord& colours = language_.Record(L"LabelPageEQ");
    for (const int32_t captionTag : {23, 24, 25, 26, 228}) {
        if (Component* label = form_.FindByTag(ComponentKind::Label, captionTag)) {
            language_.ApplyStateColour(colours, *label, false);
        }
    }
    if (Component* pressed = form_.FindByTag(ComponentKind::Label, tag)) {
        language_.ApplyStateColour(colours, *pressed, true);
    }
    ui_.Repaint();
}

void TAudioMainForm::ShowPageTabs(int32_t selectedTab) {
    const LabelRecord& colours = language_.Record(L"LabelPageEQ");
    for (const PageTab& tab : kPageTabs) {
        const bool selected = tab.tag == selectedTab;
        if (Component* picture = form_.FindByTag(ComponentKind::Image, tab.tag)) {
            ShowPicture(kMain, selected ? tab.downKey : tab.upKey, *picture);
        }
        if (Component* caption = form_.FindByTag(ComponentKind::Label, tab.tag)) {
            language_.ApplyStateColour(colours, *caption, selected);
        }
    }
    Component* left = form_.Find(L"MainLeftImage");
    const PageTab* selected = TabOfTag(selectedTab);
    if (left != nullptr && selected != nullptr) {
        skin_.ShowSkinImage(selected->leftPictureKey != nullptr
                                ? skin_.Record(kMain, selected->leftPictureKey)
                                : SkinImageRecord{},
                            *left);
    }
}

void TAudioMainForm::ApplyPageVisibility(int32_t page) {
    SkinLook look = CurrentSkinLook();
    look.currentPage = page;
    const bool ledPage = skin_.Numbers().ledPageMode == kLedPageModeShown;
    auto onPage = [page](int32_t recordPage) { return recordPage == 0 || recordPage == page; };
    for (Component& control : form_.Components()) {
        if (control.kind == ComponentKind::Image) {
            if (const SkinImageRecord* record = skin_.RecordForControl(control, look)) {
                // A picture that could not be loaded stays hidden.
                control.visible = record->NamesFile() && onPage(record->page) &&
                                  !control.picture.empty() && (record->page != 6 || ledPage);
            }
        } else if (control.kind == ComponentKind::Label) {
            if (const LabelRecord* record = language_.RecordForControl(control.name)) {
                control.visible =
                    record->HasText() && onPage(record->page) && (record->page != 6 || ledPage);
            }
        } else if (control.kind == ComponentKind::Shape) {
            // The LED swatches; the last three have no function.
            control.visible = ledPage && page == 6 && !(control.tag >= 158 && control.tag <= 160);
        }
    }
    if (Component* bee = form_.Find(L"BeeCheckBox")) {
        bee->visible = page == 4 && m_WindowConfig.bee == 1;
    }
}

void TAudioMainForm::SetButtonState(int32_t tag, int32_t& state) {
    const auto button = std::find_if(kTwoStateButtons.begin(), kTwoStateButtons.end(),
                                     [tag](const TwoStateButton& b) { return b.tag == tag; });
    if (button == kTwoStateButtons.end()) return;
    Component* picture = form_.FindByTag(ComponentKind::Image, tag);
    if (tag == 47 && bound_ && features_.GpioLevelMode()) {
        // The hardware switch decides the look.
        const int32_t switchState = features_.VirtualSwitchState();
        if (picture != nullptr) {
            ShowPicture(kVirtual,
                        switchState == 1 ? L"VirtualDisableImageDown" : L"VirtualDisableImageUp",
                        *picture);
        }
        state = switchState;
        SetCaptionColour(tag, false);
        return;
    }
    const bool down = state == 0;
    if (picture != nullptr) {
        ShowPicture(button->section, down ? button->downKey : button->upKey, *picture);
    }
    if (button->hasCaption) SetCaptionColour(tag, down);
    state = down ? 1 : 0;
}

// ---- Dragging ----

void TAudioMainForm::StartDrag(Component& control, DragKind kind) {
    drag_.active = true;
    drag_.control = &control;
    drag_.left = control.left;
    drag_.top = control.top;
    drag_.kind = kind;
}

void TAudioMainForm::CentreSliderOnPointer(Component& slider, int32_t y, int32_t top,
                                           int32_t range) {
    slider.top = WithinTravel(y - slider.height / 2, top, range);
}

void TAudioMainForm::DragPress(int32_t x, int32_t y) {
    if (features_.LedDialogBusy()) return;
    drag_.pressX = x;
    drag_.pressY = y;
    Component* control = form_.ControlAt(x, y, true);
    if (control == nullptr) return;
    const std::wstring& name = control->name;
    const bool active = DeviceActive();
    const SkinNumbers& numbers = skin_.Numbers();
    if (IsOneOf(name, kEqSliders)) {
        if (!active) return ShowDeviceWarning();
        StartDrag(*control, DragKind::EqSlider);
    } else if (IsOneOf(name, kEqBars)) {
        if (!active) return ShowDeviceWarning();
        const int32_t sliderTag = control->tag >= 200 ? control->tag - 200 : control->tag - 100;
        Component* slider = form_.FindByTag(ComponentKind::Image, sliderTag);
        if (slider == nullptr) return;
        CentreSliderOnPointer(*slider, y, numbers.eqTop, numbers.eqRange);
        features_.EqSliderMoved(sliderTag - kFirstEqSliderTag);
    } else if (IsOneOf(name, kD3Sliders)) {
        if (!active) return ShowDeviceWarning();
        StartDrag(*control, DragKind::D3Slider);
    } else if (name == L"MicSliderImage") {
        if (!active) return ShowDeviceWarning();
        StartDrag(*control, DragKind::MicSlider);
    } else if (name == L"MicBarImage" || name == L"MicBarDownImage") {
        if (!active) return ShowDeviceWarning();
        if (Component* slider = form_.Find(L"MicSliderImage")) {
            CentreSliderOnPointer(*slider, y, numbers.micTop, numbers.micRange);
            features_.MicSliderMoved();
        }
    } else if (name == L"ENCSliderImage" || name == L"ENCBarImage") {
        if (!active) return ShowDeviceWarning();
        if (!features_.EncSupported()) return ShowDeviceWarning(L"LabelWarning1");
        if (name == L"ENCBarImage") {
            features_.EncBarPressed(x, y);
        } else {
            StartDrag(*control, DragKind::EncSlider);
        }
    } else if (IsOneOf(name, kSpeakers)) {
        if (!active) return ShowDeviceWarning();
        StartDrag(*control, DragKind::Speaker);
    } else {
        return;
    }
    ui_.Repaint();
}

void TAudioMainForm::DragMove(int32_t x, int32_t y) {
    if (!drag_.active || drag_.control == nullptr || features_.LedDialogBusy()) return;
    Component& control = *drag_.control;
    const int32_t left = drag_.left + (x - drag_.pressX);
    const int32_t top = drag_.top + (y - drag_.pressY);
    const SkinNumbers& numbers = skin_.Numbers();
    switch (drag_.kind) {
        case DragKind::EqSlider:
            control.top = WithinTravel(top, numbers.eqTop, numbers.eqRange);
            features_.EqSliderMoved(control.tag - kFirstEqSliderTag);
            break;
        case DragKind::D3Slider:
            control.top = std::clamp(top, kD3SliderTopMin, kD3SliderTopMax);
            features_.D3SliderMoved(control);
            break;
        case DragKind::MicSlider:
            control.top = WithinTravel(top, numbers.micTop, numbers.micRange);
            features_.MicSliderMoved();
            break;
        case DragKind::EncSlider: {
            int32_t limited = top;
            if (const Component* bar = form_.Find(L"ENCBarImage")) {
                const auto highest =
                    bar->top + bar->height - static_cast<int32_t>(1.2 * control.height);
                limited = std::max(std::min(limited, highest), bar->top + 10);
            }
            control.top = limited;
            features_.EncSliderMoved();
            break;
        }
        case DragKind::Speaker: features_.SpeakerMoved(control, left, top); break;
        case DragKind::None: return;
    }
    ui_.Repaint();
}

void TAudioMainForm::DragRelease() {
    if (features_.LedDialogBusy()) return;
    drag_.active = false;
    drag_.control = nullptr;
}

}  // namespace tavrin
