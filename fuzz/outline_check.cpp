#include "fuzz/reader_checks.h"

#include <QBuffer>
#include <QByteArray>
#include <QRegion>

#include "frontends/qt/shell/mask2.h"

namespace vorlak {
namespace {

std::string checkRegionData(const QByteArray& data) {
    const auto region = regionFromData(data);
    if (!region) return {};
    const QRect bounds = region->boundingRect();
    if (!region->isEmpty() && (bounds.left() < -32768 || bounds.top() < -32768 || bounds.right() >= 32767 ||
                               bounds.bottom() >= 32767))
        return "a region beyond what a window system can place";
    if (regionFromData(dataFromRegion(*region)) != region) return "a region that does not survive writing and reading";
    return {};
}

}  // namespace

std::string checkOutlineReader(std::span<const std::uint8_t> input) {
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(input.data()),
                                                     static_cast<qsizetype>(input.size()));
    QBuffer stream;
    stream.setData(bytes);
    stream.open(QIODevice::ReadOnly);
    const Mask2Block block = readMask2(stream);
    if (block.data.size() + 4 > static_cast<qsizetype>(input.size()) && !block.data.isEmpty())
        return "a block larger than its input";
    if (block.complete && block.data.size() != static_cast<qsizetype>(block.size)) return "a complete block of the wrong size";
    if (!block.complete && !block.data.isEmpty()) return "an incomplete block with data";
    if (auto broken = checkRegionData(block.data); !broken.empty()) return broken;
    return checkRegionData(bytes);
}

}  // namespace vorlak
