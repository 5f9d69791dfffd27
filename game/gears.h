// The three speeds: the track's and the opponents' step intervals and the
// engine tone of each gear. The two race timers are built with gear 1's
// intervals.
#pragma once

#include <cstdint>

namespace vorlak {

struct Gear {
    int pistaMs;      // Timer_Pista: the track lines scroll
    int avversariMs;  // Timer_Avversari: the opponents come one row closer
    int tone;         // Tono_Motore
};

inline constexpr Gear kGears[3] = {
    {380, 600, 20},
    {250, 450, 22},
    {100, 350, 26},
};
inline constexpr const Gear& gear(int marcia) { return kGears[marcia - 1]; }

// The far row is drawn from the first 12, 10 or 8 patterns of the table by
// gear: a faster gear leaves out more of the empty ones at its end, so
// opponents come more often.
inline constexpr std::uint32_t patternDrawBound(std::int32_t marcia) { return static_cast<std::uint32_t>(14 - 2 * marcia); }

}  // namespace vorlak
