// The console as a front end sees it: the one object a front end (the Linux
// desktop, Windows, the browser) drives, and the few things it asks back.
//
// A front end draws the panel's shown elements, reports key downs and ups
// with the system's repeat flag, the mouse, the pads, focus and activation,
// gives the console a Clock and a sound output, keeps the two settings, and
// places the window. Every rule (play, start-up order, keys and their repeat,
// pads as a second keyboard, mouse routing and the drag, close) is decided
// here.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string_view>

#include "game/console.h"
#include "game/key_input.h"
#include "game/launcher.h"
#include "game/mouse_router.h"
#include "game/pad_input.h"

namespace vorlak {

struct Point {
    int x = 0, y = 0;
    bool operator==(const Point&) const = default;
};

// What the console asks of its front end.
class FrontEnd {
public:
    virtual ~FrontEnd() = default;
    // The panel changed within `area` (console pixels of the window).
    virtual void panelChanged(const Rect& area) = 0;
    // The drag: move the console's window by (dx, dy).
    virtual void moveWindowBy(int dx, int dy) = 0;
    // Where the window stands on the screen, as last moved, where the
    // platform lets a program know it (not on Wayland).
    virtual std::optional<Point> windowPosition() const { return std::nullopt; }
    // Hand the drag to the system's own move, which keeps the button until
    // it is released: where a program cannot place its windows (Wayland).
    // False when the system did not take it.
    virtual bool startSystemMove() { return false; }
    // The right-click menu, at this point of the window.
    virtual void openMenu(Point at) = 0;
    // The launcher comes up (the console's first activation).
    virtual void showLauncher() = 0;
    // The console's window takes this height (its creation step).
    virtual void setClientHeight(int height) = 0;
    // Closing: stop reading the pads (before the sound is released).
    virtual void stopPads() {}
};

// A front end with no window at all, for tools and tests.
class NoWindow : public FrontEnd {
public:
    void panelChanged(const Rect&) override {}
    void moveWindowBy(int, int) override {}
    void openMenu(Point) override {}
    void showLauncher() override {}
    void setClientHeight(int) override {}
};

// How the front end's platform behaves.
struct PlatformTraits {
    KeyboardTraits keyboard;
    // False where the system alone places windows (Wayland): the drag is then
    // handed to the system.
    bool placesWindows = true;
};

class Handheld : private ConsoleWindow {
public:
    // The console's creation step, once its window exists (it sizes the
    // window); the settings store comes right after it (the front end opens
    // it then and hands it to startLauncher).
    Handheld(Clock& clock, SoundLibrary& sound, SpeakerTone& speaker, FrontEnd& frontEnd,
             const PlatformTraits& traits = {});
    ~Handheld() override;
    Handheld(const Handheld&) = delete;
    Handheld& operator=(const Handheld&) = delete;

    // --- start-up and the launcher ----------------------------------------
    // The launcher's creation: the stored choices read from `settings` (which
    // may be null: nothing stored). Returns the error for the standard error
    // box when a value is not text.
    std::optional<std::string> startLauncher(SettingsStore* settings);
    const Launcher& launcher() const { return *launcher_; }
    void chooseSound(int position) { launcher_->CB_SoundChange(position); }
    void chooseSystem(int position) { launcher_->CB_SystemChange(position); }
    // The play button, with the screen area the console is centred on (in
    // the console's pixels) and the window's current size.
    PlayOutcome play(const ScreenArea& screen);
    // After the broken-folder message, before the end.
    void forgetChoices() { launcher_->forgetChoices(); }
    bool played() const { return played_; }

    // Every activation of the console's window: the first brings up the
    // launcher.
    void activated();

    // --- input -------------------------------------------------------------
    void keyDown(std::uint16_t virtualKey, bool systemRepeat, std::uint64_t timestamp = 0);
    void keyUp(std::uint16_t virtualKey, bool systemRepeat, std::uint64_t timestamp = 0);
    // Keys and pads count only while the console has the keyboard.
    void focusChanged(bool focused);
    void padInput(std::span<const PadEvent> events) { pads_.take(events); }

    // The mouse, at window points in console pixels. Where the platform
    // knows the pointer's place on the screen, the front end passes it too:
    // the drag then measures the pointer against the window's place as last
    // moved, so that motions queued before a move was carried out do not
    // count that move twice.
    void mousePress(MouseButton button, Point at, std::optional<Point> onScreen = std::nullopt);
    void mouseDoubleClick(MouseButton button, Point at, std::optional<Point> onScreen = std::nullopt);
    void mouseMove(Point at, bool leftButtonHeld, std::optional<Point> onScreen = std::nullopt);
    void mouseRelease(MouseButton button, Point at);
    // The pointer's look and the hint at a window point (the element holding
    // the mouse wins while a press lasts).
    Cursor cursorAt(Point at) const;
    std::string_view hintAt(Point at) const;

    // --- time ---------------------------------------------------------------
    // Every tick of the clock: the front end installs this as its handler.
    void tick(TimerId id);

    // --- the end -----------------------------------------------------------
    // The console's window is closing: the pads stop, then the sound is
    // released. Later calls do nothing.
    void close();
    bool closed() const { return closed_; }

    // --- reading -------------------------------------------------------------
    const ConsoleState& state() const { return console_.state(); }
    const Panel& panel() const { return console_.panel(); }
    const Console& console() const { return console_; }
    // The rules themselves, for tests and tools that drive them directly.
    Console& console() { return console_; }
    const MouseRouter& mouse() const { return router_; }

private:
    // ConsoleWindow, for the console's creation step and its drag.
    void moveWindowBy(int dx, int dy) override;
    void setClientHeight(int height) override { frontEnd_.setClientHeight(height); windowHeight_ = height; }

    Point dragPoint(Point at, std::optional<Point> onScreen) const;
    bool wantsSystemMove(MouseButton button, Point at) const;
    void startSystemMove(MouseButton button, Point at);

    FrontEnd& frontEnd_;
    PlatformTraits traits_;
    Console console_;
    KeyInput keys_;
    PadInput pads_;
    MouseRouter router_;
    std::unique_ptr<Launcher> launcher_;
    int windowHeight_ = kConsoleLaidOutHeight;
    bool played_ = false;
    bool closed_ = false;
};

}  // namespace vorlak
