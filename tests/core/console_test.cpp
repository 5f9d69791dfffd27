// The console's creation, its blank and reset operations, and its three keys
// (power, sound, reset) as a player presses them.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "game/handheld.h"
#include "sound/recording_sound.h"

using namespace vorlak;

namespace {

// The front end's side: the window's place and what it was asked.
struct FakeFrontEnd : FrontEnd {
    int left = 0, top = 0, clientHeight = 585;
    int moves = 0, menus = 0;
    void panelChanged(const Rect&) override {}
    void moveWindowBy(int dx, int dy) override { left += dx, top += dy, ++moves; }
    std::optional<Point> windowPosition() const override { return Point{left, top}; }
    void openMenu(Point) override { ++menus; }
    void showLauncher() override {}
    void setClientHeight(int h) override { clientHeight = h; }
};

// The mouse as the front end reports it, at window points.
struct Mouse {
    Handheld& handheld;
    void press(MouseButton b, int x, int y) { handheld.mousePress(b, {x, y}); }
    void doubleClick(MouseButton b, int x, int y) { handheld.mouseDoubleClick(b, {x, y}); }
    void move(int x, int y, bool left) { handheld.mouseMove({x, y}, left); }
    void release(MouseButton b, int x, int y) { handheld.mouseRelease(b, {x, y}); }
};

// The elements a blank LCD of a switched-off console must not show.
const Element kLcd[] = {
    Im_Num00, Im_Suoni, Im_Pompa1, Im_Chiave1, Im_Pompa2, Im_Chiave2, Im_Linea1sx, Im_Linea1dx,
    Im_Linea2sx, Im_Linea2dx, Im_Linea3sx1, Im_Linea3dx, Im_GameOver, Im_Cruscotto, Im_Speed1,
    Im_Speed2, Im_Speed3, Im_Fuel1, Im_Fuel2, Im_Fuel3, Im_Errori4, Im_Errori3, Im_Errori2,
    Im_Errori1, Im_Semaforo3, Im_Semaforo2, Im_Semaforo1, Im_Moto1, Im_Moto2, Im_Moto3,
    Im_Avv12, Im_Avv13, Im_Avv23, Im_Avv33, Im_Avv42, Im_Avv41, Im_Avv43, Im_Avv32, Im_Avv21,
    Im_Avv22, Im_Avv11, Im_Linea3sx2, Im_Avv31, Im_Completa,
};

struct ConsoleTest : ::testing::Test {
    ManualClock clock;
    RecordingSound sound;
    FakeFrontEnd window;
    Handheld handheld{clock, sound, sound, window};
    Console& console = handheld.console();
    Mouse mouse{handheld};
    MemorySettings settings;

    void SetUp() override {
        clock.setTickHandler([this](TimerId id) { handheld.tick(id); });
        sound.setTimeSource([this] { return clock.now(); });
        handheld.startLauncher(&settings);
    }
    // Play with Windows MM and the engine tone.
    void openSound() {
        handheld.chooseSound(Sound_WindowsMM);
        handheld.chooseSystem(System_Older);
        ASSERT_EQ(handheld.play({0, 0, 1024, 768}).next, PlayOutcome::Next::ShowConsole);
        sound.clearCalls();
    }
    // A left click on an element's centre: press, then release in place.
    void click(Element e) {
        const Rect& r = elementInfo(e).rect;
        mouse.press(MouseButton::Left, r.left + r.width / 2, r.top + r.height / 2);
        mouse.release(MouseButton::Left, r.left + r.width / 2, r.top + r.height / 2);
    }
    void pressAndHold(Element e) {
        const Rect& r = elementInfo(e).rect;
        mouse.press(MouseButton::Left, r.left + 3, r.top + 3);
    }
    void releaseOver(Element e) {
        const Rect& r = elementInfo(e).rect;
        mouse.release(MouseButton::Left, r.left + 3, r.top + 3);
    }
    std::vector<std::string> shownLcd() const {
        std::vector<std::string> out;
        for (Element e : kLcd)
            if (console.panel().shown(e)) out.emplace_back(elementInfo(e).name);
        return out;
    }
    bool anyTimerEnabled() const {
        for (int i = 0; i < TimerCount; ++i)
            if (console.timers().enabled(static_cast<TimerId>(i))) return true;
        return false;
    }
    std::vector<std::string> soundCalls() const {
        std::vector<std::string> out;
        for (const auto& c : sound.calls()) out.push_back(c.what);
        return out;
    }
    long countCalls(const std::string& what) const {
        const auto calls = soundCalls();
        return std::count(calls.begin(), calls.end(), what);
    }
    void startRace() {
        console.FormKeyDown(kKeyControl);
        console.FormKeyUp(kKeyControl);
        clock.advance(7607);
        ASSERT_TRUE(console.timers().enabled(Timer_Avversari));
    }
};

}  // namespace

TEST_F(ConsoleTest, CreationFillsTheTablesAndTheStartingState) {
    EXPECT_EQ(window.clientHeight, 738);
    for (int d = 0; d <= 9; ++d) EXPECT_EQ(elementInfo(console.elementTable()[d]).name, "Im_Num" + std::to_string(d));
    EXPECT_EQ(console.elementTable()[10], Im_NumPos1);
    EXPECT_EQ(console.elementTable()[13], Im_NumPos4);
    // Opponent cell of row r, lane l is entry 13 + 3 (r - 1) + l.
    for (int row = 1; row <= 4; ++row)
        for (int lane = 1; lane <= 3; ++lane)
            EXPECT_EQ(elementInfo(console.elementTable()[13 + 3 * (row - 1) + lane]).name,
                      "Im_Avv" + std::to_string(row) + std::to_string(lane));
    const std::array<std::uint8_t, 36> patterns = {1, 0, 0, 0, 1, 0, 0, 0, 1, 1, 1, 0, 1, 0, 1, 0, 1, 1};
    EXPECT_EQ(console.patternTable(), patterns);
    EXPECT_FALSE(console.state().Acceso);
    EXPECT_FALSE(console.state().In_Gioco);
    EXPECT_FALSE(console.state().Tasto_Libero);
    EXPECT_FALSE(console.state().Attesa_Continue);
    EXPECT_TRUE(console.state().Suono_On);
    EXPECT_FALSE(console.state().Suono_Pronto);
    EXPECT_FALSE(console.state().Speaker_On);
    EXPECT_TRUE(console.state().Primo_Avvio);
    EXPECT_TRUE(shownLcd().empty());
    for (Element slot : {Im_NumPos1, Im_NumPos2, Im_NumPos3, Im_NumPos4}) {
        EXPECT_TRUE(console.panel().shown(slot));
        EXPECT_FALSE(console.panel().slotPicture(slot));
    }
    EXPECT_FALSE(anyTimerEnabled());
}

TEST_F(ConsoleTest, PowerSwitchesTheLcdOnAndOff) {
    click(Im_OnOff);
    EXPECT_TRUE(console.state().Acceso);
    EXPECT_EQ(shownLcd(), (std::vector<std::string>{"Im_Num00", "Im_GameOver", "Im_Cruscotto"}));
    EXPECT_TRUE(console.panel().shown(Im_OnOff));  // released again
    click(Im_OnOff);
    EXPECT_FALSE(console.state().Acceso);
    EXPECT_TRUE(shownLcd().empty());
}

TEST_F(ConsoleTest, PowerKeyLooksPressedFromPressToRelease) {
    pressAndHold(Im_OnOff);
    EXPECT_FALSE(console.panel().shown(Im_OnOff));
    EXPECT_FALSE(console.state().Acceso);  // switching happens on the click
    mouse.move(10, 10, true);      // dragging away keeps the mouse with the key
    EXPECT_FALSE(console.panel().shown(Im_OnOff));
    EXPECT_EQ(window.moves, 0);
    mouse.release(MouseButton::Left, 10, 10);  // released outside: no click
    EXPECT_TRUE(console.panel().shown(Im_OnOff));
    EXPECT_FALSE(console.state().Acceso);
}

TEST_F(ConsoleTest, DoubleClickOnPowerCountsAsTwoPresses) {
    const Rect& r = elementInfo(Im_OnOff).rect;
    const int x = r.left + 10, y = r.top + 10;
    mouse.press(MouseButton::Left, x, y);
    mouse.release(MouseButton::Left, x, y);
    EXPECT_TRUE(console.state().Acceso);
    mouse.doubleClick(MouseButton::Left, x, y);
    EXPECT_FALSE(console.state().Acceso);
    EXPECT_FALSE(console.panel().shown(Im_OnOff));  // the second press is a press too
    mouse.release(MouseButton::Left, x, y);         // and its release clicks nothing
    EXPECT_FALSE(console.state().Acceso);
    EXPECT_TRUE(console.panel().shown(Im_OnOff));
}

TEST_F(ConsoleTest, PowerOnShowsTheSoundOffMarkWhenSoundIsOff) {
    click(Im_OnOff);
    click(Im_Sound);
    EXPECT_FALSE(console.state().Suono_On);
    EXPECT_TRUE(console.panel().shown(Im_Suoni));
    click(Im_OnOff);  // off: the mark goes
    EXPECT_FALSE(console.panel().shown(Im_Suoni));
    click(Im_OnOff);  // on again: back at once
    EXPECT_TRUE(console.panel().shown(Im_Suoni));
}

TEST_F(ConsoleTest, SoundKeyWithTheConsoleOffOnlyAnimates) {
    pressAndHold(Im_Sound);
    EXPECT_FALSE(console.panel().shown(Im_Sound));
    releaseOver(Im_Sound);
    EXPECT_TRUE(console.panel().shown(Im_Sound));
    EXPECT_TRUE(console.state().Suono_On);
    EXPECT_FALSE(console.panel().shown(Im_Suoni));
    EXPECT_TRUE(soundCalls().empty());
}

TEST_F(ConsoleTest, SoundKeyTogglesAndRestartsTheEngineToneOnlyWhileRacing) {
    openSound();
    click(Im_OnOff);
    click(Im_Sound);  // idle: off, no tone
    click(Im_Sound);  // idle: on again, still no tone
    EXPECT_EQ(countCalls("tone 59664"), 0);
    EXPECT_FALSE(console.panel().shown(Im_Suoni));

    startRace();
    console.FormKeyDown(kKeyUp);  // gear 2: tone 22
    console.FormKeyUp(kKeyUp);
    sound.clearCalls();
    click(Im_Sound);
    EXPECT_EQ(soundCalls(), (std::vector<std::string>{"stop all", "tone off"}));
    EXPECT_FALSE(sound.toneSounding());
    sound.clearCalls();
    click(Im_Sound);
    EXPECT_EQ(soundCalls(), (std::vector<std::string>{"stop all", "tone off", "tone 54240"}));
}

TEST_F(ConsoleTest, ResetLightsEverySegmentWhileHeldAndLeavesTheConsoleOffWithSound) {
    click(Im_OnOff);
    click(Im_Sound);  // sound off
    console.FormKeyDown(kKeyControl);
    console.FormKeyUp(kKeyControl);
    ASSERT_TRUE(console.state().In_Gioco);

    pressAndHold(Im_ACL);
    EXPECT_TRUE(console.panel().shown(Im_Completa));
    EXPECT_FALSE(console.panel().shown(Im_ACL));
    EXPECT_FALSE(console.state().Acceso);
    EXPECT_FALSE(console.state().In_Gioco);
    EXPECT_FALSE(anyTimerEnabled());
    clock.advance(20000);  // held: nothing runs, all segments stay lit
    EXPECT_TRUE(console.panel().shown(Im_Completa));
    EXPECT_EQ(shownLcd(), (std::vector<std::string>{"Im_Suoni", "Im_Completa"}));

    releaseOver(Im_ACL);
    EXPECT_FALSE(console.panel().shown(Im_Completa));
    EXPECT_TRUE(console.panel().shown(Im_ACL));
    EXPECT_FALSE(console.state().Acceso);
    EXPECT_TRUE(console.state().Suono_On);
    EXPECT_TRUE(shownLcd().empty());
}

TEST_F(ConsoleTest, BlankingKeepsTheTestPictureAndTheSoundMarkAndNoVariableChanges) {
    console.set(&ConsoleState::Acceso, true);
    console.set(&ConsoleState::Score, 42);
    for (int i = 0; i < kDrawnElementCount; ++i) console.panel().show(static_cast<Element>(i));
    console.panel().putTemplate(Im_NumPos3, Im_Num4);
    console.Azzera_LCD();
    EXPECT_EQ(shownLcd(), (std::vector<std::string>{"Im_Num00", "Im_Suoni", "Im_GameOver", "Im_Cruscotto",
                                                    "Im_Completa"}));
    EXPECT_FALSE(console.panel().slotPicture(Im_NumPos3));
    EXPECT_TRUE(console.panel().shown(Im_NumPos3));
    EXPECT_TRUE(console.panel().shown(Im_OnOff));  // keys are not part of the LCD
    EXPECT_EQ(console.state().Score, 42);
    EXPECT_TRUE(console.state().Acceso);
}

TEST_F(ConsoleTest, PowerOrResetDuringTheContinueOfferEndsItForGood) {
    openSound();
    click(Im_OnOff);
    console.set(&ConsoleState::In_Gioco, true);  // a lost game on level 2, offer showing
    console.set(&ConsoleState::Livello, 2);
    console.Game_Over();
    clock.advance(4000);
    ASSERT_TRUE(console.state().Attesa_Continue);

    click(Im_OnOff);
    click(Im_OnOff);
    EXPECT_FALSE(console.state().Attesa_Continue);
    sound.clearCalls();
    console.FormKeyDown(kKeyControl);  // a new game from level 1, prepared once
    EXPECT_EQ(console.state().Livello, 1);
    EXPECT_EQ(countCalls("play Start.wav"), 1);

    console.set(&ConsoleState::Livello, 3);
    console.Game_Over();
    clock.advance(4000);
    ASSERT_TRUE(console.state().Attesa_Continue);
    click(Im_ACL);
    EXPECT_FALSE(console.state().Attesa_Continue);
}

TEST_F(ConsoleTest, PressesOnTheSkinAndDragElementsMoveTheWindow) {
    window.left = 100;
    window.top = 50;
    mouse.press(MouseButton::Left, 400, 600);  // skin
    mouse.move(430, 580, true);
    EXPECT_EQ(window.left, 130);
    EXPECT_EQ(window.top, 30);
    mouse.release(MouseButton::Left, 430, 580);

    // The START key: the anchor is in the key's own coordinates.
    mouse.press(MouseButton::Left, 350, 400);
    EXPECT_EQ(console.state().Mouse_X, 12);
    EXPECT_EQ(console.state().Mouse_Y, 8);
    mouse.move(340, 405, true);
    EXPECT_EQ(window.left, 120);
    EXPECT_EQ(window.top, 35);
    mouse.release(MouseButton::Left, 340, 405);

    mouse.press(MouseButton::Left, 100, 400);  // a hint area of the pad
    mouse.move(101, 401, true);
    EXPECT_EQ(window.left, 121);
    mouse.release(MouseButton::Left, 101, 401);
}

TEST_F(ConsoleTest, PressesOnSlotsSegmentsAndKeysStartNoDrag) {
    mouse.press(MouseButton::Left, 125, 110);  // blank digit slot: swallowed
    mouse.move(200, 300, true);
    mouse.release(MouseButton::Left, 200, 300);
    console.panel().show(Im_Moto2);
    mouse.press(MouseButton::Left, 200, 230);  // a lit segment
    mouse.move(250, 300, true);
    mouse.release(MouseButton::Left, 250, 300);
    mouse.press(MouseButton::Left, 250, 480);  // the sound key
    mouse.move(300, 300, true);
    mouse.release(MouseButton::Left, 300, 300);
    EXPECT_EQ(window.moves, 0);

    // The fixed zeros and the second far dash drag once they are shown.
    console.panel().show(Im_Num00);
    mouse.press(MouseButton::Left, 180, 110);
    mouse.move(181, 110, true);
    mouse.release(MouseButton::Left, 181, 110);
    EXPECT_EQ(window.left, 1);
}

TEST_F(ConsoleTest, RightButtonAnchorsButNeverDragsAndOpensTheMenu) {
    const int& menus = window.menus;
    mouse.press(MouseButton::Right, 400, 600);
    EXPECT_EQ(console.state().Mouse_X, 400);
    mouse.move(450, 650, false);
    EXPECT_EQ(window.moves, 0);
    mouse.release(MouseButton::Right, 450, 650);
    EXPECT_EQ(menus, 1);

    mouse.press(MouseButton::Right, 200, 480);  // on the power key: no press look, no switch
    EXPECT_TRUE(console.panel().shown(Im_OnOff));
    mouse.release(MouseButton::Right, 200, 480);
    EXPECT_FALSE(console.state().Acceso);
    EXPECT_EQ(menus, 2);
}

TEST_F(ConsoleTest, StartKeyLooksPressedFromCtrlToTheNextKeyRelease) {
    console.FormKeyDown(kKeyControl);  // console off: only the key's look changes
    EXPECT_FALSE(console.panel().shown(Im_Start));
    EXPECT_FALSE(console.state().In_Gioco);
    console.FormKeyDown('A');
    EXPECT_FALSE(console.panel().shown(Im_Start));
    console.FormKeyUp('A');
    EXPECT_TRUE(console.panel().shown(Im_Start));
}
