#pragma once
// The About form: the product text, the maker's logo and web address, opened from the main
// window's About button while a device is active.
#include <string>
#include <string_view>

#include "app/features/DeviceCommands.h"
#include "app/features/FeatureUnit.h"

namespace tavrin {

// The About form's design as shipped (resources/AboutForm.design, built into the program).
std::string_view AboutFormDesignText();

class About final : public FeatureUnit {
public:
    explicit About(FeatureContext& context);

    // The About button (tag 4) opens the form on release, only with an active device.
    void Release(const ControlRow& row, Component& sender) override;

    // The form filled from the skin and the language file, shown modally.
    void ShowAboutForm();
    // The web address of the form, opened by the shell.
    void WebLabelClick(const Component& webLabel);

private:
    FeatureContext& context_;
};

}  // namespace tavrin
