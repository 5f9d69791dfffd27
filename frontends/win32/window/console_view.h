// The console's main window on Windows: a frameless popup in the shape of
// the handheld, painted with GDI from the panel, that turns mouse and key
// messages into the console's handlers. Drawn at the whole multiple of the
// screen's scale (150 % draws at 1x, 200 % at 2x), never smoothed.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "frontends/win32/window/console_pictures.h"
#include "game/console.h"
#include "game/mouse_router.h"

namespace vorlak {

class ConsoleView : public ConsoleWindow {
public:
    // What the window reports besides the mouse, which it routes itself.
    struct Reports {
        std::function<void(std::uint16_t key, bool down, bool repeat)> key;
        std::function<void()> activated;  // every activation
        std::function<void()> closing;    // the window is about to be destroyed
    };

    static constexpr int kWidth = 461;          // the console's client size
    static constexpr int kCreatedHeight = 585;  // until the console grows it to the skin's height
    static constexpr wchar_t kClassName[] = L"VorlakSimulatorConsole";

    ConsoleView(Console& console, const ConsolePictures& pictures);
    ~ConsoleView() override;
    ConsoleView(const ConsoleView&) = delete;
    ConsoleView& operator=(const ConsoleView&) = delete;

    // Makes the window, hidden, at its place off the screen (-500, -1), with
    // its outline in place before it is first shown. False when it could not.
    bool create(HINSTANCE instance);
    HWND handle() const { return window_; }
    Reports& reports() { return reports_; }

    int scale() const { return scale_; }
    // Whether the stored outline shapes the window; false before create()
    // and when the outline was refused (the window is then rectangular).
    bool hasOutline() const { return outlined_; }

    void show();
    // Centred on the screen the window is on (the whole screen, taskbar included).
    void placeAtScreenCentre();

    // ConsoleWindow: positions and sizes in console pixels (screen pixels
    // divided by the scale).
    int windowLeft() const override;
    int windowTop() const override;
    void setWindowLeft(int left) override;
    void setWindowTop(int top) override;
    void setClientHeight(int height) override;
    int clientHeight() const { return clientHeight_; }

    // What the last paint drew into its buffer (console pixels), and how
    // many paints there were: changes between two paints are drawn as one.
    Rect lastPaintArea() const { return lastPaintArea_; }
    int paintCount() const { return paintCount_; }

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void applyScale(int scale);
    void applyOutline();
    void invalidate(const Rect& area);
    void paint();
    void mousePress(MouseButton button, LPARAM at, bool doubleClick);
    void mouseRelease(MouseButton button, LPARAM at);
    bool setCursorForPointer();
    POINT consolePoint(LPARAM at) const;
    void moveTo(int left, int top);

    Console& console_;
    const ConsolePictures& pictures_;
    MouseRouter router_;
    Reports reports_;
    HWND window_ = nullptr;
    int scale_ = 1;
    int clientHeight_ = kCreatedHeight;
    bool outlined_ = false;
    std::vector<std::uint8_t> outline_;  // the region data, kept for a new scale

    HDC buffer_ = nullptr;  // the console at 1x, what the screen shows
    HBITMAP bufferBitmap_ = nullptr;
    HGDIOBJ bufferOriginal_ = nullptr;
    Rect dirty_{};
    Rect lastPaintArea_{};
    int paintCount_ = 0;
};

}  // namespace vorlak
