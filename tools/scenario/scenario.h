// Drives a console under virtual time from a plain-text script and reports it
// as a player would see it. Used by the vorlak-scenario tool, the game tests
// and the headless benchmark.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "game/console.h"
#include "game/handheld.h"
#include "game/settings.h"
#include "game/timers.h"
#include "sound/recording_sound.h"
#include "tools/scenario/readout.h"
#include "tools/scenario/time_of_day.h"

namespace vorlak::scenario {

// The format, with an example; printed by the tool's --help.
std::string_view scriptHelp();

// A line that cannot be run.
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

struct Words;

// The runner is the console's front end: it has no window, and it reports
// every key repeat itself, as a system that repeats every key does.
class Runner : private FrontEnd {
public:
    // Reports (print, trace) go to `out`.
    explicit Runner(std::ostream& out);
    ~Runner() override;
    Runner(const Runner&) = delete;
    Runner& operator=(const Runner&) = delete;

    // Runs a whole script; stops at the first failure.
    RunResult run(std::istream& script);
    RunResult runText(std::string_view script);
    // One line; throws ScriptError on a syntax error or a failed expectation.
    void execute(std::string_view line);

    Handheld& handheld() { return *handheld_; }
    Console& console() { return handheld_->console(); }
    MemorySettings& settings() { return settings_; }
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
    // The script's commands (commands.cpp) and expectations (expectations.cpp),
    // one small function each, work on the runner's state.
    friend struct Commands;
    friend struct Conditions;

    void keyDown(std::uint16_t key, bool repeat = false);
    void keyUp(std::uint16_t key);
    // A click, press or release of the mouse at the middle of an element.
    void mouseAt(Element e, MouseButton button, bool press, bool inside = true);
    void doubleClickAt(Element e);

    // FrontEnd: no window to draw, move or put a menu on.
    void panelChanged(const Rect&) override {}
    void moveWindowBy(int, int) override {}
    void openMenu(Point) override {}
    void showLauncher() override {}
    void setClientHeight(int) override {}
    void advanceTo(std::int64_t time);
    bool evaluate(Words& w, std::string& failure, bool allowSound);
    void until(Words& w);
    void afterEvent();
    void autopilotStep();
    void print(std::string_view what);

    std::ostream& out_;
    ManualClock clock_;
    RecordingSound sound_;
    MemorySettings settings_;
    std::unique_ptr<Handheld> handheld_;
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
