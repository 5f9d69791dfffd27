// The console's window pieces: the stored outline and what damages it, the
// outline's region at 1x and 2x, the panel painted with GDI pixel for pixel,
// and the window itself (size, outline, changes drawn as one rectangle).
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "frontends/win32/window/console_pictures.h"
#include "frontends/win32/window/console_view.h"
#include "frontends/win32/window/outline.h"
#include "frontends/win32/window/panel_painter.h"
#include "game/handheld.h"
#include "sound/recording_sound.h"

namespace vorlak {
namespace {

std::vector<std::uint8_t> storedOutline() {
    const auto bytes = programResource(L"CoolForm1_Mask2");
    return {bytes.begin(), bytes.end()};
}

void put32(std::vector<std::uint8_t>& block, std::size_t at, std::int32_t value) {
    std::memcpy(block.data() + at, &value, 4);
}

TEST(Outline, TheStoredBlockIsReadAndDamagedOnesAreRefused) {
    const auto block = storedOutline();
    ASSERT_EQ(block.size(), 1188u);
    const auto data = outlineRegionData(block);
    ASSERT_TRUE(data);
    EXPECT_EQ(data->size(), 1184u);

    EXPECT_FALSE(outlineRegionData(std::vector<std::uint8_t>(4, 0)));  // no outline
    EXPECT_FALSE(outlineRegionData(std::span(block).first(1000)));     // cut short
    auto damaged = block;
    put32(damaged, 0, 1184 + 16);  // N beyond the block
    EXPECT_FALSE(outlineRegionData(damaged));
    damaged = block;
    put32(damaged, 12, 71);  // count disagrees with N
    EXPECT_FALSE(outlineRegionData(damaged));
    damaged = block;
    put32(damaged, 8, 2);  // not a rectangle list
    EXPECT_FALSE(outlineRegionData(damaged));
    damaged = block;
    put32(damaged, 36 + 8, 15);  // first rectangle empty: right == left
    EXPECT_FALSE(outlineRegionData(damaged));
    damaged = block;
    put32(damaged, 36 + 12, 70000);  // beyond what a window system places
    EXPECT_FALSE(outlineRegionData(damaged));
}

TEST(Outline, TheRegionHoldsTheConsoleAndLeavesItsCornersOutAtEveryScale) {
    const auto data = outlineRegionData(storedOutline());
    ASSERT_TRUE(data);
    HRGN one = createOutlineRegion(*data, 1);
    HRGN two = createOutlineRegion(*data, 2);
    ASSERT_TRUE(one && two);
    for (auto [x, y] : {std::pair{0, 0}, {1, 300}, {440, 736}, {460, 737}, {40, 1}, {421, 2}, {462, 100}})
        EXPECT_FALSE(PtInRegion(one, x, y)) << x << "," << y;
    for (auto [x, y] : {std::pair{230, 400}, {2, 19}, {41, 2}, {460, 659}, {22, 737}, {349, 737}})
        EXPECT_TRUE(PtInRegion(one, x, y)) << x << "," << y;
    // At 2x every console pixel is a 2 x 2 block, in or out as a whole.
    for (int y = 0; y < 738; y += (y < 20 || y > 655) ? 1 : 37)
        for (int x = 0; x < 462; ++x) {
            const bool in = PtInRegion(one, x, y);
            ASSERT_EQ(PtInRegion(two, 2 * x, 2 * y) != 0, in) << x << "," << y;
            ASSERT_EQ(PtInRegion(two, 2 * x + 1, 2 * y + 1) != 0, in) << x << "," << y;
        }
    DeleteObject(one);
    DeleteObject(two);
}

// The console at 1x in a bitmap of our own, painted by paintPanel.
struct Canvas {
    HDC dc = CreateCompatibleDC(nullptr);
    std::uint32_t* bits = nullptr;
    HBITMAP bitmap;
    HGDIOBJ original;
    Canvas() {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), 461, -738, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
        original = SelectObject(dc, bitmap);
    }
    ~Canvas() {
        SelectObject(dc, original);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    std::uint32_t at(int x, int y) {
        GdiFlush();
        return bits[y * 461 + x] & 0xFFFFFF;
    }
};

struct PainterTest : ::testing::Test {
    static void SetUpTestSuite() { pictures = new ConsolePictures; }
    static void TearDownTestSuite() { delete pictures; }
    static ConsolePictures* pictures;
    Panel panel;
    Canvas canvas;

    // Each pixel of the element's rectangle: black where its picture is
    // black, else the skin's pixel.
    void expectDrawnOverSkin(Element e, Element picture) {
        const Image* skin = pictures->image(Im_Principale);
        const Image* image = pictures->image(picture);
        const Rect& r = elementInfo(e).rect;
        int black = 0;
        for (int y = 0; y < r.height; ++y)
            for (int x = 0; x < r.width; ++x) {
                const bool isBlack = image->at(x, y) == 0;
                black += isBlack;
                const std::uint32_t want = isBlack ? 0 : skin->at(r.left + x, r.top + y);
                ASSERT_EQ(canvas.at(r.left + x, r.top + y), want) << elementInfo(e).name << " at " << x << "," << y;
            }
        EXPECT_GT(black, 0) << elementInfo(e).name;
    }
};
ConsolePictures* PainterTest::pictures = nullptr;

TEST_F(PainterTest, EveryPictureLoadsAtItsElementsSize) {
    EXPECT_TRUE(pictures->problems().empty()) << pictures->problems().front();
    const Image* skin = pictures->image(Im_Principale);
    ASSERT_TRUE(skin);
    // The body of the handheld is red plastic.
    const std::uint32_t body = skin->at(230, 600);
    EXPECT_GT((body >> 16) & 0xFF, 150u);
    EXPECT_LT((body >> 8) & 0xFF, 90u);
}

TEST_F(PainterTest, ShownElementsAreDrawnOverTheSkinByTheirBlackPixelsAndKeysAsTheyAre) {
    panel.show(Im_GameOver);
    panel.show(Im_Num00);
    panel.putTemplate(Im_NumPos1, Im_Num8);
    paintPanel(canvas.dc, panel, *pictures, kWindowRect);
    expectDrawnOverSkin(Im_GameOver, Im_GameOver);
    expectDrawnOverSkin(Im_Num00, Im_Num00);
    expectDrawnOverSkin(Im_NumPos1, Im_Num8);
    // A key picture is opaque; a hidden element leaves the skin.
    const Image* start = pictures->image(Im_Start);
    EXPECT_EQ(canvas.at(338 + 40, 392 + 37), start->at(40, 37));
    const Image* skin = pictures->image(Im_Principale);
    EXPECT_EQ(canvas.at(141 + 19, 224 + 20), skin->at(141 + 19, 224 + 20));  // Im_Moto1, hidden
}

TEST_F(PainterTest, OnlyTheAskedAreaIsPainted) {
    PatBlt(canvas.dc, 0, 0, 461, 738, BLACKNESS);
    panel.show(Im_GameOver);
    const Rect& r = elementInfo(Im_GameOver).rect;
    paintPanel(canvas.dc, panel, *pictures, r);
    expectDrawnOverSkin(Im_GameOver, Im_GameOver);
    EXPECT_EQ(canvas.at(r.left - 1, r.top), 0u);
    EXPECT_EQ(canvas.at(r.right(), r.bottom() - 1), 0u);
    EXPECT_EQ(canvas.at(230, 600), 0u);
}

// The window itself, showing a console; needs a display.
TEST_F(PainterTest, TheWindowTakesTheOutlineGrowsToTheSkinWaitsUnseenAndDrawsChangesAsOneRectangle) {
    ManualClock clock;
    RecordingSound sound;
    ConsoleView view(*pictures);
    ASSERT_TRUE(view.create(GetModuleHandleW(nullptr)));
    RECT client;
    GetClientRect(view.handle(), &client);
    EXPECT_EQ(client.right, 461 * view.scale());
    EXPECT_EQ(client.bottom, 585 * view.scale());
    EXPECT_EQ(view.windowPosition(), (Point{-500, -1}));
    Handheld handheld(clock, sound, sound, view, ConsoleView::platformTraits());  // grows the window
    view.attach(&handheld);
    GetClientRect(view.handle(), &client);
    EXPECT_EQ(client.bottom, 738 * view.scale());

    ASSERT_TRUE(view.hasOutline());
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_EQ(GetWindowRgn(view.handle(), region), COMPLEXREGION);
    EXPECT_FALSE(PtInRegion(region, 0, 0));
    EXPECT_TRUE(PtInRegion(region, 230 * view.scale(), 400 * view.scale()));
    DeleteObject(region);

    // Until it is played the console waits shown but with nothing of it in
    // its region; then it comes at its place with its outline.
    view.showUnseen();
    region = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(view.handle(), region), NULLREGION);
    EXPECT_TRUE(IsWindowVisible(view.handle()));
    view.showAt({120, 15});
    EXPECT_EQ(GetWindowRgn(view.handle(), region), COMPLEXREGION);
    EXPECT_TRUE(PtInRegion(region, 230 * view.scale(), 400 * view.scale()));
    DeleteObject(region);
    EXPECT_EQ(view.windowPosition(), (Point{120, 15}));
    view.showAt({121, std::nullopt});  // a top of none keeps the window's top
    EXPECT_EQ(view.windowPosition(), (Point{121, 15}));
    UpdateWindow(view.handle());
    const int paints = view.paintCount();
    handheld.console().panel().show(Im_Suoni);     // 132, 133
    handheld.console().panel().show(Im_GameOver);  // 292, 177, 38 x 31
    UpdateWindow(view.handle());
    EXPECT_EQ(view.paintCount(), paints + 1);
    EXPECT_EQ(view.lastPaintArea(), (Rect{132, 133, 330 - 132, 208 - 133}));
    view.attach(nullptr);
}

}  // namespace
}  // namespace vorlak
