// The pads, watched from a thread of their own that first loads the SDL pad
// module beside the program: neither SDL nor its many libraries are loaded on
// the thread that draws, and the pads work whether or not the sound module
// (SDL's other user) was ever loaded.
#pragma once

#include <mutex>
#include <string>
#include <thread>

#include "gamepad/gamepad_watch.h"

namespace vorlak {

class DeferredGamepads {
public:
    // Starts watching at once; `deliver` is called on the watching thread.
    DeferredGamepads(std::string modulePath, GamepadWatch::Deliver deliver);
    // Stops watching and waits for the thread.
    ~DeferredGamepads();
    DeferredGamepads(const DeferredGamepads&) = delete;
    DeferredGamepads& operator=(const DeferredGamepads&) = delete;

    // The module in the running program's own folder.
    static std::string besideProgram();

    // Read the pads now (see GamepadWatch::poke).
    void poke();
    // Whether the watch is running (false while loading, and for good when
    // the module or SDL's pad support is missing).
    bool watching() const;
    // See GamepadWatch::passes; 0 while not watching.
    std::uint64_t passes() const;

private:
    void run(GamepadWatch::Deliver deliver);

    std::string modulePath_;
    mutable std::mutex mutex_;
    bool stopping_ = false;
    GamepadWatch* watch_ = nullptr;
    std::thread thread_;
};

}  // namespace vorlak
