// The game timers on the Windows message loop: ticks come periodically and in
// due order, a restart begins a fresh interval, a late loop gets one tick and
// not a burst, and ticks go on inside a modal loop (a drag, a menu).
#include <gtest/gtest.h>

#include <vector>

#include "frontends/win32/clock/win32_clock.h"

namespace vorlak {
namespace {

struct Tick {
    TimerId id;
    std::int64_t atUs;
};

struct ClockRig {
    Win32Clock clock;
    std::vector<Tick> ticks;
    std::int64_t startUs = clock.nowMicroseconds();

    ClockRig() {
        clock.setTickHandler([this](TimerId id) {
            if (id == Timer_Continue) {  // the end of the run
                clock.stopTicks(Timer_Continue);
                PostQuitMessage(0);
                return;
            }
            ticks.push_back({id, clock.nowMicroseconds() - startUs});
        });
    }
    void runForMs(int ms) {
        clock.startTicks(Timer_Continue, ms);
        runMessageLoop(clock);
    }
    std::vector<std::int64_t> timesOf(TimerId id) const {
        std::vector<std::int64_t> times;
        for (const Tick& t : ticks)
            if (t.id == id) times.push_back(t.atUs);
        return times;
    }
};

TEST(Win32Clock, TicksArePeriodicFromTheStartInDueOrderAndStopWhenStopped) {
    ClockRig rig;
    rig.clock.startTicks(Timer_Pista, 30);
    rig.clock.startTicks(Timer_Avversari, 50);
    rig.runForMs(325);
    const auto pista = rig.timesOf(Timer_Pista);
    const auto avversari = rig.timesOf(Timer_Avversari);
    ASSERT_GE(pista.size(), 9u);
    ASSERT_LE(pista.size(), 10u);
    ASSERT_GE(avversari.size(), 5u);
    ASSERT_LE(avversari.size(), 6u);
    // Never early, and on the schedule of the start, not drifting with lateness.
    for (std::size_t k = 0; k < pista.size(); ++k) {
        EXPECT_GE(pista[k], 30'000 * std::int64_t(k + 1) - 1000) << "tick " << k;
        EXPECT_LT(pista[k], 30'000 * std::int64_t(k + 1) + 15'000) << "tick " << k;
    }
    // In the order they fell due.
    std::int64_t last = 0;
    for (const Tick& t : rig.ticks) {
        EXPECT_GE(t.atUs, last);
        last = t.atUs;
    }

    rig.ticks.clear();
    rig.clock.stopTicks(Timer_Pista);
    rig.clock.stopTicks(Timer_Avversari);
    rig.runForMs(80);
    EXPECT_TRUE(rig.ticks.empty());
    EXPECT_FALSE(rig.clock.microsecondsToNextTick().has_value());
}

TEST(Win32Clock, StartingATickingTimerAgainBeginsAFreshInterval) {
    ClockRig rig;
    rig.clock.startTicks(Timer_Pista, 100);
    rig.clock.setTickHandler(nullptr);
    Sleep(60);
    rig.startUs = rig.clock.nowMicroseconds();
    rig.clock.setTickHandler([&](TimerId id) {
        if (id == Timer_Continue) {
            rig.clock.stopTicks(Timer_Continue);
            PostQuitMessage(0);
        } else {
            rig.ticks.push_back({id, rig.clock.nowMicroseconds() - rig.startUs});
        }
    });
    rig.clock.startTicks(Timer_Pista, 100);  // 60 ms into the first interval
    rig.runForMs(150);
    const auto times = rig.timesOf(Timer_Pista);
    ASSERT_EQ(times.size(), 1u);
    EXPECT_GE(times[0], 99'000);
}

TEST(Win32Clock, ALateLoopGetsOneTickNotABurst) {
    ClockRig rig;
    rig.clock.startTicks(Timer_Pista, 10);
    Sleep(105);  // ten intervals with no loop running
    EXPECT_EQ(rig.clock.microsecondsToNextTick(), std::optional<std::int64_t>(0));
    ASSERT_TRUE(rig.clock.deliverDueTick());
    EXPECT_FALSE(rig.clock.deliverDueTick());
    // The next tick keeps the timer's beat: within one interval, not now.
    const auto next = rig.clock.microsecondsToNextTick();
    ASSERT_TRUE(next);
    EXPECT_GT(*next, 0);
    EXPECT_LE(*next, 10'000);
}

TEST(Win32Clock, TicksGoOnWhileAModalLoopRunsItsOwnMessages) {
    ClockRig rig;
    rig.clock.startTicks(Timer_Pista, 20);
    // A modal loop as a drag or a menu runs it: GetMessage and dispatch,
    // never waiting on the clock's timer.
    const DWORD until = GetTickCount() + 300;
    const UINT_PTR end = SetTimer(nullptr, 0, 300, nullptr);
    MSG message;
    while (GetTickCount() < until && GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    KillTimer(nullptr, end);
    const auto times = rig.timesOf(Timer_Pista);
    EXPECT_GE(times.size(), 8u);  // about 15 ticks, each at most a timer step late
    EXPECT_LE(times.size(), 15u);
}

TEST(Win32Clock, TimeOfDayIsTheSystemsUtcTime) {
    Win32Clock clock;
    SYSTEMTIME t;
    GetSystemTime(&t);
    const std::int64_t expected = ((t.wHour * 60 + t.wMinute) * 60 + t.wSecond) * 1000 + t.wMilliseconds;
    const std::int64_t got = clock.utcTimeOfDayMs();
    const std::int64_t day = 24LL * 3600 * 1000;
    const std::int64_t apart = (got - expected + day) % day;
    EXPECT_TRUE(apart < 1000 || apart > day - 1000) << got << " vs " << expected;
}

}  // namespace
}  // namespace vorlak
