// The pads on Windows, through XInput: the d-pad and the left stick steer,
// A, B and Start give CTRL, Back the SOUND key, as on Linux (game/pad_state.h
// turns each pad's state into presses and releases).
//
// XInput comes from xinput1_4.dll (Windows 8 on) or xinput9_1_0.dll (Windows
// 7), loaded when the pads are first read: without either there are simply
// no pads. Asking an empty slot is slow (the system looks for a device each
// time), so the empty slots are asked once a second and only a slot with a
// pad is read often; and all of it happens on a thread of its own, which
// hands what changed to the user-interface thread, so that neither ever
// holds up the game's timers.
#pragma once

#include <windows.h>

#include <array>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "game/pad_state.h"

namespace vorlak {

// One pad as XInput reports it (XINPUT_GAMEPAD's fields that matter here).
struct XInputReading {
    std::uint16_t buttons = 0;  // XINPUT_GAMEPAD_* bits
    std::int16_t thumbLX = 0;   // left stick, right positive
    std::int16_t thumbLY = 0;   // left stick, up positive
};

// The pad in each of XInput's four slots.
class PadSource {
public:
    virtual ~PadSource() = default;
    // The slot's pad as it is now, or nothing when none is connected there.
    virtual std::optional<XInputReading> read(int slot) = 0;
};

class XInputSource : public PadSource {
public:
    XInputSource();
    ~XInputSource() override;
    XInputSource(const XInputSource&) = delete;
    XInputSource& operator=(const XInputSource&) = delete;

    bool available() const { return getState_ != nullptr; }
    std::optional<XInputReading> read(int slot) override;

private:
    using GetStateFn = DWORD(WINAPI*)(DWORD, void*);
    HMODULE library_ = nullptr;
    GetStateFn getState_ = nullptr;
};

// A reading as the pad's controls (the stick's up made negative).
PadSnapshot snapshotOf(const XInputReading& reading);

// Which slot is read when, and what changed: a slot with a pad is read at
// every poll, the empty ones once every kScanMs. Each pad that comes gets an
// id of its own; one that goes releases everything it held.
class PadPoller {
public:
    static constexpr int kSlots = 4;
    static constexpr int kFastPollMs = 8;
    static constexpr int kScanMs = 1000;

    explicit PadPoller(PadSource& source) : source_(source) {}

    // Reads what is due at nowMs and appends what changed; returns the ms
    // until the next poll is due.
    int poll(std::int64_t nowMs, PadEvents& out);
    bool connected(int slot) const { return slots_[slot].has_value(); }

private:
    PadSource& source_;
    std::array<std::optional<PadState>, kSlots> slots_;
    std::optional<std::int64_t> nextScanMs_;
    int nextPadId_ = 0;
};

// The poller on a thread of its own, reading only while told to (while the
// console has the keyboard); what changed is delivered on the thread that
// made this object, through its message loop.
class XInputPads {
public:
    using Deliver = std::function<void(const PadEvents&)>;
    using MakeSource = std::function<std::unique_ptr<PadSource>()>;

    // The source is made on the reading thread (loading XInput takes a while).
    explicit XInputPads(Deliver deliver, MakeSource makeSource = [] { return std::make_unique<XInputSource>(); });
    ~XInputPads();
    XInputPads(const XInputPads&) = delete;
    XInputPads& operator=(const XInputPads&) = delete;

    void setReading(bool reading);

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void run(MakeSource makeSource);
    void take();

    Deliver deliver_;
    HWND window_ = nullptr;  // message-only, on the user-interface thread
    std::mutex mutex_;
    std::condition_variable wake_;
    bool reading_ = false;
    bool stopping_ = false;
    bool takePosted_ = false;
    PadEvents queued_;
    std::thread thread_;
};

}  // namespace vorlak
