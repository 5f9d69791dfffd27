// The console's keyboard as front ends report it, turned into the key events
// the rules take: a held key gives repeated key-downs and one key-up, as on
// the handheld's original platform, whatever the desktop sends.
//
// A front end reports each key down and up with the system's own repeat
// flag. Where the system never repeats CTRL (X11), a held CTRL still acts on
// every repeat: the console repeats it itself, at the desktop's rate, until
// the system is seen repeating it. X11 also reports auto-repeat as
// release/press pairs, and a few pairs arrive unmarked with both events at
// the same time stamp: there a plain release is held back briefly and dropped
// if such a press follows.
//
// The pads are a second keyboard with a repeat of its own: the last pad
// control pressed repeats like a held key; the two keyboards never stop
// each other's repeat.
//
// The repeats and the held-back release run on the game's clock.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "game/timers.h"

namespace vorlak {

struct KeyboardTraits {
    // The desktop's key repeat: CTRL's own repeat and the pads' use it.
    int repeatDelayMs = 500;
    int repeatIntervalMs = 33;
    // The system reports CTRL's repeats itself (it is also learned from the
    // first repeat that comes).
    bool systemRepeatsControl = false;
    // Repeats may come as unmarked release/press pairs with one time stamp.
    bool unmarkedRepeatPairs = false;
};

class KeyInput {
public:
    using Deliver = std::function<void(std::uint16_t virtualKey)>;
    static constexpr int kReleaseHoldMs = 15;  // longer than an unmarked pair's gap

    KeyInput(Clock& clock, Deliver keyDown, Deliver keyUp);

    void setTraits(const KeyboardTraits& traits);
    const KeyboardTraits& traits() const { return traits_; }

    // A key of the keyboard, by its virtual key code; the time stamp matters
    // only where unmarked repeat pairs come.
    void pressed(std::uint16_t key, bool systemRepeat, std::uint64_t timestamp = 0);
    void released(std::uint16_t key, bool systemRepeat, std::uint64_t timestamp = 0);
    // The console lost the keyboard: a held-back release goes at once and
    // every repeat stops.
    void flush();

    // A pad control, told from the pads' others by `id`, as the key it gives.
    void padPressed(int id, std::uint16_t key);
    void padReleased(int id, std::uint16_t key);

    // The clock's ticks of Input_ReleaseHold, Input_ControlRepeat and
    // Input_PadRepeat.
    void onTimer(TimerId id);

private:
    struct Release {
        std::uint16_t key;
        std::uint64_t timestamp;
    };
    struct PadKey {
        int id;
        std::uint16_t key;
    };
    void deliverPendingRelease();
    void stopControlRepeat();
    void stopPadRepeat();

    Clock& clock_;
    Deliver keyDown_, keyUp_;
    KeyboardTraits traits_;
    std::optional<Release> pending_;
    bool controlRepeating_ = false;
    bool controlRepeatStarted_ = false;  // past the delay: repeating at the interval
    std::optional<PadKey> padKey_;
    bool padRepeatStarted_ = false;
};

}  // namespace vorlak
