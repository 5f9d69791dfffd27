// Program start on the Linux desktop: the console window with its outline,
// the console's creation step, the settings store, the launcher and the
// about window, created in that order; the launcher comes up on the
// console's first activation.
#pragma once

#include <memory>

#include "frontends/qt/gamepads/console_gamepads.h"
#include "frontends/qt/shell/about_form.h"
#include "frontends/qt/shell/cool_form.h"
#include "frontends/qt/shell/settings_store.h"
#include "frontends/qt/shell/splash_form.h"
#include "frontends/qt/window/form1.h"
#include "game/handheld.h"

namespace vorlak {

class Program {
public:
    // The application object must exist; its title is set here.
    Program(Clock& clock, SoundLibrary& sound, SpeakerTone& speaker,
            TSplashForm::Desktop desktop = TSplashForm::systemDesktop());
    ~Program();

    // Shows the console off the screen, unseen, and activates it; the first
    // activation brings up the launcher. Where the compositor places windows,
    // the console stays hidden and the launcher comes up directly.
    void showConsole();
    // showConsole and the event loop; the program's exit status.
    int run();

    // Main window activation (the launcher comes up once per run).
    void FormActivate() { handheld_->activated(); }

    Handheld& handheld() { return *handheld_; }
    const Console& console() { return handheld_->console(); }
    TForm1& form() { return *form_; }
    TSplashForm& splash() { return *splash_; }
    TAboutForm& about() { return *about_; }

private:
    std::unique_ptr<TForm1> form_;
    std::unique_ptr<Handheld> handheld_;
    std::unique_ptr<Registro> registro_;
    std::unique_ptr<TAboutForm> about_;
    std::unique_ptr<TSplashForm> splash_;
    std::unique_ptr<ConsoleGamepads> gamepads_;
};

}  // namespace vorlak
