#include "frontends/qt/gamepads/console_gamepads.h"

#include <QEvent>

namespace vorlak {

ConsoleGamepads::ConsoleGamepads(TForm1& form, Console& console, std::string modulePath, std::function<bool()> ready,
                                 PadLoading loading)
    : form_(form), console_(console), modulePath_(std::move(modulePath)), ready_(std::move(ready)), loading_(loading) {
    connect(&form_, &TForm1::activated, this, [this] { start(); });
    form_.installEventFilter(this);
}

// The thread goes first: nothing is queued for this object after that.
ConsoleGamepads::~ConsoleGamepads() { watch_.reset(); }

std::uint16_t ConsoleGamepads::virtualKey(PadControl control) {
    switch (control) {
        case PadControl::Left:
        case PadControl::StickLeft: return kKeyLeft;
        case PadControl::Right:
        case PadControl::StickRight: return kKeyRight;
        case PadControl::Up:
        case PadControl::StickUp: return kKeyUp;
        case PadControl::Down:
        case PadControl::StickDown: return kKeyDown;
        case PadControl::South:
        case PadControl::East:
        case PadControl::Start: return kKeyControl;
        case PadControl::Back:
        case PadControl::Count: break;
    }
    return 0;
}

void ConsoleGamepads::start() {
    if (watch_ || stopped_ || (ready_ && !ready_())) return;
    watch_ = std::make_unique<DeferredGamepads>(
        modulePath_, [this](PadEvents events) { queue(std::move(events)); }, loading_);
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
    KeyInput& keys = form_.keyInput();
    for (const PadEvent& e : events) {
        if (!form_.hasFocus()) continue;  // as keys go elsewhere; releases too
        if (e.control == PadControl::Back) {
            soundKey(e.pressed);
            continue;
        }
        const int id = e.pad * static_cast<int>(PadControl::Count) + static_cast<int>(e.control);
        if (e.pressed)
            keys.padPressed(id, virtualKey(e.control));
        else
            keys.padReleased(id, virtualKey(e.control));
    }
}

// Back is a press of the SOUND key, as the left mouse button gives it: the
// key looks pressed until the last Back holding it is released.
void ConsoleGamepads::soundKey(bool pressed) {
    if (pressed) {
        ++soundKeyHolders_;
        console_.Im_SoundMouseDown(MouseButton::Left);
    } else if (soundKeyHolders_ > 0 && --soundKeyHolders_ == 0) {
        console_.Im_SoundMouseUp();
    }
}

void ConsoleGamepads::releaseSoundKey() {
    if (soundKeyHolders_ == 0) return;
    soundKeyHolders_ = 0;
    console_.Im_SoundMouseUp();
}

bool ConsoleGamepads::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &form_) {
        if (event->type() == QEvent::FocusOut) {
            releaseSoundKey();  // the window's own key input stops repeating
        } else if (event->type() == QEvent::Close && !stopped_) {
            // Before the window closes the sound: SDL is then ours alone to quit.
            stopped_ = true;
            watch_.reset();
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace vorlak
