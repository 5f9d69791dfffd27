// The pads as the console's second keyboard: the d-pad and the stick give the
// arrows and A, B and Start give CTRL, through the key input's pad route;
// Back presses the SOUND key, as the left mouse button does. Pad input counts
// only while the console has the keyboard, as keys go elsewhere otherwise.
#pragma once

#include <cstdint>
#include <span>

#include "game/console.h"
#include "game/key_input.h"
#include "game/pad_state.h"

namespace vorlak {

class PadInput {
public:
    PadInput(Console& console, KeyInput& keys) : console_(console), keys_(keys) {}

    // The virtual key of a pad control; 0 for Back, which is the SOUND key.
    static std::uint16_t virtualKey(PadControl control);

    void take(std::span<const PadEvent> events);
    // Without the keyboard, pad input is dropped and the SOUND key let go.
    void setFocused(bool focused);
    bool focused() const { return focused_; }

private:
    void soundKey(bool pressed);

    Console& console_;
    KeyInput& keys_;
    bool focused_ = false;
    int soundKeyHolders_ = 0;  // Back buttons holding the SOUND key down
};

}  // namespace vorlak
