// Drives a console under virtual time from a plain-text script and reports it
// as a player would see it. Used by the vorlak-scenario tool and by tests.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "game/console.h"
#include "game/timers.h"
#include "sound/recording_sound.h"

namespace vorlak::scenario {

// The format, with an example; printed by the tool's --help.
std::string_view scriptHelp();

// A draw the game will make at a virtual time, and the values wanted from it.
struct WantedDraw {
    std::int64_t at = 0;  // virtual time of the draw, ms
    std::uint32_t bound = 1;
    std::uint32_t value = 0;
    std::optional<std::uint32_t> upTo{};  // accept value..upTo (inclusive)
};

// The first time of day (ms, at or after `from`, wrapping at midnight) that,
// set at virtual time `now`, makes every listed draw give its value under the
// reseed-then-draw rule. Empty when none exists within a day.
std::optional<std::uint32_t> chooseTimeOfDay(std::uint32_t from, std::int64_t now,
                                             const std::vector<WantedDraw>& draws);

// The value a single draw with `bound` gives right after reseeding with `seed`.
std::uint32_t drawAfterReseed(std::uint32_t seed, std::uint32_t bound);

// What a digit slot holds, as one character: '0'-'9', 'L', '-', 'C', 'N', or '_'.
char slotChar(const Panel& panel, Element slot);

// The four slots left to right, e.g. "_ L - 1".
std::string slotsText(const Panel& panel);

// The number as a player reads it: the lit slots followed by the fixed zeros
// when they are shown, e.g. "1500", "L-1", "C0N", "00".
std::string readout(const Panel& panel);

// A line that cannot be run.
// The opponent rows far to near, lanes left to right, 'X' lit: "... .X. ... X.X".
std::string gridText(const Panel& panel);

// The lanes whose rider is shown, e.g. "2", or "none".
std::string riderText(const Panel& panel);

class ScriptError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A line that ran, but the console was not as expected.
class ExpectationFailed : public ScriptError {
public:
    using ScriptError::ScriptError;
};

struct RunResult {
    bool ok = true;
    bool expectationFailed = false;  // else a script error, when not ok
    int line = 0;         // line of the failure, 0 when ok
    std::string message;  // "line N: ..." when failed
};

class Runner {
public:
    // Reports (print, trace) go to `out`.
    explicit Runner(std::ostream& out);
    ~Runner();
    Runner(const Runner&) = delete;
    Runner& operator=(const Runner&) = delete;

    // Runs a whole script; stops at the first failure.
    RunResult run(std::istream& script);
    RunResult runText(std::string_view script);
    // One line; throws ScriptError on a syntax error or a failed expectation.
    void execute(std::string_view line);

    Console& console() { return *console_; }
    ManualClock& clock() { return clock_; }
    RecordingSound& sound() { return sound_; }
    const RecordingSound& sound() const { return sound_; }

    std::string lcdReport() const;
    std::string varsReport() const;
    std::string timersReport() const;

    // Called after every timer tick and every key or button handler.
    void setEventHook(std::function<void()> hook) { hook_ = std::move(hook); }
    // Called at every timer tick, before the console handles it.
    void setTickHook(std::function<void(TimerId)> hook) { tickHook_ = std::move(hook); }

private:
    struct Words;
    void keyDown(std::uint16_t key);
    void keyUp(std::uint16_t key);
    void consoleKey(Words& w);
    void advanceTo(std::int64_t time);
    void hold(std::uint16_t key, std::int64_t ms, std::int64_t delay, std::int64_t rate);
    bool evaluate(Words& w, std::string& failure, bool allowSound);
    void until(Words& w);
    void afterEvent();
    void autopilotStep();
    void print(std::string_view what);

    std::ostream& out_;
    ManualClock clock_;
    RecordingSound sound_;
    std::unique_ptr<Console> console_;
    std::size_t soundMark_ = 0;  // sound calls before this index have been checked
    bool trace_ = false;
    bool clearRoad_ = false;
    bool autopilot_ = false;
    int autopilotGear_ = 1;
    bool autopilotCollects_ = true;
    bool inAutopilot_ = false;
    std::function<void()> hook_;
    std::function<void(TimerId)> tickHook_;
};

}  // namespace vorlak::scenario
