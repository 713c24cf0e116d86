#include "app/features/TMyThread.h"

#include <utility>

namespace tavrin {

TMyThread::TMyThread(UiHost& ui, Clock& clock, Press press)
    : ui_(ui), clock_(clock), press_(std::move(press)) {}

TMyThread::~TMyThread() {
    Stop();
}

void TMyThread::Start() {
    if (Running()) return;
    stopping_ = false;
    running_ = std::make_shared<bool>(true);
    worker_ = std::thread([this] { Execute(); });
}

void TMyThread::Stop() {
    if (!Running()) return;
    stopping_ = true;
    wake_.Set();
    worker_.join();
    *running_ = false;
    pending_ = false;
}

void TMyThread::Update(std::wstring control) {
    control_ = std::move(control);
    pending_ = true;
}

void TMyThread::Execute() {
    const std::shared_ptr<bool> running = running_;
    for (;;) {
        wake_.Wait();
        if (stopping_) return;
        clock_.Sleep(kDelayedPressWait);
        if (stopping_) return;
        ui_.PostToWindowThread([this, running] {
            if (*running) PressPending();
        });
    }
}

// Cleared before the press: a press that lets pending messages run must not press again.
void TMyThread::PressPending() {
    if (!pending_) return;
    pending_ = false;
    press_(control_);
}

}  // namespace tavrin
