// Tick lateness of QtClock, the driver the program runs its game timers on,
// beside bare precise QTimers with the same intervals in the same event loop,
// first on an idle machine, then with every core kept busy by child processes.
//
// Usage: bench-timer-lateness [--seconds N] [--verbose] [--idle-only]   (N per
// phase, default 60; --verbose lists the latest ticks of each phase;
// --idle-only leaves out the loaded phase)
#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <array>
#include <chrono>
#include <csignal>
#include <cstdio>
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

// Follows a periodic timer's own schedule as Qt keeps it for precise timers:
// the next tick is due one interval after the last due time, unless that is
// already past, in which case one interval after now.
struct LateTick {
    double lateMs;
    int intervalMs;
    double dueMs;  // since the phase began
};

struct LatenessTracker {
    std::int64_t intervalNs = 0;
    std::int64_t dueNs = 0;
    std::int64_t phaseStartNs = 0;
    std::vector<double>* samplesMs = nullptr;
    std::vector<LateTick>* ticks = nullptr;

    void start(int intervalMs, std::vector<double>& samples, std::vector<LateTick>& all, std::int64_t phaseStart) {
        intervalNs = std::int64_t{intervalMs} * 1'000'000;
        dueNs = nowNs() + intervalNs;
        samplesMs = &samples;
        ticks = &all;
        phaseStartNs = phaseStart;
    }
    void tick() {
        const std::int64_t at = nowNs();
        samplesMs->push_back(static_cast<double>(at - dueNs) / 1e6);
        ticks->push_back({samplesMs->back(), static_cast<int>(intervalNs / 1'000'000),
                          static_cast<double>(dueNs - phaseStartNs) / 1e6});
        dueNs += intervalNs;
        if (dueNs < at) dueNs = at + intervalNs;
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

PhaseResult runPhase(int seconds) {
    PhaseResult result;
    const std::int64_t phaseStart = nowNs();
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

    for (const auto& [id, ms] : kMix) {
        clockTrackers[id].start(ms, result.clockMs, result.clockTicks, phaseStart);
        clock.startTicks(id, ms);
    }
    // Offset so that the two sets do not fall due at the same instant.
    QTimer::singleShot(25, Qt::PreciseTimer, [&] {
        for (std::size_t i = 0; i < kMix.size(); ++i) {
            bareTrackers[i].start(kMix[i].second, result.bareMs, result.bareTicks, phaseStart);
            bare[i].start();
        }
    });
    QTimer::singleShot(seconds * 1000, Qt::PreciseTimer, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
    for (const auto& [id, ms] : kMix) clock.stopTicks(id);
    for (auto& t : bare) t.stop();
    return result;
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
        std::printf(" %.2f ms (%d ms timer, due at %.0f)", ticks[i].lateMs, ticks[i].intervalMs, ticks[i].dueMs);
    std::printf("\n");
}

void report(const char* phase, const PhaseResult& r, double goalP99) {
    if (verbose) {
        printLatest("QtClock", r.clockTicks);
        printLatest("bare QTimer", r.bareTicks);
    }
    std::printf("%s: QtClock %zu ticks, %s\n", phase, r.clockMs.size(), summary(r.clockMs).c_str());
    std::printf("%s: bare QTimer %zu ticks, %s\n", phase, r.bareMs.size(), summary(r.bareMs).c_str());
    const double p99 = percentile(r.clockMs, 99);
    const double bareP99 = percentile(r.bareMs, 99);
    row(std::string("tick lateness, ") + phase, summary(r.clockMs), summary(r.bareMs),
        format("p99 %+.2f ms", p99 - bareP99), format("p99 <= %.0f ms", goalP99), p99 <= goalP99);
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = intOption(argc, argv, "--seconds", 60);
    bool idleOnly = false;
    for (int i = 1; i < argc; ++i) {
        verbose = verbose || std::string(argv[i]) == "--verbose";
        idleOnly = idleOnly || std::string(argv[i]) == "--idle-only";
    }
    QApplication app(argc, argv);
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    std::printf("timer mix: 100, 350 and 1000 ms; %d s per phase; %u cores\n", seconds, cores);
    std::fflush(stdout);

    const PhaseResult idle = runPhase(seconds);
    if (idleOnly) {
        report("idle", idle, 2.0);
        return 0;
    }
    PhaseResult loaded;
    {
        LoadGenerator load(static_cast<int>(cores));
        std::this_thread::sleep_for(std::chrono::milliseconds(500));  // let the load settle
        loaded = runPhase(seconds);
    }
    report("idle", idle, 2.0);
    report(("loaded (" + std::to_string(cores) + " busy processes)").c_str(), loaded, 5.0);
    return 0;
}
