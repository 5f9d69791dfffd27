// What a script can expect of the console, one small function each, found by
// name in a table; and "until", which waits for one of them.
#include <algorithm>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/scenario/scenario.h"
#include "tools/scenario/words.h"

namespace vorlak::scenario {
namespace {

constexpr std::int64_t kDefaultUntilLimit = 600000;

// The sound calls from `from` on, one per line, for a failure message.
void listCalls(std::ostream& why, const std::vector<RecordingSound::Call>& calls, std::size_t from) {
    for (std::size_t i = from; i < calls.size(); ++i) why << "\n      " << calls[i].time << " ms  " << calls[i].what;
}

// Four words joined by single spaces: the slots or the grid rows.
std::string fourWords(Words& w, std::string_view what) {
    std::string out;
    for (int k = 0; k < 4; ++k) out += (k ? " " : "") + w.next(what);
    return out;
}

}  // namespace

// Each condition reads its words, says whether it holds, and if not, why.
struct Conditions {
    // The LCD

    static bool shownOrHidden(Runner& r, Words& w, const std::string& what, std::ostream& why) {
        const bool want = what == "shown";
        std::string wrong;
        w.next("element");  // at least one
        --w.pos;
        while (!w.empty()) {
            const std::string name = w.next("element");
            if (r.handheld_->panel().shown(parseElement(name)) != want) wrong += " " + name;
        }
        if (!wrong.empty()) why << "not " << what << ":" << wrong;
        return wrong.empty();
    }

    static bool slots(Runner& r, Words& w, const std::string&, std::ostream& why) {
        const std::string want = fourWords(w, "four slot characters");
        w.end();
        const std::string now = slotsText(r.handheld_->panel());
        if (now != want) why << "slots read " << now << ", expected " << want;
        return now == want;
    }

    static bool reads(Runner& r, Words& w, const std::string&, std::ostream& why) {
        const std::string want = w.next("text");
        w.end();
        const std::string now = readout(r.handheld_->panel());
        if (now != want) why << "display reads '" << now << "', expected '" << want << "'";
        return now == want;
    }

    static bool grid(Runner& r, Words& w, const std::string&, std::ostream& why) {
        const std::string want = fourWords(w, "four rows");
        w.end();
        const std::string now = gridText(r.handheld_->panel());
        if (now != want) why << "grid is " << now << ", expected " << want;
        return now == want;
    }

    static bool rider(Runner& r, Words& w, const std::string&, std::ostream& why) {
        const std::string want = w.next("lane");
        w.end();
        const std::string now = riderText(r.handheld_->panel());
        if (now != want) why << "rider shown in lane(s) " << now << ", expected " << want;
        return now == want;
    }

    // State, timers and time

    static bool var(Runner& r, Words& w, const std::string&, std::ostream& why) {
        const StateVariable& v = parseVariable(w.next("variable"));
        const std::string text = w.next("value");
        w.end();
        const std::int64_t want = parseValue(text);
        const std::int64_t now = v.valueIn(r.handheld_->state());
        if (now != want) why << v.name << " is " << now << ", expected " << want;
        return now == want;
    }

    static bool timer(Runner& r, Words& w, const std::string&, std::ostream& why) {
        const TimerId t = parseTimer(w.next("timer"));
        const bool on = parseOnOff(w.next("on or off"));
        const auto interval = w.optional();
        w.end();
        const GameTimers& timers = r.handheld_->console().timers();
        bool ok = timers.enabled(t) == on;
        if (interval) ok = ok && timers.interval(t) == parseInt(*interval, "interval");
        if (!ok)
            why << timerName(t) << " is " << (timers.enabled(t) ? "on" : "off") << " at " << timers.interval(t)
                << " ms";
        return ok;
    }

    static bool time(Runner& r, Words& w, const std::string&, std::ostream& why) {
        const auto want = parseInt(w.next("time"), "time");
        w.end();
        if (r.clock_.now() != want) why << "time is " << r.clock_.now() << " ms";
        return r.clock_.now() == want;
    }

    // Sound

    static bool tone(Runner& r, Words& w, const std::string&, std::ostream& why) {
        const std::string want = w.next("divisor or off");
        w.end();
        const std::string now = r.sound_.toneSounding() ? std::to_string(r.sound_.toneDivisor()) : "off";
        if (now != want) why << "tone is " << now << ", expected " << want;
        return now == want;
    }

    // sound, no-sound and sound-now: one call made, or not, since the last
    // sound check or at this millisecond.
    static bool soundCall(Runner& r, Words& w, const std::string& what, std::ostream& why) {
        const std::string call = w.rest();
        if (call.empty()) throw ScriptError("missing sound call");
        const bool now = what == "sound-now";
        const auto& calls = r.sound_.calls();
        bool found = false;
        for (std::size_t i = now ? 0 : r.soundMark_; i < calls.size(); ++i)
            if (calls[i].what == call && (!now || calls[i].time == r.clock_.now())) found = true;
        const bool ok = (what == "no-sound") ? !found : found;
        if (!ok) {
            why << "'" << call << "' " << (what == "no-sound" ? "was" : "was not") << " made "
                << (now ? "at this millisecond" : "since the last sound check") << "; calls:";
            listCalls(why, calls, r.soundMark_);
        }
        r.soundMark_ = calls.size();
        return ok;
    }

    // sounds CALL; CALL... and silence: exactly these calls since the last check.
    static bool soundCalls(Runner& r, Words& w, const std::string& what, std::ostream& why) {
        std::vector<std::string> want;
        if (what == "sounds") {
            std::string item;
            std::istringstream in(w.rest());
            while (std::getline(in, item, ';'))
                if (!trim(item).empty()) want.push_back(trim(item));
        }
        w.end();
        const auto& calls = r.sound_.calls();
        std::vector<std::string> got;
        for (std::size_t i = r.soundMark_; i < calls.size(); ++i) got.push_back(calls[i].what);
        const bool ok = got == want;
        if (!ok) {
            why << "sound calls since the last check:";
            if (got.empty()) why << " none";
            listCalls(why, calls, r.soundMark_);
        }
        r.soundMark_ = calls.size();
        return ok;
    }
};

namespace {

using Condition = bool (*)(Runner&, Words&, const std::string& name, std::ostream& why);

struct NamedCondition {
    std::string_view name;
    Condition check;
    bool checksSound;  // moves the sound check point, so cannot be waited for
};

constexpr NamedCondition kConditions[] = {
    {"shown", &Conditions::shownOrHidden, false},
    {"hidden", &Conditions::shownOrHidden, false},
    {"slots", &Conditions::slots, false},
    {"reads", &Conditions::reads, false},
    {"grid", &Conditions::grid, false},
    {"rider", &Conditions::rider, false},
    {"var", &Conditions::var, false},
    {"timer", &Conditions::timer, false},
    {"time", &Conditions::time, false},
    {"tone", &Conditions::tone, false},
    {"sound", &Conditions::soundCall, true},
    {"no-sound", &Conditions::soundCall, true},
    {"sound-now", &Conditions::soundCall, true},
    {"sounds", &Conditions::soundCalls, true},
    {"silence", &Conditions::soundCalls, true},
};

}  // namespace

bool Runner::evaluate(Words& w, std::string& failure, bool allowSound) {
    const std::string what = w.next("condition");
    for (const NamedCondition& condition : kConditions) {
        if (condition.name != what) continue;
        if (condition.checksSound && !allowSound) throw ScriptError("'" + what + "' cannot be waited for");
        std::ostringstream why;
        const bool ok = condition.check(*this, w, what, why);
        failure = why.str();
        return ok;
    }
    throw ScriptError("unknown condition '" + what + "'");
}

void Runner::until(Words& w) {
    // The condition ends at "within", if given.
    std::int64_t limit = kDefaultUntilLimit;
    auto within = std::find(w.items.begin() + static_cast<std::ptrdiff_t>(w.pos), w.items.end(), "within");
    if (within != w.items.end()) {
        if (within + 2 != w.items.end()) throw ScriptError("'within' takes one number, at the end");
        limit = parseInt(*(within + 1), "within");
        w.items.erase(within, w.items.end());
    }
    const std::int64_t deadline = clock_.now() + limit;
    const std::size_t start = w.pos;
    std::string failure;
    for (;;) {
        w.pos = start;
        if (evaluate(w, failure, false)) return;
        const auto next = clock_.nextDue();
        if (!next || *next > deadline) {
            if (next || deadline > clock_.now()) clock_.advanceTo(deadline);
            throw ExpectationFailed("not reached within " + std::to_string(limit) + " ms (" + failure + ")");
        }
        clock_.advanceTo(*next);
    }
}

}  // namespace vorlak::scenario
