#include "ports/Dialog.h"

#include <utility>

namespace tavrin {

void Dialog::Press(size_t index) {
    if (index >= controls.size()) return;
    if (controls[index].kind == DialogControlKind::RadioButton) CheckRadio(index);
    OnPress(controls[index]);
}

void Dialog::TrackBarMoved(size_t index, int32_t position) {
    if (index >= controls.size()) return;
    DialogControl& bar = controls[index];
    if (bar.kind != DialogControlKind::TrackBar || bar.position == position) return;
    bar.position = position < bar.minimum   ? bar.minimum
                   : position > bar.maximum ? bar.maximum
                                            : position;
    OnTrackBarChange(bar);
}

DialogControl* Dialog::Find(std::wstring_view name) {
    for (DialogControl& control : controls) {
        if (control.name == name) return &control;
    }
    return nullptr;
}

DialogControl& Dialog::Add(DialogControl control) {
    controls.push_back(std::move(control));
    return controls.back();
}

void Dialog::CheckRadio(size_t index) {
    auto isRadio = [&](size_t i) { return controls[i].kind == DialogControlKind::RadioButton; };
    if (index >= controls.size() || !isRadio(index)) return;
    size_t first = index;
    while (!controls[first].groupStart && first > 0 && isRadio(first - 1)) --first;
    for (size_t i = first; i < controls.size() && isRadio(i); ++i) {
        if (i != first && controls[i].groupStart) break;
        controls[i].checked = i == index;
    }
}

}  // namespace tavrin
