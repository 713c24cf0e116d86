// The wave devices: recording with waveIn, playing one buffer with waveOut, both on the default
// device (the wave mapper).
#include <windows.h>

#include <mmsystem.h>

#include <memory>
#include <utility>
#include <vector>

#include "app/device/audio/win32/Win32Audio.h"

namespace tavrin {
namespace {

// The window that receives a recording's notifications, on the thread that opened it.
constexpr wchar_t kRecordingWindowClass[] = L"TavrinWaveInput";

WAVEFORMATEX ToWaveFormat(const WaveFormat& format) {
    WAVEFORMATEX wave{};
    wave.wFormatTag = WAVE_FORMAT_PCM;
    wave.nChannels = format.channels;
    wave.nSamplesPerSec = format.samplesPerSecond;
    wave.wBitsPerSample = format.bitsPerSample;
    wave.nBlockAlign = format.blockAlign;
    wave.nAvgBytesPerSec = format.bytesPerSecond;
    return wave;
}

// One buffer the device fills or plays; its header must stay where it is while the device
// holds it.
struct WaveBuffer {
    std::vector<uint8_t> bytes;
    WAVEHDR header{};
};

class Win32Recording final : public WaveRecording {
public:
    Win32Recording(RecordingSink* sink, uint32_t bufferBytes, uint32_t bufferCount)
        : sink_(sink), buffers_(bufferCount) {
        for (WaveBuffer& buffer : buffers_) {
            buffer.bytes.assign(bufferBytes, 0);
            buffer.header.lpData = reinterpret_cast<LPSTR>(buffer.bytes.data());
            buffer.header.dwBufferLength = bufferBytes;
        }
    }
    ~Win32Recording() override { Close(); }
    Win32Recording(const Win32Recording&) = delete;
    Win32Recording& operator=(const Win32Recording&) = delete;

    AudioResult Open(const WaveFormat& format) {
        const WAVEFORMATEX wave = ToWaveFormat(format);
        DWORD_PTR target = 0;
        DWORD callback = CALLBACK_EVENT;
        if (sink_ != nullptr) {
            window_ = CreateNotificationWindow();
            if (window_ == nullptr) return static_cast<AudioResult>(MMSYSERR_NOMEM);
            target = reinterpret_cast<DWORD_PTR>(window_);
            callback = CALLBACK_WINDOW;
        } else {
            event_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
            if (event_ == nullptr) return static_cast<AudioResult>(MMSYSERR_NOMEM);
            target = reinterpret_cast<DWORD_PTR>(event_);
        }
        MMRESULT result = waveInOpen(&device_, WAVE_MAPPER, &wave, target, 0, callback);
        if (result != MMSYSERR_NOERROR) {
            device_ = nullptr;
            return static_cast<AudioResult>(result);
        }
        for (WaveBuffer& buffer : buffers_) {
            result = waveInPrepareHeader(device_, &buffer.header, sizeof(WAVEHDR));
            if (result == MMSYSERR_NOERROR) {
                result = waveInAddBuffer(device_, &buffer.header, sizeof(WAVEHDR));
            }
            if (result != MMSYSERR_NOERROR) return static_cast<AudioResult>(result);
        }
        return kAudioOk;
    }

    AudioResult Start() override { return static_cast<AudioResult>(waveInStart(device_)); }

    AudioResult Stop() override {
        stopped_ = true;
        waveInStop(device_);
        return static_cast<AudioResult>(waveInReset(device_));
    }

    std::vector<uint8_t> Contents(size_t index) override {
        return index < buffers_.size() ? buffers_[index].bytes : std::vector<uint8_t>{};
    }

    uint32_t BytesRecorded(size_t index) override {
        if (index >= buffers_.size()) return 0;
        const WAVEHDR& header = buffers_[index].header;
        return (header.dwFlags & WHDR_DONE) != 0 ? header.dwBytesRecorded : 0;
    }

private:
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
        if (message == MM_WIM_DATA) {
            auto* recording =
                reinterpret_cast<Win32Recording*>(GetWindowLongPtrW(window, GWLP_USERDATA));
            if (recording != nullptr) recording->Filled(*reinterpret_cast<WAVEHDR*>(lParam));
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    HWND CreateNotificationWindow() {
        const HINSTANCE instance = GetModuleHandleW(nullptr);
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = WindowProcedure;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = kRecordingWindowClass;
        // A second registration fails with the class already there, which is as good.
        RegisterClassExW(&windowClass);
        HWND window = CreateWindowExW(0, kRecordingWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                      nullptr, instance, nullptr);
        if (window != nullptr) {
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        }
        return window;
    }

    // A buffer came back: the sink sees it, and it is queued again while the recording runs.
    // After a stop the device hands back every buffer; those are not queued again.
    void Filled(WAVEHDR& header) {
        if (stopped_ || device_ == nullptr) return;
        const auto* bytes = reinterpret_cast<const uint8_t*>(header.lpData);
        sink_->BufferFilled({bytes, header.dwBytesRecorded});
        if (!stopped_) waveInAddBuffer(device_, &header, sizeof(WAVEHDR));
    }

    void Close() {
        if (device_ != nullptr) {
            if (!stopped_) Stop();
            for (WaveBuffer& buffer : buffers_) {
                if ((buffer.header.dwFlags & WHDR_PREPARED) != 0) {
                    waveInUnprepareHeader(device_, &buffer.header, sizeof(WAVEHDR));
                }
            }
            waveInClose(device_);
            device_ = nullptr;
        }
        // Notifications still queued for the window go with it.
        if (window_ != nullptr) DestroyWindow(window_);
        if (event_ != nullptr) CloseHandle(event_);
    }

    RecordingSink* sink_;
    std::vector<WaveBuffer> buffers_;
    HWAVEIN device_ = nullptr;
    HWND window_ = nullptr;
    HANDLE event_ = nullptr;
    bool stopped_ = false;
};

class Win32Playback final : public WavePlayback {
public:
    explicit Win32Playback(std::vector<uint8_t> samples) {
        buffer_.bytes = std::move(samples);
        buffer_.header.lpData = reinterpret_cast<LPSTR>(buffer_.bytes.data());
        buffer_.header.dwBufferLength = static_cast<DWORD>(buffer_.bytes.size());
    }
    ~Win32Playback() override {
        if (event_ != nullptr) CloseHandle(event_);
        if (device_ == nullptr) return;
        waveOutReset(device_);
        if ((buffer_.header.dwFlags & WHDR_PREPARED) != 0) {
            waveOutUnprepareHeader(device_, &buffer_.header, sizeof(WAVEHDR));
        }
        waveOutClose(device_);
    }
    Win32Playback(const Win32Playback&) = delete;
    Win32Playback& operator=(const Win32Playback&) = delete;

    AudioResult Open(const WaveFormat& format) {
        event_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        if (event_ == nullptr) return static_cast<AudioResult>(MMSYSERR_NOMEM);
        const WAVEFORMATEX wave = ToWaveFormat(format);
        MMRESULT result = waveOutOpen(&device_, WAVE_MAPPER, &wave,
                                      reinterpret_cast<DWORD_PTR>(event_), 0, CALLBACK_EVENT);
        if (result != MMSYSERR_NOERROR) {
            device_ = nullptr;
            return static_cast<AudioResult>(result);
        }
        result = waveOutPrepareHeader(device_, &buffer_.header, sizeof(WAVEHDR));
        if (result == MMSYSERR_NOERROR) {
            result = waveOutWrite(device_, &buffer_.header, sizeof(WAVEHDR));
        }
        return static_cast<AudioResult>(result);
    }

private:
    WaveBuffer buffer_;
    HWAVEOUT device_ = nullptr;
    HANDLE event_ = nullptr;
};

}  // namespace

AudioResult Win32Audio::OpenRecording(const WaveFormat& format, uint32_t bufferBytes,
                                      uint32_t bufferCount, RecordingSink* sink,
                                      UiHost& /*windowThread*/,
                                      std::unique_ptr<WaveRecording>& recording) {
    auto opened = std::make_unique<Win32Recording>(sink, bufferBytes, bufferCount);
    const AudioResult result = opened->Open(format);
    if (result == kAudioOk) recording = std::move(opened);
    return result;
}

AudioResult Win32Audio::Play(const WaveFormat& format, std::vector<uint8_t> samples,
                             std::unique_ptr<WavePlayback>& playback) {
    auto opened = std::make_unique<Win32Playback>(std::move(samples));
    const AudioResult result = opened->Open(format);
    if (result == kAudioOk) playback = std::move(opened);
    return result;
}

}  // namespace tavrin
