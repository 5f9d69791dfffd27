// The display catalogue against the console's element table, and the display
// operations the rules rely on.
#include <gtest/gtest.h>

#include <vector>

#include "game/panel.h"

using namespace vorlak;

namespace {

struct Expected {
    const char* name;
    int left, top, width, height;
    bool shownAtStart;
};

// The window's elements from bottom to top, as laid out on the console.
const Expected kTable[] = {
    {"CoolForm1", 0, 0, 461, 585, false},    {"Im_Principale", 0, 0, 461, 738, true},
    {"Im_Completa", 129, 101, 201, 152, false}, {"Im_Sound", 240, 475, 34, 38, true},
    {"Im_ACL", 288, 475, 34, 38, true},      {"Im_Start", 338, 392, 79, 75, true},
    {"Im_Num00", 174, 105, 24, 19, false},   {"Im_NumPos4", 161, 105, 11, 19, true},
    {"Im_NumPos3", 148, 105, 11, 19, true},  {"Im_NumPos2", 135, 105, 11, 19, true},
    {"Im_NumPos1", 121, 105, 11, 19, true},  {"Im_Suoni", 132, 133, 21, 20, false},
    {"Im_OnOff", 195, 475, 34, 38, true},    {"Im_Pompa1", 130, 173, 24, 27, false},
    {"Im_Chiave1", 155, 170, 8, 19, false},  {"Im_Pompa2", 302, 209, 26, 27, false},
    {"Im_Chiave2", 293, 210, 8, 21, false},  {"Im_Linea1sx", 134, 217, 18, 23, false},
    {"Im_Linea1dx", 278, 225, 11, 23, false}, {"Im_Linea2sx", 153, 193, 20, 22, false},
    {"Im_Linea2dx", 271, 198, 8, 24, false}, {"Im_Linea3sx1", 216, 138, 33, 20, false},
    {"Im_Linea3dx", 268, 137, 10, 46, false}, {"Im_GameOver", 292, 177, 38, 31, false},
    {"Im_Cruscotto", 219, 101, 67, 29, false}, {"Im_Speed1", 202, 110, 15, 16, false},
    {"Im_Speed2", 214, 103, 16, 13, false},  {"Im_Speed3", 230, 103, 16, 9, false},
    {"Im_Fuel1", 254, 110, 7, 10, false},    {"Im_Fuel2", 268, 106, 2, 11, false},
    {"Im_Fuel3", 277, 110, 6, 9, false},     {"Im_Errori4", 289, 107, 39, 18, false},
    {"Im_Errori3", 311, 102, 16, 15, false}, {"Im_Errori2", 308, 111, 6, 5, false},
    {"Im_Errori1", 292, 105, 14, 3, false},  {"Im_Semaforo3", 158, 135, 15, 31, false},
    {"Im_Semaforo2", 163, 147, 5, 6, false}, {"Im_Semaforo1", 163, 139, 5, 6, false},
    {"Im_Moto1", 141, 224, 38, 29, false},   {"Im_Moto2", 190, 221, 34, 32, false},
    {"Im_Moto3", 237, 222, 37, 30, false},   {"Im_Avv12", 205, 198, 28, 33, false},
    {"Im_Avv13", 242, 197, 31, 28, false},   {"Im_Avv23", 244, 171, 20, 28, false},
    {"Im_Avv33", 254, 151, 14, 24, false},   {"Im_Avv42", 250, 132, 16, 21, false},
    {"Im_Avv41", 250, 132, 16, 21, false},   {"Im_Avv43", 250, 132, 16, 21, false},
    {"Im_Avv32", 235, 150, 16, 26, false},   {"Im_Avv21", 192, 175, 21, 30, false},
    {"Im_Avv22", 219, 178, 19, 31, false},   {"Im_Avv11", 161, 193, 32, 30, false},
    {"Im_Linea3sx2", 183, 161, 28, 24, false}, {"Im_Avv31", 213, 157, 18, 26, false},
    {"Sh_Su", 96, 386, 31, 38, true},        {"Sh_Sx", 58, 425, 38, 31, true},
    {"Sh_Dx", 129, 425, 38, 31, true},       {"Sh_Giu", 96, 457, 31, 38, true},
};

}  // namespace

TEST(Catalogue, MatchesTheConsoleLayoutInDrawingOrder) {
    ASSERT_EQ(std::size(kTable), static_cast<size_t>(kDrawnElementCount));
    Panel panel;
    for (int i = 0; i < kDrawnElementCount; ++i) {
        const auto e = static_cast<Element>(i);
        const ElementInfo& info = elementInfo(e);
        const Expected& x = kTable[i];
        EXPECT_EQ(info.name, x.name) << "position " << i + 1;
        EXPECT_EQ(info.rect, (Rect{x.left, x.top, x.width, x.height})) << x.name;
        EXPECT_EQ(panel.shown(e), x.shownAtStart) << x.name;
    }
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
