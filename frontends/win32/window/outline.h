// The window's outline: the stored block (a 4-byte little-endian byte count
// N, then N bytes of region data in the RGNDATA layout: a 32-byte header,
// then the rectangles) made into a window region.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace vorlak {

// The region data of a block, or nothing for a block without an outline
// (N = 0) or a damaged one: N beyond the block, a header that is not the
// 32-byte rectangle-list header, a count that disagrees with N, an empty or
// inverted rectangle, or a coordinate beyond 16 bits. Nothing is read past
// the block's end.
std::optional<std::vector<std::uint8_t>> outlineRegionData(std::span<const std::uint8_t> block);

// The region of that data at a whole scale (a transform of the rectangles),
// or null when the system refuses it. The caller owns the region.
HRGN createOutlineRegion(const std::vector<std::uint8_t>& regionData, int scale);

}  // namespace vorlak
