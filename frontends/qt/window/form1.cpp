#include "frontends/qt/window/form1.h"

#include <QCloseEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QScreen>
#include <QToolTip>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "frontends/qt/window/window_system.h"
#include "game/keys.h"

namespace vorlak {
namespace {

std::optional<MouseButton> buttonOf(Qt::MouseButton button) {
    switch (button) {
        case Qt::LeftButton: return MouseButton::Left;
        case Qt::RightButton: return MouseButton::Right;
        case Qt::MiddleButton: return MouseButton::Middle;
        default: return std::nullopt;
    }
}

Qt::CursorShape shapeOf(Cursor cursor) {
    switch (cursor) {
        case Cursor::Hand: return Qt::PointingHandCursor;
        case Cursor::Help: return Qt::WhatsThisCursor;
        case Cursor::Arrow: break;
    }
    return Qt::ArrowCursor;
}

constexpr std::uint16_t kIgnoredKey = 0xFF;

}  // namespace

TForm1::TForm1(QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {
    setWindowTitle(QStringLiteral("Vorlak Simulator"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);  // cursors and hints follow the pointer
    setFixedSize(kConsoleWidth, kConsoleLaidOutHeight);  // the creation step grows it to the skin's height
    move(-500, -1);

    for (const QString& problem : pictures_.problems())
        std::fprintf(stderr, "Vorlak Simulator: %s\n", qPrintable(problem));
}

std::uint16_t TForm1::virtualKey(int qtKey) {
    switch (qtKey) {
        case Qt::Key_Control: return kKeyControl;
        case Qt::Key_Left: return kKeyLeft;
        case Qt::Key_Up: return kKeyUp;
        case Qt::Key_Right: return kKeyRight;
        case Qt::Key_Down: return kKeyDown;
        default: break;
    }
    // Letters and digits share their codes with the virtual keys; punctuation
    // such as '%' or '(' does not, and must never pass for an arrow.
    if ((qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) || (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z))
        return static_cast<std::uint16_t>(qtKey);
    return kIgnoredKey;
}

// One rectangle per paint, holding every change since the last one, and
// each picture drawn only where it meets that rectangle: the raster engine
// then copies plain rectangles. A region of several rectangles, or a whole
// picture clipped to it, goes through its span blending instead, which splits
// tall pictures over a pool of threads.
void TForm1::paintEvent(QPaintEvent* event) {
    // Waiting unseen, nothing of the window shows: painting it would only
    // delay the launcher's first frame. It is painted whole once shown.
    if (unseen_) return;
    changed_ = QRect();
    QPainter painter(this);
    const QRect area = event->rect();
    // Pictures are scaled only by the whole multiple of the screen and never
    // smoothed, so that each LCD pixel stays a square.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    const bool translucent = testAttribute(Qt::WA_TranslucentBackground);
    const Panel* panel = handheld_ ? &handheld_->panel() : nullptr;
    const QImage* skin = panel && panel->shown(Im_Principale) ? pictures_.picture(Im_Principale) : nullptr;
    if (translucent) {
        // Where the window's mask shapes only the mouse (Wayland), the window
        // is translucent and the skin is drawn inside the outline alone, so
        // that the cut-outs show the desktop.
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.fillRect(area, Qt::transparent);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        if (skin) skin = &outlinedSkin(*skin);
    } else if (!skin || !QRect(QPoint(0, 0), skin->size()).contains(area)) {
        // The opaque skin covers the whole window: white shows only without it.
        painter.fillRect(area, Qt::white);
    }
    if (!panel) return;
    for (int i = 0; i < kDrawnElementCount; ++i) {
        const auto e = static_cast<Element>(i);
        if (!panel->shown(e)) continue;
        const auto picture = panel->pictureOf(e);
        if (!picture) continue;
        const QImage* image = e == Im_Principale ? skin : pictures_.picture(*picture);
        if (!image) continue;
        const Rect& r = elementInfo(e).rect;
        const QRect place(r.left, r.top, image->width(), image->height());
        const QRect part = place & area;
        if (!part.isEmpty()) painter.drawImage(part.topLeft(), *image, part.translated(-place.topLeft()));
    }
}

// The skin with everything outside the window's mask see-through, made again
// whenever the mask changes.
const QImage& TForm1::outlinedSkin(const QImage& skin) {
    const QWindow* handle = windowHandle();
    const QRegion mask = handle ? handle->mask() : QRegion();
    if (outlinedSkin_.isNull() || mask != outlinedSkinMask_) {
        outlinedSkinMask_ = mask;
        outlinedSkin_ = QImage(skin.size(), QImage::Format_ARGB32_Premultiplied);
        outlinedSkin_.fill(Qt::transparent);
        QPainter painter(&outlinedSkin_);
        if (!mask.isEmpty()) painter.setClipRegion(mask);
        painter.drawImage(0, 0, skin);
    }
    return outlinedSkin_;
}

void TForm1::panelChanged(const Rect& r) {
    changed_ |= QRect(r.left, r.top, r.width, r.height);
    // Whole units of the compositor's, which the toolkit clears in whole.
    if (const int unit = compositorUnit(); unit > 1) {
        const int left = changed_.left() / unit * unit, top = changed_.top() / unit * unit;
        const int right = (changed_.right() + unit) / unit * unit, bottom = (changed_.bottom() + unit) / unit * unit;
        changed_ = QRect(left, top, right - left, bottom - top);
    }
    update(changed_);
}

// The event's own window position, in the console's pixels: at a 2x scale a
// device pixel lies on a half, which belongs to the pixel below it.
Point TForm1::windowPoint(const QMouseEvent* event) {
    const QPointF p = event->position();
    return {static_cast<int>(std::floor(p.x())), static_cast<int>(std::floor(p.y()))};
}

Point TForm1::screenPoint(const QMouseEvent* event) {
    const QPointF g = event->globalPosition();
    return {static_cast<int>(std::floor(g.x())), static_cast<int>(std::floor(g.y()))};
}

// Only where the program places its windows itself does it know where they are.
std::optional<Point> TForm1::windowPosition() const {
    if (compositorPlacesWindows()) return std::nullopt;
    return Point{x(), y()};
}

bool TForm1::startSystemMove() {
    QWindow* handle = windowHandle();
    return handle && handle->startSystemMove();
}

// At the pointer: the release's own window point, which on every platform
// maps to where the toolkit places a menu of this window. The menu opens to
// the left of the pointer and above it where it would not fit the screen's
// available area to the right and below. A Wayland client does not know where
// its window is, and some compositors (weston) leave a menu cut by the
// screen's edge: there the menu is kept within the console's own window,
// which the compositor showed on the screen.
void TForm1::openMenu(Point at) {
    if (!popupMenu_) return;
    const QSize size = popupMenu_->sizeHint();
    QRect bounds = rect();
    if (!compositorPlacesWindows()) {
        if (const QScreen* here = screen()) {
            const QRect available = here->availableGeometry();
            bounds = QRect(mapFromGlobal(available.topLeft()), available.size());
        }
    }
    QPoint place(at.x, at.y);
    if (place.x() + size.width() > bounds.x() + bounds.width()) place.rx() = std::max(bounds.x(), at.x - size.width());
    if (place.y() + size.height() > bounds.y() + bounds.height()) place.ry() = std::max(bounds.y(), at.y - size.height());
    popupMenu_->popup(mapToGlobal(place));
}

void TForm1::showLauncher() {
    if (onShowLauncher) onShowLauncher();
}

void TForm1::stopPads() {
    if (onStopPads) onStopPads();
}

void TForm1::mousePressEvent(QMouseEvent* event) {
    if (const auto button = buttonOf(event->button()); button && handheld_)
        handheld_->mousePress(*button, windowPoint(event), screenPoint(event));
}

void TForm1::mouseDoubleClickEvent(QMouseEvent* event) {
    if (const auto button = buttonOf(event->button()); button && handheld_)
        handheld_->mouseDoubleClick(*button, windowPoint(event), screenPoint(event));
}

void TForm1::mouseMoveEvent(QMouseEvent* event) {
    if (!handheld_) return;
    const Point p = windowPoint(event);
    handheld_->mouseMove(p, event->buttons() & Qt::LeftButton, screenPoint(event));
    updateCursor(p);
}

void TForm1::mouseReleaseEvent(QMouseEvent* event) {
    if (const auto button = buttonOf(event->button()); button && handheld_)
        handheld_->mouseRelease(*button, windowPoint(event));
}

void TForm1::showUnseen() {
    winId();  // the native window, whose mask is swapped
    if (QWindow* handle = windowHandle()) {
        outline_ = handle->mask();
        // A mask that lies wholly outside the window: nothing of it is left.
        handle->setMask(QRegion(-1, -1, 1, 1));
        unseen_ = true;
    }
    show();
}

void TForm1::showOnScreen() {
    if (unseen_) {
        unseen_ = false;
        // Unmapped and mapped again with its outline: mutter, which composited
        // the window while its mask was empty, may otherwise never show the
        // console after the mask grows.
        hide();
        if (QWindow* handle = windowHandle()) handle->setMask(outline_);
        update();  // painted before it is first shown, as nothing was while unseen
    }
    show();
    raise();
    activateWindow();
}

void TForm1::updateCursor(Point at) {
    const Qt::CursorShape shape = shapeOf(handheld_->cursorAt(at));
    if (cursor().shape() != shape) setCursor(shape);
}

void TForm1::keyPressEvent(QKeyEvent* event) {
    if (handheld_) handheld_->keyDown(virtualKey(event->key()), event->isAutoRepeat(), event->timestamp());
}

void TForm1::keyReleaseEvent(QKeyEvent* event) {
    if (handheld_) handheld_->keyUp(virtualKey(event->key()), event->isAutoRepeat(), event->timestamp());
}

// Focus shows nowhere on the console, so gaining or losing it repaints
// nothing (the default would repaint the whole window).
void TForm1::focusInEvent(QFocusEvent* event) {
    if (handheld_) handheld_->focusChanged(true);
    event->accept();
}

void TForm1::focusOutEvent(QFocusEvent* event) {
    if (handheld_) handheld_->focusChanged(false);
    event->accept();
}

void TForm1::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        if (handheld_) handheld_->activated();
        emit activated();
    }
    QWidget::changeEvent(event);
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (!closed_) {
        closed_ = true;
        if (handheld_) handheld_->close();
        emit closing();
    }
    event->accept();
}

bool TForm1::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip && handheld_) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const std::string_view hint = handheld_->hintAt({help->pos().x(), help->pos().y()});
        if (hint.empty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), QString::fromLatin1(hint.data(), static_cast<int>(hint.size())), this);
        return true;
    }
    return QWidget::event(event);
}

}  // namespace vorlak
