// The about window: "About the author...", 275 x 224 black client pixels in a
// dialog border with only a close button, at the screen's top left corner; a
// photo strip in a raised bevel and five rows of captions and values. Closing
// it hides it; it can be shown again.
#pragma once

#include <windows.h>

#include <array>
#include <memory>

#include "frontends/win32/shell/drawn_controls.h"

namespace vorlak {

class AboutWindow {
public:
    static constexpr wchar_t kClassName[] = L"VorlakAbout";
    static constexpr int kClientWidth = 275, kClientHeight = 224;

    AboutWindow() = default;
    ~AboutWindow();
    AboutWindow(const AboutWindow&) = delete;
    AboutWindow& operator=(const AboutWindow&) = delete;

    // Hidden until shown; owned by the console's window.
    bool create(HINSTANCE instance, HWND owner);
    // Shown, restored if minimised and brought to the front.
    void show();
    HWND handle() const { return window_; }

private:
    static constexpr int kRows = 5;
    template <typename Object>
    friend LRESULT CALLBACK objectWindowProc(HWND, UINT, WPARAM, LPARAM);
    void adopt(HWND window) { window_ = window; }
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void layout(int scale);
    void paint();

    HWND window_ = nullptr;
    int scale_ = 1;
    std::unique_ptr<DrawnPicture> photo_;
    std::array<DrawnLabel, 2 * kRows> labels_;
    HFONT captionFont_ = nullptr, valueFont_ = nullptr;
};

}  // namespace vorlak
