#include "app/features/About.h"

#include <vector>

namespace tavrin {

About::About(FeatureContext& context) : context_(context) {}

void About::Release(const ControlRow& row, Component&) {
    if (row.tag == control_tag::kAbout && context_.DeviceActive()) ShowAboutForm();
}

void About::ShowAboutForm() {
    std::vector<std::wstring> problems;
    FormModel form = ParseFormDesign(AboutFormDesignText(), problems);
    for (const std::wstring& problem : problems) {
        context_.platform.debugLog.Write(L"AboutForm.design: " + problem);
    }
    WindowControls& window = context_.window;
    if (Component* text = form.Find(L"AboutLabel")) window.ApplyLabelRecord(L"LabelAbout", *text);
    if (Component* web = form.Find(L"WebLabel")) window.ApplyLabelRecord(L"LabelWeb", *web);
    if (Component* logo = form.Find(L"LOGOZRImage")) {
        window.ShowSkinRecord(skin_section::kAbout, L"LogoImage", *logo);
    }
    // The caption is the About button's own.
    const Component* button = window.Form().Find(L"Menu3Label");
    window.ShowModalForm(form, button != nullptr ? button->caption : L"",
                         [this](const Component& clicked) {
                             if (clicked.onClick == L"WebLabelClick") WebLabelClick(clicked);
                         });
}

void About::WebLabelClick(const Component& webLabel) {
    context_.ui.OpenWithShell(webLabel.caption);
}

}  // namespace tavrin
