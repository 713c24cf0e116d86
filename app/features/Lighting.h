#pragma once
// RGB lighting: the LED button of the main window, the LED page (lights off, single colour,
// breathe, rainbow, multi-breathe, the colours and the three speed sliders), the worker
// LEDEffectThread that re-sends the animated effect, the LED steps of start-up, arrival, removal
// and close, and the LED settings dialog and palette.
#include <array>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "app/features/DeviceCommands.h"
#include "app/features/EventWorker.h"
#include "app/features/FeatureUnit.h"
#include "app/features/LedProtocol.h"
#include "app/features/ULEDColorForm.h"
#include "app/features/ULEDForm.h"

namespace tavrin {

// The animated effects with a speed slider, as m_iLEDEffectMode 1..3 names them.
enum class LedEffect { Breathe, Rainbow, MultiBreathe };
inline constexpr size_t kLedEffectCount = 3;

// A speed slider on its bar: the bar's left edge and how far the slider's left edge travels.
struct SpeedBar {
    int32_t left = 0;
    int32_t travel = 0;  // bar width - slider width
};
// The slider's left edge kept on its bar.
int32_t OnBar(int32_t edge, const SpeedBar& bar);
// The one mapping from a slider's left edge to its speed byte, for a drag and after a restart
// alike: 1 at the bar's left end, 255 at its right end, in percent steps between; the other way
// round when the right end is the fast one. Never 0.
uint8_t SpeedFromSlider(int32_t edge, const SpeedBar& bar, bool fastRightSide);

// Red, yellow, green, blue, magenta, purple, light green: what every skin load starts from.
inline constexpr std::array<Colour, kLedSlotCount> kDefaultLedSlotColours = {
    0x0000FF, 0x00FFFF, 0x008000, 0xFF0000, 0xFF00FF, 0x800080, 0x00FF00};
inline constexpr Colour kDefaultLedColour = 0x0000FF;

// The LED state of the main window.
struct LedState {
    int32_t LEDPageMode = 0;
    int32_t m_bLEDOffFlag = 0;
    int32_t m_bLEDSingleColorFlag = 0;
    int32_t m_iLEDEffectMode = 0;  // 0 none, 1 breathe, 2 rainbow, 3 multi-breathe
    int32_t m_nLEDEffect = 1;      // the device mode in force
    int32_t m_iLEDBreatheSpeed = 1;
    int32_t m_iLEDRainbowSpeed = 1;
    int32_t m_iLEDMultiBreatheSpeed = 1;
    int32_t LEDBreatheSliderPos = 0;
    int32_t LEDRainbowSliderPos = 0;
    int32_t LEDMultiBreatheSliderPos = 0;
    int32_t LEDFastRightSide = 0;
    Colour LEDSingleColorRGB = kDefaultLedColour;
    Colour LEDBreatheColorRGB = kDefaultLedColour;
    // LEDColor1RGB .. LEDColor7RGB
    std::array<Colour, kLedSlotCount> LEDColorRGB = kDefaultLedSlotColours;
    int32_t m_nRecLEDEffect = 1;
    int32_t m_iRecLEDEffectMode = 0;
    int32_t m_bRecLEDSingleColorFlag = 1;
    int32_t m_bInitMultiColorLED = 1;
    int32_t selectedSwatch = 151;
    int32_t ledButtonState = 0;  // the LED button of the left column
};

// A key of the profile's [LED] section with its value.
struct LedProfileValue {
    const wchar_t* key;
    int32_t value;
};

class Lighting final : public FeatureUnit {
public:
    explicit Lighting(FeatureContext& context);
    // Joins the workers.
    ~Lighting() override;

    // The LED button lights the headset while it is held.
    void Press(const ControlRow& row, Component& sender) override;
    void Release(const ControlRow& row, Component& sender) override;
    // The check images, the swatches, a speed slider let go, the page button.
    void Click(const ControlRow& row, Component& sender) override;
    bool IsDown(const ControlRow& row) const override;
    void Dragged(const ControlRow& row, Component& slider, int32_t left, int32_t top) override;
    // The skin's LED keys, the default colours, the swatches and the sliders.
    void SkinApplied() override;
    void Redraw() override;

    // The composition's fixed steps.
    void SetInitialState();
    void DumpColorLEDRecord();
    // Construction, the first activation after start or after a removal.
    void InitMultiColorLED();
    // The device is gone: the worker ends; the next activation starts a new one.
    void ReleaseEffectWorker();
    // Destruction with a device: the record dumped, the worker released and LEDs that the user
    // switched off lit again in the single colour.
    void Shutdown();
    // Both workers stop and are joined (nothing is sent).
    void StopWorkers();
    int32_t LedButtonState() const { return state_.ledButtonState; }
    // A profile's LEDON: the button's state and look, and the LED switch.
    void LoadLedButton(int32_t state);
    bool LedPageInUse() const { return state_.LEDPageMode == 1; }
    bool DialogShowing() const { return ledForm_.Showing(); }

    // The profile's [LED] section: LoadLEDUI reads the file loaded last; LEDProfileValues gives
    // what a profile stores, key by key in the order they are written.
    void LoadLEDUI(const std::wstring& profilePath);
    std::vector<LedProfileValue> LEDProfileValues() const;

    // The page.
    void RefreshLEDPage();
    void SendSingleColorEffect();
    void SendBreatheEffect();
    void SendCycleEffect();
    void ColorLEDOffCheckImageClick();
    void ColorSingleCheckImageClick();
    void ColorBreatheCheckImageClick();
    void ColorRainbowCheckImageClick();
    void ColorPulsatingCheckImageClick();
    void OnShapeMouseDown(Component& swatch);
    // The speed slider of `effect` was let go.
    void SliderReleased(LedEffect effect);
    void PageLEDClick();
    void PageLEDLabelClick();
    void SpeedsFromSliders();
    void SaveLEDRecord();
    void RestoreLEDRecord();

    // One pass of LEDEffectThread after a wake-up.
    void EffectPass();
    void SignalEffectWorker() { effectWorker_.Signal(); }
    bool EffectWorkerRunning() const { return effectWorker_.Running(); }

    const LedState& State() const { return state_; }
    TLEDForm& LedForm() { return ledForm_; }

private:
    // What LEDEffectThread reads (the effect in force, the speeds, the slot colours and the
    // first-upload flag) changes under ledMutex_; the window thread, its only other writer,
    // reads it freely. Either thread also holds the lock through a sequence of requests built
    // from that state, so that neither sends a state the other has already replaced.
    void SetEffectCode(int32_t code);
    void SetSpeed(LedEffect effect, int32_t speed);
    void SetSlotColour(size_t slot, Colour colour);
    bool InitMultiColorLEDPending() const;
    // True for the one caller that finds the flag set; it is cleared.
    bool TakeInitMultiColorLED();

    // The requests of the main window; SendWithRetry sends once more after 10 ms on a failure.
    int32_t SendWithRetry(const std::function<int32_t()>& request);
    int32_t ModeRequest(int32_t code, int32_t speed);
    int32_t SlotColourRequest(int32_t slot, Colour colour);
    int32_t SingleColourRequest(int32_t code, Colour colour);
    void SendMode(int32_t code, int32_t speed);
    void SendLedSwitch(bool on);
    // Rainbow and multi-breathe: the seven slots, `gap` ms after each, then the mode.
    void UploadSlotsAndMode(const std::array<Colour, kLedSlotCount>& colours, int32_t code,
                            int32_t speed, uint32_t gap);
    // The user's slot colours, `waitBefore` ms before and 10 ms after each.
    void UploadSlotColours(uint32_t waitBefore);

    int32_t Speed(LedEffect effect) const;
    int32_t& SliderPosition(LedEffect effect);
    Component* Slider(LedEffect effect);
    SpeedBar BarOf(LedEffect effect);
    void PlaceSliders();
    void ShowCheck(const wchar_t* stem, bool down);
    void ShowEffectChoice();
    void FillSwatches();
    void ShowPage();
    void ShowSelectedSwatch(int32_t tag);
    void ShowLedDialog();

    FeatureContext& context_;
    LedState state_;
    mutable std::mutex ledMutex_;
    EventWorker effectWorker_;
    TLEDForm ledForm_;
    // Built with the window; nothing opens it yet.
    TLEDColorForm colorForm_;
};

}  // namespace tavrin
