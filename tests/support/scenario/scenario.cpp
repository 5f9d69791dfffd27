#include "tests/support/scenario/scenario.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <istream>
#include <ostream>
#include <sstream>

namespace vorlak::scenario {
namespace {

constexpr std::int64_t kMsPerDay = 24LL * 60 * 60 * 1000;
constexpr std::int64_t kDefaultUntilLimit = 600000;

constexpr std::string_view kHelp = R"help(vorlak-scenario: plays the console in virtual time from a script.

Usage: vorlak-scenario [--trace] [SCRIPT]     (no SCRIPT, or "-": read stdin)
Exit status: 0 when every expectation held, 1 on a failed expectation,
2 on a script error. A failure names the script line.

The console is created and left switched off, with no sound bank opened
(as after choosing "(no sound)"). Virtual time starts at 0 ms; the time of
day that the random reseed reads starts at 00:00:00.000. One command per
line; '#' starts a comment. Commands run at the current virtual time: every
timer tick due at or before that time has already fired.

Setup
  time HH:MM:SS[.mmm] | time MS   set the UTC time of day at this instant
  choose-time FROM draw AT BOUND VALUE[-MAX] [draw ...]
                        set the first time of day at or after FROM that makes
                        the draw made at virtual time AT (ms; +N = now + N)
                        with BOUND give VALUE (or VALUE to MAX), for every
                        listed draw. Opponent rows are drawn at each opponent
                        step with bound 12, 10 or 8 (patterns 6 and up are
                        empty); a service stop's side with bound 2 (0 left)
  bank 1|2              open the sample bank (Windows MM / DirectSound) and
                        mark sound ready (its loading calls are not checked)
  speaker on|off        let the engine tone sound (Speaker_On)
  set VAR VALUE         set a state variable (0/1 for flags)
  show ELEMENT | hide ELEMENT   set an element's shown flag

Console keys (mouse on the picture buttons, left button)
  power|reset [click|down|release|release-outside|double|right]
  sound [click|down|release|double|right]
      click (default): press and release inside; down: press only;
      release: release inside (runs the click handler first);
      release-outside: release with no click; double: a double click;
      right: a right-button press and release

Keyboard (KEY: ctrl left right up down shift space enter esc f1-f12,
a letter or digit, or vkNN for any virtual key code)
  press KEY             key down (pressing a held key again is a key repeat)
  release KEY           key up
  tap KEY               key down then key up
  hold KEY MS [DELAY [RATE]]   key down now, repeated key-downs DELAY ms
                        later (default 500) and then every RATE ms (default
                        33), one key up MS later; time advances by MS

Time
  wait MS               advance virtual time by MS
  at MS                 advance to virtual time MS
  until COND [within MS]  advance tick by tick until COND holds; fails after
                        MS (default 600000)
  clear-road on|off     test aid: hide every opponent after every tick, so
                        that no crash and no points come while keys are tried
  autopilot on [GEAR] [nocollect] | off   after every tick of a race: keep
                        the gear, collect any service stop shown (unless
                        nocollect), and leave a lane whose nearest opponent
                        cell is lit

Reports
  print [lcd|vars|timers|sound|all]   (default lcd)
  trace on|off          print every tick and key as it happens
  echo TEXT

Expectations: expect COND
  shown ELEMENT...      hidden ELEMENT...
  slots A B C D         digit slots left to right: 0-9 L - C N, _ blank
  reads TEXT            lit slots then the fixed zeros if shown ("1500", "L-1")
  grid R4 R3 R2 R1      opponent rows far to near, lanes left to right,
                        'X' lit, '.' dark, e.g. grid ... .X. ... X.X
  rider LANE|none       exactly one rider shown, in LANE
  var VAR VALUE         timer TIMER on|off [INTERVAL]     time MS
  tone DIVISOR|off      the engine tone now
  sound CALL            CALL was made since the last sound check
  no-sound CALL         CALL was not made since the last sound check
  sound-now CALL        CALL was made at the current millisecond
  sounds CALL; CALL...  exactly these calls since the last sound check
  silence               no call since the last sound check
  Sound calls read: play Start.wav, stop all, tone 59664, tone off, ...
  A sound check moves the check point to now.

Example: a new game's start sequence
  bank 1
  speaker on
  power
  time 12:00:00.000
  tap ctrl
  expect sound play Start.wav
  at 4125
  expect shown Im_Semaforo1 Im_Semaforo2 Im_Semaforo3
  expect slots _ L - 1
  expect sound-now play Semaph.wav
  at 7606
  expect shown Im_Semaforo3
  at 7607
  expect hidden Im_Semaforo3
  expect rider 2
  expect reads 00
  expect tone 59664
  expect timer Timer_Avversari on 600
)help";

}  // namespace

// The words of one line, consumed left to right.
struct Runner::Words {
    std::vector<std::string> items;
    std::size_t pos = 0;

    explicit Words(std::string_view line) {
        std::istringstream in{std::string(line)};
        std::string w;
        while (in >> w) items.push_back(w);
    }
    bool empty() const { return pos >= items.size(); }
    std::string next(std::string_view what) {
        if (empty()) throw ScriptError("missing " + std::string(what));
        return items[pos++];
    }
    std::optional<std::string> optional() {
        if (empty()) return std::nullopt;
        return items[pos++];
    }
    std::string rest() {
        std::string out;
        while (!empty()) {
            if (!out.empty()) out += ' ';
            out += items[pos++];
        }
        return out;
    }
    void end() {
        if (!empty()) throw ScriptError("unexpected '" + items[pos] + "'");
    }
};

namespace {

std::int64_t parseInt(const std::string& text, std::string_view what) {
    std::int64_t v = 0;
    const char* first = text.data();
    const char* last = first + text.size();
    if (!text.empty() && text[0] == '+') ++first;
    auto [ptr, ec] = std::from_chars(first, last, v);
    if (ec != std::errc() || ptr != last || first == last)
        throw ScriptError("'" + text + "' is not a number (" + std::string(what) + ")");
    return v;
}

std::uint32_t parseTimeOfDay(const std::string& text) {
    if (text.find(':') == std::string::npos) {
        const auto v = parseInt(text, "time of day in ms");
        if (v < 0 || v >= kMsPerDay) throw ScriptError("time of day out of range: " + text);
        return static_cast<std::uint32_t>(v);
    }
    int h = 0, m = 0, s = 0, ms = 0;
    char tail = 0;
    const int n = std::sscanf(text.c_str(), "%d:%d:%d.%d%c", &h, &m, &s, &ms, &tail);
    if (n < 3 || n > 4 || h < 0 || h > 23 || m < 0 || m > 59 || s < 0 || s > 59 || ms < 0 || ms > 999)
        throw ScriptError("bad time of day '" + text + "' (HH:MM:SS[.mmm])");
    return static_cast<std::uint32_t>(((h * 60 + m) * 60 + s) * 1000 + ms);
}

std::string formatTimeOfDay(std::uint32_t ms) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02u:%02u:%02u.%03u", ms / 3600000, ms / 60000 % 60, ms / 1000 % 60, ms % 1000);
    return buf;
}

bool parseOnOff(const std::string& text) {
    if (text == "on" || text == "1" || text == "true") return true;
    if (text == "off" || text == "0" || text == "false") return false;
    throw ScriptError("expected on or off, got '" + text + "'");
}

Element parseElement(const std::string& name) {
    const auto e = elementByName(name);
    if (!e) throw ScriptError("no element called '" + name + "'");
    return *e;
}

TimerId parseTimer(const std::string& name) {
    const auto t = timerByName(name);
    if (!t) throw ScriptError("no timer called '" + name + "'");
    return *t;
}

std::uint16_t parseKey(const std::string& name) {
    static const std::pair<std::string_view, std::uint16_t> named[] = {
        {"ctrl", VK_CONTROL}, {"left", VK_LEFT}, {"up", VK_UP},     {"right", VK_RIGHT},
        {"down", VK_DOWN},    {"shift", 16},     {"space", 32},     {"enter", 13},
        {"esc", 27},          {"tab", 9},        {"backspace", 8},
    };
    for (auto [n, code] : named)
        if (name == n) return code;
    if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0])))
        return static_cast<std::uint16_t>(std::toupper(static_cast<unsigned char>(name[0])));
    if ((name[0] == 'f' || name[0] == 'F') && name.size() <= 3) {
        const auto n = parseInt(name.substr(1), "function key");
        if (n >= 1 && n <= 12) return static_cast<std::uint16_t>(111 + n);
    }
    if (name.rfind("vk", 0) == 0) {
        const auto code = parseInt(name.substr(2), "virtual key code");
        if (code >= 0 && code <= 0xFFFF) return static_cast<std::uint16_t>(code);
    }
    throw ScriptError("unknown key '" + name + "'");
}

std::string keyName(std::uint16_t key) {
    switch (key) {
        case VK_CONTROL: return "ctrl";
        case VK_LEFT: return "left";
        case VK_UP: return "up";
        case VK_RIGHT: return "right";
        case VK_DOWN: return "down";
        default: return "vk" + std::to_string(key);
    }
}

// The state variables by their names.
struct Variable {
    std::string_view name;
    bool Console::*flag = nullptr;
    std::int32_t Console::*counter = nullptr;
};

constexpr Variable kVariables[] = {
    {"Acceso", &Console::Acceso, nullptr},
    {"In_Gioco", &Console::In_Gioco, nullptr},
    {"Tasto_Libero", &Console::Tasto_Libero, nullptr},
    {"Attesa_Continue", &Console::Attesa_Continue, nullptr},
    {"Suono_On", &Console::Suono_On, nullptr},
    {"Suono_Pronto", &Console::Suono_Pronto, nullptr},
    {"Speaker_On", &Console::Speaker_On, nullptr},
    {"Primo_Avvio", &Console::Primo_Avvio, nullptr},
    {"Corsia", nullptr, &Console::Corsia},
    {"Marcia", nullptr, &Console::Marcia},
    {"Livello_Benzina", nullptr, &Console::Livello_Benzina},
    {"Vite", nullptr, &Console::Vite},
    {"Livello", nullptr, &Console::Livello},
    {"Score", nullptr, &Console::Score},
    {"Punti_Livello", nullptr, &Console::Punti_Livello},
    {"Traguardo", nullptr, &Console::Traguardo},
    {"Tono_Motore", nullptr, &Console::Tono_Motore},
    {"Mouse_X", nullptr, &Console::Mouse_X},
    {"Mouse_Y", nullptr, &Console::Mouse_Y},
};

const Variable& parseVariable(const std::string& name) {
    for (const Variable& v : kVariables)
        if (v.name == name) return v;
    throw ScriptError("no variable called '" + name + "'");
}

std::int64_t valueOf(const Console& c, const Variable& v) {
    return v.flag ? static_cast<std::int64_t>(c.*(v.flag)) : static_cast<std::int64_t>(c.*(v.counter));
}

bool isReported(Element e) {
    // Skin, keys, hint areas, slots, templates and the grid are reported apart.
    switch (e) {
        case CoolForm1: case Im_Principale: case Im_Sound: case Im_ACL: case Im_Start: case Im_OnOff:
        case Sh_Su: case Sh_Sx: case Sh_Dx: case Sh_Giu:
            return false;
        default: break;
    }
    if (isDigitSlot(e) || isTemplate(e)) return false;
    for (int row = 1; row <= 4; ++row)
        for (int lane = 1; lane <= 3; ++lane)
            if (e == opponentGridCell(row, lane)) return false;
    return true;
}

std::string trim(std::string s) {
    const auto a = s.find_first_not_of(" \t");
    if (a == std::string::npos) return "";
    const auto b = s.find_last_not_of(" \t");
    return s.substr(a, b - a + 1);
}

}  // namespace

std::string_view scriptHelp() { return kHelp; }

std::string gridText(const Panel& p) {
    std::string out;
    for (int row = 4; row >= 1; --row) {
        if (row != 4) out += ' ';
        for (int lane = 1; lane <= 3; ++lane) out += p.shown(opponentGridCell(row, lane)) ? 'X' : '.';
    }
    return out;
}

std::string riderText(const Panel& p) {
    std::string lanes;
    for (Element e : {Im_Moto1, Im_Moto2, Im_Moto3})
        if (p.shown(e)) lanes += (lanes.empty() ? "" : ",") + std::to_string(e - Im_Moto1 + 1);
    return lanes.empty() ? "none" : lanes;
}

std::uint32_t drawAfterReseed(std::uint32_t seed, std::uint32_t bound) {
    RandomDraw r;
    r.reseed(seed);
    return r.draw(bound);
}

std::optional<std::uint32_t> chooseTimeOfDay(std::uint32_t from, std::int64_t now,
                                             const std::vector<WantedDraw>& draws) {
    for (std::int64_t k = 0; k < kMsPerDay; ++k) {
        const std::int64_t candidate = (from + k) % kMsPerDay;
        bool all = true;
        for (const WantedDraw& d : draws) {
            const auto seed = static_cast<std::uint32_t>(((candidate + d.at - now) % kMsPerDay + kMsPerDay) % kMsPerDay);
            const auto v = drawAfterReseed(seed, d.bound);
            if (v < d.value || v > d.upTo.value_or(d.value)) {
                all = false;
                break;
            }
        }
        if (all) return static_cast<std::uint32_t>(candidate);
    }
    return std::nullopt;
}

char slotChar(const Panel& panel, Element slot) {
    const auto pic = panel.slotPicture(slot);
    if (!pic) return '_';
    if (*pic >= Im_Num0 && *pic <= Im_Num9) return static_cast<char>('0' + (*pic - Im_Num0));
    switch (*pic) {
        case Im_NumL: return 'L';
        case Im_NumM: return '-';
        case Im_NumC: return 'C';
        case Im_NumN: return 'N';
        default: return '?';
    }
}

std::string slotsText(const Panel& panel) {
    std::string out;
    for (Element slot : {Im_NumPos1, Im_NumPos2, Im_NumPos3, Im_NumPos4}) {
        if (!out.empty()) out += ' ';
        out += panel.shown(slot) ? slotChar(panel, slot) : '_';
    }
    return out;
}

std::string readout(const Panel& panel) {
    std::string out;
    for (Element slot : {Im_NumPos1, Im_NumPos2, Im_NumPos3, Im_NumPos4}) {
        const char c = panel.shown(slot) ? slotChar(panel, slot) : '_';
        if (c != '_') out += c;
    }
    if (panel.shown(Im_Num00)) out += "00";
    return out;
}

Runner::Runner(std::ostream& out) : out_(out) {
    console_ = std::make_unique<Console>(clock_, sound_, sound_);
    clock_.setTickHandler([this](TimerId id) {
        if (trace_) out_ << "  " << clock_.now() << " ms  tick " << timerName(id) << '\n';
        if (tickHook_) tickHook_(id);
        console_->onTimer(id);
        afterEvent();
    });
    sound_.setTimeSource([this] { return clock_.now(); });
    console_->FormCreate();
}

Runner::~Runner() = default;

void Runner::afterEvent() {
    if (clearRoad_)
        for (int row = 1; row <= 4; ++row)
            for (int lane = 1; lane <= 3; ++lane) console_->panel().hide(opponentGridCell(row, lane));
    if (autopilot_ && !inAutopilot_) autopilotStep();
    if (hook_) hook_();
}

void Runner::keyDown(std::uint16_t key) {
    if (trace_) out_ << "  " << clock_.now() << " ms  key down " << keyName(key) << '\n';
    console_->FormKeyDown(key);
    afterEvent();
}

void Runner::keyUp(std::uint16_t key) {
    if (trace_) out_ << "  " << clock_.now() << " ms  key up " << keyName(key) << '\n';
    console_->FormKeyUp(key);
    afterEvent();
}

void Runner::advanceTo(std::int64_t time) {
    if (time < clock_.now())
        throw ScriptError("time " + std::to_string(time) + " ms is already past (now " +
                          std::to_string(clock_.now()) + " ms)");
    clock_.advanceTo(time);
}

void Runner::hold(std::uint16_t key, std::int64_t ms, std::int64_t delay, std::int64_t rate) {
    if (ms < 0 || delay < 1 || rate < 1) throw ScriptError("hold needs MS >= 0, DELAY >= 1, RATE >= 1");
    const std::int64_t start = clock_.now();
    const std::int64_t end = start + ms;
    keyDown(key);
    for (std::int64_t t = start + delay; t < end; t += rate) {
        advanceTo(t);
        keyDown(key);
    }
    advanceTo(end);
    keyUp(key);
}

// Plays like a careful player: gear first, then any service stop (the rider
// may stand anywhere between two opponent steps), then a lane that is clear
// at the next opponent step.
void Runner::autopilotStep() {
    Console& c = *console_;
    if (!c.timers().enabled(Timer_Pista)) return;
    inAutopilot_ = true;
    const Panel& p = c.panel();
    auto tap = [this](std::uint16_t key) {
        keyDown(key);
        keyUp(key);
    };
    auto moveTo = [&](int lane) {
        // At most two presses: a console that ignores them must not hang us.
        for (int press = 0; press < 2 && c.Corsia < lane; ++press) tap(VK_RIGHT);
        for (int press = 0; press < 2 && c.Corsia > lane; ++press) tap(VK_LEFT);
    };
    for (int guard = 0; guard < 3 && c.Marcia < autopilotGear_; ++guard) tap(VK_UP);
    for (int guard = 0; guard < 3 && c.Marcia > autopilotGear_; ++guard) tap(VK_DOWN);
    for (int guard = 0; guard < 2 && autopilotCollects_; ++guard) {
        if (p.shown(Im_Chiave1) || p.shown(Im_Pompa1)) moveTo(1);
        else if (p.shown(Im_Chiave2) || p.shown(Im_Pompa2)) moveTo(3);
        else break;
        tap(VK_CONTROL);
    }
    if (p.shown(opponentGridCell(1, c.Corsia))) {
        for (int lane : {2, 1, 3})
            if (!p.shown(opponentGridCell(1, lane))) {
                moveTo(lane);
                break;
            }
    }
    inAutopilot_ = false;
}

void Runner::consoleKey(Words& w) {
    const std::string which = w.items[w.pos - 1];
    const std::string how = w.optional().value_or("click");
    w.end();
    Console& c = *console_;
    auto step = [this](auto&& f) {
        f();
        afterEvent();
    };
    if (which == "sound") {
        auto down = [&](MouseButton b) { step([&] { c.Im_SoundMouseDown(b); }); };
        auto up = [&] { step([&] { c.Im_SoundMouseUp(); }); };
        if (how == "click") { down(MouseButton::Left); up(); }
        else if (how == "down") down(MouseButton::Left);
        else if (how == "release") up();
        else if (how == "double") { down(MouseButton::Left); up(); down(MouseButton::Left); up(); }
        else if (how == "right") { down(MouseButton::Right); up(); }
        else throw ScriptError("sound: unknown action '" + how + "'");
        return;
    }
    const bool power = which == "power";
    auto down = [&](MouseButton b) {
        step([&] { power ? c.Im_OnOffMouseDown(b) : c.Im_ACLMouseDown(b); });
    };
    auto click = [&] { step([&] { power ? c.Im_OnOffClick() : c.Im_ACLClick(); }); };
    auto up = [&] { step([&] { power ? c.Im_OnOffMouseUp() : c.Im_ACLMouseUp(); }); };
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

bool Runner::evaluate(Words& w, std::string& failure, bool allowSound) {
    const Console& c = *console_;
    const Panel& p = c.panel();
    const std::string what = w.next("condition");
    std::ostringstream why;
    auto soundCheck = [&] {
        if (!allowSound) throw ScriptError("'" + what + "' cannot be waited for");
    };
    bool ok = true;
    if (what == "shown" || what == "hidden") {
        const bool want = what == "shown";
        std::string wrong;
        w.next("element");
        --w.pos;
        while (!w.empty()) {
            const std::string name = w.next("element");
            if (p.shown(parseElement(name)) != want) wrong += " " + name;
        }
        ok = wrong.empty();
        if (!ok) why << "not " << what << ":" << wrong;
    } else if (what == "slots") {
        std::string want;
        for (int k = 0; k < 4; ++k) want += (k ? " " : "") + w.next("four slot characters");
        w.end();
        ok = slotsText(p) == want;
        if (!ok) why << "slots read " << slotsText(p) << ", expected " << want;
    } else if (what == "reads") {
        const std::string want = w.next("text");
        w.end();
        ok = readout(p) == want;
        if (!ok) why << "display reads '" << readout(p) << "', expected '" << want << "'";
    } else if (what == "grid") {
        std::string want;
        for (int k = 0; k < 4; ++k) want += (k ? " " : "") + w.next("four rows");
        w.end();
        ok = gridText(p) == want;
        if (!ok) why << "grid is " << gridText(p) << ", expected " << want;
    } else if (what == "rider") {
        const std::string want = w.next("lane");
        w.end();
        ok = riderText(p) == want;
        if (!ok) why << "rider shown in lane(s) " << riderText(p) << ", expected " << want;
    } else if (what == "var") {
        const Variable& v = parseVariable(w.next("variable"));
        const std::string text = w.next("value");
        w.end();
        const std::int64_t want = (text == "true") ? 1 : (text == "false") ? 0 : parseInt(text, "value");
        ok = valueOf(c, v) == want;
        if (!ok) why << v.name << " is " << valueOf(c, v) << ", expected " << want;
    } else if (what == "timer") {
        const TimerId t = parseTimer(w.next("timer"));
        const bool on = parseOnOff(w.next("on or off"));
        const auto interval = w.optional();
        w.end();
        ok = c.timers().enabled(t) == on;
        if (interval) ok = ok && c.timers().interval(t) == parseInt(*interval, "interval");
        if (!ok)
            why << timerName(t) << " is " << (c.timers().enabled(t) ? "on" : "off") << " at "
                << c.timers().interval(t) << " ms";
    } else if (what == "time") {
        const auto want = parseInt(w.next("time"), "time");
        w.end();
        ok = clock_.now() == want;
        if (!ok) why << "time is " << clock_.now() << " ms";
    } else if (what == "tone") {
        const std::string want = w.next("divisor or off");
        w.end();
        const std::string now = sound_.toneSounding() ? std::to_string(sound_.toneDivisor()) : "off";
        ok = now == want;
        if (!ok) why << "tone is " << now << ", expected " << want;
    } else if (what == "sound" || what == "no-sound" || what == "sound-now") {
        soundCheck();
        const std::string call = w.rest();
        if (call.empty()) throw ScriptError("missing sound call");
        const auto& calls = sound_.calls();
        bool found = false;
        for (std::size_t i = what == "sound-now" ? 0 : soundMark_; i < calls.size(); ++i)
            if (calls[i].what == call && (what != "sound-now" || calls[i].time == clock_.now())) found = true;
        ok = (what == "no-sound") ? !found : found;
        if (!ok) {
            why << "'" << call << "' " << (what == "no-sound" ? "was" : "was not") << " made "
                << (what == "sound-now" ? "at this millisecond" : "since the last sound check") << "; calls:";
            for (std::size_t i = soundMark_; i < calls.size(); ++i)
                why << "\n      " << calls[i].time << " ms  " << calls[i].what;
        }
        soundMark_ = calls.size();
    } else if (what == "sounds" || what == "silence") {
        soundCheck();
        std::vector<std::string> want;
        if (what == "sounds") {
            std::string item;
            std::istringstream in(w.rest());
            while (std::getline(in, item, ';'))
                if (!trim(item).empty()) want.push_back(trim(item));
        }
        w.end();
        const auto& calls = sound_.calls();
        std::vector<std::string> got;
        for (std::size_t i = soundMark_; i < calls.size(); ++i) got.push_back(calls[i].what);
        ok = got == want;
        if (!ok) {
            why << "sound calls since the last check:";
            if (got.empty()) why << " none";
            for (std::size_t i = soundMark_; i < calls.size(); ++i)
                why << "\n      " << calls[i].time << " ms  " << calls[i].what;
        }
        soundMark_ = calls.size();
    } else {
        throw ScriptError("unknown condition '" + what + "'");
    }
    failure = why.str();
    return ok;
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

void Runner::print(std::string_view what) {
    if (what == "lcd" || what == "all") out_ << lcdReport();
    if (what == "vars" || what == "all") out_ << varsReport();
    if (what == "timers" || what == "all") out_ << timersReport();
    if (what == "sound" || what == "all") {
        out_ << "  sound calls:\n";
        for (const auto& call : sound_.calls()) out_ << "    " << call.time << " ms  " << call.what << '\n';
    }
    if (what != "lcd" && what != "vars" && what != "timers" && what != "sound" && what != "all")
        throw ScriptError("print: unknown report '" + std::string(what) + "'");
}

std::string Runner::lcdReport() const {
    const Panel& p = console_->panel();
    std::ostringstream o;
    o << "[" << clock_.now() << " ms, time of day " << formatTimeOfDay(clock_.utcTimeOfDayMs()) << "]\n";
    o << "  reads " << (readout(p).empty() ? "(nothing)" : readout(p)) << "   slots " << slotsText(p) << '\n';
    o << "  grid  " << gridText(p) << "   (rows 4 to 1, lanes 1 to 3)   rider " << riderText(p) << '\n';
    o << "  shown";
    int count = 0;
    for (int i = 0; i < kDrawnElementCount; ++i) {
        const auto e = static_cast<Element>(i);
        if (isReported(e) && p.shown(e)) {
            o << ' ' << elementInfo(e).name;
            ++count;
        }
    }
    if (count == 0) o << " (none)";
    o << '\n';
    std::string pressed;
    for (Element e : {Im_OnOff, Im_Sound, Im_ACL, Im_Start})
        if (!p.shown(e)) pressed += " " + std::string(elementInfo(e).name);
    if (!pressed.empty()) o << "  pressed" << pressed << '\n';
    return o.str();
}

std::string Runner::varsReport() const {
    std::ostringstream o;
    o << "  vars ";
    int n = 0;
    for (const Variable& v : kVariables) {
        if (n++ == 8) o << "\n       ";
        o << ' ' << v.name << '=' << valueOf(*console_, v);
    }
    o << '\n';
    return o.str();
}

std::string Runner::timersReport() const {
    std::ostringstream o;
    o << "  timers on:";
    int count = 0;
    for (int i = 0; i < TimerCount; ++i) {
        const auto t = static_cast<TimerId>(i);
        if (console_->timers().enabled(t)) {
            o << ' ' << timerName(t) << '(' << console_->timers().interval(t) << ')';
            ++count;
        }
    }
    if (count == 0) o << " none";
    o << '\n';
    return o.str();
}

void Runner::execute(std::string_view rawLine) {
    const std::string line(rawLine.substr(0, rawLine.find('#')));
    Words w(line);
    if (w.empty()) return;
    const std::string cmd = w.next("command");
    Console& c = *console_;

    if (cmd == "time") {
        const auto tod = parseTimeOfDay(w.next("time of day"));
        w.end();
        clock_.setUtcTimeOfDay(tod);
    } else if (cmd == "choose-time") {
        const auto from = parseTimeOfDay(w.next("time of day to start from"));
        std::vector<WantedDraw> draws;
        while (!w.empty()) {
            if (w.next("draw") != "draw") throw ScriptError("choose-time: expected 'draw AT BOUND VALUE'");
            const std::string at = w.next("draw time");
            WantedDraw d;
            d.at = parseInt(at, "draw time") + (at[0] == '+' ? clock_.now() : 0);
            d.bound = static_cast<std::uint32_t>(parseInt(w.next("bound"), "bound"));
            const std::string value = w.next("value");
            const auto dash = value.find('-', 1);
            d.value = static_cast<std::uint32_t>(parseInt(value.substr(0, dash), "value"));
            if (dash != std::string::npos)
                d.upTo = static_cast<std::uint32_t>(parseInt(value.substr(dash + 1), "value"));
            if (d.bound < 1 || d.upTo.value_or(d.value) >= d.bound || d.upTo.value_or(d.value) < d.value)
                throw ScriptError("choose-time: values must be below the bound");
            draws.push_back(d);
        }
        if (draws.empty()) throw ScriptError("choose-time: no draw given");
        const auto tod = chooseTimeOfDay(from, clock_.now(), draws);
        if (!tod) throw ScriptError("choose-time: no time of day gives those draws");
        clock_.setUtcTimeOfDay(*tod);
        if (trace_) out_ << "  time of day set to " << formatTimeOfDay(*tod) << '\n';
    } else if (cmd == "bank") {
        const auto output = parseInt(w.next("output type"), "output type");
        w.end();
        if (output != FSOUND_OUTPUT_WINMM && output != FSOUND_OUTPUT_DSOUND)
            throw ScriptError("bank: output type is 1 or 2");
        c.Suono_Pronto = true;
        c.openSampleBank(static_cast<int>(output));
        soundMark_ = sound_.calls().size();  // opening the bank is setup, not play
    } else if (cmd == "speaker") {
        c.Speaker_On = parseOnOff(w.next("on or off"));
        w.end();
    } else if (cmd == "set") {
        const Variable& v = parseVariable(w.next("variable"));
        const std::string text = w.next("value");
        w.end();
        const auto value = (text == "true") ? 1 : (text == "false") ? 0 : parseInt(text, "value");
        if (v.flag)
            c.*(v.flag) = value != 0;
        else
            c.*(v.counter) = static_cast<std::int32_t>(value);
    } else if (cmd == "show" || cmd == "hide") {
        while (!w.empty()) c.panel().setShown(parseElement(w.next("element")), cmd == "show");
    } else if (cmd == "power" || cmd == "reset" || cmd == "sound") {
        consoleKey(w);
    } else if (cmd == "press" || cmd == "release" || cmd == "tap") {
        const auto key = parseKey(w.next("key"));
        w.end();
        if (cmd != "release") keyDown(key);
        if (cmd != "press") keyUp(key);
    } else if (cmd == "hold") {
        const auto key = parseKey(w.next("key"));
        const auto ms = parseInt(w.next("duration"), "duration");
        const auto delay = w.empty() ? 500 : parseInt(w.next("delay"), "delay");
        const auto rate = w.empty() ? 33 : parseInt(w.next("rate"), "rate");
        w.end();
        hold(key, ms, delay, rate);
    } else if (cmd == "wait") {
        const auto ms = parseInt(w.next("duration"), "duration");
        w.end();
        if (ms < 0) throw ScriptError("wait: negative duration");
        advanceTo(clock_.now() + ms);
    } else if (cmd == "at") {
        const auto t = parseInt(w.next("time"), "time");
        w.end();
        advanceTo(t);
    } else if (cmd == "until") {
        until(w);
    } else if (cmd == "autopilot") {
        autopilot_ = parseOnOff(w.next("on or off"));
        autopilotGear_ = 1;
        autopilotCollects_ = true;
        while (autopilot_ && !w.empty()) {
            const std::string option = w.next("option");
            if (option == "nocollect") {
                autopilotCollects_ = false;
                continue;
            }
            autopilotGear_ = static_cast<int>(parseInt(option, "gear"));
            if (autopilotGear_ < 1 || autopilotGear_ > 3) throw ScriptError("autopilot: gear is 1 to 3");
        }
        w.end();
        if (autopilot_) autopilotStep();
    } else if (cmd == "clear-road") {
        clearRoad_ = parseOnOff(w.next("on or off"));
        w.end();
    } else if (cmd == "print") {
        const std::string what = w.optional().value_or("lcd");
        w.end();
        print(what);
    } else if (cmd == "trace") {
        trace_ = parseOnOff(w.next("on or off"));
        w.end();
    } else if (cmd == "echo") {
        out_ << w.rest() << '\n';
    } else if (cmd == "expect") {
        std::string failure;
        if (!evaluate(w, failure, true)) throw ExpectationFailed("expectation failed at " + std::to_string(clock_.now()) +
                                                            " ms: " + failure);
    } else {
        throw ScriptError("unknown command '" + cmd + "'");
    }
}

RunResult Runner::run(std::istream& script) {
    std::string line;
    int number = 0;
    while (std::getline(script, line)) {
        ++number;
        try {
            execute(line);
        } catch (const ScriptError& e) {
            return {false, dynamic_cast<const ExpectationFailed*>(&e) != nullptr, number, "line " + std::to_string(number) + ": " + trim(line) + "\n  " + e.what()};
        }
    }
    return {};
}

RunResult Runner::runText(std::string_view script) {
    std::istringstream in{std::string(script)};
    return run(in);
}

}  // namespace vorlak::scenario
