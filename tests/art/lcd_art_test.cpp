// The committed LCD artwork (assets/lcd/*.pbm) against the panel catalogue and
// the seven-segment cell geometry.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "game/bitmap.h"
#include "game/panel.h"

namespace vorlak {
namespace {

namespace fs = std::filesystem;

const fs::path kLcdDir = fs::path(VORLAK_ASSETS_DIR) / "lcd";

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Every picture read once; a missing or broken file fails the test that asks.
const Bitmap& picture(Element e) {
    static std::map<Element, Bitmap> cache;
    auto found = cache.find(e);
    if (found != cache.end()) return found->second;
    const fs::path path = kLcdDir / (std::string(elementInfo(e).name) + ".pbm");
    std::string error;
    auto parsed = parsePbm(readFile(path), &error);
    EXPECT_TRUE(parsed) << path << ": " << error;
    return cache.emplace(e, parsed ? *parsed : Bitmap{}).first->second;
}

std::vector<Element> twoColourElements() {
    std::vector<Element> out;
    for (int i = 0; i < ElementCount; ++i)
        if (elementInfo(static_cast<Element>(i)).picture == PictureKind::TwoColour) out.push_back(static_cast<Element>(i));
    return out;
}

// The LCD segments: two-colour elements drawn on the window, the test picture aside.
std::vector<Element> lcdSegments() {
    std::vector<Element> out;
    for (Element e : twoColourElements())
        if (e < kDrawnElementCount && e != Im_Completa) out.push_back(e);
    return out;
}

using Point = std::pair<int, int>;  // window x, y

std::set<Point> blackOnWindow(Element e) {
    std::set<Point> out;
    const Bitmap& p = picture(e);
    const Rect r = elementInfo(e).rect;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            if (p.at(x, y)) out.insert({r.left + x, r.top + y});
    return out;
}

std::vector<std::set<Point>> components(std::set<Point> points) {  // 8-connected
    std::vector<std::set<Point>> out;
    while (!points.empty()) {
        std::set<Point> part;
        std::vector<Point> todo{*points.begin()};
        points.erase(points.begin());
        while (!todo.empty()) {
            const Point p = todo.back();
            todo.pop_back();
            part.insert(p);
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    auto it = points.find({p.first + dx, p.second + dy});
                    if (it != points.end()) {
                        todo.push_back(*it);
                        points.erase(it);
                    }
                }
        }
        out.push_back(std::move(part));
    }
    return out;
}

// ------------------------------------------------------------------ segment geometry
// The 11 x 19 character cell, as runs of lit columns per row for each segment.
struct Run {
    int row, first, last;
};
const std::map<char, std::vector<Run>> kSegments = {
    {'a', {{0, 2, 9}, {1, 3, 8}}},
    {'f', {{2, 1, 1}, {3, 1, 2}, {4, 1, 2}, {5, 1, 2}, {6, 1, 2}, {7, 1, 1}}},
    {'b', {{2, 10, 10}, {3, 9, 10}, {4, 9, 10}, {5, 9, 10}, {6, 9, 10}, {7, 10, 10}}},
    {'g', {{8, 3, 8}, {9, 1, 9}, {10, 2, 7}}},
    {'e', {{11, 0, 0}, {12, 0, 1}, {13, 0, 1}, {14, 0, 1}, {15, 0, 1}, {16, 0, 0}}},
    {'c', {{11, 9, 9}, {12, 8, 9}, {13, 8, 9}, {14, 8, 9}, {15, 8, 9}, {16, 9, 9}}},
    {'d', {{17, 2, 7}, {18, 1, 8}}},
};
const std::vector<std::pair<Element, std::string>> kTemplates = {
    {Im_Num0, "abcdef"}, {Im_Num1, "bc"},     {Im_Num2, "abdeg"},   {Im_Num3, "abcdg"}, {Im_Num4, "bcfg"},
    {Im_Num5, "acdfg"},  {Im_Num6, "acdefg"}, {Im_Num7, "abc"},     {Im_Num8, "abcdefg"},
    {Im_Num9, "abcdfg"}, {Im_NumL, "def"},    {Im_NumM, "g"},       {Im_NumC, "adef"},  {Im_NumN, "abcef"},
};
constexpr int kCellWidth = 11, kCellHeight = 19;

using Cell = std::array<std::array<bool, kCellWidth>, kCellHeight>;

Cell expectedCell(const std::string& segments) {
    Cell cell{};
    for (char s : segments)
        for (const Run& run : kSegments.at(s))
            for (int x = run.first; x <= run.last; ++x) cell[run.row][x] = true;
    return cell;
}

// Compares a cell-sized part of a picture; on mismatch prints both as text.
void expectCellAt(const Bitmap& p, int left, int top, const Cell& cell, const std::string& what,
                  int firstColumn = 0) {
    int wrong = 0;
    std::string got, want;
    for (int y = 0; y < kCellHeight; ++y) {
        for (int x = firstColumn; x < kCellWidth; ++x) {
            const bool black = p.at(left + x, top + y);
            wrong += black != cell[y][x];
            got += black ? '1' : '0';
            want += cell[y][x] ? '1' : '0';
        }
        got += '\n';
        want += '\n';
    }
    EXPECT_EQ(wrong, 0) << what << "\nexpected:\n" << want << "found:\n" << got;
}

// ------------------------------------------------------------------ files and sizes

TEST(LcdArt, EveryTwoColourPictureExistsWithItsElementSize) {
    const auto elements = twoColourElements();
    EXPECT_EQ(elements.size(), 58u);  // 43 on the window + Im_Completa + 14 templates
    for (Element e : elements) {
        const ElementInfo& info = elementInfo(e);
        const fs::path path = kLcdDir / (std::string(info.name) + ".pbm");
        ASSERT_TRUE(fs::exists(path)) << path;
        const Bitmap& p = picture(e);
        EXPECT_EQ(p.width, info.rect.width) << info.name;
        EXPECT_EQ(p.height, info.rect.height) << info.name;
        EXPECT_NE(std::count(p.black.begin(), p.black.end(), 1), 0) << info.name << " is blank";
    }
}

TEST(LcdArt, FilesArePlainTextWithOneLinePerRow) {
    // The art is reviewed in diffs: "P1", the size, then one line of 0 and 1 per row.
    for (Element e : twoColourElements()) {
        const fs::path path = kLcdDir / (std::string(elementInfo(e).name) + ".pbm");
        EXPECT_EQ(readFile(path), toPlainPbm(picture(e))) << path;
    }
}

TEST(LcdArt, NoPictureWithoutAnElement) {
    for (const auto& entry : fs::directory_iterator(kLcdDir)) {
        const auto e = elementByName(entry.path().stem().string());
        EXPECT_TRUE(e && elementInfo(*e).picture == PictureKind::TwoColour) << entry.path();
        EXPECT_EQ(entry.path().extension(), ".pbm") << entry.path();
    }
}

// ------------------------------------------------------------------ digits

TEST(LcdArt, TemplatesFollowTheSegmentGeometry) {
    ASSERT_EQ(kTemplates.size(), static_cast<std::size_t>(kTemplateCount));
    for (const auto& [e, segments] : kTemplates) {
        const Bitmap& p = picture(e);
        ASSERT_EQ(p.width, kCellWidth);
        ASSERT_EQ(p.height, kCellHeight);
        expectCellAt(p, 0, 0, expectedCell(segments), std::string(elementInfo(e).name));
    }
}

TEST(LcdArt, FixedZerosAreTwoCellsThirteenApart) {
    const Bitmap& p = picture(Im_Num00);
    ASSERT_EQ(p.width, 24);
    expectCellAt(p, 0, 0, expectedCell("abcdef"), "first zero");
    expectCellAt(p, 13, 0, expectedCell("abcdef"), "second zero");
    for (int y = 0; y < kCellHeight; ++y) EXPECT_FALSE(p.at(11, y) || p.at(12, y)) << "row " << y;
}

// ------------------------------------------------------------------ the all-segments picture

TEST(LcdArt, AllSegmentsPictureHoldsEveryElementAtItsPlace) {
    const Bitmap& all = picture(Im_Completa);
    const Rect frame = elementInfo(Im_Completa).rect;
    for (Element e : lcdSegments()) {
        int missing = 0;
        for (const auto& [x, y] : blackOnWindow(e)) missing += !all.at(x - frame.left, y - frame.top);
        EXPECT_EQ(missing, 0) << elementInfo(e).name << ": black pixels not lit in Im_Completa";
    }
}

TEST(LcdArt, AllSegmentsPictureShowsTheSlotsAsEight) {
    const Bitmap& all = picture(Im_Completa);
    const Rect frame = elementInfo(Im_Completa).rect;
    const Cell eight = expectedCell("abcdefg");
    for (Element slot : {Im_NumPos4, Im_NumPos3, Im_NumPos2, Im_NumPos1}) {
        const Rect r = elementInfo(slot).rect;
        const int firstColumn = std::max(0, frame.left - r.left);
        expectCellAt(all, r.left - frame.left, r.top - frame.top, eight, std::string(elementInfo(slot).name),
                     firstColumn);
    }
    // The first slot is cut by the picture's edge: what shows is the right-hand
    // columns only, segments b and c, which read as a 1.
    const Rect first = elementInfo(Im_NumPos1).rect;
    EXPECT_EQ(frame.left - first.left, 8);
    for (int row : {3, 4, 5, 6, 12, 13, 14, 15}) EXPECT_TRUE(all.at(first.left + 9 - frame.left, first.top + row - frame.top));
}

TEST(LcdArt, AllSegmentsPictureShowsTheFixedZeros) {
    const Bitmap& all = picture(Im_Completa);
    const Rect frame = elementInfo(Im_Completa).rect;
    const Rect zeros = elementInfo(Im_Num00).rect;
    expectCellAt(all, zeros.left - frame.left, zeros.top - frame.top, expectedCell("abcdef"), "first fixed zero");
    expectCellAt(all, zeros.left + 13 - frame.left, zeros.top - frame.top, expectedCell("abcdef"),
                 "second fixed zero");
}

TEST(LcdArt, AllSegmentsPictureAddsThreeRidersAndTwoDashesEachSideOfTheFarRoad) {
    const Bitmap& all = picture(Im_Completa);
    const Rect frame = elementInfo(Im_Completa).rect;
    std::set<Point> explained;
    for (Element e : lcdSegments()) explained.merge(blackOnWindow(e));
    for (Element slot : {Im_NumPos4, Im_NumPos3, Im_NumPos2, Im_NumPos1}) {
        const Rect r = elementInfo(slot).rect;
        for (int y = r.top; y < r.bottom(); ++y)
            for (int x = r.left; x < r.right(); ++x) explained.insert({x, y});
    }
    const Rect left{170, 130, 231 - 170 + 1, 185 - 130 + 1}, right{275, 128, 323 - 275 + 1, 188 - 128 + 1};
    std::set<Point> leftExtras, rightExtras;
    for (int y = 0; y < all.height; ++y)
        for (int x = 0; x < all.width; ++x) {
            const Point p{x + frame.left, y + frame.top};
            if (!all.at(x, y) || explained.count(p)) continue;
            if (left.contains(p.first, p.second)) leftExtras.insert(p);
            else if (right.contains(p.first, p.second)) rightExtras.insert(p);
            else ADD_FAILURE() << "stray black pixel at " << p.first << ", " << p.second;
        }
    // Three riders and two dashes are five separate figures on each side; the
    // riders are the bigger ones.
    for (const auto* extras : {&leftExtras, &rightExtras}) {
        auto parts = components(*extras);
        ASSERT_EQ(parts.size(), 5u);
        std::vector<std::size_t> sizes;
        for (const auto& part : parts) sizes.push_back(part.size());
        std::sort(sizes.begin(), sizes.end());
        EXPECT_GT(2 * sizes[2], 3 * sizes[1]) << "riders should be clearly bigger than dashes";
    }
}

// ------------------------------------------------------------------ how the pieces fit

TEST(LcdArt, FarRowOpponentsShareOnePicture) {
    EXPECT_EQ(elementInfo(Im_Avv41).rect, elementInfo(Im_Avv42).rect);
    EXPECT_EQ(elementInfo(Im_Avv41).rect, elementInfo(Im_Avv43).rect);
    EXPECT_EQ(picture(Im_Avv41).black, picture(Im_Avv42).black);
    EXPECT_EQ(picture(Im_Avv41).black, picture(Im_Avv43).black);
}

TEST(LcdArt, SegmentsNeverShareAPixel) {
    // Like the glass of a real LCD: each pixel belongs to one segment at most
    // (the far row's three cells are one figure).
    std::map<Point, Element> owner;
    for (Element e : lcdSegments()) {
        if (e == Im_Avv42 || e == Im_Avv43) continue;
        for (const Point& p : blackOnWindow(e)) {
            auto [it, added] = owner.emplace(p, e);
            EXPECT_TRUE(added) << elementInfo(e).name << " and " << elementInfo(it->second).name << " share "
                               << p.first << ", " << p.second;
        }
    }
}

TEST(LcdArt, EveryRiderAndOpponentIsOneFigure) {
    // Highlight lines and the gaps kept to neighbouring segments must not cut a
    // figure into pieces.
    for (Element e : {Im_Moto1, Im_Moto2, Im_Moto3, Im_Avv11, Im_Avv12, Im_Avv13, Im_Avv21, Im_Avv22, Im_Avv23,
                      Im_Avv31, Im_Avv32, Im_Avv33, Im_Avv41})
        EXPECT_EQ(components(blackOnWindow(e)).size(), 1u) << elementInfo(e).name;
}

TEST(LcdArt, LivesPiecesJoinIntoOneMotorbike) {
    std::set<Point> bike;
    for (Element e : {Im_Errori1, Im_Errori2, Im_Errori3, Im_Errori4}) bike.merge(blackOnWindow(e));
    EXPECT_EQ(components(bike).size(), 1u);
}

TEST(LcdArt, StartLampsSitApartInsideTheHousing) {
    const std::set<Point> housing = blackOnWindow(Im_Semaforo3);
    const Rect box = elementInfo(Im_Semaforo3).rect;
    std::set<Point> all = housing;
    for (Element lamp : {Im_Semaforo1, Im_Semaforo2}) {
        const Rect r = elementInfo(lamp).rect;
        EXPECT_TRUE(r.left > box.left && r.right() < box.right() && r.top > box.top && r.bottom() < box.bottom());
        all.merge(blackOnWindow(lamp));
    }
    // Housing, its own bottom lamp, and the two lamps: four separate figures.
    EXPECT_EQ(components(all).size(), 4u);
    EXPECT_EQ(components(housing).size(), 2u);
}

TEST(LcdArt, SpeedBarsRiseInOneArcOfNine) {
    std::set<Point> bars;
    for (Element e : {Im_Speed1, Im_Speed2, Im_Speed3}) {
        EXPECT_EQ(components(blackOnWindow(e)).size(), 3u) << elementInfo(e).name;
        bars.merge(blackOnWindow(e));
    }
    auto parts = components(bars);
    ASSERT_EQ(parts.size(), 9u);
    struct Bar {
        int left, top, bottom;
    };
    std::vector<Bar> found;
    for (const auto& part : parts) {
        Bar b{1 << 20, 1 << 20, -1};
        for (const auto& [x, y] : part) b = {std::min(b.left, x), std::min(b.top, y), std::max(b.bottom, y)};
        found.push_back(b);
    }
    std::sort(found.begin(), found.end(), [](const Bar& a, const Bar& b) { return a.left < b.left; });
    for (std::size_t i = 1; i < found.size(); ++i) {
        EXPECT_LE(found[i].top, found[i - 1].top) << "bar " << i + 1;
        EXPECT_LE(found[i].bottom, found[i - 1].bottom) << "bar " << i + 1;
    }
    EXPECT_LT(found.back().bottom, found.front().bottom);
}

TEST(LcdArt, FuelNeedlesLeanLeftUprightAndRight) {
    // The lowest pixel of each needle is its foot at the hub; the top leans away.
    auto footAndTip = [](Element e) {
        Point foot{0, -1}, tip{0, 1 << 20};
        for (const Point& p : blackOnWindow(e)) {
            if (p.second > foot.second) foot = p;
            if (p.second < tip.second) tip = p;
        }
        return std::pair{foot, tip};
    };
    const auto [foot1, tip1] = footAndTip(Im_Fuel1);
    const auto [foot2, tip2] = footAndTip(Im_Fuel2);
    const auto [foot3, tip3] = footAndTip(Im_Fuel3);
    EXPECT_LT(tip1.first, foot1.first);
    EXPECT_EQ(tip2.first, foot2.first);
    EXPECT_GT(tip3.first, foot3.first);
    // The three feet ring the hub drawn in the dashboard below the upright needle.
    std::set<Point> dashboard = blackOnWindow(Im_Cruscotto);
    bool hubBelow = false;
    for (int y = foot2.second + 1; y <= foot2.second + 4; ++y) hubBelow |= dashboard.count({foot2.first, y}) > 0;
    EXPECT_TRUE(hubBelow);
}

}  // namespace
}  // namespace vorlak
