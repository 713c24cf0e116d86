// The LED settings dialog and the palette against the virtual headset: what each control sends
// on the master and the slave path, the LED number, the worker CLEDCommandThread.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <optional>
#include <set>
#include <thread>

#include "app/features/ULEDColorForm.h"
#include "app/features/ULEDForm.h"
#include "tests/support/FeatureFixture.h"
#include "tests/support/WorkerClock.h"

namespace tavrin {
namespace {

using Lines = std::vector<std::string>;
using Waits = std::vector<uint32_t>;

std::string N(int64_t value) {
    return std::to_string(value);
}

std::string MasterMode(int32_t led, int32_t mode, int32_t speed) {
    return "sdk DLLZR_SetRGB_Mode(target=58, led=" + N(led) + ", mode=" + N(mode) +
           ", speed=" + N(speed) + ", tail=500) -> 0";
}

const std::string kMasterStep = "sdk DLLZR_SetRGB_Step(target=58, steps=7, tail=500) -> 0";

void Press(Dialog& dialog, const wchar_t* name) {
    DialogControl* control = dialog.Find(name);
    ASSERT_NE(control, nullptr);
    dialog.Press(static_cast<size_t>(control - dialog.controls.data()));
}

void Move(Dialog& dialog, const wchar_t* name, int32_t position) {
    DialogControl* control = dialog.Find(name);
    ASSERT_NE(control, nullptr);
    dialog.TrackBarMoved(static_cast<size_t>(control - dialog.controls.data()), position);
}

// The dialog shown through the recording host: a test acts while it shows.
class LedDialogTest : public test::FeatureTest {
protected:
    void TearDown() override {
        form.reset();
        FeatureTest::TearDown();
    }
    // Shows the dialog, clears what showing sent, then runs `act` as the user.
    void WhileShown(const std::function<void(TLEDForm&)>& act) {
        ui.whileDialogShows = [&](Dialog&) {
            ClearTraffic();
            dialogClock.Clear();
            act(*form);
        };
        form->ShowModal();
        ui.whileDialogShows = nullptr;
    }
    // The worker's passes so far, complete: it is stopped after the last.
    void WaitForCommandPasses(size_t passes) {
        for (int i = 0; i < 2000 && log.Count(L"LEDCommandThread") < passes; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        ASSERT_GE(log.Count(L"LEDCommandThread"), passes);
        form->StopWorker();
    }

    test::WorkerClock dialogClock;
    std::optional<TLEDForm> form{std::in_place, sdk, dialogClock, log, ui};
};

TEST_F(LedDialogTest, ShowingSendsTheStepCountAndStartsOneWorkerForEveryShow) {
    form->ShowModal();
    EXPECT_EQ(DeviceTraffic(), (Lines{kMasterStep}));
    EXPECT_TRUE(form->WorkerRunning());
    EXPECT_FALSE(form->Showing());
    form->ShowModal();
    EXPECT_TRUE(form->WorkerRunning());
    EXPECT_EQ(ui.dialogsShown.size(), 2u);
}

// "LED Off", then an effect: the effect, and 500 ms later the LEDs on (mode 1, flag 0).
TEST_F(LedDialogTest, AnEffectRightAfterLedOffSwitchesTheLedsOnAgain) {
    WhileShown([&](TLEDForm& dialog) {
        Move(dialog, L"TrackBarBreathe", 40);
        Press(dialog, L"RadioButtonOff");
        Press(dialog, L"RadioButtonBreathe");
    });
    EXPECT_EQ(DeviceTraffic(),
              (Lines{MasterMode(0, 1, 1), MasterMode(0, 4, 40), MasterMode(0, 1, 0)}));
    EXPECT_EQ(dialogClock.Waits(), (Waits{500}));
    EXPECT_EQ(form->CurrentMode(), 4);
    EXPECT_TRUE(form->Find(L"RadioButtonBreathe")->checked);
    EXPECT_FALSE(form->Find(L"RadioButtonOff")->checked);
}

TEST_F(LedDialogTest, FromEffectToEffectNothingIsSwitchedOn) {
    WhileShown([&](TLEDForm& dialog) {
        Press(dialog, L"RadioButtonOn");
        Press(dialog, L"RadioButtonRainbow");
    });
    EXPECT_EQ(DeviceTraffic(),
              (Lines{MasterMode(0, 2, 0), MasterMode(0, 1, 0), MasterMode(0, 5, 1)}));
    EXPECT_EQ(dialogClock.Waits(), (Waits{500, 500}));
}

// Colour requests address LED 1 when the number is 0 (all); mode and brightness requests pass
// the number as it is; the slave path has no target byte and switches off with 0.
struct AddressCase {
    const char* what;
    const wchar_t* ledRadio;
    const wchar_t* pathRadio;
    Lines traffic;
};

void PrintTo(const AddressCase& c, std::ostream* out) {
    *out << c.what;
}

class LedAddressTest : public LedDialogTest, public ::testing::WithParamInterface<AddressCase> {};

TEST_P(LedAddressTest, EachRequestAddressesItsLed) {
    const AddressCase& c = GetParam();
    ui.colourAnswers = {0x123456};
    WhileShown([&](TLEDForm& dialog) {
        Press(dialog, c.ledRadio);
        Press(dialog, c.pathRadio);
        Press(dialog, L"Shape3");
        Press(dialog, L"ButtonSetColor");
        Move(dialog, L"TrackBarBrightness", 5);
        Press(dialog, L"RadioButtonOff");
    });
    EXPECT_EQ(DeviceTraffic(), c.traffic);
    EXPECT_EQ(form->Find(L"Shape3")->brushColour, 0x123456u);
}

const AddressCase kAddresses[] = {
    {"all LEDs, master",
     L"RadioButtonAllLED",
     L"RadioButtonMaster",
     {"sdk DLLZR_SetRGB_Color(target=58, led=1, slot=3, red=86, green=52, blue=18, tail=500) -> 0",
      "sdk DLLZR_SetRGB_Brightness(target=58, led=0, level=5, tail=500) -> 0",
      MasterMode(0, 1, 1)}},
    {"LED 2, master",
     L"RadioButtonLED2",
     L"RadioButtonMaster",
     {"sdk DLLZR_SetRGB_Color(target=58, led=2, slot=3, red=86, green=52, blue=18, tail=500) -> 0",
      "sdk DLLZR_SetRGB_Brightness(target=58, led=2, level=5, tail=500) -> 0",
      MasterMode(2, 1, 1)}},
    {"all LEDs, slave",
     L"RadioButtonAllLED",
     L"RadioButtonSlave",
     {"sdk DLLZR_UsbHidSlave_SetRGB_Color_Ex(led=1, slot=3, red=86, green=52, blue=18, "
      "tail=500) -> 0",
      "sdk DLLZR_UsbHidSlave_SetRGB_Brightness_Ex(led=0, level=5, tail=500) -> 0",
      "sdk DLLZR_UsbHidSlave_SetRGB_Mode_Ex(led=0, mode=1, speed=0, tail=500) -> 0"}},
    {"LED 1, slave",
     L"RadioButtonLED1",
     L"RadioButtonSlave",
     {"sdk DLLZR_UsbHidSlave_SetRGB_Color_Ex(led=1, slot=3, red=86, green=52, blue=18, "
      "tail=500) -> 0",
      "sdk DLLZR_UsbHidSlave_SetRGB_Brightness_Ex(led=1, level=5, tail=500) -> 0",
      "sdk DLLZR_UsbHidSlave_SetRGB_Mode_Ex(led=1, mode=1, speed=0, tail=500) -> 0"}},
};

INSTANTIATE_TEST_SUITE_P(Table, LedAddressTest, ::testing::ValuesIn(kAddresses),
                         [](const auto& info) { return "Address" + std::to_string(info.index); });

TEST_F(LedDialogTest, ACancelledColourDialogOfAColourShapeStillChangesTheMode) {
    WhileShown([&](TLEDForm& dialog) { Press(dialog, L"ShapeBreatheColor"); });
    EXPECT_EQ(form->CurrentMode(), 4);
    EXPECT_TRUE(DeviceTraffic().empty());
    EXPECT_FALSE(form->Find(L"RadioButtonBreathe")->checked) << "only a colour checks it";
    EXPECT_EQ(form->Find(L"ShapeBreatheColor")->brushColour, 0xFFFFFFu);
}

// A colour for a mode: the colour request, the mode's radio button, and the worker re-sends the
// mode with the speed stored for it half a second later.
TEST_F(LedDialogTest, AModeColourIsSentAndTheWorkerResendsTheMode) {
    ui.colourAnswers = {0x00FF00};
    WhileShown([&](TLEDForm& dialog) {
        Press(dialog, L"ShapeBlinkingColor");
        WaitForCommandPasses(1);
    });
    EXPECT_EQ(DeviceTraffic(),
              (Lines{"sdk DLLZR_SetRGB_SingleColor(target=58, led=1, mode=3, red=0, green=255, "
                     "blue=0, tail=500) -> 0",
                     MasterMode(0, 3, 1)}));
    EXPECT_TRUE(form->Find(L"RadioButtonBlinking")->checked);
    EXPECT_EQ(dialogClock.WorkerWaits(), (Waits{500}));
}

// Only the track bar of the current mode counts: its speed is stored and sent by the worker.
TEST_F(LedDialogTest, OnlyTheCurrentModesTrackBarStoresAndSendsItsSpeed) {
    WhileShown([&](TLEDForm& dialog) {
        Press(dialog, L"RadioButtonRainbow");
        ClearTraffic();
        Move(dialog, L"TrackBarBreathe", 200);
        Move(dialog, L"TrackBarRainbow", 90);
        WaitForCommandPasses(1);
    });
    EXPECT_EQ(DeviceTraffic(), (Lines{MasterMode(0, 5, 90)}));
    EXPECT_TRUE(log.Contains(L"LEDCommandThread"));
}

TEST_F(LedDialogTest, ASlotShapeMovesTheHighlightAndEachShowStartsAtSlotOne) {
    WhileShown([&](TLEDForm& dialog) {
        Press(dialog, L"Shape5");
        EXPECT_EQ(dialog.SelectedSlot(), 5);
    });
    EXPECT_EQ(form->Find(L"Shape5")->penColour, kSwatchHighlight);
    EXPECT_EQ(form->Find(L"Shape5")->penWidth, 2);
    EXPECT_EQ(form->Find(L"Shape1")->penWidth, 1);
    form->ShowModal();
    EXPECT_EQ(form->SelectedSlot(), 1);
    EXPECT_EQ(form->Find(L"Shape1")->penColour, kSwatchHighlight);
    EXPECT_EQ(form->Find(L"Shape5")->penWidth, 1);
}

// The rows line up with their radio buttons once the dialog shows.
TEST_F(LedDialogTest, TheEffectRowsFollowTheirRadioButtons) {
    form->ShowModal();
    const DialogControl& radio = *form->Find(L"RadioButtonMultiBreathe");
    const DialogControl& bar = *form->Find(L"TrackBarMultiBreathe");
    EXPECT_EQ(bar.top, radio.top);
    EXPECT_EQ(bar.left, radio.left + 96);
    const DialogControl& shape = *form->Find(L"ShapeBreatheColor");
    EXPECT_EQ(shape.top, form->Find(L"RadioButtonBreathe")->top);
    EXPECT_EQ(shape.left, radio.left + 360);
}

TEST_F(LedDialogTest, CloseEndsTheDialog) {
    WhileShown([&](TLEDForm& dialog) {
        EXPECT_TRUE(dialog.Showing());
        Press(dialog, L"ButtonClose");
        EXPECT_TRUE(dialog.CloseRequested());
    });
    EXPECT_FALSE(form->Showing());
}

// ---- The dialog description ----

TEST(DialogRadioGroups, APressChecksOnlyWithinItsGroup) {
    test::RecordingDebugLog log;
    test::WorkerClock clock;
    test::HostDynamicLibrary library;
    VendorSdk sdk{library, log};
    RecordingUiHost ui;
    TLEDForm form{sdk, clock, log, ui};
    Press(form, L"RadioButtonLED1");
    Press(form, L"RadioButtonSlave");
    EXPECT_TRUE(form.Find(L"RadioButtonLED1")->checked);
    EXPECT_FALSE(form.Find(L"RadioButtonAllLED")->checked);
    EXPECT_TRUE(form.Find(L"RadioButtonSlave")->checked);
    EXPECT_FALSE(form.Find(L"RadioButtonMaster")->checked);
    EXPECT_TRUE(form.Find(L"RadioButtonOff")->checked) << "another group";
    EXPECT_EQ(form.LedNumber(), 1);
}

// ---- The palette ----

TEST(LedColorForm, ASwatchIsPickedAndOkOrCancelDecides) {
    TLEDColorForm palette;
    RecordingUiHost ui;
    ui.whileDialogShows = [&](Dialog& dialog) { Press(dialog, L"Shape20"); };
    EXPECT_EQ(palette.ShowModal(ui), 0u) << "neither OK nor Cancel";
    EXPECT_EQ(palette.HighlightedTag(), 20);
    EXPECT_EQ(palette.Find(L"Shape20")->penColour, kSwatchHighlight);
    EXPECT_EQ(palette.Find(L"Shape1")->penWidth, 1);

    ui.whileDialogShows = [&](Dialog& dialog) {
        Press(dialog, L"Shape9");
        Press(dialog, L"LEDColorOKButton");
    };
    EXPECT_EQ(palette.ShowModal(ui), kPaletteColours[8]);
    ui.whileDialogShows = [&](Dialog& dialog) { Press(dialog, L"LEDColorCancelButton"); };
    EXPECT_EQ(palette.ShowModal(ui), 0u);
    EXPECT_EQ(palette.PickedColour(), kPaletteColours[8]);
}

// Six rows of eight, 20 pixels a swatch at a pitch of 26; 48 different colours, none of them
// black, which would read as "no colour".
TEST(LedColorForm, FortyEightDifferentSwatchesInRowsOfEight) {
    TLEDColorForm palette;
    EXPECT_EQ(palette.frame.caption, L"LED_Color");
    EXPECT_FALSE(palette.frame.captioned);
    std::set<uint32_t> colours;
    for (int32_t tag = 1; tag <= 48; ++tag) {
        const DialogControl& swatch = *palette.Find(L"Shape" + std::to_wstring(tag));
        EXPECT_EQ(swatch.tag, tag);
        EXPECT_EQ(swatch.width, 20);
        EXPECT_EQ(swatch.left - palette.Find(L"Shape1")->left, (tag - 1) % 8 * 26);
        EXPECT_EQ(swatch.top - palette.Find(L"Shape1")->top, (tag - 1) / 8 * 26);
        EXPECT_NE(swatch.brushColour, 0u);
        colours.insert(swatch.brushColour);
    }
    EXPECT_EQ(colours.size(), 48u);
    EXPECT_EQ(palette.HighlightedTag(), 1);
}

}  // namespace
}  // namespace tavrin
