#include "frontends/qt/gamepads/console_gamepads.h"

namespace vorlak {

ConsoleGamepads::ConsoleGamepads(TForm1& form, std::string modulePath, PadLoading loading)
    : form_(form), modulePath_(std::move(modulePath)), loading_(loading) {
    connect(&form_, &TForm1::activated, this, [this] { start(); });
}

// The thread goes first: nothing is queued for this object after that.
ConsoleGamepads::~ConsoleGamepads() { watch_.reset(); }

void ConsoleGamepads::start() {
    if (watch_ || stopped_ || !form_.handheld().played()) return;
    watch_ = std::make_unique<DeferredGamepads>(
        modulePath_, [this](PadEvents events) { queue(std::move(events)); }, loading_);
}

// Before the console releases the sound: SDL is then the sound's alone to quit.
void ConsoleGamepads::stop() {
    stopped_ = true;
    watch_.reset();
}

// However many batches come while the window is busy, one call takes them.
void ConsoleGamepads::queue(PadEvents events) {
    std::lock_guard lock(mutex_);
    queued_.insert(queued_.end(), events.begin(), events.end());
    if (takePosted_) return;
    takePosted_ = true;
    QMetaObject::invokeMethod(this, [this] { take(); }, Qt::QueuedConnection);
}

void ConsoleGamepads::take() {
    PadEvents events;
    {
        std::lock_guard lock(mutex_);
        events.swap(queued_);
        takePosted_ = false;
    }
    if (!stopped_) form_.handheld().padInput(events);
}

}  // namespace vorlak
