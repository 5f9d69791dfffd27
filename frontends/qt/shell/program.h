// Program start: the console window with its outline, the settings store, the
// launcher and the about window, created in that order, and the launcher
// shown on the console's first activation.
#pragma once

#include <memory>

#include "game/console.h"
#include "frontends/qt/window/form1.h"
#include "frontends/qt/gamepads/console_gamepads.h"
#include "frontends/qt/shell/about_form.h"
#include "frontends/qt/shell/cool_form.h"
#include "frontends/qt/shell/settings_store.h"
#include "frontends/qt/shell/splash_form.h"

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

    // Main window activation: the launcher comes up once per run.
    void FormActivate();

    Console& console() { return console_; }
    TForm1& form() { return *form_; }
    TCoolForm& coolForm() { return *coolForm_; }
    Registro* registro() { return registro_.get(); }
    TSplashForm& splash() { return *splash_; }
    TAboutForm& about() { return *about_; }
    ConsoleGamepads& gamepads() { return *gamepads_; }

private:
    Console console_;
    std::unique_ptr<Registro> registro_;
    std::unique_ptr<TForm1> form_;
    TCoolForm* coolForm_ = nullptr;  // a child of the console window
    std::unique_ptr<TAboutForm> about_;
    std::unique_ptr<TSplashForm> splash_;
    std::unique_ptr<ConsoleGamepads> gamepads_;
};

}  // namespace vorlak
