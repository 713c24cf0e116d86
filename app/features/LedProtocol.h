#pragma once
// What the page and the LED settings dialog share about the headset's lighting: the mode codes
// of the mode request and how a colour travels (three bytes, red first).
#include <cstdint>

namespace tavrin {

// The device's LED modes: the mode byte of the mode requests.
namespace led_mode {
inline constexpr int32_t kOnOff = 1;  // fourth byte 1: off, 0: on
inline constexpr int32_t kSingleColour = 2;
inline constexpr int32_t kBlinking = 3;
inline constexpr int32_t kBreathe = 4;
inline constexpr int32_t kRainbow = 5;
inline constexpr int32_t kMultiBreathe = 6;
inline constexpr int32_t kSingleRandom = 7;
}  // namespace led_mode

inline constexpr uint8_t kLedTarget = 58;  // the master path's LED controller
inline constexpr uint8_t kLedStepCount = 7;
inline constexpr int32_t kLedSlotCount = 7;
// The highlight of a chosen swatch.
inline constexpr uint32_t kSwatchHighlight = 0xF0CAA6;

// A colour as 0x00BBGGRR (red in the low byte), split for a request.
struct RgbBytes {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
};
inline RgbBytes SplitColour(uint32_t colour) {
    return {static_cast<uint8_t>(colour & 0xFF), static_cast<uint8_t>((colour >> 8) & 0xFF),
            static_cast<uint8_t>((colour >> 16) & 0xFF)};
}

}  // namespace tavrin
