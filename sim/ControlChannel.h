#pragma once
// A live control channel into the virtual headset: a file that a test or a person appends
// commands to while the product runs (plug, unplug, press a button, wait). Each complete line
// runs as a script line as soon as it is there; "wait <ms>" holds the lines after it back. The
// file may appear after the channel starts; it is read from its beginning.
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

namespace tavrin::sim {

class HeadsetSimulator;

class ControlChannel {
public:
    static constexpr uint32_t kPollMilliseconds = 20;

    ControlChannel(HeadsetSimulator& simulator, std::wstring path);
    // Stops following and joins; a wait in progress is cut short.
    ~ControlChannel();
    ControlChannel(const ControlChannel&) = delete;
    ControlChannel& operator=(const ControlChannel&) = delete;

private:
    void Follow();
    // The bytes appended since the last read.
    std::string ReadNew();
    // Sleeps up to `milliseconds`; false when the channel is stopping.
    bool Pause(uint32_t milliseconds);

    HeadsetSimulator& simulator_;
    const std::wstring path_;
    std::streamoff offset_ = 0;
    uint32_t lineNumber_ = 0;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::thread follower_;
};

}  // namespace tavrin::sim
