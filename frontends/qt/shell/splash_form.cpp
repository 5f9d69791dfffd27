#include "frontends/qt/shell/splash_form.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QPushButton>
#include <QScreen>
#include <QStyledItemDelegate>
#include <QWindow>

#include "game/console.h"
#include "frontends/qt/window/form1.h"
#include "frontends/qt/window/window_system.h"
#include "frontends/qt/shell/pixel_font.h"
#include "frontends/qt/shell/settings_store.h"
#include "frontends/qt/shell/sound_folder_error.h"

namespace vorlak {
namespace {

const QString kNoSound = QStringLiteral("(no sound)");
const QString kWindowsMM = QStringLiteral("Windows MM");
const QString kDirectSound = QStringLiteral("DirectSound");
const QString kOlderSystems = QStringLiteral("95, 98, ME, NT");
const QString kNewerSystem = QStringLiteral("2000");

template <typename Label>
Label* makeLabel(QWidget* parent, const QString& text, const QRect& place, const QFont& font, const QColor& colour,
                 Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop) {
    auto* label = new Label(text, parent);
    label->setGeometry(place);
    label->setFont(font);
    label->setAlignment(alignment);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    return label;
}

// The lists' entries are 13 pixels high.
class ItemHeightDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return {QStyledItemDelegate::sizeHint(option, index).width(), 13};
    }
};

// The lists drawn plainly: white, a slim grey frame and the arrow at the
// right, the text from two pixels in, so that the longest entry fits the
// list's 97 pixels.
class PlainListStyle : public QProxyStyle {
public:
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl part,
                         const QWidget* widget) const override {
        if (control != CC_ComboBox) return QProxyStyle::subControlRect(control, option, part, widget);
        const QRect r = option->rect;
        switch (part) {
        case SC_ComboBoxArrow:
            return {r.right() - 16, r.top() + 1, 16, r.height() - 2};
        case SC_ComboBoxEditField:
            return {r.left() + 3, r.top() + 1, r.width() - 20, r.height() - 2};
        default:
            return r;
        }
    }
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget) const override {
        if (control != CC_ComboBox) return QProxyStyle::drawComplexControl(control, option, painter, widget);
        painter->fillRect(option->rect, Qt::white);
        painter->setPen(QColor(0x7a, 0x7a, 0x7a));
        painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
        QStyleOption arrow(*option);
        arrow.rect = subControlRect(control, option, SC_ComboBoxArrow, widget);
        drawPrimitive(PE_IndicatorArrowDown, &arrow, painter, widget);
    }
};

QComboBox* makeList(QWidget* parent, const QStringList& entries, const QRect& place, QStyle* style) {
    auto* list = new QComboBox(parent);
    list->addItems(entries);
    list->setGeometry(place);
    list->setFont(pixelFont(FontFace::Arial, 11));
    list->setFocusPolicy(Qt::ClickFocus);  // not reached with the tab key
    list->setItemDelegate(new ItemHeightDelegate(list));
    list->setStyle(style);
    // White with black text; the chosen entry navy in the open list.
    QPalette palette = list->palette();
    palette.setColor(QPalette::Button, Qt::white);
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::ButtonText, Qt::black);
    palette.setColor(QPalette::Text, Qt::black);
    palette.setColor(QPalette::Highlight, QColor(0, 0, 128));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    list->setPalette(palette);
    list->setCurrentIndex(-1);
    return list;
}

// A stored position outside the list, -1 included, chooses nothing.
void choose(QComboBox* list, int position) {
    list->setCurrentIndex(position >= 0 && position < list->count() ? position : -1);
}

void showStandardError(const QString& message) {
    // The standard error box ends a message with a full stop.
    QString text = message;
    if (!text.isEmpty() && !text.endsWith(u'.')) text += u'.';
    QMessageBox box(QMessageBox::Critical, QCoreApplication::applicationName(), text, QMessageBox::Ok);
    box.exec();
}

}  // namespace

void LinkLabel::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    event->accept();
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    const bool clicks = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    pressed_ = false;
    event->accept();
    if (clicks) emit clicked();
}

TSplashForm::Desktop TSplashForm::systemDesktop() {
    Desktop desktop;
    desktop.openUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    desktop.screen = [] {
        const QScreen* screen = QGuiApplication::primaryScreen();
        return screen ? screen->geometry() : QRect(0, 0, 640, 480);
    };
    desktop.showError = showStandardError;
    desktop.reportBrokenSoundFolder = reportBrokenSoundFolder;
    desktop.exitProgram = [](int status) { QCoreApplication::exit(status); };
    return desktop;
}

// A title bar without buttons, from the window system where it draws one.
static Qt::WindowFlags launcherWindowFlags() {
    return compositorPlacesWindows() ? Qt::Window | Qt::FramelessWindowHint
                                     : Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
}

TSplashForm::TSplashForm(Console& console, TForm1& form, Registro* registro, QWidget* aboutForm, Desktop desktop)
    : QWidget(nullptr, launcherWindowFlags()),
      console_(console),
      form_(form),
      registro_(registro),
      aboutForm_(aboutForm),
      desktop_(std::move(desktop)),
      ownFrame_(compositorPlacesWindows()),
      client_(this) {
    setWindowTitle(QStringLiteral("About Vorlak..."));
    if (ownFrame_) {
        setFixedSize(246 + 2 * kBorderWidth, kTitleBarHeight + 358 + kBorderWidth);
        client_ = new QWidget(this);
        client_->setGeometry(kBorderWidth, kTitleBarHeight, 246, 358);
    } else {
        setFixedSize(246, 358);
    }
    setFont(pixelFont(FontFace::MsSansSerif, 11));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::black);
    setPalette(palette);
    setAutoFillBackground(true);

    buildControls();
    buildMenu();

    const QRect screen = desktop_.screen();
    move(screen.left() + (screen.width() - width()) / 2, screen.top() + (screen.height() - height()) / 2);

    FormCreate();
}

void TSplashForm::buildControls() {
    const QColor white(Qt::white);
    const QColor aqua(0, 255, 255);
    const QFont arial11 = pixelFont(FontFace::Arial, 11);
    const QFont arial12Bold = pixelFont(FontFace::Arial, 12, true);
    const QFont arial12Link = pixelFont(FontFace::Arial, 12, false, true);

    La_Title = makeLabel<QLabel>(client_, QStringLiteral("Vorlak Simulator"), {42, 16, 161, 15}, arial12Bold, white,
                                 Qt::AlignHCenter | Qt::AlignTop);
    La_Version = makeLabel<QLabel>(client_, QStringLiteral("Version S3/2.03"), {42, 32, 161, 15}, arial12Bold, white,
                                   Qt::AlignHCenter | Qt::AlignTop);

    Im_Piccina = new QLabel(client_);
    Im_Piccina->setGeometry(80, 56, 86, 136);
    Im_Piccina->setPixmap(QPixmap(QStringLiteral(":/pictures/Im_Piccina.jpg")));

    La_Released = makeLabel<QLabel>(client_, QStringLiteral("Released by _Selvane_ on June 8th, 2001"),
                                    {7, 200, 233, 14}, arial11, white, Qt::AlignHCenter | Qt::AlignTop);
    La_Http = makeLabel<LinkLabel>(client_, QString::fromLatin1(kMakerWebAddress), {30, 220, 187, 15}, arial12Link,
                                   aqua, Qt::AlignHCenter | Qt::AlignTop);
    La_Http->setCursor(Qt::PointingHandCursor);
    connect(La_Http, &LinkLabel::clicked, this, [this] { La_HttpClick(); });
    La_Email = makeLabel<LinkLabel>(client_, QString::fromLatin1(kMakerEmailLink), {21, 242, 204, 15}, arial12Link,
                                    aqua, Qt::AlignHCenter | Qt::AlignTop);
    La_Email->setCursor(Qt::PointingHandCursor);
    connect(La_Email, &LinkLabel::clicked, this, [this] { La_EmailClick(); });

    auto* listStyle = new PlainListStyle;
    listStyle->setParent(this);
    La_Sound = makeLabel<QLabel>(client_, QStringLiteral("Select sound mode:"), {21, 267, 100, 14}, arial11, white);
    CB_Sound = makeList(client_, {kWindowsMM, kDirectSound, kNoSound}, {128, 264, 97, 21}, listStyle);
    connect(CB_Sound, &QComboBox::activated, this, [this] { CB_SoundChange(); });
    La_System = makeLabel<QLabel>(client_, QStringLiteral(" Windows version:"), {21, 295, 100, 14}, arial11, white);
    CB_System = makeList(client_, {kOlderSystems, kNewerSystem}, {128, 292, 97, 21}, listStyle);
    connect(CB_System, &QComboBox::activated, this, [this] { CB_SystemChange(); });

    Puls_Play = new QPushButton(QStringLiteral("- PLAY -"), client_);
    Puls_Play->setGeometry(90, 325, 65, 25);
    Puls_Play->setFont(pixelFont(FontFace::MsSansSerif, 11, true));
    Puls_Play->setCursor(Qt::PointingHandCursor);
    Puls_Play->setFocusPolicy(Qt::ClickFocus);
    connect(Puls_Play, &QPushButton::clicked, this, [this] { Puls_PlayClick(); });
}

void TSplashForm::buildMenu() {
    PM_Menu = new QMenu(this);
    PM_1About = PM_Menu->addAction(QStringLiteral("About..."));
    PM_1About->setShortcut(Qt::Key_F1);
    PM_Menu->setDefaultAction(PM_1About);  // drawn bold
    PM_2N1 = PM_Menu->addSeparator();
    PM_3Readme = PM_Menu->addAction(QStringLiteral("View 'Readme.txt'"));
    PM_3Readme->setShortcut(Qt::Key_F2);
    PM_4Whatsnew = PM_Menu->addAction(QStringLiteral("View 'Whatsnew.txt'"));
    PM_4Whatsnew->setShortcut(Qt::Key_F3);
    PM_5N2 = PM_Menu->addSeparator();
    PN_6Manual = PM_Menu->addAction(QStringLiteral("Open 'Manual.exe'"));
    PN_6Manual->setShortcut(Qt::Key_F4);
    PN_6Manual->setEnabled(false);
    PM_7N3 = PM_Menu->addSeparator();
    PM_8Exit = PM_Menu->addAction(QStringLiteral("E&xit"));
    PM_8Exit->setShortcut(Qt::Key_Escape);

    for (QAction* action : shortcutActions()) action->setShortcutContext(Qt::WindowShortcut);
    connect(PM_1About, &QAction::triggered, this, [this] { PM_1AboutClick(); });
    connect(PM_3Readme, &QAction::triggered, this, [this] { PM_3ReadmeClick(); });
    connect(PM_4Whatsnew, &QAction::triggered, this, [this] { PM_4WhatsnewClick(); });
    connect(PM_8Exit, &QAction::triggered, this, [this] { PM_8ExitClick(); });
}

QList<QAction*> TSplashForm::shortcutActions() const { return {PM_1About, PM_3Readme, PM_4Whatsnew, PN_6Manual, PM_8Exit}; }

void TSplashForm::FormCreate() {
    // A value stored as something other than text ends the handler here:
    // the lists not yet set stay unchosen and play keeps its state.
    try {
        choose(CB_Sound, registro_ ? registro_->readInteger(QStringLiteral("SoundMode"), -1) : -1);
        choose(CB_System, registro_ ? registro_->readInteger(QStringLiteral("System"), -1) : -1);
        if (CB_Sound->currentText().isEmpty()) Puls_Play->setEnabled(false);
        if (CB_System->currentText().isEmpty()) Puls_Play->setEnabled(false);
    } catch (const InvalidDataType& error) {
        if (desktop_.showError) desktop_.showError(QString::fromStdString(error.what()));
    }
}

// Choosing a sound is enough to play: the system then counts as "2000".
void TSplashForm::CB_SoundChange() {
    if (!CB_Sound->currentText().isEmpty()) Puls_Play->setEnabled(true);
}

void TSplashForm::CB_SystemChange() {
    if (!CB_Sound->currentText().isEmpty() && !CB_System->currentText().isEmpty()) Puls_Play->setEnabled(true);
}

void TSplashForm::Puls_PlayClick() {
    // The choices are stored before the sound is opened, so that a failed
    // opening can overwrite them.
    int outputType = FSOUND_OUTPUT_NOSOUND;
    const QString sound = CB_Sound->currentText();
    if (sound == kNoSound) {
        console_.Suono_Pronto = false;
        console_.Suono_On = false;
        if (registro_) registro_->writeInteger(QStringLiteral("SoundMode"), 2);
    } else if (sound == kWindowsMM) {
        console_.Suono_Pronto = true;
        if (registro_) registro_->writeInteger(QStringLiteral("SoundMode"), 0);
        outputType = FSOUND_OUTPUT_WINMM;
    } else if (sound == kDirectSound) {
        console_.Suono_Pronto = true;
        if (registro_) registro_->writeInteger(QStringLiteral("SoundMode"), 1);
        outputType = FSOUND_OUTPUT_DSOUND;
    }
    const bool olderSystem = CB_System->currentText() == kOlderSystems;
    console_.Speaker_On = olderSystem;
    if (registro_) registro_->writeInteger(QStringLiteral("System"), olderSystem ? 0 : 1);

    if (console_.Suono_Pronto && !console_.openSampleBank(outputType)) {
        if (desktop_.reportBrokenSoundFolder) desktop_.reportBrokenSoundFolder(this, [this] { forgetChoices(); });
        return;  // the program is ending
    }

    played_ = true;
    close();  // hidden for good

    // Centred across; down the screen only where the screen is taller than
    // 600. The screen's size and the window's are both in the console's
    // pixels, whatever whole multiple the desktop draws them at.
    const QRect screen = desktop_.screen();
    if (screen.height() > 600) form_.setWindowTop(screen.top() + (screen.height() - form_.height()) / 2);
    form_.setWindowLeft(screen.left() + (screen.width() - form_.width()) / 2);
    form_.showOnScreen();
}

void TSplashForm::forgetChoices() {
    if (!registro_) return;
    registro_->writeInteger(QStringLiteral("SoundMode"), -1);
    registro_->writeInteger(QStringLiteral("System"), -1);
}

void TSplashForm::La_EmailClick() { desktop_.openUrl(QUrl(QString::fromLatin1(kMakerEmailLink))); }
void TSplashForm::La_HttpClick() { desktop_.openUrl(QUrl(QString::fromLatin1(kMakerWebAddress))); }

void TSplashForm::PM_1AboutClick() {
    if (!aboutForm_) return;
    aboutForm_->show();
    aboutForm_->raise();
    aboutForm_->activateWindow();
}

// The side documents lie in the working directory, not beside the program.
void TSplashForm::PM_3ReadmeClick() {
    desktop_.openUrl(QUrl::fromLocalFile(QDir::current().absoluteFilePath(QStringLiteral("readme.txt"))));
}

void TSplashForm::PM_4WhatsnewClick() {
    desktop_.openUrl(QUrl::fromLocalFile(QDir::current().absoluteFilePath(QStringLiteral("whatsnew.txt"))));
}

void TSplashForm::PM_8ExitClick() {
    form_.close();  // its close handler releases the sound
    if (desktop_.exitProgram) desktop_.exitProgram(0);
}

void TSplashForm::paintEvent(QPaintEvent*) {
    if (!ownFrame_) return;  // the background alone, filled black
    QPainter painter(this);
    painter.fillRect(0, 0, width(), kTitleBarHeight, QColor(0x3c, 0x3c, 0x3c));
    painter.setPen(QColor(0x78, 0x78, 0x78));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.setPen(Qt::white);
    painter.setFont(pixelFont(FontFace::Arial, 12, true));
    painter.drawText(QRect(0, 0, width(), kTitleBarHeight), Qt::AlignCenter, windowTitle());
}

// The title bar moves the launcher, by the compositor's own move.
void TSplashForm::mousePressEvent(QMouseEvent* event) {
    if (ownFrame_ && event->button() == Qt::LeftButton && event->position().y() < kTitleBarHeight) {
        if (QWindow* handle = windowHandle()) handle->startSystemMove();
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

// Closing the launcher before play would leave the console out of reach
// off the screen, so it ends the program like Exit.
void TSplashForm::closeEvent(QCloseEvent* event) {
    event->accept();
    if (!played_) PM_8ExitClick();
}

}  // namespace vorlak
