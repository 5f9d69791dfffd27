// Vorlak Simulator: the console, its launcher and its sound.
#include <QApplication>
#include <fontconfig/fontconfig.h>

#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "frontends/qt/platform/standard_streams.h"
#include "frontends/qt/window/qt_clock.h"
#include "frontends/qt/shell/program.h"
#include "frontends/qt/shell/whole_scale.h"
#include "frontends/qt/sound/deferred_sound.h"

namespace {

constexpr const char* kNoDisplay = "Vorlak Simulator: no display: set DISPLAY or WAYLAND_DISPLAY\n";

bool set(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

// The toolkit ends the program with a core dump when it cannot reach a
// display: one line says what is missing instead, and the status is 1.
QtMessageHandler toolkitMessages = nullptr;
void reportNoDisplay(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type != QtFatalMsg) {
        if (toolkitMessages) toolkitMessages(type, context, message);
        return;
    }
    std::fputs(kNoDisplay, stderr);
    std::_Exit(1);
}

}  // namespace

int main(int argc, char** argv) {
    vorlak::keepStandardStreamsHarmless();  // a launcher may close stderr, or leave a pipe nobody reads
    if (!set("DISPLAY") && !set("WAYLAND_DISPLAY") && !set("QT_QPA_PLATFORM")) {
        std::fputs(kNoDisplay, stderr);
        return 1;
    }
    // Reading the system's font configuration takes several milliseconds;
    // done while the toolkit connects to the display, it is off the path to
    // the first window. Loading it twice at once is safe: one copy is kept.
    std::thread fonts([] { FcInit(); });
    // The one-bit LCD art and the window's outline hold only at whole
    // multiples: a desktop at 150 % draws the console at 1x, at 200 % at 2x.
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::Floor);
    toolkitMessages = qInstallMessageHandler(reportNoDisplay);
    const std::vector<char*> arguments(argv, argv + argc + 1);  // the toolkit takes its own out of argv
    QApplication app(argc, argv);
    qInstallMessageHandler(toolkitMessages);
    fonts.join();
    // Before any window: where the console would not fit the screen at the
    // toolkit's factor, or the factor is not whole, start again at the
    // largest whole multiple that fits.
    if (const auto factor = vorlak::scaleFactorToRestartWith()) vorlak::restartWithScaleFactor(arguments.data(), *factor);
    vorlak::QtClock clock;
    vorlak::DeferredSound sound(vorlak::DeferredSound::besideProgram());
    vorlak::Program program(clock, sound, sound);
    clock.setTickHandler([&program](vorlak::TimerId id) { program.handheld().tick(id); });
    return program.run();
}
