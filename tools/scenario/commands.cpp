// The script's commands, one small function each, found by name in a table.
// The help text (script_help.cpp) documents them in the same groups.
#include <ostream>
#include <string>
#include <vector>

#include "tools/scenario/scenario.h"
#include "tools/scenario/words.h"

namespace vorlak::scenario {

struct Commands {
    // Setup

    static void time(Runner& r, Words& w, const std::string&) {
        const auto tod = parseTimeOfDay(w.next("time of day"));
        w.end();
        r.clock_.setUtcTimeOfDay(tod);
    }

    // "draw AT BOUND VALUE[-MAX]", AT absolute or +N from now.
    static WantedDraw wantedDraw(Runner& r, Words& w) {
        if (w.next("draw") != "draw") throw ScriptError("choose-time: expected 'draw AT BOUND VALUE'");
        const std::string at = w.next("draw time");
        WantedDraw d;
        d.at = parseInt(at, "draw time") + (at[0] == '+' ? r.clock_.now() : 0);
        d.bound = static_cast<std::uint32_t>(parseInt(w.next("bound"), "bound"));
        const std::string value = w.next("value");
        const auto dash = value.find('-', 1);
        d.value = static_cast<std::uint32_t>(parseInt(value.substr(0, dash), "value"));
        if (dash != std::string::npos)
            d.upTo = static_cast<std::uint32_t>(parseInt(value.substr(dash + 1), "value"));
        if (d.bound < 1 || d.upTo.value_or(d.value) >= d.bound || d.upTo.value_or(d.value) < d.value)
            throw ScriptError("choose-time: values must be below the bound");
        return d;
    }

    static void chooseTime(Runner& r, Words& w, const std::string&) {
        const auto from = parseTimeOfDay(w.next("time of day to start from"));
        std::vector<WantedDraw> draws;
        while (!w.empty()) draws.push_back(wantedDraw(r, w));
        if (draws.empty()) throw ScriptError("choose-time: no draw given");
        const auto tod = chooseTimeOfDay(from, r.clock_.now(), draws);
        if (!tod) throw ScriptError("choose-time: no time of day gives those draws");
        r.clock_.setUtcTimeOfDay(*tod);
        if (r.trace_) r.out_ << "  time of day set to " << formatTimeOfDay(*tod) << '\n';
    }

    // The launcher's play button with its two lists' positions (-1: none).
    static void playWith(Runner& r, int soundPosition, int systemPosition) {
        r.handheld_->chooseSound(soundPosition);
        r.handheld_->chooseSystem(systemPosition);
        const PlayOutcome outcome = r.handheld_->play(ScreenArea{0, 0, 1024, 768});
        r.soundMark_ = r.sound_.calls().size();  // opening the bank is setup, not play
        if (outcome.next == PlayOutcome::Next::BrokenSoundFolder)
            r.out_ << "  play: " << kBrokenSoundFolderText << '\n';
        else if (!outcome.soundProblem.empty())
            r.out_ << "  play: " << outcome.soundProblem << '\n';
    }

    // "bank 1|2": play with Windows MM or DirectSound and no system chosen.
    static void bank(Runner& r, Words& w, const std::string&) {
        const auto output = parseInt(w.next("output type"), "output type");
        w.end();
        if (output != FSOUND_OUTPUT_WINMM && output != FSOUND_OUTPUT_DSOUND)
            throw ScriptError("bank: output type is 1 or 2");
        playWith(r, output == FSOUND_OUTPUT_WINMM ? Sound_WindowsMM : Sound_DirectSound, kNoChoice);
    }

    // "play SOUND SYSTEM", each a list position or -1.
    static void play(Runner& r, Words& w, const std::string&) {
        const auto sound = parseInt(w.next("sound position"), "sound position");
        const auto system = parseInt(w.next("system position"), "system position");
        w.end();
        playWith(r, static_cast<int>(sound), static_cast<int>(system));
    }

    static void setVariable(Runner& r, const StateVariable& v, std::int64_t value) {
        ConsoleState s = r.handheld_->state();
        v.setIn(s, value);
        r.console().restore(s);
    }

    static void speaker(Runner& r, Words& w, const std::string&) {
        const bool on = parseOnOff(w.next("on or off"));
        w.end();
        setVariable(r, parseVariable("Speaker_On"), on);
    }

    static void set(Runner& r, Words& w, const std::string&) {
        const StateVariable& v = parseVariable(w.next("variable"));
        const std::string text = w.next("value");
        w.end();
        setVariable(r, v, parseValue(text));
    }

    static void showOrHide(Runner& r, Words& w, const std::string& cmd) {
        while (!w.empty()) r.console().panel().setShown(parseElement(w.next("element")), cmd == "show");
    }

    // Console keys

    // click (the default), down, release, ...
    static std::string action(Words& w) {
        const std::string how = w.optional().value_or("click");
        w.end();
        return how;
    }

    // The mouse on one of the console's keys, as the player uses it.
    static void consoleKey(Runner& r, Words& w, const std::string& which) {
        const std::string how = action(w);
        const Element key = which == "power" ? Im_OnOff : which == "reset" ? Im_ACL : Im_Sound;
        constexpr MouseButton left = MouseButton::Left;
        if (how == "click") { r.mouseAt(key, left, true); r.mouseAt(key, left, false); }
        else if (how == "down") r.mouseAt(key, left, true);
        else if (how == "release") r.mouseAt(key, left, false);
        else if (how == "release-outside") r.mouseAt(key, left, false, false);
        else if (how == "double") {
            r.mouseAt(key, left, true);
            r.mouseAt(key, left, false);
            r.doubleClickAt(key);
            r.mouseAt(key, left, false);
        }
        else if (how == "right") { r.mouseAt(key, MouseButton::Right, true); r.mouseAt(key, MouseButton::Right, false); }
        else throw ScriptError(which + ": unknown action '" + how + "'");
    }

    // Keyboard

    static void pressReleaseOrTap(Runner& r, Words& w, const std::string& cmd) {
        const auto key = parseKey(w.next("key"));
        w.end();
        if (cmd != "release") r.keyDown(key);
        if (cmd != "press") r.keyUp(key);
    }

    static void hold(Runner& r, Words& w, const std::string&) {
        const auto key = parseKey(w.next("key"));
        const auto ms = parseInt(w.next("duration"), "duration");
        const KeyboardTraits desktop;  // the usual desktop repeat
        const auto delay = w.empty() ? desktop.repeatDelayMs : parseInt(w.next("delay"), "delay");
        const auto rate = w.empty() ? desktop.repeatIntervalMs : parseInt(w.next("rate"), "rate");
        w.end();
        if (ms < 0 || delay < 1 || rate < 1) throw ScriptError("hold needs MS >= 0, DELAY >= 1, RATE >= 1");
        // Key repeats come as further key-downs, as the desktop sends them.
        const std::int64_t start = r.clock_.now();
        const std::int64_t end = start + ms;
        r.keyDown(key);
        for (std::int64_t t = start + delay; t < end; t += rate) {
            r.advanceTo(t);
            r.keyDown(key, true);
        }
        r.advanceTo(end);
        r.keyUp(key);
    }

    // Time

    static void wait(Runner& r, Words& w, const std::string&) {
        const auto ms = parseInt(w.next("duration"), "duration");
        w.end();
        if (ms < 0) throw ScriptError("wait: negative duration");
        r.advanceTo(r.clock_.now() + ms);
    }

    static void at(Runner& r, Words& w, const std::string&) {
        const auto t = parseInt(w.next("time"), "time");
        w.end();
        r.advanceTo(t);
    }

    static void until(Runner& r, Words& w, const std::string&) { r.until(w); }

    static void clearRoad(Runner& r, Words& w, const std::string&) {
        r.clearRoad_ = parseOnOff(w.next("on or off"));
        w.end();
    }

    static void autopilot(Runner& r, Words& w, const std::string&) {
        r.autopilot_ = parseOnOff(w.next("on or off"));
        r.autopilotGear_ = 1;
        r.autopilotCollects_ = true;
        while (r.autopilot_ && !w.empty()) {
            const std::string option = w.next("option");
            if (option == "nocollect") {
                r.autopilotCollects_ = false;
                continue;
            }
            r.autopilotGear_ = static_cast<int>(parseInt(option, "gear"));
            if (r.autopilotGear_ < 1 || r.autopilotGear_ > 3) throw ScriptError("autopilot: gear is 1 to 3");
        }
        w.end();
        if (r.autopilot_) r.autopilotStep();
    }

    // Reports

    static void print(Runner& r, Words& w, const std::string&) {
        const std::string what = w.optional().value_or("lcd");
        w.end();
        r.print(what);
    }

    static void trace(Runner& r, Words& w, const std::string&) {
        r.trace_ = parseOnOff(w.next("on or off"));
        w.end();
    }

    static void echo(Runner& r, Words& w, const std::string&) { r.out_ << w.rest() << '\n'; }

    // Expectations

    static void expect(Runner& r, Words& w, const std::string&) {
        std::string failure;
        if (!r.evaluate(w, failure, true))
            throw ExpectationFailed("expectation failed at " + std::to_string(r.clock_.now()) + " ms: " + failure);
    }
};

namespace {

// A command gets the line's remaining words and its own name.
using Command = void (*)(Runner&, Words&, const std::string& name);

struct NamedCommand {
    std::string_view name;
    Command run;
};

constexpr NamedCommand kCommands[] = {
    {"time", &Commands::time},
    {"choose-time", &Commands::chooseTime},
    {"bank", &Commands::bank},
    {"play", &Commands::play},
    {"speaker", &Commands::speaker},
    {"set", &Commands::set},
    {"show", &Commands::showOrHide},
    {"hide", &Commands::showOrHide},
    {"power", &Commands::consoleKey},
    {"reset", &Commands::consoleKey},
    {"sound", &Commands::consoleKey},
    {"press", &Commands::pressReleaseOrTap},
    {"release", &Commands::pressReleaseOrTap},
    {"tap", &Commands::pressReleaseOrTap},
    {"hold", &Commands::hold},
    {"wait", &Commands::wait},
    {"at", &Commands::at},
    {"until", &Commands::until},
    {"autopilot", &Commands::autopilot},
    {"clear-road", &Commands::clearRoad},
    {"print", &Commands::print},
    {"trace", &Commands::trace},
    {"echo", &Commands::echo},
    {"expect", &Commands::expect},
};

}  // namespace

void Runner::execute(std::string_view rawLine) {
    const std::string line(rawLine.substr(0, rawLine.find('#')));
    Words w(line);
    if (w.empty()) return;
    const std::string cmd = w.next("command");
    for (const NamedCommand& command : kCommands)
        if (command.name == cmd) return command.run(*this, w, cmd);
    throw ScriptError("unknown command '" + cmd + "'");
}

}  // namespace vorlak::scenario
