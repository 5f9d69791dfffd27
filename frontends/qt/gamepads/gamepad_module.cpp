// The SDL pad watch as a module, loaded by DeferredGamepads.
#include "frontends/qt/gamepads/gamepad_watch.h"
#include "frontends/qt/gamepads/sdl_gamepads.h"

extern "C" __attribute__((visibility("default"))) vorlak::GamepadWatch* vorlak_gamepad_module_create(
    vorlak::GamepadWatch::Deliver deliver) {
    return new vorlak::SdlGamepads(std::move(deliver));
}
