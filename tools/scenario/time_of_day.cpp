#include "tools/scenario/time_of_day.h"

#include "game/random.h"

namespace vorlak::scenario {

std::uint32_t drawAfterReseed(std::uint32_t seed, std::uint32_t bound) {
    RandomDraw r;
    r.reseed(seed);
    return r.draw(bound);
}

namespace {

// Whether every draw gives its value when the time of day is `candidate` at `now`.
bool givesAll(std::int64_t candidate, std::int64_t now, const std::vector<WantedDraw>& draws) {
    for (const WantedDraw& d : draws) {
        const auto seed = static_cast<std::uint32_t>(((candidate + d.at - now) % kMsPerDay + kMsPerDay) % kMsPerDay);
        const auto v = drawAfterReseed(seed, d.bound);
        if (v < d.value || v > d.upTo.value_or(d.value)) return false;
    }
    return true;
}

}  // namespace

std::optional<std::uint32_t> chooseTimeOfDay(std::uint32_t from, std::int64_t now,
                                             const std::vector<WantedDraw>& draws) {
    for (std::int64_t k = 0; k < kMsPerDay; ++k) {
        const std::int64_t candidate = (from + k) % kMsPerDay;
        if (givesAll(candidate, now, draws)) return static_cast<std::uint32_t>(candidate);
    }
    return std::nullopt;
}

}  // namespace vorlak::scenario
