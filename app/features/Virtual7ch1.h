#pragma once
// Virtual 7.1: the eight speakers of the 7.1 page around the listener and what the device is
// told of them, the switch with its exclusion of the 3D effect, the motion buttons and their
// timer, the speaker drag, the reset, and the Bee demonstration.
#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>

#include "app/features/DeviceCommands.h"
#include "app/features/FeatureUnit.h"
#include "app/features/SpeakerGeometry.h"

namespace tavrin {

inline constexpr uint32_t kSpeakerTimerInterval = 20;
inline constexpr uint32_t kBeeTimerInterval = 10;
inline constexpr uint32_t kBeePlayTimerInterval = 100;
inline constexpr wchar_t kBeeSoundFileName[] = L"bee.wav";

// What GPIO level mode says about the 7.1 controls; the composition answers for the GPIO unit.
struct HardwareSwitch {
    std::function<bool()> levelMode;
    // The position of the slide switch that owns virtual 7.1 in level mode.
    std::function<int32_t()> state;
    // The switch owns the control now: level mode, and no GPIO press in progress.
    std::function<bool(int32_t tag)> locked;
};

class Virtual7ch1 final : public FeatureUnit {
public:
    // `switchThreeDOff` runs when 7.1 goes on while the two exclude each other.
    Virtual7ch1(FeatureContext& context, std::function<void()> switchThreeDOff,
                HardwareSwitch hardwareSwitch);

    // Construction: the records from the speakers where the window design puts them.
    void Construct();
    // Construction with an active device: the renderer off until the profile decides.
    void SendOffAtStart();
    void SendScalar();
    // The 3D effect went on while the two exclude each other.
    void SwitchOffForThreeD();
    // After an arrival: the default switch (not with 3D on when they exclude each other) with
    // its look.
    void ShowSwitchAfterArrival();
    // ...then the switch, the speakers and the scalar, each once more when it fails, and the
    // profile's switch when the page is shown.
    void SendAfterArrival();
    // A profile placed the speakers and set the switch: both measured and sent.
    void SendProfileLayout();
    // The Bee test off (at construction).
    void SwitchBeeOff();
    // Window close: the media player closed; with the device present, 7.1 off and the default
    // layout sent.
    void CloseMediaPlayer();
    void SwitchOff();

    void MeasureSpeakers();
    int32_t SendVirtualParams(int32_t enable);
    void SendVirtual();
    void PlaceSpeaker(Component& image, const SpeakerPolar& polar);
    void DefaultLayout();
    void ResetVirtual();
    void Update7ch1UI(int32_t state);

    PressVerdict Admit(const ControlRow& row) override;
    void Press(const ControlRow& row, Component& sender) override;
    void Release(const ControlRow& row, Component& sender) override;
    void Click(const ControlRow& row, Component& sender) override;
    bool IsDown(const ControlRow& row) const override;
    void Dragged(const ControlRow& row, Component& speaker, int32_t left, int32_t top) override;
    void OnTimer(TimerId timer) override;
    void SkinApplied() override;
    void ResetAfterRemoval() override;

    const SpeakerRecords& Records() const { return records_; }

private:
    bool BeeChecked() const;
    Component* Speaker(size_t speaker);
    int32_t* MotionFlag(int32_t tag);
    bool AnyMotion() const;
    // The timer runs only while something moves and no speaker is held.
    void UpdateMotionTimer();
    void StopMotion(std::initializer_list<int32_t> tags);

    void PressEnable();
    void PressMotion(int32_t tag);
    bool DragAllowed(const Component& speaker, int32_t left, int32_t top);
    void ReadProfileLayout();

    void MotionTick();
    void Rotate(int32_t degrees);
    void ChangeDistances(float change);
    void PlaceAll();
    // The records are what moved: they are sent as they are.
    void SendRecords();

    void BeeClicked(bool checked);
    void TakeOff();
    void Land();
    void PlaceBee();
    void BeeTick();
    void BeePlayTick();

    FeatureContext& context_;
    std::function<void()> switchThreeDOff_;
    HardwareSwitch hardwareSwitch_;
    SpeakerRecords records_;
    VirtualParameters parameters_;
    // Where the speakers were when the bee took them.
    std::array<SpeakerPolar, kSpeakerCount> savedRecords_{};
    std::array<SpeakerPosition, kSpeakerCount> savedPositions_{};
    SpeakerPolar bee_;
    int32_t beeTurn_ = 0;
    bool holdingSpeaker_ = false;
    bool beeSoundOpen_ = false;
};

}  // namespace tavrin
