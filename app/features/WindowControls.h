#pragma once
// What the feature units need of the main window: its components, the skin's pictures and the
// captions' colours. The window implements it; tests use a small fake.
#include <cstdint>
#include <string>

#include "app/form/FormModel.h"

namespace tavrin {

// The travel of the EQ sliders from the skin: their top edge moves between top and
// top + range.
struct SliderTravel {
    int32_t top = 200;
    int32_t range = 120;
};

class WindowControls {
public:
    virtual ~WindowControls() = default;

    virtual FormModel& Form() = 0;
    // Shows the picture of a skin key in a control, when the key names a file.
    virtual void ShowPicture(const wchar_t* section, const wchar_t* key, Component& control) = 0;
    // The 3D link buttons' pictures ([3D] keys): a skin may keep them in a "3D" folder of its
    // own, outside the screen-size folders; otherwise they show as any other key.
    virtual void ShowLinkPicture(const wchar_t* key, Component& control) = 0;
    // The two looks of a two-state button; `state` 0 shows Down and becomes 1, anything else
    // shows Up and becomes 0.
    virtual void SetButtonState(int32_t tag, int32_t& state) = 0;
    // A caption in the up or down colour of a label's record (its own, or another label's,
    // named by `recordOf`).
    virtual void SetCaptionColour(Component& label, const wchar_t* recordOf, bool down) = 0;
    virtual SliderTravel EqSliderTravel() = 0;
    virtual void Repaint() = 0;
};

}  // namespace tavrin
