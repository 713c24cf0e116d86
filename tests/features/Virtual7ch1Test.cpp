#include "app/features/Virtual7ch1.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "common/ByteOrder.h"
#include "ports/portable/PortableProfileStore.h"
#include "tests/support/FeatureFixture.h"

namespace tavrin {
namespace {

using namespace control_tag;

enum Speaker : size_t { kL, kR, kC, kSub, kLs, kRs, kLb, kRb };

// The speaker block as the device received it last: the trace shows its bytes up to the last
// one that is not zero.
struct SentBlock {
    int32_t enable = -1;
    std::array<float, kSpeakerCount> distance{};
    std::array<float, kSpeakerCount> angle{};
};

std::optional<SentBlock> LastBlock(const std::vector<std::string>& traffic) {
    const std::string prefix = "sdk DLLZR_SetVirtual7ch1(block=";
    for (auto line = traffic.rbegin(); line != traffic.rend(); ++line) {
        if (line->rfind(prefix, 0) != 0) continue;
        std::istringstream words(line->substr(prefix.size(), line->find(')') - prefix.size()));
        std::array<uint8_t, kVirtualBlockSize> bytes{};
        size_t at = 0;
        for (std::string word; words >> word && word.rfind("00..", 0) != 0;) {
            bytes[at++] = static_cast<uint8_t>(std::stoul(word, nullptr, 16));
        }
        SentBlock block;
        block.enable = ReadSignedLittleEndian32(bytes.data());
        for (size_t i = 0; i < kSpeakerCount; ++i) {
            block.distance[i] = std::bit_cast<float>(ReadLittleEndian32(&bytes[4 + 4 * i]));
            block.angle[i] = std::bit_cast<float>(ReadLittleEndian32(&bytes[36 + 4 * i]));
        }
        return block;
    }
    return std::nullopt;
}

class Virtual7ch1Test : public test::FeatureTest {
protected:
    void SetUp() override {
        FeatureTest::SetUp();
        // The listener's area around the default circle (centre 560, 251, radius 110).
        Component& area = window.Control(L"VirtualPicImage");
        area.left = 430;
        area.top = 121;
        area.width = 260;
        area.height = 260;
        unit.emplace(
            *context, [this] { threeDOffCalls++; },
            HardwareSwitch{[this] { return levelMode; }, [this] { return switchState; },
                           [this](int32_t) { return levelMode; }});
        unit->ResetVirtual();
        ClearTraffic();
    }
    Component& SpeakerImage(size_t speaker) {
        return *window.form.FindByTag(ComponentKind::Image, kFirstSpeaker + int32_t(speaker));
    }
    SpeakerPosition At(size_t speaker) {
        return {SpeakerImage(speaker).left, SpeakerImage(speaker).top};
    }
    std::array<SpeakerPosition, kSpeakerCount> Positions() {
        std::array<SpeakerPosition, kSpeakerCount> positions;
        for (size_t i = 0; i < kSpeakerCount; ++i) positions[i] = At(i);
        return positions;
    }
    const ControlRow& Row(int32_t tag) { return *FindControlRowByTag(tag); }
    // A press as the window delivers it: the unit's own condition first.
    void Press(int32_t tag) {
        if (!unit->Admit(Row(tag)).allowed) return;
        unit->Press(Row(tag), *window.form.FindByTag(ComponentKind::Image, tag));
    }
    void Drag(size_t speaker, int32_t left, int32_t top) {
        unit->Dragged(Row(kFirstSpeaker + int32_t(speaker)), SpeakerImage(speaker), left, top);
    }
    void Tick(int count = 1, TimerId timer = TimerId::Speaker) {
        for (int i = 0; i < count; ++i) unit->OnTimer(timer);
    }
    void ClickBee(bool checked) {
        Component& box = window.Control(L"BeeCheckBox");
        box.checked = checked;
        unit->Click(*FindControlRow(box), box);
    }
    uint32_t Timer(TimerId timer) { return ui.timers[static_cast<size_t>(timer)]; }
    std::optional<SentBlock> Sent() { return LastBlock(DeviceTraffic()); }

    std::optional<Virtual7ch1> unit;
    int threeDOffCalls = 0;
    bool levelMode = false;
    int32_t switchState = 0;
};

// ---- Geometry ----

TEST(SpeakerGeometry, AnglesGrowAnticlockwiseWithYUpward) {
    const struct {
        int32_t left, top;
        double angle, distance;
    } cases[] = {
        {110, 100, 0.0, 10.0},                 // right
        {100, 90, 1.5707963, 10.0},            // above
        {90, 100, 3.1415927, 10.0},            // left
        {100, 110, 4.712389, 10.0},            // below
        {103, 96, std::atan2(4.0, 3.0), 5.0},  // upper right
        {97, 96, 3.14159265 - std::atan2(4.0, 3.0), 5.0},
        {97, 104, 3.14159265 + std::atan2(4.0, 3.0), 5.0},
        {103, 104, 6.2831853 - std::atan2(4.0, 3.0), 5.0},
    };
    for (const auto& c : cases) {
        const SpeakerPolar polar = MeasurePolar({c.left, c.top}, 100, 100);
        EXPECT_NEAR(polar.angle, c.angle, 1e-6) << c.left << "," << c.top;
        EXPECT_DOUBLE_EQ(polar.distance, c.distance) << c.left << "," << c.top;
    }
}

TEST(SpeakerGeometry, PlacementTruncatesTowardZero) {
    EXPECT_EQ(PlacePolar({0.0f, 10.7}, 100, 100), (SpeakerPosition{110, 100}));
    EXPECT_EQ(PlacePolar({3.1415927f, 10.7}, 100, 100), (SpeakerPosition{89, 100}));
    EXPECT_EQ(PlacePolar({1.5707964f, 10.7}, -5, -5), (SpeakerPosition{-5, -15}));
}

TEST(SpeakerGeometry, TheDefaultLayoutOfTheDefaultCircle) {
    const auto layout = ComputedDefaultLayout(SpeakerCircle{});
    EXPECT_EQ(layout[kC], (SpeakerPosition{560, 163}));
    EXPECT_EQ(layout[kLs], (SpeakerPosition{472, 251}));
    EXPECT_EQ(layout[kSub], (SpeakerPosition{560, 196}));
    EXPECT_EQ(layout[kRs], (SpeakerPosition{648, 251}));
    EXPECT_EQ(layout[kL], (SpeakerPosition{497, 188}));
    EXPECT_EQ(layout[kR], (SpeakerPosition{622, 188}));
    EXPECT_EQ(layout[kLb], (SpeakerPosition{497, 313}));
    EXPECT_EQ(layout[kRb], (SpeakerPosition{622, 313}));
}

TEST(SpeakerGeometry, TheBlockScalesDistancesToTheRadiusWithinTheLimit) {
    VirtualParameters parameters;
    parameters.distance = {55.0f, 0.0f, 110.0f, 250.0f, 1.0f, 2.0f, 3.0f, 4.0f};
    parameters.angle = {0.5f, 0.0f, 1.5f, 6.0f, 0.1f, 0.2f, 0.3f, 0.4f};
    const auto block = BuildVirtualBlock(1, parameters, 110);
    EXPECT_EQ(ReadLittleEndian32(block.data()), 1u);
    auto floatAt = [&](size_t offset) {
        return std::bit_cast<float>(ReadLittleEndian32(block.data() + offset));
    };
    EXPECT_FLOAT_EQ(floatAt(4), 0.85f) << "55 of 110";
    EXPECT_EQ(floatAt(8), 0.0f) << "at the centre";
    EXPECT_FLOAT_EQ(floatAt(12), 1.7f) << "on the circle";
    EXPECT_FLOAT_EQ(floatAt(16), 1.7f) << "beyond the circle: kept at 1.7";
    EXPECT_EQ(floatAt(36), 0.5f);
    EXPECT_EQ(floatAt(44), 1.5f);
    EXPECT_EQ(floatAt(64), 0.4f);
    // A skin without a radius: a speaker off the centre goes as far as the device takes, the
    // centre stays the centre.
    const auto flat = BuildVirtualBlock(0, parameters, 0);
    EXPECT_EQ(ReadLittleEndian32(flat.data()), 0u);
    EXPECT_EQ(std::bit_cast<float>(ReadLittleEndian32(flat.data() + 4)), 1.7f);
    EXPECT_EQ(std::bit_cast<float>(ReadLittleEndian32(flat.data() + 8)), 0.0f);
}

// ---- The page ----

TEST_F(Virtual7ch1Test, ResetLaysOutTheDefaultCircleAndSendsIt) {
    SpeakerImage(kC).left = 600;
    settings.m_b7ch1Enable = 1;
    unit->Click(Row(kVirtualReset), window.Control(L"VirtualResetImage"));
    EXPECT_EQ(At(kC), (SpeakerPosition{560, 163}));
    EXPECT_EQ(At(kL), (SpeakerPosition{497, 188}));
    const auto traffic = DeviceTraffic();
    ASSERT_EQ(traffic.size(), 2u);
    EXPECT_EQ(traffic[0], "sdk DLLZR_SetVirtual7ch1_OnOff(on=1) -> 0");
    const auto block = LastBlock(traffic);
    ASSERT_TRUE(block);
    EXPECT_EQ(block->enable, 1);
    EXPECT_FLOAT_EQ(block->distance[kSub], 0.85f) << "SUB at 55 pixels of 110";
    EXPECT_FLOAT_EQ(block->distance[kC], 88.0f * 1.7f / 110.0f);
    EXPECT_FLOAT_EQ(block->angle[kC], 1.5707964f);
    EXPECT_FLOAT_EQ(block->angle[kLs], 3.1415927f);
}

TEST_F(Virtual7ch1Test, ASpeakerOnTheCentreIsSentAtDistanceAndAngleZero) {
    SpeakerImage(kR).left = 560;
    SpeakerImage(kR).top = 251;
    settings.m_b7ch1Enable = 1;
    Press(kVirtualEnable);  // off, measured and sent
    const auto block = Sent();
    ASSERT_TRUE(block);
    EXPECT_EQ(block->enable, 0);
    EXPECT_EQ(block->distance[kR], 0.0f);
    EXPECT_EQ(block->angle[kR], 0.0f);
}

TEST_F(Virtual7ch1Test, OlderSkinsHaveOneSpeakerPlaceNudged) {
    windowConfig.oldVersion = 1;
    SpeakerImage(kRb).left = 664;
    SpeakerImage(kRb).top = 355;
    unit->MeasureSpeakers();
    EXPECT_EQ(At(kRb), (SpeakerPosition{665, 356}));
    EXPECT_EQ(unit->Records()[kRb], MeasurePolar({665, 356}, 560, 251));
}

// With DefaultIni the layout comes from the per-user default profile.
TEST_F(Virtual7ch1Test, TheDefaultProfileCanGiveTheLayout) {
    const std::wstring path = L"C:\\Users\\Ann\\AppData\\Roaming\\Tavrin\\DefaultProfile.ini";
    files.AddTextFile(path, "[Virtual7ch1]\r\nC=570,170\r\nL=0x1F4,190\r\nR=x,3\r\nSUB=1\r\n");
    PortableProfileStore profileFiles{files};
    Platform profilePlatform{profileFiles, registry, files, environment, clock, log};
    MainWindowConfig profileConfig;
    profileConfig.defaultIni = 1;
    FeatureContext profileContext{
        profilePlatform, ui, settings, sdk, *io, *discovery, window, image, profileConfig,
        context->audio,  6,  path};
    Virtual7ch1 fromProfile(
        profileContext, [] {},
        HardwareSwitch{[] { return false; }, [] { return 0; }, [](int32_t) { return false; }});
    const SpeakerPosition rBefore = At(kR);
    const SpeakerPosition subBefore = At(kSub);
    settings.m_b7ch1Enable = 1;
    fromProfile.ResetVirtual();
    EXPECT_EQ(At(kC), (SpeakerPosition{570, 170}));
    EXPECT_EQ(At(kL), (SpeakerPosition{500, 190}));
    EXPECT_EQ(At(kR), rBefore) << "a value that is not two integers leaves the speaker";
    EXPECT_EQ(At(kSub), subBefore);
    EXPECT_EQ(window.buttonStates.back(), (std::pair<int32_t, bool>{kVirtualEnable, true}));
    EXPECT_EQ(fromProfile.Records()[kC], MeasurePolar({570, 170}, 560, 251));
}

TEST_F(Virtual7ch1Test, SwitchingOnExcludesThreeDAndSwitchingOffStopsTheRotation) {
    settings.m_b3DV7ch1Exclusive = 1;
    Press(kVirtualEnable);
    EXPECT_EQ(settings.m_b7ch1Enable, 1);
    EXPECT_EQ(threeDOffCalls, 1);
    Press(kRotateCw);
    EXPECT_EQ(settings.m_bRotateCW, 1);
    Press(kVirtualEnable);
    EXPECT_EQ(settings.m_b7ch1Enable, 0);
    EXPECT_EQ(threeDOffCalls, 1) << "only switching on excludes";
    EXPECT_EQ(settings.m_bRotateCW, 0);
    EXPECT_EQ(Timer(TimerId::Speaker), 0u);
    // Not exclusive: 3D stays.
    settings.m_b3DV7ch1Exclusive = 0;
    Press(kVirtualEnable);
    EXPECT_EQ(threeDOffCalls, 1);
}

TEST_F(Virtual7ch1Test, InLevelModeTheHardwareSwitchDecides) {
    levelMode = true;
    switchState = 1;
    Press(kVirtualEnable);
    Press(kVirtualEnable);
    EXPECT_EQ(settings.m_b7ch1Enable, 1) << "no toggle: the switch says on";
    switchState = 0;
    Press(kVirtualEnable);
    EXPECT_EQ(settings.m_b7ch1Enable, 0);
}

// ---- Motion ----

TEST_F(Virtual7ch1Test, TheTimerRunsOnlyWhileSomethingMoves) {
    EXPECT_EQ(Timer(TimerId::Speaker), 0u);
    Press(kRotateCw);
    EXPECT_EQ(Timer(TimerId::Speaker), 0u) << "CW needs virtual 7.1 on";
    settings.m_b7ch1Enable = 1;
    Press(kRotateCw);
    EXPECT_EQ(Timer(TimerId::Speaker), kSpeakerTimerInterval);
    Press(kNarrow);
    EXPECT_EQ(settings.m_bRotateCW, 0) << "one motion at a time";
    EXPECT_EQ(settings.m_bNarrow, 1);
    // A held speaker stops the timer until it is let go.
    unit->Press(Row(kFirstSpeaker), SpeakerImage(kL));
    EXPECT_EQ(Timer(TimerId::Speaker), 0u);
    unit->Release(Row(kFirstSpeaker), SpeakerImage(kL));
    EXPECT_EQ(Timer(TimerId::Speaker), kSpeakerTimerInterval);
    Press(kNarrow);
    EXPECT_EQ(Timer(TimerId::Speaker), 0u);
    // Let go with nothing moving: the timer stays off.
    unit->Press(Row(kFirstSpeaker), SpeakerImage(kL));
    unit->Release(Row(kFirstSpeaker), SpeakerImage(kL));
    EXPECT_EQ(Timer(TimerId::Speaker), 0u);
}

TEST_F(Virtual7ch1Test, AFullClockwiseTurnTakes360TicksAndPassesClockwiseOnScreen) {
    settings.m_b7ch1Enable = 1;
    const auto startRecords = unit->Records().All();
    Press(kRotateCw);
    Tick();
    const auto firstShown = Positions();
    EXPECT_EQ(firstShown[kC], (SpeakerPosition{559, 163})) << "the start, as placed";
    // A quarter turn later C, straight ahead, is on the right: clockwise as seen on the screen.
    Tick(90);
    EXPECT_NEAR(At(kC).left, 560 + 88, 1);
    EXPECT_NEAR(At(kC).top, 251, 1);
    EXPECT_NEAR(At(kLs).left, 560, 1) << "LS, on the left, went to the top";
    EXPECT_NEAR(At(kLs).top, 251 - 88, 1);
    // What the device hears is the stepped arrangement itself.
    const auto block = Sent();
    ASSERT_TRUE(block);
    EXPECT_FLOAT_EQ(block->angle[kLs], TurnedAngle(startRecords[kLs].angle, -91));
    EXPECT_FLOAT_EQ(block->distance[kC], 88.0f * 1.7f / 110.0f) << "no drift from truncation";
    Tick(269);
    EXPECT_EQ(unit->Records().All(), startRecords) << "360 ticks: a full turn, exactly";
    Tick();
    EXPECT_EQ(Positions(), firstShown);
}

TEST_F(Virtual7ch1Test, CounterclockwiseTurnsTheOtherWay) {
    settings.m_b7ch1Enable = 1;
    Press(kRotateCcw);
    Tick(91);
    EXPECT_NEAR(At(kC).left, 560 - 88, 1);
    EXPECT_NEAR(At(kC).top, 251, 1);
}

TEST_F(Virtual7ch1Test, NothingMovesWithoutADevice) {
    settings.m_b7ch1Enable = 1;
    Press(kRotateCw);
    Face().unplug();
    discovery->m_bDeviceActive = 0;
    const auto before = Positions();
    Tick(5);
    EXPECT_EQ(Positions(), before);
    EXPECT_TRUE(DeviceTraffic().empty());
}

TEST_F(Virtual7ch1Test, EnlargeStopsAt111AndNarrowBelow10) {
    // The diagonal speakers are the farthest: L at (497, 188) is 89.1 pixels out.
    const double widest = unit->Records()[kL].distance;
    EXPECT_NEAR(widest, 89.0955, 1e-4);
    Press(kEnlarge);
    Tick(21);
    EXPECT_NEAR(unit->Records().LargestDistance(), widest + 21, 1e-4);
    Tick();
    EXPECT_NEAR(unit->Records().LargestDistance(), widest + 22, 1e-4) << "111 reached";
    EXPECT_EQ(At(kRs), (SpeakerPosition{670, 251})) << "88 + 22 pixels right of the centre";
    Tick(3);
    EXPECT_NEAR(unit->Records().LargestDistance(), widest + 22, 1e-4) << "nothing more";
    EXPECT_EQ(settings.m_bEnlarge, 1) << "the button stays down";
    EXPECT_FLOAT_EQ(Sent()->distance[kL], 1.7f) << "beyond the radius: 1.7";

    // SUB, 55 + 22 out, is the nearest: 68 steps take it below 10.
    Press(kNarrow);
    EXPECT_EQ(settings.m_bEnlarge, 0);
    Tick(67);
    EXPECT_DOUBLE_EQ(unit->Records()[kSub].distance, 10.0);
    Tick();
    EXPECT_DOUBLE_EQ(unit->Records()[kSub].distance, 9.0);
    Tick(5);
    EXPECT_DOUBLE_EQ(unit->Records()[kSub].distance, 9.0);
    EXPECT_EQ(At(kSub), (SpeakerPosition{559, 242}));
}

// ---- The drag ----

TEST_F(Virtual7ch1Test, ADragMovesWithinTheCircleAndTheAreaAndSends) {
    settings.m_b7ch1Enable = 1;
    Drag(kC, 520, 200);
    EXPECT_EQ(At(kC), (SpeakerPosition{520, 200}));
    auto traffic = DeviceTraffic();
    ASSERT_EQ(traffic.size(), 2u);
    EXPECT_EQ(traffic[0], "sdk DLLZR_SetVirtual7ch1_OnOff(on=1) -> 0");
    EXPECT_EQ(LastBlock(traffic)->angle[kC], MeasurePolar({520, 200}, 560, 251).angle);
}

struct DragCase {
    const char* what;
    SpeakerPosition to;
    SpeakerPosition landsAt;
    bool sends;
};

class SpeakerDragTest : public Virtual7ch1Test, public ::testing::WithParamInterface<DragCase> {};

TEST_P(SpeakerDragTest, RulesOfTheDrag) {
    // The area 430..690 x 121..381 takes a 32-pixel speaker from left 441 to 648 and from top
    // 131 to 339; the circle reaches 110 from (560, 251). C starts at (560, 163).
    Drag(kC, GetParam().to.left, GetParam().to.top);
    EXPECT_EQ(At(kC), GetParam().landsAt);
    EXPECT_EQ(DeviceTraffic().empty(), !GetParam().sends);
}

const DragCase kDragCases[] = {
    {"outside the circle: refused", {560, 251 - 111}, {560, 163}, false},
    {"on the circle", {560, 251 - 110}, {560, 141}, true},
    {"left just inside the area", {451, 251}, {451, 251}, true},
    {"right past the area's margin: only the top moves", {660, 251}, {560, 251}, true},
    {"bottom past the area's margin: only the left moves", {600, 350}, {600, 163}, true},
};

INSTANTIATE_TEST_SUITE_P(Table, SpeakerDragTest, ::testing::ValuesIn(kDragCases),
                         [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST_F(Virtual7ch1Test, TheHardwareSwitchLocksTheSpeakersWhileOff) {
    levelMode = true;
    switchState = 0;
    Drag(kC, 520, 200);
    EXPECT_EQ(At(kC), (SpeakerPosition{560, 163}));
    EXPECT_TRUE(DeviceTraffic().empty());
    unit->Click(Row(kVirtualReset), window.Control(L"VirtualResetImage"));
    EXPECT_TRUE(DeviceTraffic().empty()) << "nor does the reset act";
    switchState = 1;
    Drag(kC, 520, 200);
    EXPECT_EQ(At(kC), (SpeakerPosition{520, 200}));
}

// ---- Skins ----

TEST_F(Virtual7ch1Test, ANewSkinsCircleScalesThePlacesNotTheRecords) {
    const auto records = unit->Records().All();
    window.circle = {500, 300, 220, 110};
    unit->SkinApplied();
    EXPECT_EQ(At(kC), (SpeakerPosition{499, 300 - 176}));
    EXPECT_EQ(At(kRs), (SpeakerPosition{500 + 176, 300}));
    EXPECT_EQ(unit->Records().All(), records);
}

// ---- The Bee demonstration ----

TEST_F(Virtual7ch1Test, TheBeeTakesTheSpeakersAroundAndPlaysItsSound) {
    settings.m_b7ch1Enable = 1;
    Press(kRotateCw);
    const auto before = Positions();
    ClickBee(true);
    EXPECT_EQ(settings.m_bRotateCW, 0) << "the bee stops what was moving";
    EXPECT_TRUE(window.Control(L"BeeImage").visible);
    EXPECT_EQ(Timer(TimerId::Bee), kBeeTimerInterval);
    EXPECT_EQ(Timer(TimerId::BeePlay), kBeePlayTimerInterval);
    EXPECT_EQ(Timer(TimerId::Speaker), 0u);
    EXPECT_EQ(mediaPlayer.calls,
              (std::vector<std::wstring>{L"open C:\\Program Files\\Tavrin\\bee.wav", L"play"}));
    // Every speaker sits on the bee: at 88 pixels, angle 0.
    for (size_t i = 0; i < kSpeakerCount; ++i) EXPECT_EQ(At(i), (SpeakerPosition{648, 251}));

    // The motion buttons and the reset are refused while it flies.
    for (const int32_t tag : {kRotateCw, kRotateCcw, kNarrow, kEnlarge, kVirtualReset}) {
        EXPECT_FALSE(unit->Admit(Row(tag)).allowed) << tag;
    }
    Press(kRotateCw);
    EXPECT_EQ(settings.m_bRotateCW, 0);

    // A quarter turn: bee and speakers together, clockwise on the screen.
    ClearTraffic();
    Tick(90, TimerId::Bee);
    const Component& bee = window.Control(L"BeeImage");
    EXPECT_NEAR(bee.left, 560, 1);
    EXPECT_NEAR(bee.top, 251 + 88, 1);
    for (size_t i = 0; i < kSpeakerCount; ++i) {
        EXPECT_EQ(At(i), (SpeakerPosition{bee.left, bee.top}));
    }
    const auto block = Sent();
    ASSERT_TRUE(block);
    EXPECT_FLOAT_EQ(block->angle[kC], TurnedAngle(0.0f, -91));

    // The sound plays again when it is over.
    Tick(1, TimerId::BeePlay);
    EXPECT_EQ(mediaPlayer.calls.size(), 2u);
    mediaPlayer.position = mediaPlayer.length;
    Tick(1, TimerId::BeePlay);
    EXPECT_EQ(mediaPlayer.calls.back(), L"play");
    EXPECT_EQ(mediaPlayer.calls.size(), 3u);

    // Landing: the speakers are back where they were, and the device hears them there.
    ClearTraffic();
    ClickBee(false);
    EXPECT_EQ(Positions(), before);
    EXPECT_FALSE(window.Control(L"BeeImage").visible);
    EXPECT_EQ(mediaPlayer.calls.back(), L"close");
    EXPECT_EQ(Timer(TimerId::Bee), 0u);
    EXPECT_EQ(Timer(TimerId::BeePlay), 0u);
    EXPECT_FLOAT_EQ(Sent()->angle[kC], 1.5707964f);
    EXPECT_TRUE(unit->Admit(Row(kRotateCw)).allowed);
}

TEST_F(Virtual7ch1Test, WithoutItsSoundTheBeeStillFlies) {
    mediaPlayer.opens = false;
    ClickBee(true);
    EXPECT_EQ(mediaPlayer.calls,
              (std::vector<std::wstring>{L"open C:\\Program Files\\Tavrin\\bee.wav"}));
    const SpeakerPosition start = At(kC);
    Tick(10, TimerId::Bee);
    EXPECT_NE(At(kC), start);
    Tick(3, TimerId::BeePlay);
    EXPECT_EQ(mediaPlayer.calls.size(), 1u) << "nothing to play";
}

TEST_F(Virtual7ch1Test, SwitchingTheBeeOffAtStartLeavesTheLayout) {
    const auto before = Positions();
    unit->SwitchBeeOff();
    EXPECT_EQ(Positions(), before);
    EXPECT_FALSE(window.Control(L"BeeImage").visible);
    EXPECT_TRUE(mediaPlayer.calls.empty());
    EXPECT_EQ(Timer(TimerId::Bee), 0u);
}

// ---- Removal ----

TEST_F(Virtual7ch1Test, RemovalStopsEveryMotion) {
    settings.m_b7ch1Enable = 1;
    Press(kEnlarge);
    unit->ResetAfterRemoval();
    EXPECT_EQ(settings.m_bEnlarge, 0);
    EXPECT_EQ(settings.m_b7ch1Enable, 0);
    EXPECT_EQ(Timer(TimerId::Speaker), 0u);
    EXPECT_TRUE(DeviceTraffic().empty());
}

}  // namespace
}  // namespace tavrin
