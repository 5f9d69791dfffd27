// Level changes, the game over, the continue offer and whole games.
#include "tests/game/game_rig.h"

using namespace vorlak;
using namespace vorlak::testing;

namespace {

// Notes the score and time at every level clear.
struct GameRig : Rig {
    std::vector<std::int32_t> scoresAtClear;
    std::vector<std::int64_t> clearTimes;
    bool levelTuneWasOn = false;
    bool offerSeen = false;
    void onEvent() override {
        const bool on = c.timers().enabled(Timer_MusicaLivello);
        if (on && !levelTuneWasOn) {
            scoresAtClear.push_back(c.state().Score);
            clearTimes.push_back(now());
        }
        levelTuneWasOn = on;
        offerSeen = offerSeen || c.state().Attesa_Continue;
    }
    // Plays with the autopilot until the level number changes.
    void playLevel() {
        const auto level = c.state().Livello;
        run("autopilot on 3");
        while (c.state().Livello == level) {
            const auto next = clock().nextDue();
            ASSERT_TRUE(next.has_value());
            ASSERT_LT(*next, 3600000) << "level " << level << " never cleared";
            advanceTo(*next);
        }
        run("autopilot off");
        ASSERT_NE(c.state().Livello, level);
    }
    void loseAllLives() {
        run("autopilot off");
        const auto giveUp = now() + 20000;  // four crashes take about 10 s
        while (c.state().Vite > 0 && now() < giveUp) {
            c.panel().show(opponentGridCell(1, c.state().Corsia));
            advance(1);
        }
        EXPECT_EQ(c.state().Vite, 0);
    }
};

std::vector<Element> lcdShown(const Panel& p) {
    std::vector<Element> out;
    for (int i = 0; i < kDrawnElementCount; ++i) {
        const auto e = static_cast<Element>(i);
        switch (e) {
            case Im_Principale: case Im_Sound: case Im_ACL: case Im_Start: case Im_OnOff:
            case Sh_Su: case Sh_Sx: case Sh_Dx: case Sh_Giu: case Im_NumPos1: case Im_NumPos2:
            case Im_NumPos3: case Im_NumPos4:
                continue;
            default:
                if (p.shown(e)) out.push_back(e);
        }
    }
    return out;
}

}  // namespace

TEST(WholeGame, FiveLevelsWonThenIdleWithoutAContinue) {
    GameRig r;
    r.startRace();
    for (int level = 1; level <= 5; ++level) {
        r.playLevel();
        EXPECT_EQ(r.c.state().Livello, level + 1);
        if (level < 5) {
            // The next level starts its tune at once and shows L-n 4125 ms later.
            EXPECT_EQ(r.soundsAt(r.now()), Sounds{"play Start.wav"});
            EXPECT_EQ(r.now(), r.clearTimes.back() + 4500);
            r.advance(4125);
            EXPECT_EQ(scenario::slotsText(r.panel()), "_ L - " + std::to_string(level + 1));
            r.advance(kStartSequenceMs - 4125);
        }
    }
    EXPECT_EQ(r.scoresAtClear, (std::vector<std::int32_t>{100, 300, 600, 1000, 1500}));
    // Level 5: level tune, then the game-over tune, then idle.
    const auto cleared = r.clearTimes.back();
    EXPECT_EQ(r.soundsAt(cleared + 4500), (Sounds{"stop all", "tone off", "play GameOver.wav"}));
    r.advanceTo(cleared + 4500 + 3999);
    EXPECT_TRUE(r.c.state().In_Gioco);
    r.advanceTo(cleared + 4500 + 4000);
    EXPECT_FALSE(r.c.state().In_Gioco);
    EXPECT_FALSE(r.c.state().Attesa_Continue);
    EXPECT_EQ(r.c.state().Livello, 6);
    EXPECT_EQ(lcdShown(r.panel()), (std::vector<Element>{Im_Num00, Im_GameOver, Im_Cruscotto}));
    EXPECT_EQ(scenario::readout(r.panel()), "00");
    r.advance(60000);
    EXPECT_FALSE(r.offerSeen);
    EXPECT_TRUE(r.ticks.back().at <= cleared + 8500);
    // The next CTRL starts a new game at level 1.
    r.tap(kKeyControl);
    EXPECT_EQ(r.c.state().Livello, 1);
    EXPECT_EQ(r.c.state().Score, 0);
}

TEST(WholeGame, LostOnLevelThreeContinuedFromZero) {
    GameRig r;
    r.startRace();
    r.playLevel();
    r.advance(kStartSequenceMs);
    r.playLevel();
    r.advance(kStartSequenceMs);
    ASSERT_EQ(r.c.state().Livello, 3);
    ASSERT_EQ(r.c.state().Score, 300);
    r.run("autopilot on 3");
    r.advance(5000);
    r.loseAllLives();
    const auto lost = r.now();
    EXPECT_TRUE(r.c.timers().enabled(Timer_MusicaFine));
    r.tap(kKeyControl);  // during the game-over tune: nothing
    EXPECT_FALSE(r.c.state().Attesa_Continue);
    r.advanceTo(lost + 4000);
    EXPECT_TRUE(r.c.state().Attesa_Continue);
    EXPECT_EQ(scenario::slotsText(r.panel()), "_ C 0 N");
    EXPECT_EQ(scenario::readout(r.panel()), "C0N");
    EXPECT_TRUE(r.c.timers().enabled(Timer_Continue));

    r.advanceTo(lost + 4000 + 9999);
    r.mark();
    r.tap(kKeyControl);
    EXPECT_FALSE(r.c.state().Attesa_Continue);
    EXPECT_FALSE(r.c.timers().enabled(Timer_Continue));
    EXPECT_EQ(r.sounds(), Sounds{"play Start.wav"});
    EXPECT_EQ(r.c.state().Score, 0);
    EXPECT_EQ(r.c.state().Livello, 3);
    EXPECT_EQ(r.c.state().Vite, 4);
    EXPECT_EQ(r.c.state().Livello_Benzina, 3);
    EXPECT_EQ(r.c.state().Punti_Livello, 0);
    EXPECT_EQ(r.c.state().Corsia, 2);
    r.advance(4125);
    EXPECT_EQ(scenario::slotsText(r.panel()), "_ L - 3");
    r.advance(kStartSequenceMs - 4125);
    EXPECT_EQ(scenario::readout(r.panel()), "00");
    for (int level = 3; level <= 5; ++level) {
        r.playLevel();
        r.advance(kStartSequenceMs);
    }
    EXPECT_EQ(r.scoresAtClear, (std::vector<std::int32_t>{100, 300, 300, 700, 1200}));
}

TEST(Continue, AnOfferLeftAloneEndsTheGameAfterTenSeconds) {
    GameRig r;
    r.startRace();
    r.loseAllLives();
    const auto lost = r.now();
    r.advanceTo(lost + 4000 + 9999);
    EXPECT_TRUE(r.c.state().In_Gioco);
    r.advanceTo(lost + 4000 + 10000);
    EXPECT_FALSE(r.c.state().In_Gioco);
    EXPECT_FALSE(r.c.state().Attesa_Continue);
    EXPECT_EQ(lcdShown(r.panel()), (std::vector<Element>{Im_Num00, Im_GameOver, Im_Cruscotto}));
    for (int t = 0; t < TimerCount; ++t) EXPECT_FALSE(r.c.timers().enabled(static_cast<TimerId>(t)));
    // The next CTRL is a new game at level 1, prepared once.
    r.mark();
    r.tap(kKeyControl);
    EXPECT_EQ(r.c.state().Livello, 1);
    EXPECT_EQ(r.sounds(), Sounds{"play Start.wav"});
}

TEST(Continue, LowFuelBlinksThroughTheOfferAndTheContinueStopsIt) {
    GameRig r;
    r.startRace();
    r.c.set(&ConsoleState::Livello_Benzina, 2);
    r.c.onTimer(Timer_Benzina);
    r.loseAllLives();
    r.advance(4000 + 3000);
    EXPECT_TRUE(r.c.state().Attesa_Continue);
    EXPECT_TRUE(r.c.timers().enabled(Timer_LampeggioBenzina));
    r.tap(kKeyControl);
    EXPECT_FALSE(r.c.timers().enabled(Timer_LampeggioBenzina));
    EXPECT_TRUE(r.shown(Im_Fuel3));
    EXPECT_FALSE(r.shown(Im_Fuel1));
}

TEST(Continue, AfterTheFuelRanOutTheOpponentsStayAndMoveOnInTheNextRace) {
    GameRig r;
    const auto t0 = r.startRace();
    r.c.set(&ConsoleState::Livello_Benzina, 1);
    r.setRow(1, {false, true, false});
    r.setRow(3, {true, false, false});
    r.tap(kKeyLeft);  // safe from the lane-2 opponent
    r.c.onTimer(Timer_Benzina);  // the last unit
    EXPECT_EQ(r.c.state().Livello_Benzina, 0);
    EXPECT_TRUE(r.c.timers().enabled(Timer_MusicaFine));
    EXPECT_EQ(scenario::gridText(r.panel()), "... X.. ... .X.");
    r.advance(4000);
    r.tap(kKeyControl);
    EXPECT_EQ(scenario::gridText(r.panel()), "... X.. ... .X.");
    r.advance(kStartSequenceMs);
    // The rider is back in lane 2: the first opponent step finds the leftover.
    r.advance(600);
    EXPECT_TRUE(r.c.timers().enabled(Timer_MusicaErrore));
    (void)t0;
}

TEST(LevelChange, TheSceneStaysFrozenAndAShownStopCanBeTaken) {
    GameRig r;
    const auto t0 = r.startRace();
    r.tap(kKeyRight);
    r.c.set(&ConsoleState::Score, 99);
    r.c.set(&ConsoleState::Punti_Livello, 99);
    r.c.set(&ConsoleState::Vite, 2);
    r.c.set(&ConsoleState::Livello_Benzina, 2);
    r.c.timers().enable(Timer_LampeggioBenzina);
    r.c.panel().show(Im_Chiave2);
    r.c.panel().show(Im_Pompa1);  // out of reach from lane 3
    r.setRow(1, {true, false, false});
    r.setRow(4, {false, false, true});
    r.advanceTo(t0 + 600);
    ASSERT_TRUE(r.c.timers().enabled(Timer_MusicaLivello));
    const auto grid = scenario::gridText(r.panel());
    r.advanceTo(t0 + 600 + 3000);
    EXPECT_EQ(scenario::gridText(r.panel()), grid);
    EXPECT_TRUE(r.c.timers().enabled(Timer_LampeggioBenzina));
    r.tap(kKeyControl);  // CTRL starts nothing, but takes the spanner
    EXPECT_EQ(r.c.state().Vite, 3);
    EXPECT_EQ(r.c.state().Livello, 1);
    EXPECT_FALSE(r.c.timers().enabled(Timer_MusicaAvvio));
    r.advanceTo(t0 + 600 + 4499);
    EXPECT_TRUE(r.shown(Im_Pompa1));
    r.advanceTo(t0 + 600 + 4500);
    EXPECT_FALSE(r.shown(Im_Pompa1));
    EXPECT_EQ(r.c.state().Livello, 2);
    EXPECT_EQ(r.c.state().Vite, 4);
    EXPECT_EQ(scenario::gridText(r.panel()), "... ... ... ...");
    EXPECT_FALSE(r.c.timers().enabled(Timer_LampeggioBenzina));
}
