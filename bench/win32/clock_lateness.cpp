// Tick lateness of the Windows clock (Win32Clock and its message loop, the
// driver the program runs its game timers on), beside the floor: the same
// intervals on bare high-resolution waitable timers waited for by a thread
// that does nothing else. Run under wine here, on Windows there.
//
// Usage: bench-win32-clock [--seconds N] [--verbose]   (N per phase, default 60;
// --verbose lists the latest ticks of each phase)
#include <windows.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/common/bench_common.h"
#include "frontends/win32/clock/win32_clock.h"

namespace {

using namespace vorlak;
using namespace vorlak::bench;

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

// Gear 3's race timers and the fuel timer, as the Linux bench has them.
constexpr std::array<std::pair<TimerId, int>, 3> kMix{{{Timer_Pista, 100}, {Timer_Avversari, 350}, {Timer_Benzina, 1000}}};

std::int64_t nowUs() {
    static const std::int64_t frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f.QuadPart;
    }();
    LARGE_INTEGER c;
    QueryPerformanceCounter(&c);
    return c.QuadPart / frequency * 1'000'000 + c.QuadPart % frequency * 1'000'000 / frequency;
}

// A periodic timer's own schedule: due one interval after the last due time,
// or one interval after now when that is already past.
struct LateTick {
    double lateMs;
    int intervalMs;
    double dueS;  // since the program started
};
std::vector<LateTick> latest;
const std::int64_t programStartUs = nowUs();

struct Tracker {
    std::int64_t intervalUs = 0;
    std::int64_t dueUs = 0;
    void start(int ms) {
        intervalUs = std::int64_t{ms} * 1000;
        dueUs = nowUs() + intervalUs;
    }
    void tick(std::vector<double>& lateMs) {
        const std::int64_t at = nowUs();
        lateMs.push_back(static_cast<double>(at - dueUs) / 1000.0);
        latest.push_back({lateMs.back(), static_cast<int>(intervalUs / 1000), (dueUs - programStartUs) / 1e6});
        dueUs += intervalUs;
        if (dueUs < at) dueUs = at + intervalUs;
    }
};

std::vector<double> clockPhase(int seconds, bool* highResolution) {
    std::vector<double> late;
    Win32Clock clock;
    *highResolution = clock.highResolution();
    std::array<Tracker, TimerCount> trackers{};
    clock.setTickHandler([&](TimerId id) {
        if (id == Timer_Continue) {
            PostQuitMessage(0);
            return;
        }
        trackers[id].tick(late);
    });
    for (const auto& [id, ms] : kMix) {
        trackers[id].start(ms);
        clock.startTicks(id, ms);
    }
    clock.startTicks(Timer_Continue, seconds * 1000);
    runMessageLoop(clock);
    return late;
}

std::vector<double> bareTimerPhase(int seconds) {
    std::vector<double> late;
    std::array<HANDLE, kMix.size()> timers{};
    std::array<Tracker, kMix.size()> trackers{};
    const auto arm = [&](std::size_t i) {
        LARGE_INTEGER due;
        due.QuadPart = -std::max<std::int64_t>(1, (trackers[i].dueUs - nowUs()) * 10);
        SetWaitableTimer(timers[i], &due, 0, nullptr, nullptr, FALSE);
    };
    for (std::size_t i = 0; i < kMix.size(); ++i) {
        timers[i] = CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, TIMER_ALL_ACCESS);
        if (!timers[i]) timers[i] = CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS);
        trackers[i].start(kMix[i].second);
        arm(i);
    }
    const std::int64_t end = nowUs() + std::int64_t{seconds} * 1'000'000;
    while (nowUs() < end) {
        const DWORD woken = WaitForMultipleObjects(static_cast<DWORD>(timers.size()), timers.data(), FALSE, 100);
        if (woken >= WAIT_OBJECT_0 + timers.size()) continue;
        const std::size_t i = woken - WAIT_OBJECT_0;
        if (nowUs() < trackers[i].dueUs) {  // woken a little early: wait out the rest
            arm(i);
            continue;
        }
        trackers[i].tick(late);
        arm(i);
    }
    for (HANDLE t : timers) CloseHandle(t);
    return late;
}

void printLatest(const char* what, std::vector<LateTick> ticks) {
    std::sort(ticks.begin(), ticks.end(), [](const LateTick& a, const LateTick& b) { return a.lateMs > b.lateMs; });
    std::printf("  latest ticks of %s:", what);
    for (std::size_t i = 0; i < std::min<std::size_t>(10, ticks.size()); ++i)
        std::printf(" %.2f ms (%d ms timer, due at %.3f s)", ticks[i].lateMs, ticks[i].intervalMs, ticks[i].dueS);
    std::printf("\n");
}

std::string summary(const std::vector<double>& ms) {
    char text[128];
    std::snprintf(text, sizeof text, "p50 %.2f / p99 %.2f / max %.2f ms", percentile(ms, 50), percentile(ms, 99),
                  maximum(ms));
    return text;
}

bool verbose = false;

}  // namespace

int main(int argc, char** argv) {
    const int seconds = intOption(argc, argv, "--seconds", 60);
    for (int i = 1; i < argc; ++i) verbose = verbose || std::string(argv[i]) == "--verbose";
    std::printf("timer mix: 100, 350 and 1000 ms; %d s per phase\n", seconds);
    std::fflush(stdout);
    bool highResolution = false;
    // A fresh wine process is busy for its first seconds (loading and
    // setting up what the window system needs); neither phase gets that.
    clockPhase(3, &highResolution);
    latest.clear();
    const auto clock = clockPhase(seconds, &highResolution);
    const std::vector<LateTick> clockTicks = std::move(latest);
    latest.clear();
    const auto bare = bareTimerPhase(seconds);
    std::printf("Win32Clock (%s timer): %zu ticks, %s\n", highResolution ? "high-resolution" : "plain, 1 ms period",
                clock.size(), summary(clock).c_str());
    std::printf("bare waitable timers: %zu ticks, %s\n", bare.size(), summary(bare).c_str());
    if (verbose) {
        printLatest("Win32Clock", clockTicks);
        printLatest("bare waitable timers", latest);
    }
    const double p99 = percentile(clock, 99);
    row("Windows clock tick lateness, idle", summary(clock), summary(bare) + " (bare waitable timers)",
        format("p99 %+.2f ms", p99 - percentile(bare, 99)), "p99 <= 2 ms", p99 <= 2.0);
    return 0;
}
