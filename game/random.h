// The game's random draws: a 32-bit linear congruential generator that is
// reseeded from the UTC time of day right before every draw.
#pragma once

#include <cstdint>

namespace vorlak {

class RandomDraw {
public:
    void reseed(std::uint32_t seed) { seed_ = seed; }
    std::uint32_t seed() const { return seed_; }

    // A number from 0 to bound - 1 (0 for a bound of 0).
    std::uint32_t draw(std::uint32_t bound) {
        seed_ = seed_ * 134775813u + 1u;
        return static_cast<std::uint32_t>((static_cast<std::uint64_t>(seed_) * bound) >> 32);
    }

private:
    std::uint32_t seed_ = 0;
};

}  // namespace vorlak
