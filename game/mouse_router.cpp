#include "game/mouse_router.h"

namespace vorlak {
namespace {

MouseRole roleOf(std::optional<Element> target) {
    return target ? elementInfo(*target).mouse : MouseRole::Drag;  // the window drags too
}

// A point in the coordinates of the element (or of the window).
int localX(std::optional<Element> target, int x) { return target ? x - elementInfo(*target).rect.left : x; }
int localY(std::optional<Element> target, int y) { return target ? y - elementInfo(*target).rect.top : y; }

bool inside(std::optional<Element> target, int x, int y) {
    return target ? elementInfo(*target).rect.contains(x, y) : kWindowRect.contains(x, y);
}

}  // namespace

void MouseRouter::mouseDown(std::optional<Element> target, MouseButton button, int x, int y) {
    switch (roleOf(target)) {
        case MouseRole::Drag: console_.FormMouseDown(button, localX(target, x), localY(target, y)); break;
        case MouseRole::Power: console_.Im_OnOffMouseDown(button); break;
        case MouseRole::Sound: console_.Im_SoundMouseDown(button); break;
        case MouseRole::Reset: console_.Im_ACLMouseDown(button); break;
        case MouseRole::Swallow: break;
    }
}

void MouseRouter::mouseUp(std::optional<Element> target) {
    switch (roleOf(target)) {
        case MouseRole::Power: console_.Im_OnOffMouseUp(); break;
        case MouseRole::Sound: console_.Im_SoundMouseUp(); break;
        case MouseRole::Reset: console_.Im_ACLMouseUp(); break;
        case MouseRole::Drag:
        case MouseRole::Swallow: break;
    }
}

// Power and reset run the same handler for click and double click.
void MouseRouter::click(std::optional<Element> target) {
    switch (roleOf(target)) {
        case MouseRole::Power: console_.Im_OnOffClick(); break;
        case MouseRole::Reset: console_.Im_ACLClick(); break;
        case MouseRole::Drag:
        case MouseRole::Sound:
        case MouseRole::Swallow: break;
    }
}

void MouseRouter::press(MouseButton button, int x, int y) {
    const auto target = console_.panel().elementAt(x, y);
    if (button == MouseButton::Left) {
        capturing_ = true;
        captured_ = target;
        clickOnRelease_ = true;
    } else if (button == MouseButton::Right) {
        rightTarget_ = target;
    }
    mouseDown(target, button, x, y);
}

void MouseRouter::doubleClick(MouseButton button, int x, int y) {
    const auto target = console_.panel().elementAt(x, y);
    if (button != MouseButton::Left) {
        press(button, x, y);
        return;
    }
    capturing_ = true;
    captured_ = target;
    clickOnRelease_ = false;
    click(target);
    mouseDown(target, button, x, y);
}

void MouseRouter::move(int x, int y, bool leftButtonHeld) {
    const auto target = capturing_ ? captured_ : console_.panel().elementAt(x, y);
    if (roleOf(target) == MouseRole::Drag)
        console_.FormMouseMove(leftButtonHeld, localX(target, x), localY(target, y));
}

void MouseRouter::release(MouseButton button, int x, int y) {
    if (button == MouseButton::Left) {
        if (!capturing_) return;
        const auto target = captured_;
        const bool clicks = clickOnRelease_ && inside(target, x, y);
        capturing_ = false;
        captured_.reset();
        if (clicks) click(target);
        mouseUp(target);
        return;
    }
    if (button == MouseButton::Right) {
        mouseUp(rightTarget_ ? rightTarget_ : console_.panel().elementAt(x, y));
        rightTarget_.reset();
        if (openMenu_) openMenu_(x, y);
    }
}

}  // namespace vorlak
