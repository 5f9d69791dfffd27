// Thousands of games of random input in virtual time, with the console's
// invariants checked after every tick and every input.
// Reproduce a failure with VORLAK_SOAK_SEED=<seed printed>.
#include <cstdlib>
#include <random>

#include "tests/game/game_rig.h"

using namespace vorlak;
using namespace vorlak::testing;

namespace {

std::string checkInvariants(const Console& c) {
    const Panel& p = c.panel();
    const GameTimers& t = c.timers();
    auto anyTimer = [&] {
        for (int i = 0; i < TimerCount; ++i)
            if (t.enabled(static_cast<TimerId>(i))) return true;
        return false;
    };
    for (auto [name, v] : {std::pair{"Vite", c.state().Vite}, {"Livello_Benzina", c.state().Livello_Benzina}, {"Score", c.state().Score},
                           {"Punti_Livello", c.state().Punti_Livello}, {"Livello", c.state().Livello}})
        if (v < 0) return std::string(name) + " is negative";
    if (c.state().Livello > 6) return "Livello above 6";
    if (c.state().Score > 1502) return "Score above 1502";

    // The grid only ever holds rows of the pattern table: never three abreast.
    for (int row = 1; row <= 4; ++row)
        if (p.shown(opponentGridCell(row, 1)) && p.shown(opponentGridCell(row, 2)) &&
            p.shown(opponentGridCell(row, 3)))
            return "row " + std::to_string(row) + " blocks all three lanes";

    // At most one phase of the game runs at a time.
    const std::vector<std::vector<TimerId>> phases = {
        {Timer_MusicaAvvio, Timer_Semaforo1, Timer_Semaforo2, Timer_Semaforo3},
        {Timer_Pista, Timer_Avversari},
        {Timer_MusicaErrore, Timer_Lampeggio1, Timer_Lampeggio2, Timer_Lampeggio3},
        {Timer_MusicaLivello},
        {Timer_MusicaFine},
        {Timer_Continue},
    };
    int running = 0;
    for (const auto& phase : phases) {
        int on = 0;
        for (TimerId id : phase) on += t.enabled(id);
        if (on > 1 && phase.size() > 2) return "two timers of one sequence run together";
        running += on > 0;
    }
    if (running > 1) return "two phases run together";

    // While the power or reset key is held down, the LCD is not yet settled.
    if (!p.shown(Im_OnOff) || !p.shown(Im_ACL)) return {};

    if (!c.state().In_Gioco) {
        if (anyTimer()) return "a timer runs with no game";
        if (c.state().Attesa_Continue) return "a continue offer with no game";
        const std::string want = c.state().Acceso ? "00" : "";
        if (scenario::readout(p) != want) return "idle display reads '" + scenario::readout(p) + "'";
        return {};
    }
    if (!c.state().Acceso) return "a game on a switched-off console";
    if (c.state().Livello < 1) return "no level in a game";
    if (c.state().Attesa_Continue != t.enabled(Timer_Continue)) return "continue flag and timer disagree";

    // The display always reads the score, or the level or continue display.
    if (p.shown(Im_Num00)) {
        const std::string want = c.state().Score == 0 ? "00" : std::to_string(c.state().Score) + "00";
        if (scenario::readout(p) != want)
            return "display reads '" + scenario::readout(p) + "' with Score " + std::to_string(c.state().Score);
    } else {
        const std::string slots = scenario::slotsText(p);
        if (slots != "_ C 0 N" && slots != "_ L - " + std::to_string(c.state().Livello))
            return "display reads slots '" + slots + "'";
    }

    // Lives and fuel indicators follow their counters.
    if (!p.shown(Im_Errori4)) return "lives frame hidden in a game";
    if (p.shown(Im_Errori1) != (c.state().Vite >= 4) || p.shown(Im_Errori2) != (c.state().Vite >= 3) ||
        p.shown(Im_Errori3) != (c.state().Vite >= 2))
        return "lives indicator does not show " + std::to_string(c.state().Vite) + " lives";
    if (c.state().Livello_Benzina >= 3 && !(p.shown(Im_Fuel3) && !p.shown(Im_Fuel2) && !p.shown(Im_Fuel1)))
        return "fuel gauge not full";
    if (c.state().Livello_Benzina == 2 && !(p.shown(Im_Fuel2) && !p.shown(Im_Fuel3) && !p.shown(Im_Fuel1)))
        return "fuel gauge not at half";
    if (c.state().Livello_Benzina == 1 && (p.shown(Im_Fuel2) || p.shown(Im_Fuel3))) return "fuel gauge not low";

    if (t.enabled(Timer_Pista)) {
        if (!t.enabled(Timer_Avversari) || !t.enabled(Timer_Benzina)) return "race timers incomplete";
        if (scenario::riderText(p) != std::to_string(c.state().Corsia)) return "rider shown in lanes " + scenario::riderText(p);
        if (c.state().Marcia < 1 || c.state().Marcia > 3) return "gear out of range";
        const SpeedRow& s = kSpeeds[c.state().Marcia - 1];
        if (t.interval(Timer_Pista) != s.pistaMs || t.interval(Timer_Avversari) != s.avversariMs ||
            c.state().Tono_Motore != s.tone)
            return "speed table not followed at gear " + std::to_string(c.state().Marcia);
        if (!p.shown(Im_Speed1) || p.shown(Im_Speed2) != (c.state().Marcia >= 2) || p.shown(Im_Speed3) != (c.state().Marcia >= 3))
            return "speed pictures wrong at gear " + std::to_string(c.state().Marcia);
        const int groups = p.shown(Im_Linea3sx1) + p.shown(Im_Linea2sx) + p.shown(Im_Linea1sx);
        if (groups != 1) return "track shows " + std::to_string(groups) + " dash groups";
    }
    return {};
}

struct SoakRig : Rig {
    std::string failure;
    void onEvent() override {
        if (failure.empty()) failure = checkInvariants(c);
    }
};

std::uint32_t soakSeed() {
    if (const char* env = std::getenv("VORLAK_SOAK_SEED")) return static_cast<std::uint32_t>(std::strtoul(env, nullptr, 10));
    return 20240611u;
}

}  // namespace

TEST(Soak, RandomGamesKeepTheConsoleConsistent) {
    const std::uint32_t seed = soakSeed();
    std::mt19937 rng(seed);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const char* arrows[] = {"left", "right", "up", "down"};
    const char* others[] = {"shift", "space", "a", "enter", "f1"};
    int games = 0;
    std::int64_t virtualMs = 0;

    for (int game = 0; game < 2500; ++game) {
        SoakRig r;
        r.c.set(&ConsoleState::Speaker_On, pick(2));
        r.clock().setUtcTimeOfDay(static_cast<std::uint32_t>(rng() % 86400000u));
        r.run("power");
        r.run("tap ctrl");
        ++games;
        const std::int64_t limit = 200000 + pick(400000);
        std::string last = "tap ctrl";
        while (r.failure.empty() && r.now() < limit) {
            const int roll = pick(1000);
            std::string cmd;
            if (roll < 300) cmd = "wait " + std::to_string(1 + pick(1500));
            else if (roll < 550) cmd = std::string("tap ") + arrows[pick(4)];
            else if (roll < 620) cmd = std::string(pick(2) ? "press " : "release ") + arrows[pick(4)];
            else if (roll < 720) cmd = pick(3) ? "tap ctrl" : "press ctrl";
            else if (roll < 760) cmd = std::string("tap ") + others[pick(5)];
            else if (roll < 780) cmd = "hold " + std::string(pick(2) ? "ctrl" : arrows[pick(4)]) + " " +
                                       std::to_string(pick(3000)) + " " + std::to_string(200 + pick(600)) + " " +
                                       std::to_string(20 + pick(80));
            else if (roll < 800) cmd = "sound";
            else if (roll < 960) cmd = pick(4) ? "autopilot on " + std::to_string(1 + pick(3)) : "autopilot off";
            else if (roll < 965) cmd = pick(2) ? "power" : "power double";
            else if (roll < 968) cmd = "reset";
            else cmd = "wait " + std::to_string(1000 + pick(20000));
            last = cmd;
            r.run(cmd);
            if (r.failure.empty()) r.failure = checkInvariants(r.c);
            // A game that ended: sometimes a new one on the same console.
            if (!r.c.state().In_Gioco && r.failure.empty()) {
                if (!r.c.state().Acceso) r.run("power");
                if (pick(3) == 0) break;
                r.run("tap ctrl");
                ++games;
            }
        }
        virtualMs += r.now();
        ASSERT_TRUE(r.failure.empty()) << "seed " << seed << ", game " << game << ", " << r.now()
                                       << " ms, after '" << last << "': " << r.failure << '\n'
                                       << r.runner.lcdReport() << r.runner.varsReport() << r.runner.timersReport();
    }
    RecordProperty("games", games);
    RecordProperty("virtual_hours", static_cast<int>(virtualMs / 3600000));
    EXPECT_GT(games, 2500);
}
