// Tick lateness of QtClock, the driver the program runs its game timers on,
// beside bare precise QTimers with the same intervals in the same event loop,
// first on an idle machine, then with every core kept busy by child processes.
//
// Both sets fall due at the same instants, so that they meet the same
// scheduler: what the driver adds is the difference. The set started first
// is served first at each instant, so each phase runs in two halves, each set
// first in one. Given an offset instead (--offset-ms), each
// set meets the busy processes at its own point of their time slices, and the
// two p99s part by the luck of that phase, in either direction.
//
// Where the lateness goes: every tick reads how long its thread waited on a
// run queue before serving it (schedstat's run delay). A late tick whose
// lateness that wait covers was late because no CPU was free for it; the
// rest is the wake-up itself and Qt's event loop, which rounds every wait up
// to a whole millisecond (so a precise timer is up to 1 ms late when idle).
//
// Usage: bench-timer-lateness [--seconds N] [--offset-ms X] [--verbose] [--idle-only]
//   N per phase, default 60; --verbose lists the latest ticks of each phase;
//   --idle-only leaves out the loaded phase
#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <array>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "bench/common/bench_common.h"
#include "frontends/qt/window/qt_clock.h"

namespace {

using namespace vorlak;
using namespace vorlak::bench;

std::int64_t nowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// This thread's time spent runnable but waiting for a CPU, and the times it
// went to sleep, both counting up.
struct ThreadCounters {
    std::int64_t waitNs = 0;
    std::int64_t sleeps = 0;
};

ThreadCounters threadCounters() {
    ThreadCounters counters;
    std::ifstream schedstat("/proc/thread-self/schedstat");
    std::int64_t onCpu = 0;
    schedstat >> onCpu >> counters.waitNs;
    std::ifstream status("/proc/thread-self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("voluntary_ctxt_switches:", 0) == 0) counters.sleeps = std::atoll(line.c_str() + 24);
    return counters;
}

struct LateTick {
    double lateMs;
    double waitedMs;  // on a run queue before it was served
    int intervalMs;
    double dueMs;  // since the phase began
};

// The event loop's wake-ups, as the ticks see them: the ticks served between
// two sleeps of the thread belong to one wake-up, which began when its first
// tick was served (Qt reads the time once per wake-up, just before, and
// reschedules a timer that fell behind from that time); and how long the
// thread waited for a CPU before serving each, counted from its wake-up.
struct WakeUpWatch {
    ThreadCounters last = threadCounters();
    std::int64_t wakeUpNs = 0;
    double waitedMs = 0;
    void tick(std::int64_t atNs) {
        const ThreadCounters now = threadCounters();
        const double ms = static_cast<double>(now.waitNs - last.waitNs) / 1e6;
        const bool sameWakeUp = now.sleeps == last.sleeps;
        waitedMs = sameWakeUp ? waitedMs + ms : ms;
        if (!sameWakeUp) wakeUpNs = atNs;
        last = now;
    }
};

// Follows a periodic timer's own schedule as Qt keeps it for precise timers:
// the next tick is due one interval after the last due time, unless that is
// already past when Qt serves the timer, in which case one interval after
// that moment (the start of the wake-up).
struct LatenessTracker {
    std::int64_t intervalNs = 0;
    std::int64_t dueNs = 0;
    std::int64_t phaseStartNs = 0;
    std::vector<double>* samplesMs = nullptr;
    std::vector<LateTick>* ticks = nullptr;
    WakeUpWatch* watch = nullptr;

    void start(int intervalMs, std::vector<double>& samples, std::vector<LateTick>& all, std::int64_t phaseStart,
               WakeUpWatch& wakeUps) {
        intervalNs = std::int64_t{intervalMs} * 1'000'000;
        dueNs = nowNs() + intervalNs;
        samplesMs = &samples;
        ticks = &all;
        phaseStartNs = phaseStart;
        watch = &wakeUps;
    }
    void tick() {
        const std::int64_t at = nowNs();
        watch->tick(at);
        samplesMs->push_back(static_cast<double>(at - dueNs) / 1e6);
        ticks->push_back({samplesMs->back(), watch->waitedMs, static_cast<int>(intervalNs / 1'000'000),
                          static_cast<double>(dueNs - phaseStartNs) / 1e6});
        dueNs += intervalNs;
        if (dueNs < watch->wakeUpNs) dueNs = watch->wakeUpNs + intervalNs;
    }
};

// Gear 3's race timers and the fuel timer.
constexpr std::array<std::pair<TimerId, int>, 3> kMix{{{Timer_Pista, 100}, {Timer_Avversari, 350}, {Timer_Benzina, 1000}}};

class LoadGenerator {
public:
    explicit LoadGenerator(int processes) {
        for (int i = 0; i < processes; ++i) {
            const pid_t pid = fork();
            if (pid == 0) {
                prctl(PR_SET_PDEATHSIG, SIGKILL);  // never outlive the bench
                volatile std::uint64_t spin = 0;
                for (;;) spin = spin + 1;
            }
            if (pid > 0) children_.push_back(pid);
        }
    }
    ~LoadGenerator() {
        for (pid_t pid : children_) kill(pid, SIGKILL);
        for (pid_t pid : children_) waitpid(pid, nullptr, 0);
    }
    std::size_t size() const { return children_.size(); }

private:
    std::vector<pid_t> children_;
};

struct PhaseResult {
    std::vector<double> clockMs, bareMs;
    std::vector<LateTick> clockTicks, bareTicks;
};

// One phase: both sets for `seconds`, the bare timers first at each instant
// or, with clockFirst, the driver's.
void runPhase(int seconds, int offsetMs, bool clockFirst, PhaseResult& result) {
    const std::int64_t phaseStart = nowNs();
    WakeUpWatch wakeUps;
    QtClock clock;
    std::array<LatenessTracker, TimerCount> clockTrackers{};
    clock.setTickHandler([&](TimerId id) { clockTrackers[id].tick(); });

    std::array<QTimer, kMix.size()> bare;
    std::array<LatenessTracker, kMix.size()> bareTrackers{};
    for (std::size_t i = 0; i < kMix.size(); ++i) {
        bare[i].setTimerType(Qt::PreciseTimer);
        bare[i].setInterval(kMix[i].second);
        QObject::connect(&bare[i], &QTimer::timeout, [&bareTrackers, i] { bareTrackers[i].tick(); });
    }
    const auto startBare = [&] {
        for (std::size_t i = 0; i < kMix.size(); ++i) {
            bareTrackers[i].start(kMix[i].second, result.bareMs, result.bareTicks, phaseStart, wakeUps);
            bare[i].start();
        }
    };
    const auto startClock = [&] {
        for (const auto& [id, ms] : kMix) {
            clockTrackers[id].start(ms, result.clockMs, result.clockTicks, phaseStart, wakeUps);
            clock.startTicks(id, ms);
        }
    };
    // Started in the same millisecond, they keep falling due together, the
    // set started first served first at each instant.
    if (offsetMs > 0) {
        startBare();
        QTimer::singleShot(offsetMs, Qt::PreciseTimer, startClock);
    } else if (clockFirst) {
        startClock();
        startBare();
    } else {
        startBare();
        startClock();
    }
    QTimer::singleShot(seconds * 1000, Qt::PreciseTimer, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
    for (const auto& [id, ms] : kMix) clock.stopTicks(id);
    for (auto& t : bare) t.stop();
}

std::string summary(const std::vector<double>& ms) {
    char text[128];
    std::snprintf(text, sizeof text, "p50 %.2f / p99 %.2f / max %.2f ms", percentile(ms, 50), percentile(ms, 99),
                  maximum(ms));
    return text;
}

bool verbose = false;

void printLatest(const char* what, std::vector<LateTick> ticks) {
    std::sort(ticks.begin(), ticks.end(), [](const LateTick& a, const LateTick& b) { return a.lateMs > b.lateMs; });
    std::printf("  latest ticks of %s:", what);
    for (std::size_t i = 0; i < std::min<std::size_t>(12, ticks.size()); ++i)
        std::printf(" %.2f ms (waited %.2f; %d ms timer, due at %.0f)", ticks[i].lateMs, ticks[i].waitedMs,
                    ticks[i].intervalMs, ticks[i].dueMs);
    std::printf("\n");
}

// Of the ticks later than 1 ms, how much of their lateness was spent
// waiting for a CPU.
void printWhereLatenessWent(const char* phase, const PhaseResult& r) {
    std::vector<LateTick> all = r.clockTicks;
    all.insert(all.end(), r.bareTicks.begin(), r.bareTicks.end());
    int late = 0;
    double lateness = 0, waited = 0;
    for (const LateTick& t : all)
        if (t.lateMs > 1.0) {
            ++late;
            lateness += t.lateMs;
            waited += std::min(t.waitedMs, t.lateMs);
        }
    if (late == 0) {
        std::printf("%s: no tick later than 1 ms\n", phase);
        return;
    }
    std::printf("%s: %d of %zu ticks later than 1 ms; %.0f %% of their lateness was spent waiting for a CPU\n", phase,
                late, all.size(), 100.0 * waited / lateness);
}

void report(const char* phase, const PhaseResult& r) {
    if (verbose) {
        printLatest("QtClock", r.clockTicks);
        printLatest("bare QTimer", r.bareTicks);
    }
    std::printf("%s: QtClock %zu ticks, %s\n", phase, r.clockMs.size(), summary(r.clockMs).c_str());
    std::printf("%s: bare QTimer %zu ticks, %s\n", phase, r.bareMs.size(), summary(r.bareMs).c_str());
    printWhereLatenessWent(phase, r);
    const double p99 = percentile(r.clockMs, 99);
    const double bareP99 = percentile(r.bareMs, 99);
    row(std::string("tick lateness, ") + phase, summary(r.clockMs), summary(r.bareMs) + " (bare precise QTimer)",
        format("p99 %+.2f ms", p99 - bareP99), "p99 within 1 ms of the bare timer's", p99 - bareP99 <= 1.0);
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = intOption(argc, argv, "--seconds", 60);
    const int offsetMs = intOption(argc, argv, "--offset-ms", 0);
    bool idleOnly = false;
    for (int i = 1; i < argc; ++i) {
        verbose = verbose || std::string(argv[i]) == "--verbose";
        idleOnly = idleOnly || std::string(argv[i]) == "--idle-only";
    }
    QApplication app(argc, argv);
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    std::printf("timer mix: 100, 350 and 1000 ms; %d s per phase; %u cores; QtClock %s\n", seconds, cores,
                offsetMs > 0 ? ("started " + std::to_string(offsetMs) + " ms after the bare timers").c_str()
                             : "due at the bare timers' instants");
    std::fflush(stdout);

    // Each phase in two halves, each set served first at its instants in
    // one of them: the second set's ticks wait for the first's handlers, and
    // for the CPU when the thread is preempted in between.
    PhaseResult idle, loaded;
    runPhase(seconds / 2, offsetMs, false, idle);
    runPhase(seconds - seconds / 2, offsetMs, true, idle);
    if (idleOnly) {
        report("idle", idle);
        return 0;
    }
    {
        LoadGenerator load(static_cast<int>(cores));
        std::this_thread::sleep_for(std::chrono::milliseconds(500));  // let the load settle
        runPhase(seconds / 2, offsetMs, false, loaded);
        runPhase(seconds - seconds / 2, offsetMs, true, loaded);
    }
    report("idle", idle);
    report(("loaded (" + std::to_string(cores) + " busy processes)").c_str(), loaded);
    return 0;
}
