#include "frontends/qt/shell/program.h"

#include <QApplication>
#include <QFile>
#include <QIcon>
#include <QImageReader>
#include <QPixmap>

#include "frontends/qt/window/window_system.h"

namespace vorlak {
namespace {

// Read as PNG by name only: left to guess, the reader would load every
// picture format plugin there is to ask each of them.
QPixmap pngPicture(const QString& path) {
    QImageReader reader(path, "png");
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

// The sizes window managers draw; larger views take the desktop theme's
// icon, and every size here is decoded and sent with each window.
QIcon applicationIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64})
        icon.addPixmap(pngPicture(QStringLiteral(":/icon/vorlak-%1.png").arg(size)));
    return icon;
}

}  // namespace

Program::Program(Clock& clock, SoundLibrary& sound, SpeakerTone& speaker, TSplashForm::Desktop desktop)
    : console_(clock, sound, speaker) {
    console_.Primo_Avvio = true;
    QApplication::setApplicationName(QStringLiteral("Vorlak Simulator"));
    QApplication::setWindowIcon(applicationIcon());

    // The console, off the screen at (-500, -1), with its outline in place
    // before it is first shown.
    form_ = std::make_unique<TForm1>(console_);
    console_.setWindow(form_.get());
    coolForm_ = new TCoolForm();
    coolForm_->assignParent(form_.get());
    coolForm_->setWidth(461);
    coolForm_->setHeight(585);
    coolForm_->setPicture(QImage());
    coolForm_->setVisible(false);
    QFile outline(QStringLiteral(":/outline/CoolForm1.Mask2.bin"));
    if (outline.open(QIODevice::ReadOnly)) coolForm_->readMask(outline);
    console_.FormCreate();
    // The settings store comes right after the console's creation step.
    registro_ = std::make_unique<Registro>();

    // The launcher reads the stored choices as it is created, so it comes
    // after the console; its menu becomes the console's right-click menu.
    splash_ = std::make_unique<TSplashForm>(console_, *form_, registro_.get(), nullptr, std::move(desktop));
    form_->setPopupMenu(splash_->PM_Menu);
    about_ = std::make_unique<TAboutForm>();
    splash_->setAboutForm(about_.get());
    // Shortcut keys act in the console window, before its own key handling.
    form_->addActions(splash_->shortcutActions());

    QObject::connect(form_.get(), &TForm1::activated, form_.get(), [this] { FormActivate(); });
    // The pads drive the console once the launcher has gone (the sound, if
    // chosen, has opened SDL by then).
    gamepads_ = std::make_unique<ConsoleGamepads>(*form_, console_, DeferredGamepads::besideProgram(),
                                                  [this] { return !console_.Primo_Avvio && !splash_->isVisible(); });
    // Closing the console, however it happens, ends the program.
    QObject::connect(form_.get(), &TForm1::closing, form_.get(), [] { QCoreApplication::exit(0); });
}

Program::~Program() {
    gamepads_.reset();
    // The console refers to the window; the window goes first.
    console_.setWindow(nullptr);
    splash_.reset();
    about_.reset();
    form_.reset();
}

void Program::FormActivate() {
    if (!console_.Primo_Avvio) return;
    console_.Primo_Avvio = false;
    splash_->show();
    splash_->raise();
    splash_->activateWindow();
}

void Program::showConsole() {
    // A Wayland client cannot put a window off the screen: there the console
    // stays hidden until play, and the launcher comes up at once, as the
    // console's first activation brings it up elsewhere.
    if (compositorPlacesWindows()) {
        FormActivate();
        return;
    }
    form_->showUnseen();
    // Without a window manager nobody else activates the window.
    form_->activateWindow();
}

int Program::run() {
    showConsole();
    return QApplication::exec();
}

}  // namespace vorlak
