// Virtual key codes the console reacts to.
#pragma once

#include <cstdint>

namespace vorlak {

constexpr std::uint16_t kKeyControl = 17;
constexpr std::uint16_t kKeyLeft = 37;
constexpr std::uint16_t kKeyUp = 38;
constexpr std::uint16_t kKeyRight = 39;
constexpr std::uint16_t kKeyDown = 40;

}  // namespace vorlak
