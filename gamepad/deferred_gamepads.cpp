#include "gamepad/deferred_gamepads.h"

#include "platform/program_module.h"

#include <pthread.h>

#include <memory>
#include <utility>

#ifndef VORLAK_GAMEPAD_MODULE_FILE
#error "VORLAK_GAMEPAD_MODULE_FILE names the module file"
#endif

namespace vorlak {

DeferredGamepads::DeferredGamepads(std::string modulePath, GamepadWatch::Deliver deliver)
    : modulePath_(std::move(modulePath)), thread_([this, deliver = std::move(deliver)] { run(deliver); }) {}

DeferredGamepads::~DeferredGamepads() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        if (watch_) watch_->stop();
    }
    thread_.join();
}

std::string DeferredGamepads::besideProgram() { return vorlak::besideProgram(VORLAK_GAMEPAD_MODULE_FILE); }

void DeferredGamepads::poke() {
    std::lock_guard lock(mutex_);
    if (watch_) watch_->poke();
}

bool DeferredGamepads::watching() const {
    std::lock_guard lock(mutex_);
    return watch_ != nullptr;
}

std::uint64_t DeferredGamepads::passes() const {
    std::lock_guard lock(mutex_);
    return watch_ ? watch_->passes() : 0;
}

// The module stays loaded: SDL may keep exit handlers of its own, and the
// sound module may share SDL with it.
void DeferredGamepads::run(GamepadWatch::Deliver deliver) {
    pthread_setname_np(pthread_self(), "gamepads");
    auto* factory =
        reinterpret_cast<GamepadModuleFactory*>(loadModuleSymbol(modulePath_, kGamepadModuleFactory, "gamepads"));
    if (!factory) return;
    std::unique_ptr<GamepadWatch> watch(factory(std::move(deliver)));
    {
        std::lock_guard lock(mutex_);
        if (stopping_ || !watch) return;
        watch_ = watch.get();
    }
    watch->run();
    std::lock_guard lock(mutex_);
    watch_ = nullptr;
}

}  // namespace vorlak
