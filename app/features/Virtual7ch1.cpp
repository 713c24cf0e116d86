#include "app/features/Virtual7ch1.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/features/ProfileFile.h"

namespace tavrin {
namespace {

using namespace control_tag;

// Older skins put a speaker on this point, where its angle came out wrong.
constexpr SpeakerPosition kOldVersionTrap{664, 355};
constexpr SpeakerPosition kOldVersionNudge{665, 356};
// A dragged speaker keeps this far inside the listener's area.
constexpr int32_t kAreaMargin = 10;
constexpr double kNarrowestDistance = 10.0;
constexpr double kWidestDistance = 111.0;
constexpr double kDefaultLayoutFactor = 1.6;
constexpr std::array<int32_t, 4> kMotionTags = {kRotateCw, kRotateCcw, kNarrow, kEnlarge};
// Angles grow anticlockwise on the screen (y grows upward): clockwise takes a degree off.
constexpr int32_t kClockwise = -1;
constexpr int32_t kAnticlockwise = 1;

bool IsSpeaker(int32_t tag) {
    return tag >= kFirstSpeaker && tag <= kLastSpeaker;
}

std::wstring FolderOf(const std::wstring& path) {
    const size_t split = path.find_last_of(L'\\');
    return split == std::wstring::npos ? L"" : path.substr(0, split + 1);
}

}  // namespace

Virtual7ch1::Virtual7ch1(FeatureContext& context, std::function<void()> switchThreeDOff,
                         HardwareSwitch hardwareSwitch)
    : context_(context),
      switchThreeDOff_(std::move(switchThreeDOff)),
      hardwareSwitch_(std::move(hardwareSwitch)) {}

// ---- Construction, arrival and close ----

void Virtual7ch1::Construct() {
    MeasureSpeakers();
}

void Virtual7ch1::SendOffAtStart() {
    context_.sdk.Invoke<&VendorSdkTable::DLLZR_SetVirtual7ch1_OnOff>(0);
    SendVirtualParams(0);
}

void Virtual7ch1::SendScalar() {
    context_.sdk.Invoke<&VendorSdkTable::DLLZR_SetVirtual7ch1_Scalar>(
        context_.settings.m_fV7ch1Scalar);
}

void Virtual7ch1::SwitchOffForThreeD() {
    SettingsModel& s = context_.settings;
    WindowControls& window = context_.window;
    s.m_b7ch1Enable = 0;
    context_.sdk.Invoke<&VendorSdkTable::DLLZR_SetVirtual7ch1_OnOff>(0);
    SendVirtualParams(0);
    SendScalar();
    window.ShowButton(kVirtualEnable, false);
    if (Component* enable = window.Form().FindByTag(ComponentKind::Image, kVirtualEnable)) {
        enable->visible = false;
    }
    for (const int32_t tag : {kRotateCw, kRotateCcw}) {
        int32_t* flag = MotionFlag(tag);
        if (*flag == 0) continue;
        *flag = 0;
        window.ShowButton(tag, false);
        if (Component* image = window.Form().FindByTag(ComponentKind::Image, tag)) {
            image->visible = false;
        }
    }
    UpdateMotionTimer();
}

void Virtual7ch1::ShowSwitchAfterArrival() {
    SettingsModel& s = context_.settings;
    const bool excluded = s.m_b3DV7ch1Exclusive == 1 && s.m_b3DEnable == 1;
    s.m_b7ch1Enable = excluded ? 0 : s.m_bDefault7ch1Enable;
    Update7ch1UI(s.m_b7ch1Enable);
    context_.window.RedrawCurrentPage();
}

void Virtual7ch1::SendAfterArrival() {
    SettingsModel& s = context_.settings;
    VendorSdk& sdk = context_.sdk;
    WithSingleRetry(
        [&] { return sdk.Invoke<&VendorSdkTable::DLLZR_SetVirtual7ch1_OnOff>(s.m_b7ch1Enable); });
    WithSingleRetry([&] { return SendVirtualParams(s.m_b7ch1Enable); });
    WithSingleRetry(
        [&] { return sdk.Invoke<&VendorSdkTable::DLLZR_SetVirtual7ch1_Scalar>(s.m_fV7ch1Scalar); });
    if (s.m_iCurrentPage != page::kVirtual || s.m_bSaved7ch1Enable != 1) return;
    s.m_b7ch1Enable = 1;
    context_.window.ShowButton(kVirtualEnable, true);
    sdk.Invoke<&VendorSdkTable::DLLZR_SetVirtual7ch1_OnOff>(1);
}

void Virtual7ch1::SendProfileLayout() {
    MeasureSpeakers();
    const int32_t enable = context_.settings.m_b7ch1Enable;
    context_.sdk.Invoke<&VendorSdkTable::DLLZR_SetVirtual7ch1_OnOff>(enable);
    SendVirtualParams(enable);
}

void Virtual7ch1::SwitchBeeOff() {
    Component* box = context_.window.Form().Find(L"BeeCheckBox");
    if (box != nullptr && box->checked) {
        box->checked = false;
        BeeClicked(false);
        return;
    }
    context_.ui.SetTimer(TimerId::Bee, kBeeTimerInterval, false);
    context_.ui.SetTimer(TimerId::BeePlay, kBeePlayTimerInterval, false);
    if (Component* bee = context_.window.Form().Find(L"BeeImage")) bee->visible = false;
}

void Virtual7ch1::CloseMediaPlayer() {
    context_.audio.mediaPlayer.Close();
    beeSoundOpen_ = false;
}

// The device is left with virtual 7.1 off and the default layout.
void Virtual7ch1::SwitchOff() {
    context_.settings.m_b7ch1Enable = 0;
    ResetVirtual();
}

// ---- The speakers and the device ----

Component* Virtual7ch1::Speaker(size_t speaker) {
    return context_.window.Form().FindByTag(ComponentKind::Image,
                                            kFirstSpeaker + static_cast<int32_t>(speaker));
}

void Virtual7ch1::MeasureSpeakers() {
    const SpeakerCircle circle = context_.window.VirtualCircle();
    std::array<SpeakerPolar, kSpeakerCount> measured = records_.All();
    for (size_t speaker = 0; speaker < kSpeakerCount; ++speaker) {
        Component* image = Speaker(speaker);
        if (image == nullptr) continue;
        if (image->left == circle.centreX && image->top == circle.centreY) {
            measured[speaker] = {};
            continue;
        }
        if (context_.config.oldVersion != 0 &&
            SpeakerPosition{image->left, image->top} == kOldVersionTrap) {
            image->left = kOldVersionNudge.left;
            image->top = kOldVersionNudge.top;
        }
        measured[speaker] = MeasurePolar({image->left, image->top}, circle.centreX, circle.centreY);
    }
    records_.Assign(measured);
    parameters_ = records_.Parameters();
}

int32_t Virtual7ch1::SendVirtualParams(int32_t enable) {
    const auto block =
        BuildVirtualBlock(enable, parameters_, context_.window.VirtualCircle().radius);
    if (!context_.DeviceActive()) return 0;
    return context_.sdk.Invoke<&VendorSdkTable::DLLZR_SetVirtual7ch1>(block.data());
}

void Virtual7ch1::SendVirtual() {
    if (!context_.DeviceActive()) return;
    const int32_t enable = context_.settings.m_b7ch1Enable;
    context_.sdk.Invoke<&VendorSdkTable::DLLZR_SetVirtual7ch1_OnOff>(enable);
    SendVirtualParams(enable);
}

void Virtual7ch1::PlaceSpeaker(Component& image, const SpeakerPolar& polar) {
    const SpeakerCircle circle = context_.window.VirtualCircle();
    const SpeakerPosition position = PlacePolar(polar, circle.centreX, circle.centreY);
    image.left = position.left;
    image.top = position.top;
}

void Virtual7ch1::DefaultLayout() {
    if (context_.config.defaultIni != 0) {
        ReadProfileLayout();
        context_.window.ShowButton(kVirtualEnable, context_.settings.m_b7ch1Enable == 1);
        return;
    }
    const auto layout = ComputedDefaultLayout(context_.window.VirtualCircle());
    for (size_t speaker = 0; speaker < kSpeakerCount; ++speaker) {
        if (Component* image = Speaker(speaker)) {
            image->left = layout[speaker].left;
            image->top = layout[speaker].top;
        }
    }
}

// "left,top" per speaker; a key that is missing or not two integers leaves its speaker where it
// is.
void Virtual7ch1::ReadProfileLayout() {
    const ProfileData profile =
        ReadProfile(context_.platform.profiles, context_.defaultProfilePath);
    for (size_t speaker = 0; speaker < kSpeakerCount; ++speaker) {
        const std::vector<std::wstring> items = profile.Items(kSpeakerKeys[speaker].id);
        const auto left = ParseInteger(items[0], true);
        const auto top = ParseInteger(items[1], true);
        Component* image = Speaker(speaker);
        if (!left || !top || image == nullptr) continue;
        image->left = *left;
        image->top = *top;
    }
}

void Virtual7ch1::ResetVirtual() {
    DefaultLayout();
    MeasureSpeakers();
    if (!context_.DeviceActive()) return;
    const int32_t enable = context_.settings.m_b7ch1Enable;
    context_.sdk.Invoke<&VendorSdkTable::DLLZR_SetVirtual7ch1_OnOff>(enable);
    SendVirtualParams(enable);
}

void Virtual7ch1::Update7ch1UI(int32_t state) {
    context_.platform.debugLog.Write(L"[Update7ch1UI]");
    context_.window.ShowButton(kVirtualEnable, state == 1);
}

// ---- The controls ----

bool Virtual7ch1::BeeChecked() const {
    const Component* bee = context_.window.Form().Find(L"BeeCheckBox");
    return bee != nullptr && bee->checked;
}

// While the Bee demonstration has the speakers, the motion buttons and the reset do nothing.
PressVerdict Virtual7ch1::Admit(const ControlRow& row) {
    const bool beeBlocks = row.tag == kVirtualReset || MotionFlag(row.tag) != nullptr;
    return beeBlocks && BeeChecked() ? PressVerdict::Refuse() : PressVerdict::Allow();
}

void Virtual7ch1::Press(const ControlRow& row, Component&) {
    if (IsSpeaker(row.tag)) {
        holdingSpeaker_ = true;
        UpdateMotionTimer();
        return;
    }
    switch (row.tag) {
        case kVirtualEnable: PressEnable(); break;
        case kRotateCw:
        case kRotateCcw:
            if (context_.settings.m_b7ch1Enable == 1) PressMotion(row.tag);
            break;
        case kNarrow:
        case kEnlarge: PressMotion(row.tag); break;
        default: return;
    }
    context_.window.Repaint();
}

void Virtual7ch1::Release(const ControlRow& row, Component&) {
    if (!IsSpeaker(row.tag)) return;
    holdingSpeaker_ = false;
    UpdateMotionTimer();
}

void Virtual7ch1::Click(const ControlRow& row, Component& sender) {
    if (sender.name == L"BeeCheckBox") {
        BeeClicked(sender.checked);
        return;
    }
    if (row.tag != kVirtualReset || BeeChecked()) return;
    if (hardwareSwitch_.levelMode() && hardwareSwitch_.state() == 0) return;
    ResetVirtual();
    context_.window.Repaint();
}

bool Virtual7ch1::IsDown(const ControlRow& row) const {
    const SettingsModel& s = context_.settings;
    switch (row.tag) {
        case kVirtualEnable: return s.m_b7ch1Enable != 0;
        case kRotateCw: return s.m_bRotateCW != 0;
        case kRotateCcw: return s.m_bRotateCCW != 0;
        case kNarrow: return s.m_bNarrow != 0;
        case kEnlarge: return s.m_bEnlarge != 0;
        default: return false;
    }
}

void Virtual7ch1::PressEnable() {
    SettingsModel& s = context_.settings;
    if (hardwareSwitch_.levelMode()) {
        s.m_b7ch1Enable = hardwareSwitch_.state();
    } else {
        s.m_b7ch1Enable = s.m_b7ch1Enable == 0 ? 1 : 0;
    }
    context_.window.ShowButton(kVirtualEnable, s.m_b7ch1Enable == 1);
    if (s.m_b3DV7ch1Exclusive == 1 && s.m_b7ch1Enable == 1 && switchThreeDOff_) {
        switchThreeDOff_();
    }
    MeasureSpeakers();
    SendVirtual();
    if (s.m_b7ch1Enable == 0) StopMotion({kRotateCw, kRotateCcw});
}

int32_t* Virtual7ch1::MotionFlag(int32_t tag) {
    SettingsModel& s = context_.settings;
    switch (tag) {
        case kRotateCw: return &s.m_bRotateCW;
        case kRotateCcw: return &s.m_bRotateCCW;
        case kNarrow: return &s.m_bNarrow;
        case kEnlarge: return &s.m_bEnlarge;
        default: return nullptr;
    }
}

bool Virtual7ch1::AnyMotion() const {
    const SettingsModel& s = context_.settings;
    return s.m_bRotateCW != 0 || s.m_bRotateCCW != 0 || s.m_bNarrow != 0 || s.m_bEnlarge != 0;
}

void Virtual7ch1::UpdateMotionTimer() {
    context_.ui.SetTimer(TimerId::Speaker, kSpeakerTimerInterval, AnyMotion() && !holdingSpeaker_);
}

void Virtual7ch1::StopMotion(std::initializer_list<int32_t> tags) {
    for (const int32_t tag : tags) {
        int32_t* flag = MotionFlag(tag);
        if (*flag == 0) continue;
        *flag = 0;
        context_.window.ShowButton(tag, false);
    }
    UpdateMotionTimer();
}

// The pressed motion starts or stops; any other stops.
void Virtual7ch1::PressMotion(int32_t tag) {
    int32_t* flag = MotionFlag(tag);
    *flag = *flag == 0 ? 1 : 0;
    context_.window.ShowButton(tag, *flag == 1);
    for (const int32_t other : kMotionTags) {
        if (other == tag || *MotionFlag(other) == 0) continue;
        *MotionFlag(other) = 0;
        context_.window.ShowButton(other, false);
    }
    UpdateMotionTimer();
}

// ---- The speaker drag ----

bool Virtual7ch1::DragAllowed(const Component& speaker, int32_t left, int32_t top) {
    if (hardwareSwitch_.locked(speaker.tag) && hardwareSwitch_.state() == 0) return false;
    const SpeakerCircle circle = context_.window.VirtualCircle();
    const int64_t dx = int64_t{left} - circle.centreX;
    const int64_t dy = int64_t{top} - circle.centreY;
    return dx * dx + dy * dy <= int64_t{circle.radius} * circle.radius;
}

// Within the circle, each coordinate moves only while the speaker stays inside the listener's
// area.
void Virtual7ch1::Dragged(const ControlRow&, Component& speaker, int32_t left, int32_t top) {
    if (!DragAllowed(speaker, left, top)) return;
    const Component* area = context_.window.Form().Find(L"VirtualPicImage");
    if (area == nullptr) return;
    if (left > area->left + kAreaMargin &&
        left + speaker.width <= area->left + area->width - kAreaMargin) {
        speaker.left = left;
    }
    if (top >= area->top + kAreaMargin &&
        top + speaker.height <= area->top + area->height - kAreaMargin) {
        speaker.top = top;
    }
    MeasureSpeakers();
    const int32_t enable = context_.settings.m_b7ch1Enable;
    context_.sdk.Invoke<&VendorSdkTable::DLLZR_SetVirtual7ch1_OnOff>(enable);
    SendVirtualParams(enable);
}

// ---- Motion ----

void Virtual7ch1::OnTimer(TimerId timer) {
    switch (timer) {
        case TimerId::Speaker: MotionTick(); break;
        case TimerId::Bee: BeeTick(); break;
        case TimerId::BeePlay: BeePlayTick(); break;
        default: break;
    }
}

// One step of the running motion. The records are the truth while the speakers move: each step
// turns them by exactly one degree (or moves them by one pixel), and the device hears the
// stepped arrangement rather than one measured back from the truncated pictures.
void Virtual7ch1::MotionTick() {
    if (!context_.DeviceActive()) return;
    const SettingsModel& s = context_.settings;
    if (s.m_bRotateCW != 0) {
        Rotate(kClockwise);
    } else if (s.m_bRotateCCW != 0) {
        Rotate(kAnticlockwise);
    } else if (s.m_bNarrow != 0) {
        if (records_.SmallestDistance() >= kNarrowestDistance) ChangeDistances(-1.0f);
    } else if (s.m_bEnlarge != 0) {
        if (records_.LargestDistance() < kWidestDistance) ChangeDistances(1.0f);
    }
    if (AnyMotion()) SendRecords();
}

// The speakers show where they are, then turn: the picture trails the device by one step.
void Virtual7ch1::Rotate(int32_t degrees) {
    PlaceAll();
    records_.Turn(degrees);
}

void Virtual7ch1::ChangeDistances(float change) {
    records_.ChangeDistances(change);
    PlaceAll();
}

void Virtual7ch1::PlaceAll() {
    for (size_t speaker = 0; speaker < kSpeakerCount; ++speaker) {
        if (Component* image = Speaker(speaker)) PlaceSpeaker(*image, records_[speaker]);
    }
}

void Virtual7ch1::SendRecords() {
    parameters_ = records_.Parameters();
    SendVirtual();
    context_.window.Repaint();
}

// ---- The Bee demonstration ----

// The bee starts at angle 0 on the default layout's circle, every speaker on it; while it flies
// they circle with it and "bee.wav" plays in a loop. Unchecked, the speakers go back to where
// they were, and the device hears them there.
void Virtual7ch1::BeeClicked(bool checked) {
    Component* beeImage = context_.window.Form().Find(L"BeeImage");
    if (beeImage != nullptr) beeImage->visible = checked;
    if (checked) {
        StopMotion({kRotateCw, kRotateCcw, kNarrow, kEnlarge});
        savedRecords_ = records_.All();
        for (size_t speaker = 0; speaker < kSpeakerCount; ++speaker) {
            if (const Component* image = Speaker(speaker)) {
                savedPositions_[speaker] = {image->left, image->top};
            }
        }
    }
    const double circleDistance =
        kDefaultLayoutFactor * (context_.window.VirtualCircle().radius / 2);
    bee_ = {0.0f, circleDistance};
    beeTurn_ = 0;
    PlaceBee();
    for (size_t speaker = 0; speaker < kSpeakerCount; ++speaker) {
        Component* image = Speaker(speaker);
        if (image == nullptr || beeImage == nullptr) continue;
        image->left = beeImage->left;
        image->top = beeImage->top;
    }
    if (checked) {
        TakeOff();
    } else {
        Land();
    }
    context_.ui.SetTimer(TimerId::Bee, kBeeTimerInterval, checked);
    context_.ui.SetTimer(TimerId::BeePlay, kBeePlayTimerInterval, checked);
    context_.window.Repaint();
}

void Virtual7ch1::TakeOff() {
    std::array<SpeakerPolar, kSpeakerCount> onTheBee;
    onTheBee.fill(bee_);
    records_.Assign(onTheBee);
    // A missing or unreadable sound is no reason to keep the bee on the ground.
    MediaPlayer& player = context_.audio.mediaPlayer;
    beeSoundOpen_ =
        player.Open(FolderOf(context_.platform.environment.ProgramPath()) + kBeeSoundFileName);
    if (beeSoundOpen_) player.Play();
    Rotate(kClockwise);
}

// Back exactly where they were: placed from their records, truncation could move some by a
// pixel.
void Virtual7ch1::Land() {
    records_.Assign(savedRecords_);
    CloseMediaPlayer();
    for (size_t speaker = 0; speaker < kSpeakerCount; ++speaker) {
        if (Component* image = Speaker(speaker)) {
            image->left = savedPositions_[speaker].left;
            image->top = savedPositions_[speaker].top;
        }
    }
    if (context_.DeviceActive()) SendRecords();
}

// The bee shows where it is, then turns with the speakers.
void Virtual7ch1::PlaceBee() {
    if (Component* beeImage = context_.window.Form().Find(L"BeeImage")) {
        PlaceSpeaker(*beeImage, {TurnedAngle(bee_.angle, beeTurn_), bee_.distance});
    }
    beeTurn_ = (beeTurn_ + kClockwise) % 360;
}

void Virtual7ch1::BeeTick() {
    PlaceBee();
    Rotate(kClockwise);
    if (context_.DeviceActive()) {
        SendRecords();
    } else {
        context_.window.Repaint();
    }
}

void Virtual7ch1::BeePlayTick() {
    MediaPlayer& player = context_.audio.mediaPlayer;
    if (beeSoundOpen_ && player.Length() == player.Position()) player.Play();
}

// ---- Skins and removal ----

// A new skin's circle may be larger or smaller: the speakers keep their places on it.
void Virtual7ch1::SkinApplied() {
    const SpeakerCircle circle = context_.window.VirtualCircle();
    const double scale = circle.previousRadius > 0
                             ? static_cast<double>(circle.radius) / circle.previousRadius
                             : 1.0;
    for (size_t speaker = 0; speaker < kSpeakerCount; ++speaker) {
        Component* image = Speaker(speaker);
        if (image == nullptr) continue;
        SpeakerPolar polar = records_[speaker];
        polar.distance *= scale;
        PlaceSpeaker(*image, polar);
    }
}

// Nothing moves without a device.
void Virtual7ch1::ResetAfterRemoval() {
    context_.settings.m_b7ch1Enable = 0;
    context_.window.ShowButton(kVirtualEnable, false);
    StopMotion({kRotateCw, kRotateCcw, kNarrow, kEnlarge});
}

}  // namespace tavrin
