#pragma once
// The main window's controls as one table: for every interactive picture and its caption the
// tag that dispatches its presses, the page it lives on, its Up and Down pictures, the label
// record its caption takes its colours from, whether it works without a device, and the
// feature unit it belongs to. The window's press, release, look and drag code reads this table
// and knows no feature by name.
#include <cstdint>
#include <span>
#include <string_view>

#include "app/form/FormModel.h"

namespace tavrin {

// Sections of SkinSetting.ini.
namespace skin_section {
inline constexpr wchar_t kMain[] = L"Main";
inline constexpr wchar_t kEq[] = L"EQ";
inline constexpr wchar_t k3D[] = L"3D";
inline constexpr wchar_t kEffect[] = L"Effect";
inline constexpr wchar_t kMic[] = L"Mic";
inline constexpr wchar_t kVirtual[] = L"Virtual7ch1";
inline constexpr wchar_t kAbout[] = L"About";
inline constexpr wchar_t kLed[] = L"LED";
inline constexpr wchar_t kEnc[] = L"ENC";
inline constexpr wchar_t kVoiceMagic[] = L"VoiceMagic";
}  // namespace skin_section

// Who acts on a control's presses. The window owns its frame, page tabs and device indicators;
// every other control belongs to one feature unit.
enum class FeatureUnitId {
    Window,
    Equalizer,
    ThreeD,
    EnvironmentEffects,
    Virtual7ch1,
    Microphone,
    EncVoiceMagic,
    Lighting,
    Buttons,
    Profiles,
    About,
};
inline constexpr size_t kFeatureUnitCount = static_cast<size_t>(FeatureUnitId::About) + 1;

enum class ControlRole {
    Button,     // a press (and release) the owner handles; two looks when it has picture keys
    Momentary,  // Down picture and caption colour while pressed, Up again on release
    PageTab,    // shows its page
    Slider,     // the pointer drags it
    Bar,        // a press places its slider on the pointer at once
    Indicator,  // shows a state, takes no press
};

// The device gate of a press: without an active device a press on a gated control shows the
// warning box and changes nothing. (Dragging a slider or pressing a bar needs the device always.)
enum class DeviceGate { Needed, NotNeeded };

inline constexpr int32_t kNoTag = -1;

struct ControlRow {
    int32_t tag;
    const wchar_t* image;  // the picture's name, or null
    const wchar_t* label;  // its caption's name, or null
    int32_t page;          // 0: on every page
    ControlRole role;
    const wchar_t* section;        // the skin section of the two pictures, or null
    const wchar_t* upKey;          // the Up picture's key, or null: one look only
    const wchar_t* downKey;        // the Down picture's key
    const wchar_t* captionRecord;  // the label whose record gives the caption's colours; null:
                                   // the caption's own
    DeviceGate gate;
    FeatureUnitId unit;
};

// The control's look follows a state of the window: a two-state button, a page tab or an
// indicator (a momentary button is Down only while pressed).
inline bool ShowsState(const ControlRow& row) {
    if (row.role == ControlRole::Momentary) return false;
    return row.upKey != nullptr || row.role == ControlRole::PageTab ||
           row.role == ControlRole::Indicator;
}

// Every row, in tag order, then the controls without a tag.
std::span<const ControlRow> ControlRows();
// The row of a control by its name (picture or caption), null for controls outside the table.
const ControlRow* FindControlRow(std::wstring_view name);
// The row of a tag, null for tags outside the table.
const ControlRow* FindControlRowByTag(int32_t tag);
// The row that dispatches a component's presses: its own, else its tag's.
const ControlRow* FindControlRow(const Component& component);

// Tags the feature units name in their own code.
namespace control_tag {
inline constexpr int32_t kClose = 0;
inline constexpr int32_t kMinimize = 1;
inline constexpr int32_t kSave = 2;
inline constexpr int32_t kLoad = 3;
inline constexpr int32_t kAbout = 4;
inline constexpr int32_t kEqReset = 5;
inline constexpr int32_t k3DReset = 6;
inline constexpr int32_t kEqEnable = 7;
inline constexpr int32_t k3DEnable = 8;
inline constexpr int32_t kFirstPreset = 9;  // S1..S4: 9..12
inline constexpr int32_t kFbm = 13;
inline constexpr int32_t kAlphaLink = 14;
inline constexpr int32_t kBetaLink = 15;
inline constexpr int32_t kFirstEffect = 16;  // effects 1..5: 16..20
inline constexpr int32_t kMicBoost = 21;
inline constexpr int32_t kMicMute = 22;
inline constexpr int32_t kPageEq = 23;
inline constexpr int32_t kPage3D = 24;
inline constexpr int32_t kPageEffect = 25;
inline constexpr int32_t kPageMic = 26;
inline constexpr int32_t kPageVirtual = 27;
inline constexpr int32_t kSync = 28;
inline constexpr int32_t kFirstEqSlider = 29;  // bands 0..4: 29..33
inline constexpr int32_t kMicSlider = 38;
inline constexpr int32_t kFirstSpeaker = 39;  // the eight speakers: 39..46
inline constexpr int32_t kLastSpeaker = 46;
inline constexpr int32_t kVirtualEnable = 47;
inline constexpr int32_t kVirtualReset = 48;
inline constexpr int32_t kRotateCw = 49;
inline constexpr int32_t kRotateCcw = 50;
inline constexpr int32_t kLedButton = 51;
inline constexpr int32_t kNarrow = 52;
inline constexpr int32_t kEnlarge = 53;
inline constexpr int32_t kDeviceIn = 54;
inline constexpr int32_t kDeviceOut = 55;
inline constexpr int32_t kMicMonitor = 89;
inline constexpr int32_t kPageVoiceMagic = 226;
inline constexpr int32_t kPageEnc = 227;
inline constexpr int32_t kPageLed = 228;
// A bar carries its slider's tag + 100, a filled bar + 200.
inline constexpr int32_t kBarOffset = 100;
inline constexpr int32_t kFilledBarOffset = 200;
}  // namespace control_tag

// Page numbers (m_iCurrentPage).
namespace page {
inline constexpr int32_t kEq = 1;
inline constexpr int32_t kEffect = 2;
inline constexpr int32_t kMic = 3;
inline constexpr int32_t kVirtual = 4;
inline constexpr int32_t k3D = 5;
inline constexpr int32_t kLed = 6;
inline constexpr int32_t kEnc = 7;
inline constexpr int32_t kVoiceMagic = 8;
}  // namespace page

}  // namespace tavrin
