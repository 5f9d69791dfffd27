// The console's variables: every flag and counter the rules read and write,
// in one place. Front ends read them through Console::state(); a saved state
// is this structure (with the panel and the timers, which keep their own).
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace vorlak {

// Flags are one byte, counters signed 32-bit; all zero (Primo_Avvio aside)
// until the console's creation step, which sets the values noted "at creation".
struct ConsoleState {
    bool Acceso = false;           // the console is switched on
    bool In_Gioco = false;         // a game started with CTRL has not ended yet
    bool Tasto_Libero = false;     // an arrow may act: set by any key release, cleared by an arrow press
    bool Attesa_Continue = false;  // the continue offer (C 0 N) is showing
    bool Suono_On = false;         // the player wants sound; true at creation, toggled by SOUND
    bool Suono_Pronto = false;     // the sample bank is open and its effects loaded
    bool Speaker_On = false;       // the engine tone may sound (system choice "95, 98, ME, NT")
    bool Primo_Avvio = true;       // the launcher has not been shown yet: true from before any window exists
    std::int32_t Corsia = 0;           // the rider's lane, 1 left .. 3 right
    std::int32_t Marcia = 0;           // gear 1..3
    std::int32_t Livello_Benzina = 0;  // fuel units left: 3 at a level's start, more with a pump on a full tank
    std::int32_t Vite = 0;             // lives left: 4 at a level's start, more with a spanner at 4 lives
    std::int32_t Livello = 0;          // level 1..5 in play; 6 once the fifth is cleared
    std::int32_t Score = 0;            // total score, 0 and up, shown on the four digit slots
    std::int32_t Punti_Livello = 0;    // points earned in the current level
    std::int32_t Traguardo = 0;        // points that clear the current level: Livello x 100
    std::int32_t Tono_Motore = 0;      // engine tone of the current gear: 20, 22 or 26
    std::int32_t Mouse_X = 0;          // where the mouse was last pressed, in the pressed
    std::int32_t Mouse_Y = 0;          // element's coordinates: the drag's anchor

    bool operator==(const ConsoleState&) const = default;
};

// Each variable by name: a flag or a counter. The one list of the state.
struct StateVariable {
    std::string_view name;
    bool ConsoleState::*flag = nullptr;
    std::int32_t ConsoleState::*counter = nullptr;

    std::int64_t valueIn(const ConsoleState& s) const { return flag ? s.*flag : s.*counter; }
    void setIn(ConsoleState& s, std::int64_t value) const {
        if (flag)
            s.*flag = value != 0;
        else
            s.*counter = static_cast<std::int32_t>(value);
    }
};

inline constexpr std::array<StateVariable, 19> kStateVariables{{
    {"Acceso", &ConsoleState::Acceso, nullptr},
    {"In_Gioco", &ConsoleState::In_Gioco, nullptr},
    {"Tasto_Libero", &ConsoleState::Tasto_Libero, nullptr},
    {"Attesa_Continue", &ConsoleState::Attesa_Continue, nullptr},
    {"Suono_On", &ConsoleState::Suono_On, nullptr},
    {"Suono_Pronto", &ConsoleState::Suono_Pronto, nullptr},
    {"Speaker_On", &ConsoleState::Speaker_On, nullptr},
    {"Primo_Avvio", &ConsoleState::Primo_Avvio, nullptr},
    {"Corsia", nullptr, &ConsoleState::Corsia},
    {"Marcia", nullptr, &ConsoleState::Marcia},
    {"Livello_Benzina", nullptr, &ConsoleState::Livello_Benzina},
    {"Vite", nullptr, &ConsoleState::Vite},
    {"Livello", nullptr, &ConsoleState::Livello},
    {"Score", nullptr, &ConsoleState::Score},
    {"Punti_Livello", nullptr, &ConsoleState::Punti_Livello},
    {"Traguardo", nullptr, &ConsoleState::Traguardo},
    {"Tono_Motore", nullptr, &ConsoleState::Tono_Motore},
    {"Mouse_X", nullptr, &ConsoleState::Mouse_X},
    {"Mouse_Y", nullptr, &ConsoleState::Mouse_Y},
}};

}  // namespace vorlak
