#include "game/key_input.h"

#include "game/keys.h"

namespace vorlak {

KeyInput::KeyInput(Clock& clock, Deliver keyDown, Deliver keyUp)
    : clock_(clock), keyDown_(std::move(keyDown)), keyUp_(std::move(keyUp)) {}

void KeyInput::setTraits(const KeyboardTraits& traits) {
    traits_ = traits;
    const KeyboardTraits defaults;
    if (traits_.repeatDelayMs <= 0) traits_.repeatDelayMs = defaults.repeatDelayMs;
    if (traits_.repeatIntervalMs <= 0) traits_.repeatIntervalMs = defaults.repeatIntervalMs;
}

void KeyInput::pressed(std::uint16_t key, bool systemRepeat, std::uint64_t timestamp) {
    if (pending_) {
        if (pending_->key == key && pending_->timestamp == timestamp) {
            pending_.reset();  // an unmarked auto-repeat pair: only the press counts
            clock_.stopTicks(Input_ReleaseHold);
            systemRepeat = true;
        } else {
            deliverPendingRelease();
        }
    }
    if (key != kKeyControl) {
        stopControlRepeat();  // only the last key pressed repeats
    } else if (systemRepeat) {
        traits_.systemRepeatsControl = true;
        stopControlRepeat();
    } else if (!traits_.systemRepeatsControl) {
        controlRepeating_ = true;
        controlRepeatStarted_ = false;
        clock_.startTicks(Input_ControlRepeat, traits_.repeatDelayMs);
    }
    keyDown_(key);
}

void KeyInput::released(std::uint16_t key, bool systemRepeat, std::uint64_t timestamp) {
    if (systemRepeat) return;  // the half of a marked auto-repeat pair
    if (key == kKeyControl) stopControlRepeat();
    if (pending_) deliverPendingRelease();
    if (!traits_.unmarkedRepeatPairs) {
        keyUp_(key);
        return;
    }
    pending_ = Release{key, timestamp};
    clock_.startTicks(Input_ReleaseHold, kReleaseHoldMs);
}

void KeyInput::flush() {
    if (pending_) deliverPendingRelease();
    stopControlRepeat();
    stopPadRepeat();
}

// A keyboard release still held back came before the pad's input: it goes first.
void KeyInput::padPressed(int id, std::uint16_t key) {
    if (pending_) deliverPendingRelease();
    padKey_ = PadKey{id, key};
    padRepeatStarted_ = false;
    clock_.startTicks(Input_PadRepeat, traits_.repeatDelayMs);
    keyDown_(key);
}

void KeyInput::padReleased(int id, std::uint16_t key) {
    if (pending_) deliverPendingRelease();
    if (padKey_ && padKey_->id == id) stopPadRepeat();
    keyUp_(key);
}

void KeyInput::onTimer(TimerId id) {
    switch (id) {
        case Input_ReleaseHold:
            deliverPendingRelease();
            break;
        case Input_ControlRepeat:
            if (!controlRepeating_) break;
            if (!controlRepeatStarted_) {
                controlRepeatStarted_ = true;
                clock_.startTicks(Input_ControlRepeat, traits_.repeatIntervalMs);
            }
            keyDown_(kKeyControl);
            break;
        case Input_PadRepeat:
            if (!padKey_) break;
            if (!padRepeatStarted_) {
                padRepeatStarted_ = true;
                clock_.startTicks(Input_PadRepeat, traits_.repeatIntervalMs);
            }
            keyDown_(padKey_->key);
            break;
        default: break;
    }
}

void KeyInput::deliverPendingRelease() {
    clock_.stopTicks(Input_ReleaseHold);
    if (!pending_) return;
    const std::uint16_t key = pending_->key;
    pending_.reset();
    keyUp_(key);
}

void KeyInput::stopControlRepeat() {
    if (!controlRepeating_) return;
    controlRepeating_ = false;
    clock_.stopTicks(Input_ControlRepeat);
}

void KeyInput::stopPadRepeat() {
    if (!padKey_) return;
    padKey_.reset();
    clock_.stopTicks(Input_PadRepeat);
}

}  // namespace vorlak
