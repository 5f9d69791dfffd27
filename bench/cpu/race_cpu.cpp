// CPU and wake-ups of the real program, driven from outside as a player would:
// idle on the launcher, on screen after PLAY with the console powered off,
// powered on without a game, then racing at gear 3 (an autopilot reads the LCD off the screen and steers with
// xdotool). Beside each phase, at the same time, its like-for-like floor, a
// bare window that draws the skin and a line of text:
//   launcher, powered off and on without a game: idle (no timer, no sound
//   device; the program's own closes after a second of silence while the
//   console is off, and stays open while it is on);
//   racing: with an SDL audio device open and playing (silence; a tone costs
//   the same) and a 40 x 30 patch repainted on timers of 100 and 350 ms, the
//   gear-3 race's own two intervals.
// Both run with SDL's dummy audio driver.
//
// CPU is counted only while the race runs at gear 3 (third speed mark lit and
// the road moving), until that adds up to the wanted time; start lights and
// level tunes in between are left out. Figures: the live threads' run time
// from schedstat (to the ns; a thread that ends takes its time with it), and
// as a cross-check utime + stime from /proc/PID/stat (10 ms ticks, every
// thread that ever ran). Wake-ups are the
// live threads' voluntary context switches: each is a sleep ended by a wake-up.
//
// Usage: bench-race-cpu [--seconds N] [--idle-seconds N]   (defaults 60, 60;
// the powered-off and powered-on phases last as long as the launcher phase)
#include <QCoreApplication>
#include <QImage>
#include <cstdio>
#include <filesystem>
#include <map>

#include "bench/common/bench_common.h"
#include "bench/common/outside.h"
#include "game/panel.h"
#include "frontends/qt/window/pictures.h"

namespace {

using namespace vorlak;
using namespace vorlak::bench;

constexpr int kStartTimeoutMs = 20000;

// Which LCD elements are lit, read off the screen: each element is known by
// the black pixels of its own picture that no other element shares.
class LcdReader {
public:
    explicit LcdReader(const ConsolePictures& pictures) {
        std::map<std::pair<int, int>, int> owners;
        std::vector<std::vector<std::pair<int, int>>> black(kDrawnElementCount);
        for (int i = 0; i < kDrawnElementCount; ++i) {
            const auto e = static_cast<Element>(i);
            if (elementInfo(e).picture != PictureKind::TwoColour || e == Im_Completa) continue;
            const QImage* image = pictures.picture(e);
            if (!image) continue;
            const Rect& r = elementInfo(e).rect;
            for (int y = 0; y < image->height(); ++y)
                for (int x = 0; x < image->width(); ++x)
                    if (qAlpha(image->pixel(x, y)) == 255) {
                        black[i].emplace_back(r.left + x, r.top + y);
                        ++owners[{r.left + x, r.top + y}];
                    }
        }
        for (int i = 0; i < kDrawnElementCount; ++i)
            for (const auto& p : black[i])
                if (owners[p] == 1) own_[i].push_back(p);
        for (int i = 0; i < kDrawnElementCount; ++i)
            for (const auto& [x, y] : own_[i]) {
                area_.left = std::min(area_.left, x), area_.top = std::min(area_.top, y);
                right_ = std::max(right_, x + 1), bottom_ = std::max(bottom_, y + 1);
            }
    }

    // Reads the LCD of the console window at (wx, wy).
    void read(XScreen& x, int wx, int wy) {
        shot_ = x.grab(wx + area_.left, wy + area_.top, right_ - area_.left, bottom_ - area_.top);
        wx_ = wx, wy_ = wy;
    }
    bool ok() const { return !shot_.empty(); }
    bool lit(Element e) const {
        const auto& pixels = own_[e];
        if (pixels.empty() || shot_.empty()) return false;
        std::size_t dark = 0;
        for (const auto& [px, py] : pixels) {
            const std::uint32_t c = shot_.at(wx_ + px, wy_ + py);
            const int luminance = (299 * (c >> 16 & 0xff) + 587 * (c >> 8 & 0xff) + 114 * (c & 0xff)) / 1000;
            dark += luminance < 80;
        }
        return dark * 10 >= pixels.size() * 7;
    }

private:
    std::array<std::vector<std::pair<int, int>>, kDrawnElementCount> own_{};
    Rect area_{10000, 10000, 0, 0};
    int right_ = 0, bottom_ = 0;
    ScreenShot shot_;
    int wx_ = 0, wy_ = 0;
};

struct CpuSample {
    double atMs = 0;
    std::int64_t programNs = 0, programTicks = 0, bareNs = 0, bareTicks = 0, programWakeUps = 0, bareWakeUps = 0;
};

CpuSample sample(pid_t program, pid_t bare) {
    return {monotonicMs(), cpuNs(program), cpuTicks(program), cpuNs(bare), cpuTicks(bare), wakeUps(program),
            wakeUps(bare)};
}

struct CpuTotals {
    double wallMs = 0;
    std::int64_t programNs = 0, programTicks = 0, bareNs = 0, bareTicks = 0, programWakeUps = 0, bareWakeUps = 0;
    void add(const CpuSample& from, const CpuSample& to) {
        wallMs += to.atMs - from.atMs;
        programNs += to.programNs - from.programNs;
        programTicks += to.programTicks - from.programTicks;
        bareNs += to.bareNs - from.bareNs;
        bareTicks += to.bareTicks - from.bareTicks;
        programWakeUps += to.programWakeUps - from.programWakeUps;
        bareWakeUps += to.bareWakeUps - from.bareWakeUps;
    }
    double percent(std::int64_t ns) const { return wallMs > 0 ? 100.0 * static_cast<double>(ns) / 1e6 / wallMs : 0; }
    double percentTicks(std::int64_t ticks) const {
        return wallMs > 0 ? 100.0 * static_cast<double>(ticks) / ticksPerSecond() * 1000 / wallMs : 0;
    }
    double perSecond(std::int64_t count) const { return wallMs > 0 ? static_cast<double>(count) * 1000 / wallMs : 0; }
};

// Both processes over `seconds`, left alone.
CpuTotals measureIdle(pid_t program, pid_t bare, int seconds) {
    CpuTotals totals;
    const CpuSample from = sample(program, bare);
    sleepMs(seconds * 1000.0);
    totals.add(from, sample(program, bare));
    return totals;
}

// "0.012 % of a core, 0.0 wake-ups/s"
std::string cost(double percent, double wakeUpsPerSecond) {
    return format("%.3f %% of a core, ", percent) + format("%.1f wake-ups/s", wakeUpsPerSecond);
}

std::vector<std::string> environment(const std::string& settingsHome) {
    return {"XDG_CONFIG_HOME=" + settingsHome, "SDL_AUDIODRIVER=dummy", "QT_QPA_PLATFORM=xcb"};
}

std::optional<WindowPlace> waitForDrawnWindow(XScreen& x, pid_t pid, int width, int height,
                                              int timeoutMs = kStartTimeoutMs) {
    const double start = monotonicMs();
    while (monotonicMs() - start < timeoutMs) {
        for (const WindowPlace& w : x.windowsOf(pid))
            if ((width == 0 || (w.width == width && w.height == height)) && x.looksDrawn(w)) return w;
        sleepMs(10);
    }
    return std::nullopt;
}

void key(const char* name) { xdotool({"key", name}); }

void click(int x, int y) { xdotool({"mousemove", std::to_string(x), std::to_string(y), "click", "1"}); }

using PerThread = std::vector<std::pair<std::string, std::int64_t>>;

std::int64_t before(const PerThread& list, const std::string& name) {
    for (const auto& [n, value] : list)
        if (n == name) return value;
    return 0;
}

void printThreads(const char* what, const PerThread& cpuBefore, const PerThread& cpuAfter,
                  const PerThread& wakeUpsBefore, const PerThread& wakeUpsAfter, double wallMs) {
    std::printf("%s, per thread over %.1f s:\n", what, wallMs / 1000);
    for (const auto& [name, ns] : cpuAfter) {
        const double ms = static_cast<double>(ns - before(cpuBefore, name)) / 1e6;
        const double wakes = static_cast<double>(before(wakeUpsAfter, name) - before(wakeUpsBefore, name));
        std::printf("  %-32s %8.1f ms  %.3f %%  %8.1f wake-ups/s\n", name.c_str(), ms, 100.0 * ms / wallMs,
                    wakes * 1000 / wallMs);
    }
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int raceSeconds = intOption(argc, argv, "--seconds", 60);
    const int idleSeconds = intOption(argc, argv, "--idle-seconds", 60);
    const ConsolePictures pictures;
    LcdReader lcd(pictures);
    XScreen x;
    const std::string settingsHome = settingsHomeWithChoices(1, 0);  // DirectSound, engine tone on
    const std::string bareLeft = std::to_string(x.width() - 461), bareTop = "0";

    // --- idle on the launcher ----------------------------------------------------
    const std::vector<std::string> idleWindow{BARE_WINDOW, "--at", bareLeft, bareTop, "--text"};
    const pid_t program = startProgram({PROGRAM}, RUN_DIR, environment(settingsHome));
    pid_t bare = startProgram(idleWindow, RUN_DIR, environment(settingsHome));
    const auto launcher = waitForDrawnWindow(x, program, 0, 0);
    if (!launcher || !waitForDrawnWindow(x, bare, 461, 738)) {
        std::fprintf(stderr, "bench-race-cpu: the launcher or the bare window did not show\n");
        stopProgram(program), stopProgram(bare);
        return 1;
    }
    sleepMs(2000);  // past start-up work
    const CpuTotals idle = measureIdle(program, bare, idleSeconds);

    // --- on screen, powered off -----------------------------------------------------
    std::optional<WindowPlace> console;
    for (int attempt = 0; attempt < 3 && !(console && console->onScreen); ++attempt) {
        click(launcher->x + 122, launcher->y + 337);  // play
        console = waitForDrawnWindow(x, program, 461, 738, 5000);
    }
    if (!console || !console->onScreen) {
        std::fprintf(stderr, "bench-race-cpu: the console did not come on screen\n");
        stopProgram(program), stopProgram(bare);
        return 1;
    }
    xdotool({"mousemove", std::to_string(x.width() - 1), std::to_string(x.height() - 1)});
    sleepMs(2000);  // past the sound's opening
    const auto offCpuBefore = threadCpuNs(program), offWakeUpsBefore = threadWakeUps(program);
    const CpuTotals off = measureIdle(program, bare, idleSeconds);
    const auto offCpuAfter = threadCpuNs(program), offWakeUpsAfter = threadWakeUps(program);

    // --- powered on, no game: past power-on, the sound device kept open -------------
    const Rect& power = elementInfo(Im_OnOff).rect;
    click(console->x + power.left + power.width / 2, console->y + power.top + power.height / 2);
    xdotool({"mousemove", std::to_string(x.width() - 1), std::to_string(x.height() - 1)});
    sleepMs(3000);
    const CpuTotals on = measureIdle(program, bare, idleSeconds);
    stopProgram(bare);

    // --- the race -------------------------------------------------------------------
    bare = startProgram({BARE_WINDOW_SOUND, "--at", bareLeft, bareTop, "--text", "--sound", "--tick", "100", "--tick",
                         "350"},
                        RUN_DIR, environment(settingsHome));
    if (!waitForDrawnWindow(x, bare, 461, 738)) {
        std::fprintf(stderr, "bench-race-cpu: the bare window with sound did not show\n");
        stopProgram(program), stopProgram(bare);
        return 1;
    }
    key("ctrl");

    const auto threadsBefore = threadCpuNs(program), wakeUpsBefore = threadWakeUps(program);
    const auto floorThreadsBefore = threadCpuNs(bare), floorWakeUpsBefore = threadWakeUps(bare);
    const double raceStart = monotonicMs();
    const double wantedMs = raceSeconds * 1000.0, capMs = wantedMs * 3 + 60000;
    CpuTotals race;
    int roadSignature = -1, shifts = 0, moves = 0, stops = 0, restarts = 0, segments = 0;
    double lastMoveMs = 0, lastRacingMs = monotonicMs(), lastKeyMs = 0;
    CpuSample lastMove{}, segmentStart{};
    bool inSegment = false;
    const Element road[] = {Im_Linea1sx, Im_Linea1dx, Im_Linea2sx, Im_Linea2dx, Im_Linea3sx1, Im_Linea3sx2, Im_Linea3dx};
    while (monotonicMs() - raceStart < capMs) {
        lcd.read(x, console->x, console->y);
        if (!lcd.ok()) break;
        const double now = monotonicMs();
        int signature = 0;
        for (int i = 0; i < 7; ++i) signature |= lcd.lit(road[i]) << i;
        if (signature != roadSignature) {
            roadSignature = signature;
            lastMoveMs = now;
            lastMove = sample(program, bare);
        }
        const bool moving = now - lastMoveMs < 300;
        const bool gear3 = lcd.lit(Im_Speed3);
        const bool racing = moving && gear3;
        if (racing && !inSegment) segmentStart = lastMove, inSegment = true, ++segments;
        if (!racing && inSegment) race.add(segmentStart, lastMove), inSegment = false;
        if (inSegment && race.wallMs + (now - segmentStart.atMs) >= wantedMs) {
            race.add(segmentStart, sample(program, bare));
            inSegment = false;
            break;
        }
        if (moving && lcd.lit(Im_Speed1)) lastRacingMs = now;

        // The autopilot: one key at a time, on a fresh look at the LCD.
        if (now - lastKeyMs >= 30 && moving && lcd.lit(Im_Speed1)) {
            int lane = lcd.lit(Im_Moto1) ? 1 : lcd.lit(Im_Moto3) ? 3 : 2;
            const bool blocked[4] = {false, lcd.lit(Im_Avv11), lcd.lit(Im_Avv12), lcd.lit(Im_Avv13)};
            int target = lane;
            bool collect = false;
            if ((lcd.lit(Im_Pompa1) || lcd.lit(Im_Chiave1)) && !blocked[1])
                target = 1, collect = true;
            else if ((lcd.lit(Im_Pompa2) || lcd.lit(Im_Chiave2)) && !blocked[3])
                target = 3, collect = true;
            else if (blocked[lane])
                target = !blocked[2] ? 2 : !blocked[1] ? 1 : 3;
            const char* press = nullptr;
            if (!gear3)
                press = "Up", ++shifts;
            else if (target < lane)
                press = "Left", ++moves;
            else if (target > lane)
                press = "Right", ++moves;
            else if (collect)
                press = "ctrl", ++stops;
            if (press) {
                key(press);
                lastKeyMs = monotonicMs();
            }
        }
        // A lost game: after its tune, continue or start anew.
        if (now - lastRacingMs > 15000 && now - lastKeyMs > 15000) {
            key("ctrl");
            lastKeyMs = monotonicMs();
            ++restarts;
        }
        sleepMs(8);
    }
    const auto threadsAfter = threadCpuNs(program), wakeUpsAfter = threadWakeUps(program);
    const auto floorThreadsAfter = threadCpuNs(bare), floorWakeUpsAfter = threadWakeUps(bare);
    const double raceWallMs = monotonicMs() - raceStart;
    stopProgram(bare);
    stopProgram(program);

    std::printf("idle on the launcher %.1f s: program %s (ticks %.3f %%); idle window %s\n", idle.wallMs / 1000,
                cost(idle.percent(idle.programNs), idle.perSecond(idle.programWakeUps)).c_str(),
                idle.percentTicks(idle.programTicks),
                cost(idle.percent(idle.bareNs), idle.perSecond(idle.bareWakeUps)).c_str());
    std::printf("on screen, powered off %.1f s: program %s (ticks %.3f %%); idle window %s\n", off.wallMs / 1000,
                cost(off.percent(off.programNs), off.perSecond(off.programWakeUps)).c_str(),
                off.percentTicks(off.programTicks), cost(off.percent(off.bareNs), off.perSecond(off.bareWakeUps)).c_str());
    printThreads("program powered off", offCpuBefore, offCpuAfter, offWakeUpsBefore, offWakeUpsAfter, off.wallMs);
    std::printf("racing at gear 3: %.1f s in %d stretches over %.1f s; %d shifts, %d lane moves, %d service stops, "
                "%d restarts\n",
                race.wallMs / 1000, segments, raceWallMs / 1000, shifts, moves, stops, restarts);
    std::printf("racing: program %.3f %% (ticks %.3f %%), %.1f wake-ups/s; floor (text, sound playing, 100 + 350 ms "
                "repaints) %.3f %% (ticks %.3f %%), %.1f wake-ups/s\n",
                race.percent(race.programNs), race.percentTicks(race.programTicks), race.perSecond(race.programWakeUps),
                race.percent(race.bareNs), race.percentTicks(race.bareTicks), race.perSecond(race.bareWakeUps));
    printThreads("program during the race phase", threadsBefore, threadsAfter, wakeUpsBefore, wakeUpsAfter,
                 raceWallMs);
    printThreads("floor during the race phase", floorThreadsBefore, floorThreadsAfter, floorWakeUpsBefore,
                 floorWakeUpsAfter, raceWallMs);

    const bool complete = race.wallMs >= wantedMs * 0.99;
    // Held against the floor to the ns (schedstat): 10 ms ticks over a minute
    // of half a percent are a few percent of the figure, close to the goal's
    // margin. No thread of either ends while racing, so nothing is lost.
    const double racing = race.percent(race.programNs), floorRacing = race.percent(race.bareNs);
    row(format("CPU racing at gear 3 (%.0f s)", race.wallMs / 1000),
        format("%.3f %% of a core", racing) + format(" (ticks %.2f %%)", race.percentTicks(race.programTicks)) +
            format(", %.1f wake-ups/s", race.perSecond(race.programWakeUps)),
        format("%.3f %%", floorRacing) + format(" (ticks %.2f %%)", race.percentTicks(race.bareTicks)) +
            format(", %.1f wake-ups/s", race.perSecond(race.bareWakeUps)) + " (text, sound playing, 100+350 ms repaints)",
        floorRacing > 0 ? format("%.3fx", racing / floorRacing) : compare(racing, floorRacing, "%"), "<= 1.1x",
        complete && racing <= 1.1 * floorRacing);
    // Powered off the console has nothing to do: it should cost what an idle
    // window costs, nothing and no wake-ups (schedstat, to the ns).
    const double offPercent = off.percent(off.programNs), offWakes = off.perSecond(off.programWakeUps);
    const double idlePercent = off.percent(off.bareNs), idleWakes = off.perSecond(off.bareWakeUps);
    row(format("CPU on screen, powered off (%.0f s)", off.wallMs / 1000), cost(offPercent, offWakes),
        cost(idlePercent, idleWakes) + " (idle window with text)", format("%+.1f wake-ups/s", offWakes - idleWakes),
        "as the idle window", offPercent <= idlePercent + 0.01 && offWakes <= idleWakes + 0.1);
    const double onPercent = on.percent(on.programNs), onWakes = on.perSecond(on.programWakeUps);
    const double onIdlePercent = on.percent(on.bareNs), onIdleWakes = on.perSecond(on.bareWakeUps);
    // Switched on, the sound device stays open, so that the start tune never
    // waits for a sound server to start a stream: shown, without a goal.
    infoRow(format("CPU powered on, no game, device open (%.0f s)", on.wallMs / 1000), cost(onPercent, onWakes),
            cost(onIdlePercent, onIdleWakes) + " (idle window with text)",
            format("%+.1f wake-ups/s", onWakes - onIdleWakes));
    infoRow(format("CPU idle on the launcher (%.0f s)", idle.wallMs / 1000),
            cost(idle.percent(idle.programNs), idle.perSecond(idle.programWakeUps)),
            cost(idle.percent(idle.bareNs), idle.perSecond(idle.bareWakeUps)) + " (idle window with text)",
            format("%+.1f wake-ups/s", idle.perSecond(idle.programWakeUps) - idle.perSecond(idle.bareWakeUps)));
    if (!complete) std::fprintf(stderr, "bench-race-cpu: only %.1f s of racing at gear 3\n", race.wallMs / 1000);
    std::filesystem::remove_all(settingsHome);
    return complete ? 0 : 1;
}
