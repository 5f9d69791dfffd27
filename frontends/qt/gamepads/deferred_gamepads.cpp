#include "frontends/qt/gamepads/deferred_gamepads.h"

#include "frontends/qt/gamepads/input_devices.h"
#include "frontends/qt/platform/program_module.h"

#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>

#include <memory>
#include <utility>

#ifndef VORLAK_GAMEPAD_MODULE_FILE
#error "VORLAK_GAMEPAD_MODULE_FILE names the module file"
#endif

namespace vorlak {

DeferredGamepads::DeferredGamepads(std::string modulePath, GamepadWatch::Deliver deliver, PadLoading loading,
                                   PadDeviceFolders folders)
    : modulePath_(std::move(modulePath)),
      loading_(loading),
      folders_(std::move(folders)),
      wake_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)),
      thread_([this, deliver = std::move(deliver)] { run(deliver); }) {}

DeferredGamepads::~DeferredGamepads() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        if (watch_) watch_->stop();
    }
    const std::uint64_t one = 1;
    if (wake_ >= 0 && write(wake_, &one, sizeof one) < 0) {
        // The counter is full: the thread is woken anyway.
    }
    thread_.join();
    if (wake_ >= 0) ::close(wake_);
}

// Sleeps until a device that may be a pad is present: woken by devices
// coming and going in the device folder, or by the stop.
bool DeferredGamepads::waitForPadDevice() {
    InputFolderWatch folder(folders_.devices);  // before the first look, so that nothing is missed
    // Without a way to sleep until a device comes, SDL looks for itself.
    if (wake_ < 0 || folder.fd() < 0) return true;
    for (;;) {
        {
            std::lock_guard lock(mutex_);
            if (stopping_) return false;
        }
        if (padDevicePresent(folders_.descriptions)) return true;
        pollfd files[] = {{wake_, POLLIN, 0}, {folder.fd(), POLLIN, 0}};
        if (poll(files, 2, -1) < 0 && errno != EINTR) return true;
        folder.drain();
    }
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
    if (loading_ == PadLoading::WhenAPadIsPresent && !waitForPadDevice()) return;
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
