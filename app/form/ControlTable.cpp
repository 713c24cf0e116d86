#include "app/form/ControlTable.h"

#include <array>

namespace tavrin {
namespace {

using namespace skin_section;
using Role = ControlRole;
using Unit = FeatureUnitId;
constexpr DeviceGate kGated = DeviceGate::Needed;
constexpr DeviceGate kFree = DeviceGate::NotNeeded;

// clang-format off
constexpr ControlRow kRows[] = {
    // tag  picture                   caption                 page  role            section   Up picture                          Down picture                          caption colours       gate    unit
    {0,   L"CloseImage",              nullptr,                0, Role::Momentary, kMain,    L"CloseImageUp",                    L"CloseImageDown",                    nullptr,              kFree,  Unit::Window},
    {1,   L"MinimizeImage",           nullptr,                0, Role::Momentary, kMain,    L"MinimizeImageUp",                 L"MinimizeImageDown",                 nullptr,              kFree,  Unit::Window},
    {2,   L"Menu1Image",              L"Menu1Label",          0, Role::Momentary, kMain,    L"Menu1ImageUp",                    L"Menu1ImageDown",                    nullptr,              kGated, Unit::Profiles},
    {3,   L"Menu2Image",              L"Menu2Label",          0, Role::Momentary, kMain,    L"Menu2ImageUp",                    L"Menu2ImageDown",                    nullptr,              kGated, Unit::Profiles},
    {4,   L"Menu3Image",              L"Menu3Label",          0, Role::Momentary, kMain,    L"Menu3ImageUp",                    L"Menu3ImageDown",                    nullptr,              kFree,  Unit::About},
    {5,   L"EQResetImage",            L"EQResetLabel",        1, Role::Momentary, kEq,      L"EQResetImageUp",                  L"EQResetImageDown",                  nullptr,              kGated, Unit::Equalizer},
    {6,   L"D3ResetImage",            L"D3ResetLabel",        5, Role::Momentary, k3D,      L"D3ResetImageUp",                  L"D3ResetImageDown",                  nullptr,              kGated, Unit::ThreeD},
    {7,   L"EQEQENImage",             L"EQEQENLabel",         1, Role::Button,    kEq,      L"EQEQENImageUp",                   L"EQEQENImageDown",                   nullptr,              kGated, Unit::Equalizer},
    {8,   L"EQ3DENImage",             L"EQ3DENLabel",         1, Role::Button,    kEq,      L"EQ3DENImageUp",                   L"EQ3DENImageDown",                   nullptr,              kGated, Unit::ThreeD},
    {9,   L"EQS1Image",               L"EQS1Label",           1, Role::Button,    kEq,      L"EQS1ImageUp",                     L"EQS1ImageDown",                     L"EQS1Label",         kGated, Unit::Equalizer},
    {10,  L"EQS2Image",               L"EQS2Label",           1, Role::Button,    kEq,      L"EQS2ImageUp",                     L"EQS2ImageDown",                     L"EQS1Label",         kGated, Unit::Equalizer},
    {11,  L"EQS3Image",               L"EQS3Label",           1, Role::Button,    kEq,      L"EQS3ImageUp",                     L"EQS3ImageDown",                     L"EQS1Label",         kGated, Unit::Equalizer},
    {12,  L"EQS4Image",               L"EQS4Label",           1, Role::Button,    kEq,      L"EQS4ImageUp",                     L"EQS4ImageDown",                     L"EQS1Label",         kGated, Unit::Equalizer},
    {13,  L"D3FBMImage",              L"D3FBMLabel",          5, Role::Button,    k3D,      L"D3FBMImageUp",                    L"D3FBMImageDown",                    nullptr,              kGated, Unit::ThreeD},
    {14,  L"D3AlphaImage",            nullptr,                5, Role::Button,    nullptr,  nullptr,                            nullptr,                              nullptr,              kFree,  Unit::ThreeD},
    {15,  L"D3BetaImage",             nullptr,                5, Role::Button,    nullptr,  nullptr,                            nullptr,                              nullptr,              kFree,  Unit::ThreeD},
    // The effect buttons pair with their pictures by tag: the picture named after StoneGallery
    // carries the Bathroom tag and the other way round.
    {16,  L"EffectButtonNonImage",          L"EffectNonLabel",          2, Role::Button, kEffect, L"EffectButtonNonImageUp",          L"EffectButtonNonImageDown",          L"EffectNonLabel", kGated, Unit::EnvironmentEffects},
    {17,  L"EffectButtonTheaterImage",      L"EffectTheaterLabel",      2, Role::Button, kEffect, L"EffectButtonTheaterImageUp",      L"EffectButtonTheaterImageDown",      L"EffectNonLabel", kGated, Unit::EnvironmentEffects},
    {18,  L"EffectButtonStoneGalleryImage", L"EffectBathroomLabel",     2, Role::Button, kEffect, L"EffectButtonBathroomImageUp",     L"EffectButtonBathroomImageDown",     L"EffectNonLabel", kGated, Unit::EnvironmentEffects},
    {19,  L"EffectButtonLivingroomImage",   L"EffectLivingroomLabel",   2, Role::Button, kEffect, L"EffectButtonLivingroomImageUp",   L"EffectButtonLivingroomImageDown",   L"EffectNonLabel", kGated, Unit::EnvironmentEffects},
    {20,  L"EffectButtonBathroomImage",     L"EffectStoneGalleryLabel", 2, Role::Button, kEffect, L"EffectButtonStoneGalleryImageUp", L"EffectButtonStoneGalleryImageDown", L"EffectNonLabel", kGated, Unit::EnvironmentEffects},
    {21,  L"MicBoostImage",           L"MicBoostLabel",       3, Role::Button,    kMic,     L"MicBoostImageUp",                 L"MicBoostImageDown",                 nullptr,              kGated, Unit::Microphone},
    {22,  L"MicMuteImage",            L"MicMuteLabel",        3, Role::Button,    kMic,     L"MicMuteImageUp",                  L"MicMuteImageDown",                  nullptr,              kGated, Unit::Microphone},
    {23,  L"PageEQImage",             L"PageEQLabel",         1, Role::PageTab,   kMain,    L"PageEQUpImage",                   L"PageEQDownImage",                   L"PageEQLabel",       kGated, Unit::Window},
    {24,  L"Page3DImage",             L"Page3DLabel",         5, Role::PageTab,   nullptr,  nullptr,                            nullptr,                              L"PageEQLabel",       kGated, Unit::Window},
    {25,  L"PageEffectImage",         L"PageEffectLabel",     2, Role::PageTab,   kMain,    L"PageEffectUpImage",               L"PageEffectDownImage",               L"PageEQLabel",       kGated, Unit::Window},
    {26,  L"PageMicImage",            L"PageMicLabel",        3, Role::PageTab,   kMain,    L"PageMicUpImage",                  L"PageMicDownImage",                  L"PageEQLabel",       kGated, Unit::Window},
    {27,  L"PageVirtual7p1Image",     L"PageVirtual7p1Label", 4, Role::PageTab,   kMain,    L"PageVirtual7p1UpImage",           L"PageVirtual7p1DownImage",           L"PageEQLabel",       kGated, Unit::Window},
    {28,  L"SyncImage",               L"SyncLabel",           0, Role::Button,    nullptr,  nullptr,                            nullptr,                              nullptr,              kFree,  Unit::Window},
    {29,  L"EQ60HzSliderImage",       L"EQ60HzValueLabel",    1, Role::Slider,    nullptr,  nullptr,                            nullptr,                              nullptr,              kFree,  Unit::Equalizer},
    {30,  L"EQ300HzSliderImage",      L"EQ300HzValueLabel",   1, Role::Slider,    nullptr,  nullptr,                            nullptr,                              nullptr,              kGated, Unit::Equalizer},
    {31,  L"EQ1200HzSliderImage",     L"EQ1200HzValueLabel",  1, Role::Slider,    nullptr,  nullptr,                            nullptr,                              nullptr,              kGated, Unit::Equalizer},
    {32,  L"EQ3600HzSliderImage",     L"EQ3600HzValueLabel",  1, Role::Slider,    nullptr,  nullptr,                            nullptr,                              nullptr,              kGated, Unit::Equalizer},
    {33,  L"EQ12000HzSliderImage",    L"EQ12000HzValueLabel", 1, Role::Slider,    nullptr,  nullptr,                            nullptr,                              nullptr,              kGated, Unit::Equalizer},
    {34,  L"D3LBetaSliderImage",      nullptr,                5, Role::Slider,    nullptr,  nullptr,                            nullptr,                              nullptr,              kGated, Unit::ThreeD},
    {35,  L"D3LAlphaSliderImage",     nullptr,                5, Role::Slider,    nullptr,  nullptr,                            nullptr,                              nullptr,              kGated, Unit::ThreeD},
    {36,  L"D3RBetaSliderImage",      nullptr,                5, Role::Slider,    nullptr,  nullptr,                            nullptr,                              nullptr,              kGated, Unit::ThreeD},
    {37,  L"D3RAlphaSliderImage",     nullptr,                5, Role::Slider,    nullptr,  nullptr,                            nullptr,                              nullptr,              kGated, Unit::ThreeD},
    {38,  L"MicSliderImage",          L"MicValueLabel",       3, Role::Slider,    nullptr,  nullptr,                            nullptr,                              nullptr,              kGated, Unit::Microphone},
    {39,  L"VirtualLImage",           nullptr,                4, Role::Slider,    nullptr,  nullptr,                            nullptr,                              nullptr,              kGated, Unit::Virtual7ch1},
    {40,  L"VirtualRImage",           nullptr,                4, Role::Slider,    nullptr,  nullptr,                            nullptr,                              nullptr,              kGated, Unit::Virtual7ch1},
    {41,  L"VirtualCImage",           nullptr,                4, Role::Slider,    nullptr,  nullptr,                            nullptr,                              nullptr,              kGated, Unit::Virtual7ch1},
    {42,  L"VirtualSUBImage",         nullptr,                4, Role::Slider,    nullptr,  nullptr,                            nullptr,                              nullptr,              kGated, Unit::Virtual7ch1},
    {43,  L"VirtualLSImage",          nullptr,                4, Role::Slider,    nullptr,  nullptr,                            nullptr,                              nullptr,              kGated, Unit::Virtual7ch1},
    {44,  L"VirtualRSImage",          nullptr,                4, Role::Slider,    nullptr,  nullptr,                            nullptr,                              nullptr,              kGated, Unit::Virtual7ch1},
    {45,  L"VirtualLBImage",          nullptr,                4, Role::Slider,    nullptr,  nullptr,                            nullptr,                              nullptr,              kGated, Unit::Virtual7ch1},
    {46,  L"VirtualRBImage",          nullptr,                4, Role::Slider,    nullptr,  nullptr,                            nullptr,                              nullptr,              kGated, Unit::Virtual7ch1},
    {47,  L"VirtualEnableImage",      L"VirtualENLabel",      4, Role::Button,    kVirtual, L"VirtualEnableImageUp",            L"VirtualEnableImageDown",            nullptr,              kGated, Unit::Virtual7ch1},
    {48,  L"VirtualResetImage",       L"VirtualResetLabel",   4, Role::Momentary, kVirtual, L"VirtualResetUpImage",             L"VirtualResetDownImage",             nullptr,              kGated, Unit::Virtual7ch1},
    {49,  L"VirtualClockwiseImage",   L"VirtualClockwiseLabel", 4, Role::Button,  kVirtual, L"VirtualClockwiseUpImage",         L"VirtualClockwiseDownImage",         nullptr,              kFree,  Unit::Virtual7ch1},
    {50,  L"VirtualCounterclockwiseImage", L"VirtualCounterclockwiseLabel", 4, Role::Button, kVirtual, L"VirtualCounterclockwiseUpImage", L"VirtualCounterclockwiseDownImage", nullptr, kFree, Unit::Virtual7ch1},
    {51,  L"LEDImage",                nullptr,                0, Role::Momentary, kMain,    L"LedImageUp",                      L"LedImageDown",                      nullptr,              kGated, Unit::Lighting},
    {52,  L"VirtualNarrowImage",      L"VirtualNarrowLabel",  4, Role::Button,    kVirtual, L"VirtualNarrowUpImage",            L"VirtualNarrowDownImage",            nullptr,              kGated, Unit::Virtual7ch1},
    {53,  L"VirtualEnlargeImage",     L"VirtualEnlargeLabel", 4, Role::Button,    kVirtual, L"VirtualEnlargeUpImage",           L"VirtualEnlargeDownImage",           nullptr,              kGated, Unit::Virtual7ch1},
    {54,  L"DeviceInImage",           L"DeviceInLabel",       0, Role::Indicator, kMain,    L"DeviceActiveUpImage",             L"DeviceActiveDownImage",             nullptr,              kFree,  Unit::Window},
    {55,  L"DeviceOutImage",          L"DeviceOutLabel",      0, Role::Indicator, kMain,    L"DeviceUnActiveUpImage",           L"DeviceUnActiveDownImage",           nullptr,              kFree,  Unit::Window},
    {89,  L"MicMonitorImage",         L"MicMonitorLabel",     3, Role::Button,    kMic,     L"MicMonitorImageUp",               L"MicMonitorImageDown",               nullptr,              kGated, Unit::Microphone},
    {129, L"EQ60HzBarImage",          nullptr,                1, Role::Bar,       nullptr,  nullptr,                            nullptr,                              nullptr,              kGated, Unit::Equalizer},
    {130, L"EQ300HzBarImage",         nullptr,                1, Role::Bar,       nullptr,  nullptr,                            nullptr,                              nullptr,              kGated, Unit::Equalizer},
    {131, L"EQ1200HzBarImage",        nullptr,                1, Role::Bar,       nullptr,  nullptr,                            nullptr,                              nullptr,              kGated, Unit::Equalizer},
    {132, L"EQ3600HzBarImage",        nullptr,                1, Role::Bar,       nullptr,  nullptr,                            nullptr,                              nullptr,              kGated, Unit::Equalizer},
    {133, L"EQ12000HzBarImage",       nullptr,                1, Role::Bar,       nullptr,  nullptr,                            nullptr,                              nullptr,              kGated, Unit::Equalizer},
    {138, L"MicBarImage",             nullptr,                3, Role::Bar,       nullptr,  nullptr,                            nullptr,                              nullptr,              kGated, Unit::Microphone},
    {151, L"Color01Shape",            nullptr,                6, Role::Button,    nullptr,  nullptr,                            nullptr,                              nullptr,              kFree,  Unit::Lighting},
    {152, L"Color02Shape",            nullptr,                6, Role::Button,    nullptr,  nullptr,                            nullptr,                              nullptr,              kFree,  Unit::Lighting},
    {153, L"Color03Shape",            nullptr,                6, Role::Button,    nullptr,  nullptr,                            nullptr,                              nullptr,              kFree,  Unit::Lighting},
    {154, L"Color04Shape",            nullptr,                6, Role::Button,    nullptr,  nullptr,                            nullptr,                              nullptr,              kFree,  Unit::Lighting},
    {155, L"Color05Shape",            nullptr,                6, Role::Button,    nullptr,  nullptr,                            nullptr,                              nullptr,              kFree,  Unit::Lighting},
    {156, L"Color06Shape",            nullptr,                6, Role::Button,    nullptr,  nullptr,                            nullptr,                              nullptr,              kFree,  Unit::Lighting},
    {157, L"Color07Shape",            nullptr,                6, Role::Button,    nullptr,  nullptr,                            nullptr,                              nullptr,              kFree,  Unit::Lighting},
    {183, L"ColorBreatheShape",       nullptr,                6, Role::Button,    nullptr,  nullptr,                            nullptr,                              nullptr,              kFree,  Unit::Lighting},
    {184, L"ColorSingleShape",        nullptr,                6, Role::Button,    nullptr,  nullptr,                            nullptr,                              nullptr,              kFree,  Unit::Lighting},
    {226, L"PageVMEffectImage",       L"PageVMEffectLabel",   8, Role::PageTab,   kMain,    L"PageVMEffectUpImage",             L"PageVMEffectDownImage",             L"PageEQLabel",       kGated, Unit::Window},
    {227, L"PageENCImage",            L"PageENCLabel",        7, Role::PageTab,   kMain,    L"PageENCUpImage",                  L"PageENCDownImage",                  L"PageEQLabel",       kGated, Unit::Window},
    {228, L"PageLEDImage",            L"PageLEDLabel",        6, Role::PageTab,   kMain,    L"PageLEDUpImage",                  L"PageLEDDownImage",                  L"PageEQLabel",       kGated, Unit::Lighting},
    {229, L"EQ60HzBarDownImage",      nullptr,                1, Role::Bar,       nullptr,  nullptr,                            nullptr,                              nullptr,              kGated, Unit::Equalizer},
    {230, L"EQ300HzBarDownImage",     nullptr,                1, Role::Bar,       nullptr,  nullptr,                            nullptr,                              nullptr,              kGated, Unit::Equalizer},
    {231, L"EQ1200HzBarDownImage",    nullptr,                1, Role::Bar,       nullptr,  nullptr,                            nullptr,                              nullptr,              kGated, Unit::Equalizer},
    {232, L"EQ3600HzBarDownImage",    nullptr,                1, Role::Bar,       nullptr,  nullptr,                            nullptr,                              nullptr,              kGated, Unit::Equalizer},
    {233, L"EQ12000HzBarDownImage",   nullptr,                1, Role::Bar,       nullptr,  nullptr,                            nullptr,                              nullptr,              kGated, Unit::Equalizer},
    {238, L"MicBarDownImage",         nullptr,                3, Role::Bar,       nullptr,  nullptr,                            nullptr,                              nullptr,              kGated, Unit::Microphone},
    // Controls without a tag: their presses come through the handlers the design names.
    {kNoTag, L"D33DENImage",          L"D33DENLabel",         5, Role::Indicator, k3D,      L"D33DENImageUp",                   L"D33DENImageDown",                   nullptr,              kFree,  Unit::ThreeD},
    {kNoTag, L"EffectNonImage",       nullptr,                2, Role::Indicator, kEffect, L"EffectNonUpImage", L"EffectNonDownImage",                              nullptr,              kFree,  Unit::EnvironmentEffects},
    {kNoTag, L"EffectTheaterImage",   nullptr,                2, Role::Indicator, kEffect, L"EffectTheaterUpImage", L"EffectTheaterDownImage",                              nullptr,              kFree,  Unit::EnvironmentEffects},
    {kNoTag, L"EffectBathroomImage",  nullptr,                2, Role::Indicator, kEffect, L"EffectBathroomUpImage", L"EffectBathroomDownImage",                              nullptr,              kFree,  Unit::EnvironmentEffects},
    {kNoTag, L"EffectLivingroomImage", nullptr,               2, Role::Indicator, kEffect, L"EffectLivingroomUpImage", L"EffectLivingroomDownImage",                              nullptr,              kFree,  Unit::EnvironmentEffects},
    {kNoTag, L"EffectStoneGalleryImage", nullptr,             2, Role::Indicator, kEffect, L"EffectStoneGalleryUpImage", L"EffectStoneGalleryDownImage",                              nullptr,              kFree,  Unit::EnvironmentEffects},
    // ENC and Voice Magic: their captions take the colours of the effect captions.
    {kNoTag, L"ENCFunctionImage",     L"ENCFunctionLabel",    7, Role::Button,    kEnc,     L"ENCFunctionUpImage",              L"ENCFunctionDownImage",              L"EffectNonLabel",    kFree,  Unit::EncVoiceMagic},
    {kNoTag, L"ENCSliderImage",       nullptr,                7, Role::Slider,    nullptr,  nullptr,                            nullptr,                              nullptr,              kGated, Unit::EncVoiceMagic},
    {kNoTag, L"ENCBarImage",          nullptr,                7, Role::Bar,       nullptr,  nullptr,                            nullptr,                              nullptr,              kGated, Unit::EncVoiceMagic},
    {kNoTag, L"VMFunctionImage",      L"VMFunctionLabel",     8, Role::Button,    kVoiceMagic, L"VMFunctionUpImage",            L"VMFunctionDownImage",               L"EffectNonLabel",    kFree,  Unit::EncVoiceMagic},
    {kNoTag, L"VMEffectNoneImage",    L"VMEffectNoneLabel",   8, Role::Button,    kVoiceMagic, L"VMEffectNoneUpImage",          L"VMEffectNoneDownImage",             L"EffectNonLabel",    kFree,  Unit::EncVoiceMagic},
    {kNoTag, L"VMEffect1Image",       L"VMEffect1Label",      8, Role::Button,    kVoiceMagic, L"VMEffect1UpImage",             L"VMEffect1DownImage",                L"EffectNonLabel",    kFree,  Unit::EncVoiceMagic},
    {kNoTag, L"VMEffect2Image",       L"VMEffect2Label",      8, Role::Button,    kVoiceMagic, L"VMEffect2UpImage",             L"VMEffect2DownImage",                L"EffectNonLabel",    kFree,  Unit::EncVoiceMagic},
    {kNoTag, L"VMEffect3Image",       L"VMEffect3Label",      8, Role::Button,    kVoiceMagic, L"VMEffect3UpImage",             L"VMEffect3DownImage",                L"EffectNonLabel",    kFree,  Unit::EncVoiceMagic},
    {kNoTag, L"VMEffect4Image",       L"VMEffect4Label",      8, Role::Button,    kVoiceMagic, L"VMEffect4UpImage",             L"VMEffect4DownImage",                L"EffectNonLabel",    kFree,  Unit::EncVoiceMagic},
    {kNoTag, L"ColorLEDOffCheckImage", L"ColorLEDOffLabel",   6, Role::Button,    nullptr,  nullptr,                            nullptr,                              nullptr,              kFree,  Unit::Lighting},
    {kNoTag, L"ColorSingleCheckImage", L"ColorSingleLabel",   6, Role::Button,    nullptr,  nullptr,                            nullptr,                              nullptr,              kFree,  Unit::Lighting},
    {kNoTag, L"ColorBreatheCheckImage", L"ColorBreatheLabel", 6, Role::Button,    nullptr,  nullptr,                            nullptr,                              nullptr,              kFree,  Unit::Lighting},
    {kNoTag, L"ColorRainbowCheckImage", L"ColorRainbowLabel", 6, Role::Button,    nullptr,  nullptr,                            nullptr,                              nullptr,              kFree,  Unit::Lighting},
    {kNoTag, L"ColorPulsatingCheckImage", L"ColorPulsatingLabel", 6, Role::Button, nullptr, nullptr,                            nullptr,                              nullptr,              kFree,  Unit::Lighting},
    {kNoTag, L"ListenToDeviceCheckBox", nullptr,              3, Role::Button,    nullptr,  nullptr,                            nullptr,                              nullptr,              kFree,  Unit::Microphone},
    {kNoTag, L"BeeCheckBox",          nullptr,                4, Role::Button,    nullptr,  nullptr,                            nullptr,                              nullptr,              kFree,  Unit::Virtual7ch1},
    // The speed sliders: the unit places them on their bars.
    {kNoTag, L"ColorBreatheSliderImage", nullptr,             6, Role::Slider,    nullptr,  nullptr,                            nullptr,                              nullptr,              kGated, Unit::Lighting},
    {kNoTag, L"ColorRainbowSliderImage", nullptr,             6, Role::Slider,    nullptr,  nullptr,                            nullptr,                              nullptr,              kGated, Unit::Lighting},
    {kNoTag, L"ColorPulsatingSliderImage", nullptr,           6, Role::Slider,    nullptr,  nullptr,                            nullptr,                              nullptr,              kGated, Unit::Lighting},
};
// clang-format on

bool Names(const wchar_t* name, std::wstring_view wanted) {
    return name != nullptr && wanted == name;
}

}  // namespace

std::span<const ControlRow> ControlRows() {
    return kRows;
}

const ControlRow* FindControlRow(std::wstring_view name) {
    for (const ControlRow& row : kRows) {
        if (Names(row.image, name) || Names(row.label, name)) return &row;
    }
    return nullptr;
}

const ControlRow* FindControlRowByTag(int32_t tag) {
    if (tag == kNoTag) return nullptr;
    for (const ControlRow& row : kRows) {
        if (row.tag == tag) return &row;
    }
    return nullptr;
}

const ControlRow* FindControlRow(const Component& component) {
    if (const ControlRow* row = FindControlRow(component.name)) return row;
    // A caption not named in the table acts as the picture with its tag.
    return component.kind == ComponentKind::Label ? FindControlRowByTag(component.tag) : nullptr;
}

}  // namespace tavrin
