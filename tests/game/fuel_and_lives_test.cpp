// Fuel, the roadside service stops, crashes and lives.
#include "tests/game/game_rig.h"

using namespace vorlak;
using namespace vorlak::testing;

namespace {

// Puts an opponent next to the rider and runs to the opponent step that hits it.
std::int64_t crash(Rig& r) {
    r.c.panel().show(opponentGridCell(1, r.c.state().Corsia));
    const auto giveUp = r.now() + 1000;  // an opponent step comes within 600 ms
    while (!r.c.timers().enabled(Timer_MusicaErrore) && r.now() < giveUp) r.advance(1);
    EXPECT_TRUE(r.c.timers().enabled(Timer_MusicaErrore)) << "no crash";
    return r.now();
}

// A crash and its whole blink.
std::int64_t crashAndBlink(Rig& r) {
    const auto t = crash(r);
    r.advanceTo(t + 2000);
    return t;
}

std::vector<bool> livesShown(const Rig& r) {
    return {r.shown(Im_Errori1), r.shown(Im_Errori2), r.shown(Im_Errori3), r.shown(Im_Errori4)};
}

}  // namespace

TEST(Fuel, OneUnitPerFiftySecondsOfRacingWithTheGaugeAndTheLowBlink) {
    Rig r;
    const auto t0 = r.startRace();
    r.c.set(&ConsoleState::Traguardo, 1000000);  // the level must not end
    r.run("autopilot on 1 nocollect");
    r.advanceTo(t0 + 49999);
    EXPECT_EQ(r.c.state().Livello_Benzina, 3);
    EXPECT_FALSE(r.c.timers().enabled(Timer_PompaOn));  // no service stop before the first fuel step
    const auto wait = (r.drawAt(t0 + 50000, 26) + 10) * 1000;
    r.advanceTo(t0 + 50000);
    EXPECT_EQ(r.c.state().Livello_Benzina, 2);
    EXPECT_TRUE(r.shown(Im_Fuel2));
    EXPECT_FALSE(r.shown(Im_Fuel3));
    ASSERT_TRUE(r.c.timers().enabled(Timer_PompaOn));
    EXPECT_EQ(r.c.timers().interval(Timer_PompaOn), static_cast<int>(wait));

    r.advanceTo(t0 + 100000);
    EXPECT_EQ(r.c.state().Livello_Benzina, 1);
    EXPECT_TRUE(r.shown(Im_Fuel1));
    EXPECT_FALSE(r.shown(Im_Fuel2));
    EXPECT_TRUE(r.c.timers().enabled(Timer_LampeggioBenzina));
    r.advanceTo(t0 + 101000);
    EXPECT_FALSE(r.shown(Im_Fuel1));
    r.advanceTo(t0 + 102000);
    EXPECT_TRUE(r.shown(Im_Fuel1));
}

TEST(Fuel, ACrashPostponesTheNextFuelStepToFiftySecondsAfterTheRestart) {
    Rig r;
    const auto t0 = r.startRace();
    r.c.set(&ConsoleState::Traguardo, 1000000);
    r.run("autopilot on 1 nocollect");
    r.advanceTo(t0 + 49000);
    r.run("autopilot off");
    const auto hit = crashAndBlink(r);
    r.run("autopilot on 1 nocollect");
    r.advanceTo(hit + 2000 + 49999);
    EXPECT_EQ(r.c.state().Livello_Benzina, 3);
    r.advanceTo(hit + 2000 + 50000);
    EXPECT_EQ(r.c.state().Livello_Benzina, 2);
}

TEST(Fuel, LowFuelKeepsBlinkingThroughACrashAndTheResumedRace) {
    Rig r;
    r.startRace();
    r.c.set(&ConsoleState::Livello_Benzina, 2);
    r.advanceTo(r.now());
    r.c.onTimer(Timer_Benzina);  // down to 1
    ASSERT_TRUE(r.c.timers().enabled(Timer_LampeggioBenzina));
    const auto hit = crash(r);
    r.run("clear-road on");
    std::vector<bool> seen;
    for (int s = 1; s <= 6; ++s) {
        r.advanceTo(hit + s * 1000);
        seen.push_back(r.shown(Im_Fuel1));
    }
    EXPECT_TRUE(r.c.timers().enabled(Timer_LampeggioBenzina));
    EXPECT_TRUE(r.c.timers().enabled(Timer_Pista));
    for (std::size_t i = 1; i < seen.size(); ++i) EXPECT_NE(seen[i], seen[i - 1]) << i;
}

TEST(Fuel, RunningOutStopsEverythingAndLeavesTheSceneCollectable) {
    // Look for a game in which a pump is shown at the moment the fuel runs out.
    for (std::uint32_t offset = 0; offset < 400; ++offset) {
        Rig r;
        const auto t0 = r.startRace();
        r.clock().setUtcTimeOfDay(kNoon + offset * 7919);
        r.c.set(&ConsoleState::Traguardo, 1000000);
        r.run("autopilot on 1 nocollect");
        r.advanceTo(t0 + 150000 - 1);
        const bool pumpLeft = r.shown(Im_Pompa1);
        if (!pumpLeft && !r.shown(Im_Pompa2)) continue;
        const auto grid = scenario::gridText(r.panel());
        r.run("autopilot off");
        r.mark();
        r.advanceTo(t0 + 150000);

        EXPECT_EQ(r.c.state().Livello_Benzina, 0);
        for (int t = 0; t < TimerCount; ++t) {
            if (t == Timer_MusicaFine) continue;
            EXPECT_FALSE(r.c.timers().enabled(static_cast<TimerId>(t))) << t;
        }
        EXPECT_EQ(r.sounds(), (Sounds{"stop all", "tone off", "play GameOver.wav"}));
        EXPECT_EQ(scenario::gridText(r.panel()), grid);
        EXPECT_TRUE(r.shown(pumpLeft ? Im_Pompa1 : Im_Pompa2));
        EXPECT_EQ(scenario::riderText(r.panel()), std::to_string(r.c.state().Corsia));

        // Lane 2 collects nothing; the matching lane does, even with no race.
        r.c.set(&ConsoleState::Corsia, 2);
        r.tap(kKeyControl);
        EXPECT_EQ(r.c.state().Livello_Benzina, 0);
        r.c.set(&ConsoleState::Corsia, pumpLeft ? 1 : 3);
        r.mark();
        r.tap(kKeyControl);
        EXPECT_EQ(r.c.state().Livello_Benzina, 1);
        EXPECT_EQ(r.sounds(), Sounds{"play Srvc2.wav"});
        EXPECT_FALSE(r.shown(Im_Pompa1) || r.shown(Im_Pompa2));
        // Still the game-over tune, then the continue offer.
        r.advanceTo(t0 + 154000);
        EXPECT_TRUE(r.c.state().Attesa_Continue);
        return;
    }
    FAIL() << "no game had a pump shown when the fuel ran out";
}

TEST(ServiceStops, ACrashStartsTheSpannerCycleWithItsWaitSideAndHide) {
    Rig r;
    r.startRace();
    const auto hit = crash(r);
    const auto restart = hit + 2000;
    const auto wait = (r.drawAt(restart, 36) + 10) * 1000;
    r.advanceTo(restart);
    EXPECT_EQ(r.c.state().Vite, 3);
    ASSERT_TRUE(r.c.timers().enabled(Timer_ChiaveOn));
    EXPECT_EQ(r.c.timers().interval(Timer_ChiaveOn), static_cast<int>(wait));
    EXPECT_FALSE(r.c.timers().enabled(Timer_PompaOn));  // the tank is full

    r.run("clear-road on");
    const auto showAt = restart + static_cast<std::int64_t>(wait);
    const bool left = r.drawAt(showAt, 2) == 0;
    const auto nextWait = (r.drawAt(showAt + 4000, 36) + 10) * 1000;
    r.c.set(&ConsoleState::Livello_Benzina, 1000);
    r.advanceTo(showAt - 1);
    EXPECT_FALSE(r.shown(Im_Chiave1) || r.shown(Im_Chiave2));
    r.mark();
    r.advanceTo(showAt);
    EXPECT_EQ(r.shown(Im_Chiave1), left);
    EXPECT_EQ(r.shown(Im_Chiave2), !left);
    EXPECT_FALSE(r.shown(Im_Pompa1) || r.shown(Im_Pompa2));
    EXPECT_EQ(r.soundsAt(showAt), Sounds{"play Srvc1.wav"});
    EXPECT_TRUE(r.c.timers().enabled(Timer_ChiaveOff));
    EXPECT_FALSE(r.c.timers().enabled(Timer_ChiaveOn));
    r.advanceTo(showAt + 3999);
    EXPECT_TRUE(r.shown(Im_Chiave1) || r.shown(Im_Chiave2));
    r.advanceTo(showAt + 4000);
    EXPECT_FALSE(r.shown(Im_Chiave1) || r.shown(Im_Chiave2));
    EXPECT_TRUE(r.c.timers().enabled(Timer_ChiaveOn));
    EXPECT_EQ(r.c.timers().interval(Timer_ChiaveOn), static_cast<int>(nextWait));
}

TEST(ServiceStops, TheFirstFuelStepStartsThePumpCycleWithItsSideAndNextWait) {
    Rig r;
    const auto t0 = r.startRace();
    r.c.set(&ConsoleState::Traguardo, 1000000);
    r.run("clear-road on");
    const auto step = t0 + 50000;
    const auto showAt = step + static_cast<std::int64_t>((r.drawAt(step, 26) + 10) * 1000);
    const bool left = r.drawAt(showAt, 2) == 0;
    const auto nextWait = (r.drawAt(showAt + 4000, 26) + 10) * 1000;
    r.advanceTo(showAt - 1);
    EXPECT_FALSE(r.shown(Im_Pompa1) || r.shown(Im_Pompa2));
    r.advanceTo(showAt);
    EXPECT_EQ(r.shown(Im_Pompa1), left);
    EXPECT_EQ(r.shown(Im_Pompa2), !left);
    EXPECT_FALSE(r.shown(Im_Chiave1) || r.shown(Im_Chiave2));
    EXPECT_EQ(r.soundsAt(showAt), Sounds{"play Srvc1.wav"});
    r.advanceTo(showAt + 4000);
    EXPECT_FALSE(r.shown(Im_Pompa1) || r.shown(Im_Pompa2));
    ASSERT_TRUE(r.c.timers().enabled(Timer_PompaOn));
    EXPECT_EQ(r.c.timers().interval(Timer_PompaOn), static_cast<int>(nextWait));
}

TEST(ServiceStops, AnEarlyCollectionStartsTheNextWaitWhenTheHideTimerRunsOut) {
    Rig r;
    r.startRace();
    r.c.set(&ConsoleState::Vite, 3);
    r.c.panel().hide(Im_Errori1);
    // Start a spanner cycle directly: its show timer ticks 10 s from now.
    r.c.timers().setInterval(Timer_ChiaveOn, 10000);
    r.c.timers().enable(Timer_ChiaveOn);
    const auto showAt = r.now() + 10000;
    r.run("autopilot on 1 nocollect");
    r.advanceTo(showAt);
    const bool left = r.shown(Im_Chiave1);
    ASSERT_TRUE(left || r.shown(Im_Chiave2));
    r.advanceTo(showAt + 1000);
    r.run("autopilot off");
    r.c.set(&ConsoleState::Corsia, left ? 1 : 3);
    r.mark();
    r.tap(kKeyControl);
    EXPECT_FALSE(r.shown(Im_Chiave1) || r.shown(Im_Chiave2));
    EXPECT_EQ(r.c.state().Vite, 4);
    EXPECT_TRUE(r.shown(Im_Errori1));
    EXPECT_EQ(r.sounds(), Sounds{"play Srvc2.wav"});
    EXPECT_TRUE(r.c.timers().enabled(Timer_ChiaveOff));
    r.c.set(&ConsoleState::Corsia, 2);
    r.run("autopilot on 1 nocollect");
    const auto nextWait = (r.drawAt(showAt + 4000, 36) + 10) * 1000;
    r.advanceTo(showAt + 3999);
    EXPECT_FALSE(r.c.timers().enabled(Timer_ChiaveOn));
    r.advanceTo(showAt + 4000);
    EXPECT_TRUE(r.c.timers().enabled(Timer_ChiaveOn));
    EXPECT_EQ(r.c.timers().interval(Timer_ChiaveOn), static_cast<int>(nextWait));
}

TEST(ServiceStops, SpannerBeforePumpOnePerCtrlAndOnlyFromTheMatchingLane) {
    Rig r;
    r.startRace();
    r.c.set(&ConsoleState::Vite, 3);
    r.c.panel().hide(Im_Errori1);
    r.c.set(&ConsoleState::Livello_Benzina, 2);
    r.c.timers().enable(Timer_PompaOn);
    for (Element e : {Im_Chiave1, Im_Pompa1, Im_Chiave2}) r.c.panel().show(e);

    r.tap(kKeyControl);  // lane 2: nothing
    EXPECT_EQ(r.c.state().Vite, 3);
    EXPECT_EQ(r.c.state().Livello_Benzina, 2);

    r.tap(kKeyLeft);
    r.c.FormKeyDown(kKeyControl);
    EXPECT_EQ(r.c.state().Vite, 4);
    EXPECT_FALSE(r.shown(Im_Chiave1));
    EXPECT_FALSE(r.shown(Im_Chiave2));  // both spanner pictures go
    EXPECT_TRUE(r.shown(Im_Pompa1));
    EXPECT_EQ(r.c.state().Livello_Benzina, 2);
    r.c.FormKeyDown(kKeyControl);  // a held CTRL acts again on its repeat
    EXPECT_EQ(r.c.state().Livello_Benzina, 3);
    EXPECT_TRUE(r.shown(Im_Fuel3));
    EXPECT_FALSE(r.shown(Im_Fuel2));
    EXPECT_FALSE(r.c.timers().enabled(Timer_PompaOn));  // full again: no more pumps

    r.c.panel().show(Im_Pompa2);  // right-hand stop, rider in lane 1
    r.c.FormKeyDown(kKeyControl);
    EXPECT_EQ(r.c.state().Livello_Benzina, 3);
    EXPECT_TRUE(r.shown(Im_Pompa2));
}

TEST(ServiceStops, PumpAtTwoStopsTheBlinkAndShowsTheHalfNeedle) {
    Rig r;
    r.startRace();
    r.c.set(&ConsoleState::Livello_Benzina, 2);
    r.c.onTimer(Timer_Benzina);
    ASSERT_TRUE(r.c.timers().enabled(Timer_LampeggioBenzina));
    r.tap(kKeyRight);
    r.c.panel().show(Im_Pompa2);
    r.tap(kKeyControl);
    EXPECT_EQ(r.c.state().Livello_Benzina, 2);
    EXPECT_FALSE(r.c.timers().enabled(Timer_LampeggioBenzina));
    EXPECT_FALSE(r.shown(Im_Fuel1));
    EXPECT_TRUE(r.shown(Im_Fuel2));
}

TEST(Counters, CollectingAtFullRaisesTheCountersWithoutChangingTheGauges) {
    Rig r;
    r.startRace();
    r.tap(kKeyLeft);
    r.c.panel().show(Im_Chiave1);
    r.tap(kKeyControl);
    EXPECT_EQ(r.c.state().Vite, 5);
    EXPECT_EQ(livesShown(r), (std::vector<bool>{true, true, true, true}));
    r.c.panel().show(Im_Pompa1);
    r.tap(kKeyControl);
    EXPECT_EQ(r.c.state().Livello_Benzina, 4);
    EXPECT_TRUE(r.shown(Im_Fuel3));

    crashAndBlink(r);  // 5 -> 4: indicator unchanged
    EXPECT_EQ(r.c.state().Vite, 4);
    EXPECT_EQ(livesShown(r), (std::vector<bool>{true, true, true, true}));
    r.c.onTimer(Timer_Benzina);  // 4 -> 3: gauge unchanged
    EXPECT_EQ(r.c.state().Livello_Benzina, 3);
    EXPECT_TRUE(r.shown(Im_Fuel3));
    EXPECT_FALSE(r.shown(Im_Fuel2));
    crashAndBlink(r);  // 4 -> 3: the seat goes
    EXPECT_EQ(livesShown(r), (std::vector<bool>{false, true, true, true}));
}

TEST(Crash, TheRiderBlinksTwiceThenTheGridEmptiesAndTheRaceResumes) {
    Rig r;
    const auto t0 = r.startRace();
    r.tap(kKeyRight);
    r.tap(kKeyUp);
    r.c.set(&ConsoleState::Score, 37);
    r.c.set(&ConsoleState::Punti_Livello, 37);
    r.c.panel().show(Im_Pompa1);
    r.setRow(3, kPatterns[4]);
    r.mark();
    const auto hit = crash(r);
    EXPECT_EQ(hit, t0 + 450);
    EXPECT_EQ(r.sounds(), (Sounds{"stop all", "tone off", "play Miss.wav"}));
    EXPECT_FALSE(r.shown(Im_Pompa1));
    for (TimerId t : {Timer_Pista, Timer_Avversari, Timer_Benzina, Timer_ChiaveOn, Timer_ChiaveOff, Timer_PompaOn,
                      Timer_PompaOff})
        EXPECT_FALSE(r.c.timers().enabled(t));
    EXPECT_TRUE(r.shown(Im_Speed2));

    const std::pair<std::int64_t, bool> blink[] = {{499, true}, {500, false}, {999, false}, {1000, true},
                                                   {1499, true}, {1500, false}, {1999, false}};
    for (auto [dt, on] : blink) {
        r.advanceTo(hit + dt);
        EXPECT_EQ(r.shown(Im_Moto3), on) << dt;
        EXPECT_FALSE(r.shown(Im_Moto1) || r.shown(Im_Moto2)) << dt;
        EXPECT_EQ(r.c.state().Vite, 4) << dt;
    }
    EXPECT_EQ(r.row(3), kPatterns[4]);
    r.mark();
    r.advanceTo(hit + 2000);
    EXPECT_EQ(r.c.state().Vite, 3);
    EXPECT_FALSE(r.shown(Im_Errori1));
    EXPECT_EQ(scenario::gridText(r.panel()), "... ... ... ...");
    // Resumed at once in lane 2 at speed 1, the score kept.
    EXPECT_EQ(r.c.state().Corsia, 2);
    EXPECT_EQ(scenario::riderText(r.panel()), "2");
    EXPECT_EQ(r.c.state().Marcia, 1);
    EXPECT_FALSE(r.shown(Im_Speed2));
    EXPECT_EQ(r.c.state().Score, 37);
    EXPECT_EQ(r.c.state().Punti_Livello, 37);
    EXPECT_EQ(r.sounds(), Sounds{"tone 59664"});
    EXPECT_TRUE(r.c.timers().enabled(Timer_Avversari));
}

TEST(Crash, TheFourthCrashEndsTheGameWithTheRiderLeftInItsLane) {
    Rig r;
    r.startRace();
    const std::vector<std::vector<bool>> indicator = {
        {false, true, true, true}, {false, false, true, true}, {false, false, false, true}};
    for (const auto& want : indicator) {
        crashAndBlink(r);
        EXPECT_EQ(livesShown(r), want);
    }
    r.tap(kKeyLeft);
    r.mark();
    const auto hit = crashAndBlink(r);
    EXPECT_EQ(r.c.state().Vite, 0);
    EXPECT_EQ(livesShown(r), (std::vector<bool>{false, false, false, true}));
    EXPECT_EQ(scenario::riderText(r.panel()), "1");
    EXPECT_EQ(scenario::gridText(r.panel()), "... ... ... ...");
    EXPECT_EQ(r.soundsAt(hit + 2000), (Sounds{"stop all", "tone off", "play GameOver.wav"}));
    EXPECT_FALSE(r.c.timers().enabled(Timer_Pista));
    EXPECT_TRUE(r.c.timers().enabled(Timer_MusicaFine));
}
