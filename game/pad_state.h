// What the pads give the console, whatever reads them (SDL, XInput, the
// browser's Gamepad API): presses and releases of their controls, and one
// pad's controls as keys: which are held, with the stick read through a
// dead zone of half its travel and some hysteresis, so that a stick resting
// near the edge of the dead zone does not flicker.
#pragma once

#include <cstdint>
#include <vector>

namespace vorlak {

// The controls a pad can give, in the order in which one batch reports them.
// The d-pad and the stick are separate controls: each of their directions is
// a key of its own, as are the three buttons that give CTRL.
enum class PadControl : std::uint8_t {
    Left, Right, Up, Down,                        // d-pad (or hat 0)
    StickLeft, StickRight, StickUp, StickDown,    // left stick (or axes 0 and 1)
    South, East, Start,                           // CTRL (or buttons 0, 1 and the highest)
    Back,                                         // the SOUND key
    Count
};

struct PadEvent {
    int pad;  // the reader's id of the pad: no two pads of one run share it
    PadControl control;
    bool pressed;

    bool operator==(const PadEvent&) const = default;
};
using PadEvents = std::vector<PadEvent>;

// A pad as read at one moment. Axes run from -32768 to 32767, negative to
// the left and up.
struct PadSnapshot {
    std::uint16_t buttons = 0;  // bits of the controls other than the stick's
    int stickX = 0;
    int stickY = 0;

    bool has(PadControl c) const { return buttons >> static_cast<int>(c) & 1; }
    void set(PadControl c, bool on);
};

class PadState {
public:
    // A direction is pressed from half of the stick's travel on, and released
    // once the stick is back within three eighths of it.
    static constexpr int kStickPressed = 16384;
    static constexpr int kStickReleased = 12288;

    explicit PadState(int pad) : pad_(pad) {}

    // Appends what changed since the last snapshot: releases first, then
    // presses, each in the order of PadControl.
    void update(const PadSnapshot& now, PadEvents& out);
    // Releases everything held (the pad is going).
    void releaseAll(PadEvents& out);
    bool held(PadControl c) const { return held_ >> static_cast<int>(c) & 1; }

private:
    void apply(std::uint16_t next, PadEvents& out);
    bool stickHeld(int value, PadControl negative, PadControl positive, bool wantNegative) const;

    int pad_;
    std::uint16_t held_ = 0;
};

}  // namespace vorlak
