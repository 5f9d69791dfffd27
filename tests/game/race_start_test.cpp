// CTRL, the preparation of a level and the start lights, to the millisecond.
#include "tests/game/game_rig.h"

using namespace vorlak;
using namespace vorlak::testing;

TEST(RaceStart, CtrlWithTheConsoleOffOnlyPressesTheStartKey) {
    Rig r;
    r.c.FormKeyDown(kKeyControl);
    EXPECT_FALSE(r.shown(Im_Start));
    EXPECT_FALSE(r.c.state().In_Gioco);
    EXPECT_TRUE(r.sounds().empty());
    r.c.FormKeyUp(kKeyLeft);  // any key's release shows it again
    EXPECT_TRUE(r.shown(Im_Start));
    r.advance(20000);
    EXPECT_TRUE(r.ticks.empty());
}

TEST(RaceStart, CtrlStartsANewGameAndPreparesTheFirstLevel) {
    Rig r;
    r.powerOn();
    r.c.set(&ConsoleState::Score, 740);  // left over from an earlier game
    r.c.set(&ConsoleState::Tasto_Libero, false);
    r.mark();
    r.c.FormKeyDown(kKeyControl);
    EXPECT_TRUE(r.c.state().In_Gioco);
    EXPECT_TRUE(r.c.state().Tasto_Libero);
    EXPECT_FALSE(r.shown(Im_GameOver));
    EXPECT_EQ(r.c.state().Score, 0);
    EXPECT_EQ(r.c.state().Livello, 1);
    EXPECT_EQ(r.c.state().Vite, 4);
    EXPECT_EQ(r.c.state().Corsia, 2);
    EXPECT_EQ(r.c.state().Livello_Benzina, 3);
    EXPECT_EQ(r.c.state().Punti_Livello, 0);
    EXPECT_EQ(r.c.state().Traguardo, 100);
    EXPECT_EQ(r.c.state().Tono_Motore, 20);
    for (Element e : {Im_Errori1, Im_Errori2, Im_Errori3, Im_Errori4, Im_Moto2, Im_Fuel3, Im_Linea1sx, Im_Linea1dx,
                      Im_Linea2sx, Im_Linea2dx, Im_Linea3sx1, Im_Linea3sx2, Im_Linea3dx})
        EXPECT_TRUE(r.shown(e)) << elementInfo(e).name;
    for (Element e : {Im_Moto1, Im_Moto3, Im_Fuel1, Im_Fuel2, Im_Speed1, Im_Speed2, Im_Speed3})
        EXPECT_FALSE(r.shown(e)) << elementInfo(e).name;
    EXPECT_EQ(r.sounds(), Sounds{"play Start.wav"});
    EXPECT_TRUE(r.c.timers().enabled(Timer_MusicaAvvio));
    // No engine tone until the race itself starts.
    EXPECT_FALSE(r.runner.sound().toneSounding());
}

TEST(RaceStart, LightsAndLevelDisplayFollowTheirTimers) {
    Rig r;
    r.powerOn();
    r.tap(kKeyControl);
    r.advanceTo(4124);
    EXPECT_FALSE(r.shown(Im_Semaforo3));
    EXPECT_EQ(scenario::slotsText(r.panel()), "_ _ _ _");

    r.advanceTo(4125);
    for (Element e : {Im_Semaforo1, Im_Semaforo2, Im_Semaforo3}) EXPECT_TRUE(r.shown(e));
    EXPECT_EQ(scenario::slotsText(r.panel()), "_ L - 1");
    EXPECT_FALSE(r.shown(Im_Num00));
    EXPECT_EQ(r.soundsAt(4125), Sounds{"play Semaph.wav"});

    const std::pair<std::int64_t, Element> lightsOut[] = {
        {4125 + 882, Im_Semaforo1}, {4125 + 882 + 1200, Im_Semaforo2}, {kStartSequenceMs, Im_Semaforo3}};
    for (auto [at, light] : lightsOut) {
        r.advanceTo(at - 1);
        EXPECT_TRUE(r.shown(light)) << at;
        EXPECT_FALSE(r.c.timers().enabled(Timer_Pista));
        r.advanceTo(at);
        EXPECT_FALSE(r.shown(light)) << at;
    }

    // The race: rider in the centre at speed 1, far dashes only, score 0 shown as "00".
    EXPECT_EQ(scenario::readout(r.panel()), "00");
    EXPECT_EQ(scenario::riderText(r.panel()), "2");
    EXPECT_TRUE(r.shown(Im_Speed1));
    EXPECT_FALSE(r.shown(Im_Speed2));
    for (Element e : {Im_Linea3sx1, Im_Linea3sx2, Im_Linea3dx}) EXPECT_TRUE(r.shown(e));
    for (Element e : {Im_Linea2sx, Im_Linea2dx, Im_Linea1sx, Im_Linea1dx}) EXPECT_FALSE(r.shown(e));
    EXPECT_EQ(r.c.timers().interval(Timer_Pista), 380);
    EXPECT_EQ(r.c.timers().interval(Timer_Avversari), 600);
    for (TimerId t : {Timer_Pista, Timer_Avversari, Timer_Benzina}) EXPECT_TRUE(r.c.timers().enabled(t));
    // Full lives and tank: no service stop yet.
    EXPECT_FALSE(r.c.timers().enabled(Timer_ChiaveOn));
    EXPECT_FALSE(r.c.timers().enabled(Timer_PompaOn));
    EXPECT_EQ(r.soundsAt(kStartSequenceMs), Sounds{"tone 59664"});
    // First race steps one interval later.
    r.advance(600);
    EXPECT_EQ(r.tickTimes(Timer_Pista), (std::vector<std::int64_t>{kStartSequenceMs + 380}));
    EXPECT_EQ(r.tickTimes(Timer_Avversari), (std::vector<std::int64_t>{kStartSequenceMs + 600}));
}

TEST(RaceStart, LevelDisplayShowsTheLevelAndTheScoreComesBackAfterTheLights) {
    Rig r;
    r.powerOn();
    r.tap(kKeyControl);
    r.c.set(&ConsoleState::Livello, 3);
    r.c.set(&ConsoleState::Score, 3);  // shown as 300 with the fixed zeros
    r.c.Prepara_Gioco();  // runs again; the running start tune timer keeps its count
    r.advanceTo(4125);
    EXPECT_EQ(scenario::slotsText(r.panel()), "_ L - 3");
    r.advanceTo(kStartSequenceMs);
    EXPECT_EQ(scenario::slotsText(r.panel()), "_ _ _ 3");
    EXPECT_EQ(scenario::readout(r.panel()), "300");
    EXPECT_EQ(r.c.state().Traguardo, 300);
}

TEST(RaceStart, ArrowDuringTheLightsIsLostAndNeedsARelease) {
    Rig r;
    r.powerOn();
    r.tap(kKeyControl);
    r.advanceTo(5000);
    r.c.FormKeyDown(kKeyUp);  // held through the start of the race
    r.c.FormKeyDown(kKeyLeft);
    EXPECT_FALSE(r.c.state().Tasto_Libero);
    r.advanceTo(kStartSequenceMs + 10);
    EXPECT_EQ(r.c.state().Marcia, 1);
    EXPECT_EQ(r.c.state().Corsia, 2);
    r.c.FormKeyDown(kKeyUp);  // key repeat: nothing
    EXPECT_EQ(r.c.state().Marcia, 1);
    r.c.FormKeyUp(kKeyUp);
    r.c.FormKeyDown(kKeyUp);
    EXPECT_EQ(r.c.state().Marcia, 2);
}

TEST(RaceStart, HeldCtrlNeitherRestartsTheLightsNorBlocksTheFirstArrow) {
    Rig r;
    r.powerOn();
    r.c.FormKeyDown(kKeyControl);
    // Key repeats of CTRL all through the start sequence.
    for (std::int64_t t = 500; t < kStartSequenceMs; t += 33) {
        r.advanceTo(t);
        r.c.FormKeyDown(kKeyControl);
    }
    r.advanceTo(kStartSequenceMs);
    EXPECT_EQ(r.tickTimes(Timer_Semaforo3), (std::vector<std::int64_t>{kStartSequenceMs}));
    EXPECT_TRUE(r.c.timers().enabled(Timer_Pista));
    EXPECT_FALSE(r.shown(Im_Start));
    r.c.FormKeyDown(kKeyRight);
    EXPECT_EQ(r.c.state().Corsia, 3);
}

TEST(RaceStart, OtherKeysDoNothingButTheirReleaseFreesTheArrows) {
    Rig r;
    r.startRace();
    r.c.FormKeyDown(kKeyUp);
    EXPECT_EQ(r.c.state().Marcia, 2);
    for (std::uint16_t key : {16, 32, 65, 13, 36, 112}) r.c.FormKeyDown(key);
    EXPECT_FALSE(r.c.state().Tasto_Libero);
    EXPECT_EQ(r.c.state().Marcia, 2);
    r.c.FormKeyUp(65);
    EXPECT_TRUE(r.c.state().Tasto_Libero);
    r.c.FormKeyDown(kKeyUp);
    EXPECT_EQ(r.c.state().Marcia, 3);
}
