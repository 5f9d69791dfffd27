// What the pads give the console: presses and releases of their controls, in
// batches, from a thread of their own that sleeps until a pad has input.
#pragma once

#include <cstdint>
#include <functional>

#include "game/pad_state.h"

namespace vorlak {

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
