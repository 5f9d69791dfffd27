// The console as a front end drives it: the launcher's rules, the first
// activation, the drag where the window moves itself or the system moves it,
// the pads as a second keyboard, and closing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/handheld.h"
#include "sound/recording_sound.h"

using namespace vorlak;

namespace {

struct RecordingFrontEnd : FrontEnd {
    std::vector<std::string> log;
    Point window{100, 50};
    bool knowsPosition = true;
    bool systemTakesMoves = true;
    void panelChanged(const Rect&) override {}
    void moveWindowBy(int dx, int dy) override {
        window.x += dx, window.y += dy;
        log.push_back("move " + std::to_string(dx) + " " + std::to_string(dy));
    }
    std::optional<Point> windowPosition() const override {
        return knowsPosition ? std::optional<Point>(window) : std::nullopt;
    }
    bool startSystemMove() override {
        log.push_back("system move");
        return systemTakesMoves;
    }
    void openMenu(Point at) override { log.push_back("menu " + std::to_string(at.x) + " " + std::to_string(at.y)); }
    void showLauncher() override { log.push_back("launcher"); }
    void setClientHeight(int h) override { log.push_back("height " + std::to_string(h)); }
    void stopPads() override { log.push_back("pads stop"); }
};

// A sound output that cannot be had at all: nothing loads, and it says why.
struct BrokenOutput : RecordingSound {
    std::string outputProblem() const override { return "the sound module /x/y.so is damaged"; }
    SampleHandle sampleLoad(int, const std::string&, unsigned, int) override { return nullptr; }
};

struct HandheldTest : ::testing::Test {
    ManualClock clock;
    RecordingSound sound;
    RecordingFrontEnd frontEnd;
    MemorySettings settings;
    std::unique_ptr<Handheld> handheld;

    void start(PlatformTraits traits = {}, SoundLibrary* library = nullptr) {
        SoundLibrary& s = library ? *library : sound;
        handheld = std::make_unique<Handheld>(clock, s, sound, frontEnd, traits);
        clock.setTickHandler(nullptr);
        clock.setTickHandler([this](TimerId id) { handheld->tick(id); });
    }
    std::string stored(const char* name) const { return settings.read(name).text; }
    const ConsoleState& state() const { return handheld->state(); }
};

}  // namespace

TEST(DecimalText, OnlyPlainDecimalIntegersCount) {
    EXPECT_EQ(parseDecimal("0"), 0);
    EXPECT_EQ(parseDecimal("-1"), -1);
    EXPECT_EQ(parseDecimal("+7"), 7);
    EXPECT_EQ(parseDecimal("2147483647"), 2147483647);
    EXPECT_EQ(parseDecimal("-2147483648"), -2147483647 - 1);
    for (const char* bad : {"", "-", "+", "abc", "1.5", "2x", " 1", "1 ", "0x1", "$10", "2147483648",
                            "-2147483649", "99999999999999999999", "\xd9\xa3"})
        EXPECT_FALSE(parseDecimal(bad)) << bad;
}

TEST_F(HandheldTest, TheLaunchersChoicesAndItsPlayButton) {
    start();
    EXPECT_EQ(frontEnd.log, (std::vector<std::string>{"height 738"}));  // the creation step
    // Stored positions come up chosen; a position outside a list chooses nothing.
    settings.write("SoundMode", "1");
    settings.write("System", "7");
    EXPECT_FALSE(handheld->startLauncher(&settings));
    EXPECT_EQ(handheld->launcher().soundChoice(), Sound_DirectSound);
    EXPECT_EQ(handheld->launcher().systemChoice(), kNoChoice);
    EXPECT_FALSE(handheld->launcher().playEnabled());
    // A system alone enables nothing; a sound does, and play then counts as "2000".
    handheld->chooseSystem(kNoChoice);
    EXPECT_FALSE(handheld->launcher().playEnabled());
    handheld->chooseSound(Sound_WindowsMM);
    EXPECT_TRUE(handheld->launcher().playEnabled());
    const PlayOutcome outcome = handheld->play({0, 0, 1024, 768});
    EXPECT_EQ(outcome.next, PlayOutcome::Next::ShowConsole);
    EXPECT_EQ(outcome.place.left, 281);
    EXPECT_EQ(outcome.place.top, 15);
    EXPECT_EQ(stored("SoundMode"), "0");
    EXPECT_EQ(stored("System"), "1");
    EXPECT_TRUE(state().Suono_Pronto);
    EXPECT_FALSE(state().Speaker_On);
    EXPECT_EQ(sound.calls().at(0).what, "output 1");
    EXPECT_TRUE(handheld->played());
}

TEST_F(HandheldTest, AValueThatIsNotTextEndsTheReadingWithItsMessage) {
    start();
    settings.write("SoundMode", "2");
    settings.putNotText("System");
    EXPECT_EQ(handheld->startLauncher(&settings), "Invalid data type for 'System'");
    EXPECT_EQ(handheld->launcher().soundChoice(), Sound_None);
    EXPECT_EQ(handheld->launcher().systemChoice(), kNoChoice);
    EXPECT_TRUE(handheld->launcher().playEnabled());  // the rest of the reading did not run
    handheld->play({0, 0, 800, 600});
    EXPECT_FALSE(state().Suono_Pronto);
    EXPECT_FALSE(state().Suono_On);
    EXPECT_TRUE(sound.calls().empty());
}

TEST_F(HandheldTest, TheConsolesPlaceCentresItAndGoesDownOnlyOnTallerScreens) {
    struct Case {
        ScreenArea screen;
        int left;
        std::optional<int> top;
    };
    for (const Case& c : {Case{{0, 0, 1024, 768}, 281, 15}, Case{{0, 0, 800, 600}, 169, std::nullopt},
                          Case{{0, 0, 1024, 721}, 281, -8}, Case{{0, 0, 1280, 601}, 409, -68},
                          Case{{1920, 40, 1024, 768}, 2201, 55}}) {
        const WindowPlace place = consolePlace(c.screen, kConsoleWidth, kConsoleHeight);
        EXPECT_EQ(place.left, c.left);
        EXPECT_EQ(place.top, c.top);
    }
}

TEST_F(HandheldTest, ABrokenSoundFolderAndABrokenOutputAreToldApart) {
    start();
    settings.write("SoundMode", "1");
    settings.write("System", "0");
    handheld->startLauncher(&settings);
    sound.setMissingFiles({"GameOver.wav"});
    EXPECT_EQ(handheld->play({0, 0, 1024, 768}).next, PlayOutcome::Next::BrokenSoundFolder);
    EXPECT_FALSE(handheld->played());
    EXPECT_EQ(stored("SoundMode"), "1");  // written before the opening, forgotten after the message
    handheld->forgetChoices();
    EXPECT_EQ(stored("SoundMode"), "-1");
    EXPECT_EQ(stored("System"), "-1");

    // The output itself missing: the game goes on silently and the choices stay.
    BrokenOutput broken;
    start({}, &broken);
    settings.write("SoundMode", "1");
    settings.write("System", "0");
    handheld->startLauncher(&settings);
    const PlayOutcome outcome = handheld->play({0, 0, 1024, 768});
    EXPECT_EQ(outcome.next, PlayOutcome::Next::ShowConsole);
    EXPECT_EQ(outcome.soundProblem, "No sound: the sound module /x/y.so is damaged. The game plays on without it");
    EXPECT_FALSE(state().Suono_Pronto);
    EXPECT_EQ(stored("SoundMode"), "1");
    EXPECT_EQ(stored("System"), "0");
}

TEST_F(HandheldTest, OnlyTheFirstActivationBringsUpTheLauncher) {
    start();
    EXPECT_TRUE(state().Primo_Avvio);
    handheld->activated();
    handheld->activated();
    EXPECT_EQ(std::count(frontEnd.log.begin(), frontEnd.log.end(), "launcher"), 1);
    EXPECT_FALSE(state().Primo_Avvio);
}

// Motions queued before a move was carried out carry window points that no
// longer hold; the pointer's screen place against the window's does.
TEST_F(HandheldTest, TheDragFollowsThePointerOnTheScreenEvenWithStaleEvents) {
    start();
    handheld->mousePress(MouseButton::Left, {400, 600}, Point{500, 650});
    handheld->mouseMove({410, 590}, true, Point{510, 640});
    EXPECT_EQ(frontEnd.window, (Point{110, 40}));
    // Queued before that move: its window point still counts the old place.
    handheld->mouseMove({420, 600}, true, Point{520, 650});
    EXPECT_EQ(frontEnd.window, (Point{120, 50}));
    handheld->mouseRelease(MouseButton::Left, {410, 600});
    // The grabbed point is still under the pointer.
    EXPECT_EQ(520 - frontEnd.window.x, 400);
    EXPECT_EQ(650 - frontEnd.window.y, 600);
}

TEST_F(HandheldTest, WhereTheSystemPlacesWindowsTheDragIsHandedToIt) {
    PlatformTraits traits;
    traits.placesWindows = false;
    start(traits);
    handheld->mousePress(MouseButton::Left, {400, 600});  // the skin
    EXPECT_EQ(frontEnd.log.back(), "system move");
    EXPECT_FALSE(handheld->mouse().capturing());  // the system keeps the button
    const auto before = frontEnd.log.size();
    handheld->mousePress(MouseButton::Left, {200, 480});  // the power key is no handle
    EXPECT_EQ(frontEnd.log.size(), before) << frontEnd.log.back();
    EXPECT_FALSE(handheld->panel().shown(Im_OnOff));  // pressed
    handheld->mouseRelease(MouseButton::Left, {200, 480});
    EXPECT_TRUE(state().Acceso);
    handheld->mousePress(MouseButton::Right, {400, 600});  // the menu's button moves nothing
    handheld->mouseRelease(MouseButton::Right, {400, 600});
    EXPECT_EQ(frontEnd.log.back(), "menu 400 600");
}

TEST_F(HandheldTest, PadsCountOnlyWithTheKeyboardAndBackIsTheSoundKey) {
    start();
    handheld->console().Im_OnOffClick();
    const PadEvent back{7, PadControl::Back, true};
    const PadEvent start{7, PadControl::Start, true};
    handheld->padInput(std::vector{back, start});  // no keyboard yet
    EXPECT_TRUE(handheld->panel().shown(Im_Sound));
    EXPECT_FALSE(state().In_Gioco);
    handheld->focusChanged(true);
    handheld->padInput(std::vector{back});
    EXPECT_FALSE(handheld->panel().shown(Im_Sound));
    EXPECT_FALSE(state().Suono_On);
    handheld->focusChanged(false);  // the key is let go with the keyboard
    EXPECT_TRUE(handheld->panel().shown(Im_Sound));
    handheld->focusChanged(true);
    handheld->padInput(std::vector{start});
    EXPECT_TRUE(state().In_Gioco);
}

TEST_F(HandheldTest, ClosingStopsThePadsBeforeTheSoundAndHappensOnce) {
    start();
    sound.clearCalls();
    handheld->close();
    handheld->close();
    EXPECT_EQ(std::count(frontEnd.log.begin(), frontEnd.log.end(), "pads stop"), 1);
    ASSERT_FALSE(sound.calls().empty());
    EXPECT_EQ(sound.calls().back().what, "close");
    EXPECT_EQ(std::count_if(sound.calls().begin(), sound.calls().end(), [](const auto& c) { return c.what == "close"; }),
              1);
    EXPECT_TRUE(handheld->closed());
}
