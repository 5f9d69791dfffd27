// Writes the console window's outline: the handheld's silhouette as 72
// horizontal bands (left, top, right, bottom; right and bottom exclusive),
// through the same writer the shaped-window component uses.
//
//   write_outline <output file>
#include <QFile>
#include <QRegion>
#include <cstdio>

#include "tools/write_outline/console_outline.h"
#include "frontends/qt/shell/mask2.h"

using vorlak::kConsoleOutline;
using Band = vorlak::OutlineBand;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: write_outline <output file>\n");
        return 2;
    }
    QRegion outline;
    for (const Band& b : kConsoleOutline) outline += QRect(b.left, b.top, b.right - b.left, b.bottom - b.top);
    // The bands are already in their simplest banded form; a region that
    // merged or split them would store a different list.
    if (outline.rectCount() != static_cast<int>(kConsoleOutline.size())) {
        std::fprintf(stderr, "write_outline: the bands do not form %zu rectangles\n", kConsoleOutline.size());
        return 1;
    }
    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::fprintf(stderr, "write_outline: cannot write %s\n", argv[1]);
        return 1;
    }
    vorlak::writeMask2(file, outline);
    return file.error() == QFileDevice::NoError ? 0 : 1;
}
