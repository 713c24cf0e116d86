#pragma once
// The wizard's texts: section Setup of a language's Language.ini, one label record per key.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "ports/ProfileStore.h"

namespace tavrin::setup {

inline constexpr wchar_t kLanguageFileName[] = L"Language.ini";
inline constexpr wchar_t kSetupSection[] = L"Setup";
inline constexpr wchar_t kNullText[] = L"(null)";

// The first nine items of a Language.ini label value; a missing numeric item stays unset.
struct SetupLabelRecord {
    std::wstring text;  // at most 127 characters
    std::optional<int32_t> upColour;
    std::optional<int32_t> downColour;
    std::optional<std::wstring> fontName;  // at most 63 characters
    std::optional<int32_t> fontSize;
    std::optional<int32_t> left;
    std::optional<int32_t> top;
    std::optional<int32_t> width;
    std::optional<int32_t> height;

    // Not empty and not "(null)".
    bool HasText() const { return !text.empty() && text != kNullText; }
};

// Splits a value at every comma; the numeric items are strict integers, so a non-number throws
// ConfigConversionError. Items after the ninth (the page) are not used.
SetupLabelRecord ParseSetupLabel(const std::wstring& value);

// The keys of section Setup, in this order. The last four are the uninstaller's.
enum class SetupText : size_t {
    LabelBackBtn,
    LabelNextBtn,
    LabelFinishBtn,
    LabelCancelBtn,
    LabelSelectLang,
    LabelVersion,
    LabelAudioExt,
    LabelInstall,
    LabelReboot,
    LabelRebootRadioBtn,
    LabelNoRebootRadioBtn,
    LabelTitle,
    LabelWarning1,
    LabelWarning2,
    AntivirusTip,
    LabelWarning3,
    LabelWarning4,
    KB3033929Tip,
    UninstallConfirm,
    UninstallProfiles,
    UninstallDone,
    UninstallIncomplete,
    Count
};
const wchar_t* SetupTextKey(SetupText text);

class SetupTexts {
public:
    // Clears every record, then reads each key of section Setup; a numeric item that is not a
    // number throws ConfigConversionError, leaving the records read before it.
    void Load(ProfileStore& profiles, const std::wstring& languageFile);
    const SetupLabelRecord& Record(SetupText text) const;
    const std::wstring& Text(SetupText text) const { return Record(text).text; }

private:
    std::array<SetupLabelRecord, static_cast<size_t>(SetupText::Count)> records_;
};

}  // namespace tavrin::setup
