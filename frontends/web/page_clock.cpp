#include "frontends/web/page_clock.h"

#include <algorithm>

namespace vorlak {

PageClock::PageClock(Now now, TimeOfDay timeOfDay, Wake wake)
    : now_(std::move(now)), timeOfDay_(std::move(timeOfDay)), wake_(std::move(wake)) {}

double PageClock::consoleNow() const { return (pausedAt_ ? *pausedAt_ : now_()) - pausedTotal_; }

void PageClock::startTicks(TimerId id, int intervalMs) {
    schedule_.start(id, consoleNow(), intervalMs);
    askToWake();
}

void PageClock::stopTicks(TimerId id) {
    schedule_.stop(id);
    askToWake();
}

std::optional<double> PageClock::nextDue() const { return schedule_.nextDue(); }

void PageClock::run() {
    if (paused()) return;
    running_ = true;
    const double now = consoleNow();
    double due = 0;
    while (const auto id = schedule_.take(now, &due)) {
        inHand_ = due;
        deliverTick(*id);
    }
    inHand_.reset();
    running_ = false;
    askToWake();
}

void PageClock::pause() {
    if (paused()) return;
    pausedAt_ = now_();
    askToWake();
}

void PageClock::resume() {
    if (!paused()) return;
    pausedTotal_ += now_() - *pausedAt_;
    pausedAt_.reset();
    askToWake();
}

void PageClock::askToWake() {
    if (running_ || !wake_) return;
    const auto next = paused() ? std::nullopt : nextDue();
    wake_(next ? std::optional<double>(std::max(0.0, *next - consoleNow())) : std::nullopt);
}

}  // namespace vorlak
