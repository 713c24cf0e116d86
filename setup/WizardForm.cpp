#include "setup/WizardForm.h"

#include <stdexcept>

namespace tavrin::setup {
namespace {

WizardControl Make(const wchar_t* name, WizardControlKind kind, int32_t page, int32_t left,
                   int32_t top, int32_t width, int32_t height, const wchar_t* caption) {
    WizardControl control;
    control.name = name;
    control.kind = kind;
    control.page = page;
    control.left = left;
    control.top = top;
    control.width = width;
    control.height = height;
    control.caption = caption;
    return control;
}

}  // namespace

WizardForm::WizardForm() {
    using K = WizardControlKind;
    // clang-format off
    controls_ = {
        Make(L"BackBitBtn", K::Button, kEveryPage, 8, 119, 75, 25, L"< Back"),
        Make(L"NextBitBtn", K::Button, kEveryPage, 120, 119, 75, 25, L"Next >"),
        Make(L"FinishBitBtn", K::Button, kEveryPage, 232, 119, 75, 25, L"Finish"),
        Make(L"CancelBitBtn", K::Button, kEveryPage, 339, 119, 75, 25, L"Cancel"),
        Make(L"SelectLangLabel", K::Label, kLanguagePage, 16, 52, 0, 0, L"Select Language :"),
        Make(L"VersionLabel", K::Label, kLanguagePage, 184, 20, 0, 0,
             L"Select language version of 7.1 USB"),
        Make(L"AudioExtLabel", K::Label, kLanguagePage, 184, 52, 0, 0,
             L"Audio Extension for installation"),
        Make(L"ComboBox", K::ComboBox, kLanguagePage, 16, 74, 153, 0, L""),
        Make(L"OriginalComboBox", K::Hidden, kLanguagePage, 0, 0, 0, 0, L""),
        Make(L"InstallLabel", K::Label, kInstallPage, 16, 24, 0, 0, L"Installing..."),
        Make(L"ProgressBar", K::ProgressBar, kInstallPage, 16, 60, 361, 25, L""),
        Make(L"RebootLabel", K::Label, kFinishPage, 40, 10, 315, 0,
             L"Setup will reboot your computer to complete the Install"),
        Make(L"RebootRadioButton", K::RadioButton, kFinishPage, 40, 67, 0, 0, L"Yes, reboot now"),
        Make(L"NoRebootRadioButton", K::RadioButton, kFinishPage, 40, 93, 0, 0,
             L"No, reboot later"),
    };
    // clang-format on
    WizardControl& back = Control(L"BackBitBtn");
    back.enabled = false;
    back.visible = false;
    Control(L"FinishBitBtn").enabled = false;
    Control(L"OriginalComboBox").visible = false;
    Control(L"RebootLabel").wordWrap = true;
    Control(L"NoRebootRadioButton").checked = true;
}

WizardControl& WizardForm::Control(std::wstring_view name) {
    for (WizardControl& control : controls_) {
        if (control.name == name) return control;
    }
    throw std::out_of_range("no such wizard control");
}

const WizardControl& WizardForm::Control(std::wstring_view name) const {
    return const_cast<WizardForm*>(this)->Control(name);
}

void WizardForm::CheckReboot(bool reboot) {
    Control(L"RebootRadioButton").checked = reboot;
    Control(L"NoRebootRadioButton").checked = !reboot;
}

}  // namespace tavrin::setup
