// The pads on the Linux desktop: watched from the moment the console is
// played, their input handed to the console's core on the window's thread.
// What a pad control does, and whether the console takes it, the core decides.
#pragma once

#include <QObject>
#include <memory>
#include <mutex>
#include <string>

#include "frontends/qt/gamepads/deferred_gamepads.h"
#include "frontends/qt/window/form1.h"

namespace vorlak {

class ConsoleGamepads : public QObject {
public:
    // Watching starts on the first activation of the window once the
    // console is played, and stops with stop().
    ConsoleGamepads(TForm1& form, std::string modulePath, PadLoading loading = PadLoading::WhenAPadIsPresent);
    ~ConsoleGamepads() override;

    // Starts watching now, if the console is played (the activation does it).
    void start();
    // Stops watching for good (the console is closing).
    void stop();

    // The watch, once started (for tests: DeferredGamepads::poke).
    DeferredGamepads* watch() { return watch_.get(); }

private:
    void queue(PadEvents events);  // on the watching thread
    void take();                   // on the window's thread

    TForm1& form_;
    std::string modulePath_;
    PadLoading loading_;
    std::unique_ptr<DeferredGamepads> watch_;
    bool stopped_ = false;

    std::mutex mutex_;
    PadEvents queued_;
    bool takePosted_ = false;
};

}  // namespace vorlak
