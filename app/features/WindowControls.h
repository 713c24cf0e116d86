#pragma once
// What the feature units need of the main window: its components, the skin's pictures and
// geometry, the captions' colours and the warning box. The window implements it; tests use a
// small fake.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "app/form/ControlTable.h"
#include "app/form/FormModel.h"

namespace tavrin {

// The travel of a slider from the skin: its top edge moves between top and top + range.
struct SliderTravel {
    int32_t top = 200;
    int32_t range = 120;
};

// A travel as a skin gives it: either number may be missing.
struct GivenTravel {
    std::optional<int32_t> top;
    std::optional<int32_t> range;
};

// The speakers' circle of the 7.1 page from the skin: the centre and radius the speakers' left
// and top move on, and the radius of the skin before this one.
struct SpeakerCircle {
    int32_t centreX = 560;
    int32_t centreY = 251;
    int32_t radius = 110;
    int32_t previousRadius = 110;
};

// A slider's top within its travel; a skin that gives a negative travel pins it to the top.
inline int32_t WithinTravel(int32_t top, const SliderTravel& travel) {
    const int32_t bottom = travel.top + (travel.range > 0 ? travel.range : 0);
    return top < travel.top ? travel.top : top > bottom ? bottom : top;
}

// The LED page's integer keys of the skin ([LED]).
struct LedSkinValues {
    int32_t ledPageMode = 0;
    int32_t ledFastRightSide = 0;
};

class WindowControls {
public:
    virtual ~WindowControls() = default;

    virtual FormModel& Form() = 0;
    // Shows the picture of a skin key in a control, when the key names a file; the control shows
    // only while its page is.
    virtual void ShowPicture(const wchar_t* section, const wchar_t* key, Component& control) = 0;
    // The 3D link buttons' pictures ([3D] keys): a skin may keep them in a "3D" folder of its
    // own, outside the screen-size folders; otherwise they show as any other key.
    virtual void ShowLinkPicture(const wchar_t* key, Component& control) = 0;
    // A control of the table in its Down or its Up look, picture and caption.
    virtual void ShowLook(const ControlRow& row, bool down) = 0;
    // The same for a two-state button, by its tag.
    virtual void ShowButton(int32_t tag, bool down) = 0;
    // A caption in the up or down colour of a label's record (its own, or another label's,
    // named by `recordOf`).
    virtual void SetCaptionColour(Component& label, const wchar_t* recordOf, bool down) = 0;
    virtual SliderTravel EqSliderTravel() = 0;
    virtual SliderTravel MicSliderTravel() = 0;
    virtual SpeakerCircle VirtualCircle() = 0;
    // The full width of the microphone's level bar.
    virtual int32_t MicProgressLength() = 0;
    virtual LedSkinValues LedSkin() = 0;
    virtual GivenTravel EncSliderTravel() = 0;
    // The warning box with a [Main] text of the language file (for example "LabelWarning1").
    virtual void ShowWarning(const wchar_t* textKey) = 0;
    // Every control by the current page's rules, then a repaint.
    virtual void RedrawCurrentPage() = 0;
    virtual void Repaint() = 0;

    // The program's other forms (the About form): a control takes a skin picture record, or a
    // label record of the language file in its normal look, as the window's own controls do;
    // then the form shows modally, its clicks reaching `clicked`.
    virtual void ShowSkinRecord(const wchar_t* section, const wchar_t* key, Component& control) = 0;
    virtual void ApplyLabelRecord(const wchar_t* key, Component& control) = 0;
    virtual void ShowModalForm(const FormModel& form, const std::wstring& caption,
                               const std::function<void(const Component&)>& clicked) = 0;
    // What a hardware button does as if the user did it: a click on a control (its press,
    // release and click, through every gate and lock a click meets), a page made current as its
    // tab shows it, and the window brought back from the tray.
    virtual void PressControl(std::wstring_view name) = 0;
    virtual void ShowPage(int32_t page) = 0;
    virtual void RestoreWindow() = 0;
};

}  // namespace tavrin
