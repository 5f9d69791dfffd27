// The console's main window on Windows: a frameless popup in the shape of
// the handheld, painted with GDI from the panel, the front end the console
// (Handheld) calls back; it reports mouse, keys, focus, activation and close
// to the console, which decides everything, shows the hints and cursors the
// console gives, and opens the right-click menu where it asks. Drawn at the
// whole multiple of the screen's scale (150 % draws at 1x, 200 % at 2x),
// never smoothed.
//
// Until the launcher's PLAY it waits off the screen at (-500, -1) with an
// empty window region: where a monitor lies left of the main one, that place
// is on a screen, and nothing of the console may show there.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "frontends/win32/window/console_pictures.h"
#include "game/handheld.h"

namespace vorlak {

class ConsoleView : public FrontEnd {
public:
    // What the window asks of the program that the console does not decide.
    struct Requests {
        std::function<void()> showLauncher;       // the console's first activation
        std::function<void(UINT)> command;        // a menu item or its key (WM_COMMAND)
        std::function<void(bool)> focusChanged;   // the console took or lost the keyboard
        std::function<void()> stopPads;           // closing: the pads stop before the sound
    };

    static constexpr int kWidth = 461;          // the console's client size
    static constexpr int kCreatedHeight = 585;  // until the console grows it to the skin's height
    static constexpr wchar_t kClassName[] = L"VorlakSimulatorConsole";

    explicit ConsoleView(const ConsolePictures& pictures);
    ~ConsoleView() override;
    ConsoleView(const ConsoleView&) = delete;
    ConsoleView& operator=(const ConsoleView&) = delete;

    // Makes the window, hidden, at its place off the screen (-500, -1), with
    // its outline in place before it is first shown. False when it could not.
    bool create(HINSTANCE instance);
    // The console it shows and reports to, once made (its creation step
    // sizes this window, so the window comes first).
    void attach(Handheld* handheld);
    HWND handle() const { return window_; }
    Requests& requests() { return requests_; }
    // Windows places windows, but the console's drag is the system's move.
    static PlatformTraits platformTraits();

    int scale() const { return scale_; }
    // Whether the stored outline shapes the window; false before create()
    // and when the outline was refused (the window is then rectangular).
    bool hasOutline() const { return outlined_; }

    // The menu the right-click opens (owned by the caller, kept while the
    // window lives); its items come back as commands.
    void setPopupMenu(HMENU menu) { menu_ = menu; }

    // Shown and activated where it waits, with nothing of it seen or
    // reachable by the mouse (an empty window region).
    void showUnseen();
    bool unseen() const { return unseen_; }
    // The console brought on the screen: its outline put back, moved to the
    // place (console pixels; a top of none keeps the window's top), shown and
    // activated.
    void showAt(const WindowPlace& place);
    // The main screen's work area in console pixels, for PLAY's centring.
    ScreenArea workArea() const;

    // FrontEnd: positions and sizes in console pixels (screen pixels divided
    // by the scale).
    void panelChanged(const Rect& area) override { invalidate(area); }
    void moveWindowBy(int dx, int dy) override;
    std::optional<Point> windowPosition() const override;
    bool startSystemMove() override;
    void openMenu(Point at) override;
    void showLauncher() override;
    void stopPads() override;
    void setClientHeight(int height) override;
    int clientHeight() const { return clientHeight_; }

    // What the last paint drew into its buffer (console pixels), and how
    // many paints there were: changes between two paints are drawn as one.
    Rect lastPaintArea() const { return lastPaintArea_; }
    int paintCount() const { return paintCount_; }

private:
    template <typename Object>
    friend LRESULT CALLBACK objectWindowProc(HWND, UINT, WPARAM, LPARAM);
    void adopt(HWND window) { window_ = window; }
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void applyScale(int scale);
    void applyOutline();
    void invalidate(const Rect& area);
    void paint();
    void mousePress(MouseButton button, LPARAM at, bool doubleClick);
    void mouseRelease(MouseButton button, LPARAM at);
    bool setCursorForPointer();
    Point consolePoint(LPARAM at) const;
    void moveTo(int left, int top);
    void createHints();
    void updateHints(UINT request);
    void hintText(NMTTDISPINFOW& info);

    const ConsolePictures& pictures_;
    Handheld* handheld_ = nullptr;
    Requests requests_;
    HWND window_ = nullptr;
    int scale_ = 1;
    int clientHeight_ = kCreatedHeight;
    bool outlined_ = false;
    bool unseen_ = false;
    HMENU menu_ = nullptr;
    HWND hints_ = nullptr;  // the tooltip control
    std::wstring hint_;     // the text it shows
    std::vector<std::uint8_t> outline_;  // the region data, kept for a new scale

    HDC buffer_ = nullptr;  // the console at 1x, what the screen shows
    HBITMAP bufferBitmap_ = nullptr;
    HGDIOBJ bufferOriginal_ = nullptr;
    Rect dirty_{};
    Rect lastPaintArea_{};
    int paintCount_ = 0;
};

}  // namespace vorlak
