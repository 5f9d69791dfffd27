#include "frontends/qt/shell/mask2.h"

#include <QIODevice>
#include <QRect>
#include <QtEndian>

namespace vorlak {
namespace {

constexpr int kHeaderSize = 32;
constexpr quint32 kRectangleList = 1;
constexpr qint64 kRectSize = 16;
constexpr qint32 kMinCoordinate = -32768;
constexpr qint32 kMaxCoordinate = 32767;

qint32 int32At(const QByteArray& data, qint64 offset) {
    return qFromLittleEndian<qint32>(data.constData() + offset);
}

void appendInt32(QByteArray& out, qint32 value) {
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

bool placeable(qint32 v) { return v >= kMinCoordinate && v <= kMaxCoordinate; }

}  // namespace

std::optional<QRegion> regionFromData(const QByteArray& data) {
    if (data.size() < kHeaderSize) return std::nullopt;
    if (int32At(data, 0) != kHeaderSize) return std::nullopt;
    if (static_cast<quint32>(int32At(data, 4)) != kRectangleList) return std::nullopt;
    const qint64 count = static_cast<quint32>(int32At(data, 8));
    if (kHeaderSize + count * kRectSize != data.size()) return std::nullopt;

    QRegion region;
    for (qint64 i = 0; i < count; ++i) {
        const qint64 at = kHeaderSize + i * kRectSize;
        const qint32 left = int32At(data, at), top = int32At(data, at + 4);
        const qint32 right = int32At(data, at + 8), bottom = int32At(data, at + 12);
        if (!placeable(left) || !placeable(top) || !placeable(right) || !placeable(bottom)) return std::nullopt;
        if (right <= left || bottom <= top) return std::nullopt;
        // A union, not a plain copy of the list, so that a list out of band
        // order still gives the right region.
        region += QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
    }
    return region;
}

QByteArray dataFromRegion(const QRegion& region) {
    const qint32 count = static_cast<qint32>(region.rectCount());
    const QRect bounds = region.boundingRect();
    QByteArray out;
    out.reserve(kHeaderSize + count * kRectSize);
    appendInt32(out, kHeaderSize);
    appendInt32(out, static_cast<qint32>(kRectangleList));
    appendInt32(out, count);
    appendInt32(out, static_cast<qint32>(count * kRectSize));
    // An empty region has all-zero bounds.
    const bool empty = bounds.isEmpty();
    appendInt32(out, empty ? 0 : bounds.left());
    appendInt32(out, empty ? 0 : bounds.top());
    appendInt32(out, empty ? 0 : bounds.left() + bounds.width());
    appendInt32(out, empty ? 0 : bounds.top() + bounds.height());
    for (const QRect& r : region) {
        appendInt32(out, r.left());
        appendInt32(out, r.top());
        appendInt32(out, r.left() + r.width());
        appendInt32(out, r.top() + r.height());
    }
    return out;
}

Mask2Block readMask2(QIODevice& stream) {
    Mask2Block block;
    const QByteArray sizeBytes = stream.read(4);
    if (sizeBytes.size() != 4) {
        block.complete = false;
        return block;
    }
    block.size = qFromLittleEndian<quint32>(sizeBytes.constData());
    if (block.size == 0) return block;
    // A size beyond what is left is a damaged block: refuse it before
    // allocating anything.
    if (static_cast<qint64>(block.size) > stream.bytesAvailable()) {
        block.complete = false;
        return block;
    }
    block.data = stream.read(block.size);
    if (block.data.size() != static_cast<qint64>(block.size)) {
        block.data.clear();
        block.complete = false;
    }
    return block;
}

void writeMask2(QIODevice& stream, const std::optional<QRegion>& region) {
    const QByteArray data = region ? dataFromRegion(*region) : QByteArray();
    char size[4];
    qToLittleEndian(static_cast<quint32>(data.size()), size);
    stream.write(size, 4);
    if (!data.isEmpty()) stream.write(data);
}

}  // namespace vorlak
