#include "frontends/qt/shell/about_form.h"

#include <QPainter>

#include "frontends/qt/shell/pixel_font.h"

namespace vorlak {
namespace {

QLabel* makeLabel(QWidget* parent, const QString& text, const QRect& place, bool bold, const QColor& colour,
                  Qt::Alignment alignment) {
    auto* label = new QLabel(text, parent);
    label->setFont(pixelFont(FontFace::Arial, 11, bold));
    label->setGeometry(place);
    label->setAlignment(alignment | Qt::AlignVCenter);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    label->setAutoFillBackground(false);  // transparent over the black window
    return label;
}

}  // namespace

void RaisedBevel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int right = width() - 1;
    const int bottom = height() - 1;
    painter.setPen(palette().color(QPalette::Light));
    painter.drawLine(0, 0, right, 0);
    painter.drawLine(0, 0, 0, bottom);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawLine(right, 0, right, bottom);
    painter.drawLine(0, bottom, right, bottom);
}

TAboutForm::TAboutForm()
    : QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setWindowTitle(QStringLiteral("About the author..."));
    setFixedSize(275, 224);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::black);
    setPalette(palette);
    setAutoFillBackground(true);
    move(0, 0);

    Bevel_Foto = new RaisedBevel(this);
    Bevel_Foto->setGeometry(9, 9, 256, 84);
    Im_Foto = new QLabel(this);
    Im_Foto->setGeometry(9, 9, 252, 84);
    Im_Foto->setPixmap(QPixmap(QStringLiteral(":/pictures/Im_Foto.jpg")));

    // Captions from the left, values ending at x = 261.
    const QColor silver(192, 192, 192);
    const QColor white(Qt::white);
    struct Row {
        QLabel** caption;
        QLabel** value;
        const char* captionText;
        const char* valueText;
    };
    const Row rows[] = {
        {&La_Name1, &La_Name2, "My real name:", "Ivo Selvane"},
        {&La_Place1, &La_Place2, "My birthplace:", "Exampleton"},
        {&La_Date1, &La_Date2, "My birth date:", "April 1st, 1975"},
        {&La_Occupation1, &La_Occupation2, "My current occupation:", "Software tinkerer"},
        {&La_Hobby1, &La_Hobby2, "My hobby:", "Pocket LCD games"},
    };
    int top = 104;
    for (const Row& row : rows) {
        *row.caption = makeLabel(this, QString::fromLatin1(row.captionText), {13, top, 130, 14}, false, silver,
                                 Qt::AlignLeft);
        *row.value = makeLabel(this, QString::fromLatin1(row.valueText), {141, top, 120, 14}, true, white,
                               Qt::AlignRight);
        top += 24;
    }
}

}  // namespace vorlak
