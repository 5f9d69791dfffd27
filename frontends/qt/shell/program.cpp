#include "frontends/qt/shell/program.h"

#include <QApplication>
#include <QFile>
#include <QIcon>
#include <QImageReader>
#include <QPixmap>

#include "frontends/qt/window/desktop_keyboard.h"
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

Program::Program(Clock& clock, SoundLibrary& sound, SpeakerTone& speaker, TSplashForm::Desktop desktop) {
    QApplication::setApplicationName(QStringLiteral("Vorlak Simulator"));
    QApplication::setWindowIcon(applicationIcon());

    // The console's window, off the screen at (-500, -1), with its outline in
    // place before it is first shown.
    form_ = std::make_unique<TForm1>();
    auto* coolForm = new TCoolForm();
    coolForm->assignParent(form_.get());
    coolForm->setWidth(kConsoleWidth);
    coolForm->setHeight(kConsoleLaidOutHeight);
    coolForm->setPicture(QImage());
    coolForm->setVisible(false);
    QFile outline(QStringLiteral(":/outline/CoolForm1.Mask2.bin"));
    if (outline.open(QIODevice::ReadOnly)) coolForm->readMask(outline);
    // The console's creation step, then the settings store.
    handheld_ = std::make_unique<Handheld>(clock, sound, speaker, *form_, desktopTraits());
    form_->attach(*handheld_);
    registro_ = std::make_unique<Registro>();

    // The launcher reads the stored choices as it is created, so it comes
    // after the console; its menu becomes the console's right-click menu.
    splash_ = std::make_unique<TSplashForm>(*handheld_, *form_, registro_.get(), nullptr, std::move(desktop));
    form_->setPopupMenu(splash_->PM_Menu);
    about_ = std::make_unique<TAboutForm>();
    splash_->setAboutForm(about_.get());
    // Shortcut keys act in the console window, before its own key handling.
    form_->addActions(splash_->shortcutActions());

    form_->onShowLauncher = [this] {
        splash_->show();
        splash_->raise();
        splash_->activateWindow();
    };
    // The pads drive the console once it is played (the sound, if chosen,
    // has opened SDL by then), and stop before the sound is released.
    gamepads_ = std::make_unique<ConsoleGamepads>(*form_, DeferredGamepads::besideProgram());
    form_->onStopPads = [this] { gamepads_->stop(); };
    // Closing the console, however it happens, ends the program.
    QObject::connect(form_.get(), &TForm1::closing, form_.get(), [] { QCoreApplication::exit(0); });
}

Program::~Program() {
    gamepads_.reset();
    splash_.reset();
    about_.reset();
    // The console refers to the window: the window goes after it.
    handheld_.reset();
    form_.reset();
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
