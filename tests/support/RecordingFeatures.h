#pragma once
// The main window's features as a recorder: every fixed point of construction and close, and
// every press, release, click, drag and page switch a unit of the control table receives, as a
// line ("press 47", "drag 41 102,37"). Knobs answer the window's questions.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/features/MainWindowFeatures.h"

namespace tavrin::test {

class RecordingFeatures;

class RecordingUnit final : public FeatureUnit {
public:
    RecordingUnit(RecordingFeatures& owner, FeatureUnitId id) : owner_(owner), id_(id) {}

    PressVerdict Admit(const ControlRow& row) override;
    void Press(const ControlRow& row, Component&) override { Record("press", row); }
    void Release(const ControlRow& row, Component&) override { Record("release", row); }
    void Click(const ControlRow& row, Component& sender) override {
        Record("click " + std::string(sender.name.begin(), sender.name.end()), row);
    }
    bool IsDown(const ControlRow& row) const override;
    void BarPressed(const ControlRow& row, Component&, int32_t, int32_t) override {
        Record("bar", row);
    }
    void Dragged(const ControlRow& row, Component&, int32_t left, int32_t top) override;
    void PageTabPressed(int32_t page) override;

private:
    void Record(const std::string& what, const ControlRow& row);

    RecordingFeatures& owner_;
    FeatureUnitId id_;
};

class RecordingFeatures final : public MainWindowFeatures {
public:
    RecordingFeatures() {
        for (size_t id = 0; id < kFeatureUnitCount; ++id) {
            units_.emplace_back(*this, static_cast<FeatureUnitId>(id));
        }
        for (RecordingUnit& unit : units_) pointers_.push_back(&unit);
    }

    void Attach(FeatureContext&) override {}
    void Detach() override {}
    void SetInitialState() override { calls.push_back("initial state"); }
    void ConstructPages() override { calls.push_back("pages"); }
    void AfterNotificationsRegistered() override { calls.push_back("after notifications"); }
    void RestoreAtStart() override { calls.push_back("restore at start"); }
    void Close() override { calls.push_back("close"); }
    void PrepareMicrophone() override { calls.push_back("prepare microphone"); }
    void Restore(ActivationPath, bool) override { calls.push_back("restore"); }
    void DeviceRemoved() override { calls.push_back("removed"); }
    void ReleaseDevice() override { calls.push_back("release device"); }

    // Units of the window's own controls are none; one recording unit serves every feature.
    FeatureUnit* Unit(FeatureUnitId id) override {
        return id == FeatureUnitId::Window ? nullptr : &units_[static_cast<size_t>(id)];
    }
    std::span<FeatureUnit* const> Units() override { return pointers_; }
    bool PressLocked(int32_t tag) override { return lockedTags.count(tag) != 0; }
    bool GpioLevelMode() override { return levelMode; }
    int32_t VirtualSwitchState() override { return switchState; }
    bool ModalDialogShowing() override { return dialogShowing; }
    bool PageInUse(int32_t page) override { return page != page::kLed || ledPageInUse; }

    std::vector<std::string> calls;
    std::set<int32_t> lockedTags;
    bool levelMode = false;
    int32_t switchState = 0;
    bool dialogShowing = false;
    bool ledPageInUse = true;
    // Controls (by picture name) whose unit refuses a press, with the warning it shows (null:
    // silently).
    std::map<std::wstring, const wchar_t*> refusals;
    // Controls (by name) that show their Down look.
    std::set<std::wstring> down;

private:
    std::vector<RecordingUnit> units_;
    std::vector<FeatureUnit*> pointers_;
};

inline PressVerdict RecordingUnit::Admit(const ControlRow& row) {
    const auto refusal = owner_.refusals.find(row.image != nullptr ? row.image : L"");
    return refusal == owner_.refusals.end() ? PressVerdict::Allow()
                                            : PressVerdict::Refuse(refusal->second);
}

inline bool RecordingUnit::IsDown(const ControlRow& row) const {
    return (row.image != nullptr && owner_.down.count(row.image) != 0) ||
           (row.label != nullptr && owner_.down.count(row.label) != 0);
}

inline void RecordingUnit::Dragged(const ControlRow& row, Component&, int32_t left, int32_t top) {
    std::string where = std::to_string(left);
    where += ',';
    where += std::to_string(top);
    owner_.calls.push_back("drag " + std::to_string(row.tag) + " " + where);
}

inline void RecordingUnit::PageTabPressed(int32_t page) {
    // One line per page switch, from the first unit only.
    if (id_ == FeatureUnitId::Window) owner_.calls.push_back("page tab " + std::to_string(page));
}

inline void RecordingUnit::Record(const std::string& what, const ControlRow& row) {
    owner_.calls.push_back(what + " " + std::to_string(row.tag));
}

}  // namespace tavrin::test
