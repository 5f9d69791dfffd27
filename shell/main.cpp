// Program start: the console window, its clock and its sound.
#include <QApplication>
#include <QScreen>

#include "game/console.h"
#include "game/window/form1.h"
#include "game/window/qt_clock.h"
#include "sound/recording_sound.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vorlak Simulator"));

    vorlak::QtClock clock;
    vorlak::RecordingSound silent;  // plays nothing
    vorlak::Console console(clock, silent, silent);
    vorlak::TForm1 form(console);
    console.setWindow(&form);
    console.FormCreate();

    const QRect screen = form.screen()->geometry();
    form.move((screen.width() - form.width()) / 2, (screen.height() - form.height()) / 2);
    form.show();
    return app.exec();
}
