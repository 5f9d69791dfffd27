// Routes the mouse over the console's elements: the topmost shown element under
// the pointer takes a press and keeps the mouse until the button is released;
// a release inside it clicks; the second press of a double click runs the
// double-click handler, and its release clicks nothing; a right-button release
// opens the menu.
#pragma once

#include <functional>
#include <optional>

#include "game/console.h"

namespace vorlak {

class MouseRouter {
public:
    explicit MouseRouter(Console& console) : console_(console) {}

    void setMenuOpener(std::function<void(int x, int y)> open) { openMenu_ = std::move(open); }

    // Window (client) coordinates.
    void press(MouseButton button, int x, int y);
    void doubleClick(MouseButton button, int x, int y);
    void move(int x, int y, bool leftButtonHeld);
    void release(MouseButton button, int x, int y);

    // The element holding the mouse, if a left press is in progress; nothing
    // means the window's own background.
    std::optional<Element> captured() const { return captured_; }
    bool capturing() const { return capturing_; }

private:
    void mouseDown(std::optional<Element> target, MouseButton button, int x, int y);
    void mouseUp(std::optional<Element> target);
    void click(std::optional<Element> target);

    Console& console_;
    std::function<void(int, int)> openMenu_;
    bool capturing_ = false;
    std::optional<Element> captured_;
    bool clickOnRelease_ = true;
    std::optional<Element> rightTarget_;
};

}  // namespace vorlak
