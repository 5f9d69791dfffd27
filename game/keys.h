// Virtual key codes the console reacts to.
#pragma once

#include <cstdint>

namespace vorlak {

constexpr std::uint16_t VK_CONTROL = 17;
constexpr std::uint16_t VK_LEFT = 37;
constexpr std::uint16_t VK_UP = 38;
constexpr std::uint16_t VK_RIGHT = 39;
constexpr std::uint16_t VK_DOWN = 40;

}  // namespace vorlak
