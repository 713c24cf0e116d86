#include "app/features/Lighting.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <utility>

#include "common/AudioConfig.h"

namespace tavrin {
namespace {

using namespace control_tag;

constexpr uint8_t kAllLeds = 0;     // mode requests
constexpr uint8_t kColourLeds = 1;  // colour and single-colour requests
constexpr uint32_t kLedTail = 50;
constexpr uint32_t kRequestWait = 10;
constexpr uint32_t kRainbowSlotWait = 8;
constexpr uint32_t kInitSlotWait = 20;
constexpr uint32_t kInitSignalWait = 20;
constexpr uint32_t kWorkerWakeWait = 100;
constexpr uint32_t kBreatheColourFailureWait = 100;
constexpr int32_t kPageModeShown = 1;
constexpr int32_t kFirstSlotSwatch = 151;  // Color01Shape .. Color07Shape: 151..157
constexpr int32_t kBreatheSwatch = 183;
constexpr int32_t kSingleSwatch = 184;
constexpr int32_t kSelectedPenWidth = 3;
constexpr uint32_t kProfileValueCapacity = 256;
constexpr uint8_t kMaximumSpeed = 255;
constexpr Colour kLargestColour = 0xFFFFFF;

// The fixed colours of rainbow, slot by slot: a blue-cyan, a yellow-green and a magenta.
constexpr std::array<Colour, kLedSlotCount> kRainbowColours = {
    0xF7F009, 0x09F7A9, 0xF50AF5, 0x09F7A9, 0xF7F009, 0xF50AF5, 0x09F7A9};

// The animated effects' controls, in the order of LedEffect; the skin keys add "CheckUpImage",
// "SliderDownImage" and so on to the stem.
struct EffectControls {
    const wchar_t* stem;
    int32_t code;
};
constexpr std::array<EffectControls, kLedEffectCount> kEffects = {{
    {L"ColorBreathe", led_mode::kBreathe},
    {L"ColorRainbow", led_mode::kRainbow},
    {L"ColorPulsating", led_mode::kMultiBreathe},
}};
constexpr wchar_t kOffStem[] = L"ColorLEDOff";
constexpr wchar_t kSingleStem[] = L"ColorSingle";

size_t Index(LedEffect effect) {
    return static_cast<size_t>(effect);
}

// m_iLEDEffectMode 1..3.
int32_t EffectMode(LedEffect effect) {
    return static_cast<int32_t>(effect) + 1;
}

std::optional<LedEffect> EffectOfMode(int32_t mode) {
    if (mode < 1 || mode > static_cast<int32_t>(kLedEffectCount)) return std::nullopt;
    return static_cast<LedEffect>(mode - 1);
}

std::wstring Name(const wchar_t* stem, const wchar_t* ending) {
    return std::wstring(stem) + ending;
}

// The effect whose check image or slider a control is.
std::optional<LedEffect> EffectOfControl(std::wstring_view name) {
    for (size_t i = 0; i < kEffects.size(); ++i) {
        if (name == Name(kEffects[i].stem, L"CheckImage") ||
            name == Name(kEffects[i].stem, L"SliderImage")) {
            return static_cast<LedEffect>(i);
        }
    }
    return std::nullopt;
}

bool IsSlider(std::wstring_view name) {
    return name.ends_with(L"SliderImage");
}

}  // namespace

int32_t OnBar(int32_t edge, const SpeedBar& bar) {
    const int32_t travel = std::max(bar.travel, 0);
    return std::clamp(edge, bar.left, bar.left + travel);
}

uint8_t SpeedFromSlider(int32_t edge, const SpeedBar& bar, bool fastRightSide) {
    const int64_t travel = std::max(bar.travel, 0);
    const int64_t offset = static_cast<int64_t>(OnBar(edge, bar)) - bar.left;
    if (offset == 0) return fastRightSide ? kMaximumSpeed : 1;
    if (offset == travel) return fastRightSide ? 1 : kMaximumSpeed;
    const int64_t percent = std::clamp<int64_t>(offset * 100 / travel, 1, 100);
    int64_t speed = percent * kMaximumSpeed / 100;
    if (fastRightSide) speed = kMaximumSpeed - speed;
    return static_cast<uint8_t>(std::max<int64_t>(speed, 1));
}

Lighting::Lighting(FeatureContext& context)
    : context_(context),
      effectWorker_([this] { context_.platform.debugLog.Write(L"WaitForSingleObject"); },
                    [this] { EffectPass(); }),
      ledForm_(context.sdk, context.platform.clock, context.platform.debugLog, context.ui) {}

Lighting::~Lighting() {
    StopWorkers();
}

// ---- The state LEDEffectThread reads ----

void Lighting::SetEffectCode(int32_t code) {
    std::lock_guard<std::mutex> lock(ledMutex_);
    state_.m_nLEDEffect = code;
}

void Lighting::SetSpeed(LedEffect effect, int32_t speed) {
    std::lock_guard<std::mutex> lock(ledMutex_);
    switch (effect) {
        case LedEffect::Breathe: state_.m_iLEDBreatheSpeed = speed; break;
        case LedEffect::Rainbow: state_.m_iLEDRainbowSpeed = speed; break;
        case LedEffect::MultiBreathe: state_.m_iLEDMultiBreatheSpeed = speed; break;
    }
}

void Lighting::SetSlotColour(size_t slot, Colour colour) {
    std::lock_guard<std::mutex> lock(ledMutex_);
    state_.LEDColorRGB[slot] = colour;
}

bool Lighting::InitMultiColorLEDPending() const {
    std::lock_guard<std::mutex> lock(ledMutex_);
    return state_.m_bInitMultiColorLED == 1;
}

bool Lighting::TakeInitMultiColorLED() {
    std::lock_guard<std::mutex> lock(ledMutex_);
    if (state_.m_bInitMultiColorLED != 1) return false;
    state_.m_bInitMultiColorLED = 0;
    return true;
}

int32_t Lighting::Speed(LedEffect effect) const {
    switch (effect) {
        case LedEffect::Breathe: return state_.m_iLEDBreatheSpeed;
        case LedEffect::Rainbow: return state_.m_iLEDRainbowSpeed;
        case LedEffect::MultiBreathe: return state_.m_iLEDMultiBreatheSpeed;
    }
    return 1;
}

int32_t& Lighting::SliderPosition(LedEffect effect) {
    switch (effect) {
        case LedEffect::Breathe: return state_.LEDBreatheSliderPos;
        case LedEffect::Rainbow: return state_.LEDRainbowSliderPos;
        case LedEffect::MultiBreathe: break;
    }
    return state_.LEDMultiBreatheSliderPos;
}

// ---- Requests ----

int32_t Lighting::SendWithRetry(const std::function<int32_t()>& request) {
    const int32_t result = request();
    if (result != 0) {
        context_.platform.clock.Sleep(kRequestWait);
        request();
    }
    return result;
}

int32_t Lighting::ModeRequest(int32_t code, int32_t speed) {
    return context_.sdk.Invoke<&VendorSdkTable::DLLZR_SetRGB_Mode_ById>(
        kLedTarget, kAllLeds, static_cast<uint8_t>(code), static_cast<uint8_t>(speed), kLedTail,
        kActiveDeviceIndex);
}

int32_t Lighting::SlotColourRequest(int32_t slot, Colour colour) {
    const RgbBytes rgb = SplitColour(colour);
    return context_.sdk.Invoke<&VendorSdkTable::DLLZR_SetRGB_Color_ById>(
        kLedTarget, kColourLeds, static_cast<uint8_t>(slot), rgb.red, rgb.green, rgb.blue, kLedTail,
        kActiveDeviceIndex);
}

int32_t Lighting::SingleColourRequest(int32_t code, Colour colour) {
    const RgbBytes rgb = SplitColour(colour);
    return context_.sdk.Invoke<&VendorSdkTable::DLLZR_SetRGB_SingleColor_ById>(
        kLedTarget, kColourLeds, static_cast<uint8_t>(code), rgb.red, rgb.green, rgb.blue, kLedTail,
        kActiveDeviceIndex);
}

void Lighting::SendMode(int32_t code, int32_t speed) {
    SendWithRetry([&] { return ModeRequest(code, speed); });
}

// Under the lock: the worker's own upload cannot slip between these slots.
void Lighting::UploadSlotsAndMode(const std::array<Colour, kLedSlotCount>& colours, int32_t code,
                                  int32_t speed, uint32_t gap) {
    std::lock_guard<std::mutex> lock(ledMutex_);
    for (int32_t slot = 1; slot <= kLedSlotCount; ++slot) {
        SendWithRetry([&] { return SlotColourRequest(slot, colours[slot - 1]); });
        context_.platform.clock.Sleep(gap);
    }
    SendWithRetry([&] { return ModeRequest(code, speed); });
}

void Lighting::UploadSlotColours(uint32_t waitBefore) {
    Clock& clock = context_.platform.clock;
    std::lock_guard<std::mutex> lock(ledMutex_);
    for (int32_t slot = 1; slot <= kLedSlotCount; ++slot) {
        clock.Sleep(waitBefore);
        SendWithRetry([&] { return SlotColourRequest(slot, state_.LEDColorRGB[slot - 1]); });
        clock.Sleep(kRequestWait);
    }
}

// ---- Pictures ----

void Lighting::ShowCheck(const wchar_t* stem, bool down) {
    Component* check = context_.window.Form().Find(Name(stem, L"CheckImage"));
    if (check == nullptr) return;
    const std::wstring key = Name(stem, down ? L"CheckDownImage" : L"CheckUpImage");
    context_.window.ShowPicture(skin_section::kLed, key.c_str(), *check);
}

// The effect chosen shows its check and its slider Down, the other two Up. The slider keeps its
// place: the page, not the skin, puts it on its bar.
void Lighting::ShowEffectChoice() {
    for (size_t i = 0; i < kEffects.size(); ++i) {
        const bool down = state_.m_iLEDEffectMode == EffectMode(static_cast<LedEffect>(i));
        ShowCheck(kEffects[i].stem, down);
        if (Component* slider = Slider(static_cast<LedEffect>(i))) {
            const int32_t left = slider->left;
            const std::wstring key =
                Name(kEffects[i].stem, down ? L"SliderDownImage" : L"SliderUpImage");
            context_.window.ShowPicture(skin_section::kLed, key.c_str(), *slider);
            slider->left = left;
        }
    }
}

Component* Lighting::Slider(LedEffect effect) {
    return context_.window.Form().Find(Name(kEffects[Index(effect)].stem, L"SliderImage"));
}

SpeedBar Lighting::BarOf(LedEffect effect) {
    const Component* slider = Slider(effect);
    const Component* bar =
        context_.window.Form().Find(Name(kEffects[Index(effect)].stem, L"BarImage"));
    if (slider == nullptr || bar == nullptr) return {};
    return {bar->left, bar->width - slider->width};
}

void Lighting::PlaceSliders() {
    for (size_t i = 0; i < kLedEffectCount; ++i) {
        const auto effect = static_cast<LedEffect>(i);
        if (Component* slider = Slider(effect)) {
            slider->left = OnBar(SliderPosition(effect), BarOf(effect));
        }
    }
}

void Lighting::FillSwatches() {
    FormModel& form = context_.window.Form();
    auto fill = [&](int32_t tag, Colour colour) {
        if (Component* swatch = form.FindByTag(ComponentKind::Shape, tag)) {
            swatch->brushColour = colour;
        }
    };
    for (int32_t slot = 0; slot < kLedSlotCount; ++slot) {
        fill(kFirstSlotSwatch + slot, state_.LEDColorRGB[static_cast<size_t>(slot)]);
    }
    fill(kBreatheSwatch, state_.LEDBreatheColorRGB);
    fill(kSingleSwatch, state_.LEDSingleColorRGB);
}

void Lighting::ShowPage() {
    ShowCheck(kOffStem, state_.m_bLEDOffFlag == 1);
    ShowCheck(kSingleStem, state_.m_bLEDSingleColorFlag == 1);
    ShowEffectChoice();
    PlaceSliders();
    FillSwatches();
}

void Lighting::ShowSelectedSwatch(int32_t tag) {
    FormModel& form = context_.window.Form();
    if (Component* previous = form.FindByTag(ComponentKind::Shape, state_.selectedSwatch)) {
        previous->penColour = 0;
        previous->penWidth = 1;
    }
    if (Component* clicked = form.FindByTag(ComponentKind::Shape, tag)) {
        clicked->penColour = kSwatchHighlight;
        clicked->penWidth = kSelectedPenWidth;
    }
    state_.selectedSwatch = tag;
}

// ---- The window's hooks ----

void Lighting::Press(const ControlRow& row, Component&) {
    if (row.tag != kLedButton) return;
    state_.ledButtonState = state_.ledButtonState == 0 ? 1 : 0;
    SendLedSwitch(true);
}

void Lighting::Release(const ControlRow& row, Component&) {
    if (row.tag != kLedButton) return;
    state_.ledButtonState = state_.ledButtonState == 0 ? 1 : 0;
    SendLedSwitch(false);
}

void Lighting::SendLedSwitch(bool on) {
    const DeviceDiscovery& discovery = context_.discovery;
    context_.io.SendLedSwitch(discovery.ActiveVendorId(), discovery.ActiveProductId(), on);
}

void Lighting::LoadLedButton(int32_t state) {
    state_.ledButtonState = state;
    context_.window.ShowButton(kLedButton, state != 0);
    SendLedSwitch(state != 0);
}

void Lighting::Click(const ControlRow& row, Component& sender) {
    const std::wstring_view name = sender.name;
    if (row.tag == kPageLed) {
        if (name == L"PageLEDImage") PageLEDClick();
        if (name == L"PageLEDLabel") PageLEDLabelClick();
    } else if (sender.kind == ComponentKind::Shape) {
        OnShapeMouseDown(sender);
    } else if (name == Name(kOffStem, L"CheckImage")) {
        ColorLEDOffCheckImageClick();
    } else if (name == Name(kSingleStem, L"CheckImage")) {
        ColorSingleCheckImageClick();
    } else if (const auto effect = EffectOfControl(name)) {
        if (IsSlider(name)) {
            SliderReleased(*effect);
        } else if (*effect == LedEffect::Breathe) {
            ColorBreatheCheckImageClick();
        } else if (*effect == LedEffect::Rainbow) {
            ColorRainbowCheckImageClick();
        } else {
            ColorPulsatingCheckImageClick();
        }
    } else {
        return;
    }
    context_.window.Repaint();
}

bool Lighting::IsDown(const ControlRow& row) const {
    if (row.tag == kLedButton) return state_.ledButtonState != 0;
    if (row.image == nullptr) return false;
    const std::wstring_view name = row.image;
    if (name == Name(kOffStem, L"CheckImage")) return state_.m_bLEDOffFlag == 1;
    if (name == Name(kSingleStem, L"CheckImage")) return state_.m_bLEDSingleColorFlag == 1;
    const auto effect = EffectOfControl(name);
    return effect && state_.m_iLEDEffectMode == EffectMode(*effect);
}

// The slider follows the pointer along its bar; its left edge is both what a profile keeps and
// what gives the speed.
void Lighting::Dragged(const ControlRow& row, Component& slider, int32_t left, int32_t) {
    const auto effect = EffectOfControl(row.image != nullptr ? row.image : L"");
    if (!effect) return;
    const SpeedBar bar = BarOf(*effect);
    const int32_t edge = OnBar(left, bar);
    slider.left = edge;
    SliderPosition(*effect) = edge;
    SetSpeed(*effect, SpeedFromSlider(edge, bar, state_.LEDFastRightSide == 1));
}

void Lighting::SkinApplied() {
    const LedSkinValues skin = context_.window.LedSkin();
    state_.LEDPageMode = skin.ledPageMode;
    state_.LEDFastRightSide = skin.ledFastRightSide;
    for (size_t slot = 0; slot < kDefaultLedSlotColours.size(); ++slot) {
        SetSlotColour(slot, kDefaultLedSlotColours[slot]);
    }
    state_.LEDSingleColorRGB = kDefaultLedColour;
    state_.LEDBreatheColorRGB = kDefaultLedColour;
    FillSwatches();
    PlaceSliders();
}

void Lighting::Redraw() {
    ShowPage();
}

// ---- Construction, arrival, removal, close ----

void Lighting::SetInitialState() {
    StopWorkers();
    std::lock_guard<std::mutex> lock(ledMutex_);
    state_ = LedState{};
}

void Lighting::DumpColorLEDRecord() {
    state_.m_nRecLEDEffect = 1;
    state_.m_iRecLEDEffectMode = 0;
    state_.m_bRecLEDSingleColorFlag = 1;
    const std::pair<const wchar_t*, int32_t> lines[] = {
        {L"m_nRecLEDEffect", state_.m_nRecLEDEffect},
        {L"m_iRecLEDEffectMode", state_.m_iRecLEDEffectMode},
        {L"m_bRecLEDSingleColorFlag", state_.m_bRecLEDSingleColorFlag},
        {L"m_bLEDOffFlag", state_.m_bLEDOffFlag},
        {L"m_bLEDSingleColorFlag", state_.m_bLEDSingleColorFlag},
        {L"m_iLEDEffectMode", state_.m_iLEDEffectMode},
        {L"m_nLEDEffect", state_.m_nLEDEffect},
    };
    for (const auto& [member, value] : lines) {
        context_.platform.debugLog.Write(std::wstring(L"[TAudioMainForm][DumpColorLEDRecord] ") +
                                         member + L" = " + std::to_wstring(value));
    }
}

// The slot colours go up once per run, by this or by the worker, whichever finds the flag set
// first; the speeds follow the sliders either way, before the worker can send one. After a
// removal the worker is gone: the next activation starts a new one.
void Lighting::InitMultiColorLED() {
    if (state_.LEDPageMode != kPageModeShown) return;
    if (!InitMultiColorLEDPending()) {
        effectWorker_.Start();
        return;
    }
    Clock& clock = context_.platform.clock;
    SpeedsFromSliders();
    effectWorker_.Start();
    SendWithRetry([&] {
        return context_.sdk.Invoke<&VendorSdkTable::DLLZR_SetRGB_Step_ById>(
            kLedTarget, kLedStepCount, kLedTail, kActiveDeviceIndex);
    });
    clock.Sleep(kInitSignalWait);
    effectWorker_.Signal();
    clock.Sleep(kRequestWait);
    context_.ui.ProcessPendingMessages();
    if (!TakeInitMultiColorLED()) return;
    UploadSlotColours(kInitSlotWait);
}

void Lighting::ReleaseEffectWorker() {
    effectWorker_.Stop();
}

void Lighting::Shutdown() {
    DumpColorLEDRecord();
    if (effectWorker_.Running()) {
        effectWorker_.Stop();
        if (state_.m_bLEDOffFlag == 1) RestoreLEDRecord();
    }
    ledForm_.StopWorker();
}

void Lighting::StopWorkers() {
    effectWorker_.Stop();
    ledForm_.StopWorker();
}

// ---- The worker ----

// Holds the lock from reading the state to the end of its requests, so that what it sends is
// never older than what the window thread sent meanwhile.
void Lighting::EffectPass() {
    context_.platform.clock.Sleep(kWorkerWakeWait);
    if (effectWorker_.Stopping()) return;
    if (TakeInitMultiColorLED()) UploadSlotColours(kRequestWait);
    context_.platform.debugLog.Write(L"LEDEffectThread");
    std::lock_guard<std::mutex> lock(ledMutex_);
    const int32_t code = state_.m_nLEDEffect;
    if (code <= led_mode::kSingleColour) return;
    for (size_t i = 0; i < kEffects.size(); ++i) {
        if (kEffects[i].code == code) SendMode(code, Speed(static_cast<LedEffect>(i)));
    }
}

// ---- The page ----

// Switched off, the LEDs go off first; the page then shows the choice and sends what is lit.
void Lighting::RefreshLEDPage() {
    if (state_.LEDPageMode == 0) return;
    if (state_.m_bLEDOffFlag == 1) {
        ShowCheck(kOffStem, true);
        SetEffectCode(led_mode::kOnOff);
        SendMode(led_mode::kOnOff, 1);
        state_.m_iLEDEffectMode = 0;
        state_.m_bLEDSingleColorFlag = 0;
    } else {
        ShowCheck(kOffStem, false);
    }
    context_.ui.ProcessPendingMessages();
    ShowEffectChoice();
    if (const auto effect = EffectOfMode(state_.m_iLEDEffectMode)) {
        state_.m_bLEDSingleColorFlag = 0;
        SetEffectCode(kEffects[Index(*effect)].code);
    }
    PlaceSliders();
    ShowCheck(kSingleStem, state_.m_bLEDSingleColorFlag == 1);
    context_.ui.ProcessPendingMessages();
    context_.platform.clock.Sleep(kRequestWait);
    SendSingleColorEffect();
    SendBreatheEffect();
    SendCycleEffect();
    context_.ui.ProcessPendingMessages();
}

void Lighting::SendSingleColorEffect() {
    if (state_.m_bLEDSingleColorFlag != 1) return;
    SetEffectCode(led_mode::kSingleColour);
    SendMode(led_mode::kSingleColour, 0);
    context_.platform.clock.Sleep(kRequestWait);
    SendWithRetry(
        [&] { return SingleColourRequest(led_mode::kSingleColour, state_.LEDSingleColorRGB); });
}

void Lighting::SendBreatheEffect() {
    if (state_.m_iLEDEffectMode != EffectMode(LedEffect::Breathe)) return;
    SetEffectCode(led_mode::kBreathe);
    SendMode(led_mode::kBreathe, state_.m_iLEDBreatheSpeed);
    context_.platform.clock.Sleep(kRequestWait);
    SendWithRetry(
        [&] { return SingleColourRequest(led_mode::kBreathe, state_.LEDBreatheColorRGB); });
}

void Lighting::SendCycleEffect() {
    if (state_.m_iLEDEffectMode == EffectMode(LedEffect::Rainbow)) {
        SetEffectCode(led_mode::kRainbow);
        SendMode(led_mode::kRainbow, state_.m_iLEDRainbowSpeed);
    } else if (state_.m_iLEDEffectMode == EffectMode(LedEffect::MultiBreathe)) {
        SetEffectCode(led_mode::kMultiBreathe);
        SendMode(led_mode::kMultiBreathe, state_.m_iLEDMultiBreatheSpeed);
    }
}

void Lighting::ColorSingleCheckImageClick() {
    ShowCheck(kSingleStem, true);
    state_.m_bLEDSingleColorFlag = 1;
    state_.m_bLEDOffFlag = 0;
    state_.m_iLEDEffectMode = 0;
    RefreshLEDPage();
}

void Lighting::ColorBreatheCheckImageClick() {
    state_.m_iLEDEffectMode = EffectMode(LedEffect::Breathe);
    state_.m_bLEDOffFlag = 0;
    RefreshLEDPage();
    SetEffectCode(led_mode::kBreathe);
    SendMode(led_mode::kBreathe, state_.m_iLEDBreatheSpeed);
    context_.platform.clock.Sleep(kRequestWait);
}

// The fixed rainbow goes into the slots; the user's slot colours stay as they are.
void Lighting::ColorRainbowCheckImageClick() {
    state_.m_iLEDEffectMode = EffectMode(LedEffect::Rainbow);
    state_.m_bLEDOffFlag = 0;
    RefreshLEDPage();
    SetEffectCode(led_mode::kRainbow);
    UploadSlotsAndMode(kRainbowColours, led_mode::kRainbow, state_.m_iLEDRainbowSpeed,
                       kRainbowSlotWait);
    context_.platform.clock.Sleep(kRequestWait);
}

void Lighting::ColorPulsatingCheckImageClick() {
    state_.m_iLEDEffectMode = EffectMode(LedEffect::MultiBreathe);
    state_.m_bLEDOffFlag = 0;
    RefreshLEDPage();
    SetEffectCode(led_mode::kMultiBreathe);
    UploadSlotsAndMode(state_.LEDColorRGB, led_mode::kMultiBreathe, state_.m_iLEDMultiBreatheSpeed,
                       kRainbowSlotWait);
    context_.platform.clock.Sleep(kRequestWait);
}

// Always switches off; what was lit is kept in the record only by the first of several clicks.
void Lighting::ColorLEDOffCheckImageClick() {
    context_.platform.debugLog.Write(L"[ColorLEDOffCheckImageClick][1]");
    const bool wasOn = state_.m_bLEDOffFlag == 0;
    DumpColorLEDRecord();
    if (wasOn) SaveLEDRecord();
    ShowCheck(kOffStem, true);
    state_.m_bLEDOffFlag = 1;
    RefreshLEDPage();
    SetEffectCode(led_mode::kOnOff);
    SendMode(led_mode::kOnOff, 1);
}

void Lighting::OnShapeMouseDown(Component& swatch) {
    context_.platform.debugLog.Write(L"TAudioMainForm::OnShapeMouseDown");
    const int32_t tag = swatch.tag;
    ShowSelectedSwatch(tag);
    context_.window.Repaint();
    Colour colour = swatch.brushColour;
    if (!context_.ui.ChooseColour(colour)) return;
    colour &= kLargestColour;
    if (colour == 0) return;
    Clock& clock = context_.platform.clock;
    if (tag >= kFirstSlotSwatch && tag < kFirstSlotSwatch + kLedSlotCount) {
        const int32_t slot = tag - kFirstSlotSwatch + 1;
        swatch.brushColour = colour;
        SetSlotColour(static_cast<size_t>(slot - 1), colour);
        if (state_.m_iLEDEffectMode == EffectMode(LedEffect::MultiBreathe) &&
            SlotColourRequest(slot, colour) != 0) {
            clock.Sleep(kRequestWait);
        }
    } else if (tag == kBreatheSwatch) {
        SetEffectCode(led_mode::kBreathe);
        swatch.brushColour = colour;
        state_.LEDBreatheColorRGB = colour;
        if (SingleColourRequest(led_mode::kBreathe, colour) != 0) {
            clock.Sleep(kBreatheColourFailureWait);
        }
    } else if (tag == kSingleSwatch) {
        SetEffectCode(led_mode::kSingleColour);
        swatch.brushColour = colour;
        state_.LEDSingleColorRGB = colour;
        SendWithRetry([&] { return SingleColourRequest(led_mode::kSingleColour, colour); });
    }
}

// Letting go of the slider of the chosen effect sends that effect with its new speed.
void Lighting::SliderReleased(LedEffect effect) {
    if (state_.m_iLEDEffectMode != EffectMode(effect)) return;
    effectWorker_.Signal();
    context_.platform.clock.Sleep(kRequestWait);
    switch (effect) {
        case LedEffect::Breathe: ColorBreatheCheckImageClick(); break;
        case LedEffect::Rainbow: ColorRainbowCheckImageClick(); break;
        case LedEffect::MultiBreathe: ColorPulsatingCheckImageClick(); break;
    }
}

void Lighting::PageLEDClick() {
    if (state_.LEDPageMode == kPageModeShown) {
        RefreshLEDPage();
    } else if (state_.LEDPageMode != 0) {
        ShowLedDialog();
    }
}

void Lighting::PageLEDLabelClick() {
    if (state_.LEDPageMode == kPageModeShown) {
        RefreshLEDPage();
    } else {
        ShowLedDialog();
    }
}

void Lighting::ShowLedDialog() {
    ledForm_.ShowModal();
    context_.window.Repaint();
}

void Lighting::SpeedsFromSliders() {
    for (size_t i = 0; i < kLedEffectCount; ++i) {
        const auto effect = static_cast<LedEffect>(i);
        if (const Component* slider = Slider(effect)) {
            SetSpeed(effect,
                     SpeedFromSlider(slider->left, BarOf(effect), state_.LEDFastRightSide == 1));
        }
    }
}

void Lighting::SaveLEDRecord() {
    state_.m_nRecLEDEffect = state_.m_nLEDEffect;
    state_.m_iRecLEDEffectMode = state_.m_iLEDEffectMode;
    state_.m_bRecLEDSingleColorFlag = state_.m_bLEDSingleColorFlag;
}

// Sends what the record holds and leaves the state as it was.
void Lighting::RestoreLEDRecord() {
    const int32_t keptMode = state_.m_iLEDEffectMode;
    const int32_t keptEffect = state_.m_nLEDEffect;
    state_.m_iLEDEffectMode = state_.m_iRecLEDEffectMode;
    SetEffectCode(state_.m_nRecLEDEffect);
    switch (state_.m_iRecLEDEffectMode) {
        case 0: {
            const int32_t singleBefore = state_.m_bLEDSingleColorFlag;
            state_.m_bLEDSingleColorFlag = state_.m_bRecLEDSingleColorFlag;
            SendSingleColorEffect();
            state_.m_bLEDSingleColorFlag = singleBefore != 0 ? 1 : 0;
            break;
        }
        case 1: SendBreatheEffect(); break;
        case 2:
        case 3: SendCycleEffect(); break;
        default: break;
    }
    state_.m_iLEDEffectMode = keptMode;
    SetEffectCode(keptEffect);
}

// ---- Profiles ----

// A key present and not empty, as a decimal integer within [minimum, maximum]; anything else
// leaves the state as it is.
namespace {

std::optional<int32_t> ProfileNumber(Platform& platform, const std::wstring& path,
                                     const wchar_t* key, int64_t minimum, int64_t maximum) {
    const std::wstring text =
        ReadConfigValue(platform.profiles, path, L"LED", key, kProfileValueCapacity);
    if (text.empty()) return std::nullopt;
    const std::optional<int32_t> number = ParseInteger(text);
    if (!number || *number < minimum || *number > maximum) return std::nullopt;
    return number;
}

}  // namespace

void Lighting::LoadLEDUI(const std::wstring& profilePath) {
    Platform& platform = context_.platform;
    auto read = [&](const wchar_t* key, int64_t minimum, int64_t maximum) {
        return ProfileNumber(platform, profilePath, key, minimum, maximum);
    };
    if (const auto value = read(L"LEDPageMode", INT32_MIN, INT32_MAX)) state_.LEDPageMode = *value;
    if (const auto value = read(L"LEDOff", 0, 1)) {
        state_.m_bLEDOffFlag = *value;
        ShowCheck(kOffStem, *value == 1);
    }
    if (const auto value = read(L"LEDSingleColor", 0, 1)) {
        state_.m_bLEDSingleColorFlag = *value;
        ShowCheck(kSingleStem, *value == 1);
    }
    if (const auto value = read(L"LEDEffectMode", 0, static_cast<int64_t>(kLedEffectCount))) {
        state_.m_iLEDEffectMode = *value;
        ShowEffectChoice();
    }
    // Speeds are bytes 1..255: a value outside is brought into that range.
    const wchar_t* const speedKeys[] = {L"LEDBreatheSpeed", L"LEDRainbowSpeed",
                                        L"LEDMultiBreatheSpeed"};
    const wchar_t* const positionKeys[] = {L"LEDBreatheSliderPos", L"LEDRainbowSliderPos",
                                           L"LEDMultiBreatheSliderPos"};
    for (size_t i = 0; i < kLedEffectCount; ++i) {
        const auto effect = static_cast<LedEffect>(i);
        if (const auto value = read(speedKeys[i], INT32_MIN, INT32_MAX)) {
            SetSpeed(effect, std::clamp<int32_t>(*value, 1, kMaximumSpeed));
        }
        if (const auto value = read(positionKeys[i], INT32_MIN, INT32_MAX)) {
            SliderPosition(effect) = OnBar(*value, BarOf(effect));
        }
    }
    PlaceSliders();
    if (const auto value = read(L"LEDSingleColorRGB", 0, kLargestColour)) {
        state_.LEDSingleColorRGB = static_cast<Colour>(*value);
    }
    if (const auto value = read(L"LEDBreatheColorRGB", 0, kLargestColour)) {
        state_.LEDBreatheColorRGB = static_cast<Colour>(*value);
    }
    for (size_t slot = 0; slot < static_cast<size_t>(kLedSlotCount); ++slot) {
        const std::wstring key = L"LEDColor" + std::to_wstring(slot + 1) + L"RGB";
        if (const auto value = read(key.c_str(), 0, kLargestColour)) {
            SetSlotColour(slot, static_cast<Colour>(*value));
        }
    }
    FillSwatches();
    if (const auto value = read(L"LEDFastRightSide", 0, 1)) state_.LEDFastRightSide = *value;
    if (context_.DeviceActive() && state_.LEDPageMode == kPageModeShown) effectWorker_.Signal();
}

std::vector<LedProfileValue> Lighting::LEDProfileValues() const {
    const LedState& s = state_;
    auto colour = [](Colour value) { return static_cast<int32_t>(value); };
    return {
        {L"LEDON", s.ledButtonState},
        {L"LEDPageMode", s.LEDPageMode},
        {L"LEDOff", s.m_bLEDOffFlag},
        {L"LEDSingleColor", s.m_bLEDSingleColorFlag},
        {L"LEDEffectMode", s.m_iLEDEffectMode},
        {L"LEDBreatheSpeed", s.m_iLEDBreatheSpeed},
        {L"LEDRainbowSpeed", s.m_iLEDRainbowSpeed},
        {L"LEDMultiBreatheSpeed", s.m_iLEDMultiBreatheSpeed},
        {L"LEDBreatheSliderPos", s.LEDBreatheSliderPos},
        {L"LEDRainbowSliderPos", s.LEDRainbowSliderPos},
        {L"LEDMultiBreatheSliderPos", s.LEDMultiBreatheSliderPos},
        {L"LEDSingleColorRGB", colour(s.LEDSingleColorRGB)},
        {L"LEDBreatheColorRGB", colour(s.LEDBreatheColorRGB)},
        {L"LEDColor1RGB", colour(s.LEDColorRGB[0])},
        {L"LEDColor2RGB", colour(s.LEDColorRGB[1])},
        {L"LEDColor3RGB", colour(s.LEDColorRGB[2])},
        {L"LEDColor4RGB", colour(s.LEDColorRGB[3])},
        {L"LEDColor5RGB", colour(s.LEDColorRGB[4])},
        {L"LEDColor6RGB", colour(s.LEDColorRGB[5])},
        {L"LEDColor7RGB", colour(s.LEDColorRGB[6])},
        {L"LEDFastRightSide", s.LEDFastRightSide},
    };
}

}  // namespace tavrin
