#include "sim/ControlChannel.h"

#include <chrono>
#include <iterator>

#include "sim/HeadsetSimulator.h"

namespace tavrin::sim {

ControlChannel::ControlChannel(HeadsetSimulator& simulator, std::wstring path)
    : simulator_(simulator), path_(std::move(path)), follower_([this] { Follow(); }) {}

ControlChannel::~ControlChannel() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    follower_.join();
}

bool ControlChannel::Pause(uint32_t milliseconds) {
    std::unique_lock lock(mutex_);
    return !wake_.wait_for(lock, std::chrono::milliseconds(milliseconds),
                           [this] { return stopping_; });
}

std::string ControlChannel::ReadNew() {
    std::ifstream file = OpenInput(path_);
    if (!file || !file.seekg(offset_)) return {};
    std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    offset_ += static_cast<std::streamoff>(text.size());
    return text;
}

// A line counts once its newline is there: a writer may be half-way through it.
void ControlChannel::Follow() {
    std::string pending;
    while (Pause(kPollMilliseconds)) {
        pending += ReadNew();
        for (std::size_t end = pending.find('\n'); end != std::string::npos;
             end = pending.find('\n')) {
            const std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            simulator_.RunScript(line, "control", ++lineNumber_,
                                 [this](uint32_t milliseconds) { return Pause(milliseconds); });
            std::lock_guard lock(mutex_);
            if (stopping_) return;
        }
    }
}

}  // namespace tavrin::sim
