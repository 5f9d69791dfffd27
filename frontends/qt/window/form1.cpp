#include "frontends/qt/window/form1.h"

#include "frontends/qt/window/desktop_keyboard.h"
#include "frontends/qt/window/window_system.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QToolTip>
#include <QWindow>
#include <cmath>
#include <cstdio>

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

QString hintOf(Element e) {
    const auto hint = elementInfo(e).hint;
    return QString::fromLatin1(hint.data(), static_cast<int>(hint.size()));
}

}  // namespace

TForm1::TForm1(Console& console, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint),
      console_(console),
      router_(console),
      keys_([this](std::uint16_t key) { console_.FormKeyDown(key); },
            [this](std::uint16_t key) { console_.FormKeyUp(key); }, this) {
    setWindowTitle(QStringLiteral("Vorlak Simulator"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);  // cursors and hints follow the pointer
    setFixedSize(461, 585);  // the creation handler grows it to the skin's height
    move(-500, -1);

    for (const QString& problem : pictures_.problems())
        std::fprintf(stderr, "Vorlak Simulator: %s\n", qPrintable(problem));

    console_.panel().setChangeListener(
        [this](const Rect& r) { update(QRect(r.left, r.top, r.width, r.height)); });
    // At the pointer: the release's own window point, which on every platform
    // maps to where the toolkit places a menu of this window.
    router_.setMenuOpener([this](int x, int y) {
        if (popupMenu_) popupMenu_->popup(mapToGlobal(QPoint(x, y)));
    });
    const KeyRepeatSettings repeat = desktopKeyRepeat();
    keys_.setControlRepeat(repeat.delayMs, repeat.intervalMs);
}

void TForm1::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect area = event->rect();
    if (testAttribute(Qt::WA_TranslucentBackground)) {
        // Where the window's mask shapes only the mouse (Wayland), the window
        // is translucent and is drawn inside the mask alone, so that the
        // cut-outs show the desktop.
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.fillRect(area, Qt::transparent);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        if (const QWindow* handle = windowHandle(); handle && !handle->mask().isEmpty())
            painter.setClipRegion(handle->mask());
    }
    // Pictures are scaled only by the whole multiple of the screen and never
    // smoothed, so that each LCD pixel stays a square.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.fillRect(area, Qt::white);
    const Panel& panel = console_.panel();
    for (int i = 0; i < kDrawnElementCount; ++i) {
        const auto e = static_cast<Element>(i);
        if (!panel.shown(e)) continue;
        const auto picture = panel.pictureOf(e);
        if (!picture) continue;
        const QImage* image = pictures_.picture(*picture);
        if (!image) continue;
        const Rect& r = elementInfo(e).rect;
        const QRect place(r.left, r.top, image->width(), image->height());
        if (place.intersects(area)) painter.drawImage(place.topLeft(), *image);
    }
}

// The event's own window position, in the console's pixels: at a 2x scale a
// device pixel lies on a half, which belongs to the pixel below it.
QPoint TForm1::windowPoint(const QMouseEvent* event) {
    const QPointF p = event->position();
    return {static_cast<int>(std::floor(p.x())), static_cast<int>(std::floor(p.y()))};
}

// While the window moves itself under a drag, the pointer measured against
// the window's position as last set: motions queued before the server
// carried out the last move then do not count that move twice.
QPoint TForm1::selfMovePoint(const QMouseEvent* event) const {
    const QPointF g = event->globalPosition();
    return QPoint(static_cast<int>(std::floor(g.x())), static_cast<int>(std::floor(g.y()))) - pos();
}

void TForm1::mousePressEvent(QMouseEvent* event) {
    if (const auto button = buttonOf(event->button())) {
        const QPoint p = windowPoint(event);
        router_.press(*button, p.x(), p.y());
        startSystemMoveIfNeeded(*button, p);
    }
}

// Under Wayland a program cannot place its own window: a left press on
// whatever drags the window hands the move to the compositor instead, which
// keeps the button until it is released.
void TForm1::startSystemMoveIfNeeded(MouseButton button, const QPoint& point) {
    if (button != MouseButton::Left || !compositorPlacesWindows()) return;
    const auto target = console_.panel().elementAt(point.x(), point.y());
    if (target && elementInfo(*target).mouse != MouseRole::Drag) return;
    QWindow* handle = windowHandle();
    if (handle && handle->startSystemMove()) router_.release(button, point.x(), point.y());
}

void TForm1::mouseDoubleClickEvent(QMouseEvent* event) {
    if (const auto button = buttonOf(event->button())) {
        const QPoint p = windowPoint(event);
        router_.doubleClick(*button, p.x(), p.y());
        startSystemMoveIfNeeded(*button, p);
    }
}

void TForm1::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = windowPoint(event);
    const bool selfMove = router_.capturing() && !compositorPlacesWindows();
    const QPoint moved = selfMove ? selfMovePoint(event) : p;
    router_.move(moved.x(), moved.y(), event->buttons() & Qt::LeftButton);
    updateCursor(p);
}

void TForm1::mouseReleaseEvent(QMouseEvent* event) {
    if (const auto button = buttonOf(event->button())) {
        const QPoint p = windowPoint(event);
        router_.release(*button, p.x(), p.y());
    }
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
        if (QWindow* handle = windowHandle()) handle->setMask(outline_);
    }
    show();
    raise();
    activateWindow();
}

void TForm1::updateCursor(const QPoint& point) {
    const auto target = router_.capturing() ? router_.captured() : console_.panel().elementAt(point.x(), point.y());
    Qt::CursorShape shape = Qt::ArrowCursor;
    if (target) {
        switch (elementInfo(*target).cursor) {
            case Cursor::Hand: shape = Qt::PointingHandCursor; break;
            case Cursor::Help: shape = Qt::WhatsThisCursor; break;
            case Cursor::Arrow: break;
        }
    }
    if (cursor().shape() != shape) setCursor(shape);
}

void TForm1::keyPressEvent(QKeyEvent* event) {
    keys_.pressed(event->key(), event->isAutoRepeat(), event->timestamp());
}

void TForm1::keyReleaseEvent(QKeyEvent* event) {
    keys_.released(event->key(), event->isAutoRepeat(), event->timestamp());
}

// Focus shows nowhere on the console, so gaining or losing it repaints
// nothing (the default would repaint the whole window).
void TForm1::focusInEvent(QFocusEvent* event) { event->accept(); }

void TForm1::focusOutEvent(QFocusEvent* event) {
    keys_.flush();
    event->accept();
}

void TForm1::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) emit activated();
    QWidget::changeEvent(event);
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (!closed_) {
        closed_ = true;
        console_.FormClose();
        emit closing();
    }
    event->accept();
}

bool TForm1::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const auto target = console_.panel().elementAt(help->pos().x(), help->pos().y());
        const QString hint = target ? hintOf(*target) : QString();
        if (hint.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), hint, this);
        return true;
    }
    return QWidget::event(event);
}

}  // namespace vorlak
