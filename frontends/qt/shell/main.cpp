// Vorlak Simulator: the console, its launcher and its sound.
#include <QApplication>
#include <fontconfig/fontconfig.h>

#include <thread>

#include "frontends/qt/platform/standard_streams.h"
#include "frontends/qt/window/qt_clock.h"
#include "frontends/qt/shell/program.h"
#include "frontends/qt/sound/deferred_sound.h"

int main(int argc, char** argv) {
    vorlak::keepStandardStreamsHarmless();  // a launcher may close stderr, or leave a pipe nobody reads
    // Reading the system's font configuration takes several milliseconds;
    // done while the toolkit connects to the display, it is off the path to
    // the first window. Loading it twice at once is safe: one copy is kept.
    std::thread fonts([] { FcInit(); });
    // The one-bit LCD art and the window's outline hold only at whole
    // multiples: a desktop at 150 % draws the console at 1x, at 200 % at 2x.
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::Floor);
    QApplication app(argc, argv);
    fonts.join();
    vorlak::QtClock clock;
    vorlak::DeferredSound sound(vorlak::DeferredSound::besideProgram());
    vorlak::Program program(clock, sound, sound);
    clock.setTickHandler([&program](vorlak::TimerId id) { program.console().onTimer(id); });
    return program.run();
}
