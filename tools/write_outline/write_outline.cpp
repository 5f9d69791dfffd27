// Writes the console window's outline: the handheld's silhouette as 72
// horizontal bands (left, top, right, bottom; right and bottom exclusive),
// through the same writer the shaped-window component uses.
//
//   write_outline <output file>
#include <QFile>
#include <QRegion>
#include <array>
#include <cstdio>

#include "shell/mask2.h"

namespace {

struct Band {
    int left, top, right, bottom;
};

// Row 0 and columns 0 and 1 lie outside. Rows 1 and 2 carry two notches; the
// lower right corner recedes in steps from row 660 down.
constexpr std::array<Band, 72> kConsoleOutline{{
    {15, 1, 40, 2},     {42, 1, 421, 2},    {423, 1, 453, 2},   {13, 2, 40, 3},     {41, 2, 421, 3},
    {422, 2, 455, 3},   {12, 3, 456, 4},    {11, 4, 457, 5},    {10, 5, 458, 6},    {9, 6, 458, 7},
    {8, 7, 459, 8},     {7, 8, 460, 9},     {6, 9, 460, 10},    {5, 10, 460, 11},   {5, 11, 462, 12},
    {4, 12, 462, 14},   {3, 14, 462, 19},   {2, 19, 462, 660},  {2, 660, 460, 665}, {2, 665, 459, 668},
    {2, 668, 458, 671}, {2, 671, 457, 674}, {2, 674, 456, 677}, {2, 677, 455, 679}, {2, 679, 454, 681},
    {2, 681, 453, 684}, {2, 684, 452, 686}, {2, 686, 451, 687}, {2, 687, 450, 689}, {2, 689, 449, 691},
    {2, 691, 448, 692}, {2, 692, 447, 694}, {2, 694, 446, 695}, {2, 695, 445, 696}, {2, 696, 444, 699},
    {2, 699, 442, 700}, {2, 700, 441, 702}, {2, 702, 440, 703}, {2, 703, 439, 704}, {2, 704, 438, 706},
    {2, 706, 436, 707}, {2, 707, 435, 708}, {2, 708, 434, 709}, {2, 709, 433, 710}, {2, 710, 432, 711},
    {2, 711, 431, 712}, {2, 712, 430, 713}, {3, 713, 429, 714}, {3, 714, 428, 715}, {4, 715, 426, 716},
    {4, 716, 425, 717}, {4, 717, 424, 718}, {5, 718, 423, 719}, {5, 719, 421, 720}, {5, 720, 420, 721},
    {5, 721, 418, 722}, {6, 722, 416, 723}, {7, 723, 415, 724}, {8, 724, 413, 725}, {8, 725, 411, 726},
    {9, 726, 410, 727}, {10, 727, 408, 728}, {10, 728, 405, 729}, {11, 729, 403, 730}, {12, 730, 400, 731},
    {12, 731, 398, 732}, {13, 732, 395, 733}, {15, 733, 392, 734}, {17, 734, 386, 735}, {18, 735, 382, 736},
    {20, 736, 371, 737}, {22, 737, 350, 738},
}};

}  // namespace

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
