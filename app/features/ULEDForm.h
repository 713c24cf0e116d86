#pragma once
// The LED settings dialog TLEDForm: the headset's lighting with plain controls (seven colour
// slots, brightness, the seven modes with a speed each, the LED number, the master or slave
// path) and its worker CLEDCommandThread, which re-sends the chosen mode when a speed changes.
#include <array>
#include <cstdint>
#include <mutex>

#include "app/device/VendorSdk.h"
#include "app/features/EventWorker.h"
#include "app/features/LedProtocol.h"
#include "ports/Clock.h"
#include "ports/DebugLog.h"
#include "ports/Dialog.h"
#include "ports/UiHost.h"

namespace tavrin {

// The last argument of every request of the dialog.
inline constexpr uint32_t kLedDialogTail = 500;

class TLEDForm final : public Dialog {
public:
    TLEDForm(VendorSdk& sdk, Clock& clock, DebugLog& debugLog, UiHost& ui);
    // FormDestroy.
    ~TLEDForm() override;

    void ShowModal();
    // The shown flag: the main window leaves the pointer alone meanwhile.
    bool Showing() const { return shown_; }
    // The shown flag down and the worker joined.
    void FormDestroy();
    void StopWorker() { worker_.Stop(); }

    // The handlers, by the controls' names.
    void FormShow();
    void FormClose();
    void ShapeMouseDown(DialogControl& shape);
    void ButtonSetColorClick();
    void TrackBarBrightnessChange(const DialogControl& bar);
    void TrackBarEffectChange(const DialogControl& bar);
    void RadioButtonMouseDown(const DialogControl& radio);  // modes 3..7
    void RadioButtonOnMouseDown();                          // mode 2
    void RadioButtonOffMouseDown();                         // mode 1
    void SingleColorShapeMouseDown(DialogControl& shape);
    void ButtonCloseClick();

    // One pass of CLEDCommandThread after a wake-up.
    void CommandPass();

    int32_t SelectedSlot() const { return selectedSlot_; }
    int32_t CurrentMode() const;
    int32_t LedNumber() const;
    bool WorkerRunning() const { return worker_.Running(); }

protected:
    void OnShow() override { FormShow(); }
    void OnClose() override { FormClose(); }
    void OnPress(DialogControl& control) override;
    void OnTrackBarChange(DialogControl& control) override;

private:
    // What the worker reads; the window thread writes it under the lock, and the worker holds
    // the lock from reading it to the end of its request, so that it never sends a mode that
    // was already replaced.
    struct Shared {
        int32_t currentMode = 1;
        std::array<int32_t, 8> speeds{1, 1, 1, 1, 1, 1, 1, 1};  // modes 3..7
        int32_t ledNumber = 0;
        bool master = true;
        uint8_t target = kLedTarget;  // the master path's LED controller, set again on each show
    };

    void BuildControls();
    void LayOutEffectRows();
    void SetCurrentMode(int32_t mode);
    Shared Path() const;
    // The requests on the path chosen now (master or slave), with its LED number.
    void SendMode(int32_t mode, int32_t speedOrFlag);
    static void SendModeOn(VendorSdk& sdk, const Shared& path, int32_t mode, int32_t speedOrFlag);
    void SendSlotColour(int32_t slot, uint32_t colour);
    void SendModeColour(int32_t mode, uint32_t colour);
    void SendBrightness(int32_t level);
    void SendStepCount();
    DialogControl& Control(std::wstring_view name);
    DialogControl* ByTag(DialogControlKind kind, int32_t tag);

    VendorSdk& sdk_;
    Clock& clock_;
    DebugLog& debugLog_;
    UiHost& ui_;
    EventWorker worker_;
    mutable std::mutex mutex_;
    Shared shared_;
    int32_t selectedSlot_ = 1;
    bool shown_ = false;
    uint32_t dialogColour_ = 0;  // the colour dialog starts where it ended last
};

}  // namespace tavrin
