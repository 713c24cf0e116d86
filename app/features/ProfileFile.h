#pragma once
// A profile file: the keys it holds in the order they are written, the file's keys as one value,
// the whole text of a file, and the reader with the conversions each key's value goes through.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/features/SpeakerGeometry.h"
#include "ports/FileSystem.h"
#include "ports/ProfileStore.h"

namespace tavrin {

inline constexpr wchar_t kLastProfileFileName[] = L"LastProfile.ini";
inline constexpr wchar_t kDefaultProfileFileName[] = L"DefaultProfile.ini";
inline constexpr uint32_t kProfileValueCapacity = 256;  // one key's value as read: 255 characters
inline constexpr size_t kProfileItemMaxLength = 127;

// Every key, in the order of writing, one section a line.
// clang-format off
enum class ProfileKeyId : uint8_t {
    S1, S2, S3, S4, EQEN, EQFromEEPROM,
    LeftAlpha, LeftBeta, RightAlpha, RightBeta, FBM, ThreeDEN, ThreeDFromEEPROM,
    CurrentEffect,
    C, L, LS, LB, RB, RS, SUB, R, Virtual7ch1EN,
    LEDON, LEDPageMode, LEDOff, LEDSingleColor, LEDEffectMode, LEDBreatheSpeed, LEDRainbowSpeed,
    LEDMultiBreatheSpeed, LEDBreatheSliderPos, LEDRainbowSliderPos, LEDMultiBreatheSliderPos,
    LEDSingleColorRGB, LEDBreatheColorRGB, LEDColor1RGB, LEDColor2RGB, LEDColor3RGB,
    LEDColor4RGB, LEDColor5RGB, LEDColor6RGB, LEDColor7RGB, LEDFastRightSide,
    ENCEN, ENCValue,
    VoiceMagicEN, VoiceMagicMode,
};
// clang-format on
inline constexpr size_t kProfileKeyCount = static_cast<size_t>(ProfileKeyId::VoiceMagicMode) + 1;

// How a value is written: five gains as "0x%X" and the EQ switch as "%d"; a speaker's left and
// top as "%d,%d"; one "%d".
enum class ProfileFormat : uint8_t { Preset, Position, Number };

struct ProfileKey {
    ProfileKeyId id;
    const wchar_t* section;
    const wchar_t* key;
    uint8_t items;  // items the value holds; more are ignored when read
    ProfileFormat format;
};
// The table both the writer and the reader go by, in the order of writing.
std::span<const ProfileKey> ProfileKeys();
const ProfileKey& ProfileKeyOf(ProfileKeyId id);

inline constexpr int32_t kPresetItemCount = 6;
// The preset keys S1..S4 and the speakers in the order a load places them (L, R, C, SUB, LS,
// RS, LB, RB), with the picture each one moves.
ProfileKeyId PresetKey(int32_t preset);
struct SpeakerKey {
    ProfileKeyId id;
    const wchar_t* image;
};
extern const std::array<SpeakerKey, kSpeakerCount> kSpeakerKeys;

// Every key of one profile file as text, one value per key of the table ("" when the file does
// not give it). Values are built by the typed setters and read through the conversions below;
// a conversion that fails raises the conversion error with the item that failed.
class ProfileData {
public:
    const std::wstring& Value(ProfileKeyId id) const { return values_[Index(id)]; }
    void SetValue(ProfileKeyId id, std::wstring value) { values_[Index(id)] = std::move(value); }

    void SetNumber(ProfileKeyId id, int32_t value);
    void SetPreset(int32_t preset, const std::array<uint16_t, 5>& gains, int32_t eqEnable);
    void SetPosition(ProfileKeyId id, int32_t left, int32_t top);
    // A number that may be unknown: an empty value leaves the reader's state as it is.
    void SetOptionalNumber(ProfileKeyId id, std::optional<int32_t> value);

    // The value split at every comma: the first `items` items of the key (missing ones empty),
    // each cut to 127 characters.
    std::vector<std::wstring> Items(ProfileKeyId id) const;
    // The six texts of S1..S4, converted later by the equalizer.
    std::array<std::wstring, kPresetItemCount> PresetItems(int32_t preset) const;
    // Decimal or 0x-hexadecimal, nothing else: an empty or other value raises the error.
    int32_t StrictNumber(ProfileKeyId id) const;
    std::array<int32_t, 2> StrictPosition(ProfileKeyId id) const;
    // 0 when empty; leading digits otherwise, as the lenient configuration numbers.
    int32_t ZeroWhenEmpty(ProfileKeyId id) const;
    // A decimal number when the value gives one; nothing when it is empty or not a number.
    std::optional<int32_t> GivenNumber(ProfileKeyId id) const;

    bool operator==(const ProfileData&) const = default;

private:
    static size_t Index(ProfileKeyId id) { return static_cast<size_t>(id); }
    std::array<std::wstring, kProfileKeyCount> values_;
};

// The whole file: every section and key in the order of the table, CRLF line ends, no mark, as
// the Windows profile functions write a new file (plain ASCII: every value is a number).
std::string ProfileText(const ProfileData& profile);
// Every key of the table through the profile store (the Windows profile-string rules), each into
// a 256-character buffer with "" as the default. A missing file gives every value empty.
ProfileData ReadProfile(ProfileStore& profiles, const std::wstring& file);
// The whole text in one atomic replacement: a crash leaves the old file or the new one.
bool WriteProfile(FileSystem& files, const std::wstring& file, const ProfileData& profile);

}  // namespace tavrin
