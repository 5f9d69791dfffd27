// The game's clock on Windows: the nineteen game timers kept by the clock
// itself and ticked on the user-interface thread by its message loop, which
// waits for a high-resolution waitable timer beside the window messages.
//
// Windows' default timers tick in steps of about 15.6 ms, which the start
// lights and the race steps would show. A waitable timer made with
// CREATE_WAITABLE_TIMER_HIGH_RESOLUTION (Windows 10 1803 on) wakes within a
// millisecond; where it cannot be made, a plain waitable timer is used and
// the system's timer resolution is raised to 1 ms while any game timer runs.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include "game/timers.h"

namespace vorlak {

class Win32Clock : public Clock {
public:
    Win32Clock();
    ~Win32Clock() override;
    Win32Clock(const Win32Clock&) = delete;
    Win32Clock& operator=(const Win32Clock&) = delete;

    void startTicks(TimerId id, int intervalMs) override;
    void stopTicks(TimerId id) override;
    std::uint32_t utcTimeOfDayMs() const override;

    // Signalled when a tick may be due: the message loop waits on it.
    HANDLE waitHandle() const { return timer_; }
    // Delivers the earliest tick that is due, if any (ties in the order the
    // timers were scheduled); true when one was delivered.
    bool deliverDueTick();
    // Sets the timer for the next tick again (after a wake with none due).
    void rearm();
    // Microseconds to the next tick (0 when one is due), nothing when no
    // timer runs.
    std::optional<std::int64_t> microsecondsToNextTick() const;

    // Told of every tick delivered, before the console has it: how late it
    // is, in microseconds (benchmarks).
    void setTickObserver(std::function<void(TimerId, std::int64_t lateUs)> observer) {
        observer_ = std::move(observer);
    }

    bool highResolution() const { return highResolution_; }
    bool raisedSystemResolution() const { return raisedResolution_; }
    // Microseconds on the clock's own time line (the performance counter).
    std::int64_t nowMicroseconds() const;

private:
    double nowMs() const { return static_cast<double>(nowMicroseconds()) / 1000.0; }
    void arm();
    void updateSystemResolution();
    static LRESULT CALLBACK backstopProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    TimerSchedule schedule_;
    HANDLE timer_ = nullptr;
    bool highResolution_ = false;
    bool raisedResolution_ = false;
    LARGE_INTEGER frequency_{};
    HWND backstop_ = nullptr;
    std::function<void(TimerId, std::int64_t)> observer_;
};

// The user-interface thread's message loop: window messages first (input
// outranks the game timers, as it does their WM_TIMER), then at most one due
// tick, then messages again; sleeps until either comes. A message that
// `takeFirst` takes (a shortcut key) goes no further. Returns the exit code
// of WM_QUIT.
using MessageFilter = std::function<bool(MSG&)>;
int runMessageLoop(Win32Clock& clock, const MessageFilter& takeFirst = {});

}  // namespace vorlak
