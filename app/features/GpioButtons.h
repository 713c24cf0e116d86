#pragma once
// The headset's own buttons and switches on its GPIO lines 0..9. The SDK's button scan reports
// every change of the lines; a change becomes one of nine panel actions, pressed on the main
// window as the user would press it, or a toggle of noise cancellation by a dedicated ENC line.
// In level mode a slide switch owns the virtual 7.1 switch, and the 7.1 controls refuse mouse
// presses that do not come from the hardware.
#include <array>
#include <cstdint>
#include <deque>
#include <string>

#include "app/features/ButtonScan.h"
#include "app/features/DeviceCommands.h"
#include "app/features/EncVoiceMagic.h"
#include "app/features/FeatureUnit.h"
#include "app/features/TMyThread.h"

namespace tavrin {

// "Raw Data = %.2X %.2X %.2X %.2X %.2X\n\n"
std::wstring FormatScanReport(const ScanReport& report);
// The line a change mask stands for: the one changed line, 9 when none of lines 0..15 changed,
// 0 when several did (or one above 9).
size_t ChangedLine(const ScanReport& changeMask);

class GpioButtons final : public FeatureUnit {
public:
    GpioButtons(FeatureContext& context, EncVoiceMagic& enc);

    // [GPIO] MODE 1: switches, whose position counts.
    bool LevelMode() const;
    // 1 while the virtual 7.1 switch line stands at its active level (level mode).
    int32_t SwitchState() const { return switchState_; }
    // Level mode: presses on the speakers and the 7.1 switch, and on 7.1's reset while the
    // switch is off, are the hardware's alone.
    bool PressLocked(int32_t tag) const;

    // Level mode: the lines read once, and the 7.1 switch set from the switch line.
    void ReadGPIOAndSetUI();
    void ScanENCGPIO();
    // Outside level mode, with ENC support and the ENC button configured: the ENC line set up
    // for the scan. True when the SDK took it.
    bool SetUpEncLine();

    // The delayed-press worker; Stop also ends the scan the window armed. Window thread.
    void StartWorker() { delayedPress_.Start(); }
    void Stop();

    // One scan report as the callback copied it, on the window thread.
    void OnScanReport(const ScanReport& report);

    void ResetAfterRemoval() override;

private:
    void HandleReport(const ScanReport& report);
    void SendEncButton(const ScanReport& report);
    void DispatchFunction(const ScanReport& report);
    void ActOn(int32_t function, bool pressing);
    // Functions 1..6, by their index in the table of panel functions.
    void ActOnPanel(size_t index, bool pressing);
    void PressAndRestore(const wchar_t* control);
    void ToggleSwitchDisplay(int32_t tag, int32_t& state);
    bool LineInUse(size_t line) const;
    bool AtActiveLevel(const ScanReport& report, size_t line) const;
    void PressDelayed(const std::wstring& control);

    FeatureContext& context_;
    EncVoiceMagic& enc_;
    ButtonScanRoute route_;
    TMyThread delayedPress_;

    int32_t switchState_ = 0;
    std::wstring previousText_;
    ScanReport previous_{};
    ScanReport changeMask_{};
    // Set by every dispatch, cleared only by the delayed press. Everything that reads or writes
    // it runs on the window thread.
    bool gpioPress_ = false;
    bool encArmed_ = false;
    bool skipFirstEncReport_ = true;
    bool linesConfigured_ = false;
    // Reports that came while one was being handled wait for it to end.
    std::deque<ScanReport> waiting_;
    bool handling_ = false;
};

}  // namespace tavrin
