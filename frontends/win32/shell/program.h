// The Windows program: its windows, made in the order the console's start-up
// asks (the console, off the screen and unseen; the settings store; the
// launcher, which reads the stored choices; the about window), its menu and
// shortcut keys, the pads once the console is played, and the message loop.
#pragma once

#include <windows.h>

#include <memory>

#include "frontends/win32/clock/win32_clock.h"
#include "frontends/win32/gamepads/xinput_pads.h"
#include "frontends/win32/shell/about_window.h"
#include "frontends/win32/shell/launcher_window.h"
#include "frontends/win32/shell/registry_store.h"
#include "frontends/win32/sound/win_sound.h"
#include "frontends/win32/window/console_pictures.h"
#include "frontends/win32/window/console_view.h"
#include "game/handheld.h"

namespace vorlak {

class Program {
public:
    static constexpr const wchar_t* kTitle = L"Vorlak Simulator";

    // The clock outlives the program; its tick handler is the console's.
    Program(HINSTANCE instance, Win32Clock& clock);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // False when a window could not be made.
    bool ready() const { return ready_; }
    // Shows the console where it waits (its first activation brings up the
    // launcher) and runs the message loop to the end: the exit status.
    int run();

private:
    void command(UINT id);
    void showConsole(const WindowPlace& place);
    void brokenSoundFolder(HWND owner);
    void exitProgram();
    void openTarget(HWND owner, const wchar_t* target);

    HINSTANCE instance_;
    Win32Clock& clock_;
    WinSound sound_;
    ConsolePictures pictures_;
    ConsoleView view_;
    std::unique_ptr<Handheld> handheld_;
    std::unique_ptr<RegistryStore> settings_;
    std::unique_ptr<LauncherWindow> launcher_;
    std::unique_ptr<AboutWindow> about_;
    HMENU menu_ = nullptr;
    HACCEL shortcuts_ = nullptr;
    std::unique_ptr<XInputPads> pads_;
    bool padsStopped_ = false;
    bool ready_ = false;
};

// The standard error box: the program's title, the error icon, OK; the
// message ends with a full stop.
void showStandardError(const std::string& message);

}  // namespace vorlak
