// The console's main window: one custom-drawn, frameless surface that paints
// the panel and reports the mouse, the keys, focus and activation to the
// console's core, which decides what they do.
#pragma once

#include <QRegion>
#include <QWidget>
#include <functional>

#include "frontends/qt/window/pictures.h"
#include "game/handheld.h"

class QMenu;

namespace vorlak {

class TForm1 : public QWidget, public FrontEnd {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);

    // The console this window shows and feeds; set once, before it is shown.
    void attach(Handheld& handheld) { handheld_ = &handheld; }
    Handheld& handheld() const { return *handheld_; }

    const ConsolePictures& pictures() const { return pictures_; }

    // The right-click menu, opened at the pointer on a right-button release.
    void setPopupMenu(QMenu* menu) { popupMenu_ = menu; }
    QMenu* popupMenu() const { return popupMenu_; }

    // What the program does when the console asks for the launcher, and
    // when it asks for the pads to stop.
    std::function<void()> onShowLauncher;
    std::function<void()> onStopPads;

    // Before play: the window is shown where it waits, so that its first
    // activation brings up the launcher, but none of it is drawn or takes the
    // mouse, since a window manager may pull it back onto the screen.
    void showUnseen();
    // Play: the console shown whole, in front and active. Where the
    // compositor places windows, this is its first showing.
    void showOnScreen();

    // FrontEnd
    void panelChanged(const Rect& area) override;
    void moveWindowBy(int dx, int dy) override { move(x() + dx, y() + dy); }
    std::optional<Point> windowPosition() const override;
    bool startSystemMove() override;
    void openMenu(Point at) override;
    void showLauncher() override;
    void setClientHeight(int height) override { setFixedSize(width(), height); }
    void stopPads() override;

    // The console's key for a toolkit key: 17 CTRL, 37-40 the arrows,
    // letters and digits as themselves, anything else a code the game
    // ignores.
    static std::uint16_t virtualKey(int qtKey);

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
    const QImage& outlinedSkin(const QImage& skin);
    static Point windowPoint(const QMouseEvent* event);
    static Point screenPoint(const QMouseEvent* event);
    void updateCursor(Point at);

    Handheld* handheld_ = nullptr;
    ConsolePictures pictures_;
    QMenu* popupMenu_ = nullptr;
    bool closed_ = false;
    bool unseen_ = false;
    QRegion outline_;  // the window's mask while it waits unseen
    QRect changed_;    // what changed since the last paint
    QImage outlinedSkin_;
    QRegion outlinedSkinMask_;
};

}  // namespace vorlak
