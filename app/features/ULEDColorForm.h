#pragma once
// TLEDColorForm, the colour palette: 48 swatches in six rows of eight, OK and Cancel. The
// program builds it at start; nothing opens it yet.
#include <array>
#include <cstdint>

#include "ports/Dialog.h"
#include "ports/UiHost.h"

namespace tavrin {

inline constexpr int32_t kPaletteColumns = 8;
inline constexpr int32_t kPaletteRows = 6;
inline constexpr size_t kPaletteSize = kPaletteColumns * kPaletteRows;
// Row by row: pale, light, full, deep and dark tints of eight hues (red, orange, yellow, green,
// cyan, blue, violet, magenta), then a row from white to the dimmest grey. As LED colours the
// darker rows light the same hue less brightly.
extern const std::array<uint32_t, kPaletteSize> kPaletteColours;

class TLEDColorForm final : public Dialog {
public:
    TLEDColorForm();

    // Modal; the result colour afterwards (0 = none).
    uint32_t ShowModal(UiHost& ui);

    void SwatchMouseDown(DialogControl& swatch);
    void OKButtonClick();
    void CancelButtonClick();

    uint32_t PickedColour() const { return picked_; }
    int32_t HighlightedTag() const { return highlighted_; }

protected:
    void OnPress(DialogControl& control) override;

private:
    uint32_t picked_ = 0;
    uint32_t result_ = 0;
    int32_t highlighted_ = 1;
};

}  // namespace tavrin
