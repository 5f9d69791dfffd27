// The nineteen game timers and the clock that drives them.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

namespace vorlak {

// The nineteen game timers, then the timers of the console's key input,
// which run on the same clock but are no game timers.
enum TimerId : std::uint8_t {
    Timer_Pista, Timer_MusicaAvvio, Timer_Semaforo1, Timer_Semaforo2, Timer_Semaforo3,
    Timer_Avversari, Timer_MusicaErrore, Timer_Lampeggio1, Timer_Lampeggio2, Timer_Lampeggio3,
    Timer_MusicaFine, Timer_ChiaveOn, Timer_ChiaveOff, Timer_MusicaLivello, Timer_Continue,
    Timer_Benzina, Timer_PompaOn, Timer_PompaOff, Timer_LampeggioBenzina,
    TimerCount,
    Input_ReleaseHold = TimerCount,  // a held-back key release
    Input_ControlRepeat,             // CTRL repeated by the console itself
    Input_PadRepeat,                 // the held pad control's repeat
    ClockTimerCount
};

constexpr bool isGameTimer(TimerId id) { return id < TimerCount; }
std::string_view timerName(TimerId id);
std::optional<TimerId> timerByName(std::string_view name);  // game timers only

// Time as the game sees it: periodic ticks for the game timers (and the key
// input's), and the UTC time of day that the random draws are seeded from.
class Clock {
public:
    using TickHandler = std::function<void(TimerId)>;
    virtual ~Clock() = default;

    // Begin ticking every intervalMs, the first tick one full interval from now.
    // Calling it on a ticking timer starts a fresh interval.
    virtual void startTicks(TimerId id, int intervalMs) = 0;
    virtual void stopTicks(TimerId id) = 0;
    // UTC time of day in milliseconds: ((h * 60 + m) * 60 + s) * 1000 + ms.
    virtual std::uint32_t utcTimeOfDayMs() const = 0;

    // Who handles the ticks: installed once, by the clock's owner; a second
    // handler is refused (std::logic_error) rather than silently replacing it.
    void setTickHandler(TickHandler handler);

protected:
    void deliverTick(TimerId id) {
        if (tick_) tick_(id);
    }

private:
    TickHandler tick_;
};

// The game timers' enabled flags and intervals, with the rules the game relies
// on: enabling an enabled timer, disabling a stopped one or setting the interval
// it already has changes nothing; stopping and starting begins a fresh interval;
// a different interval restarts a running timer's countdown.
class GameTimers {
public:
    explicit GameTimers(Clock& clock);

    bool enabled(TimerId id) const { return enabled_[id]; }
    int interval(TimerId id) const { return interval_[id]; }
    void setEnabled(TimerId id, bool on);
    void enable(TimerId id) { setEnabled(id, true); }
    void disable(TimerId id) { setEnabled(id, false); }
    void setInterval(TimerId id, int ms);

private:
    Clock& clock_;
    std::array<bool, TimerCount> enabled_{};
    std::array<int, TimerCount> interval_{};
};

// When each of a clock's timers is due, in the clock's own milliseconds:
// shared by every clock, virtual or real. Ticks are periodic from the start,
// the first one full interval after it; the earliest due goes first, equal
// times in the order they were scheduled. A tick taken late keeps the timer's
// beat: the ticks missed meanwhile are dropped, not replayed in a burst.
class TimerSchedule {
public:
    void start(TimerId id, double now, int intervalMs);  // intervals below 1 ms count as 1
    void stop(TimerId id) { timers_[id].running = false; }
    bool running(TimerId id) const { return timers_[id].running; }
    // Time of the next tick, if any timer is running.
    std::optional<double> nextDue() const;
    // The earliest tick due by `now`, if any: its timer is moved on to its
    // first beat after `now`. `due` receives the time it was due.
    std::optional<TimerId> take(double now, double* due = nullptr);

private:
    struct Timer {
        bool running = false;
        double interval = 0;
        double due = 0;
        std::uint64_t order = 0;  // ties fire in scheduling order
    };
    std::array<Timer, ClockTimerCount> timers_{};
    std::uint64_t nextOrder_ = 0;
};

// A clock for tests and tools: virtual time that moves only when told, firing
// every due tick in order (earliest first; equal times in the order they were
// scheduled).
class ManualClock : public Clock {
public:
    std::int64_t now() const { return now_; }
    void setUtcTimeOfDay(std::uint32_t ms);  // the time of day at the current instant

    void startTicks(TimerId id, int intervalMs) override;
    void stopTicks(TimerId id) override;
    std::uint32_t utcTimeOfDayMs() const override;

    // Run every tick due up to and including now() + ms, then stand at that time.
    void advance(std::int64_t ms);
    void advanceTo(std::int64_t time);
    // Time of the next tick, if any timer is running.
    std::optional<std::int64_t> nextDue() const;

private:
    TimerSchedule schedule_;
    std::int64_t now_ = 0;
    std::int64_t timeOfDayAtZero_ = 0;
};

}  // namespace vorlak
