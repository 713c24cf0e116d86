#include "app/features/ProfileFile.h"

#include <cwchar>

#include "common/AudioConfig.h"

namespace tavrin {
namespace {

using Id = ProfileKeyId;
using Format = ProfileFormat;

constexpr wchar_t kEq[] = L"EQ";
constexpr wchar_t k3D[] = L"3D";
constexpr wchar_t kEffect[] = L"Effect";
constexpr wchar_t kVirtual[] = L"Virtual7ch1";
constexpr wchar_t kLed[] = L"LED";
constexpr wchar_t kEnc[] = L"ENC";
constexpr wchar_t kVoiceMagic[] = L"VoiceMagic";

// clang-format off
constexpr ProfileKey kKeys[] = {
    {Id::S1, kEq, L"S1", 6, Format::Preset},
    {Id::S2, kEq, L"S2", 6, Format::Preset},
    {Id::S3, kEq, L"S3", 6, Format::Preset},
    {Id::S4, kEq, L"S4", 6, Format::Preset},
    {Id::EQEN, kEq, L"EQEN", 1, Format::Number},
    {Id::EQFromEEPROM, kEq, L"EQFromEEPROM", 1, Format::Number},
    {Id::LeftAlpha, k3D, L"LeftAlpha", 1, Format::Number},
    {Id::LeftBeta, k3D, L"LeftBeta", 1, Format::Number},
    {Id::RightAlpha, k3D, L"RightAlpha", 1, Format::Number},
    {Id::RightBeta, k3D, L"RightBeta", 1, Format::Number},
    {Id::FBM, k3D, L"FBM", 1, Format::Number},
    {Id::ThreeDEN, k3D, L"3DEN", 1, Format::Number},
    {Id::ThreeDFromEEPROM, k3D, L"3DFromEEPROM", 1, Format::Number},
    {Id::CurrentEffect, kEffect, L"CurrentEffect", 1, Format::Number},
    {Id::C, kVirtual, L"C", 2, Format::Position},
    {Id::L, kVirtual, L"L", 2, Format::Position},
    {Id::LS, kVirtual, L"LS", 2, Format::Position},
    {Id::LB, kVirtual, L"LB", 2, Format::Position},
    {Id::RB, kVirtual, L"RB", 2, Format::Position},
    {Id::RS, kVirtual, L"RS", 2, Format::Position},
    {Id::SUB, kVirtual, L"SUB", 2, Format::Position},
    {Id::R, kVirtual, L"R", 2, Format::Position},
    {Id::Virtual7ch1EN, kVirtual, L"7ch1EN", 1, Format::Number},
    {Id::LEDON, kLed, L"LEDON", 1, Format::Number},
    {Id::LEDPageMode, kLed, L"LEDPageMode", 1, Format::Number},
    {Id::LEDOff, kLed, L"LEDOff", 1, Format::Number},
    {Id::LEDSingleColor, kLed, L"LEDSingleColor", 1, Format::Number},
    {Id::LEDEffectMode, kLed, L"LEDEffectMode", 1, Format::Number},
    {Id::LEDBreatheSpeed, kLed, L"LEDBreatheSpeed", 1, Format::Number},
    {Id::LEDRainbowSpeed, kLed, L"LEDRainbowSpeed", 1, Format::Number},
    {Id::LEDMultiBreatheSpeed, kLed, L"LEDMultiBreatheSpeed", 1, Format::Number},
    {Id::LEDBreatheSliderPos, kLed, L"LEDBreatheSliderPos", 1, Format::Number},
    {Id::LEDRainbowSliderPos, kLed, L"LEDRainbowSliderPos", 1, Format::Number},
    {Id::LEDMultiBreatheSliderPos, kLed, L"LEDMultiBreatheSliderPos", 1, Format::Number},
    {Id::LEDSingleColorRGB, kLed, L"LEDSingleColorRGB", 1, Format::Number},
    {Id::LEDBreatheColorRGB, kLed, L"LEDBreatheColorRGB", 1, Format::Number},
    {Id::LEDColor1RGB, kLed, L"LEDColor1RGB", 1, Format::Number},
    {Id::LEDColor2RGB, kLed, L"LEDColor2RGB", 1, Format::Number},
    {Id::LEDColor3RGB, kLed, L"LEDColor3RGB", 1, Format::Number},
    {Id::LEDColor4RGB, kLed, L"LEDColor4RGB", 1, Format::Number},
    {Id::LEDColor5RGB, kLed, L"LEDColor5RGB", 1, Format::Number},
    {Id::LEDColor6RGB, kLed, L"LEDColor6RGB", 1, Format::Number},
    {Id::LEDColor7RGB, kLed, L"LEDColor7RGB", 1, Format::Number},
    {Id::LEDFastRightSide, kLed, L"LEDFastRightSide", 1, Format::Number},
    {Id::ENCEN, kEnc, L"ENCEN", 1, Format::Number},
    {Id::ENCValue, kEnc, L"ENCValue", 1, Format::Number},
    {Id::VoiceMagicEN, kVoiceMagic, L"VoiceMagicEN", 1, Format::Number},
    {Id::VoiceMagicMode, kVoiceMagic, L"VoiceMagicMode", 1, Format::Number},
};
// clang-format on
static_assert(std::size(kKeys) == kProfileKeyCount);

constexpr bool InTableOrder() {
    for (size_t i = 0; i < std::size(kKeys); ++i) {
        if (static_cast<size_t>(kKeys[i].id) != i) return false;
    }
    return true;
}
static_assert(InTableOrder(), "the table is indexed by ProfileKeyId");

std::wstring Formatted(const wchar_t* format, uint32_t value) {
    wchar_t text[16];
    std::swprintf(text, std::size(text), format, value);
    return text;
}

// Profile values are numbers: their text is ASCII.
std::string Narrow(const std::wstring& text) {
    std::string narrow;
    narrow.reserve(text.size());
    for (const wchar_t c : text) narrow += static_cast<char>(c < 0x80 ? c : '?');
    return narrow;
}

}  // namespace

std::span<const ProfileKey> ProfileKeys() {
    return kKeys;
}

const ProfileKey& ProfileKeyOf(ProfileKeyId id) {
    return kKeys[static_cast<size_t>(id)];
}

ProfileKeyId PresetKey(int32_t preset) {
    return static_cast<ProfileKeyId>(static_cast<int32_t>(Id::S1) + preset - 1);
}

const std::array<SpeakerKey, kSpeakerCount> kSpeakerKeys = {{
    {Id::L, L"VirtualLImage"},
    {Id::R, L"VirtualRImage"},
    {Id::C, L"VirtualCImage"},
    {Id::SUB, L"VirtualSUBImage"},
    {Id::LS, L"VirtualLSImage"},
    {Id::RS, L"VirtualRSImage"},
    {Id::LB, L"VirtualLBImage"},
    {Id::RB, L"VirtualRBImage"},
}};

void ProfileData::SetNumber(ProfileKeyId id, int32_t value) {
    SetValue(id, std::to_wstring(value));
}

void ProfileData::SetPreset(int32_t preset, const std::array<uint16_t, 5>& gains,
                            int32_t eqEnable) {
    std::wstring value;
    for (const uint16_t gain : gains) value += Formatted(L"0x%X,", gain);
    SetValue(PresetKey(preset), value + std::to_wstring(eqEnable));
}

void ProfileData::SetPosition(ProfileKeyId id, int32_t left, int32_t top) {
    SetValue(id, std::to_wstring(left) + L"," + std::to_wstring(top));
}

void ProfileData::SetOptionalNumber(ProfileKeyId id, std::optional<int32_t> value) {
    SetValue(id, value ? std::to_wstring(*value) : std::wstring());
}

std::vector<std::wstring> ProfileData::Items(ProfileKeyId id) const {
    std::vector<std::wstring> items = SplitAtCommas(Value(id));
    items.resize(ProfileKeyOf(id).items);
    for (std::wstring& item : items) {
        if (item.size() > kProfileItemMaxLength) item.resize(kProfileItemMaxLength);
    }
    return items;
}

std::array<std::wstring, kPresetItemCount> ProfileData::PresetItems(int32_t preset) const {
    const std::vector<std::wstring> items = Items(PresetKey(preset));
    std::array<std::wstring, kPresetItemCount> texts;
    std::copy(items.begin(), items.end(), texts.begin());
    return texts;
}

namespace {

int32_t StrictItem(const std::wstring& item) {
    if (const auto number = ParseInteger(item, true)) return *number;
    throw ConfigConversionError(item);
}

}  // namespace

int32_t ProfileData::StrictNumber(ProfileKeyId id) const {
    return StrictItem(Items(id).front());
}

std::array<int32_t, 2> ProfileData::StrictPosition(ProfileKeyId id) const {
    const std::vector<std::wstring> items = Items(id);
    const int32_t left = StrictItem(items[0]);
    return {left, StrictItem(items[1])};
}

int32_t ProfileData::ZeroWhenEmpty(ProfileKeyId id) const {
    return LenientInteger(Items(id).front());
}

std::optional<int32_t> ProfileData::GivenNumber(ProfileKeyId id) const {
    return ParseInteger(Items(id).front());
}

std::string ProfileText(const ProfileData& profile) {
    std::string text;
    const wchar_t* section = nullptr;
    for (const ProfileKey& key : kKeys) {
        if (section != key.section) {
            section = key.section;
            ((text += '[') += Narrow(section)) += "]\r\n";
        }
        (((text += Narrow(key.key)) += '=') += Narrow(profile.Value(key.id))) += "\r\n";
    }
    return text;
}

ProfileData ReadProfile(ProfileStore& profiles, const std::wstring& file) {
    ProfileData profile;
    for (const ProfileKey& key : kKeys) {
        profile.SetValue(
            key.id, ReadConfigValue(profiles, file, key.section, key.key, kProfileValueCapacity));
    }
    return profile;
}

bool WriteProfile(FileSystem& files, const std::wstring& file, const ProfileData& profile) {
    const std::string text = ProfileText(profile);
    return files.ReplaceFileAtomically(file, std::vector<uint8_t>(text.begin(), text.end()));
}

}  // namespace tavrin
