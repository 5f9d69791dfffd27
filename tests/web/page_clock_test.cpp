// The page's clock: the timer rules on a page that wakes it late, and the
// pause while the page is hidden.
#include <gtest/gtest.h>

#include <vector>

#include "frontends/web/page_clock.h"

using namespace vorlak;

namespace {

struct Rig {
    double now = 1000;  // the page's clock does not start at 0
    std::optional<double> wakeIn;
    std::vector<std::pair<TimerId, double>> ticks;  // with the console time they came at
    PageClock clock{[this] { return now; }, [] { return 123u; }, [this](std::optional<double> d) { wakeIn = d; }};
    Rig() {
        clock.setTickHandler([this](TimerId id) { ticks.emplace_back(id, clock.consoleNow()); });
    }
    // The page wakes the clock `late` ms after it asked, as often as asked, until `until`.
    void runUntil(double until, double late = 0) {
        while (wakeIn && now + *wakeIn + late <= until) {
            now += *wakeIn + late;
            clock.run();
        }
        now = until;
    }
    std::vector<double> timesOf(TimerId id) const {
        std::vector<double> at;
        for (const auto& [t, when] : ticks)
            if (t == id) at.push_back(when - 1000);
        return at;
    }
};

}  // namespace

TEST(PageClock, TicksComeOneIntervalAfterTheStartAndThenPeriodically) {
    Rig r;
    r.clock.startTicks(Timer_Pista, 380);
    EXPECT_EQ(r.wakeIn, 380);
    r.runUntil(1000 + 1200);
    EXPECT_EQ(r.timesOf(Timer_Pista), (std::vector<double>{380, 760, 1140}));
    // A fresh start begins a fresh interval; a stopped timer asks for no wake.
    r.clock.startTicks(Timer_Pista, 380);  // at 1200, between two ticks
    r.runUntil(1000 + 1600);
    EXPECT_EQ(r.timesOf(Timer_Pista).back(), 1580);
    r.clock.stopTicks(Timer_Pista);
    EXPECT_FALSE(r.wakeIn);
    EXPECT_EQ(r.clock.utcTimeOfDayMs(), 123u);
}

TEST(PageClock, ALateWakeDeliversOneTickAndKeepsTheBeat) {
    Rig r;
    r.clock.startTicks(Timer_Avversari, 600);
    r.clock.startTicks(Timer_Pista, 380);
    r.now += 2000;  // the page was busy for two seconds
    r.clock.run();
    ASSERT_EQ(r.ticks.size(), 2u);  // one each, not a burst of the missed ones
    EXPECT_EQ(r.ticks[0].first, Timer_Pista);  // the earlier due first
    EXPECT_EQ(r.clock.nextDue(), 1000 + 2280);  // 380 x 6: still on its beat
    r.runUntil(1000 + 2500);
    EXPECT_EQ(r.timesOf(Timer_Avversari), (std::vector<double>{2000, 2400}));
}

TEST(PageClock, AOneMillisecondTimerAsksToBeWokenAtOnceAndAHandlerMayRestartTimers) {
    Rig r;
    r.clock.setTickHandler(nullptr);
    r.clock.setTickHandler([&r](TimerId id) {
        r.ticks.emplace_back(id, r.clock.consoleNow());
        if (id == Timer_PompaOn) {
            r.clock.stopTicks(Timer_PompaOn);
            r.clock.startTicks(Timer_PompaOff, 4000);
        }
    });
    r.clock.startTicks(Timer_PompaOn, 1);
    EXPECT_EQ(r.wakeIn, 1);
    r.runUntil(1000 + 5000, 0.3);
    EXPECT_EQ(r.timesOf(Timer_PompaOn).size(), 1u);
    ASSERT_EQ(r.timesOf(Timer_PompaOff).size(), 1u);
    EXPECT_NEAR(r.timesOf(Timer_PompaOff)[0], 1.3 + 4000, 0.31);
}

TEST(PageClock, APauseStopsTheConsolesTimeAndTheTimersGoOnWithWhatWasLeft) {
    Rig r;
    r.clock.startTicks(Timer_MusicaAvvio, 4125);
    r.runUntil(1000 + 1000);
    r.clock.pause();
    EXPECT_FALSE(r.wakeIn);
    r.now += 60000;  // hidden for a minute: no tick, and none owed afterwards
    r.clock.run();
    EXPECT_TRUE(r.ticks.empty());
    EXPECT_EQ(r.clock.consoleNow(), 2000);
    r.clock.resume();
    EXPECT_EQ(r.wakeIn, 3125);
    r.runUntil(r.now + 3125);
    EXPECT_EQ(r.timesOf(Timer_MusicaAvvio), (std::vector<double>{4125}));
}

TEST(PageClock, TheKeyInputsTimersTickBesideTheGameTimersAndATickKnowsWhenItWasDue) {
    Rig r;
    std::vector<double> due;
    r.clock.setTickHandler(nullptr);
    r.clock.setTickHandler([&](TimerId id) {
        r.ticks.emplace_back(id, r.clock.consoleNow());
        due.push_back(*r.clock.dueOfTickInHand() - 1000);
    });
    r.clock.startTicks(Input_PadRepeat, 500);
    r.clock.startTicks(Input_ControlRepeat, 33);
    r.runUntil(1000 + 520, 4);
    EXPECT_EQ(r.timesOf(Input_PadRepeat).size(), 1u);
    EXPECT_EQ(r.timesOf(Input_ControlRepeat).size(), 15u);  // woken 4 ms late each time, still on the 33 ms beat
    EXPECT_EQ(due.front(), 33);
    EXPECT_EQ(r.timesOf(Input_ControlRepeat).front(), 37);
    EXPECT_FALSE(r.clock.dueOfTickInHand());
}
