// The pads through SDL's game controller support: SDL's mapping database
// where it knows a pad, the plain joystick layout where it does not.
//
// SDL reads pads only when asked, so the watching thread sleeps in poll() on
// what can bring input: the device files of the open pads (read a second
// time, only to wake up), the input device folder (pads coming and going)
// and a wake-up of its own. Nothing runs while the pads are still.
#pragma once

#include <SDL.h>

#include <atomic>
#include <map>
#include <optional>
#include <string>

#include "frontends/qt/gamepads/gamepad_watch.h"
#include "frontends/qt/gamepads/input_devices.h"
#include "game/pad_state.h"

namespace vorlak {

class SdlGamepads : public GamepadWatch {
public:
    explicit SdlGamepads(Deliver deliver);
    ~SdlGamepads() override;
    SdlGamepads(const SdlGamepads&) = delete;
    SdlGamepads& operator=(const SdlGamepads&) = delete;

    bool run() override;
    void stop() override;
    void poke() override;
    std::uint64_t passes() const override { return passes_; }

private:
    struct Pad {
        explicit Pad(SDL_JoystickID id) : state(id) {}
        SDL_GameController* controller = nullptr;  // null: a joystick SDL has no mapping for
        SDL_Joystick* joystick = nullptr;          // the controller's own when there is one
        int buttonCount = 0;
        PadState state;
        PadSnapshot snapshot;
        int deviceFile = -1;  // our own reading of the pad's device, only to wake up
    };

    void readPads(PadEvents& out);
    void handle(const SDL_Event& event, PadEvents& out);
    void openNewPads();
    void close(Pad& pad);
    void readState(Pad& pad) const;
    std::optional<PadControl> joystickButton(const Pad& pad, int button) const;
    bool waitForInput();

    Deliver deliver_;
    std::atomic<bool> stopping_{false};
    std::atomic<std::uint64_t> passes_{0};
    int wake_ = -1;         // eventfd
    InputFolderWatch folder_;  // pads coming and going
    std::map<SDL_JoystickID, Pad> pads_;
};

}  // namespace vorlak
