// The display catalogue, spot-checked against the console's documented layout,
// and the display operations the rules rely on.
#include <gtest/gtest.h>

#include <set>
#include <string_view>
#include <vector>

#include "game/panel.h"

using namespace vorlak;

namespace {

// Places and sizes as the console's documentation gives them, with the place
// in the drawing order (1 is drawn first, at the bottom). Chosen to catch a
// shifted or reordered table: the ends, the elements out of their group (a key
// among the LCD segments, a track dash among the opponents), the slots that
// run right to left, the narrowest pictures, and the three row-4 cells that
// share one place.
struct Placed {
    int order;
    const char* name;
    Rect rect;
};

const Placed kSpotChecks[] = {
    {1, "CoolForm1", {0, 0, 461, 585}},       {2, "Im_Principale", {0, 0, 461, 738}},
    {3, "Im_Completa", {129, 101, 201, 152}}, {7, "Im_Num00", {174, 105, 24, 19}},
    {8, "Im_NumPos4", {161, 105, 11, 19}},    {11, "Im_NumPos1", {121, 105, 11, 19}},
    {13, "Im_OnOff", {195, 475, 34, 38}},     {30, "Im_Fuel2", {268, 106, 2, 11}},
    {35, "Im_Errori1", {292, 105, 14, 3}},    {46, "Im_Avv42", {250, 132, 16, 21}},
    {47, "Im_Avv41", {250, 132, 16, 21}},     {48, "Im_Avv43", {250, 132, 16, 21}},
    {53, "Im_Linea3sx2", {183, 161, 28, 24}}, {58, "Sh_Giu", {96, 457, 31, 38}},
};

}  // namespace

TEST(Catalogue, FiftyEightElementsInDrawingOrderAtTheirPlaces) {
    ASSERT_EQ(kDrawnElementCount, 58);
    for (const Placed& x : kSpotChecks) {
        const auto e = elementByName(x.name);
        ASSERT_TRUE(e) << x.name;
        EXPECT_EQ(*e + 1, x.order) << x.name;
        EXPECT_EQ(elementInfo(*e).rect, x.rect) << x.name;
    }
    // Every element answers to its own name, and to no other's.
    for (int i = 0; i < ElementCount; ++i) {
        const auto e = static_cast<Element>(i);
        EXPECT_EQ(elementByName(elementInfo(e).name), e) << elementInfo(e).name;
    }
}

TEST(Catalogue, OnlyTheSkinKeysSlotsAndHintAreasAreShownAtStart) {
    Panel panel;
    std::set<std::string_view> shown;
    for (int i = 0; i < kDrawnElementCount; ++i)
        if (panel.shown(static_cast<Element>(i))) shown.insert(elementInfo(static_cast<Element>(i)).name);
    const std::set<std::string_view> expected = {
        "Im_Principale",                                               // the skin
        "Im_OnOff",      "Im_Sound",   "Im_ACL",     "Im_Start",       // the keys
        "Im_NumPos1",    "Im_NumPos2", "Im_NumPos3", "Im_NumPos4",     // the empty digit slots
        "Sh_Su",         "Sh_Sx",      "Sh_Dx",      "Sh_Giu",         // the hint areas
    };
    EXPECT_EQ(shown, expected);
}

TEST(Catalogue, TemplatesAreElevenByNineteenAndNeverShown) {
    Panel panel;
    const char* names[] = {"Im_Num0", "Im_Num1", "Im_Num2", "Im_Num3", "Im_Num4", "Im_Num5", "Im_Num6",
                           "Im_Num7", "Im_Num8", "Im_Num9", "Im_NumL", "Im_NumM", "Im_NumC", "Im_NumN"};
    ASSERT_EQ(std::size(names), static_cast<size_t>(kTemplateCount));
    for (const char* name : names) {
        const auto e = elementByName(name);
        ASSERT_TRUE(e) << name;
        EXPECT_TRUE(isTemplate(*e));
        EXPECT_EQ(elementInfo(*e).rect.width, 11);
        EXPECT_EQ(elementInfo(*e).rect.height, 19);
        EXPECT_FALSE(panel.shown(*e));
        EXPECT_EQ(elementInfo(*e).picture, PictureKind::TwoColour);
    }
}

TEST(Catalogue, CursorsAndHintsOfTheKeysAndThePad) {
    EXPECT_EQ(elementInfo(Im_OnOff).hint, "Click to turn game on/off");
    EXPECT_EQ(elementInfo(Im_Sound).hint, "Click to turn sound on/off");
    EXPECT_EQ(elementInfo(Im_ACL).hint, "Click to reset the game");
    EXPECT_EQ(elementInfo(Im_Start).hint, "Press 'CTRL' key to start or for ingame functions");
    EXPECT_EQ(elementInfo(Sh_Su).hint, "Use up-arrow key to accelerate");
    EXPECT_EQ(elementInfo(Sh_Sx).hint, "Use left-arrow key to move left");
    EXPECT_EQ(elementInfo(Sh_Dx).hint, "Use right-arrow key to move right");
    EXPECT_EQ(elementInfo(Sh_Giu).hint, "Use down-arrow key to brake");
    for (Element e : {Im_OnOff, Im_Sound, Im_ACL}) EXPECT_EQ(elementInfo(e).cursor, Cursor::Hand);
    for (Element e : {Im_Start, Sh_Su, Sh_Sx, Sh_Dx, Sh_Giu}) EXPECT_EQ(elementInfo(e).cursor, Cursor::Help);
    int hinted = 0;
    for (int i = 0; i < ElementCount; ++i) hinted += !elementInfo(static_cast<Element>(i)).hint.empty();
    EXPECT_EQ(hinted, 8);
}

TEST(Panel, ReportsEachVisibleChangeWithItsRectangle) {
    Panel panel;
    std::vector<Rect> changes;
    panel.setChangeListener([&](const Rect& r) { changes.push_back(r); });

    panel.show(Im_Moto2);
    panel.show(Im_Moto2);  // already shown: nothing to redraw
    panel.hide(Im_Moto2);
    EXPECT_EQ(changes, (std::vector<Rect>{{190, 221, 34, 32}, {190, 221, 34, 32}}));

    changes.clear();
    panel.putTemplate(Im_NumPos2, Im_NumL);
    panel.putTemplate(Im_NumPos2, Im_NumL);  // the same picture again draws the same
    panel.putTemplate(Im_NumPos2, Im_Num7);  // a new picture replaces it
    panel.clearSlot(Im_NumPos2);
    panel.clearSlot(Im_NumPos2);
    EXPECT_EQ(changes.size(), 3u);
    EXPECT_EQ(changes[0], (Rect{135, 105, 11, 19}));
    EXPECT_FALSE(panel.slotPicture(Im_NumPos2));
    EXPECT_TRUE(panel.shown(Im_NumPos2));  // a blank slot is still shown
}

TEST(Panel, SlotsDrawTheirCopiedTemplateAndOnlySlotsTakeOne) {
    Panel panel;
    EXPECT_FALSE(panel.pictureOf(Im_NumPos1));
    panel.putTemplate(Im_NumPos1, Im_Num5);
    EXPECT_EQ(panel.pictureOf(Im_NumPos1), Im_Num5);
    panel.putTemplate(Im_Moto1, Im_Num5);  // not a slot: ignored
    EXPECT_EQ(panel.pictureOf(Im_Moto1), Im_Moto1);
    EXPECT_FALSE(panel.pictureOf(Sh_Su));  // hint areas draw nothing
}

TEST(Panel, TheTopmostShownElementTakesThePoint) {
    Panel panel;
    EXPECT_EQ(panel.elementAt(5, 5), Im_Principale);
    EXPECT_EQ(panel.elementAt(125, 110), Im_NumPos1);  // a blank slot still takes presses
    EXPECT_EQ(panel.elementAt(200, 480), Im_OnOff);
    EXPECT_EQ(panel.elementAt(200, 230), Im_Principale);  // hidden rider takes no part
    panel.show(Im_Moto2);
    EXPECT_EQ(panel.elementAt(200, 230), Im_Moto2);
    panel.show(Im_Avv11);  // later in the order: over the rider where they overlap
    EXPECT_EQ(panel.elementAt(191, 222), Im_Avv11);
    panel.show(Im_Completa);  // under everything but the skin
    EXPECT_EQ(panel.elementAt(191, 222), Im_Avv11);
    EXPECT_EQ(panel.elementAt(320, 240), Im_Completa);
    EXPECT_EQ(panel.elementAt(100, 400), Sh_Su);
}
