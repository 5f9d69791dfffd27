// The launcher: shows the sound output and system family lists before the
// first game and the play button, whose rules the console's core holds; it
// brings the console on screen. It also owns the console's right-click menu.
#pragma once

#include <QLabel>
#include <QSize>
#include <QUrl>
#include <QWidget>
#include <functional>

class QAction;
class QComboBox;
class QMenu;
class QPushButton;

namespace vorlak {

class Handheld;
class SettingsStore;
class TForm1;

// A label that reacts to a left click released over it.
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
signals:
    void clicked();
protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
private:
    bool pressed_ = false;
};

// The maker's addresses, on a reserved example domain.
inline constexpr const char* kMakerWebAddress = "http://www.example.org/vorlak/";
inline constexpr const char* kMakerEmailLink = "mailto:selvane@example.com";

class TSplashForm : public QWidget {
    Q_OBJECT
public:
    // What the launcher uses of the desktop; tests put their own in.
    struct Desktop {
        std::function<bool(const QUrl&)> openUrl;                    // hand a link or file to the desktop
        std::function<QRect()> screen;                               // the screen the console is centred on
        std::function<void(const QString&)> showError;               // the standard error box
        std::function<void(QWidget*, const std::function<void()>&)> reportBrokenSoundFolder;
        std::function<void(int)> exitProgram;                        // ends the event loop with a status
    };
    static Desktop systemDesktop();

    TSplashForm(Handheld& handheld, TForm1& form, SettingsStore* settings, QWidget* aboutForm,
                Desktop desktop = systemDesktop());

    // Creation handler: the stored choices chosen in the lists.
    void FormCreate();
    void CB_SoundChange();
    void CB_SystemChange();
    void Puls_PlayClick();
    void La_EmailClick();
    void La_HttpClick();
    void PM_1AboutClick();
    void PM_3ReadmeClick();
    void PM_4WhatsnewClick();
    void PM_8ExitClick();

    QLabel* La_Title;
    QLabel* La_Version;
    QLabel* Im_Piccina;
    QLabel* La_Released;
    LinkLabel* La_Http;
    LinkLabel* La_Email;
    QLabel* La_Sound;
    QComboBox* CB_Sound;
    QLabel* La_System;
    QComboBox* CB_System;
    QPushButton* Puls_Play;

    QMenu* PM_Menu;
    QAction* PM_1About;
    QAction* PM_2N1;
    QAction* PM_3Readme;
    QAction* PM_4Whatsnew;
    QAction* PM_5N2;
    QAction* PN_6Manual;
    QAction* PM_7N3;
    QAction* PM_8Exit;

    // The about window is created after the launcher.
    void setAboutForm(QWidget* aboutForm) { aboutForm_ = aboutForm; }

    // The menu's actions with shortcut keys, to be put on the console window.
    QList<QAction*> shortcutActions() const;

    // Where the compositor places windows (Wayland), it would frame the
    // launcher with minimise, maximise and close buttons; there the launcher
    // draws its own frame instead: a title bar with the caption, which moves
    // the window, over the client area, and a thin border.
    static constexpr int kTitleBarHeight = 20;
    static constexpr int kBorderWidth = 1;
    bool drawsOwnFrame() const { return ownFrame_; }
    // The 246 x 358 area that holds the controls.
    QWidget* clientArea() const { return client_; }

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void buildControls();
    void buildMenu();
    void showChoices();

    Handheld& handheld_;
    TForm1& form_;
    SettingsStore* settings_;
    QWidget* aboutForm_;
    Desktop desktop_;
    bool played_ = false;
    bool ownFrame_;
    QWidget* client_;
};

}  // namespace vorlak
