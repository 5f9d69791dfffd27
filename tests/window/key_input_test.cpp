// Key events as the toolkit delivers them, turned into the console's: repeated
// key-downs and one key-up for a held key, whatever the desktop sends.
#include <QTest>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frontends/qt/window/key_input.h"

using namespace vorlak;

namespace {

struct KeyInputTest : ::testing::Test {
    std::vector<std::string> events;
    KeyInput keys{[this](std::uint16_t k) { events.push_back("down " + std::to_string(k)); },
                  [this](std::uint16_t k) { events.push_back("up " + std::to_string(k)); }};
    using Events = std::vector<std::string>;
};

}  // namespace

TEST_F(KeyInputTest, VirtualKeyCodes) {
    EXPECT_EQ(KeyInput::virtualKey(Qt::Key_Control), 17);
    EXPECT_EQ(KeyInput::virtualKey(Qt::Key_Left), 37);
    EXPECT_EQ(KeyInput::virtualKey(Qt::Key_Up), 38);
    EXPECT_EQ(KeyInput::virtualKey(Qt::Key_Right), 39);
    EXPECT_EQ(KeyInput::virtualKey(Qt::Key_Down), 40);
    EXPECT_EQ(KeyInput::virtualKey(Qt::Key_A), 'A');
    // Punctuation shares codes 37 to 40 with the arrows in the toolkit: never an arrow.
    for (int key : {Qt::Key_Percent, Qt::Key_Ampersand, Qt::Key_Apostrophe, Qt::Key_ParenLeft, Qt::Key_Space})
        EXPECT_FALSE(KeyInput::virtualKey(key) >= 37 && KeyInput::virtualKey(key) <= 40) << key;
}

TEST_F(KeyInputTest, MarkedAutoRepeatGivesRepeatedDownsAndOneUp) {
    keys.pressed(Qt::Key_Up, false, 100);
    keys.released(Qt::Key_Up, true, 600);
    keys.pressed(Qt::Key_Up, true, 600);
    keys.released(Qt::Key_Up, true, 640);
    keys.pressed(Qt::Key_Up, true, 640);
    keys.released(Qt::Key_Up, false, 700);
    EXPECT_EQ(events, (Events{"down 38", "down 38", "down 38"}));
    // The plain release comes once it has been held back (late on a busy machine).
    EXPECT_TRUE(QTest::qWaitFor([&] { return events.size() > 3; }));
    EXPECT_EQ(events, (Events{"down 38", "down 38", "down 38", "up 38"}));
}

TEST_F(KeyInputTest, AnUnmarkedRepeatPairIsDroppedButARealReleaseIsNot) {
    keys.pressed(Qt::Key_Left, false, 100);
    keys.released(Qt::Key_Left, false, 600);  // unmarked, same time as the next press
    keys.pressed(Qt::Key_Left, false, 600);
    QTest::qWait(40);
    EXPECT_EQ(events, (Events{"down 37", "down 37"}));
    keys.released(Qt::Key_Left, false, 900);
    keys.pressed(Qt::Key_Left, false, 950);  // a new press at another time: release first
    EXPECT_EQ(events, (Events{"down 37", "down 37", "up 37", "down 37"}));
}

TEST_F(KeyInputTest, AReleaseOfAnotherKeyIsDeliveredBeforeTheNextPress) {
    keys.pressed(Qt::Key_Left, false, 100);
    keys.released(Qt::Key_Left, false, 200);
    keys.pressed(Qt::Key_Right, false, 200);
    EXPECT_EQ(events, (Events{"down 37", "up 37", "down 39"}));
}

TEST_F(KeyInputTest, HeldControlRepeatsAtTheDesktopRateUntilReleased) {
    keys.setControlRepeat(60, 20);
    keys.pressed(Qt::Key_Control, false, 100);
    // The press, then repeats from 60 ms every 20 ms.
    EXPECT_TRUE(QTest::qWaitFor([&] { return std::count(events.begin(), events.end(), "down 17") >= 3; }));
    keys.released(Qt::Key_Control, false, 250);
    const auto downs = std::count(events.begin(), events.end(), "down 17");
    EXPECT_TRUE(QTest::qWaitFor([&] { return events.back() == "up 17"; }));
    QTest::qWait(80);
    EXPECT_EQ(std::count(events.begin(), events.end(), "down 17"), downs);
    EXPECT_EQ(events.back(), "up 17");
}

TEST_F(KeyInputTest, PressingAnotherKeyStopsTheControlRepeat) {
    keys.setControlRepeat(30, 10);
    keys.pressed(Qt::Key_Control, false, 100);
    keys.pressed(Qt::Key_Left, false, 110);
    QTest::qWait(80);
    EXPECT_EQ(events, (Events{"down 17", "down 37"}));
}

TEST_F(KeyInputTest, ASystemThatRepeatsControlItselfIsNotDoubled) {
    keys.setControlRepeat(30, 10);
    keys.pressed(Qt::Key_Control, false, 100);
    keys.pressed(Qt::Key_Control, true, 120);  // the desktop repeats it
    QTest::qWait(80);
    EXPECT_EQ(events, (Events{"down 17", "down 17"}));
}

TEST_F(KeyInputTest, PadKeysNeverStopTheKeyboardsControlRepeat) {
    keys.setControlRepeat(30, 10);
    keys.pressed(Qt::Key_Control, false, 100);
    keys.padPressed(1, 37);
    keys.padReleased(1, 37);
    events.clear();
    QTest::qWait(60);
    EXPECT_GE(std::count(events.begin(), events.end(), "down 17"), 2);
    EXPECT_EQ(std::count(events.begin(), events.end(), "down 37"), 0);
}
