#include "gamepad/deferred_gamepads.h"

#include <dlfcn.h>
#include <pthread.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <utility>
#include <vector>

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

std::string DeferredGamepads::besideProgram() {
    std::vector<char> buffer(4096);
    const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
    std::string folder = ".";
    if (length > 0 && static_cast<std::size_t>(length) < buffer.size()) {
        const std::string program(buffer.data(), static_cast<std::size_t>(length));
        const auto slash = program.rfind('/');
        if (slash != std::string::npos) folder = program.substr(0, slash == 0 ? 1 : slash);
    }
    return folder + (folder.back() == '/' ? "" : "/") + VORLAK_GAMEPAD_MODULE_FILE;
}

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
    void* module = dlopen(modulePath_.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        const char* reason = dlerror();
        std::fprintf(stderr, "vorlak-simulator: no gamepads: cannot load %s: %s\n", modulePath_.c_str(),
                     reason ? reason : "unknown error");
        return;
    }
    auto* factory = reinterpret_cast<GamepadModuleFactory*>(dlsym(module, kGamepadModuleFactory));
    if (!factory) {
        std::fprintf(stderr, "vorlak-simulator: no gamepads: %s does not export %s\n", modulePath_.c_str(),
                     kGamepadModuleFactory);
        return;
    }
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
