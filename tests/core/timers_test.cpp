// Game timer rules under virtual time: when ticks come, and what enabling,
// disabling and changing the interval do to a running countdown.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <vector>

#include "game/timers.h"

using namespace vorlak;

namespace {

struct Tick {
    TimerId id;
    std::int64_t at;
    bool operator==(const Tick&) const = default;
};

struct Recorder {
    ManualClock clock;
    GameTimers timers{clock};
    std::vector<Tick> ticks;
    std::function<void(TimerId)> alsoOnTick;
    Recorder() {
        clock.setTickHandler([this](TimerId id) {
            ticks.push_back({id, clock.now()});
            if (alsoOnTick) alsoOnTick(id);
        });
    }
    std::vector<std::int64_t> timesOf(TimerId id) const {
        std::vector<std::int64_t> out;
        for (const Tick& t : ticks)
            if (t.id == id) out.push_back(t.at);
        return out;
    }
};

}  // namespace

TEST(GameTimers, NineteenStartStoppedWithTheirBuiltInIntervals) {
    Recorder r;
    ASSERT_EQ(TimerCount, 19);
    // Intervals as the console's documentation gives them: the first and the
    // last timer, the start sequence, the two 1 ms timers, the longest, and the
    // blink that has no interval of its own.
    const std::pair<const char*, int> spotChecks[] = {
        {"Timer_Pista", 380},     {"Timer_MusicaAvvio", 4125}, {"Timer_Semaforo1", 882},
        {"Timer_Avversari", 600}, {"Timer_ChiaveOn", 1},       {"Timer_PompaOn", 1},
        {"Timer_Continue", 10000}, {"Timer_Benzina", 50000},   {"Timer_LampeggioBenzina", 1000},
    };
    for (auto [name, ms] : spotChecks) {
        const auto id = timerByName(name);
        ASSERT_TRUE(id) << name;
        EXPECT_EQ(r.timers.interval(*id), ms) << name;
    }
    for (int i = 0; i < TimerCount; ++i) {
        const auto id = static_cast<TimerId>(i);
        EXPECT_FALSE(r.timers.enabled(id)) << timerName(id);
        EXPECT_EQ(timerByName(timerName(id)), id);  // scripts name timers
    }
    r.clock.advance(100000);
    EXPECT_TRUE(r.ticks.empty());
}

TEST(GameTimers, FirstTickOneIntervalAfterStartThenPeriodic) {
    Recorder r;
    r.clock.advance(123);
    r.timers.enable(Timer_Pista);
    r.clock.advance(380 * 3);
    EXPECT_EQ(r.timesOf(Timer_Pista), (std::vector<std::int64_t>{503, 883, 1263}));
}

TEST(GameTimers, EnablingTwiceKeepsTheCount) {
    Recorder r;
    r.timers.enable(Timer_Avversari);
    r.clock.advance(400);
    r.timers.enable(Timer_Avversari);
    r.clock.advance(300);
    EXPECT_EQ(r.timesOf(Timer_Avversari), (std::vector<std::int64_t>{600}));
}

TEST(GameTimers, StopAndStartBeginsAFreshInterval) {
    Recorder r;
    r.timers.enable(Timer_Avversari);
    r.clock.advance(400);
    r.timers.disable(Timer_Avversari);
    r.timers.disable(Timer_Avversari);  // disabling a stopped timer changes nothing
    r.timers.enable(Timer_Avversari);
    r.clock.advance(1000);
    EXPECT_EQ(r.timesOf(Timer_Avversari), (std::vector<std::int64_t>{1000}));
}

TEST(GameTimers, NewIntervalRestartsARunningCountdownSameIntervalDoesNot) {
    Recorder r;
    r.timers.enable(Timer_Avversari);
    r.clock.advance(500);
    r.timers.setInterval(Timer_Avversari, 600);  // unchanged: still due at 600
    r.clock.advance(150);
    EXPECT_EQ(r.timesOf(Timer_Avversari), (std::vector<std::int64_t>{600}));
    r.timers.setInterval(Timer_Avversari, 450);  // at 650: next tick at 1100
    r.clock.advance(1000);
    EXPECT_EQ(r.timesOf(Timer_Avversari), (std::vector<std::int64_t>{600, 1100, 1550}));
}

TEST(GameTimers, IntervalOfAStoppedTimerIsOnlyStored) {
    Recorder r;
    r.timers.setInterval(Timer_PompaOn, 12000);
    r.clock.advance(20000);
    EXPECT_TRUE(r.ticks.empty());
    r.timers.enable(Timer_PompaOn);
    r.clock.advance(12000);
    EXPECT_EQ(r.timesOf(Timer_PompaOn), (std::vector<std::int64_t>{32000}));
}

TEST(GameTimers, OneMillisecondTimerFiresAtOnce) {
    Recorder r;
    r.timers.enable(Timer_ChiaveOn);
    r.clock.advance(3);
    EXPECT_EQ(r.timesOf(Timer_ChiaveOn), (std::vector<std::int64_t>{1, 2, 3}));
}

TEST(GameTimers, HandlersSeeEachOthersChangesInTimeOrder) {
    // A handler that stops another timer due at the same instant prevents its tick;
    // equal due times fire in the order the timers were started.
    Recorder r;
    r.alsoOnTick = [&](TimerId id) {
        if (id == Timer_Semaforo1) r.timers.disable(Timer_Semaforo2);
    };
    r.timers.setInterval(Timer_Semaforo1, 100);
    r.timers.setInterval(Timer_Semaforo2, 100);
    r.timers.setInterval(Timer_Semaforo3, 100);
    r.timers.enable(Timer_Semaforo3);
    r.timers.enable(Timer_Semaforo1);
    r.timers.enable(Timer_Semaforo2);
    r.clock.advance(100);
    EXPECT_EQ(r.ticks, (std::vector<Tick>{{Timer_Semaforo3, 100}, {Timer_Semaforo1, 100}}));
}

TEST(ManualClock, TimeOfDayFollowsVirtualTimeAndWrapsAtMidnight) {
    ManualClock clock;
    clock.advance(5000);
    clock.setUtcTimeOfDay(86399000);  // 23:59:59.000
    EXPECT_EQ(clock.utcTimeOfDayMs(), 86399000u);
    clock.advance(1500);
    EXPECT_EQ(clock.utcTimeOfDayMs(), 500u);
}

TEST(Clock, KeepsTheTickHandlerItWasGivenFirst) {
    Recorder r;
    EXPECT_THROW(r.clock.setTickHandler([](TimerId) {}), std::logic_error);
    r.timers.setInterval(Timer_Pista, 100);
    r.timers.enable(Timer_Pista);
    r.clock.advance(100);
    EXPECT_EQ(r.timesOf(Timer_Pista), std::vector<std::int64_t>{100});
}

// A real clock that wakes late takes one tick and keeps the timer's beat.
TEST(TimerSchedule, ALateTickIsTakenOnceAndTheBeatKept) {
    TimerSchedule schedule;
    schedule.start(Timer_Pista, 0, 10);
    schedule.start(Timer_Avversari, 0, 10);  // due at the same time: in scheduling order
    double due = 0;
    EXPECT_EQ(schedule.take(35, &due), Timer_Pista);
    EXPECT_EQ(due, 10);
    EXPECT_EQ(schedule.take(35), Timer_Avversari);
    EXPECT_FALSE(schedule.take(35));
    EXPECT_EQ(schedule.nextDue(), 40);
    schedule.stop(Timer_Pista);
    schedule.start(Timer_Avversari, 36, 0);  // below 1 ms: as soon as possible
    EXPECT_EQ(schedule.nextDue(), 37);
}
