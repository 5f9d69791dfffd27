#include "frontends/web/page_clock.h"

#include <algorithm>
#include <cmath>

namespace vorlak {

PageClock::PageClock(Now now, TimeOfDay timeOfDay, Wake wake)
    : now_(std::move(now)), timeOfDay_(std::move(timeOfDay)), wake_(std::move(wake)) {}

double PageClock::consoleNow() const { return (pausedAt_ ? *pausedAt_ : now_()) - pausedTotal_; }

void PageClock::startTicks(TimerId id, int intervalMs) {
    Schedule& s = schedule_[id];
    s.running = true;
    s.interval = intervalMs < 1 ? 1 : intervalMs;
    s.due = consoleNow() + s.interval;
    s.order = nextOrder_++;
    askToWake();
}

void PageClock::stopTicks(TimerId id) {
    schedule_[id].running = false;
    askToWake();
}

std::optional<double> PageClock::nextDue() const {
    std::optional<double> next;
    for (const Schedule& s : schedule_)
        if (s.running && (!next || s.due < *next)) next = s.due;
    return next;
}

void PageClock::run() {
    if (paused()) return;
    running_ = true;
    const double now = consoleNow();
    for (;;) {
        int best = -1;
        for (int i = 0; i < ClockTimerCount; ++i) {
            const Schedule& s = schedule_[i];
            if (!s.running || s.due > now) continue;
            if (best < 0 || s.due < schedule_[best].due ||
                (s.due == schedule_[best].due && s.order < schedule_[best].order))
                best = i;
        }
        if (best < 0) break;
        Schedule& s = schedule_[best];
        inHand_ = s.due;
        // The next tick on the timer's own beat that is still to come: the
        // ones missed while this one was late are dropped.
        s.due += s.interval * (std::floor((now - s.due) / s.interval) + 1);
        s.order = nextOrder_++;
        deliverTick(static_cast<TimerId>(best));
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
