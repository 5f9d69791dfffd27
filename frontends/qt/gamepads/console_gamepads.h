// The pads as the console's second keyboard: watched from the moment the
// launcher has gone, their input handed to the console window on its own
// thread, and only while the window has the keyboard, as keys are.
#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "game/console.h"
#include "frontends/qt/window/form1.h"
#include "frontends/qt/gamepads/deferred_gamepads.h"

namespace vorlak {

class ConsoleGamepads : public QObject {
public:
    // Watching starts on the first activation of the window for which
    // `ready` holds, and stops as the window closes.
    ConsoleGamepads(TForm1& form, Console& console, std::string modulePath, std::function<bool()> ready,
                    PadLoading loading = PadLoading::WhenAPadIsPresent);
    ~ConsoleGamepads() override;

    // Starts watching now, if `ready` holds (the activation does it).
    void start();

    // The watch, once started (for tests: DeferredGamepads::poke).
    DeferredGamepads* watch() { return watch_.get(); }

    // The virtual key of a pad control; 0 for Back, which is the SOUND key.
    static std::uint16_t virtualKey(PadControl control);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void queue(PadEvents events);  // on the watching thread
    void take();                   // on the window's thread
    void soundKey(bool pressed);
    void releaseSoundKey();

    TForm1& form_;
    Console& console_;
    std::string modulePath_;
    std::function<bool()> ready_;
    PadLoading loading_;
    std::unique_ptr<DeferredGamepads> watch_;
    bool stopped_ = false;
    int soundKeyHolders_ = 0;  // Back buttons holding the SOUND key down

    std::mutex mutex_;
    PadEvents queued_;
    bool takePosted_ = false;
};

}  // namespace vorlak
