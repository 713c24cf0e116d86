#include "app/features/ULEDForm.h"

#include <string>

#include "app/features/LedProtocol.h"

namespace tavrin {
namespace {

using Kind = DialogControlKind;

constexpr uint32_t kRadioSettleWait = 500;
constexpr uint32_t kCommandWait = 500;
constexpr int32_t kTrackBarOffset = 96;  // an effect's track bar: right of its radio button
constexpr int32_t kShapeOffset = 360;    // its colour shape further right
constexpr int32_t kColourShapeTagBase = 100;
constexpr int32_t kSlotPenWidth = 2;

constexpr const wchar_t* kEffectRadios[] = {L"RadioButtonOff",         L"RadioButtonOn",
                                            L"RadioButtonBlinking",    L"RadioButtonBreathe",
                                            L"RadioButtonRainbow",     L"RadioButtonMultiBreathe",
                                            L"RadioButtonSingleRandom"};
constexpr const wchar_t* kEffectCaptions[] = {L"LED Off",      L"Single color", L"Blinking",
                                              L"Breathe",      L"Rainbow",      L"Multi Breathe",
                                              L"Single Random"};
constexpr const wchar_t* kEffectTrackBars[] = {L"TrackBarBlinking", L"TrackBarBreathe",
                                               L"TrackBarRainbow", L"TrackBarMultiBreathe",
                                               L"TrackBarSingleRandom"};
constexpr const wchar_t* kColourShapes[] = {L"ShapeSingleColor", L"ShapeBlinkingColor",
                                            L"ShapeBreatheColor"};

DialogControl Make(Kind kind, const wchar_t* name, int32_t tag, const wchar_t* caption,
                   int32_t left, int32_t top, int32_t width, int32_t height) {
    DialogControl control;
    control.kind = kind;
    control.name = name;
    control.tag = tag;
    control.caption = caption;
    control.left = left;
    control.top = top;
    control.width = width;
    control.height = height;
    return control;
}

DialogControl TrackBar(const wchar_t* name, int32_t tag, int32_t left, int32_t top, int32_t width,
                       int32_t maximum) {
    DialogControl bar = Make(Kind::TrackBar, name, tag, L"", left, top, width, 26);
    bar.minimum = 1;
    bar.maximum = maximum;
    bar.position = 1;
    return bar;
}

bool Named(const DialogControl& control, std::wstring_view name) {
    return control.name == name;
}

}  // namespace

TLEDForm::TLEDForm(VendorSdk& sdk, Clock& clock, DebugLog& debugLog, UiHost& ui)
    : sdk_(sdk),
      clock_(clock),
      debugLog_(debugLog),
      ui_(ui),
      worker_([] {}, [this] { CommandPass(); }) {
    frame.caption = L"LEDForm";
    frame.clientWidth = 560;
    frame.clientHeight = 478;
    frame.captioned = true;
    BuildControls();
}

TLEDForm::~TLEDForm() {
    FormDestroy();
}

// The design: five groups and the Close button. The effect rows take their final places when
// the dialog shows.
void TLEDForm::BuildControls() {
    Add(Make(Kind::GroupBox, L"GroupBoxColor", 0, L"Color set", 8, 6, 544, 70));
    for (int32_t slot = 1; slot <= kLedSlotCount; ++slot) {
        DialogControl shape = Make(Kind::Swatch, (L"Shape" + std::to_wstring(slot)).c_str(), slot,
                                   L"", 22 + (slot - 1) * 36, 34, 26, 26);
        Add(shape);
    }
    Add(Make(Kind::Button, L"ButtonSetColor", 0, L"Select Color", 300, 32, 110, 28));

    Add(Make(Kind::GroupBox, L"GroupBoxBrightness", 0, L"Brightness", 8, 82, 544, 58));
    Add(Make(Kind::Label, L"LabelBrightness", 0, L"Brightness :", 22, 108, 80, 18));
    Add(TrackBar(L"TrackBarBrightness", 0, 108, 102, 220, 6));

    Add(Make(Kind::GroupBox, L"GroupBoxEffect", 0, L"Effect setting", 8, 146, 544, 230));
    for (int32_t mode = 1; mode <= 7; ++mode) {
        DialogControl radio = Make(Kind::RadioButton, kEffectRadios[mode - 1], mode,
                                   kEffectCaptions[mode - 1], 22, 170 + (mode - 1) * 29, 90, 24);
        radio.groupStart = mode == 1;
        radio.checked = mode == 1;
        Add(radio);
    }
    for (int32_t mode = 3; mode <= 7; ++mode) {
        Add(TrackBar(kEffectTrackBars[mode - 3], mode, 22, 170, 240, 255));
    }
    for (int32_t mode = 2; mode <= 4; ++mode) {
        Add(Make(Kind::Swatch, kColourShapes[mode - 2], kColourShapeTagBase + mode, L"", 22, 170,
                 24, 24));
    }

    Add(Make(Kind::GroupBox, L"GroupBoxLedNumber", 0, L"LED Number", 8, 382, 268, 52));
    Add(Make(Kind::GroupBox, L"GroupBoxMasterSlave", 0, L"Master / Slave", 284, 382, 268, 52));
    DialogControl led1 = Make(Kind::RadioButton, L"RadioButtonLED1", 1, L"LED1", 22, 402, 70, 24);
    led1.groupStart = true;
    Add(led1);
    Add(Make(Kind::RadioButton, L"RadioButtonLED2", 2, L"LED2", 100, 402, 70, 24));
    DialogControl all =
        Make(Kind::RadioButton, L"RadioButtonAllLED", 0, L"LED All", 178, 402, 80, 24);
    all.checked = true;
    Add(all);
    DialogControl master =
        Make(Kind::RadioButton, L"RadioButtonMaster", 0, L"Master", 298, 402, 80, 24);
    master.groupStart = true;
    master.checked = true;
    Add(master);
    Add(Make(Kind::RadioButton, L"RadioButtonSlave", 0, L"Slave", 392, 402, 80, 24));

    Add(Make(Kind::Button, L"ButtonClose", 0, L"Close", 442, 442, 110, 28));
}

DialogControl& TLEDForm::Control(std::wstring_view name) {
    return *Find(name);
}

DialogControl* TLEDForm::ByTag(DialogControlKind kind, int32_t tag) {
    for (DialogControl& control : controls) {
        if (control.kind == kind && control.tag == tag) return &control;
    }
    return nullptr;
}

int32_t TLEDForm::CurrentMode() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return shared_.currentMode;
}

int32_t TLEDForm::LedNumber() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return shared_.ledNumber;
}

void TLEDForm::SetCurrentMode(int32_t mode) {
    std::lock_guard<std::mutex> lock(mutex_);
    shared_.currentMode = mode;
}

TLEDForm::Shared TLEDForm::Path() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return shared_;
}

void TLEDForm::ShowModal() {
    ClearCloseRequest();
    ui_.ShowModalDialog(*this);
}

// ---- Showing and closing ----

// One worker serves every show; it is started by the first.
void TLEDForm::FormShow() {
    shown_ = true;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        shared_.target = kLedTarget;
    }
    Control(L"Shape" + std::to_wstring(selectedSlot_)).penWidth = 1;
    Control(L"Shape" + std::to_wstring(selectedSlot_)).penColour = 0;
    selectedSlot_ = 1;
    SetCurrentMode(led_mode::kOnOff);
    DialogControl& first = Control(L"Shape1");
    first.penColour = kSwatchHighlight;
    first.penWidth = kSlotPenWidth;
    worker_.Start();
    SendStepCount();
    LayOutEffectRows();
}

void TLEDForm::LayOutEffectRows() {
    for (int32_t mode = 3; mode <= 7; ++mode) {
        const DialogControl& radio = Control(kEffectRadios[mode - 1]);
        DialogControl& bar = Control(kEffectTrackBars[mode - 3]);
        bar.top = radio.top;
        bar.left = radio.left + kTrackBarOffset;
    }
    for (int32_t mode = 2; mode <= 4; ++mode) {
        const DialogControl& radio = Control(kEffectRadios[mode - 1]);
        DialogControl& shape = Control(kColourShapes[mode - 2]);
        shape.top = radio.top;
        shape.left = radio.left + kShapeOffset;
    }
}

void TLEDForm::FormClose() {
    shown_ = false;
}

void TLEDForm::FormDestroy() {
    shown_ = false;
    worker_.Stop();
}

void TLEDForm::ButtonCloseClick() {
    RequestClose();
}

// ---- Events ----

void TLEDForm::OnPress(DialogControl& control) {
    const std::wstring_view name = control.name;
    if (control.kind == Kind::Swatch && control.tag > kColourShapeTagBase) {
        SingleColorShapeMouseDown(control);
    } else if (control.kind == Kind::Swatch) {
        ShapeMouseDown(control);
    } else if (Named(control, L"ButtonSetColor")) {
        ButtonSetColorClick();
    } else if (Named(control, L"ButtonClose")) {
        ButtonCloseClick();
    } else if (Named(control, L"RadioButtonOff")) {
        RadioButtonOffMouseDown();
    } else if (Named(control, L"RadioButtonOn")) {
        RadioButtonOnMouseDown();
    } else if (name.starts_with(L"RadioButtonLED") || Named(control, L"RadioButtonAllLED")) {
        std::lock_guard<std::mutex> lock(mutex_);
        shared_.ledNumber = control.tag;
    } else if (Named(control, L"RadioButtonMaster") || Named(control, L"RadioButtonSlave")) {
        std::lock_guard<std::mutex> lock(mutex_);
        shared_.master = Control(L"RadioButtonMaster").checked;
    } else if (control.kind == Kind::RadioButton) {
        RadioButtonMouseDown(control);
    }
}

void TLEDForm::OnTrackBarChange(DialogControl& control) {
    if (Named(control, L"TrackBarBrightness")) {
        TrackBarBrightnessChange(control);
    } else {
        TrackBarEffectChange(control);
    }
}

void TLEDForm::ShapeMouseDown(DialogControl& shape) {
    DialogControl& previous = Control(L"Shape" + std::to_wstring(selectedSlot_));
    previous.penColour = 0;
    previous.penWidth = 1;
    shape.penColour = kSwatchHighlight;
    shape.penWidth = kSlotPenWidth;
    selectedSlot_ = shape.tag;
}

void TLEDForm::ButtonSetColorClick() {
    if (!ui_.ChooseColour(dialogColour_)) return;
    Control(L"Shape" + std::to_wstring(selectedSlot_)).brushColour = dialogColour_;
    SendSlotColour(selectedSlot_, dialogColour_);
}

void TLEDForm::TrackBarBrightnessChange(const DialogControl& bar) {
    SendBrightness(bar.position);
}

void TLEDForm::TrackBarEffectChange(const DialogControl& bar) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (bar.tag != shared_.currentMode) return;
        shared_.speeds[static_cast<size_t>(bar.tag)] = bar.position;
    }
    worker_.Signal();
}

// Switching from "LED Off" to an effect also switches the LEDs on, once the effect is in.
void TLEDForm::RadioButtonMouseDown(const DialogControl& radio) {
    const int32_t previous = CurrentMode();
    const int32_t mode = radio.tag;
    SetCurrentMode(mode);
    const DialogControl* bar = ByTag(Kind::TrackBar, mode);
    SendMode(mode, bar != nullptr ? bar->position : 0);
    clock_.Sleep(kRadioSettleWait);
    if (previous == led_mode::kOnOff) SendMode(led_mode::kOnOff, 0);
}

void TLEDForm::RadioButtonOnMouseDown() {
    const int32_t previous = CurrentMode();
    SetCurrentMode(led_mode::kSingleColour);
    SendMode(led_mode::kSingleColour, 0);
    clock_.Sleep(kRadioSettleWait);
    if (previous == led_mode::kOnOff) SendMode(led_mode::kOnOff, 0);
}

// The master path switches off with flag 1, the slave path with 0.
void TLEDForm::RadioButtonOffMouseDown() {
    SetCurrentMode(led_mode::kOnOff);
    SendMode(led_mode::kOnOff, Path().master ? 1 : 0);
}

// The mode changes even when the colour dialog is then cancelled.
void TLEDForm::SingleColorShapeMouseDown(DialogControl& shape) {
    const int32_t mode = shape.tag - kColourShapeTagBase;
    SetCurrentMode(mode);
    if (!ui_.ChooseColour(dialogColour_)) return;
    shape.brushColour = dialogColour_;
    SendModeColour(mode, dialogColour_);
    worker_.Signal();
    if (DialogControl* radio = ByTag(Kind::RadioButton, mode)) {
        CheckRadio(static_cast<size_t>(radio - controls.data()));
    }
}

// ---- The worker ----

void TLEDForm::CommandPass() {
    clock_.Sleep(kCommandWait);
    if (worker_.Stopping()) return;
    debugLog_.Write(L"LEDCommandThread");
    std::lock_guard<std::mutex> lock(mutex_);
    const int32_t mode = shared_.currentMode;
    const int32_t speed = mode > led_mode::kSingleColour && mode <= led_mode::kSingleRandom
                              ? shared_.speeds[static_cast<size_t>(mode)]
                              : 0;
    SendModeOn(sdk_, shared_, mode, speed);
}

// ---- Requests: results ignored, nothing retried ----

void TLEDForm::SendMode(int32_t mode, int32_t speedOrFlag) {
    SendModeOn(sdk_, Path(), mode, speedOrFlag);
}

void TLEDForm::SendModeOn(VendorSdk& sdk, const Shared& path, int32_t mode, int32_t speedOrFlag) {
    const auto led = static_cast<uint8_t>(path.ledNumber);
    const auto code = static_cast<uint8_t>(mode);
    const auto speed = static_cast<uint8_t>(speedOrFlag);
    if (path.master) {
        sdk.Invoke<&VendorSdkTable::DLLZR_SetRGB_Mode>(path.target, led, code, speed,
                                                       kLedDialogTail);
    } else {
        sdk.Invoke<&VendorSdkTable::DLLZR_UsbHidSlave_SetRGB_Mode_Ex>(led, code, speed,
                                                                      kLedDialogTail);
    }
}

// Colour requests address LED 1 when the number is 0 (all LEDs).
void TLEDForm::SendSlotColour(int32_t slot, uint32_t colour) {
    const Shared path = Path();
    const auto led = static_cast<uint8_t>(path.ledNumber == 0 ? 1 : path.ledNumber);
    const RgbBytes rgb = SplitColour(colour);
    const auto index = static_cast<uint8_t>(slot);
    if (path.master) {
        sdk_.Invoke<&VendorSdkTable::DLLZR_SetRGB_Color>(path.target, led, index, rgb.red,
                                                         rgb.green, rgb.blue, kLedDialogTail);
    } else {
        sdk_.Invoke<&VendorSdkTable::DLLZR_UsbHidSlave_SetRGB_Color_Ex>(
            led, index, rgb.red, rgb.green, rgb.blue, kLedDialogTail);
    }
}

void TLEDForm::SendModeColour(int32_t mode, uint32_t colour) {
    const Shared path = Path();
    const auto led = static_cast<uint8_t>(path.ledNumber == 0 ? 1 : path.ledNumber);
    const RgbBytes rgb = SplitColour(colour);
    const auto code = static_cast<uint8_t>(mode);
    if (path.master) {
        sdk_.Invoke<&VendorSdkTable::DLLZR_SetRGB_SingleColor>(path.target, led, code, rgb.red,
                                                               rgb.green, rgb.blue, kLedDialogTail);
    } else {
        sdk_.Invoke<&VendorSdkTable::DLLZR_UsbHidSlave_SetRGB_SingleColor_Ex>(
            led, code, rgb.red, rgb.green, rgb.blue, kLedDialogTail);
    }
}

void TLEDForm::SendBrightness(int32_t level) {
    const Shared path = Path();
    const auto led = static_cast<uint8_t>(path.ledNumber);
    const auto value = static_cast<uint8_t>(level);
    if (path.master) {
        sdk_.Invoke<&VendorSdkTable::DLLZR_SetRGB_Brightness>(path.target, led, value,
                                                              kLedDialogTail);
    } else {
        sdk_.Invoke<&VendorSdkTable::DLLZR_UsbHidSlave_SetRGB_Brightness_Ex>(led, value,
                                                                             kLedDialogTail);
    }
}

void TLEDForm::SendStepCount() {
    const Shared path = Path();
    if (path.master) {
        sdk_.Invoke<&VendorSdkTable::DLLZR_SetRGB_Step>(path.target, kLedStepCount, kLedDialogTail);
    } else {
        sdk_.Invoke<&VendorSdkTable::DLLZR_UsbHidSlave_SetRGB_Step_Ex>(kLedStepCount,
                                                                       kLedDialogTail);
    }
}

}  // namespace tavrin
