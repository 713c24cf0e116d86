#pragma once
// The delayed press of a hardware switch: woken from the window thread, the worker waits 100 ms
// and then has the window thread press the control it was handed (a press runs the window's
// handlers, which belong to that thread). It can be stopped and started again.
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "app/features/AutoResetEvent.h"
#include "ports/Clock.h"
#include "ports/UiHost.h"

namespace tavrin {

inline constexpr uint32_t kDelayedPressWait = 100;

class TMyThread {
public:
    using Press = std::function<void(const std::wstring& control)>;

    TMyThread(UiHost& ui, Clock& clock, Press press);
    ~TMyThread();
    TMyThread(const TMyThread&) = delete;
    TMyThread& operator=(const TMyThread&) = delete;

    // Window thread, all of them. Stop joins the worker; a press not made yet is dropped.
    void Start();
    void Stop();
    bool Running() const { return worker_.joinable(); }
    // The control to press at the next wake-up.
    void Update(std::wstring control);
    void Wake() { wake_.Set(); }

private:
    void Execute();
    void PressPending();

    UiHost& ui_;
    Clock& clock_;
    Press press_;
    AutoResetEvent wake_;
    std::atomic<bool> stopping_{false};
    std::thread worker_;
    // Window thread only.
    std::wstring control_;
    bool pending_ = false;
    // Shared with the posted presses, which check it first; false once stopped.
    std::shared_ptr<bool> running_;
};

}  // namespace tavrin
