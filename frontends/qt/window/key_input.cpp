#include "frontends/qt/window/key_input.h"

#include "game/keys.h"

namespace vorlak {

namespace {
constexpr std::uint16_t kIgnoredKey = 0xFF;
}

KeyInput::KeyInput(Deliver keyDown, Deliver keyUp, QObject* parent)
    : QObject(parent), keyDown_(std::move(keyDown)), keyUp_(std::move(keyUp)) {
    releaseHold_.setSingleShot(true);
    releaseHold_.setTimerType(Qt::PreciseTimer);
    connect(&releaseHold_, &QTimer::timeout, this, [this] { deliverPendingRelease(); });
    controlRepeat_.setTimerType(Qt::PreciseTimer);
    connect(&controlRepeat_, &QTimer::timeout, this, [this] { repeatControl(); });
    padRepeat_.setTimerType(Qt::PreciseTimer);
    connect(&padRepeat_, &QTimer::timeout, this, [this] { repeatPadKey(); });
}

void KeyInput::setControlRepeat(int delayMs, int intervalMs) {
    controlDelayMs_ = delayMs > 0 ? delayMs : 500;
    controlIntervalMs_ = intervalMs > 0 ? intervalMs : 33;
}

std::uint16_t KeyInput::virtualKey(int qtKey) {
    switch (qtKey) {
        case Qt::Key_Control: return kKeyControl;
        case Qt::Key_Left: return kKeyLeft;
        case Qt::Key_Up: return kKeyUp;
        case Qt::Key_Right: return kKeyRight;
        case Qt::Key_Down: return kKeyDown;
        default: break;
    }
    // Letters and digits share their codes with the virtual keys; punctuation
    // such as '%' or '(' does not, and must never pass for an arrow.
    if ((qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) || (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z))
        return static_cast<std::uint16_t>(qtKey);
    return kIgnoredKey;
}

void KeyInput::pressed(int qtKey, bool autoRepeat, quint64 timestamp) {
    if (pending_) {
        if (pending_->key == qtKey && pending_->timestamp == timestamp) {
            pending_.reset();  // an unmarked auto-repeat pair: only the press counts
            releaseHold_.stop();
            autoRepeat = true;
        } else {
            deliverPendingRelease();
        }
    }
    if (qtKey != Qt::Key_Control) {
        controlRepeat_.stop();  // only the last key pressed repeats
    } else {
        if (autoRepeat) {
            systemRepeatsControl_ = true;
            controlRepeat_.stop();
        } else if (!systemRepeatsControl_) {
            controlRepeat_.start(controlDelayMs_);
        }
    }
    keyDown_(virtualKey(qtKey));
}

void KeyInput::released(int qtKey, bool autoRepeat, quint64 timestamp) {
    if (autoRepeat) return;  // the half of a marked auto-repeat pair
    if (qtKey == Qt::Key_Control) controlRepeat_.stop();
    if (pending_) deliverPendingRelease();
    pending_ = Release{qtKey, timestamp};
    releaseHold_.start(kReleaseHoldMs);
}

void KeyInput::flush() {
    if (pending_) deliverPendingRelease();
    controlRepeat_.stop();
    padRepeat_.stop();
    padRepeatKey_.reset();
}

// A keyboard release still held back came before the pad's input: it goes first.
void KeyInput::padPressed(int id, std::uint16_t virtualKey) {
    if (pending_) deliverPendingRelease();
    padRepeatKey_ = PadKey{id, virtualKey};
    padRepeat_.start(controlDelayMs_);
    keyDown_(virtualKey);
}

void KeyInput::padReleased(int id, std::uint16_t virtualKey) {
    if (pending_) deliverPendingRelease();
    if (padRepeatKey_ && padRepeatKey_->id == id) {
        padRepeat_.stop();
        padRepeatKey_.reset();
    }
    keyUp_(virtualKey);
}

void KeyInput::deliverPendingRelease() {
    releaseHold_.stop();
    if (!pending_) return;
    const int key = pending_->key;
    pending_.reset();
    keyUp_(virtualKey(key));
}

void KeyInput::repeatControl() {
    controlRepeat_.start(controlIntervalMs_);
    keyDown_(virtualKey(Qt::Key_Control));
}

void KeyInput::repeatPadKey() {
    if (!padRepeatKey_) return;
    padRepeat_.start(controlIntervalMs_);
    keyDown_(padRepeatKey_->virtualKey);
}

}  // namespace vorlak
