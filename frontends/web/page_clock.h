// The game's clock in a web page: the page's monotonic clock (milliseconds,
// as performance.now() gives them) drives the nineteen game timers and the
// key input's, and the page is asked to wake the clock when the next tick is
// due.
//
// Ticks come periodically from the start, the first one full interval after
// it. A tick that comes late is delivered once and the timer keeps its phase:
// ticks missed meanwhile are dropped, not replayed in a burst. An interval of
// 1 ms means the next tick comes as soon as the page is free.
//
// A hidden page gets no frames and throttled timers, so the console is paused
// while it is hidden: the clock's time stands still from pause() to resume(),
// and every timer then goes on with the part of its interval it had left.
//
// Plain C++: the page gives the time and the wake-up as functions.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include "game/timers.h"

namespace vorlak {

class PageClock : public Clock {
public:
    using Now = std::function<double()>;              // the page's clock, ms
    using TimeOfDay = std::function<std::uint32_t()>;  // UTC time of day, ms
    // Asked after every change: call run() in this many ms; nothing when no
    // timer is running (or the clock is paused).
    using Wake = std::function<void(std::optional<double> delayMs)>;

    PageClock(Now now, TimeOfDay timeOfDay, Wake wake);

    void startTicks(TimerId id, int intervalMs) override;
    void stopTicks(TimerId id) override;
    std::uint32_t utcTimeOfDayMs() const override { return timeOfDay_(); }

    // Delivers every tick due by now, each timer at most once, earliest
    // first (equal times in the order they were scheduled).
    void run();

    void pause();
    void resume();
    bool paused() const { return pausedAt_.has_value(); }

    // The console's time: the page's, less the time spent paused.
    double consoleNow() const;
    // Console time of the next tick, if any timer is running.
    std::optional<double> nextDue() const;
    // While a tick is delivered: the console time it was due at.
    std::optional<double> dueOfTickInHand() const { return inHand_; }

private:
    void askToWake();

    Now now_;
    TimeOfDay timeOfDay_;
    Wake wake_;
    TimerSchedule schedule_;
    double pausedTotal_ = 0;
    std::optional<double> pausedAt_;
    bool running_ = false;  // inside run(): wake once at its end
    std::optional<double> inHand_;
};

}  // namespace vorlak
