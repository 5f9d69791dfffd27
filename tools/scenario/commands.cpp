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

    static void bank(Runner& r, Words& w, const std::string&) {
        const auto output = parseInt(w.next("output type"), "output type");
        w.end();
        if (output != FSOUND_OUTPUT_WINMM && output != FSOUND_OUTPUT_DSOUND)
            throw ScriptError("bank: output type is 1 or 2");
        r.console_->Suono_Pronto = true;
        r.console_->openSampleBank(static_cast<int>(output));
        r.soundMark_ = r.sound_.calls().size();  // opening the bank is setup, not play
    }

    static void speaker(Runner& r, Words& w, const std::string&) {
        r.console_->Speaker_On = parseOnOff(w.next("on or off"));
        w.end();
    }

    static void set(Runner& r, Words& w, const std::string&) {
        const Variable& v = parseVariable(w.next("variable"));
        const std::string text = w.next("value");
        w.end();
        const auto value = parseValue(text);
        Console& c = *r.console_;
        if (v.flag)
            c.*(v.flag) = value != 0;
        else
            c.*(v.counter) = static_cast<std::int32_t>(value);
    }

    static void showOrHide(Runner& r, Words& w, const std::string& cmd) {
        while (!w.empty()) r.console_->panel().setShown(parseElement(w.next("element")), cmd == "show");
    }

    // Console keys

    // click (the default), down, release, ...
    static std::string action(Words& w) {
        const std::string how = w.optional().value_or("click");
        w.end();
        return how;
    }

    static void soundKey(Runner& r, Words& w, const std::string&) {
        const std::string how = action(w);
        Console& c = *r.console_;
        auto down = [&](MouseButton b) { c.Im_SoundMouseDown(b); r.afterEvent(); };
        auto up = [&] { c.Im_SoundMouseUp(); r.afterEvent(); };
        if (how == "click") { down(MouseButton::Left); up(); }
        else if (how == "down") down(MouseButton::Left);
        else if (how == "release") up();
        else if (how == "double") { down(MouseButton::Left); up(); down(MouseButton::Left); up(); }
        else if (how == "right") { down(MouseButton::Right); up(); }
        else throw ScriptError("sound: unknown action '" + how + "'");
    }

    static void powerOrResetKey(Runner& r, Words& w, const std::string& which) {
        const std::string how = action(w);
        Console& c = *r.console_;
        const bool power = which == "power";
        auto down = [&](MouseButton b) {
            power ? c.Im_OnOffMouseDown(b) : c.Im_ACLMouseDown(b);
            r.afterEvent();
        };
        auto click = [&] { power ? c.Im_OnOffClick() : c.Im_ACLClick(); r.afterEvent(); };
        auto up = [&] { power ? c.Im_OnOffMouseUp() : c.Im_ACLMouseUp(); r.afterEvent(); };
        if (how == "click") { down(MouseButton::Left); click(); up(); }
        else if (how == "down") down(MouseButton::Left);
        else if (how == "release") { click(); up(); }
        else if (how == "release-outside") up();
        // The second press of a double click runs the double-click handler, then
        // the mouse-down handler; its release runs no click.
        else if (how == "double") { down(MouseButton::Left); click(); up(); click(); down(MouseButton::Left); up(); }
        else if (how == "right") { down(MouseButton::Right); up(); }
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
        const auto delay = w.empty() ? 500 : parseInt(w.next("delay"), "delay");
        const auto rate = w.empty() ? 33 : parseInt(w.next("rate"), "rate");
        w.end();
        if (ms < 0 || delay < 1 || rate < 1) throw ScriptError("hold needs MS >= 0, DELAY >= 1, RATE >= 1");
        // Key repeats come as further key-downs, as the desktop sends them.
        const std::int64_t start = r.clock_.now();
        const std::int64_t end = start + ms;
        r.keyDown(key);
        for (std::int64_t t = start + delay; t < end; t += rate) {
            r.advanceTo(t);
            r.keyDown(key);
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
    {"speaker", &Commands::speaker},
    {"set", &Commands::set},
    {"show", &Commands::showOrHide},
    {"hide", &Commands::showOrHide},
    {"power", &Commands::powerOrResetKey},
    {"reset", &Commands::powerOrResetKey},
    {"sound", &Commands::soundKey},
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
