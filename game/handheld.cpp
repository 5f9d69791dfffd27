#include "game/handheld.h"

namespace vorlak {

Handheld::Handheld(Clock& clock, SoundLibrary& sound, SpeakerTone& speaker, FrontEnd& frontEnd,
                   const PlatformTraits& traits)
    : frontEnd_(frontEnd),
      traits_(traits),
      console_(clock, sound, speaker),
      keys_(clock, [this](std::uint16_t key) { console_.FormKeyDown(key); },
            [this](std::uint16_t key) { console_.FormKeyUp(key); }),
      pads_(console_, keys_),
      router_(console_) {
    keys_.setTraits(traits_.keyboard);
    console_.panel().setChangeListener([this](const Rect& area) { frontEnd_.panelChanged(area); });
    router_.setMenuOpener([this](int x, int y) { frontEnd_.openMenu({x, y}); });
    console_.setWindow(this);
    // Primo_Avvio stands from before any window exists (the state's start
    // value); the creation step comes once the window does.
    console_.FormCreate();
}

Handheld::~Handheld() {
    console_.panel().setChangeListener(nullptr);
    console_.setWindow(nullptr);
}

std::optional<std::string> Handheld::startLauncher(SettingsStore* settings) {
    launcher_ = std::make_unique<Launcher>(console_, settings);
    return launcher_->FormCreate();
}

PlayOutcome Handheld::play(const ScreenArea& screen) {
    PlayOutcome outcome = launcher_->Puls_PlayClick(screen, kConsoleWidth, windowHeight_);
    if (outcome.next == PlayOutcome::Next::ShowConsole) played_ = true;
    return outcome;
}

void Handheld::activated() {
    if (console_.firstActivation()) frontEnd_.showLauncher();
}

void Handheld::keyDown(std::uint16_t virtualKey, bool systemRepeat, std::uint64_t timestamp) {
    keys_.pressed(virtualKey, systemRepeat, timestamp);
}

void Handheld::keyUp(std::uint16_t virtualKey, bool systemRepeat, std::uint64_t timestamp) {
    keys_.released(virtualKey, systemRepeat, timestamp);
}

void Handheld::focusChanged(bool focused) {
    if (!focused) keys_.flush();
    pads_.setFocused(focused);
}

// Whether a press hands the drag to the system is decided by what lies under
// the pointer before the press: a pressed key hides its picture.
void Handheld::mousePress(MouseButton button, Point at, std::optional<Point>) {
    const bool systemMove = wantsSystemMove(button, at);
    router_.press(button, at.x, at.y);
    if (systemMove) startSystemMove(button, at);
}

void Handheld::mouseDoubleClick(MouseButton button, Point at, std::optional<Point>) {
    const bool systemMove = wantsSystemMove(button, at);
    router_.doubleClick(button, at.x, at.y);
    if (systemMove) startSystemMove(button, at);
}

void Handheld::mouseMove(Point at, bool leftButtonHeld, std::optional<Point> onScreen) {
    const Point p = router_.capturing() ? dragPoint(at, onScreen) : at;
    router_.move(p.x, p.y, leftButtonHeld);
}

void Handheld::mouseRelease(MouseButton button, Point at) { router_.release(button, at.x, at.y); }

// While the window moves itself, the pointer is measured against the window's
// place as last moved rather than taken from the event, which may have been
// queued before that move.
Point Handheld::dragPoint(Point at, std::optional<Point> onScreen) const {
    if (!traits_.placesWindows || !onScreen) return at;
    const std::optional<Point> window = frontEnd_.windowPosition();
    if (!window) return at;
    return {onScreen->x - window->x, onScreen->y - window->y};
}

// Where the system alone places windows, a left press on whatever drags the
// window hands the move to it; it keeps the button until it is released.
bool Handheld::wantsSystemMove(MouseButton button, Point at) const {
    if (button != MouseButton::Left || traits_.placesWindows) return false;
    const auto target = console_.panel().elementAt(at.x, at.y);
    return !target || elementInfo(*target).mouse == MouseRole::Drag;
}

void Handheld::startSystemMove(MouseButton button, Point at) {
    if (frontEnd_.startSystemMove()) router_.release(button, at.x, at.y);
}

Cursor Handheld::cursorAt(Point at) const {
    const auto target = router_.capturing() ? router_.captured() : console_.panel().elementAt(at.x, at.y);
    return target ? elementInfo(*target).cursor : Cursor::Arrow;
}

std::string_view Handheld::hintAt(Point at) const {
    const auto target = console_.panel().elementAt(at.x, at.y);
    return target ? elementInfo(*target).hint : std::string_view();
}

void Handheld::tick(TimerId id) {
    if (isGameTimer(id))
        console_.onTimer(id);
    else
        keys_.onTimer(id);
}

void Handheld::moveWindowBy(int dx, int dy) { frontEnd_.moveWindowBy(dx, dy); }

// The pads go first: nothing reads them once the sound they may share a
// library with has been released.
void Handheld::close() {
    if (closed_) return;
    closed_ = true;
    frontEnd_.stopPads();
    console_.FormClose();
}

}  // namespace vorlak
