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
#include <QTimer>
#include <QWindow>
#include <array>
#include <string_view>

#include "game/handheld.h"
#include "frontends/qt/window/form1.h"
#include "frontends/qt/window/window_system.h"
#include "frontends/qt/shell/pixel_font.h"
#include "frontends/qt/shell/settings_store.h"
#include "frontends/qt/shell/sound_folder_error.h"

namespace vorlak {
namespace {

template <std::size_t N>
QStringList entries(const std::array<std::string_view, N>& list) {
    QStringList out;
    for (std::string_view entry : list) out << QString::fromLatin1(entry.data(), static_cast<qsizetype>(entry.size()));
    return out;
}

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
    // The area windows may take: without the desktop's panels, where it
    // names them, so that the console is centred where all of it is seen.
    desktop.screen = [] {
        const QScreen* screen = QGuiApplication::primaryScreen();
        return screen ? screen->availableGeometry() : QRect(0, 0, 640, 480);
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

TSplashForm::TSplashForm(Handheld& handheld, TForm1& form, SettingsStore* settings, QWidget* aboutForm,
                         Desktop desktop)
    : QWidget(nullptr, launcherWindowFlags()),
      handheld_(handheld),
      form_(form),
      settings_(settings),
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
    CB_Sound = makeList(client_, entries(kSoundEntries), {128, 264, 97, 21}, listStyle);
    connect(CB_Sound, &QComboBox::activated, this, [this] { CB_SoundChange(); });
    La_System = makeLabel<QLabel>(client_, QStringLiteral(" Windows version:"), {21, 295, 100, 14}, arial11, white);
    CB_System = makeList(client_, entries(kSystemEntries), {128, 292, 97, 21}, listStyle);
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
    const std::optional<std::string> error = handheld_.startLauncher(settings_);
    showChoices();
    if (error && desktop_.showError) desktop_.showError(QString::fromStdString(*error));
}

// The lists and the button as the launcher's rules have them.
void TSplashForm::showChoices() {
    CB_Sound->setCurrentIndex(handheld_.launcher().soundChoice());
    CB_System->setCurrentIndex(handheld_.launcher().systemChoice());
    Puls_Play->setEnabled(handheld_.launcher().playEnabled());
}

void TSplashForm::CB_SoundChange() {
    handheld_.chooseSound(CB_Sound->currentIndex());
    showChoices();
}

void TSplashForm::CB_SystemChange() {
    handheld_.chooseSystem(CB_System->currentIndex());
    showChoices();
}

void TSplashForm::Puls_PlayClick() {
    // The screen's size and the window's are both in the console's pixels,
    // whatever whole multiple the desktop draws them at.
    const QRect screen = desktop_.screen();
    const PlayOutcome outcome = handheld_.play({screen.left(), screen.top(), screen.width(), screen.height()});
    if (outcome.next == PlayOutcome::Next::BrokenSoundFolder) {
        if (desktop_.reportBrokenSoundFolder)
            desktop_.reportBrokenSoundFolder(this, [this] { handheld_.forgetChoices(); });
        return;  // the program is ending
    }
    if (!outcome.soundProblem.empty() && desktop_.showError)
        desktop_.showError(QString::fromStdString(outcome.soundProblem));

    played_ = true;
    close();  // hidden for good
    // Its native window and backing store go too, once this click has been
    // handled (the window is still delivering it) and before the console's
    // first paint: nothing of the launcher is drawn again.
    QMetaObject::invokeMethod(this, [this] { destroy(); }, Qt::QueuedConnection);
    if (outcome.place.top) form_.move(form_.x(), *outcome.place.top);
    form_.move(outcome.place.left, form_.y());
    form_.showOnScreen();
}

void TSplashForm::La_EmailClick() { desktop_.openUrl(QUrl(QString::fromLatin1(kMakerEmailLink))); }
void TSplashForm::La_HttpClick() { desktop_.openUrl(QUrl(QString::fromLatin1(kMakerWebAddress))); }

// Shown again however it was left: closed, behind other windows or minimised.
void TSplashForm::PM_1AboutClick() {
    if (!aboutForm_) return;
    aboutForm_->setWindowState(aboutForm_->windowState() & ~Qt::WindowMinimized);
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

// Window managers may offer to minimise the launcher whatever its hints say
// (openbox keeps its minimise button), and before play nothing else of the
// program is on the screen to bring it back from: it comes straight back.
void TSplashForm::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || played_ || !(windowState() & Qt::WindowMinimized)) return;
    QTimer::singleShot(0, this, [this] {
        if (played_ || !isVisible()) return;
        setWindowState(windowState() & ~Qt::WindowMinimized);
        show();
        raise();
        activateWindow();
    });
}

// Closing the launcher before play would leave the console out of reach
// off the screen, so it ends the program like Exit.
void TSplashForm::closeEvent(QCloseEvent* event) {
    event->accept();
    if (!played_) PM_8ExitClick();
}

}  // namespace vorlak
