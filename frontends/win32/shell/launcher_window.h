// The launcher: before the first game it shows the sound output and system
// family lists and the PLAY button, whose rules the console's core holds
// (Handheld::launcher()); PLAY stores the choices, opens the sound and
// brings the console on screen. A window class of its own, 246 x 358 black
// client pixels in a fixed single border without title-bar buttons, centred
// on the main screen; the labels, links and the picture are drawn on it, the
// lists and the button are the system's controls.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "frontends/win32/shell/drawn_controls.h"
#include "game/handheld.h"

namespace vorlak {

// The maker's addresses, on a reserved example domain (the other front ends
// show the same).
inline constexpr const wchar_t* kMakerWebAddress = L"http://www.example.org/vorlak/";
inline constexpr const wchar_t* kMakerEmailLink = L"mailto:selvane@example.com";

class LauncherWindow {
public:
    // What the launcher asks of the program around it.
    struct Desktop {
        std::function<void(HWND owner, const wchar_t* target)> open;  // the shell's "open"
        std::function<ScreenArea()> workArea;                         // console pixels
        std::function<void(const std::string&)> showError;            // the standard error box
        std::function<void(HWND owner)> brokenSoundFolder;            // the box, the choices forgotten, the end
        std::function<void(const WindowPlace&)> showConsole;          // PLAY: the console on the screen
        std::function<void()> exitProgram;                            // closed before PLAY
    };

    static constexpr wchar_t kClassName[] = L"VorlakLauncher";
    static constexpr int kClientWidth = 246, kClientHeight = 358;
    static constexpr int kListItemHeight = 13;

    LauncherWindow(Handheld& handheld, Desktop desktop);
    ~LauncherWindow();
    LauncherWindow(const LauncherWindow&) = delete;
    LauncherWindow& operator=(const LauncherWindow&) = delete;

    // Makes the window, hidden, owned by the console's window, and reads the
    // stored choices into the lists (the launcher's creation); a value that
    // is not text is reported in the standard error box. False when the
    // window could not be made.
    bool create(HINSTANCE instance, HWND owner, SettingsStore* settings);
    void show();
    // Shown once the message that asks for it (the console's activation) is
    // over: one window is not activated inside another's activation.
    void showSoon();
    HWND handle() const { return window_; }
    HWND soundList() const { return soundList_; }
    HWND systemList() const { return systemList_; }
    HWND playButton() const { return playButton_; }
    int scale() const { return scale_; }
    bool played() const { return played_; }

    // The handlers, as the controls call them.
    void CB_SoundChange();
    void CB_SystemChange();
    void Puls_PlayClick();
    void La_HttpClick();
    void La_EmailClick();

private:
    enum LabelId { La_Title, La_Version, La_Released, La_Http, La_Email, La_Sound, La_System, LabelCount };
    template <typename Object>
    friend LRESULT CALLBACK objectWindowProc(HWND, UINT, WPARAM, LPARAM);
    void adopt(HWND window) { window_ = window; }
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void layout(int scale);
    void showChoices();
    void paint();
    std::optional<LabelId> linkAt(LPARAM at) const;

    Handheld& handheld_;
    Desktop desktop_;
    HWND window_ = nullptr;
    HWND soundList_ = nullptr, systemList_ = nullptr, playButton_ = nullptr;
    int scale_ = 1;
    std::array<DrawnLabel, LabelCount> labels_;
    std::array<HFONT, LabelCount> labelFonts_{};
    HFONT listFont_ = nullptr, buttonFont_ = nullptr;
    std::unique_ptr<DrawnPicture> picture_;
    std::optional<LabelId> pressedLink_;
    bool played_ = false;
};

}  // namespace vorlak
