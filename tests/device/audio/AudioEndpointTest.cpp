// The endpoint, gain-control and mixer operations against a scripted audio port.
#include <gtest/gtest.h>

#include "app/device/audio/AudioEndpoint.h"
#include "tests/device/audio/FakeAudio.h"

namespace tavrin {
namespace {

using test::FakeAudio;
using test::FakeAudioState;
using test::FakeEndpoint;
using test::FakeMixer;
using test::GainCall;

constexpr uint16_t kVid = 0x2B7A;
constexpr uint16_t kPid = 0x5801;
constexpr wchar_t kHeadsetPath[] =
    L"\\\\?\\usb#vid_2b7a&pid_5801&mi_00#7&1f2e3d4c&0&0000#"
    L"{6994ad04-93ef-11d0-a3cc-00a0c9223196}\\global";
constexpr wchar_t kHeadsetName[] = L"USB Audio Headset";

CaptureDriverEntry Driver(const std::wstring& name, const std::wstring& path) {
    return {false, name, path};
}

TEST(CaptureName, DeviceTextIsUpperCaseHexWithFourDigits) {
    EXPECT_EQ(FormatDeviceText(0x2B7A, 0x5801), L"\\\\?\\USB#VID_2B7A&PID_5801");
    EXPECT_EQ(FormatDeviceText(0x2B7A, 0x0012), L"\\\\?\\USB#VID_2B7A&PID_0012");
}

struct CaptureNameCase {
    const char* what;
    std::vector<CaptureDriverEntry> drivers;
    std::wstring expected;
};

void PrintTo(const CaptureNameCase& c, std::ostream* out) {
    *out << c.what;
}

class CaptureNameTest : public ::testing::TestWithParam<CaptureNameCase> {};

TEST_P(CaptureNameTest, FromTheDirectSoundEntries) {
    FakeAudioState state;
    state.captureDrivers = GetParam().drivers;
    FakeAudio audio(state);
    EXPECT_EQ(FindCaptureName(audio, kVid, kPid), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, CaptureNameTest,
    ::testing::Values(CaptureNameCase{"the path's case does not matter",
                                      {Driver(L"Line In", L"\\\\?\\HDAUDIO#FUNC_01"),
                                       Driver(kHeadsetName, kHeadsetPath)},
                                      kHeadsetName},
                      CaptureNameCase{"the default entry is passed over",
                                      {{true, L"Primary Sound Capture Driver", kHeadsetPath}},
                                      L""},
                      CaptureNameCase{"the text must start the path",
                                      {Driver(L"Hub", L"\\\\?\\ROOT#\\\\?\\USB#VID_2B7A&PID_5801")},
                                      L""},
                      CaptureNameCase{"another product of the vendor",
                                      {Driver(L"Other", L"\\\\?\\USB#VID_2B7A&PID_5802&MI_00")},
                                      L""},
                      CaptureNameCase{
                          "every entry is visited: the last match wins",
                          {Driver(L"First", kHeadsetPath), Driver(L"Second", kHeadsetPath)},
                          L"Second"},
                      CaptureNameCase{"at most 259 characters",
                                      {Driver(std::wstring(300, L'n'), kHeadsetPath)},
                                      std::wstring(259, L'n')}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

class FindCaptureEndpointTest : public ::testing::Test {
protected:
    FindCaptureEndpointTest() {
        state.captureDrivers = {{true, L"Primary Sound Capture Driver", L""},
                                Driver(kHeadsetName, kHeadsetPath)};
    }
    FakeAudioState state;
    FakeAudio audio{state};
};

TEST_F(FindCaptureEndpointTest, FriendlyNameContainingTheCaptureNameIsTheEndpoint) {
    state.endpoints = {{L"Microphone (Quillon HD Audio)"},
                       {L"Microphone (USB Audio Headset) front"},
                       {L"Microphone (USB Audio Headset) rear"}};
    auto endpoint = FindCaptureEndpoint(audio, kVid, kPid);
    ASSERT_NE(endpoint, nullptr);
    std::wstring name;
    endpoint->ReadFriendlyName(name);
    EXPECT_EQ(name, L"Microphone (USB Audio Headset) front") << "the first in collection order";
    EXPECT_EQ(state.liveObjects, 1) << "only the result is left for the caller to release";
    EXPECT_EQ(state.comInitializations, 0) << "the caller's COM is used";
    endpoint.reset();
    EXPECT_EQ(state.liveObjects, 0);
}

TEST_F(FindCaptureEndpointTest, NothingMatchesOrACallFails) {
    state.endpoints = {{L"Microphone (Quillon HD Audio)"}, {L"usb audio headset"}};
    EXPECT_EQ(FindCaptureEndpoint(audio, kVid, kPid), nullptr) << "the match is case-sensitive";

    state.endpoints = {{L"Microphone (USB Audio Headset)"}};
    state.endpoints[0].readName = kAudioFailed;
    EXPECT_EQ(FindCaptureEndpoint(audio, kVid, kPid), nullptr);
    state.endpoints[0].readName = kAudioOk;
    state.enumEndpoints = kAudioFailed;
    EXPECT_EQ(FindCaptureEndpoint(audio, kVid, kPid), nullptr);
    state.enumEndpoints = kAudioOk;
    state.createEnumerator = kAudioFailed;
    EXPECT_EQ(FindCaptureEndpoint(audio, kVid, kPid), nullptr);
    EXPECT_EQ(state.liveObjects, 0);
}

TEST_F(FindCaptureEndpointTest, WithoutTheDeviceCaptureDriverNoOtherMicrophoneIsTaken) {
    state.captureDrivers = {Driver(L"Microphone", L"\\\\?\\HDAUDIO#FUNC_01")};
    state.endpoints = {{L"Microphone (Quillon HD Audio)"}};
    EXPECT_EQ(FindCaptureEndpoint(audio, kVid, kPid), nullptr);
}

// Level and mute on one endpoint; each operation brings its own COM and releases its objects.
class EndpointVolumeTest : public ::testing::Test {
protected:
    static FakeAudioState WithHeadset() {
        FakeAudioState state;
        state.endpoints.push_back({kHeadsetName});
        return state;
    }
    void TearDown() override {
        EXPECT_EQ(state.comInitializations, state.comUninitializations);
        EXPECT_EQ(state.liveObjects, 1) << "only the endpoint itself";
    }
    std::unique_ptr<AudioDevice> Endpoint() {
        std::unique_ptr<AudioDeviceEnumerator> enumerator;
        audio.CreateDeviceEnumerator(enumerator);
        std::unique_ptr<AudioDeviceCollection> collection;
        enumerator->EnumActiveCaptureEndpoints(collection);
        std::unique_ptr<AudioDevice> device;
        collection->Item(0, device);
        return device;
    }

    FakeAudioState state = WithHeadset();
    FakeAudio audio{state};
    FakeEndpoint& fake = state.endpoints[0];
    std::unique_ptr<AudioDevice> endpoint = Endpoint();
};

TEST_F(EndpointVolumeTest, LevelInPercentFromTheSteps) {
    struct Case {
        uint32_t step;
        uint32_t stepCount;
        int percent;
    };
    for (const Case& c : {Case{50, 101, 50}, Case{0, 101, 0}, Case{100, 101, 100}, Case{7, 16, 46},
                          Case{1, 3, 50}, Case{0, 1, 0}, Case{0, 0, 0}}) {
        fake.step = c.step;
        fake.stepCount = c.stepCount;
        int percent = -1;
        EXPECT_EQ(GetEndpointLevel(audio, *endpoint, percent), kEndpointDone);
        EXPECT_EQ(percent, c.percent) << c.step << " of " << c.stepCount;
    }
}

TEST_F(EndpointVolumeTest, LevelFailuresLeaveThePercent) {
    int percent = 77;
    fake.stepInfo = kAudioFailed;
    EXPECT_EQ(GetEndpointLevel(audio, *endpoint, percent), kEndpointStepQueryFailed);
    fake.activateVolume = kAudioNoInterface;
    EXPECT_EQ(GetEndpointLevel(audio, *endpoint, percent), kEndpointActivationFailed);
    EXPECT_EQ(percent, 77);
    EXPECT_EQ(SetEndpointLevel(audio, *endpoint, 30), kEndpointActivationFailed);
    EXPECT_EQ(fake.level, -1.0f);
}

TEST_F(EndpointVolumeTest, LevelWriteIsAScalarAndIgnoresTheCallResult) {
    fake.setLevel = kAudioFailed;
    EXPECT_EQ(SetEndpointLevel(audio, *endpoint, 30), kEndpointDone);
    EXPECT_FLOAT_EQ(fake.level, 0.3f);
    EXPECT_EQ(SetEndpointLevel(audio, *endpoint, 100), kEndpointDone);
    EXPECT_FLOAT_EQ(fake.level, 1.0f);
}

TEST_F(EndpointVolumeTest, MuteReportsTheCallResult) {
    EXPECT_EQ(SetEndpointMute(audio, *endpoint, true), kAudioOk);
    bool mute = false;
    EXPECT_EQ(GetEndpointMute(audio, *endpoint, mute), kAudioOk);
    EXPECT_TRUE(mute);

    fake.muteCall = kAudioFailed;
    EXPECT_EQ(SetEndpointMute(audio, *endpoint, false), kAudioFailed);
    EXPECT_EQ(GetEndpointMute(audio, *endpoint, mute), kAudioFailed);
    fake.activateVolume = kAudioNoInterface;
    EXPECT_EQ(SetEndpointMute(audio, *endpoint, false), kEndpointActivationFailed);
    EXPECT_EQ(GetEndpointMute(audio, *endpoint, mute), kEndpointActivationFailed);
}

TEST_F(EndpointVolumeTest, ComThatNeedsNoBalanceIsLeftAlone) {
    state.comNeedsBalance = false;
    int percent = 0;
    GetEndpointLevel(audio, *endpoint, percent);
    EXPECT_EQ(state.comInitializations, 1);
    EXPECT_EQ(state.comUninitializations, 0);
    state.comUninitializations = 1;  // for the fixture's balance check
}

TEST_F(EndpointVolumeTest, GainControlOfTheFirstPartThatOffersIt) {
    state.gainSubunit = 1;
    state.gainEnabled = true;
    bool enabled = false;
    EXPECT_EQ(GetEndpointGainControl(audio, *endpoint, enabled), kEndpointDone);
    EXPECT_TRUE(enabled);
    EXPECT_EQ(state.requestedDeviceId, fake.connectedId);
    EXPECT_EQ(state.partsAsked, 2) << "the walk stops at the part with the control";

    EXPECT_EQ(SetEndpointGainControl(audio, *endpoint, false), kEndpointDone);
    EXPECT_FALSE(state.gainEnabled);
}

TEST_F(EndpointVolumeTest, GainControlAbsentOrRefused) {
    state.gainSubunit = -1;
    bool enabled = true;
    EXPECT_EQ(GetEndpointGainControl(audio, *endpoint, enabled), kGainControlNotFound);
    EXPECT_EQ(state.partsAsked, 3);
    state.subunitCount = 0;
    EXPECT_EQ(SetEndpointGainControl(audio, *endpoint, false), kGainControlNotFound);

    state.subunitCount = 3;
    state.gainSubunit = 2;
    state.gainCall = kAudioFailed;
    EXPECT_EQ(GetEndpointGainControl(audio, *endpoint, enabled), kGainControlRefused);
    EXPECT_TRUE(enabled);
}

TEST_F(EndpointVolumeTest, GainControlReportsTheFailingStep) {
    for (GainCall call :
         {GainCall::CreateEnumerator, GainCall::EndpointTopology, GainCall::Connector,
          GainCall::ConnectedId, GainCall::ConnectedDevice, GainCall::ConnectedTopology,
          GainCall::SubunitCount, GainCall::Subunit, GainCall::Part}) {
        state.failGainCall = call;
        bool enabled = false;
        EXPECT_EQ(GetEndpointGainControl(audio, *endpoint, enabled), static_cast<int>(call));
        EXPECT_EQ(SetEndpointGainControl(audio, *endpoint, true), static_cast<int>(call));
        EXPECT_FALSE(state.gainEnabled);
        EXPECT_EQ(state.liveObjects, 1) << "released after step " << static_cast<int>(call);
    }
}

// The mixer path: lines are found through the DirectSound capture name.
class MixerControlTest : public ::testing::Test {
protected:
    MixerControlTest() {
        state.captureDrivers = {Driver(L"USB Audio Headset Microphone Array", kHeadsetPath)};
    }
    void TearDown() override { EXPECT_EQ(state.liveObjects, 0) << "every mixer is closed"; }

    static FakeMixer Headset() {
        FakeMixer mixer;
        mixer.productName = L"usb audio headset";  // 31 characters at most in a mixer
        return mixer;
    }
    int Run(MixerOperation operation) {
        return MixerControl(audio, operation, value, minimum, maximum, kVid, kPid);
    }

    FakeAudioState state;
    FakeAudio audio{state};
    uint32_t value = 0;
    uint32_t minimum = 0;
    uint32_t maximum = 0;
};

TEST_F(MixerControlTest, VolumeOnTheWaveInDestination) {
    FakeMixer headset = Headset();
    headset.destination.controls[MixerControlType::Volume] = {7, 0, 65535};
    headset.values[7] = 32768;
    FakeMixer playbackOnly;
    playbackOnly.hasWaveIn = false;
    FakeMixer other;
    other.productName = L"Quillon HD Audio";
    other.destination.controls[MixerControlType::Volume] = {1, 0, 100};
    state.mixers = {playbackOnly, other, headset};

    EXPECT_EQ(Run(MixerOperation::GetVolume), kMixerDone);
    EXPECT_EQ(value, 32768u);
    EXPECT_EQ(minimum, 0u);
    EXPECT_EQ(maximum, 65535u);
    value = 1000;
    EXPECT_EQ(Run(MixerOperation::SetVolume), kMixerDone);
    EXPECT_EQ(state.mixers[2].values[7], 1000u);
    EXPECT_TRUE(state.mixers[1].values.empty());
}

TEST_F(MixerControlTest, ControlOnAMicrophoneOrUndefinedSourceLine) {
    FakeMixer headset = Headset();
    headset.sources = {{MixerComponent::Other, true, {{MixerControlType::Mute, {1, 0, 1}}}},
                       {MixerComponent::Microphone, true, {{MixerControlType::Volume, {2, 0, 1}}}},
                       {MixerComponent::Undefined, true, {{MixerControlType::Mute, {3, 0, 1}}}},
                       {MixerComponent::Microphone, true, {{MixerControlType::Mute, {4, 0, 1}}}}};
    state.mixers = {headset};
    value = 1;
    EXPECT_EQ(Run(MixerOperation::SetMute), kMixerDone);
    EXPECT_EQ(state.mixers[0].values, (std::map<uint32_t, uint32_t>{{3, 1}}))
        << "not the line of another component type, nor a later line";

    state.mixers[0].values[3] = 0;
    EXPECT_EQ(Run(MixerOperation::GetMute), kMixerDone);
    EXPECT_EQ(value, 0u);
}

TEST_F(MixerControlTest, SourceWalkStopsAtAnUnreadableLine) {
    FakeMixer headset = Headset();
    headset.sources = {
        {MixerComponent::Microphone, false, {}},
        {MixerComponent::Microphone, true, {{MixerControlType::InputSelector, {5, 0, 1}}}}};
    state.mixers = {headset};
    EXPECT_EQ(Run(MixerOperation::GetInputSelector), kMixerNotFound);
    state.mixers[0].sources[0].readable = true;
    value = 1;
    EXPECT_EQ(Run(MixerOperation::SetInputSelector), kMixerDone);
    EXPECT_EQ(state.mixers[0].values[5], 1u);
}

TEST_F(MixerControlTest, NotFoundOrFailed) {
    FakeMixer headset = Headset();
    headset.destination.controls[MixerControlType::Volume] = {7, 0, 65535};
    state.mixers = {headset};
    EXPECT_EQ(Run(MixerOperation::GetMute), kMixerNotFound) << "no mute control anywhere";

    state.mixers[0].detailsCall = 11;  // MMSYSERR_INVALPARAM
    EXPECT_EQ(Run(MixerOperation::GetVolume), kMixerNotFound);

    state.mixers[0].detailsCall = kAudioOk;
    state.mixers[0].open = 2;  // MMSYSERR_BADDEVICEID
    EXPECT_EQ(Run(MixerOperation::GetVolume), kMixerNotFound);

    state.mixers[0].open = kAudioOk;
    state.mixers[0].productName = L"";
    EXPECT_EQ(Run(MixerOperation::GetVolume), kMixerNotFound) << "an empty name names nothing";

    state.mixers[0].productName = L"USB Audio";
    state.captureDrivers.clear();
    EXPECT_EQ(Run(MixerOperation::GetVolume), kMixerNotFound) << "no capture name";
}

}  // namespace
}  // namespace tavrin
