// The console's main window: one custom-drawn, frameless surface that paints
// the panel and turns mouse and key events into the console's handlers.
#pragma once

#include <QWidget>
#include <functional>

#include "game/console.h"
#include "game/mouse_router.h"
#include "game/window/key_input.h"
#include "game/window/pictures.h"

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
    // Called when the creation handler opens the settings store.
    void setSettingsStoreOpener(std::function<void()> open) { openSettings_ = std::move(open); }

    // ConsoleWindow
    int windowLeft() const override { return x(); }
    int windowTop() const override { return y(); }
    void setWindowLeft(int left) override { move(left, y()); }
    void setWindowTop(int top) override { move(x(), top); }
    void setClientHeight(int height) override { setFixedSize(width(), height); }
    void openSettingsStore() override {
        if (openSettings_) openSettings_();
    }

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
    QPoint windowPoint(const QMouseEvent* event) const;
    void updateCursor(const QPoint& point);
    void startSystemMoveIfNeeded(const QPoint& point);

    Console& console_;
    ConsolePictures pictures_;
    MouseRouter router_;
    KeyInput keys_;
    QMenu* popupMenu_ = nullptr;
    std::function<void()> openSettings_;
    bool closed_ = false;
};

}  // namespace vorlak
