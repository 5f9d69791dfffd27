// What print shows: the LCD, the state variables, the running timers and the
// sound calls.
#include <ostream>
#include <sstream>

#include "tools/scenario/scenario.h"
#include "tools/scenario/words.h"

namespace vorlak::scenario {
namespace {

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

}  // namespace

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
    const Panel& p = handheld_->panel();
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
    for (const StateVariable& v : kStateVariables) {
        if (n++ == 8) o << "\n       ";
        o << ' ' << v.name << '=' << v.valueIn(handheld_->state());
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
        if (handheld_->console().timers().enabled(t)) {
            o << ' ' << timerName(t) << '(' << handheld_->console().timers().interval(t) << ')';
            ++count;
        }
    }
    if (count == 0) o << " none";
    o << '\n';
    return o.str();
}

}  // namespace vorlak::scenario
