#pragma once
// The thread that runs one installation. It reaches the wizard only through what its work
// posts; it can be asked to stop between steps and is always joined.
#include <atomic>
#include <functional>
#include <mutex>
#include <thread>

namespace tavrin::setup {

class InstallWorker {
public:
    using Work = std::function<void(const std::atomic<bool>& stopRequested)>;

    InstallWorker() = default;
    ~InstallWorker();
    InstallWorker(const InstallWorker&) = delete;
    InstallWorker& operator=(const InstallWorker&) = delete;

    // One run per program: false, and nothing started, when a run was started before.
    bool Start(Work work);
    void RequestStop() { stopRequested_ = true; }
    // Waits for the run to end; nothing happens when none was started or it was joined.
    void Join();
    bool Started() const { return started_; }

private:
    std::mutex mutex_;
    std::thread thread_;
    std::atomic<bool> stopRequested_{false};
    bool started_ = false;
};

}  // namespace tavrin::setup
