#pragma once
// One feature of the main window (the equalizer, the 3D effect, ...) as the window sees it: the
// presses, releases, clicks, looks and drags of the controls the control table gives it, and the
// moments every unit reacts to. Each hook has a default that does nothing, so a unit fills in
// only what its controls need.
#include <cstdint>

#include "app/form/ControlTable.h"
#include "app/form/FormModel.h"
#include "ports/UiHost.h"

namespace tavrin {

// How a unit answers a press beyond the window's device gate.
struct PressVerdict {
    bool allowed = true;
    // The [Main] text of the warning box shown for a refusal; null refuses without a word.
    const wchar_t* warningKey = nullptr;

    static PressVerdict Allow() { return {}; }
    static PressVerdict Refuse(const wchar_t* warningKey = nullptr) { return {false, warningKey}; }
};

class FeatureUnit {
public:
    virtual ~FeatureUnit() = default;

    // A condition of the unit's own (the ENC support, the Bee box) that a press, drag or click
    // on one of its controls must also pass.
    virtual PressVerdict Admit(const ControlRow& /*row*/) { return PressVerdict::Allow(); }
    // The press and the release of one of the unit's controls, after the window's gates; the
    // window has shown a momentary control's look already.
    virtual void Press(const ControlRow& /*row*/, Component& /*sender*/) {}
    virtual void Release(const ControlRow& /*row*/, Component& /*sender*/) {}
    // A click the window design names on one of the unit's controls.
    virtual void Click(const ControlRow& /*row*/, Component& /*sender*/) {}
    // Whether a control of the unit shows its Down look now.
    virtual bool IsDown(const ControlRow& /*row*/) const { return false; }

    // A press on one of the unit's bars (slider placed on the pointer) and a drag of one of its
    // sliders: `left` and `top` are where the pointer took the control; the unit keeps it within
    // its travel.
    virtual void BarPressed(const ControlRow& /*row*/, Component& /*bar*/, int32_t /*x*/,
                            int32_t /*y*/) {}
    virtual void Dragged(const ControlRow& /*row*/, Component& /*control*/, int32_t /*left*/,
                         int32_t /*top*/) {}

    // The tab of `tabPage` was pressed (the page shown may stay when the tab has no page).
    virtual void PageTabPressed(int32_t /*tabPage*/) {}
    virtual void OnTimer(TimerId /*timer*/) {}
    // A skin was applied, at construction and at each skin change (its pictures and geometry,
    // before the texts and the redraw).
    virtual void SkinApplied() {}
    // After a skin or language change: the unit's controls show its state again.
    virtual void Redraw() {}
    // The device is gone: the unit's controls show it off; nothing is sent.
    virtual void ResetAfterRemoval() {}
};

}  // namespace tavrin
