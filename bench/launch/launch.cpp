// Launch to first frame, and peak resident memory, of the program beside
// like-for-like floors, bare Qt windows showing the same 461 x 738 skin, all
// started alike and watched alike from outside on the X server.
//
// First frame: a window of the process mapped wholly on the screen and drawn
// (many colours, not a blank rectangle). For the program that is the launcher
// (the console itself waits off the screen until play); its floor is the bare
// window drawing a line of text, as the launcher does, and no sound device,
// as the program opens none before play. Console on screen: its skin in place
// after play is clicked the moment the launcher is drawn.
// Peak memory: VmHWM half a second after the window the run waits for (for
// the program the console, its sound open), held against the bare window
// drawing text with an SDL audio device open and playing.
//
// Usage: bench-launch [--runs N]   (default 10 of each, interleaved)
#include <QCoreApplication>
#include <QImage>
#include <cstdio>
#include <filesystem>
#include <functional>

#include "bench/common/bench_common.h"
#include "bench/common/outside.h"

namespace {

using namespace vorlak::bench;

constexpr int kTimeoutMs = 20000;

// The skin is on the screen at the window's place: most of a sparse grid of
// its pixels match (the LCD and the keys are drawn over some of them).
bool skinShown(XScreen& x, const WindowPlace& w, const QImage& skin) {
    if (!w.onScreen || w.width != skin.width() || w.height != skin.height()) return false;
    const ScreenShot shot = x.grab(w.x, w.y, w.width, w.height);
    if (shot.empty()) return false;
    int samples = 0, matching = 0;
    for (int y = 4; y < w.height; y += 12)
        for (int xx = 4; xx < w.width; xx += 12) {
            const QRgb want = skin.pixel(xx, y);
            const std::uint32_t got = shot.at(w.x + xx, w.y + y);
            const int dr = std::abs(qRed(want) - static_cast<int>(got >> 16 & 0xff));
            const int dg = std::abs(qGreen(want) - static_cast<int>(got >> 8 & 0xff));
            const int db = std::abs(qBlue(want) - static_cast<int>(got & 0xff));
            ++samples;
            matching += dr < 24 && dg < 24 && db < 24;
        }
    return matching * 10 >= samples * 8;
}

struct Run {
    double firstFrameMs = -1;
    double consoleMs = -1;
    long peakKb = -1;
};

std::vector<std::string> environment(const std::string& settingsHome) {
    return {"XDG_CONFIG_HOME=" + settingsHome, "SDL_AUDIODRIVER=dummy", "QT_QPA_PLATFORM=xcb"};
}

// Milliseconds from `start` until `shown` holds, polling every millisecond;
// -1 when it does not within the time-out.
double msUntil(double start, const std::function<bool()>& shown) {
    while (monotonicMs() - start < kTimeoutMs) {
        if (shown()) return monotonicMs() - start;
        sleepMs(1);
    }
    return -1;
}

// Peak memory half a second after the window the run waited for; then the
// process is stopped.
Run finished(pid_t pid, Run run) {
    sleepMs(500);
    run.peakKb = peakRssKb(pid);
    stopProgram(pid);
    return run;
}

Run runProgram(XScreen& x, const QImage& skin, const std::string& settingsHome) {
    Run run;
    const double start = monotonicMs();
    const pid_t pid = startProgram({PROGRAM}, RUN_DIR, environment(settingsHome));
    std::optional<WindowPlace> launcher;
    run.firstFrameMs = msUntil(start, [&] {
        for (const WindowPlace& w : x.windowsOf(pid))
            if (w.onScreen && x.looksDrawn(w)) launcher = w;
        return launcher.has_value();
    });
    if (!launcher) return finished(pid, run);
    // The launcher's play button sits at (90, 325), 65 x 25.
    xdotool({"mousemove", std::to_string(launcher->x + 122), std::to_string(launcher->y + 337), "click", "1"});
    run.consoleMs = msUntil(start, [&] {
        const auto console = x.windowOf(pid, skin.width(), skin.height());
        return console && skinShown(x, *console, skin);
    });
    return finished(pid, run);
}

Run runBare(XScreen& x, const QImage& skin, const std::string& settingsHome, const std::vector<std::string>& argv) {
    Run run;
    const double start = monotonicMs();
    const pid_t pid = startProgram(argv, RUN_DIR, environment(settingsHome));
    run.firstFrameMs = run.consoleMs = msUntil(start, [&] {
        const auto w = x.windowOf(pid, skin.width(), skin.height());
        return w && x.looksDrawn(*w) && skinShown(x, *w, skin);
    });
    return finished(pid, run);
}

std::vector<double> valid(const std::vector<double>& values) {
    std::vector<double> out;
    for (double v : values)
        if (v >= 0) out.push_back(v);
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int runs = intOption(argc, argv, "--runs", 10);
    const QImage skin = QImage(QStringLiteral(SKIN_PICTURE)).convertToFormat(QImage::Format_RGB32);
    if (skin.isNull()) {
        std::fprintf(stderr, "bench-launch: cannot read %s\n", SKIN_PICTURE);
        return 2;
    }
    XScreen x;
    const std::string settingsHome = settingsHomeWithChoices(1, 0);

    const std::vector<std::string> textWindow{BARE_WINDOW, "--text"};
    const std::vector<std::string> soundWindow{BARE_WINDOW_SOUND, "--text", "--sound"};
    std::vector<double> first, console, peak, textFirst, textPeak, soundFirst, soundPeak;
    int failures = 0;
    for (int i = 0; i < runs; ++i) {
        // Interleaved, each going first every other time.
        Run program, text;
        if (i % 2 == 0) {
            program = runProgram(x, skin, settingsHome);
            text = runBare(x, skin, settingsHome, textWindow);
        } else {
            text = runBare(x, skin, settingsHome, textWindow);
            program = runProgram(x, skin, settingsHome);
        }
        const Run sound = runBare(x, skin, settingsHome, soundWindow);
        std::printf("run %d: program first frame %.1f ms, console %.1f ms, peak %ld KiB; bare with text %.1f ms, "
                    "%ld KiB; bare with text and sound playing %.1f ms, %ld KiB\n",
                    i + 1, program.firstFrameMs, program.consoleMs, program.peakKb, text.firstFrameMs, text.peakKb,
                    sound.firstFrameMs, sound.peakKb);
        std::fflush(stdout);
        failures += program.consoleMs < 0 || text.firstFrameMs < 0 || sound.firstFrameMs < 0;
        first.push_back(program.firstFrameMs);
        console.push_back(program.consoleMs);
        peak.push_back(static_cast<double>(program.peakKb));
        textFirst.push_back(text.firstFrameMs);
        textPeak.push_back(static_cast<double>(text.peakKb));
        soundFirst.push_back(sound.firstFrameMs);
        soundPeak.push_back(static_cast<double>(sound.peakKb));
    }
    const double f = percentile(valid(first), 50), tf = percentile(valid(textFirst), 50);
    const double c = percentile(valid(console), 50), sf = percentile(valid(soundFirst), 50);
    const double p = percentile(valid(peak), 50) / 1024, tp = percentile(valid(textPeak), 50) / 1024;
    const double sp = percentile(valid(soundPeak), 50) / 1024;
    row("launch to first frame (median)", format("%.1f ms", f), format("%.1f ms (bare + text)", tf),
        format("%.3fx", f / tf), "<= 1.1x", failures == 0 && f <= 1.1 * tf);
    infoRow("launch to console on screen, play clicked at once (median)", format("%.1f ms", c),
            format("%.1f ms (bare + text)", tf), format("%.2fx", c / tf));
    row("peak RSS, VmHWM (median)", format("%.1f MiB", p), format("%.1f MiB (bare + text + sound playing)", sp),
        format("%.3fx", p / sp), "<= 1.15x", failures == 0 && p <= 1.15 * sp);
    infoRow("  same, against the bare window with text", format("%.1f MiB", p), format("%.1f MiB", tp),
            format("%.2fx", p / tp));
    infoRow("  launch to first frame, against bare + text + sound playing", format("%.1f ms", f),
            format("%.1f ms", sf), format("%.2fx", f / sf));
    std::filesystem::remove_all(settingsHome);
    return failures == 0 ? 0 : 1;
}
