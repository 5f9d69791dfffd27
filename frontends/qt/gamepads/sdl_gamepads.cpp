#include "frontends/qt/gamepads/sdl_gamepads.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

namespace vorlak {
namespace {

struct ControllerButton {
    SDL_GameControllerButton button;
    PadControl control;
};
constexpr ControllerButton kControllerButtons[] = {
    {SDL_CONTROLLER_BUTTON_DPAD_LEFT, PadControl::Left}, {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, PadControl::Right},
    {SDL_CONTROLLER_BUTTON_DPAD_UP, PadControl::Up},     {SDL_CONTROLLER_BUTTON_DPAD_DOWN, PadControl::Down},
    {SDL_CONTROLLER_BUTTON_A, PadControl::South},        {SDL_CONTROLLER_BUTTON_B, PadControl::East},
    {SDL_CONTROLLER_BUTTON_START, PadControl::Start},    {SDL_CONTROLLER_BUTTON_BACK, PadControl::Back},
};

std::optional<PadControl> controllerButton(int button) {
    for (const auto& b : kControllerButtons)
        if (b.button == button) return b.control;
    return std::nullopt;
}

void setHat(PadSnapshot& snapshot, Uint8 hat) {
    snapshot.set(PadControl::Left, hat & SDL_HAT_LEFT);
    snapshot.set(PadControl::Right, hat & SDL_HAT_RIGHT);
    snapshot.set(PadControl::Up, hat & SDL_HAT_UP);
    snapshot.set(PadControl::Down, hat & SDL_HAT_DOWN);
}

// Reads whatever is waiting; false when the file is of no more use.
bool drain(int fd) {
    alignas(8) char buffer[4096];
    for (;;) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got > 0) continue;
        if (got < 0 && errno == EINTR) continue;
        return got < 0 && errno == EAGAIN;
    }
}

}  // namespace

SdlGamepads::SdlGamepads(Deliver deliver) : deliver_(std::move(deliver)) {
    wake_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
}

SdlGamepads::~SdlGamepads() {
    if (wake_ >= 0) ::close(wake_);
}

void SdlGamepads::stop() {
    stopping_ = true;
    poke();
}

void SdlGamepads::poke() {
    const std::uint64_t one = 1;
    if (wake_ >= 0 && write(wake_, &one, sizeof one) < 0) {
        // The counter is full: a wake-up is pending anyway.
    }
}

bool SdlGamepads::run() {
    if (wake_ < 0) {
        std::fprintf(stderr, "vorlak-simulator: no gamepads: %s\n", std::strerror(errno));
        return false;
    }
    // HIDAPI would read some pads through files we do not watch; the kernel's
    // event devices serve them all. Without udev, SDL watches the device folder
    // itself, as we do, and so sees a pad by the time we wake up for it.
    SDL_SetHint(SDL_HINT_JOYSTICK_HIDAPI, "0");
    SDL_SetHint("SDL_JOYSTICK_DISABLE_UDEV", "1");
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
        std::fprintf(stderr, "vorlak-simulator: no gamepads: %s\n", SDL_GetError());
        SDL_TLSCleanup();
        return false;
    }
    while (!stopping_) {
        PadEvents events;
        readPads(events);
        if (!events.empty()) deliver_(std::move(events));
        ++passes_;
        if (!waitForInput()) break;
    }
    for (auto& [id, pad] : pads_) close(pad);
    pads_.clear();
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    // This thread is not one SDL made, so SDL would keep what it holds for
    // the thread (its error text among it) after the thread has gone.
    SDL_TLSCleanup();
    return true;
}

void SdlGamepads::readPads(PadEvents& out) {
    SDL_JoystickUpdate();
    // Events catch a press and release that both came since the last look;
    // nobody else reads SDL's queue, so whatever else is there goes too.
    SDL_Event event;
    while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0) handle(event, out);
    openNewPads();
    // Then the state as it is now, which also mends anything a full queue lost.
    for (auto it = pads_.begin(); it != pads_.end();) {
        Pad& pad = it->second;
        if (!SDL_JoystickGetAttached(pad.joystick)) {
            pad.state.releaseAll(out);
            close(pad);
            it = pads_.erase(it);
            continue;
        }
        readState(pad);
        pad.state.update(pad.snapshot, out);
        ++it;
    }
}

std::optional<PadControl> SdlGamepads::joystickButton(const Pad& pad, int button) const {
    if (button == 0) return PadControl::South;
    if (button == 1) return PadControl::East;
    if (button == pad.buttonCount - 1) return PadControl::Start;
    return std::nullopt;
}

void SdlGamepads::handle(const SDL_Event& event, PadEvents& out) {
    auto padOf = [this](SDL_JoystickID id, bool controller) -> Pad* {
        const auto it = pads_.find(id);
        if (it == pads_.end() || (it->second.controller != nullptr) != controller) return nullptr;
        return &it->second;
    };
    Pad* pad = nullptr;
    switch (event.type) {
        case SDL_CONTROLLERBUTTONDOWN:
        case SDL_CONTROLLERBUTTONUP:
            if ((pad = padOf(event.cbutton.which, true))) {
                const auto control = controllerButton(event.cbutton.button);
                if (!control) return;
                pad->snapshot.set(*control, event.cbutton.state == SDL_PRESSED);
            }
            break;
        case SDL_CONTROLLERAXISMOTION:
            if ((pad = padOf(event.caxis.which, true))) {
                if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX) pad->snapshot.stickX = event.caxis.value;
                else if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY) pad->snapshot.stickY = event.caxis.value;
                else return;
            }
            break;
        case SDL_JOYHATMOTION:
            if ((pad = padOf(event.jhat.which, false))) {
                if (event.jhat.hat != 0) return;
                setHat(pad->snapshot, event.jhat.value);
            }
            break;
        case SDL_JOYAXISMOTION:
            if ((pad = padOf(event.jaxis.which, false))) {
                if (event.jaxis.axis == 0) pad->snapshot.stickX = event.jaxis.value;
                else if (event.jaxis.axis == 1) pad->snapshot.stickY = event.jaxis.value;
                else return;
            }
            break;
        case SDL_JOYBUTTONDOWN:
        case SDL_JOYBUTTONUP:
            if ((pad = padOf(event.jbutton.which, false))) {
                const auto control = joystickButton(*pad, event.jbutton.button);
                if (!control) return;
                pad->snapshot.set(*control, event.jbutton.state == SDL_PRESSED);
            }
            break;
        case SDL_JOYDEVICEREMOVED:
            if (const auto it = pads_.find(event.jdevice.which); it != pads_.end()) {
                it->second.state.releaseAll(out);
                close(it->second);
                pads_.erase(it);
            }
            return;
        default:
            return;
    }
    if (pad) pad->state.update(pad->snapshot, out);
}

void SdlGamepads::openNewPads() {
    const int count = SDL_NumJoysticks();
    for (int index = 0; index < count; ++index) {
        const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(index);
        if (id < 0 || pads_.count(id)) continue;
        Pad pad(id);
        if (SDL_IsGameController(index)) {
            pad.controller = SDL_GameControllerOpen(index);
            if (pad.controller) pad.joystick = SDL_GameControllerGetJoystick(pad.controller);
        }
        if (!pad.joystick) pad.joystick = SDL_JoystickOpen(index);
        if (!pad.joystick) continue;  // gone already, or not ours to read
        pad.buttonCount = SDL_JoystickNumButtons(pad.joystick);
        if (const char* path = SDL_JoystickPath(pad.joystick); path && *path)
            pad.deviceFile = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        pads_.emplace(id, std::move(pad));
    }
}

void SdlGamepads::close(Pad& pad) {
    if (pad.deviceFile >= 0) ::close(pad.deviceFile);
    pad.deviceFile = -1;
    if (pad.controller)
        SDL_GameControllerClose(pad.controller);
    else if (pad.joystick)
        SDL_JoystickClose(pad.joystick);
    pad.controller = nullptr;
    pad.joystick = nullptr;
}

void SdlGamepads::readState(Pad& pad) const {
    PadSnapshot& s = pad.snapshot;
    if (pad.controller) {
        for (const auto& b : kControllerButtons) s.set(b.control, SDL_GameControllerGetButton(pad.controller, b.button));
        s.stickX = SDL_GameControllerGetAxis(pad.controller, SDL_CONTROLLER_AXIS_LEFTX);
        s.stickY = SDL_GameControllerGetAxis(pad.controller, SDL_CONTROLLER_AXIS_LEFTY);
        return;
    }
    SDL_Joystick* j = pad.joystick;
    setHat(s, SDL_JoystickNumHats(j) > 0 ? SDL_JoystickGetHat(j, 0) : SDL_HAT_CENTERED);
    const int axes = SDL_JoystickNumAxes(j);
    s.stickX = axes > 0 ? SDL_JoystickGetAxis(j, 0) : 0;
    s.stickY = axes > 1 ? SDL_JoystickGetAxis(j, 1) : 0;
    for (PadControl c : {PadControl::South, PadControl::East, PadControl::Start}) s.set(c, false);
    for (int button = 0; button < pad.buttonCount; ++button)
        if (const auto control = joystickButton(pad, button); control && SDL_JoystickGetButton(j, button))
            s.set(*control, true);
}

bool SdlGamepads::waitForInput() {
    std::vector<pollfd> files{{wake_, POLLIN, 0}};
    if (folder_.fd() >= 0) files.push_back({folder_.fd(), POLLIN, 0});
    std::vector<Pad*> watched;
    for (auto& [id, pad] : pads_)
        if (pad.deviceFile >= 0) {
            files.push_back({pad.deviceFile, POLLIN, 0});
            watched.push_back(&pad);
        }
    if (poll(files.data(), files.size(), -1) < 0) {
        if (errno == EINTR) return true;
        std::fprintf(stderr, "vorlak-simulator: gamepads stopped: %s\n", std::strerror(errno));
        return false;
    }
    std::uint64_t count;
    if (files[0].revents && read(wake_, &count, sizeof count) < 0) {
        // Nothing was waiting after all.
    }
    std::size_t next = 1;
    if (folder_.fd() >= 0 && files[next++].revents) folder_.drain();
    for (Pad* pad : watched) {
        const short revents = files[next++].revents;
        if (!revents) continue;
        // A device file that has gone or fails wakes no more: SDL notices the
        // pad going on its own, and the folder watch wakes us for that.
        if ((revents & (POLLERR | POLLHUP | POLLNVAL)) || !drain(pad->deviceFile)) {
            ::close(pad->deviceFile);
            pad->deviceFile = -1;
        }
    }
    return true;
}

}  // namespace vorlak
