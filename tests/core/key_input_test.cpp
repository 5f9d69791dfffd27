// Key events as front ends report them, turned into the console's: repeated
// key-downs and one key-up for a held key, whatever the desktop sends, on the
// game's clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "game/key_input.h"
#include "game/keys.h"

using namespace vorlak;

namespace {

struct KeyInputTest : ::testing::Test {
    using Events = std::vector<std::string>;
    ManualClock clock;
    Events events;
    KeyInput keys{clock, [this](std::uint16_t k) { events.push_back(at("down", k)); },
                  [this](std::uint16_t k) { events.push_back(at("up", k)); }};

    void SetUp() override { clock.setTickHandler([this](TimerId id) { keys.onTimer(id); }); }
    std::string at(const char* what, std::uint16_t key) const {
        return std::to_string(clock.now()) + " " + what + " " + std::to_string(key);
    }
    void traits(int delay, int interval, bool pairs = false) {
        KeyboardTraits t;
        t.repeatDelayMs = delay;
        t.repeatIntervalMs = interval;
        t.unmarkedRepeatPairs = pairs;
        keys.setTraits(t);
    }
    long downs(std::uint16_t key) const {
        const std::string tail = " down " + std::to_string(key);
        return std::count_if(events.begin(), events.end(),
                             [&](const std::string& e) { return e.ends_with(tail); });
    }
};

}  // namespace

TEST_F(KeyInputTest, MarkedRepeatsGiveRepeatedDownsAndAReleaseComesAtOnceWithoutUnmarkedPairs) {
    keys.pressed(kKeyUp, false);
    clock.advance(500);
    keys.released(kKeyUp, true);  // the half of a marked pair
    keys.pressed(kKeyUp, true);
    clock.advance(33);
    keys.released(kKeyUp, false);
    EXPECT_EQ(events, (Events{"0 down 38", "500 down 38", "533 up 38"}));
}

TEST_F(KeyInputTest, UnmarkedPairsAreDroppedWhereTheyComeButARealReleaseIsLateByTheHoldOnly) {
    traits(500, 33, true);
    keys.pressed(kKeyLeft, false, 100);
    clock.advance(500);
    keys.released(kKeyLeft, false, 600);  // unmarked, same time stamp as the next press
    keys.pressed(kKeyLeft, false, 600);
    clock.advance(100);
    EXPECT_EQ(events, (Events{"0 down 37", "500 down 37"}));
    keys.released(kKeyLeft, false, 700);
    clock.advance(KeyInput::kReleaseHoldMs - 1);
    EXPECT_EQ(events.size(), 2u);
    clock.advance(1);
    EXPECT_EQ(events.back(), "615 up 37");
    // A release held back goes before the next press of another time.
    keys.released(kKeyRight, false, 800);
    keys.pressed(kKeyRight, false, 805);
    EXPECT_EQ(events, (Events{"0 down 37", "500 down 37", "615 up 37", "615 up 39", "615 down 39"}));
}

TEST_F(KeyInputTest, HeldControlRepeatsAtTheDesktopRateUntilReleasedOrAnotherKeyIsPressed) {
    traits(60, 20);
    keys.pressed(kKeyControl, false);
    clock.advance(100);
    EXPECT_EQ(events, (Events{"0 down 17", "60 down 17", "80 down 17", "100 down 17"}));
    keys.released(kKeyControl, false);
    clock.advance(200);
    EXPECT_EQ(downs(kKeyControl), 4);

    keys.pressed(kKeyControl, false);
    keys.pressed(kKeyLeft, false);  // only the last key pressed repeats
    clock.advance(200);
    EXPECT_EQ(downs(kKeyControl), 5);
}

TEST_F(KeyInputTest, ASystemSeenRepeatingControlIsNotDoubled) {
    traits(30, 10);
    keys.pressed(kKeyControl, false);
    clock.advance(20);
    keys.pressed(kKeyControl, true);  // the desktop repeats it itself
    clock.advance(100);
    EXPECT_EQ(downs(kKeyControl), 2);
    keys.released(kKeyControl, false);
    keys.pressed(kKeyControl, false);  // and is trusted from then on
    clock.advance(100);
    EXPECT_EQ(downs(kKeyControl), 3);
}

TEST_F(KeyInputTest, PadsAreASecondKeyboardWithARepeatOfTheirOwn) {
    traits(30, 10);
    keys.pressed(kKeyControl, false);
    keys.padPressed(1, kKeyLeft);
    clock.advance(50);
    // Both repeat: the keyboard's CTRL and the pad's arrow.
    EXPECT_EQ(downs(kKeyControl), 4);
    EXPECT_EQ(downs(kKeyLeft), 4);
    keys.padReleased(2, kKeyRight);  // another control's release stops nothing
    clock.advance(10);
    EXPECT_EQ(downs(kKeyLeft), 5);
    keys.padReleased(1, kKeyLeft);
    clock.advance(50);
    EXPECT_EQ(downs(kKeyLeft), 5);
    keys.flush();  // the console lost the keyboard
    const auto before = events.size();
    clock.advance(100);
    EXPECT_EQ(events.size(), before);
}
