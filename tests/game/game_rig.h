// A console under virtual time with sound, as the game tests drive it.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <sstream>
#include <string>
#include <vector>

#include "game/console.h"
#include "tools/scenario/scenario.h"

namespace vorlak::testing {

// The start sequence lasts 4125 + 882 + 1200 + 1400 ms.
constexpr std::int64_t kStartSequenceMs = 7607;
constexpr std::uint32_t kNoon = 12 * 3600 * 1000;

// The opponent pattern table, lanes 1 to 3 per pattern.
constexpr std::array<std::array<bool, 3>, 12> kPatterns = {{
    {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 1, 0}, {1, 0, 1}, {0, 1, 1},
    {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0},
}};

struct SpeedRow {
    int marcia, pistaMs, avversariMs, tone, divisor, patternBound;
};
constexpr SpeedRow kSpeeds[] = {
    {1, 380, 600, 20, 59664, 12},
    {2, 250, 450, 22, 54240, 10},
    {3, 100, 350, 26, 45895, 8},
};

struct Tick {
    TimerId id;
    std::int64_t at;
};

// Sound on and the engine tone allowed, as after choosing Windows MM.
class Rig {
public:
    explicit Rig(bool withSound = true) {
        runner.setEventHook([this] { onEvent(); });
        runner.setTickHook([this](TimerId id) { ticks.push_back({id, clock().now()}); });
        if (withSound) runner.execute("play 0 0");  // Windows MM, and the engine tone
        clock().setUtcTimeOfDay(kNoon);
        mark();
    }
    virtual ~Rig() = default;

    virtual void onEvent() {}

    ManualClock& clock() { return runner.clock(); }
    std::int64_t now() { return clock().now(); }
    const Panel& panel() const { return c.panel(); }
    bool shown(Element e) const { return c.panel().shown(e); }

    void run(const std::string& script) {
        std::istringstream in(script);
        const auto result = runner.run(in);
        ASSERT_TRUE(result.ok) << result.message;
    }

    void powerOn() {
        c.Im_OnOffMouseDown(MouseButton::Left);
        c.Im_OnOffClick();
        c.Im_OnOffMouseUp();
    }
    void tap(std::uint16_t key) {
        c.FormKeyDown(key);
        c.FormKeyUp(key);
    }
    void advance(std::int64_t ms) { clock().advance(ms); }
    void advanceTo(std::int64_t t) { clock().advanceTo(t); }

    // Power on, CTRL, and the start sequence: the race runs from the returned time.
    std::int64_t startRace() {
        powerOn();
        tap(kKeyControl);
        advance(kStartSequenceMs);
        return now();
    }

    // Times of the ticks of one timer so far, optionally only from `from` on.
    std::vector<std::int64_t> tickTimes(TimerId id, std::int64_t from = 0) const {
        std::vector<std::int64_t> out;
        for (const Tick& t : ticks)
            if (t.id == id && t.at >= from) out.push_back(t.at);
        return out;
    }

    // Sound calls since the last mark, as "play Start.wav", "tone off", ...
    std::vector<std::string> sounds() const {
        std::vector<std::string> out;
        for (std::size_t i = soundMark; i < runner.sound().calls().size(); ++i)
            out.push_back(runner.sound().calls()[i].what);
        return out;
    }
    std::vector<std::string> soundsAt(std::int64_t t) const {
        std::vector<std::string> out;
        for (const auto& call : runner.sound().calls())
            if (call.time == t) out.push_back(call.what);
        return out;
    }
    void mark() { soundMark = runner.sound().calls().size(); }

    void setRow(int row, std::array<bool, 3> lanes) {
        for (int lane = 1; lane <= 3; ++lane) c.panel().setShown(opponentGridCell(row, lane), lanes[lane - 1]);
    }
    std::array<bool, 3> row(int r) const {
        return {shown(opponentGridCell(r, 1)), shown(opponentGridCell(r, 2)), shown(opponentGridCell(r, 3))};
    }

    // The draw the game makes at virtual time t, under the reseed-then-draw rule.
    std::uint32_t drawAt(std::int64_t t, std::uint32_t bound) {
        const std::int64_t day = 24LL * 3600 * 1000;
        const auto seed = static_cast<std::uint32_t>(((clock().utcTimeOfDayMs() + t - now()) % day + day) % day);
        return scenario::drawAfterReseed(seed, bound);
    }

    // Sets the time of day so that the draws made at the given times give the values.
    void steer(const std::vector<scenario::WantedDraw>& draws) {
        const auto tod = scenario::chooseTimeOfDay(kNoon, now(), draws);
        ASSERT_TRUE(tod.has_value());
        clock().setUtcTimeOfDay(*tod);
    }

    std::ostringstream log;
    scenario::Runner runner{log};
    Console& c = runner.console();
    std::vector<Tick> ticks;
    std::size_t soundMark = 0;
};

using Sounds = std::vector<std::string>;

}  // namespace vorlak::testing
