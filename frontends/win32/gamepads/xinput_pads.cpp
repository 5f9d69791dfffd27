#include "frontends/win32/gamepads/xinput_pads.h"

#include <xinput.h>

#include <algorithm>
#include <chrono>

namespace vorlak {
namespace {

constexpr UINT kTakeMessage = WM_APP + 1;
constexpr wchar_t kWindowClass[] = L"VorlakPads";

std::int64_t nowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

XInputSource::XInputSource() {
    for (const wchar_t* name : {L"xinput1_4.dll", L"xinput9_1_0.dll"}) {
        library_ = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        if (!library_) library_ = LoadLibraryW(name);  // systems without the search flags
        if (library_) break;
    }
    if (library_)
        getState_ = reinterpret_cast<GetStateFn>(reinterpret_cast<void*>(GetProcAddress(library_, "XInputGetState")));
}

XInputSource::~XInputSource() {
    if (library_) FreeLibrary(library_);
}

std::optional<XInputReading> XInputSource::read(int slot) {
    if (!getState_) return std::nullopt;
    XINPUT_STATE state{};
    if (getState_(static_cast<DWORD>(slot), &state) != ERROR_SUCCESS) return std::nullopt;
    return XInputReading{state.Gamepad.wButtons, state.Gamepad.sThumbLX, state.Gamepad.sThumbLY};
}

PadSnapshot snapshotOf(const XInputReading& reading) {
    PadSnapshot s;
    const auto has = [&](std::uint16_t bit) { return (reading.buttons & bit) != 0; };
    s.set(PadControl::Left, has(XINPUT_GAMEPAD_DPAD_LEFT));
    s.set(PadControl::Right, has(XINPUT_GAMEPAD_DPAD_RIGHT));
    s.set(PadControl::Up, has(XINPUT_GAMEPAD_DPAD_UP));
    s.set(PadControl::Down, has(XINPUT_GAMEPAD_DPAD_DOWN));
    s.set(PadControl::South, has(XINPUT_GAMEPAD_A));
    s.set(PadControl::East, has(XINPUT_GAMEPAD_B));
    s.set(PadControl::Start, has(XINPUT_GAMEPAD_START));
    s.set(PadControl::Back, has(XINPUT_GAMEPAD_BACK));
    s.stickX = reading.thumbLX;
    s.stickY = std::min(32767, -static_cast<int>(reading.thumbLY));  // XInput's up is positive
    return s;
}

int PadPoller::poll(std::int64_t now, PadEvents& out) {
    const bool scan = !nextScanMs_ || now >= *nextScanMs_;
    if (scan) nextScanMs_ = now + kScanMs;
    bool anyConnected = false;
    for (int slot = 0; slot < kSlots; ++slot) {
        std::optional<PadState>& pad = slots_[slot];
        if (!pad && !scan) continue;
        const std::optional<XInputReading> reading = source_.read(slot);
        if (!reading) {
            if (pad) {
                pad->releaseAll(out);
                pad.reset();
            }
            continue;
        }
        if (!pad) pad.emplace(nextPadId_++);
        pad->update(snapshotOf(*reading), out);
        anyConnected = true;
    }
    if (anyConnected) return kFastPollMs;
    return static_cast<int>(std::max<std::int64_t>(0, *nextScanMs_ - now));
}

XInputPads::XInputPads(Deliver deliver, MakeSource makeSource) : deliver_(std::move(deliver)) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassExW(&windowClass);  // fails harmlessly when made a second time
    window_ = CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr),
                              nullptr);
    if (window_) SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    thread_ = std::thread([this, makeSource = std::move(makeSource)] { run(makeSource); });
}

// The thread goes first: nothing is posted to the window after that.
XInputPads::~XInputPads() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
    if (window_) DestroyWindow(window_);
}

void XInputPads::setReading(bool reading) {
    {
        std::lock_guard lock(mutex_);
        reading_ = reading;
    }
    wake_.notify_all();
}

void XInputPads::run(MakeSource makeSource) {
    std::unique_ptr<PadSource> source;
    std::optional<PadPoller> poller;
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || reading_; });
        if (stopping_) return;
        lock.unlock();
        if (!source) {
            source = makeSource();
            poller.emplace(*source);
        }
        PadEvents events;
        const int waitMs = poller->poll(nowMs(), events);
        lock.lock();
        if (!events.empty()) {
            queued_.insert(queued_.end(), events.begin(), events.end());
            if (!takePosted_ && window_) takePosted_ = PostMessageW(window_, kTakeMessage, 0, 0) != 0;
        }
        wake_.wait_for(lock, std::chrono::milliseconds(waitMs), [this] { return stopping_ || !reading_; });
        if (stopping_) return;
    }
}

// However many batches came while the window was busy, one call takes them.
void XInputPads::take() {
    PadEvents events;
    {
        std::lock_guard lock(mutex_);
        events.swap(queued_);
        takePosted_ = false;
    }
    if (!events.empty() && deliver_) deliver_(events);
}

LRESULT CALLBACK XInputPads::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kTakeMessage) {
        if (auto* pads = reinterpret_cast<XInputPads*>(GetWindowLongPtrW(window, GWLP_USERDATA))) pads->take();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace vorlak
