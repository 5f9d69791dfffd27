// The pads, watched from a thread of their own that loads the SDL pad module
// beside the program once a device that may be a pad is present: with no pad
// the program pays for neither SDL's pad support nor its libraries; neither is
// ever loaded on the thread that draws; and the pads work whether or not the
// sound module (SDL's other user) was ever loaded.
#pragma once

#include <mutex>
#include <string>
#include <thread>

#include "frontends/qt/gamepads/gamepad_watch.h"

namespace vorlak {

// When the module is loaded: once a pad device is present, or at once (for
// pads that exist only inside SDL, such as its virtual ones).
enum class PadLoading { WhenAPadIsPresent, AtOnce };

// Where pad devices are looked for.
struct PadDeviceFolders {
    std::string devices = "/dev/input";
    std::string descriptions = "/sys/class/input";
};

class DeferredGamepads {
public:
    // Starts the thread at once; `deliver` is called on it.
    DeferredGamepads(std::string modulePath, GamepadWatch::Deliver deliver,
                     PadLoading loading = PadLoading::WhenAPadIsPresent, PadDeviceFolders folders = {});
    // Stops watching and waits for the thread.
    ~DeferredGamepads();
    DeferredGamepads(const DeferredGamepads&) = delete;
    DeferredGamepads& operator=(const DeferredGamepads&) = delete;

    // The module in the running program's own folder.
    static std::string besideProgram();

    // Read the pads now (see GamepadWatch::poke).
    void poke();
    // Whether the watch is running (false until a pad device is present and
    // while loading, and for good when the module or SDL's pad support is
    // missing).
    bool watching() const;
    // See GamepadWatch::passes; 0 while not watching.
    std::uint64_t passes() const;

private:
    void run(GamepadWatch::Deliver deliver);
    bool waitForPadDevice();  // false when stopping

    std::string modulePath_;
    PadLoading loading_;
    PadDeviceFolders folders_;
    int wake_ = -1;  // eventfd: stop while waiting for a pad device
    mutable std::mutex mutex_;
    bool stopping_ = false;
    GamepadWatch* watch_ = nullptr;
    std::thread thread_;
};

}  // namespace vorlak
