// The race loop: speeds, track dashes, opponent steps, scoring and the score display.
#include "tests/game/game_rig.h"

using namespace vorlak;
using namespace vorlak::testing;

namespace {

void expectSpeedPictures(const Rig& r, int marcia) {
    EXPECT_TRUE(r.shown(Im_Speed1));
    EXPECT_EQ(r.shown(Im_Speed2), marcia >= 2);
    EXPECT_EQ(r.shown(Im_Speed3), marcia >= 3);
}

void expectGear(const Rig& r, const SpeedRow& s) {
    EXPECT_EQ(r.c.state().Marcia, s.marcia);
    EXPECT_EQ(r.c.timers().interval(Timer_Pista), s.pistaMs);
    EXPECT_EQ(r.c.timers().interval(Timer_Avversari), s.avversariMs);
    EXPECT_EQ(r.c.state().Tono_Motore, s.tone);
    expectSpeedPictures(r, s.marcia);
}

}  // namespace

TEST(Speed, EachPressShiftsOneGearWithItsIntervalsToneAndPictures) {
    Rig r;
    r.startRace();
    expectGear(r, kSpeeds[0]);
    r.mark();
    r.tap(kKeyUp);
    expectGear(r, kSpeeds[1]);
    r.tap(kKeyUp);
    expectGear(r, kSpeeds[2]);
    r.tap(kKeyUp);  // already at the top
    expectGear(r, kSpeeds[2]);
    r.tap(kKeyDown);
    expectGear(r, kSpeeds[1]);
    r.tap(kKeyDown);
    expectGear(r, kSpeeds[0]);
    r.tap(kKeyDown);  // already at the bottom
    expectGear(r, kSpeeds[0]);
    // The engine tone follows every change, without a stop in between.
    EXPECT_EQ(r.sounds(), (Sounds{"tone 54240", "tone 45895", "tone 54240", "tone 59664"}));
    EXPECT_TRUE(r.runner.sound().toneSounding());
}

TEST(Speed, AnArrowAtTheEdgeStillNeedsARelease) {
    Rig r;
    r.startRace();
    r.c.FormKeyDown(kKeyDown);  // at speed 1: nothing
    r.c.FormKeyDown(kKeyUp);
    EXPECT_EQ(r.c.state().Marcia, 1);
    r.c.FormKeyUp(kKeyDown);
    r.tap(kKeyLeft);
    r.c.FormKeyDown(kKeyLeft);  // in lane 1: nothing
    r.c.FormKeyDown(kKeyRight);
    EXPECT_EQ(r.c.state().Corsia, 1);
}

TEST(Speed, HoldingUpFromSpeedOneReachesSpeedTwoOnly) {
    Rig r;
    r.startRace();
    r.run("clear-road on");
    r.run("hold up 3000 500 33");
    EXPECT_EQ(r.c.state().Marcia, 2);
}

TEST(Speed, NoToneWhenSoundIsOffOrTheSpeakerNotAllowed) {
    Rig r;
    r.startRace();
    r.c.set(&ConsoleState::Suono_On, false);
    r.mark();
    r.tap(kKeyUp);
    EXPECT_TRUE(r.sounds().empty());
    // Turning sound back on during the race restarts the tone at the current gear.
    r.c.Im_SoundMouseDown(MouseButton::Left);
    r.c.Im_SoundMouseUp();
    EXPECT_EQ(r.sounds(), (Sounds{"stop all", "tone off", "tone 54240"}));

    Rig quiet;
    quiet.c.set(&ConsoleState::Speaker_On, false);
    quiet.startRace();
    quiet.tap(kKeyUp);
    for (const auto& call : quiet.runner.sound().calls()) EXPECT_EQ(call.what.rfind("tone", 0), std::string::npos);
}

TEST(Speed, AChangeRestartsBothRaceCountdowns) {
    Rig r;
    const auto t0 = r.startRace();
    r.advanceTo(t0 + 590);  // the opponent step was due at t0 + 600
    r.tap(kKeyUp);
    r.advanceTo(t0 + 590 + 450);
    EXPECT_EQ(r.tickTimes(Timer_Avversari), (std::vector<std::int64_t>{t0 + 590 + 450}));
    EXPECT_EQ(r.tickTimes(Timer_Pista), (std::vector<std::int64_t>{t0 + 380, t0 + 590 + 250}));
}

TEST(Track, DashesRunTowardsTheRiderInAThreeEventCycle) {
    for (const SpeedRow& s : kSpeeds) {
        Rig r;
        const auto t0 = r.startRace();
        for (int i = 1; i < s.marcia; ++i) r.tap(kKeyUp);
        for (int event = 1; event <= 9; ++event) {
            r.advanceTo(t0 + event * s.pistaMs);
            const int group = event % 3;  // 1 middle, 2 near, 0 far
            EXPECT_EQ(r.shown(Im_Linea3sx1), group == 0) << "speed " << s.marcia << " event " << event;
            EXPECT_EQ(r.shown(Im_Linea3sx2), group == 0);
            EXPECT_EQ(r.shown(Im_Linea3dx), group == 0);
            EXPECT_EQ(r.shown(Im_Linea2sx), group == 1);
            EXPECT_EQ(r.shown(Im_Linea2dx), group == 1);
            EXPECT_EQ(r.shown(Im_Linea1sx), group == 2);
            EXPECT_EQ(r.shown(Im_Linea1dx), group == 2);
        }
    }
}

TEST(Opponents, EveryNewFarRowComesFromThePatternTableWithinTheGearsRange) {
    for (const SpeedRow& s : kSpeeds) {
        Rig r;
        auto t = r.startRace();
        for (int i = 1; i < s.marcia; ++i) r.tap(kKeyUp);
        r.c.set(&ConsoleState::Livello_Benzina, 1000);  // not the subject here
        int empty = 0;
        const int steps = 400;
        for (int step = 1; step <= steps; ++step) {
            t += s.avversariMs;
            const auto pattern = r.drawAt(t, static_cast<std::uint32_t>(s.patternBound));
            r.setRow(1, {false, false, false});  // no collision, no scoring
            r.advanceTo(t);
            ASSERT_EQ(r.row(4), kPatterns[pattern]) << "speed " << s.marcia << " step " << step;
            empty += pattern >= 6;
        }
        // Empty rows: 6 in 12, 4 in 10, 2 in 8.
        const double expected = static_cast<double>(s.patternBound - 6) / s.patternBound;
        EXPECT_NEAR(static_cast<double>(empty) / steps, expected, 0.08) << "speed " << s.marcia;
    }
}

TEST(Opponents, ADrawnOpponentIsTestedAgainstTheRiderAtTheFourthStepAfter) {
    Rig r;
    const auto t0 = r.startRace();
    // Step 1 draws pattern 1 (lane 2), the next three draw empty rows.
    r.steer({{t0 + 600, 12, 1}, {t0 + 1200, 12, 6, 11}, {t0 + 1800, 12, 6, 11}, {t0 + 2400, 12, 6, 11}});
    r.advanceTo(t0 + 600);
    EXPECT_EQ(scenario::gridText(r.panel()), ".X. ... ... ...");
    r.advanceTo(t0 + 2400);
    EXPECT_EQ(scenario::gridText(r.panel()), "... ... ... .X.");
    EXPECT_FALSE(r.c.timers().enabled(Timer_MusicaErrore));
    r.advanceTo(t0 + 2999);
    r.mark();
    r.advanceTo(t0 + 3000);
    EXPECT_TRUE(r.c.timers().enabled(Timer_MusicaErrore));
    EXPECT_EQ(r.sounds(), (Sounds{"stop all", "tone off", "play Miss.wav"}));
    // The grid stays as it was: no advance, no new row, no points.
    EXPECT_EQ(scenario::gridText(r.panel()).substr(12), ".X.");
    EXPECT_EQ(r.c.state().Score, 0);
}

TEST(Opponents, LeavingTheLaneWithinTheLastStepAvoidsTheCrashAndScores) {
    Rig r;
    const auto t0 = r.startRace();
    r.steer({{t0 + 600, 12, 1}, {t0 + 1200, 12, 6, 11}, {t0 + 1800, 12, 6, 11}, {t0 + 2400, 12, 6, 11}, {t0 + 3000, 12, 6, 11}});
    r.advanceTo(t0 + 2999);
    r.tap(kKeyLeft);
    r.advanceTo(t0 + 3000);
    EXPECT_FALSE(r.c.timers().enabled(Timer_MusicaErrore));
    EXPECT_EQ(r.c.state().Score, 1);
    EXPECT_EQ(r.c.state().Punti_Livello, 1);
    EXPECT_EQ(scenario::readout(r.panel()), "100");
}

TEST(Opponents, MovingIntoAnOccupiedNearCellIsACrashOnlyAtTheNextStep) {
    Rig r;
    const auto t0 = r.startRace();
    r.setRow(1, {true, false, false});
    r.tap(kKeyLeft);
    EXPECT_FALSE(r.c.timers().enabled(Timer_MusicaErrore));
    r.advanceTo(t0 + 599);
    EXPECT_TRUE(r.c.timers().enabled(Timer_Avversari));
    r.advanceTo(t0 + 600);
    EXPECT_TRUE(r.c.timers().enabled(Timer_MusicaErrore));
}

TEST(Scoring, PatternThreePassingInLaneThreeScoresTwoOpponentsAtEachSpeed) {
    for (const SpeedRow& s : kSpeeds) {
        Rig r;
        const auto t0 = r.startRace();
        for (int i = 1; i < s.marcia; ++i) r.tap(kKeyUp);
        r.tap(kKeyRight);
        r.c.set(&ConsoleState::Score, 40);
        r.c.set(&ConsoleState::Punti_Livello, 40);
        r.setRow(1, kPatterns[3]);
        r.setRow(2, kPatterns[2]);
        r.advanceTo(t0 + s.avversariMs);
        EXPECT_EQ(r.c.state().Score, 40 + 2 * s.marcia);
        EXPECT_EQ(r.c.state().Punti_Livello, 40 + 2 * s.marcia);
        EXPECT_FALSE(r.c.timers().enabled(Timer_MusicaErrore));
        EXPECT_EQ(r.row(1), kPatterns[2]);  // row 2 moved in
        EXPECT_EQ(scenario::readout(r.panel()), std::to_string(40 + 2 * s.marcia) + "00");
    }
}

TEST(Scoring, ACollisionScoresNothingAndFreezesTheGrid) {
    Rig r;
    const auto t0 = r.startRace();
    r.setRow(1, kPatterns[5]);  // lanes 2 and 3, rider in lane 2
    r.setRow(2, kPatterns[0]);
    r.setRow(4, kPatterns[4]);
    const auto before = scenario::gridText(r.panel());
    r.advanceTo(t0 + 600);
    EXPECT_EQ(r.c.state().Score, 0);
    EXPECT_EQ(scenario::gridText(r.panel()), before);
    for (TimerId t : {Timer_Pista, Timer_Avversari, Timer_Benzina}) EXPECT_FALSE(r.c.timers().enabled(t));
}

TEST(Scoring, TheSecondOpponentOfAClearingEventClearsTheLevelAgain) {
    Rig r;
    const auto t0 = r.startRace();
    r.tap(kKeyRight);
    r.c.set(&ConsoleState::Score, 99);
    r.c.set(&ConsoleState::Punti_Livello, 99);
    r.setRow(1, kPatterns[3]);
    r.setRow(2, kPatterns[1]);
    r.mark();
    const auto step = t0 + 600;
    r.advanceTo(step);
    EXPECT_EQ(r.c.state().Score, 100);  // 101 rounded down
    EXPECT_EQ(scenario::readout(r.panel()), "100" "00");
    // The level tune is cut and started again by the second call.
    EXPECT_EQ(r.sounds(), (Sounds{"stop all", "tone off", "play Level.wav", "stop all", "tone off", "play Level.wav"}));
    // The grid still moves once and a new far row is drawn.
    EXPECT_EQ(r.row(1), kPatterns[1]);
    for (TimerId t : {Timer_Pista, Timer_Avversari, Timer_Benzina}) EXPECT_FALSE(r.c.timers().enabled(t));
    // One level change all the same: one pause, then level 2.
    r.advanceTo(step + 4499);
    EXPECT_EQ(r.c.state().Livello, 1);
    r.advanceTo(step + 4500);
    EXPECT_EQ(r.c.state().Livello, 2);
    EXPECT_EQ(r.c.state().Traguardo, 200);
    EXPECT_EQ(scenario::gridText(r.panel()), "... ... ... ...");
    r.advanceTo(step + 20000);
    EXPECT_EQ(r.tickTimes(Timer_MusicaLivello), (std::vector<std::int64_t>{step + 4500}));
    EXPECT_EQ(r.c.state().Livello, 2);
}

TEST(Scoring, ClearingAtSpeedThreeDropsThePointsBeyondTheTarget) {
    Rig r;
    const auto t0 = r.startRace();
    r.tap(kKeyUp);
    r.tap(kKeyUp);
    r.c.set(&ConsoleState::Score, 99);
    r.c.set(&ConsoleState::Punti_Livello, 99);
    r.setRow(1, kPatterns[0]);
    r.advanceTo(t0 + 350);
    EXPECT_EQ(r.c.state().Punti_Livello, 102);
    EXPECT_EQ(r.c.state().Score, 100);
    EXPECT_EQ(scenario::slotsText(r.panel()), "_ 1 0 0");
    EXPECT_TRUE(r.c.timers().enabled(Timer_MusicaLivello));
}

TEST(ScoreDisplay, RightAlignedWithoutLeadingZeros) {
    Rig r;
    r.powerOn();
    const std::pair<std::int32_t, const char*> cases[] = {
        {7, "_ _ _ 7"}, {50, "_ _ 5 0"}, {1234, "1 2 3 4"}, {0, "_ _ _ 0"}, {999, "_ 9 9 9"},
        {100, "_ 1 0 0"}, {1502, "1 5 0 2"}, {10, "_ _ 1 0"}, {123456, "1 2 3 4"},
    };
    for (auto [value, slots] : cases) {
        r.c.Trasforma_Score(value);
        EXPECT_EQ(scenario::slotsText(r.panel()), slots) << value;
    }
}
