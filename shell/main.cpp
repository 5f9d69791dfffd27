// Vorlak Simulator: the console, its launcher and its sound.
#include <QApplication>

#include "game/window/qt_clock.h"
#include "shell/program.h"
#include "sound/deferred_sound.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    vorlak::QtClock clock;
    vorlak::DeferredSound sound(vorlak::DeferredSound::besideProgram());
    vorlak::Program program(clock, sound, sound);
    return program.run();
}
