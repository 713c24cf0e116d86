#pragma once
// What the user has chosen for the active device: the switches, presets, effect, speaker
// motion, microphone and voice choices. The window owns one; user actions, hardware buttons and
// profiles change it first and then the device. Whether a device is active (and may be written
// to directly) is kept by device discovery.
#include <array>
#include <cstdint>

namespace tavrin {

// The environment effects 1..5 (m_iCurrentEffect) as their pictures and controls spell them.
inline constexpr std::array<const wchar_t*, 5> kEffectNames = {L"Non", L"Theater", L"Bathroom",
                                                               L"Livingroom", L"StoneGallery"};

struct SettingsModel {
    int32_t m_bProfileBusy = 0;
    int32_t m_iCurrentPage = 1;
    int32_t m_bEQEnable = 0;
    int32_t m_iEQPreset = 1;
    int32_t m_bEQFlat = 0;
    int32_t m_bEQFromEEPROM = 0;
    int32_t m_b3DEnable = 0;
    int32_t m_bFBM = 1;
    int32_t m_iAlphaLink = -1;
    int32_t m_iBetaLink = -1;
    int32_t m_b3DFromEEPROM = 0;
    int32_t m_iCurrentEffect = 1;
    int32_t m_b7ch1Enable = 0;
    int32_t m_bRotateCW = 0;
    int32_t m_bRotateCCW = 0;
    int32_t m_bEnlarge = 0;
    int32_t m_bNarrow = 0;
    float m_fV7ch1Scalar = 2.0f;
    int32_t m_b3DV7ch1Exclusive = 0;
    int32_t m_bMicBoost = 0;
    int32_t m_bMicMute = 0;
    int32_t m_bMicMonitor = 0;
    int32_t m_iMicGain = 0;
    int32_t m_iMicMonitorMode = 1;
    int32_t m_bENCSupported = 0;
    int32_t m_bENCEnable = 0;
    int32_t m_iENCValue = 0;
    int32_t m_bVoiceMagicEnable = 0;
    int32_t m_iVoiceMagicMode = 0;
    int32_t m_bSaved7ch1Enable = 0;
    int32_t m_bDefaultEQEnable = 0;
    int32_t m_bDefault3DEnable = 0;
    int32_t m_bDefault7ch1Enable = 0;
    int32_t m_bDefaultENCEnable = 0;
};

}  // namespace tavrin
