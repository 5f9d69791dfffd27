#include "frontends/win32/window/outline.h"

namespace vorlak {
namespace {

constexpr std::uint32_t kHeaderSize = 32;
constexpr std::uint32_t kRectangleList = 1;
constexpr std::uint32_t kRectSize = 16;

std::uint32_t u32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
std::int32_t i32(const std::uint8_t* p) { return static_cast<std::int32_t>(u32(p)); }
bool placeable(std::int32_t v) { return v >= -32768 && v <= 32767; }

}  // namespace

std::optional<std::vector<std::uint8_t>> outlineRegionData(std::span<const std::uint8_t> block) {
    if (block.size() < 4) return std::nullopt;
    const std::uint64_t size = u32(block.data());
    if (size == 0 || size > block.size() - 4 || size < kHeaderSize) return std::nullopt;
    const std::uint8_t* data = block.data() + 4;
    if (u32(data) != kHeaderSize || u32(data + 4) != kRectangleList) return std::nullopt;
    const std::uint64_t count = u32(data + 8);
    if (kHeaderSize + count * kRectSize != size) return std::nullopt;
    for (std::uint64_t i = 0; i < count; ++i) {
        const std::uint8_t* r = data + kHeaderSize + i * kRectSize;
        const std::int32_t left = i32(r), top = i32(r + 4), right = i32(r + 8), bottom = i32(r + 12);
        if (!placeable(left) || !placeable(top) || !placeable(right) || !placeable(bottom)) return std::nullopt;
        if (right <= left || bottom <= top) return std::nullopt;
    }
    return std::vector<std::uint8_t>(data, data + size);
}

HRGN createOutlineRegion(const std::vector<std::uint8_t>& regionData, int scale) {
    XFORM scaling{};
    scaling.eM11 = static_cast<FLOAT>(scale);
    scaling.eM22 = static_cast<FLOAT>(scale);
    return ExtCreateRegion(scale == 1 ? nullptr : &scaling, static_cast<DWORD>(regionData.size()),
                           reinterpret_cast<const RGNDATA*>(regionData.data()));
}

}  // namespace vorlak
