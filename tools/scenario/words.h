// The words of a script line and what they name: numbers, times of day, on
// and off, elements, timers, keys and the console's state variables. Every
// word that names nothing throws ScriptError with a message for the script's
// author.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "game/console.h"
#include "game/panel.h"
#include "game/timers.h"

namespace vorlak::scenario {

// The words of one line, consumed left to right.
struct Words {
    std::vector<std::string> items;
    std::size_t pos = 0;

    explicit Words(std::string_view line);
    bool empty() const { return pos >= items.size(); }
    // The next word; `what` names it in the error when there is none.
    std::string next(std::string_view what);
    std::optional<std::string> optional();
    // The remaining words joined by single spaces.
    std::string rest();
    // Throws when a word is left over.
    void end();
};

// A decimal integer, with an optional '+'; `what` names it in the error.
std::int64_t parseInt(const std::string& text, std::string_view what);
// A number, or true (1) or false (0): the value of a state variable.
std::int64_t parseValue(const std::string& text);
// HH:MM:SS[.mmm] or milliseconds since midnight.
std::uint32_t parseTimeOfDay(const std::string& text);
std::string formatTimeOfDay(std::uint32_t ms);
// on/off, 1/0, true/false.
bool parseOnOff(const std::string& text);
Element parseElement(const std::string& name);
TimerId parseTimer(const std::string& name);
// A key name as the script's help lists them, to its virtual key code.
std::uint16_t parseKey(const std::string& name);
// The name a trace gives a key.
std::string keyName(std::uint16_t key);
// Without leading and trailing blanks.
std::string trim(std::string s);

// A state variable of the console by its name (kStateVariables, in the order
// they are reported).
const StateVariable& parseVariable(const std::string& name);

}  // namespace vorlak::scenario
