#include "setup/InstallWorker.h"

#include <utility>

namespace tavrin::setup {

InstallWorker::~InstallWorker() {
    RequestStop();
    Join();
}

bool InstallWorker::Start(Work work) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (started_) return false;
    started_ = true;
    thread_ = std::thread([this, work = std::move(work)] { work(stopRequested_); });
    return true;
}

void InstallWorker::Join() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (thread_.joinable()) thread_.join();
}

}  // namespace tavrin::setup
