#include "game/timers.h"

#include "game/gears.h"

#include <cmath>
#include <stdexcept>

namespace vorlak {
namespace {

struct TimerInfo {
    std::string_view name;
    int intervalAtStart;
};

constexpr TimerInfo kTimers[TimerCount] = {
    {"Timer_Pista", gear(1).pistaMs}, {"Timer_MusicaAvvio", 4125}, {"Timer_Semaforo1", 882},
    {"Timer_Semaforo2", 1200},  {"Timer_Semaforo3", 1400},    {"Timer_Avversari", gear(1).avversariMs},
    {"Timer_MusicaErrore", 500}, {"Timer_Lampeggio1", 500},   {"Timer_Lampeggio2", 500},
    {"Timer_Lampeggio3", 500},  {"Timer_MusicaFine", 4000},   {"Timer_ChiaveOn", 1},
    {"Timer_ChiaveOff", 4000},  {"Timer_MusicaLivello", 4500}, {"Timer_Continue", 10000},
    {"Timer_Benzina", 50000},   {"Timer_PompaOn", 1},         {"Timer_PompaOff", 4000},
    {"Timer_LampeggioBenzina", 1000},  // built without an interval: the default 1000 ms
};

constexpr std::int64_t kMsPerDay = 24LL * 60 * 60 * 1000;

constexpr std::string_view kInputTimerNames[ClockTimerCount - TimerCount] = {
    "Input_ReleaseHold", "Input_ControlRepeat", "Input_PadRepeat"};

}  // namespace

std::string_view timerName(TimerId id) {
    return isGameTimer(id) ? kTimers[id].name : kInputTimerNames[id - TimerCount];
}

std::optional<TimerId> timerByName(std::string_view name) {
    for (int i = 0; i < TimerCount; ++i)
        if (kTimers[i].name == name) return static_cast<TimerId>(i);
    return std::nullopt;
}

GameTimers::GameTimers(Clock& clock) : clock_(clock) {
    for (int i = 0; i < TimerCount; ++i) interval_[i] = kTimers[i].intervalAtStart;
}

void GameTimers::setEnabled(TimerId id, bool on) {
    if (enabled_[id] == on) return;  // an enabled timer keeps its count
    enabled_[id] = on;
    if (on)
        clock_.startTicks(id, interval_[id]);
    else
        clock_.stopTicks(id);
}

void GameTimers::setInterval(TimerId id, int ms) {
    if (ms < 1) ms = 1;
    if (interval_[id] == ms) return;
    interval_[id] = ms;
    if (enabled_[id]) clock_.startTicks(id, ms);  // restart the countdown
}

void Clock::setTickHandler(TickHandler handler) {
    if (tick_ && handler) throw std::logic_error("the clock already has a tick handler");
    tick_ = std::move(handler);
}

void ManualClock::setUtcTimeOfDay(std::uint32_t ms) {
    timeOfDayAtZero_ = ((static_cast<std::int64_t>(ms) - now_) % kMsPerDay + kMsPerDay) % kMsPerDay;
}

std::uint32_t ManualClock::utcTimeOfDayMs() const {
    return static_cast<std::uint32_t>((timeOfDayAtZero_ + now_) % kMsPerDay);
}

void TimerSchedule::start(TimerId id, double now, int intervalMs) {
    Timer& t = timers_[id];
    t.running = true;
    t.interval = intervalMs < 1 ? 1 : intervalMs;
    t.due = now + t.interval;
    t.order = nextOrder_++;
}

std::optional<double> TimerSchedule::nextDue() const {
    std::optional<double> next;
    for (const Timer& t : timers_)
        if (t.running && (!next || t.due < *next)) next = t.due;
    return next;
}

std::optional<TimerId> TimerSchedule::take(double now, double* due) {
    int best = -1;
    for (int i = 0; i < ClockTimerCount; ++i) {
        const Timer& t = timers_[i];
        if (!t.running || t.due > now) continue;
        if (best < 0 || t.due < timers_[best].due || (t.due == timers_[best].due && t.order < timers_[best].order))
            best = i;
    }
    if (best < 0) return std::nullopt;
    Timer& t = timers_[best];
    if (due) *due = t.due;
    t.due += t.interval * (std::floor((now - t.due) / t.interval) + 1);
    t.order = nextOrder_++;
    return static_cast<TimerId>(best);
}

void ManualClock::startTicks(TimerId id, int intervalMs) { schedule_.start(id, static_cast<double>(now_), intervalMs); }

void ManualClock::stopTicks(TimerId id) { schedule_.stop(id); }

std::optional<std::int64_t> ManualClock::nextDue() const {
    const auto next = schedule_.nextDue();
    if (!next) return std::nullopt;
    return static_cast<std::int64_t>(*next);
}

void ManualClock::advance(std::int64_t ms) { advanceTo(now_ + ms); }

// Every tick is delivered at its own time, as virtual time passes it.
void ManualClock::advanceTo(std::int64_t time) {
    for (;;) {
        const auto next = schedule_.nextDue();
        if (!next || *next > static_cast<double>(time)) break;
        now_ = static_cast<std::int64_t>(*next);
        deliverTick(*schedule_.take(*next));
    }
    if (time > now_) now_ = time;
}

}  // namespace vorlak
