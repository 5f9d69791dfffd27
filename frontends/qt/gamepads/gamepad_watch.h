// What the pads give the console: presses and releases of their controls, in
// batches, from a thread of their own that sleeps until a pad has input.
#pragma once

#include <cstdint>
#include <functional>
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
    int pad;  // SDL's instance id: no two pads of one run share it
    PadControl control;
    bool pressed;

    bool operator==(const PadEvent&) const = default;
};
using PadEvents = std::vector<PadEvent>;

// Watches the pads: opens them as they are plugged in, closes them as they
// go (releasing what they held) and delivers their input.
class GamepadWatch {
public:
    // Called on the watching thread, never with an empty batch.
    using Deliver = std::function<void(PadEvents)>;

    virtual ~GamepadWatch() = default;
    // Delivers input until stop(); runs on the caller's thread, false when
    // there is no pad support at all.
    virtual bool run() = 0;
    // From any thread: run() returns soon.
    virtual void stop() = 0;
    // From any thread: read the pads now. Pads without a device file (SDL's
    // virtual ones) wake nothing by themselves.
    virtual void poke() = 0;
    // How many times the pads have been read: it grows only with input.
    virtual std::uint64_t passes() const = 0;
};

// The one symbol the pad module exports: a new watch, owned by the caller.
using GamepadModuleFactory = GamepadWatch*(GamepadWatch::Deliver deliver);
inline constexpr const char* kGamepadModuleFactory = "vorlak_gamepad_module_create";

}  // namespace vorlak
