#include "frontends/win32/clock/win32_clock.h"

#include <mmsystem.h>

#include <cmath>

namespace vorlak {
namespace {

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

// Modal loops (a window drag, a menu, a message box) run their own message
// loops, which never wait on the clock's timer: a window timer set this long
// after each due time delivers the ticks there. The clock's own loop is
// always sooner, and every arming sets it anew, so otherwise it never fires.
constexpr UINT kBackstopMarginMs = 4;
constexpr UINT_PTR kBackstopTimerId = 1;
constexpr wchar_t kBackstopClass[] = L"VorlakClockBackstop";

}  // namespace

Win32Clock::Win32Clock() {
    QueryPerformanceFrequency(&frequency_);
    timer_ = CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, TIMER_ALL_ACCESS);
    highResolution_ = timer_ != nullptr;
    if (!timer_) timer_ = CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS);

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = backstopProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kBackstopClass;
    RegisterClassExW(&windowClass);  // fails harmlessly when a second clock registers it again
    backstop_ = CreateWindowExW(0, kBackstopClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    if (backstop_) SetWindowLongPtrW(backstop_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Win32Clock::~Win32Clock() {
    schedule_ = TimerSchedule{};
    updateSystemResolution();
    if (backstop_) DestroyWindow(backstop_);
    if (timer_) CloseHandle(timer_);
}

std::int64_t Win32Clock::nowMicroseconds() const {
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    const std::int64_t f = frequency_.QuadPart;
    return counter.QuadPart / f * 1'000'000 + counter.QuadPart % f * 1'000'000 / f;
}

void Win32Clock::startTicks(TimerId id, int intervalMs) {
    schedule_.start(id, nowMs(), intervalMs);
    updateSystemResolution();
    arm();
}

void Win32Clock::stopTicks(TimerId id) {
    schedule_.stop(id);
    updateSystemResolution();
    arm();
}

std::uint32_t Win32Clock::utcTimeOfDayMs() const {
    SYSTEMTIME t;
    GetSystemTime(&t);
    return ((t.wHour * 60u + t.wMinute) * 60u + t.wSecond) * 1000u + t.wMilliseconds;
}

std::optional<std::int64_t> Win32Clock::microsecondsToNextTick() const {
    const std::optional<double> next = schedule_.nextDue();
    if (!next) return std::nullopt;
    const auto left = static_cast<std::int64_t>(std::ceil(*next * 1000.0)) - nowMicroseconds();
    return left > 0 ? left : 0;
}

// Periodic from the start; a tick that came late is not made up for by a
// burst: the timer goes on at its own beat.
bool Win32Clock::deliverDueTick() {
    const std::int64_t now = nowMicroseconds();
    double due = 0;
    const std::optional<TimerId> id = schedule_.take(static_cast<double>(now) / 1000.0, &due);
    if (!id) return false;
    if (observer_) observer_(*id, now - static_cast<std::int64_t>(due * 1000.0));
    arm();
    deliverTick(*id);  // may start and stop timers, which arm again
    return true;
}

void Win32Clock::rearm() { arm(); }

void Win32Clock::arm() {
    const auto wait = microsecondsToNextTick();
    if (!wait) {
        if (timer_) CancelWaitableTimer(timer_);
        if (backstop_) KillTimer(backstop_, kBackstopTimerId);
        return;
    }
    if (timer_) {
        LARGE_INTEGER due;
        due.QuadPart = -(*wait > 0 ? *wait * 10 : 1);  // relative, in 100 ns units
        SetWaitableTimer(timer_, &due, 0, nullptr, nullptr, FALSE);
    }
    if (backstop_) SetTimer(backstop_, kBackstopTimerId, static_cast<UINT>(*wait / 1000) + kBackstopMarginMs, nullptr);
}

void Win32Clock::updateSystemResolution() {
    if (highResolution_) return;
    const bool anyRunning = schedule_.nextDue().has_value();
    if (anyRunning && !raisedResolution_)
        raisedResolution_ = timeBeginPeriod(1) == TIMERR_NOERROR;
    else if (!anyRunning && raisedResolution_) {
        timeEndPeriod(1);
        raisedResolution_ = false;
    }
}

LRESULT CALLBACK Win32Clock::backstopProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && wParam == kBackstopTimerId) {
        auto* clock = reinterpret_cast<Win32Clock*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (clock) {
            KillTimer(window, kBackstopTimerId);
            while (clock->deliverDueTick()) {
            }
        }
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

int runMessageLoop(Win32Clock& clock, const MessageFilter& takeFirst) {
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) return static_cast<int>(message.wParam);
            if (takeFirst && takeFirst(message)) continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (clock.deliverDueTick()) continue;
        HANDLE timer = clock.waitHandle();
        const DWORD woken = MsgWaitForMultipleObjectsEx(timer ? 1 : 0, &timer, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        // The timer may fire a little before the counter says the tick is
        // due; it was used up by the wait, so it is set again.
        if (woken == WAIT_OBJECT_0 && !clock.deliverDueTick()) clock.rearm();
    }
}

}  // namespace vorlak
