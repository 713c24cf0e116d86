#pragma once
// The wave devices and the media player as tests drive them: recordings whose buffers a test
// fills by hand, playbacks that are only counted, and a player that records its calls. The
// capture endpoint and the mixer come from another audio port (the virtual headset's).
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ports/Audio.h"
#include "ports/MediaPlayer.h"

namespace tavrin::test {

struct FakeWaveState {
    // Each OpenRecording and Play, with its format ("recording 8 bits 400x2", "play 16 bits").
    std::vector<std::string> calls;
    AudioResult openResult = kAudioOk;
    AudioResult startResult = kAudioOk;
    // The recordings open now, and what the last one was told.
    int openRecordings = 0;
    int openPlaybacks = 0;
    RecordingSink* sink = nullptr;
    bool started = false;
    bool stopped = false;
    std::vector<uint8_t> contents;  // the last recording's first buffer
    uint32_t bytesRecorded = 0;     // what it reports after a stop
    std::vector<size_t> playedSizes;
};

class FakeRecording final : public WaveRecording {
public:
    FakeRecording(FakeWaveState& state, uint32_t bufferBytes) : state_(state) {
        ++state_.openRecordings;
        state_.contents.assign(bufferBytes, 0);
        state_.started = state_.stopped = false;
    }
    ~FakeRecording() override { --state_.openRecordings; }
    AudioResult Start() override {
        state_.started = true;
        return state_.startResult;
    }
    AudioResult Stop() override {
        state_.stopped = true;
        return kAudioOk;
    }
    std::vector<uint8_t> Contents(size_t) override { return state_.contents; }
    uint32_t BytesRecorded(size_t) override { return state_.stopped ? state_.bytesRecorded : 0; }

private:
    FakeWaveState& state_;
};

class FakePlayback final : public WavePlayback {
public:
    explicit FakePlayback(FakeWaveState& state) : state_(state) { ++state_.openPlaybacks; }
    ~FakePlayback() override { --state_.openPlaybacks; }

private:
    FakeWaveState& state_;
};

class FakeWaveAudio final : public Audio {
public:
    FakeWaveAudio(Audio& endpoints, FakeWaveState& state) : endpoints_(endpoints), state_(state) {}

    bool InitializeCom() override { return endpoints_.InitializeCom(); }
    void UninitializeCom() override { endpoints_.UninitializeCom(); }
    AudioResult EnumerateCaptureDrivers(std::vector<CaptureDriverEntry>& entries) override {
        return endpoints_.EnumerateCaptureDrivers(entries);
    }
    AudioResult CreateDeviceEnumerator(
        std::unique_ptr<AudioDeviceEnumerator>& enumerator) override {
        return endpoints_.CreateDeviceEnumerator(enumerator);
    }
    uint32_t MixerDeviceCount() override { return endpoints_.MixerDeviceCount(); }
    AudioResult OpenMixer(uint32_t index, std::unique_ptr<Mixer>& mixer) override {
        return endpoints_.OpenMixer(index, mixer);
    }
    AudioResult OpenRecording(const WaveFormat& format, uint32_t bufferBytes, uint32_t bufferCount,
                              RecordingSink* sink, UiHost&,
                              std::unique_ptr<WaveRecording>& recording) override {
        state_.calls.push_back("recording " + std::to_string(format.bitsPerSample) + " bits " +
                               std::to_string(bufferBytes) + "x" + std::to_string(bufferCount));
        if (state_.openResult != kAudioOk) return state_.openResult;
        state_.sink = sink;
        recording = std::make_unique<FakeRecording>(state_, bufferBytes);
        return kAudioOk;
    }
    AudioResult Play(const WaveFormat& format, std::vector<uint8_t> samples,
                     std::unique_ptr<WavePlayback>& playback) override {
        state_.calls.push_back("play " + std::to_string(format.bitsPerSample) + " bits");
        state_.playedSizes.push_back(samples.size());
        playback = std::make_unique<FakePlayback>(state_);
        return kAudioOk;
    }

private:
    Audio& endpoints_;
    FakeWaveState& state_;
};

class RecordingMediaPlayer final : public MediaPlayer {
public:
    bool Open(const std::wstring& path) override {
        calls.push_back(L"open " + path);
        open = opens;
        position = 0;
        return open;
    }
    void Play() override {
        calls.push_back(L"play");
        position = 0;
    }
    void Close() override {
        calls.push_back(L"close");
        open = false;
    }
    uint32_t Length() override { return open ? length : 0; }
    uint32_t Position() override { return open ? position : 0; }

    // Knobs: whether the file opens, and where the track is.
    bool opens = true;
    uint32_t length = 2000;
    uint32_t position = 0;
    bool open = false;
    std::vector<std::wstring> calls;
};

}  // namespace tavrin::test
