// The main window's skinned controls: building the form from its design, skins and texts, the
// press and release handlers of pictures and captions, page tabs, two-state buttons and the
// pointer hook that drags sliders and speakers. Which control does what comes from the control
// table; what a feature's control does is its unit's business.
#include <algorithm>

#include "app/form/PictureFile.h"
#include "app/shell/AudioMainForm.h"

namespace tavrin {
namespace {

using namespace skin_section;
using namespace control_tag;

// In GPIO level mode the hardware switch, not the model, decides 7.1's look.
constexpr wchar_t kVirtualSwitchUpKey[] = L"VirtualDisableImageUp";
constexpr wchar_t kVirtualSwitchDownKey[] = L"VirtualDisableImageDown";

// The page picture of the left column; pages without one hide it.
std::wstring LeftPictureKey(int32_t page) {
    return page >= page::kEq && page <= page::kVirtual ? L"MainLeftImage" + std::to_wstring(page)
                                                       : L"";
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
    for (FeatureUnit* unit : features_.Units()) unit->SkinApplied();
}

void TAudioMainForm::OnLanguageMenu(size_t index) {
    if (index >= language_.LanguageMenuItems().size()) return;
    language_.LoadLanguage(language_.LanguageMenuClick(index));
    ApplyTexts();
    ShowCurrentPage();
    StorePerUserChoices();
}

void TAudioMainForm::OnSkinMenu(size_t index) {
    if (index >= skin_.SkinMenu().size()) return;
    skin_.SkinMenuClick(index);
    LoadAndApplySkin();
    ApplyTexts();
    ShowCurrentPage();
    StorePerUserChoices();
}

// After a skin or a language change the page shown keeps its tabs, its controls and the
// features' state, as a page switch leaves them.
void TAudioMainForm::ShowCurrentPage() {
    const int32_t page = m_Settings.m_iCurrentPage;
    int32_t tab = kNoTag;
    for (const ControlRow& row : ControlRows()) {
        if (row.role == ControlRole::PageTab && row.page == page && row.upKey != nullptr) {
            tab = row.tag;
        }
    }
    ShowPageTabs(tab);
    ApplyPageVisibility(page);
    for (FeatureUnit* unit : features_.Units()) unit->Redraw();
    ui_.Repaint();
}

// Each choice replaces the file whole: a crash or a second instance never leaves it torn.
void TAudioMainForm::StorePerUserChoices() {
    const std::wstring perUser = PerUserConfigPath(platform_.environment, m_Config);
    if (!platform_.files.FileExists(perUser)) return;
    WriteConfigValueSafely(platform_.files, perUser, config_keys::kDefaultSkin.section,
                           config_keys::kDefaultSkin.key, skin_.SkinName());
    WriteConfigValueSafely(platform_.files, perUser, config_keys::kDefaultLanguage.section,
                           config_keys::kDefaultLanguage.key, language_.LanguageName());
}

// ---- The state the pictures and captions show ----

bool TAudioMainForm::DeviceActive() const {
    return discovery_.m_bDeviceActive == 1;
}

bool TAudioMainForm::PassesGate(const ControlRow& row) const {
    return DeviceActive() || row.gate == DeviceGate::NotNeeded;
}

FeatureUnit* TAudioMainForm::UnitOf(const ControlRow& row) {
    return row.unit == FeatureUnitId::Window ? nullptr : features_.Unit(row.unit);
}

bool TAudioMainForm::IsControlOn(const Component& control) {
    const ControlRow* row = FindControlRow(control);
    if (row == nullptr) return false;
    if (row->role == ControlRole::PageTab) return m_Settings.m_iCurrentPage == row->page;
    if (row->tag == kDeviceIn) return DeviceActive();
    if (row->tag == kDeviceOut) return !DeviceActive();
    const FeatureUnit* unit = UnitOf(*row);
    return unit != nullptr && unit->IsDown(*row);
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

// A feature may change the look of a control on another page (a skin change redraws every
// page's state): the picture changes, but it shows only on its own page.
void TAudioMainForm::ShowPicture(const wchar_t* section, const wchar_t* key, Component& control) {
    const SkinImageRecord& record = skin_.Record(section, key);
    if (!record.NamesFile()) return;
    skin_.ShowSkinImage(record, control);
    if (!OnPage(record.page, m_Settings.m_iCurrentPage)) control.visible = false;
}

void TAudioMainForm::SetCaptionColour(Component& label, const wchar_t* recordOf, bool down) {
    const LabelRecord* record = language_.RecordForControl(
        recordOf != nullptr ? std::wstring_view(recordOf) : std::wstring_view(label.name));
    language_.ApplyStateColour(record != nullptr ? *record : LabelRecord{}, label, down);
}

// A control's picture and caption in one of its two looks, as the table names them.
void TAudioMainForm::ShowLook(const ControlRow& row, Component& picture, bool down) {
    if (row.upKey != nullptr) ShowPicture(row.section, down ? row.downKey : row.upKey, picture);
    if (row.label == nullptr) return;
    if (Component* caption = form_.Find(row.label)) {
        SetCaptionColour(*caption, row.captionRecord, down);
    }
}

void TAudioMainForm::ShowLook(const ControlRow& row, bool down) {
    if (row.image == nullptr) return;
    if (Component* picture = form_.Find(row.image)) ShowLook(row, *picture, down);
}

void TAudioMainForm::ShowButton(int32_t tag, bool down) {
    const ControlRow* row = FindControlRowByTag(tag);
    Component* picture = form_.FindByTag(ComponentKind::Image, tag);
    if (row == nullptr || picture == nullptr) return;
    if (tag == kVirtualEnable && bound_ && features_.GpioLevelMode()) {
        const bool switchOn = features_.VirtualSwitchState() == 1;
        ShowPicture(kVirtual, switchOn ? kVirtualSwitchDownKey : kVirtualSwitchUpKey, *picture);
        if (Component* caption = form_.Find(row->label)) SetCaptionColour(*caption, nullptr, false);
        return;
    }
    ShowLook(*row, *picture, down);
}

void TAudioMainForm::ShowLinkPicture(const wchar_t* key, Component& control) {
    const SkinImageRecord& record = skin_.Record(k3D, key);
    const std::wstring ownFolder = programFolder_ + m_Config.SkinFolderName + L"\\" +
                                   skin_.SkinName() + L"\\3D\\" + record.fileName;
    if (record.NamesFile() && ReadPictureSize(platform_.files, ownFolder)) {
        control.picture = ownFolder;
        control.visible = OnPage(record.page, m_Settings.m_iCurrentPage);
        return;
    }
    ShowPicture(k3D, key, control);
}

SliderTravel TAudioMainForm::EqSliderTravel() {
    return {skin_.Numbers().eqTop, skin_.Numbers().eqRange};
}

SliderTravel TAudioMainForm::MicSliderTravel() {
    return {skin_.Numbers().micTop, skin_.Numbers().micRange};
}

SpeakerCircle TAudioMainForm::VirtualCircle() {
    const SkinNumbers& numbers = skin_.Numbers();
    return {numbers.virtualCenterX, numbers.virtualCenterY, numbers.virtualRadius,
            numbers.previousVirtualRadius};
}

int32_t TAudioMainForm::MicProgressLength() {
    return skin_.Numbers().micProgressLength;
}

LedSkinValues TAudioMainForm::LedSkin() {
    return {skin_.Numbers().ledPageMode, skin_.Numbers().ledFastRightSide};
}

GivenTravel TAudioMainForm::EncSliderTravel() {
    return {skin_.Numbers().encTop, skin_.Numbers().encRange};
}

void TAudioMainForm::ShowWarning(const wchar_t* textKey) {
    ui_.ShowMessage(language_.Text(textKey), m_Config.InstallAppTitle, MessageIcon::Warning);
}

void TAudioMainForm::ShowSkinRecord(const wchar_t* section, const wchar_t* key,
                                    Component& control) {
    skin_.ShowSkinImage(skin_.Record(section, key), control);
}

void TAudioMainForm::ApplyLabelRecord(const wchar_t* key, Component& control) {
    LabelRecord record = language_.Record(key);
    language_.ApplyLabel(record, control, true);
}

void TAudioMainForm::ShowModalForm(const FormModel& form, const std::wstring& caption,
                                   const std::function<void(const Component&)>& clicked) {
    ui_.ShowModalForm(form, caption, clicked);
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
    if (!target->Contains(x, y)) return ui_.Repaint();
    // A check box turns over before its click handler sees it, as the toolkit's do.
    if (target->kind == ComponentKind::CheckBox) target->checked = !target->checked;
    if (!target->onClick.empty()) RunHandler(target->onClick, *target);
    ui_.Repaint();
}

// The handlers a user's click on the control runs, in their order; the pointer hook has no part
// in it, as no slider is pressed this way.
void TAudioMainForm::PressControl(std::wstring_view name) {
    Component* control = form_.Find(name);
    if (control == nullptr) return;
    for (const std::wstring* handler :
         {&control->onMouseDown, &control->onMouseUp, &control->onClick}) {
        if (!handler->empty()) RunHandler(*handler, *control);
    }
    ui_.Repaint();
}

void TAudioMainForm::ShowPage(int32_t page) {
    for (const ControlRow& row : ControlRows()) {
        if (row.role == ControlRole::PageTab && row.page == page) return SwitchPage(row.tag);
    }
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
    else if (const ControlRow* row = FindControlRow(sender)) {
        // The press of a refused control showed the warning; its click must not act either,
        // whatever delivered it.
        FeatureUnit* unit = UnitOf(*row);
        if (unit != nullptr && PassesGate(*row)) unit->Click(*row, sender);
    }
}

// ---- Presses and releases ----

bool TAudioMainForm::Admitted(const ControlRow& row) {
    if (!PassesGate(row)) {
        ShowWarning(L"LabelWarning");
        return false;
    }
    FeatureUnit* unit = UnitOf(row);
    const PressVerdict verdict = unit != nullptr ? unit->Admit(row) : PressVerdict::Allow();
    if (!verdict.allowed && verdict.warningKey != nullptr) ShowWarning(verdict.warningKey);
    return verdict.allowed;
}

void TAudioMainForm::OnImageMouseDown(Component& sender) {
    if (features_.PressLocked(sender.tag)) return;
    const ControlRow* row = FindControlRowByTag(sender.tag);
    if (row == nullptr || !Admitted(*row)) return;
    FeatureUnit* unit = UnitOf(*row);
    switch (row->role) {
        case ControlRole::PageTab: PressPageTab(*row, sender); return;
        case ControlRole::Momentary: ShowLook(*row, sender, true); break;
        default: break;
    }
    if (unit != nullptr) unit->Press(*row, sender);
}

void TAudioMainForm::OnImageMouseUp(Component& sender) {
    if (sender.tag >= kFirstSpeaker && sender.tag <= kVirtualReset &&
        features_.PressLocked(sender.tag)) {
        return;
    }
    const ControlRow* row = FindControlRowByTag(sender.tag);
    if (row == nullptr) return;
    if (row->role == ControlRole::PageTab) return ReleasePageTab(*row, sender);
    FeatureUnit* unit = UnitOf(*row);
    if (row->role == ControlRole::Momentary) {
        if (unit != nullptr && !unit->Admit(*row).allowed) return;
        ShowLook(*row, sender, false);
    }
    if (unit != nullptr && PassesGate(*row)) unit->Release(*row, sender);
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

// A tab whose page the features do not use (the LED tab without an LED page) switches nothing.
void TAudioMainForm::PressPageTab(const ControlRow& row, Component& sender) {
    if (row.upKey == nullptr) return;
    if (!features_.PageInUse(row.page)) return;
    ShowPageTabs(row.tag);
    if (row.page > page::k3D) ShowPicture(row.section, row.downKey, sender);
    SwitchPage(row.tag);
}

void TAudioMainForm::ReleasePageTab(const ControlRow& row, Component& sender) {
    if (row.page <= page::k3D) return;
    if (!features_.PageInUse(row.page)) {
        ShowPicture(row.section, row.upKey, sender);
    } else if (DeviceActive()) {
        ShowPicture(row.section, row.downKey, sender);
    } else if (row.page != page::kLed) {
        ShowPicture(row.section, row.upKey, sender);
    }
}

void TAudioMainForm::OnLabelPageMouseDown(Component& sender) {
    if (!DeviceActive()) {
        ShowWarning(L"LabelWarning");
        return;
    }
    SwitchPage(sender.tag);
}

void TAudioMainForm::SwitchPage(int32_t tag) {
    const ControlRow* row = FindControlRowByTag(tag);
    if (row == nullptr || row->role != ControlRole::PageTab) return;
    int32_t& page = m_Settings.m_iCurrentPage;
    if (features_.PageInUse(row->page)) {
        page = row->page;
        ShowPageTabs(row->page == page::k3D ? kNoTag : tag);
    }
    for (FeatureUnit* unit : features_.Units()) unit->PageTabPressed(row->page);
    ui_.ProcessPendingMessages();
    ApplyPageVisibility(page);
    const LabelRecord& colours = language_.Record(L"LabelPageEQ");
    for (const int32_t captionTag : {kPageEq, kPage3D, kPageEffect, kPageMic, kPageLed}) {
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
    const ControlRow* selected = nullptr;
    for (const ControlRow& row : ControlRows()) {
        if (row.role != ControlRole::PageTab || row.upKey == nullptr) continue;
        const bool isSelected = row.tag == selectedTab;
        if (isSelected) selected = &row;
        if (Component* picture = form_.FindByTag(ComponentKind::Image, row.tag)) {
            ShowPicture(row.section, isSelected ? row.downKey : row.upKey, *picture);
        }
        if (Component* caption = form_.FindByTag(ComponentKind::Label, row.tag)) {
            language_.ApplyStateColour(colours, *caption, isSelected);
        }
    }
    Component* left = form_.Find(L"MainLeftImage");
    if (left != nullptr && selected != nullptr) {
        const std::wstring key = LeftPictureKey(selected->page);
        skin_.ShowSkinImage(key.empty() ? SkinImageRecord{} : skin_.Record(kMain, key), *left);
    }
}

bool TAudioMainForm::OnPage(int32_t recordPage, int32_t page) const {
    return (recordPage == 0 || recordPage == page) && features_.PageInUse(recordPage);
}

void TAudioMainForm::ApplyPageVisibility(int32_t page) {
    SkinLook look = CurrentSkinLook();
    look.currentPage = page;
    const bool ledPage = features_.PageInUse(page::kLed);
    auto onPage = [this, page](int32_t recordPage) { return OnPage(recordPage, page); };
    for (Component& control : form_.Components()) {
        if (control.kind == ComponentKind::Image) {
            if (const SkinImageRecord* record = skin_.RecordForControl(control, look)) {
                // A picture that could not be loaded stays hidden.
                control.visible =
                    record->NamesFile() && onPage(record->page) && !control.picture.empty();
            }
        } else if (control.kind == ComponentKind::Label) {
            if (const LabelRecord* record = language_.RecordForControl(control.name)) {
                control.visible = record->HasText() && onPage(record->page);
            }
        } else if (control.kind == ComponentKind::Shape) {
            // The LED swatches; the last three have no function.
            control.visible = ledPage && page == page::kLed && FindControlRow(control) != nullptr;
        }
    }
    if (Component* bee = form_.Find(L"BeeCheckBox")) {
        bee->visible = page == page::kVirtual && m_WindowConfig.bee == 1;
    }
}

// ---- Dragging ----

void TAudioMainForm::DragPress(int32_t x, int32_t y) {
    if (features_.ModalDialogShowing()) return;
    drag_.pressX = x;
    drag_.pressY = y;
    Component* control = form_.ControlAt(x, y, true);
    if (control == nullptr) return;
    const ControlRow* row = FindControlRow(*control);
    if (row == nullptr) return;
    if (row->role != ControlRole::Slider && row->role != ControlRole::Bar) return;
    FeatureUnit* unit = UnitOf(*row);
    if (unit == nullptr) return;
    if (!DeviceActive()) return ShowWarning(L"LabelWarning");
    if (!Admitted(*row)) return;
    if (row->role == ControlRole::Bar) {
        unit->BarPressed(*row, *control, x, y);
    } else {
        drag_.active = true;
        drag_.control = control;
        drag_.row = row;
        drag_.left = control->left;
        drag_.top = control->top;
    }
    ui_.Repaint();
}

void TAudioMainForm::DragMove(int32_t x, int32_t y) {
    if (!drag_.active || drag_.control == nullptr || features_.ModalDialogShowing()) return;
    FeatureUnit* unit = UnitOf(*drag_.row);
    if (unit == nullptr) return;
    unit->Dragged(*drag_.row, *drag_.control, drag_.left + (x - drag_.pressX),
                  drag_.top + (y - drag_.pressY));
    ui_.Repaint();
}

void TAudioMainForm::DragRelease() {
    if (features_.ModalDialogShowing()) return;
    const DragState ended = drag_;
    drag_.active = false;
    drag_.control = nullptr;
    drag_.row = nullptr;
    if (!ended.active || ended.control == nullptr) return;
    if (FeatureUnit* unit = UnitOf(*ended.row)) unit->DragEnded(*ended.row, *ended.control);
}

}  // namespace tavrin
