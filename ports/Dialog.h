#pragma once
// A small modal dialog of standard controls as data: group boxes, labels, push buttons, radio
// buttons, track bars and colour swatches, with the events the user causes. The dialog's logic
// lives in a subclass and stays portable; the UI host builds the real controls from this, reports
// presses and track bar moves, and shows the controls' state again after each event.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tavrin {

enum class DialogControlKind { GroupBox, Label, Button, RadioButton, TrackBar, Swatch };

struct DialogControl {
    DialogControlKind kind = DialogControlKind::Label;
    std::wstring name;
    int32_t tag = 0;
    std::wstring caption;
    // Pixels of the dialog's client area.
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
    // Radio buttons: the first of a group of radio buttons that follow each other.
    bool groupStart = false;
    bool checked = false;
    // Track bars.
    int32_t minimum = 0;
    int32_t maximum = 0;
    int32_t position = 0;
    int32_t pageSize = 1;
    // Swatches: 0x00BBGGRR.
    uint32_t brushColour = 0xFFFFFF;
    uint32_t penColour = 0;
    int32_t penWidth = 1;
};

struct DialogFrame {
    std::wstring caption;
    int32_t clientWidth = 0;
    int32_t clientHeight = 0;
    // With a caption bar and centred on the screen; otherwise borderless and centred on the main
    // window, and a press on its background moves it.
    bool captioned = true;
};

class Dialog {
public:
    virtual ~Dialog() = default;

    // What the host reports, on the window thread. A press on a radio button checks it (and
    // unchecks the others of its group) before the dialog hears of it.
    void Press(size_t index);
    void TrackBarMoved(size_t index, int32_t position);
    // Before the controls are built, and when the dialog goes (by its own wish or the user's).
    virtual void OnShow() {}
    virtual void OnClose() {}

    DialogControl* Find(std::wstring_view name);
    // The dialog wants to end; the host closes it after the current event.
    bool CloseRequested() const { return closeRequested_; }

    DialogFrame frame;
    std::vector<DialogControl> controls;

protected:
    // A push button, radio button or swatch was pressed.
    virtual void OnPress(DialogControl& /*control*/) {}
    virtual void OnTrackBarChange(DialogControl& /*control*/) {}
    DialogControl& Add(DialogControl control);
    void RequestClose() { closeRequested_ = true; }
    void ClearCloseRequest() { closeRequested_ = false; }
    // Checks a radio button within its group.
    void CheckRadio(size_t index);

private:
    bool closeRequested_ = false;
};

}  // namespace tavrin
