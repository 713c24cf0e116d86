#include "app/features/ULEDColorForm.h"

#include <string>
#include <utility>

#include "app/features/LedProtocol.h"

namespace tavrin {
namespace {

constexpr int32_t kSwatchSize = 20;
constexpr int32_t kSwatchPitch = 26;
constexpr int32_t kGroupLeft = 8;
constexpr int32_t kFirstSwatchLeft = 20;
constexpr int32_t kFirstSwatchTop = 30;
constexpr int32_t kHighlightWidth = 2;

DialogControl Control(DialogControlKind kind, std::wstring name, int32_t tag, std::wstring caption,
                      int32_t left, int32_t top, int32_t width, int32_t height) {
    DialogControl control;
    control.kind = kind;
    control.name = std::move(name);
    control.tag = tag;
    control.caption = std::move(caption);
    control.left = left;
    control.top = top;
    control.width = width;
    control.height = height;
    return control;
}

}  // namespace

// 0x00BBGGRR.
const std::array<uint32_t, kPaletteSize> kPaletteColours = {
    0xB2B2FF, 0xB2D9FF, 0xB2FFFF, 0xB2FFB2, 0xFFFFB2, 0xFFB2B2, 0xFFB2D9, 0xFFB2FF,
    0x6666FF, 0x66B3FF, 0x66FFFF, 0x66FF66, 0xFFFF66, 0xFF6666, 0xFF66B3, 0xFF66FF,
    0x0000FF, 0x0080FF, 0x00FFFF, 0x00FF00, 0xFFFF00, 0xFF0000, 0xFF0080, 0xFF00FF,
    0x0000B2, 0x005AB2, 0x00B2B2, 0x00B200, 0xB2B200, 0xB20000, 0xB2005A, 0xB200B2,
    0x000066, 0x003366, 0x006666, 0x006600, 0x666600, 0x660000, 0x660033, 0x660066,
    0xFFFFFF, 0xDBDBDB, 0xB6B6B6, 0x929292, 0x6D6D6D, 0x494949, 0x2C2C2C, 0x141414,
};

TLEDColorForm::TLEDColorForm() {
    frame.caption = L"LED_Color";
    frame.captioned = false;
    const int32_t groupWidth =
        2 * (kFirstSwatchLeft - kGroupLeft) + (kPaletteColumns - 1) * kSwatchPitch + kSwatchSize;
    const int32_t groupHeight = kFirstSwatchTop + (kPaletteRows - 1) * kSwatchPitch + kSwatchSize;
    frame.clientWidth = groupWidth + 2 * kGroupLeft;
    frame.clientHeight = groupHeight + 56;
    Add(Control(DialogControlKind::GroupBox, L"GroupBoxColorSetting", 0, L"Color Setting",
                kGroupLeft, 6, groupWidth, groupHeight));
    for (size_t i = 0; i < kPaletteSize; ++i) {
        const auto column = static_cast<int32_t>(i) % kPaletteColumns;
        const auto row = static_cast<int32_t>(i) / kPaletteColumns;
        DialogControl swatch =
            Control(DialogControlKind::Swatch, L"Shape" + std::to_wstring(i + 1),
                    static_cast<int32_t>(i + 1), L"", kFirstSwatchLeft + column * kSwatchPitch,
                    kFirstSwatchTop + row * kSwatchPitch, kSwatchSize, kSwatchSize);
        swatch.brushColour = kPaletteColours[i];
        Add(swatch);
    }
    const int32_t buttonTop = groupHeight + 18;
    Add(Control(DialogControlKind::Button, L"LEDColorOKButton", 0, L"OK",
                frame.clientWidth / 2 - 88, buttonTop, 80, 26));
    Add(Control(DialogControlKind::Button, L"LEDColorCancelButton", 0, L"Cancel",
                frame.clientWidth / 2 + 8, buttonTop, 80, 26));
    DialogControl& first = *Find(L"Shape1");
    first.penColour = kSwatchHighlight;
    first.penWidth = kHighlightWidth;
}

uint32_t TLEDColorForm::ShowModal(UiHost& ui) {
    ClearCloseRequest();
    ui.ShowModalDialog(*this);
    return result_;
}

void TLEDColorForm::OnPress(DialogControl& control) {
    if (control.kind == DialogControlKind::Swatch) {
        SwatchMouseDown(control);
    } else if (control.name == L"LEDColorOKButton") {
        OKButtonClick();
    } else if (control.name == L"LEDColorCancelButton") {
        CancelButtonClick();
    }
}

void TLEDColorForm::SwatchMouseDown(DialogControl& swatch) {
    if (DialogControl* previous = Find(L"Shape" + std::to_wstring(highlighted_))) {
        previous->penColour = 0;
        previous->penWidth = 1;
    }
    swatch.penColour = kSwatchHighlight;
    swatch.penWidth = kHighlightWidth;
    highlighted_ = swatch.tag;
    picked_ = swatch.brushColour;
}

void TLEDColorForm::OKButtonClick() {
    result_ = picked_;
    RequestClose();
}

void TLEDColorForm::CancelButtonClick() {
    result_ = 0;
    RequestClose();
}

}  // namespace tavrin
