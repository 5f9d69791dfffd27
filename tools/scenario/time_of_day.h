// Choosing the time of day that makes the game's random draws come out as a
// script or a test wants: every draw reseeds from the time of day first.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace vorlak::scenario {

inline constexpr std::int64_t kMsPerDay = 24LL * 60 * 60 * 1000;

// A draw the game will make at a virtual time, and the values wanted from it.
struct WantedDraw {
    std::int64_t at = 0;  // virtual time of the draw, ms
    std::uint32_t bound = 1;
    std::uint32_t value = 0;
    std::optional<std::uint32_t> upTo{};  // accept value..upTo (inclusive)
};

// The first time of day (ms, at or after `from`, wrapping at midnight) that,
// set at virtual time `now`, makes every listed draw give its value under the
// reseed-then-draw rule. Empty when none exists within a day.
std::optional<std::uint32_t> chooseTimeOfDay(std::uint32_t from, std::int64_t now,
                                             const std::vector<WantedDraw>& draws);

// The value a single draw with `bound` gives right after reseeding with `seed`.
std::uint32_t drawAfterReseed(std::uint32_t seed, std::uint32_t bound);

}  // namespace vorlak::scenario
