// The scenario runner itself: how it reports, repeats keys and picks times of day.
#include "tests/game/game_rig.h"

using namespace vorlak;
using namespace vorlak::testing;

namespace {

scenario::RunResult runScript(const std::string& text, std::string* output = nullptr) {
    std::ostringstream out;
    scenario::Runner runner(out);
    auto result = runner.runText(text);
    if (output) *output = out.str();
    return result;
}

}  // namespace

TEST(ScenarioRunner, AFailedExpectationNamesItsLineAndStopsTheScript) {
    const auto result = runScript("power\n# comment\n\ntap ctrl\nat 4125\nexpect slots _ L - 2\nexpect var Vite 9\n");
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.expectationFailed);
    EXPECT_EQ(result.line, 6);
    EXPECT_NE(result.message.find("line 6"), std::string::npos);
    EXPECT_NE(result.message.find("_ L - 1"), std::string::npos);  // what it read instead
}

TEST(ScenarioRunner, ScriptErrorsAreToldApartFromFailedExpectations) {
    for (const char* bad : {"jump 3", "tap nokey", "expect shown Im_Nothing", "wait x", "at 5\nat 4",
                            "expect var Nothing 1", "until sounds play Start.wav", "time 25:00:00"}) {
        const auto result = runScript(bad);
        EXPECT_FALSE(result.ok) << bad;
        EXPECT_FALSE(result.expectationFailed) << bad;
    }
    const auto timeout = runScript("power\nuntil var In_Gioco 1 within 5000\n");
    EXPECT_FALSE(timeout.ok);
    EXPECT_TRUE(timeout.expectationFailed);
}

TEST(ScenarioRunner, AHeldKeyRepeatsAtItsDelayAndRateThenReleasesOnce) {
    Rig r;
    r.startRace();
    r.run("clear-road on");
    // A held CTRL collects at every key-down: count them with a spanner that
    // comes back after each collection. Downs at 0, 500, 600, 700, 800, 900.
    r.tap(kKeyLeft);
    r.c.set(&ConsoleState::Vite, 1);
    int collected = 0;
    std::vector<std::int64_t> at;
    r.runner.setEventHook([&] {
        if (!r.shown(Im_Chiave1)) {
            ++collected;
            at.push_back(r.now());
            r.c.panel().show(Im_Chiave1);
        }
    });
    r.c.panel().show(Im_Chiave1);
    const auto start = r.now();
    r.run("press ctrl");
    r.run("hold ctrl 1000 500 100");
    EXPECT_EQ(r.now(), start + 1000);
    EXPECT_EQ(collected, 7);
    EXPECT_EQ(at, (std::vector<std::int64_t>{start, start, start + 500, start + 600, start + 700, start + 800,
                                             start + 900}));
    EXPECT_EQ(r.c.state().Vite, 8);
    EXPECT_TRUE(r.shown(Im_Start));  // one key-up at the end

    // An arrow held the same way acts once.
    r.run("hold up 2000");
    EXPECT_EQ(r.c.state().Marcia, 2);
}

TEST(ScenarioRunner, ConsoleKeysRunThePressReleaseAndDoubleClickHandlers) {
    std::string out;
    EXPECT_TRUE(runScript("power down\nexpect hidden Im_OnOff\nexpect var Acceso 0\n"
                          "power release\nexpect shown Im_OnOff Im_GameOver\nexpect var Acceso 1\n"
                          "power double\nexpect var Acceso 1\n"  // off and on again
                          "power right\nexpect var Acceso 1\n"
                          "power down\npower release-outside\nexpect var Acceso 1\n"
                          "reset down\nexpect shown Im_Completa\nexpect var Acceso 0\n"
                          "reset release\nexpect hidden Im_Completa\nexpect shown Im_ACL\n"
                          "sound\nexpect var Suono_On 1\n"  // console off: nothing
                          "power\nsound\nexpect var Suono_On 0\nexpect shown Im_Suoni\n"
                          "sound double\nexpect var Suono_On 0\n",
                          &out)
                    .ok)
        << out;
}

TEST(ScenarioRunner, ChosenTimesOfDayGiveTheWantedDraws) {
    const std::vector<scenario::WantedDraw> wanted = {{1000, 12, 3, {}}, {1777, 10, 5, 9}};
    const auto tod = scenario::chooseTimeOfDay(kNoon, 400, wanted);
    ASSERT_TRUE(tod.has_value());
    EXPECT_GE(*tod, kNoon);
    for (const auto& d : wanted) {
        const auto v = scenario::drawAfterReseed(static_cast<std::uint32_t>(*tod + d.at - 400), d.bound);
        EXPECT_GE(v, d.value);
        EXPECT_LE(v, d.upTo.value_or(d.value));
    }
    // The generator: seed * 134775813 + 1, then the upper half of seed * bound.
    EXPECT_EQ(scenario::drawAfterReseed(1000, 12), 4u);
    EXPECT_EQ(scenario::drawAfterReseed(0, 12), 0u);
}

TEST(ScenarioRunner, ThePrintedLcdReadsAsAPlayerSeesIt) {
    std::string out;
    ASSERT_TRUE(runScript("power\ntime 12:00:00.000\ntap ctrl\nat 4125\nprint\nprint vars\nprint timers\n", &out).ok);
    EXPECT_NE(out.find("[4125 ms, time of day 12:00:04.125]"), std::string::npos) << out;
    EXPECT_NE(out.find("reads L-1   slots _ L - 1"), std::string::npos) << out;
    EXPECT_NE(out.find("Im_Semaforo1"), std::string::npos);
    EXPECT_NE(out.find("Livello=1"), std::string::npos);
    EXPECT_NE(out.find("Timer_Semaforo1(882)"), std::string::npos);
}

TEST(ScenarioRunner, TheExampleInTheHelpTextRunsAndPasses) {
    const std::string help(scenario::scriptHelp());
    const auto start = help.find("Example");
    ASSERT_NE(start, std::string::npos);
    const auto body = help.substr(help.find('\n', start) + 1);
    std::string out;
    const auto result = runScript(body, &out);
    EXPECT_TRUE(result.ok) << result.message;
}
