// The stored window outline ("Mask2" block): a 4-byte little-endian byte count
// N, then N bytes of region data laid out as a 32-byte header (header size 32,
// kind 1, rectangle count, list size, bounds) followed by the rectangles, each
// left, top, right, bottom with right and bottom exclusive, all signed 32-bit
// little-endian.
#pragma once

#include <QByteArray>
#include <QRegion>
#include <optional>

class QIODevice;

namespace vorlak {

// The region described by region data, or nothing when the data is damaged:
// a header that is not the 32-byte rectangle-list header, a count that does
// not match the byte count, an empty or inverted rectangle, or a coordinate
// outside what a window system can place (16-bit signed).
std::optional<QRegion> regionFromData(const QByteArray& data);

// The region data of a region, rectangles in the region's own banded order.
QByteArray dataFromRegion(const QRegion& region);

struct Mask2Block {
    quint32 size = 0;     // N as stored; 0 for no outline
    QByteArray data;      // the N bytes, when all of them could be read
    bool complete = true; // false when the stream ended before N + 4 bytes
};

// Reads one block. Never reads past the stream's end and never allocates
// more than the stream still holds.
Mask2Block readMask2(QIODevice& stream);

// Writes one block: N and the region's data, or N = 0 without a region.
void writeMask2(QIODevice& stream, const std::optional<QRegion>& region);

}  // namespace vorlak
