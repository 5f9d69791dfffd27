// The console's main window: one custom-drawn, frameless surface that paints
// the panel and turns mouse and key events into the console's handlers.
#pragma once

#include <QRegion>
#include <QWidget>

#include "game/console.h"
#include "game/mouse_router.h"
#include "frontends/qt/window/key_input.h"
#include "frontends/qt/window/pictures.h"

class QMenu;

namespace vorlak {

class TForm1 : public QWidget, public ConsoleWindow {
    Q_OBJECT
public:
    explicit TForm1(Console& console, QWidget* parent = nullptr);

    const ConsolePictures& pictures() const { return pictures_; }
    // The keyboard's keys, and the pads' as a second keyboard.
    KeyInput& keyInput() { return keys_; }

    // The right-click menu, opened at the pointer on a right-button release.
    void setPopupMenu(QMenu* menu) { popupMenu_ = menu; }
    QMenu* popupMenu() const { return popupMenu_; }

    // Before play: the window is shown where it waits, so that its first
    // activation brings up the launcher, but none of it is drawn or takes the
    // mouse, since a window manager may pull it back onto the screen.
    void showUnseen();
    // Play: the console shown whole, in front and active. Where the
    // compositor places windows, this is its first showing.
    void showOnScreen();

    // ConsoleWindow
    int windowLeft() const override { return x(); }
    int windowTop() const override { return y(); }
    void setWindowLeft(int left) override { move(left, y()); }
    void setWindowTop(int top) override { move(x(), top); }
    void setClientHeight(int height) override { setFixedSize(width(), height); }

signals:
    void activated();  // every activation of the window
    void closing();    // the window is closing, after the console released its sound

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    static QPoint windowPoint(const QMouseEvent* event);
    QPoint selfMovePoint(const QMouseEvent* event) const;
    void updateCursor(const QPoint& point);
    void startSystemMoveIfNeeded(MouseButton button, const QPoint& point);

    Console& console_;
    ConsolePictures pictures_;
    MouseRouter router_;
    KeyInput keys_;
    QMenu* popupMenu_ = nullptr;
    bool closed_ = false;
    bool unseen_ = false;
    QRegion outline_;  // the window's mask while it waits unseen
};

}  // namespace vorlak
