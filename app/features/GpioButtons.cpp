#include "app/features/GpioButtons.h"

#include <cwchar>
#include <iterator>

namespace tavrin {
namespace {

using namespace control_tag;

constexpr int32_t kToggleMode = 0;
constexpr int32_t kLevelMode = 1;
constexpr uint32_t kScanStopWait = 500;
constexpr size_t kLevelsByte = 2;  // lines 0..7; lines 8 and 9 in the next byte

// The ENC button's line: its byte in the report and its bit, for the lines that can carry it.
struct EncLine {
    int32_t line;
    size_t byte;
    uint8_t mask;
};
constexpr EncLine kEncLines[] = {
    {1, 2, 0x02}, {2, 2, 0x04}, {3, 2, 0x08}, {8, 3, 0x01}, {9, 3, 0x02}};

// Functions 1..6 press a control of a page. A switch going back to its inactive position
// presses again, only turns the button's look over, or does nothing.
enum class WhenReleased { Press, ToggleDisplay, Nothing };
struct PanelFunction {
    int32_t page;
    const wchar_t* control;
    WhenReleased whenReleased;
    int32_t tag;                   // the button whose look turns over
    int32_t SettingsModel::*flag;  // and its flag in the model
};
constexpr PanelFunction kPanelFunctions[] = {
    {page::kEq, L"EQEQENImage", WhenReleased::ToggleDisplay, kEqEnable,
     &SettingsModel::m_bEQEnable},
    {page::kEq, L"EQ3DENImage", WhenReleased::ToggleDisplay, k3DEnable,
     &SettingsModel::m_b3DEnable},
    {page::kEffect, L"PageEffectImage", WhenReleased::Nothing, kNoTag, nullptr},
    {page::kMic, L"MicBoostImage", WhenReleased::Press, kNoTag, nullptr},
    {page::kMic, L"MicMuteImage", WhenReleased::ToggleDisplay, kMicMute,
     &SettingsModel::m_bMicMute},
    {page::kMic, L"MicMonitorImage", WhenReleased::ToggleDisplay, kMicMonitor,
     &SettingsModel::m_bMicMonitor},
};

uint8_t LineLevel(const ScanReport& report, size_t line) {
    return static_cast<uint8_t>((report[kLevelsByte + line / 8] >> (line % 8)) & 1);
}

}  // namespace

std::wstring FormatScanReport(const ScanReport& report) {
    wchar_t text[64];
    std::swprintf(text, 64, L"Raw Data = %.2X %.2X %.2X %.2X %.2X\n\n", report[0], report[1],
                  report[2], report[3], report[4]);
    return text;
}

size_t ChangedLine(const ScanReport& changeMask) {
    const uint32_t changed = changeMask[kLevelsByte] | uint32_t{changeMask[kLevelsByte + 1]} << 8;
    size_t line = 0;
    for (size_t n = 0; n < kGpioLineCount; ++n) {
        if ((changed & (1u << n)) == changed) line = n;
    }
    return line;
}

GpioButtons::GpioButtons(FeatureContext& context, EncVoiceMagic& enc)
    : context_(context),
      enc_(enc),
      route_(context.ui, [this](const ScanReport& report) { OnScanReport(report); }),
      delayedPress_(context.ui, context.platform.clock,
                    [this](const std::wstring& control) { PressDelayed(control); }) {}

bool GpioButtons::LevelMode() const {
    return context_.config.gpioMode == kLevelMode;
}

bool GpioButtons::PressLocked(int32_t tag) const {
    if (!LevelMode() || gpioPress_) return false;
    return (tag >= kFirstSpeaker && tag <= kVirtualEnable) ||
           (tag == kVirtualReset && switchState_ == 0);
}

bool GpioButtons::LineInUse(size_t line) const {
    const std::vector<int32_t>& enable = context_.config.gpioEnable;
    return line < enable.size() && enable[line] == 1;
}

bool GpioButtons::AtActiveLevel(const ScanReport& report, size_t line) const {
    return LineLevel(report, line) == context_.config.gpioActive[line];
}

// ---- Arming ----

void GpioButtons::ReadGPIOAndSetUI() {
    DebugLog& log = context_.platform.debugLog;
    VendorSdk& sdk = context_.sdk;
    const uint16_t vendorId = context_.discovery.ActiveVendorId();
    const uint16_t productId = context_.discovery.ActiveProductId();
    log.Write(L"[TAudioMainForm::ReadGPIOAndSetUI]");
    if (!linesConfigured_) {
        const int32_t stopped = sdk.Invoke<&VendorSdkTable::DLLZR_ScanButton_ById>(
            vendorId, productId, nullptr, uint8_t{0}, kActiveDeviceIndex);
        log.Write(L" TAudioMainForm::fnDLLZR_ScanButton_ById][fnDLLZR_SetGpioMode][1]ret = " +
                  std::to_wstring(stopped));
        context_.platform.clock.Sleep(kScanStopWait);
        const std::array<uint8_t, kGpioLineCount> modes{};
        sdk.Invoke<&VendorSdkTable::DLLZR_SetGpioMode_ById>(
            modes.data(), static_cast<uint8_t>(modes.size()), kActiveDeviceIndex);
    }
    std::array<uint8_t, kGpioLineCount> levels{};
    for (size_t line = 0; line < kGpioLineCount; ++line) {
        sdk.Invoke<&VendorSdkTable::DLLZR_GetGpioEx_ById>(static_cast<uint8_t>(line), &levels[line],
                                                          kActiveDeviceIndex);
    }
    // The switch is the highest line in use.
    size_t switchLine = 0;
    for (size_t line = 0; line < kGpioLineCount; ++line) {
        if (LineInUse(line)) switchLine = line;
    }
    switchState_ = levels[switchLine] == context_.config.gpioActive[switchLine] ? 1 : 0;
    if (context_.settings.m_iCurrentPage != page::kVirtual)
        context_.window.ShowPage(page::kVirtual);
    context_.settings.m_b7ch1Enable = switchState_;
    context_.window.ShowButton(kVirtualEnable, switchState_ == 1);
    linesConfigured_ = true;
}

void GpioButtons::ScanENCGPIO() {
    const ScanButtonCallback callback = route_.Open();
    context_.sdk.Invoke<&VendorSdkTable::DLLZR_ScanButton_ById>(
        context_.discovery.ActiveVendorId(), context_.discovery.ActiveProductId(), callback,
        uint8_t{1}, kActiveDeviceIndex);
}

bool GpioButtons::SetUpEncLine() {
    const MainWindowConfig& config = context_.config;
    if (context_.settings.m_bENCSupported != 1 || config.encButtonMode != 1) return false;
    return context_.sdk.Invoke<&VendorSdkTable::DLLZR_SetGpioModeEx_ById>(
               static_cast<uint8_t>(config.encGpio), uint8_t{0}, kActiveDeviceIndex) == 0;
}

void GpioButtons::Stop() {
    if (route_.IsOpen()) {
        context_.sdk.Invoke<&VendorSdkTable::DLLZR_ScanButton_ById>(
            context_.discovery.ActiveVendorId(), context_.discovery.ActiveProductId(), nullptr,
            uint8_t{0}, kActiveDeviceIndex);
    }
    route_.Close();
    waiting_.clear();
    delayedPress_.Stop();
}

// The device is gone: its reports stop counting and no delayed press is left waiting.
void GpioButtons::ResetAfterRemoval() {
    encArmed_ = false;
    route_.Close();
    waiting_.clear();
    delayedPress_.Stop();
}

// ---- Reports ----

// Each report is handled to its end before the next: a press that lets pending messages run
// may bring the next one in meanwhile.
void GpioButtons::OnScanReport(const ScanReport& report) {
    waiting_.push_back(report);
    if (handling_) return;
    handling_ = true;
    while (!waiting_.empty()) {
        const ScanReport next = waiting_.front();
        waiting_.pop_front();
        HandleReport(next);
    }
    handling_ = false;
}

void GpioButtons::HandleReport(const ScanReport& report) {
    if (context_.config.encGpio != 0) encArmed_ = true;
    const std::wstring text = FormatScanReport(report);
    if (text == previousText_) return;
    // The first report only tells how the lines stand.
    if (previousText_.empty()) {
        previousText_ = text;
        previous_ = report;
        return;
    }
    DebugLog& log = context_.platform.debugLog;
    log.Write(L"Previous = ");
    log.Write(previousText_);
    log.Write(L"Current = ");
    log.Write(text);
    for (size_t i = 0; i < report.size(); ++i) {
        changeMask_[i] = static_cast<uint8_t>(previous_[i] ^ report[i]);
    }
    const MainWindowConfig& config = context_.config;
    if (config.gpioButtonMode == 1 || config.gpioDipSwitchMode == 1) {
        DispatchFunction(report);
    } else {
        SendEncButton(report);
    }
    previousText_ = text;
    previous_ = report;
    context_.ui.ProcessPendingMessages();
}

// The ENC button pulls its line low while pressed; the first press after start is not counted.
void GpioButtons::SendEncButton(const ScanReport& report) {
    if (!encArmed_) return;
    if (skipFirstEncReport_) {
        skipFirstEncReport_ = false;
        return;
    }
    for (const EncLine& line : kEncLines) {
        if (line.line != context_.config.encGpio) continue;
        if ((report[line.byte] & line.mask) == 0) enc_.ToggleEncFromButton();
        return;
    }
}

void GpioButtons::DispatchFunction(const ScanReport& report) {
    gpioPress_ = true;
    const size_t line = ChangedLine(changeMask_);
    const int32_t function = context_.config.gpioFunction[line];
    const bool atActive = AtActiveLevel(report, line);
    const int32_t mode = context_.config.gpioMode;
    if (mode == kLevelMode) {
        switchState_ = atActive ? 1 : 0;
    } else if (mode == kToggleMode && !(LineInUse(line) && atActive)) {
        return;
    }
    ActOn(function, mode == kToggleMode || switchState_ == 1);
}

// `pressing`: a push button pressed, or a switch moved to its active position.
void GpioButtons::ActOn(int32_t function, bool pressing) {
    if (function >= 1 && function <= static_cast<int32_t>(std::size(kPanelFunctions))) {
        ActOnPanel(static_cast<size_t>(function - 1), pressing);
        return;
    }
    WindowControls& window = context_.window;
    switch (function) {
        case 7: {
            const bool wasShown = context_.settings.m_iCurrentPage == page::kVirtual;
            if (!wasShown) window.ShowPage(page::kVirtual);
            delayedPress_.Update(L"VirtualEnableImage");
            delayedPress_.Wake();
            if (!wasShown) window.RestoreWindow();
            return;
        }
        case 8:
            window.ShowPage(page::kEnc);
            window.PressControl(L"PageENCLabel");
            PressAndRestore(L"ENCFunctionImage");
            return;
        case 9:
            window.ShowPage(page::kVoiceMagic);
            window.PressControl(L"PageVMEffectLabel");
            PressAndRestore(L"VMFunctionImage");
            return;
        default: return;
    }
}

// With a mode other than toggle and level, the page is all a function does.
void GpioButtons::ActOnPanel(size_t index, bool pressing) {
    const PanelFunction& function = kPanelFunctions[index];
    context_.window.ShowPage(function.page);
    const int32_t mode = context_.config.gpioMode;
    if (mode != kToggleMode && mode != kLevelMode) return;
    if (pressing || function.whenReleased == WhenReleased::Press) {
        PressAndRestore(function.control);
    } else if (function.whenReleased == WhenReleased::ToggleDisplay) {
        ToggleSwitchDisplay(function.tag, context_.settings.*function.flag);
    }
}

void GpioButtons::PressAndRestore(const wchar_t* control) {
    context_.window.PressControl(control);
    context_.window.RestoreWindow();
}

// The button's look and the model's flag turn over; the device is not told.
void GpioButtons::ToggleSwitchDisplay(int32_t tag, int32_t& state) {
    state = state == 0 ? 1 : 0;
    context_.window.ShowButton(tag, state == 1);
}

void GpioButtons::PressDelayed(const std::wstring& control) {
    context_.window.PressControl(control);
    gpioPress_ = false;
}

}  // namespace tavrin
