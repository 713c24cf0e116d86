#pragma once
// A worker thread woken by an auto-reset event: each signal lets it run one pass (signals that
// come while it is busy wake it once more at most). It can be stopped and is joined; signalling
// a worker that is not running has no effect.
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace tavrin {

class EventWorker {
public:
    // `beforeWait` runs on the worker before each wait, `pass` after each wake-up.
    EventWorker(std::function<void()> beforeWait, std::function<void()> pass);
    ~EventWorker();
    EventWorker(const EventWorker&) = delete;
    EventWorker& operator=(const EventWorker&) = delete;

    // The next three belong to the thread that owns the worker.
    // Starts the thread with the event not signalled; nothing when it runs already.
    void Start();
    void Signal();
    // Wakes the worker, lets a pass in progress finish and joins the thread.
    void Stop();
    bool Running() const { return thread_.joinable(); }

    // For the pass: a stop was asked, so it should not begin anything new.
    bool Stopping() const;

private:
    void Loop();

    std::function<void()> beforeWait_;
    std::function<void()> pass_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool signalled_ = false;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace tavrin
