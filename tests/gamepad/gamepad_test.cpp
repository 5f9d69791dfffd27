// Pads as a player uses them: SDL's virtual joysticks read by the module the
// program loads, on its own thread, and what reaches the console window.
#include <SDL.h>

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <vector>

#include "frontends/qt/gamepads/console_gamepads.h"
#include "sound/recording_sound.h"

using namespace vorlak;

namespace {

constexpr int kRepeatDelayMs = 80;
constexpr int kRepeatIntervalMs = 20;

PlatformTraits repeatTraits() {
    PlatformTraits traits;
    traits.keyboard.repeatDelayMs = kRepeatDelayMs;
    traits.keyboard.repeatIntervalMs = kRepeatIntervalMs;
    return traits;
}

struct GamepadTest : ::testing::Test {
    ManualClock clock;
    RecordingSound sound;
    TForm1 form;
    Handheld handheld{clock, sound, sound, form, repeatTraits()};
    Console& console = handheld.console();
    // SDL's virtual pads exist only inside SDL: the module is loaded at once.
    ConsoleGamepads pads{form, VORLAK_GAMEPAD_MODULE, PadLoading::AtOnce};
    std::vector<SDL_Joystick*> plugged;

    // Virtual joysticks need the subsystem before the watch has started; the
    // hints are the watch's own, so that it changes none while it runs.
    static void SetUpTestSuite() {
        SDL_SetHint(SDL_HINT_JOYSTICK_HIDAPI, "0");
        SDL_SetHint("SDL_JOYSTICK_DISABLE_UDEV", "1");
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER), 0) << SDL_GetError();
    }
    static void TearDownTestSuite() { SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER); }

    void SetUp() override {
        clock.setTickHandler([this](TimerId id) { handheld.tick(id); });
        form.attach(handheld);
        // Played with sound (recorded, so SDL's audio stays out): the pads
        // are watched from then on.
        handheld.startLauncher(nullptr);
        handheld.chooseSound(Sound_WindowsMM);
        ASSERT_EQ(handheld.play({0, 0, 1024, 768}).next, PlayOutcome::Next::ShowConsole);
        form.move(0, 0);
        activate(form);
        pads.start();
        ASSERT_TRUE(QTest::qWaitFor([&] { return pads.watch() && pads.watch()->passes() > 0; }, 10000));
    }
    void TearDown() override {
        while (!plugged.empty()) unplug(plugged.back());
    }

    static void activate(QWidget& window) {
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    DeferredGamepads& watch() { return *pads.watch(); }

    // The pads read once more and their input taken by the window.
    void settle() {
        const auto before = watch().passes();
        watch().poke();
        ASSERT_TRUE(QTest::qWaitFor([&] { return watch().passes() > before; }, 5000));
        QCoreApplication::processEvents();
    }
    SDL_Joystick* plug(SDL_JoystickType type = SDL_JOYSTICK_TYPE_GAMECONTROLLER, int axes = SDL_CONTROLLER_AXIS_MAX,
                       int buttons = SDL_CONTROLLER_BUTTON_MAX, int hats = 0) {
        const int index = SDL_JoystickAttachVirtual(type, axes, buttons, hats);
        SDL_Joystick* pad = index >= 0 ? SDL_JoystickOpen(index) : nullptr;
        EXPECT_NE(pad, nullptr) << SDL_GetError();
        if (pad) plugged.push_back(pad);
        settle();
        return pad;
    }
    void unplug(SDL_Joystick* pad) {
        const SDL_JoystickID id = SDL_JoystickInstanceID(pad);
        for (int index = 0; index < SDL_NumJoysticks(); ++index)
            if (SDL_JoystickGetDeviceInstanceID(index) == id) SDL_JoystickDetachVirtual(index);
        SDL_JoystickClose(pad);
        std::erase(plugged, pad);
        settle();
    }
    void button(SDL_Joystick* pad, int button, bool down) {
        SDL_JoystickSetVirtualButton(pad, button, down);
        settle();
    }
    void axis(SDL_Joystick* pad, int axis, int value) {
        SDL_JoystickSetVirtualAxis(pad, axis, static_cast<Sint16>(value));
        settle();
    }
    void tap(SDL_Joystick* pad, int b) {
        button(pad, b, true);
        button(pad, b, false);
    }
    // Power on, a game started with the pad's A, and the start lights run.
    void race(SDL_Joystick* pad, int startButton = SDL_CONTROLLER_BUTTON_A) {
        console.Im_OnOffClick();
        tap(pad, startButton);
        clock.advance(4125 + 882 + 1200 + 1400);
        ASSERT_TRUE(console.timers().enabled(Timer_Pista));
        ASSERT_EQ(console.state().Corsia, 2);
        ASSERT_EQ(console.state().Marcia, 1);
    }
};

}  // namespace

TEST_F(GamepadTest, DpadAndStickActOncePerPressAndEveryReleaseFreesTheArrows) {
    ASSERT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);  // the pads do without the sound
    SDL_Joystick* pad = plug();
    race(pad);

    button(pad, SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true);
    EXPECT_EQ(console.state().Corsia, 3);
    clock.advance(kRepeatDelayMs + 3 * kRepeatIntervalMs);  // repeating, as a held key does
    button(pad, SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);    // a second arrow, with no release between
    EXPECT_EQ(console.state().Corsia, 3);
    button(pad, SDL_CONTROLLER_BUTTON_DPAD_LEFT, false);
    EXPECT_TRUE(console.state().Tasto_Libero);
    button(pad, SDL_CONTROLLER_BUTTON_DPAD_RIGHT, false);

    // The stick, past half its travel; back to three eighths keeps it held.
    axis(pad, SDL_CONTROLLER_AXIS_LEFTX, -17000);
    EXPECT_EQ(console.state().Corsia, 2);
    for (int value : {-12500, -16500, -12400, -32768, -12300}) axis(pad, SDL_CONTROLLER_AXIS_LEFTX, value);
    EXPECT_EQ(console.state().Corsia, 2);
    EXPECT_FALSE(console.state().Tasto_Libero);
    axis(pad, SDL_CONTROLLER_AXIS_LEFTX, -12000);
    EXPECT_TRUE(console.state().Tasto_Libero);
    axis(pad, SDL_CONTROLLER_AXIS_LEFTX, 0);

    axis(pad, SDL_CONTROLLER_AXIS_LEFTY, -20000);  // up: speed 2
    EXPECT_EQ(console.state().Marcia, 2);
    // The keyboard is a second keyboard: its release frees the arrows, and
    // the stick, held and repeating all along, takes them.
    QTest::keyClick(&form, Qt::Key_Control);
    clock.advance(kRepeatDelayMs + kRepeatIntervalMs);
    EXPECT_EQ(console.state().Marcia, 3);
    axis(pad, SDL_CONTROLLER_AXIS_LEFTY, 0);
    button(pad, SDL_CONTROLLER_BUTTON_DPAD_DOWN, true);
    EXPECT_EQ(console.state().Marcia, 2);
    tap(pad, SDL_CONTROLLER_BUTTON_X);  // not mapped: no release
    EXPECT_FALSE(console.state().Tasto_Libero);
    // A button of the same pad ends the arrow's repeat, as a key of the same
    // keyboard does, and its release frees the arrows.
    tap(pad, SDL_CONTROLLER_BUTTON_B);
    clock.advance(kRepeatDelayMs + 3 * kRepeatIntervalMs);
    EXPECT_EQ(console.state().Marcia, 2);
    EXPECT_TRUE(console.state().Tasto_Libero);
}

TEST_F(GamepadTest, AHeldButtonRepeatsAsControlAndItsReleaseShowsStart) {
    SDL_Joystick* pad = plug();
    button(pad, SDL_CONTROLLER_BUTTON_START, true);
    EXPECT_FALSE(console.panel().shown(Im_Start));
    EXPECT_FALSE(console.state().In_Gioco);  // off: nothing to start
    console.Im_OnOffClick();
    clock.advance(kRepeatDelayMs);
    EXPECT_TRUE(console.state().In_Gioco) << "no CTRL repeat";
    button(pad, SDL_CONTROLLER_BUTTON_START, false);
    EXPECT_TRUE(console.panel().shown(Im_Start));

    console.Im_OnOffClick();  // off and on again: no repeat left to start a game
    console.Im_OnOffClick();
    clock.advance(kRepeatDelayMs + 3 * kRepeatIntervalMs);
    EXPECT_FALSE(console.state().In_Gioco);
}

TEST_F(GamepadTest, BackPressesTheSoundKey) {
    SDL_Joystick* pad = plug();
    console.Im_OnOffClick();
    ASSERT_TRUE(console.state().Suono_On);
    button(pad, SDL_CONTROLLER_BUTTON_BACK, true);
    EXPECT_FALSE(console.state().Suono_On);
    EXPECT_TRUE(console.panel().shown(Im_Suoni));
    EXPECT_FALSE(console.panel().shown(Im_Sound));  // looks pressed while held
    clock.advance(kRepeatDelayMs + 3 * kRepeatIntervalMs);
    EXPECT_FALSE(console.state().Suono_On);  // no repeat
    button(pad, SDL_CONTROLLER_BUTTON_BACK, false);
    EXPECT_TRUE(console.panel().shown(Im_Sound));
    tap(pad, SDL_CONTROLLER_BUTTON_BACK);
    EXPECT_TRUE(console.state().Suono_On);
    EXPECT_FALSE(console.panel().shown(Im_Suoni));
}

TEST_F(GamepadTest, PadsComeAndGoAndOneGoingMidPressReleasesWhatItHeld) {
    SDL_Joystick* first = plug();
    race(first);
    button(first, SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
    button(first, SDL_CONTROLLER_BUTTON_A, true);
    button(first, SDL_CONTROLLER_BUTTON_BACK, true);
    ASSERT_EQ(console.state().Corsia, 1);
    ASSERT_FALSE(console.panel().shown(Im_Start));
    ASSERT_FALSE(console.panel().shown(Im_Sound));
    unplug(first);
    EXPECT_TRUE(console.panel().shown(Im_Start));
    EXPECT_TRUE(console.panel().shown(Im_Sound));
    EXPECT_TRUE(console.state().Tasto_Libero);
    clock.advance(kRepeatDelayMs + 3 * kRepeatIntervalMs);
    EXPECT_TRUE(console.state().Tasto_Libero);  // nothing repeats for a pad that has gone

    SDL_Joystick* second = plug();
    button(second, SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true);
    EXPECT_EQ(console.state().Corsia, 2);
    // Unknown pads: hat 0, axes 0 and 1, buttons 0, 1 and the highest; and a
    // pad with nothing on it changes nothing.
    plug(SDL_JOYSTICK_TYPE_UNKNOWN, 0, 0, 0);
    SDL_Joystick* plain = plug(SDL_JOYSTICK_TYPE_UNKNOWN, 3, 6, 2);
    button(second, SDL_CONTROLLER_BUTTON_DPAD_RIGHT, false);
    SDL_JoystickSetVirtualHat(plain, 0, SDL_HAT_RIGHT);
    settle();
    EXPECT_EQ(console.state().Corsia, 3);
    SDL_JoystickSetVirtualHat(plain, 0, SDL_HAT_CENTERED);
    SDL_JoystickSetVirtualHat(plain, 1, SDL_HAT_LEFT);  // not hat 0
    axis(plain, 2, -32768);                             // not axis 0 or 1
    EXPECT_EQ(console.state().Corsia, 3);
    axis(plain, 0, -32768);
    EXPECT_EQ(console.state().Corsia, 2);
    axis(plain, 0, 0);
    console.Im_OnOffClick();
    console.Im_OnOffClick();
    tap(plain, 3);
    EXPECT_FALSE(console.state().In_Gioco);
    for (int b : {0, 1, 5}) {
        button(plain, b, true);
        EXPECT_TRUE(console.state().In_Gioco) << "button " << b;
        EXPECT_FALSE(console.panel().shown(Im_Start)) << "button " << b;
        button(plain, b, false);
        EXPECT_TRUE(console.panel().shown(Im_Start)) << "button " << b;
        console.Im_OnOffClick();
        console.Im_OnOffClick();
    }
}

TEST_F(GamepadTest, InputReachesTheConsoleOnlyWhileItHasTheKeyboard) {
    SDL_Joystick* pad = plug();
    console.Im_OnOffClick();
    button(pad, SDL_CONTROLLER_BUTTON_BACK, true);
    ASSERT_FALSE(console.panel().shown(Im_Sound));
    QWidget other;
    activate(other);
    EXPECT_TRUE(console.panel().shown(Im_Sound));  // nothing stays pressed
    button(pad, SDL_CONTROLLER_BUTTON_BACK, false);
    tap(pad, SDL_CONTROLLER_BUTTON_BACK);
    tap(pad, SDL_CONTROLLER_BUTTON_A);
    EXPECT_FALSE(console.state().Suono_On);
    EXPECT_FALSE(console.state().In_Gioco);
    activate(form);
    tap(pad, SDL_CONTROLLER_BUTTON_A);
    EXPECT_TRUE(console.state().In_Gioco);
}

// A pad that floods: thousands of changes without a look between them end
// as the last state says, and with no pad input there is no work at all.
TEST_F(GamepadTest, AFloodEndsAsTheLastStateAndStillPadsCostNothing) {
    SDL_Joystick* pad = plug();
    console.Im_OnOffClick();
    tap(pad, SDL_CONTROLLER_BUTTON_B);
    ASSERT_TRUE(console.state().In_Gioco);
    for (int i = 0; i < 5000; ++i) {
        SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTX, static_cast<Sint16>(i % 2 ? 32767 : -32768));
        SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_B, i % 3 == 0);
        if (i % 7 == 0) watch().poke();
    }
    SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTX, 0);
    SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_B, 0);
    settle();
    clock.advance(kRepeatDelayMs + 3 * kRepeatIntervalMs);
    EXPECT_TRUE(console.panel().shown(Im_Start));
    EXPECT_TRUE(console.state().Tasto_Libero);

    const auto passes = watch().passes();
    QTest::qWait(300);
    EXPECT_EQ(watch().passes(), passes);
}

// With no pad plugged in, the pads cost nothing: the module (and SDL with it)
// is loaded only once a device that may be a pad shows up, as the kernel
// describes it. A keyboard does not count.
TEST(PadLoading, TheModuleComesOnlyWithADeviceThatMayBeAPad) {
    namespace fs = std::filesystem;
    const fs::path root = fs::temp_directory_path() / ("vorlak-input-" + std::to_string(QCoreApplication::applicationPid()));
    fs::create_directories(root / "dev");
    const auto addDevice = [&](const std::string& name, const std::string& keys) {
        fs::create_directories(root / "sys" / name / "device" / "capabilities");
        std::ofstream(root / "sys" / name / "device" / "capabilities" / "key") << keys << "\n";
        std::ofstream(root / "dev" / name);  // the device file comes last, as the system makes it
    };
    addDevice("event0", "fffffffffffffffe");  // a keyboard: codes 1 to 63
    DeferredGamepads pads(VORLAK_GAMEPAD_MODULE, [](PadEvents) {}, PadLoading::WhenAPadIsPresent,
                          {(root / "dev").string(), (root / "sys").string()});
    addDevice("event1", "fffffffffffffffe 0");  // another keyboard
    QTest::qWait(200);  // a negative check: it can only pass wrongly on a busy machine, never fail
    EXPECT_FALSE(pads.watching());
    addDevice("event2", "1000000000000 0 0 0 0");  // BTN_SOUTH, code 0x130
    EXPECT_TRUE(QTest::qWaitFor([&] { return pads.watching(); }, 5000));
    fs::remove_all(root);
}

// A pad module that cannot be had (cut short by an interrupted copy, or a
// named pipe in its place) is named once on standard error, and the pads
// stay off without ending or holding up the program: loading the first
// would end it with SIGBUS, opening the second would hold its end forever.
TEST(PadLoading, ABrokenModuleIsNamedOnceAndThePadsStayOff) {
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / ("vorlak-pads-" + std::to_string(QCoreApplication::applicationPid()));
    fs::create_directories(folder);
    const std::string cut = (folder / "cut.so").string(), pipe = (folder / "pipe.so").string();
    {
        std::ifstream in(VORLAK_GAMEPAD_MODULE, std::ios::binary);
        std::vector<char> module(8192);
        in.read(module.data(), static_cast<std::streamsize>(module.size()));
        std::ofstream(cut, std::ios::binary).write(module.data(), in.gcount());
    }
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    for (const std::string& path : {cut, pipe}) {
        testing::internal::CaptureStderr();
        auto watched = std::async(std::launch::async, [&] {
            DeferredGamepads pads(path, [](PadEvents) {}, PadLoading::AtOnce);
            return false;  // the thread is joined as the watch goes
        });
        const bool ended = watched.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
        if (!ended) {  // let a reader waiting on the pipe go
            const int writer = open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
            if (writer >= 0) close(writer);
        }
        watched.get();
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_TRUE(ended) << path << ": the pad thread was held up";
        EXPECT_EQ(said.rfind("vorlak-simulator: no gamepads: " + path + " is ", 0), 0u) << said;
        EXPECT_EQ(said.find('\n'), said.size() - 1) << said;  // one line
    }
    fs::remove_all(folder);
}

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
