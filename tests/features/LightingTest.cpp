// The LED page against the virtual headset: what each action sends and waits, the speed
// sliders, the profile's [LED] keys, the worker's first upload and the page's life steps.
#include "app/features/Lighting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <optional>
#include <thread>

#include "tests/support/FeatureFixture.h"
#include "tests/support/WorkerClock.h"

namespace tavrin {
namespace {

using Lines = std::vector<std::string>;
using Waits = std::vector<uint32_t>;

std::string Number(int64_t value) {
    return std::to_string(value);
}

std::string Rgb(Colour colour) {
    const RgbBytes rgb = SplitColour(colour);
    return "red=" + Number(rgb.red) + ", green=" + Number(rgb.green) + ", blue=" + Number(rgb.blue);
}

std::string Mode(int32_t mode, int32_t speed, int32_t result = 0) {
    return "sdk DLLZR_SetRGB_Mode_ById(target=58, led=0, mode=" + Number(mode) +
           ", speed=" + Number(speed) + ", tail=50, device=0) -> " + Number(result);
}

std::string Slot(int32_t slot, Colour colour, const std::string& result = "0") {
    return "sdk DLLZR_SetRGB_Color_ById(target=58, led=1, slot=" + Number(slot) + ", " +
           Rgb(colour) + ", tail=50, device=0) -> " + result;
}

std::string Single(int32_t mode, Colour colour, const std::string& result = "0") {
    return "sdk DLLZR_SetRGB_SingleColor_ById(target=58, led=1, mode=" + Number(mode) + ", " +
           Rgb(colour) + ", tail=50, device=0) -> " + result;
}

const std::string kStep = "sdk DLLZR_SetRGB_Step_ById(target=58, steps=7, tail=50, device=0) -> 0";
constexpr std::array<Colour, 7> kRainbow = {0xF7F009, 0x09F7A9, 0xF50AF5, 0x09F7A9,
                                            0xF7F009, 0xF50AF5, 0x09F7A9};
constexpr Colour kRed = 0x0000FF;

Lines Slots(const std::array<Colour, 7>& colours) {
    Lines lines;
    for (int32_t slot = 1; slot <= 7; ++slot) lines.push_back(Slot(slot, colours[slot - 1]));
    return lines;
}

Lines Join(std::initializer_list<Lines> parts) {
    Lines all;
    for (const Lines& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

Waits Repeat(std::initializer_list<uint32_t> pattern, int times) {
    Waits waits;
    for (int i = 0; i < times; ++i) waits.insert(waits.end(), pattern);
    return waits;
}

Waits Join(std::initializer_list<Waits> parts) {
    Waits all;
    for (const Waits& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

size_t CountStarting(const Lines& lines, const std::string& start) {
    return static_cast<size_t>(std::count_if(
        lines.begin(), lines.end(), [&](const auto& line) { return line.rfind(start, 0) == 0; }));
}

// The page with the shipped design, an LED page in the skin, and a clock that tells the window
// thread's waits from the worker's.
class LightingTest : public test::FeatureTest {
protected:
    void SetUp() override {
        FeatureTest::SetUp();
        ledContext.emplace(FeatureContext{ledPlatform, ui, settings, sdk, *io, *discovery, window,
                                          image, windowConfig, context->audio, 6, L""});
        BuildLighting();
    }
    void TearDown() override {
        ledClock.LetWorkersGo();
        lighting.reset();
        FeatureTest::TearDown();
    }
    void BuildLighting() {
        lighting.reset();
        lighting.emplace(*ledContext);
        lighting->SetInitialState();
        lighting->SkinApplied();
        ClearTraffic();
        ledClock.Clear();
    }
    // After the window's own traffic so far: a clean start for the next step.
    void Clear() {
        ClearTraffic();
        ledClock.Clear();
    }
    void WaitForLines(const std::wstring& line, size_t count) {
        for (int i = 0; i < 2000 && log.Count(line) < count; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        ASSERT_GE(log.Count(line), count) << "the worker never got there";
    }
    std::wstring WriteProfile(const std::string& text) {
        const std::wstring path = folder.Path() + L"Profile.ini";
        host.WriteFile(path, text);
        return path;
    }
    Component& Swatch(int32_t tag) { return *window.form.FindByTag(ComponentKind::Shape, tag); }
    const LedState& State() { return lighting->State(); }

    test::HostPorts host;
    test::WorkerClock ledClock;
    Platform ledPlatform{host.profiles, registry, files, environment, ledClock, log};
    std::optional<FeatureContext> ledContext;
    std::optional<Lighting> lighting;
};

// ---- The check images ----

struct ClickCase {
    const char* what;
    void (Lighting::*click)();
    Lines traffic;
    Waits waits;
    int32_t effectInForce;
};

void PrintTo(const ClickCase& c, std::ostream* out) {
    *out << c.what;
}

class CheckImageTest : public LightingTest, public ::testing::WithParamInterface<ClickCase> {};

TEST_P(CheckImageTest, EachCheckImageSendsItsEffectWithItsWaits) {
    const ClickCase& c = GetParam();
    (*lighting.*c.click)();
    EXPECT_EQ(DeviceTraffic(), c.traffic);
    EXPECT_EQ(ledClock.Waits(), c.waits);
    EXPECT_EQ(State().m_nLEDEffect, c.effectInForce);
}

const ClickCase kClicks[] = {
    {"single colour: mode 2, then the colour",
     &Lighting::ColorSingleCheckImageClick,
     {Mode(2, 0), Single(2, kRed)},
     {10, 10},
     2},
    {"breathe: mode and colour from the refresh, then the mode again",
     &Lighting::ColorBreatheCheckImageClick,
     {Mode(4, 1), Single(4, kRed), Mode(4, 1)},
     {10, 10, 10},
     4},
    {"rainbow: the fixed colours 8 ms apart, then the mode", &Lighting::ColorRainbowCheckImageClick,
     Join({{Mode(5, 1)}, Slots(kRainbow), {Mode(5, 1)}}), Join({{10}, Repeat({8}, 7), {10}}), 5},
    {"multi-breathe: the user's colours", &Lighting::ColorPulsatingCheckImageClick,
     Join({{Mode(6, 1)}, Slots(kDefaultLedSlotColours), {Mode(6, 1)}}),
     Join({{10}, Repeat({8}, 7), {10}}), 6},
    {"LED OFF: off from the refresh, then off again",
     &Lighting::ColorLEDOffCheckImageClick,
     {Mode(1, 1), Mode(1, 1)},
     {10},
     1},
};

INSTANTIATE_TEST_SUITE_P(Table, CheckImageTest, ::testing::ValuesIn(kClicks),
                         [](const auto& info) { return "Click" + std::to_string(info.index); });

TEST_F(LightingTest, TheChosenEffectShowsDownAndTheOthersUp) {
    lighting->ColorRainbowCheckImageClick();
    const struct {
        const wchar_t* control;
        const wchar_t* picture;
    } looks[] = {
        {L"ColorRainbowCheckImage", L"LED/ColorRainbowCheckDownImage"},
        {L"ColorRainbowSliderImage", L"LED/ColorRainbowSliderDownImage"},
        {L"ColorBreatheCheckImage", L"LED/ColorBreatheCheckUpImage"},
        {L"ColorPulsatingSliderImage", L"LED/ColorPulsatingSliderUpImage"},
        {L"ColorLEDOffCheckImage", L"LED/ColorLEDOffCheckUpImage"},
        {L"ColorSingleCheckImage", L"LED/ColorSingleCheckUpImage"},
    };
    for (const auto& look : looks) {
        EXPECT_EQ(window.Control(look.control).picture, look.picture);
    }
    EXPECT_EQ(window.Control(L"ColorRainbowSliderImage").left, 488) << "placed on its bar";
}

TEST_F(LightingTest, RainbowLeavesTheUserColoursAndMultiBreatheSendsThemAgain) {
    lighting->ColorRainbowCheckImageClick();
    EXPECT_EQ(State().LEDColorRGB, kDefaultLedSlotColours);
    Clear();
    lighting->ColorPulsatingCheckImageClick();
    const Lines traffic = DeviceTraffic();
    ASSERT_EQ(traffic.size(), 9u);
    EXPECT_EQ(Lines(traffic.begin() + 1, traffic.end() - 1), Slots(kDefaultLedSlotColours));
}

// A second LED OFF keeps the LEDs off and resets the record without saving what is lit (off).
TEST_F(LightingTest, LedOffTwiceKeepsThemOffAndForgetsNothingLit) {
    lighting->ColorBreatheCheckImageClick();
    lighting->ColorLEDOffCheckImageClick();
    EXPECT_EQ(State().m_nRecLEDEffect, 4);
    EXPECT_EQ(State().m_iRecLEDEffectMode, 1);
    EXPECT_EQ(State().m_bRecLEDSingleColorFlag, 0);
    Clear();
    lighting->ColorLEDOffCheckImageClick();
    EXPECT_EQ(DeviceTraffic(), (Lines{Mode(1, 1), Mode(1, 1)}));
    EXPECT_EQ(State().m_bLEDOffFlag, 1);
    EXPECT_EQ(State().m_nRecLEDEffect, 1);
    EXPECT_EQ(State().m_iRecLEDEffectMode, 0);
    EXPECT_EQ(State().m_bRecLEDSingleColorFlag, 1);
    EXPECT_EQ(window.Control(L"ColorLEDOffCheckImage").picture, L"LED/ColorLEDOffCheckDownImage");
}

TEST_F(LightingTest, TheRecordDumpWritesItsSevenLines) {
    lighting->ColorSingleCheckImageClick();
    log.lines.clear();
    lighting->DumpColorLEDRecord();
    const std::vector<std::wstring> expected = {
        L"[TAudioMainForm][DumpColorLEDRecord] m_nRecLEDEffect = 1",
        L"[TAudioMainForm][DumpColorLEDRecord] m_iRecLEDEffectMode = 0",
        L"[TAudioMainForm][DumpColorLEDRecord] m_bRecLEDSingleColorFlag = 1",
        L"[TAudioMainForm][DumpColorLEDRecord] m_bLEDOffFlag = 0",
        L"[TAudioMainForm][DumpColorLEDRecord] m_bLEDSingleColorFlag = 1",
        L"[TAudioMainForm][DumpColorLEDRecord] m_iLEDEffectMode = 0",
        L"[TAudioMainForm][DumpColorLEDRecord] m_nLEDEffect = 2",
    };
    EXPECT_EQ(log.lines, expected);
}

// ---- The swatches ----

struct SwatchCase {
    const char* what;
    void (Lighting::*before)();  // the effect chosen first, or null
    int32_t tag;
    std::optional<uint32_t> answer;  // nullopt: the dialog is cancelled
    const char* fault;               // a script line, or null
    Lines traffic;
    Waits waits;
};

void PrintTo(const SwatchCase& c, std::ostream* out) {
    *out << c.what;
}

class SwatchTest : public LightingTest, public ::testing::WithParamInterface<SwatchCase> {};

constexpr Colour kTeal = 0x998800;

TEST_P(SwatchTest, ASwatchSendsWhatItsColourMeans) {
    const SwatchCase& c = GetParam();
    if (c.before != nullptr) (*lighting.*c.before)();
    if (c.fault != nullptr) Script(std::wstring(c.fault, c.fault + strlen(c.fault)));
    Clear();
    ui.colourAnswers.push_back(c.answer);
    lighting->OnShapeMouseDown(Swatch(c.tag));
    EXPECT_EQ(DeviceTraffic(), c.traffic);
    EXPECT_EQ(ledClock.Waits(), c.waits);
    const bool taken = c.answer && *c.answer != 0;
    EXPECT_EQ(Swatch(c.tag).brushColour == kTeal, taken);
    EXPECT_EQ(Swatch(c.tag).penColour, kSwatchHighlight);
    EXPECT_EQ(Swatch(c.tag).penWidth, 3);
}

const SwatchCase kSwatches[] = {
    {"a slot with multi-breathe on: one request",
     &Lighting::ColorPulsatingCheckImageClick,
     153,
     kTeal,
     nullptr,
     {Slot(3, kTeal)},
     {}},
    {"a slot with breathe on: kept only",
     &Lighting::ColorBreatheCheckImageClick,
     153,
     kTeal,
     nullptr,
     {},
     {}},
    {"a cancelled dialog changes nothing",
     &Lighting::ColorPulsatingCheckImageClick,
     153,
     std::nullopt,
     nullptr,
     {},
     {}},
    {"black changes nothing", &Lighting::ColorPulsatingCheckImageClick, 157, 0u, nullptr, {}, {}},
    {"a failed slot request: 10 ms, no retry",
     &Lighting::ColorPulsatingCheckImageClick,
     151,
     kTeal,
     "fail DLLZR_SetRGB_Color_ById 1",
     {Slot(1, kTeal, "1 (fault)")},
     {10}},
    {"breathe colour, whatever is lit", nullptr, 183, kTeal, nullptr, {Single(4, kTeal)}, {}},
    {"a failed breathe colour: 100 ms, no retry",
     nullptr,
     183,
     kTeal,
     "fail DLLZR_SetRGB_SingleColor_ById 1",
     {Single(4, kTeal, "1 (fault)")},
     {100}},
    {"a failed single colour is sent once more",
     nullptr,
     184,
     kTeal,
     "fail DLLZR_SetRGB_SingleColor_ById 1",
     {Single(2, kTeal, "1 (fault)"), Single(2, kTeal)},
     {10}},
};

INSTANTIATE_TEST_SUITE_P(Table, SwatchTest, ::testing::ValuesIn(kSwatches),
                         [](const auto& info) { return "Swatch" + std::to_string(info.index); });

TEST_F(LightingTest, ASwatchKeepsItsColourInTheStateAndMovesTheHighlight) {
    ui.colourAnswers = {kTeal, kTeal, kTeal};
    lighting->OnShapeMouseDown(Swatch(152));
    lighting->OnShapeMouseDown(Swatch(183));
    lighting->OnShapeMouseDown(Swatch(184));
    EXPECT_EQ(State().LEDColorRGB[1], kTeal);
    EXPECT_EQ(State().LEDBreatheColorRGB, kTeal);
    EXPECT_EQ(State().LEDSingleColorRGB, kTeal);
    EXPECT_EQ(State().m_nLEDEffect, 2);
    EXPECT_EQ(State().selectedSwatch, 184);
    EXPECT_EQ(Swatch(152).penWidth, 1);
    EXPECT_EQ(Swatch(183).penColour, 0u);
    EXPECT_EQ(ui.colourDialogStarts.front(), 0x00FFFFu) << "the dialog starts at the swatch's";
    EXPECT_TRUE(log.Contains(L"TAudioMainForm::OnShapeMouseDown"));
}

// ---- The speed sliders ----

TEST(SpeedFromSlider, BothEndsWithAndWithoutTheFastEndOnTheRight) {
    const SpeedBar bar{488, 226};
    const struct {
        int32_t edge;
        uint8_t slowRight;  // LEDFastRightSide 0
        uint8_t fastRight;  // LEDFastRightSide 1
    } cases[] = {
        {488, 1, 255}, {714, 255, 1},   {0, 1, 255},   {100000, 255, 1},
        {489, 2, 253}, {601, 127, 128}, {713, 252, 3},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SpeedFromSlider(c.edge, bar, false), c.slowRight) << c.edge;
        EXPECT_EQ(SpeedFromSlider(c.edge, bar, true), c.fastRight) << c.edge;
    }
    EXPECT_EQ(SpeedFromSlider(500, {488, 0}, false), 1) << "a bar no wider than its slider";
    EXPECT_EQ(SpeedFromSlider(500, {488, -30}, true), 255);
}

TEST(SpeedFromSlider, NeverZeroAndAlwaysOneWayAlongTheBar) {
    for (const bool fastRight : {false, true}) {
        int previous = fastRight ? 256 : 0;
        for (int32_t edge = 400; edge <= 800; ++edge) {
            const int speed = SpeedFromSlider(edge, {488, 226}, fastRight);
            EXPECT_GE(speed, 1);
            if (fastRight) {
                EXPECT_LE(speed, previous) << edge;
            } else {
                EXPECT_GE(speed, previous) << edge;
            }
            previous = speed;
        }
    }
}

// What the user set by dragging is what the next start sends: the same edge, the same speed.
TEST_F(LightingTest, TheSpeedAfterARestartIsTheSpeedTheUserSet) {
    for (const int32_t fastRight : {0, 1}) {
        for (const int32_t left : {0, 488, 489, 538, 601, 713, 714, 900}) {
            window.ledSkin = {1, fastRight};
            BuildLighting();
            Component& slider = window.Control(L"ColorRainbowSliderImage");
            const ControlRow& row = *FindControlRow(L"ColorRainbowSliderImage");
            lighting->Dragged(row, slider, left, slider.top);
            const int32_t dragged = State().m_iLEDRainbowSpeed;
            EXPECT_EQ(slider.left, std::clamp(left, 488, 714));
            EXPECT_EQ(State().LEDRainbowSliderPos, slider.left);

            // The profile keeps position and speed; a new run reads them, and its first
            // activation takes the speeds from where the sliders are.
            std::string profile = "[LED]\r\n";
            for (const LedProfileValue& value : lighting->LEDProfileValues()) {
                profile += std::string(value.key, value.key + wcslen(value.key)) + "=" +
                           std::to_string(value.value) + "\r\n";
            }
            slider.left = 600;
            BuildLighting();
            lighting->LoadLEDUI(WriteProfile(profile));
            lighting->SpeedsFromSliders();
            EXPECT_EQ(State().m_iLEDRainbowSpeed, dragged)
                << "dragged to " << left << ", fast right " << fastRight;
        }
    }
}

TEST_F(LightingTest, LettingGoOfTheChosenEffectsSliderSendsItsNewSpeed) {
    lighting->ColorBreatheCheckImageClick();
    Component& breathe = window.Control(L"ColorBreatheSliderImage");
    lighting->Dragged(*FindControlRow(breathe.name), breathe, 2000, 0);
    Component& rainbow = window.Control(L"ColorRainbowSliderImage");
    lighting->Dragged(*FindControlRow(rainbow.name), rainbow, 2000, 0);
    Clear();
    lighting->SliderReleased(LedEffect::Rainbow);
    EXPECT_TRUE(DeviceTraffic().empty()) << "rainbow is not the effect in force";
    lighting->SliderReleased(LedEffect::Breathe);
    EXPECT_EQ(DeviceTraffic(), (Lines{Mode(4, 255), Single(4, kRed), Mode(4, 255)}));
    EXPECT_EQ(ledClock.Waits(), (Waits{10, 10, 10, 10}));
    EXPECT_EQ(State().m_iLEDRainbowSpeed, 255) << "kept for when rainbow is chosen";
}

// ---- The page button and the LED page mode ----

TEST_F(LightingTest, WithoutAnLedPageNothingIsSentAndNoWorkerStarts) {
    window.ledSkin = {0, 0};
    BuildLighting();
    lighting->ColorSingleCheckImageClick();
    lighting->RefreshLEDPage();
    lighting->InitMultiColorLED();
    lighting->PageLEDClick();
    EXPECT_TRUE(DeviceTraffic().empty());
    EXPECT_FALSE(lighting->EffectWorkerRunning());
    EXPECT_TRUE(ui.dialogsShown.empty()) << "the page picture does nothing with mode 0";
    lighting->PageLEDLabelClick();
    EXPECT_EQ(ui.dialogsShown, (std::vector<std::wstring>{L"LEDForm"})) << "the caption does";
}

TEST_F(LightingTest, ThePageButtonRefreshesTheLedPageOrOpensTheDialog) {
    lighting->ColorSingleCheckImageClick();
    Clear();
    lighting->PageLEDClick();
    EXPECT_EQ(DeviceTraffic(), (Lines{Mode(2, 0), Single(2, kRed)}));
    EXPECT_TRUE(ui.dialogsShown.empty());

    window.ledSkin = {2, 0};
    lighting->SkinApplied();
    bool showing = false;
    ui.whileDialogShows = [&](Dialog&) { showing = lighting->DialogShowing(); };
    lighting->PageLEDClick();
    EXPECT_TRUE(showing);
    EXPECT_FALSE(lighting->DialogShowing());
    EXPECT_EQ(ui.dialogsShown.size(), 1u);
}

// A skin load starts from the default colours; the page mode and the fast end are the skin's.
TEST_F(LightingTest, EverySkinLoadStartsFromTheDefaultColours) {
    ui.colourAnswers = {kTeal, kTeal};
    lighting->OnShapeMouseDown(Swatch(151));
    lighting->OnShapeMouseDown(Swatch(184));
    window.ledSkin = {2, 1};
    lighting->SkinApplied();
    EXPECT_EQ(State().LEDColorRGB, kDefaultLedSlotColours);
    EXPECT_EQ(State().LEDSingleColorRGB, kRed);
    EXPECT_EQ(Swatch(151).brushColour, kRed);
    EXPECT_EQ(Swatch(184).brushColour, kRed);
    EXPECT_EQ(Swatch(157).brushColour, 0x00FF00u);
    EXPECT_EQ(State().LEDPageMode, 2);
    EXPECT_EQ(State().LEDFastRightSide, 1);
}

// ---- The worker and the first upload ----

// The window thread finds the flag first: it uploads the colours; the worker then only re-sends
// an animated effect (none here).
TEST_F(LightingTest, TheWindowThreadUploadsTheSlotsWhenItComesFirst) {
    ledClock.HoldWorkers();
    lighting->InitMultiColorLED();
    EXPECT_EQ(DeviceTraffic(), Join({{kStep}, Slots(kDefaultLedSlotColours)}));
    EXPECT_EQ(ledClock.Waits(), Join({{20, 10}, Repeat({20, 10}, 7)}));
    EXPECT_EQ(State().m_iLEDBreatheSpeed, 1) << "the sliders at the left end";
    ledClock.LetWorkersGo();
    WaitForLines(L"LEDEffectThread", 1);
    lighting->StopWorkers();
    EXPECT_EQ(ledClock.WorkerWaits(), (Waits{100}));
    EXPECT_EQ(CountStarting(DeviceTraffic(), "sdk DLLZR_SetRGB_Color_ById"), 7u);
    EXPECT_EQ(State().m_bInitMultiColorLED, 0);
}

// The worker wakes between the window thread's signal and its own check of the flag: the worker
// uploads, then sends the effect in force; the window thread sends no colour.
TEST_F(LightingTest, TheWorkerUploadsTheSlotsWhenItComesFirst) {
    lighting->ColorPulsatingCheckImageClick();
    Clear();
    bool letIn = false;
    ledClock.onTestWait = [&](uint32_t milliseconds) {
        if (milliseconds != 10 || letIn) return;
        letIn = true;
        WaitForLines(L"WaitForSingleObject", 2);
    };
    lighting->InitMultiColorLED();
    lighting->StopWorkers();
    EXPECT_EQ(DeviceTraffic(), Join({{kStep}, Slots(kDefaultLedSlotColours), {Mode(6, 1)}}));
    EXPECT_EQ(ledClock.Waits(), (Waits{20, 10}));
    EXPECT_EQ(ledClock.WorkerWaits(), Join({{100}, Repeat({10, 10}, 7)}));
}

// Whichever thread uploads, the speeds follow the sliders before the worker sends one.
TEST_F(LightingTest, TheFirstActivationTakesTheSpeedsFromTheSliders) {
    window.ledSkin = {1, 1};
    BuildLighting();
    lighting->ColorBreatheCheckImageClick();
    bool letIn = false;
    ledClock.onTestWait = [&](uint32_t milliseconds) {
        if (milliseconds != 10 || letIn) return;
        letIn = true;
        WaitForLines(L"WaitForSingleObject", 2);
    };
    Clear();
    lighting->InitMultiColorLED();
    lighting->StopWorkers();
    EXPECT_EQ(State().m_iLEDBreatheSpeed, 255) << "the left end with the fast end on the right";
    EXPECT_EQ(DeviceTraffic().back(), Mode(4, 255)) << "the worker's re-send";
}

TEST_F(LightingTest, TheSlotsGoUpOnceWhicheverThreadGetsThereFirst) {
    for (int run = 0; run < 20; ++run) {
        BuildLighting();
        lighting->InitMultiColorLED();
        WaitForLines(L"LEDEffectThread", static_cast<size_t>(run + 1));
        lighting->StopWorkers();
        EXPECT_EQ(CountStarting(DeviceTraffic(), "sdk DLLZR_SetRGB_Color_ById"), 7u) << run;
    }
}

TEST_F(LightingTest, TheWorkerResendsTheAnimatedEffectWhenWoken) {
    lighting->InitMultiColorLED();
    WaitForLines(L"WaitForSingleObject", 2);
    lighting->ColorBreatheCheckImageClick();
    Clear();
    lighting->SignalEffectWorker();
    WaitForLines(L"WaitForSingleObject", 3);
    EXPECT_EQ(DeviceTraffic(), (Lines{Mode(4, 1)}));
}

// At removal the worker ends; the next first activation starts another, and nothing more goes
// up: the colours went up once in this run.
TEST_F(LightingTest, ARemovalEndsTheWorkerAndTheNextActivationStartsOne) {
    lighting->InitMultiColorLED();
    ASSERT_TRUE(lighting->EffectWorkerRunning());
    lighting->ReleaseEffectWorker();
    EXPECT_FALSE(lighting->EffectWorkerRunning());
    lighting->SignalEffectWorker();
    Clear();
    lighting->InitMultiColorLED();
    EXPECT_TRUE(lighting->EffectWorkerRunning());
    EXPECT_TRUE(DeviceTraffic().empty());
}

// ---- Close ----

TEST_F(LightingTest, SwitchedOffLedsAreLitInTheSingleColourAtTheEnd) {
    lighting->InitMultiColorLED();
    ui.colourAnswers = {kTeal};
    lighting->OnShapeMouseDown(Swatch(184));
    lighting->ColorRainbowCheckImageClick();
    lighting->ColorLEDOffCheckImageClick();
    WaitForLines(L"WaitForSingleObject", 2);
    Clear();
    lighting->Shutdown();
    EXPECT_FALSE(lighting->EffectWorkerRunning());
    EXPECT_EQ(DeviceTraffic(), (Lines{Mode(2, 0), Single(2, kTeal)}));
    EXPECT_EQ(State().m_nLEDEffect, 1) << "the state stays off";
    EXPECT_EQ(State().m_iLEDEffectMode, 0);
}

TEST_F(LightingTest, WithoutAWorkerTheEndOnlyDumpsTheRecord) {
    lighting->ColorLEDOffCheckImageClick();
    Clear();
    log.lines.clear();
    lighting->Shutdown();
    EXPECT_TRUE(DeviceTraffic().empty());
    EXPECT_EQ(log.lines.size(), 7u);
}

// ---- The profile's [LED] section ----

TEST_F(LightingTest, AProfileSetsThePageAndWakesTheWorker) {
    lighting->InitMultiColorLED();
    WaitForLines(L"WaitForSingleObject", 2);
    Clear();
    lighting->LoadLEDUI(
        WriteProfile("[LED]\r\nLEDOff=0\r\nLEDSingleColor=0\r\nLEDEffectMode=2\r\n"
                     "LEDRainbowSpeed=77\r\nLEDRainbowSliderPos=601\r\nLEDColor2RGB=65280\r\n"
                     "LEDSingleColorRGB=255\r\nLEDBreatheColorRGB=16711680\r\n"));
    EXPECT_EQ(State().m_iLEDEffectMode, 2);
    EXPECT_EQ(State().m_iLEDRainbowSpeed, 77);
    EXPECT_EQ(window.Control(L"ColorRainbowSliderImage").left, 601);
    EXPECT_EQ(window.Control(L"ColorRainbowCheckImage").picture, L"LED/ColorRainbowCheckDownImage");
    EXPECT_EQ(Swatch(152).brushColour, 0x00FF00u);
    EXPECT_EQ(Swatch(183).brushColour, 0xFF0000u);
    // Woken, the worker finds no animated effect in force yet: the profile loader's refresh
    // sends the page.
    WaitForLines(L"WaitForSingleObject", 3);
    EXPECT_TRUE(DeviceTraffic().empty());
    lighting->RefreshLEDPage();
    EXPECT_EQ(DeviceTraffic(), (Lines{Mode(5, 77)}));
}

struct ProfileCase {
    const char* what;
    const char* section;
    LedState (*expected)(LedState);
};

void PrintTo(const ProfileCase& c, std::ostream* out) {
    *out << c.what;
}

class BadProfileTest : public LightingTest, public ::testing::WithParamInterface<ProfileCase> {};

// Whatever the file holds, the page keeps working: values are brought into range or ignored.
TEST_P(BadProfileTest, OddValuesAreClampedOrIgnored) {
    const LedState before = State();
    lighting->LoadLEDUI(WriteProfile(GetParam().section));
    const LedState expected = GetParam().expected(before);
    const LedState& after = State();
    EXPECT_EQ(after.LEDPageMode, expected.LEDPageMode);
    EXPECT_EQ(after.m_bLEDOffFlag, expected.m_bLEDOffFlag);
    EXPECT_EQ(after.m_bLEDSingleColorFlag, expected.m_bLEDSingleColorFlag);
    EXPECT_EQ(after.m_iLEDEffectMode, expected.m_iLEDEffectMode);
    EXPECT_EQ(after.m_iLEDBreatheSpeed, expected.m_iLEDBreatheSpeed);
    EXPECT_EQ(after.m_iLEDRainbowSpeed, expected.m_iLEDRainbowSpeed);
    EXPECT_EQ(after.LEDBreatheSliderPos, expected.LEDBreatheSliderPos);
    EXPECT_EQ(after.LEDFastRightSide, expected.LEDFastRightSide);
    EXPECT_EQ(after.LEDSingleColorRGB, expected.LEDSingleColorRGB);
    EXPECT_EQ(after.LEDColorRGB, expected.LEDColorRGB);
    EXPECT_TRUE(DeviceTraffic().empty());
}

const ProfileCase kProfiles[] = {
    {"no [LED] section", "[EQ]\r\nEQEN=1\r\n", [](LedState s) { return s; }},
    {"empty values", "[LED]\r\nLEDPageMode=\r\nLEDBreatheSpeed=\r\nLEDColor1RGB=\r\n",
     [](LedState s) { return s; }},
    {"words and half numbers",
     "[LED]\r\nLEDBreatheSpeed=fast\r\nLEDEffectMode=2x\r\nLEDColor1RGB=0xFF\r\nLEDOff= 1 1\r\n",
     [](LedState s) { return s; }},
    {"speeds out of the byte", "[LED]\r\nLEDBreatheSpeed=0\r\nLEDRainbowSpeed=99999\r\n",
     [](LedState s) {
         s.m_iLEDBreatheSpeed = 1;
         s.m_iLEDRainbowSpeed = 255;
         return s;
     }},
    {"numbers beyond 32 bits", "[LED]\r\nLEDRainbowSpeed=4294967297\r\nLEDPageMode=-9999999999\r\n",
     [](LedState s) { return s; }},
    {"colours above 0xFFFFFF or negative",
     "[LED]\r\nLEDColor1RGB=16777216\r\nLEDColor2RGB=-1\r\nLEDSingleColorRGB=2147483647\r\n"
     "LEDColor3RGB=16777215\r\n",
     [](LedState s) {
         s.LEDColorRGB[2] = 0xFFFFFF;
         return s;
     }},
    {"a slider far outside its bar", "[LED]\r\nLEDBreatheSliderPos=-5000\r\n",
     [](LedState s) {
         s.LEDBreatheSliderPos = 488;
         return s;
     }},
    {"switches and modes out of range",
     "[LED]\r\nLEDOff=2\r\nLEDSingleColor=-1\r\nLEDEffectMode=4\r\nLEDFastRightSide=3\r\n",
     [](LedState s) { return s; }},
    {"any page mode is a page mode", "[LED]\r\nLEDPageMode=7\r\n",
     [](LedState s) {
         s.LEDPageMode = 7;
         return s;
     }},
};

INSTANTIATE_TEST_SUITE_P(Table, BadProfileTest, ::testing::ValuesIn(kProfiles),
                         [](const auto& info) { return "Profile" + std::to_string(info.index); });

}  // namespace
}  // namespace tavrin
