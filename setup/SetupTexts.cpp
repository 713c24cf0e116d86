#include "setup/SetupTexts.h"

#include <vector>

#include "common/AudioConfig.h"

namespace tavrin::setup {
namespace {

constexpr size_t kTextMaxLength = 127;
constexpr size_t kFontNameMaxLength = 63;
constexpr uint32_t kValueCapacity = 256;

// clang-format off
constexpr const wchar_t* kKeys[] = {
    L"LabelBackBtn", L"LabelNextBtn", L"LabelFinishBtn", L"LabelCancelBtn",
    L"LabelSelectLang", L"LabelVersion", L"LabelAudioExt", L"LabelInstall", L"LabelReboot",
    L"LabelRebootRadioBtn", L"LabelNoRebootRadioBtn", L"LabelTitle",
    L"LabelWarning1", L"LabelWarning2", L"AntivirusTip",
    L"LabelWarning3", L"LabelWarning4", L"KB3033929Tip",
    L"UninstallConfirm", L"UninstallProfiles", L"UninstallDone", L"UninstallIncomplete",
};
// clang-format on
static_assert(std::size(kKeys) == static_cast<size_t>(SetupText::Count));

std::optional<int32_t> NumberItem(const std::vector<std::wstring>& items, size_t index) {
    if (index >= items.size() || items[index].empty()) return std::nullopt;
    return StrictInteger(items[index]);
}

}  // namespace

SetupLabelRecord ParseSetupLabel(const std::wstring& value) {
    const std::vector<std::wstring> items = SplitAtCommas(value);
    SetupLabelRecord record;
    if (!items.empty()) record.text = items[0].substr(0, kTextMaxLength);
    record.upColour = NumberItem(items, 1);
    record.downColour = NumberItem(items, 2);
    if (items.size() > 3 && !items[3].empty()) {
        record.fontName = items[3].substr(0, kFontNameMaxLength);
    }
    record.fontSize = NumberItem(items, 4);
    record.left = NumberItem(items, 5);
    record.top = NumberItem(items, 6);
    record.width = NumberItem(items, 7);
    record.height = NumberItem(items, 8);
    return record;
}

const wchar_t* SetupTextKey(SetupText text) {
    return kKeys[static_cast<size_t>(text)];
}

void SetupTexts::Load(ProfileStore& profiles, const std::wstring& languageFile) {
    records_ = {};
    for (size_t i = 0; i < records_.size(); ++i) {
        const std::wstring value =
            ReadConfigValue(profiles, languageFile, kSetupSection, kKeys[i], kValueCapacity);
        records_[i] = ParseSetupLabel(value);
    }
}

const SetupLabelRecord& SetupTexts::Record(SetupText text) const {
    return records_[static_cast<size_t>(text)];
}

}  // namespace tavrin::setup
