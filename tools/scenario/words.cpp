#include "tools/scenario/words.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <sstream>

#include "game/keys.h"
#include "tools/scenario/scenario.h"

namespace vorlak::scenario {

Words::Words(std::string_view line) {
    std::istringstream in{std::string(line)};
    std::string w;
    while (in >> w) items.push_back(w);
}

std::string Words::next(std::string_view what) {
    if (empty()) throw ScriptError("missing " + std::string(what));
    return items[pos++];
}

std::optional<std::string> Words::optional() {
    if (empty()) return std::nullopt;
    return items[pos++];
}

std::string Words::rest() {
    std::string out;
    while (!empty()) {
        if (!out.empty()) out += ' ';
        out += items[pos++];
    }
    return out;
}

void Words::end() {
    if (!empty()) throw ScriptError("unexpected '" + items[pos] + "'");
}

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

std::int64_t parseValue(const std::string& text) {
    return (text == "true") ? 1 : (text == "false") ? 0 : parseInt(text, "value");
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
        {"ctrl", kKeyControl}, {"left", kKeyLeft}, {"up", kKeyUp},       {"right", kKeyRight},
        {"down", kKeyDown},    {"shift", 16},      {"space", 32},        {"enter", 13},
        {"esc", 27},           {"tab", 9},         {"backspace", 8},
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
        case kKeyControl: return "ctrl";
        case kKeyLeft: return "left";
        case kKeyUp: return "up";
        case kKeyRight: return "right";
        case kKeyDown: return "down";
        default: return "vk" + std::to_string(key);
    }
}

std::string trim(std::string s) {
    const auto a = s.find_first_not_of(" \t");
    if (a == std::string::npos) return "";
    const auto b = s.find_last_not_of(" \t");
    return s.substr(a, b - a + 1);
}

const StateVariable& parseVariable(const std::string& name) {
    for (const StateVariable& v : kStateVariables)
        if (v.name == name) return v;
    throw ScriptError("no variable called '" + name + "'");
}

}  // namespace vorlak::scenario
