// Program start, the launcher and the console's menu, on the offscreen
// platform, with a desktop that records what would be opened.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>

#include "frontends/qt/shell/program.h"
#include "sound/recording_sound.h"

using namespace vorlak;

namespace {

QSettings storedSettings() { return QSettings(QStringLiteral("Selvane"), QStringLiteral("Vorlak")); }

struct LauncherTest : ::testing::Test {
    ManualClock clock;
    RecordingSound sound;
    QRect screen{0, 0, 1024, 768};
    QList<QUrl> opened;
    QStringList errors;
    QList<QWidget*> brokenFolderOwners;
    QStringList choicesWhenReported;
    std::optional<int> exitStatus;
    std::unique_ptr<Program> program;

    void SetUp() override {
        QSettings settings = storedSettings();
        settings.clear();
        settings.sync();
    }
    void TearDown() override { program.reset(); }

    TSplashForm::Desktop desktop() {
        TSplashForm::Desktop d;
        d.openUrl = [this](const QUrl& url) { opened << url; return true; };
        d.screen = [this] { return screen; };
        d.showError = [this](const QString& text) { errors << text; };
        d.reportBrokenSoundFolder = [this](QWidget* owner, const std::function<void()>& forget) {
            brokenFolderOwners << owner;
            choicesWhenReported << stored("SoundMode").toString() << stored("System").toString();
            forget();
        };
        d.exitProgram = [this](int status) { exitStatus = status; };
        return d;
    }
    void store(const char* name, const QVariant& value) {
        QSettings settings = storedSettings();
        settings.setValue(QString::fromLatin1(name), value);
        settings.sync();
    }
    QVariant stored(const char* name) { return storedSettings().value(QString::fromLatin1(name)); }

    // Starts the program up to its first activation: the launcher showing.
    TSplashForm& start() {
        program = std::make_unique<Program>(clock, sound, sound, desktop());
        showAndWaitForLauncher(*program);
        return program->splash();
    }
    static void showAndWaitForLauncher(Program& p) {
        p.showConsole();
        EXPECT_TRUE(QTest::qWaitFor([&] { return p.splash().isVisible(); }));
        EXPECT_TRUE(QTest::qWaitForWindowActive(&p.splash()));
    }
    static void choose(QComboBox* list, int position) {
        list->setCurrentIndex(position);
        emit list->activated(position);
    }
    void play() {
        program->splash().Puls_Play->click();
        QApplication::processEvents();
    }
    bool loaded(const std::string& call) {
        for (const auto& c : sound.calls())
            if (c.what == call) return true;
        return false;
    }
};

}  // namespace

TEST_F(LauncherTest, FirstStartShowsNothingChosenAndPlayWaitsForASoundChoice) {
    program = std::make_unique<Program>(clock, sound, sound, desktop());
    TForm1& form = program->form();
    // Built off the screen, full height, with its outline, before any showing.
    EXPECT_EQ(form.pos(), QPoint(-500, -1));
    EXPECT_EQ(form.size(), QSize(461, 738));
    ASSERT_TRUE(form.windowHandle());
    EXPECT_EQ(form.windowHandle()->mask().rectCount(), 72);
    EXPECT_FALSE(program->splash().isVisible());
    EXPECT_EQ(form.popupMenu(), program->splash().PM_Menu);

    showAndWaitForLauncher(*program);
    TSplashForm& splash = program->splash();
    EXPECT_FALSE(program->console().state().Primo_Avvio);
    // Shown, but with nothing of it left to draw or to click until play.
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(form.windowHandle()->mask().intersects(form.rect()));
    EXPECT_EQ(splash.CB_Sound->currentIndex(), -1);
    EXPECT_EQ(splash.CB_System->currentIndex(), -1);
    EXPECT_FALSE(splash.Puls_Play->isEnabled());
    choose(splash.CB_System, 1);
    EXPECT_FALSE(splash.Puls_Play->isEnabled());
    choose(splash.CB_Sound, 0);
    EXPECT_TRUE(splash.Puls_Play->isEnabled());

    // Later activations of the console do not bring the launcher back.
    splash.hide();
    program->FormActivate();
    EXPECT_FALSE(splash.isVisible());
}

TEST_F(LauncherTest, StoredChoicesComeUpChosenAndNoSoundOpensNothing) {
    store("SoundMode", QStringLiteral("2"));
    store("System", QStringLiteral("0"));
    TSplashForm& splash = start();
    EXPECT_EQ(splash.CB_Sound->currentText(), QStringLiteral("(no sound)"));
    EXPECT_EQ(splash.CB_System->currentText(), QStringLiteral("95, 98, ME, NT"));
    ASSERT_TRUE(splash.Puls_Play->isEnabled());
    play();
    EXPECT_TRUE(sound.calls().empty());
    const Console& console = program->console();
    EXPECT_FALSE(console.state().Suono_Pronto);
    EXPECT_FALSE(console.state().Suono_On);
    EXPECT_TRUE(console.state().Speaker_On);
    EXPECT_EQ(stored("SoundMode"), QVariant(QStringLiteral("2")));
    EXPECT_EQ(stored("System"), QVariant(QStringLiteral("0")));
    EXPECT_FALSE(splash.isVisible());
}

TEST_F(LauncherTest, StoredTextsThatAreNoPositionChooseNothing) {
    for (const char* text : {"7", "3", "-2", "abc", "", "1.0"}) {
        store("SoundMode", QString::fromLatin1(text));
        store("System", QStringLiteral("1"));
        TSplashForm& splash = start();
        EXPECT_EQ(splash.CB_Sound->currentIndex(), -1) << text;
        EXPECT_EQ(splash.CB_System->currentText(), QStringLiteral("2000")) << text;
        EXPECT_FALSE(splash.Puls_Play->isEnabled()) << text;
        program.reset();
    }
}

TEST_F(LauncherTest, AValueThatIsNotTextIsReportedAndEndsTheReading) {
    store("SoundMode", QByteArray("1"));
    store("System", QStringLiteral("0"));
    TSplashForm& splash = start();
    EXPECT_EQ(errors, QStringList{QStringLiteral("Invalid data type for 'SoundMode'")});
    EXPECT_EQ(splash.CB_Sound->currentIndex(), -1);
    EXPECT_EQ(splash.CB_System->currentIndex(), -1);
    EXPECT_TRUE(splash.Puls_Play->isEnabled());  // the rest of the handler did not run
    program.reset();

    errors.clear();
    store("SoundMode", QStringLiteral("1"));
    store("System", QStringList{QStringLiteral("0"), QStringLiteral("1")});
    TSplashForm& again = start();
    EXPECT_EQ(errors, QStringList{QStringLiteral("Invalid data type for 'System'")});
    EXPECT_EQ(again.CB_Sound->currentText(), QStringLiteral("DirectSound"));
    EXPECT_EQ(again.CB_System->currentIndex(), -1);
    EXPECT_TRUE(again.Puls_Play->isEnabled());
}

TEST_F(LauncherTest, PlayWithOnlyASoundChoiceCountsAsTheNewerSystem) {
    TSplashForm& splash = start();
    choose(splash.CB_Sound, 0);  // Windows MM
    play();
    EXPECT_EQ(stored("SoundMode"), QVariant(QStringLiteral("0")));
    EXPECT_EQ(stored("System"), QVariant(QStringLiteral("1")));
    EXPECT_TRUE(program->console().state().Suono_Pronto);
    EXPECT_FALSE(program->console().state().Speaker_On);
    ASSERT_GE(sound.calls().size(), 2u);
    EXPECT_EQ(sound.calls()[0].what, "output 1");
    EXPECT_EQ(sound.calls()[1].what, "init 22050 64 0");
    EXPECT_TRUE(loaded("load .\\SOUND\\GameOver.wav"));
    EXPECT_TRUE(program->splash().isHidden());
}

TEST_F(LauncherTest, ABrokenSoundFolderForgetsBothChoicesAndLeavesEverythingInPlace) {
    store("SoundMode", QStringLiteral("1"));
    store("System", QStringLiteral("0"));
    sound.setMissingFiles({"GameOver.wav"});
    TSplashForm& splash = start();
    play();
    ASSERT_EQ(brokenFolderOwners.size(), 1);
    EXPECT_EQ(brokenFolderOwners[0], &splash);
    // Written before the sound was opened, then overwritten.
    EXPECT_EQ(choicesWhenReported, (QStringList{QStringLiteral("1"), QStringLiteral("0")}));
    EXPECT_EQ(stored("SoundMode"), QVariant(QStringLiteral("-1")));
    EXPECT_EQ(stored("System"), QVariant(QStringLiteral("-1")));
    EXPECT_TRUE(splash.isVisible());
    EXPECT_EQ(program->form().pos(), QPoint(-500, -1));
}

TEST_F(LauncherTest, PlayCentresTheConsoleAndDownOnlyOnScreensTallerThan600) {
    struct Case {
        QRect screen;
        QPoint expected;
    };
    for (const Case& c : {Case{{0, 0, 1024, 768}, {281, 15}}, Case{{0, 0, 800, 600}, {169, -1}},
                          Case{{0, 0, 1024, 721}, {281, -8}}, Case{{0, 0, 1280, 601}, {409, -68}}}) {
        screen = c.screen;
        store("SoundMode", QStringLiteral("2"));
        store("System", QStringLiteral("1"));
        start();
        play();
        EXPECT_EQ(program->form().pos(), c.expected) << c.screen.width() << "x" << c.screen.height();
        EXPECT_EQ(program->form().windowHandle()->mask().rectCount(), 72);  // the outline is back
        EXPECT_TRUE(QTest::qWaitForWindowActive(&program->form()));
        program.reset();
    }
}

TEST_F(LauncherTest, ASettingsStoreThatCannotBeUsedDoesNotStopThePlay) {
    QTemporaryDir dir;
    QFile blocker(dir.filePath(QStringLiteral("not-a-folder")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString unusable = blocker.fileName() + QStringLiteral("/settings");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, unusable);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, unusable);
    TSplashForm& splash = start();
    EXPECT_EQ(splash.CB_Sound->currentIndex(), -1);
    EXPECT_FALSE(splash.Puls_Play->isEnabled());
    choose(splash.CB_Sound, 2);
    play();
    EXPECT_FALSE(splash.isVisible());
    EXPECT_EQ(program->form().pos(), QPoint(281, 15));
    program.reset();
    const QString home = QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, home);
}

TEST_F(LauncherTest, ClosingTheLauncherBeforePlayEndsTheProgram) {
    start().close();
    EXPECT_EQ(exitStatus, 0);
    EXPECT_TRUE(loaded("close"));
}

// After play the menu's keys act on the console, before the game's keys.
TEST_F(LauncherTest, FunctionKeysOpenTheAboutWindowAndTheSideDocumentsOfTheWorkingDirectory) {
    QTemporaryDir workDir;
    const QString oldDir = QDir::currentPath();
    QDir::setCurrent(workDir.path());
    store("SoundMode", QStringLiteral("2"));
    store("System", QStringLiteral("1"));
    start();
    play();
    TForm1* form = &program->form();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form));
    QTest::keyClick(form, Qt::Key_F2);
    QTest::keyClick(form, Qt::Key_F3);
    QTest::keyClick(form, Qt::Key_F4);  // its item is disabled
    QDir::setCurrent(oldDir);
    ASSERT_EQ(opened.size(), 2);
    EXPECT_EQ(opened[0], QUrl::fromLocalFile(QDir(workDir.path()).absoluteFilePath(QStringLiteral("readme.txt"))));
    EXPECT_EQ(opened[1], QUrl::fromLocalFile(QDir(workDir.path()).absoluteFilePath(QStringLiteral("whatsnew.txt"))));

    TAboutForm& about = program->about();
    QTest::keyClick(form, Qt::Key_F1);
    ASSERT_TRUE(about.isVisible());
    EXPECT_EQ(about.pos(), QPoint(0, 0));
    about.close();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form));
    QTest::keyClick(form, Qt::Key_F1);
    EXPECT_TRUE(about.isVisible());
    EXPECT_FALSE(exitStatus);
}

TEST(ProgramExit, EscReturnsFromTheEventLoopWithStatusZero) {
    {
        QSettings settings(QStringLiteral("Selvane"), QStringLiteral("Vorlak"));
        settings.setValue(QStringLiteral("SoundMode"), QStringLiteral("2"));
        settings.setValue(QStringLiteral("System"), QStringLiteral("1"));
    }
    ManualClock clock;
    RecordingSound sound;
    TSplashForm::Desktop desktop = TSplashForm::systemDesktop();  // the real screen and exit
    desktop.openUrl = [](const QUrl&) { return true; };
    Program program(clock, sound, sound, desktop);
    QTimer::singleShot(0, [&] {
        EXPECT_TRUE(QTest::qWaitFor([&] { return program.splash().isVisible(); }));
        program.splash().Puls_Play->click();
        TForm1& form = program.form();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&form));
        // In the middle of a race.
        program.handheld().console().Im_OnOffClick();
        QTest::keyPress(&form, Qt::Key_Control);
        EXPECT_TRUE(program.console().state().In_Gioco);
        QTest::keyClick(&form, Qt::Key_Escape);
    });
    QTimer::singleShot(5000, [] { QCoreApplication::exit(99); });
    program.showConsole();
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_FALSE(program.form().isVisible());
    EXPECT_EQ(sound.calls().back().what, "close");  // the close handler released the sound
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(program.form().x(), (screen.width() - 461) / 2);
}
