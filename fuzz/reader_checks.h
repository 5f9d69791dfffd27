// What the fuzz targets and the seeded mutation tests check of one input to
// the readers of files a player may replace (the SOUND folder's wave files)
// or that could be damaged (the window outline block): the reader neither
// crashes nor breaks a rule of its own results. Each check returns the rule
// that broke, or an empty string.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace vorlak {

std::string checkWaveReader(std::span<const std::uint8_t> input);
std::string checkOutlineReader(std::span<const std::uint8_t> input);

}  // namespace vorlak
