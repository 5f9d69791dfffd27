#include "frontends/qt/shell/cool_form.h"

#include <QEvent>
#include <QIODevice>
#include <QWindow>

#include "frontends/qt/window/window_system.h"

namespace vorlak {

TCoolForm::TCoolForm() : QWidget(nullptr) {
    // Nothing behind the picture is erased.
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

TCoolForm::~TCoolForm() {
    if (QWidget* form = parentWidget()) form->removeEventFilter(this);
}

void TCoolForm::assignParent(QWidget* parent) {
    if (QWidget* old = parentWidget()) old->removeEventFilter(this);
    setParent(parent);
    if (parent) {
        if (!parent->isWindow()) throw CoolFormError("Drop the CoolForm on a FORM!");
        if (!(parent->windowFlags() & Qt::FramelessWindowHint)) {
            const bool shown = parent->isVisible();
            parent->setWindowFlag(Qt::FramelessWindowHint, true);
            if (shown) parent->show();  // changing the flags hides a window
        }
        // Fills the form's client area, whatever size the form takes.
        parent->installEventFilter(this);
        setGeometry(0, 0, parent->width(), parent->height());
        // An outline loaded before the component had a form.
        if (mask_.region && !mask_.handedToWindow) applyOutline();
    }
    setTop(0);
    setLeft(0);
}

void TCoolForm::setTop(int) { move(x(), 0); }
void TCoolForm::setLeft(int) { move(0, y()); }
void TCoolForm::setWidth(int value) { resize(value, QWidget::height()); }
void TCoolForm::setHeight(int value) { resize(QWidget::width(), value); }

void TCoolForm::setPicture(const QImage& picture) {
    picture_ = picture;
    pictureChanged();
}

// A new picture drops the outline held; an outline already given to the
// window stays with the window.
void TCoolForm::pictureChanged() {
    mask_.region.reset();
    mask_.handedToWindow = false;
    update();
}

void TCoolForm::readMask(QIODevice& stream) {
    const Mask2Block block = readMask2(stream);
    mask_.handedToWindow = false;
    // No outline (N = 0), or a damaged block: the window stays as it is.
    if (block.size == 0 || !block.complete) {
        mask_.region.reset();
        return;
    }
    mask_.region = regionFromData(block.data);
    if (mask_.region) applyOutline();
}

void TCoolForm::writeMask(QIODevice& stream) const { writeMask2(stream, mask_.region); }

// The outline goes to the window system only. On X11 it shapes the window
// for drawing and the mouse alike, so painting is not clipped to it, which
// spares each full repaint a 72-rectangle clip. A Wayland compositor takes it
// for the mouse only: the form is made translucent (before its native window
// exists), and a translucent form draws inside its mask alone.
void TCoolForm::applyOutline() {
    QWidget* form = parentWidget();
    if (!form || !mask_.region) return;
    if (compositorPlacesWindows() && !form->internalWinId()) form->setAttribute(Qt::WA_TranslucentBackground);
    form->winId();  // the native window, so that it can take the outline
    QWindow* handle = form->windowHandle();
    if (!handle) return;
    handle->setMask(*mask_.region);
    mask_.handedToWindow = true;
}

bool TCoolForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        setGeometry(0, 0, parentWidget()->width(), parentWidget()->height());
    return QWidget::eventFilter(watched, event);
}

}  // namespace vorlak
