// The broken-SOUND-folder path: the opening fails, the box is shown, the
// choices are forgotten and the application ends.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include "game/handheld.h"
#include "frontends/qt/shell/sound_folder_error.h"
#include "frontends/qt/sound/sdl_sound.h"
#include "tests/sdl_sound/sound_output.h"

namespace vorlak::test {
namespace {

QApplication& application() {
    static int argc = 1;
    static char name[] = "sound_tests";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    return app;
}

TEST(BrokenSoundFolder, ShowsTheErrorThenForgetsTheChoicesThenEndsTheProgram) {
    QApplication& app = application();
    DiskOutput output;
    output.installSoundFolder({"GameOver.wav"});
    ManualClock clock;
    SdlSound sound;
    NoWindow window;
    Handheld handheld(clock, sound, sound, window);
    const Console& console = handheld.console();
    handheld.startLauncher(nullptr);
    handheld.chooseSound(Sound_WindowsMM);

    QWidget launcher;
    std::vector<std::string> happened;
    QTimer boxWatcher;
    QObject::connect(&boxWatcher, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        happened.push_back("box");
        EXPECT_EQ(box->windowTitle(), "Error");
        EXPECT_EQ(box->text(), "Sound folder unproperly installed. Read instructions then reinstall.");
        EXPECT_EQ(box->icon(), QMessageBox::Critical);
        EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
        EXPECT_EQ(box->parentWidget(), &launcher);
        box->button(QMessageBox::Ok)->click();
    });
    boxWatcher.start(10);
    // What the play button does.
    QTimer::singleShot(0, [&] {
        if (handheld.play({0, 0, 1024, 768}).next == PlayOutcome::Next::BrokenSoundFolder)
            reportBrokenSoundFolder(&launcher, [&] { happened.push_back("forget choices"); });
    });
    QTimer::singleShot(10000, [] { QCoreApplication::exit(1); });  // a stuck box would hang the test

    EXPECT_EQ(app.exec(), 0);
    EXPECT_EQ(happened, (std::vector<std::string>{"box", "forget choices"}));
    // Every file was still tried after the first failed.
    for (SampleHandle h : {console.samples().Snd_Level, console.samples().Snd_Miss, console.samples().Snd_Semaph, console.samples().Snd_Srvc1,
                           console.samples().Snd_Srvc2, console.samples().Snd_Start})
        EXPECT_NE(h, nullptr);
}

}  // namespace
}  // namespace vorlak::test
