#include "tools/draw_pictures/bezel.h"

#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainterPath>
#include <QTransform>

#include <algorithm>
#include <cmath>

#include "tools/draw_pictures/comic_art.h"
#include "tools/draw_pictures/paint_helpers.h"

namespace vorlak::pictures {
namespace {

QPainterPath bezelPath() {
    const QRectF r(40, 45, 381, 289);
    const double small = 4, big = 34;
    QPainterPath path;
    path.moveTo(r.left() + small, r.top());
    path.lineTo(r.right() - small, r.top());
    path.quadTo(r.right(), r.top(), r.right(), r.top() + small);
    path.lineTo(r.right(), r.bottom() - big);
    path.cubicTo(r.right(), r.bottom() - big * 0.45, r.right() - big * 0.45, r.bottom(), r.right() - big, r.bottom());
    path.lineTo(r.left() + small, r.bottom());
    path.quadTo(r.left(), r.bottom(), r.left(), r.bottom() - small);
    path.lineTo(r.left(), r.top() + small);
    path.quadTo(r.left(), r.top(), r.left() + small, r.top());
    path.closeSubpath();
    return path;
}

const QRect kLcdArea(120, 99, 214, 159);  // the backdrop; a thin frame surrounds it

void paintTitle(QPainter& p) {
    QFont font = dejaVu(100, true);
    QPainterPath text;
    text.addText(0, 0, font, QStringLiteral("Vorlak"));
    // lean the letters forward, then stretch them into the title band
    QTransform shear;
    shear.shear(-0.18, 0);
    text = shear.map(text);
    const QRectF box = text.boundingRect();
    const QRectF target(64, 273, 282, 40);
    QTransform fit;
    fit.translate(target.left(), target.top());
    fit.scale(target.width() / box.width(), target.height() / box.height());
    fit.translate(-box.left(), -box.top());
    text = fit.map(text);

    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0, 0, 0, 90), 11, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(text.translated(3, 3));
    p.setPen(QPen(QColor(20, 20, 24), 11, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(text);
    p.setPen(QPen(QColor(250, 248, 240), 7.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(text);
    // rounded letter bodies: fill plus a stroke of the same grey with round joins
    QLinearGradient grey(0, target.top(), 0, target.bottom());
    grey.setColorAt(0, QColor(118, 120, 128));
    grey.setColorAt(0.45, QColor(84, 86, 94));
    grey.setColorAt(1, QColor(58, 60, 66));
    p.setPen(QPen(QBrush(grey), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(grey);
    p.drawPath(text);
    p.save();
    p.setClipPath(text, Qt::IntersectClip);
    p.setPen(QPen(QColor(255, 255, 255, 90), 2.5));
    p.setBrush(Qt::NoBrush);
    p.drawPath(text.translated(1.5, 2.5));
    p.restore();
}

void paintBezelArt(QPainter& p) {
    const QColor cream(246, 240, 222);
    const QColor swirlBlue(132, 150, 180);
    p.fillRect(QRectF(30, 40, 400, 300), cream);

    // halftone wash in the corners, as printed comics have
    for (int y = 45; y < 336; y += 5)
        for (int x = 40; x < 422; x += 5) {
            const double dx = (x - 40) / 381.0, dy = (y - 45) / 289.0;
            const double w = std::max(0.0, 1.0 - std::hypot(dx - 1.0, dy - 0.0) * 1.4) +
                             std::max(0.0, 1.0 - std::hypot(dx - 0.0, dy - 1.0) * 1.6);
            if (w <= 0.02)
                continue;
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(238, 190, 150));
            const double r = std::min(2.2, w * 2.4);
            p.drawEllipse(QPointF(x + ((y / 5) % 2) * 2.5, y), r, r);
        }

    swirl(p, QPointF(92, 84), 4, 36, 1.3, 0.5, 6, swirlBlue);
    swirl(p, QPointF(372, 78), 3, 30, 1.2, 2.0, 5, swirlBlue);
    swirl(p, QPointF(100, 292), 4, 40, 1.1, 3.4, 6, swirlBlue);
    swirl(p, QPointF(388, 300), 3, 26, 1.25, 1.0, 5, swirlBlue);
    swirl(p, QPointF(240, 72), 3, 22, 1.0, 4.0, 4, mix(swirlBlue, QColor(246, 240, 222), 0.35));
    swirl(p, QPointF(200, 322), 2, 20, 1.1, 0.2, 4, mix(swirlBlue, QColor(246, 240, 222), 0.35));
    p.setPen(QPen(swirlBlue, 4, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(smoothOpenPath({{44, 150}, {70, 132}, {98, 140}, {118, 120}}));
    p.drawPath(smoothOpenPath({{338, 270}, {360, 250}, {392, 258}, {420, 236}}));

    // green racer at the left edge, banking into a right-hand bend
    const Team green{QColor(46, 170, 70), QColor(24, 118, 48), QColor(60, 190, 90), QColor(30, 130, 60),
                     QColor(250, 214, 40), QColor(30, 120, 50), "7"};
    speedLines(p, QPointF(44, 246), QPointF(0.25, 1.0), 4, 9, 30, swirlBlue);
    p.save();
    p.translate(68, 302);
    p.rotate(5);
    p.scale(0.9, 0.9);
    frontRider(p, green, false);
    p.restore();

    // red racer flat out across the top
    speedLines(p, QPointF(186, 62), QPointF(-1.0, 0.04), 4, 8, 46, swirlBlue);
    p.save();
    p.translate(246, 108);
    p.rotate(-3);
    p.scale(0.53, 0.53);
    sideRider(p, kRedTeam);
    p.restore();

    // purple and blue racer with a white helmet at the right
    const Team purple{QColor(128, 64, 170), QColor(84, 40, 128), QColor(52, 84, 190), QColor(30, 52, 140),
                      QColor(252, 252, 252), QColor(52, 84, 190), "3"};
    speedLines(p, QPointF(404, 250), QPointF(-0.1, 1.0), 3, -9, 26, swirlBlue);
    p.save();
    p.translate(368, 266);
    p.rotate(9);
    p.scale(0.8, 0.8);
    frontRider(p, purple, false);
    p.restore();

    paintTitle(p);
}

void paintLcdBackdrop(QPainter& p) {
    QImage lcd(kLcdArea.size(), QImage::Format_RGB32);
    {
        QPainter q(&lcd);
        q.setRenderHint(QPainter::Antialiasing);
        q.translate(-kLcdArea.topLeft());
        const QColor grass(176, 208, 134), farGrass(196, 216, 156), sand(236, 214, 150), band(176, 190, 208);
        QLinearGradient field(0, 130, 0, 258);
        field.setColorAt(0, farGrass);
        field.setColorAt(1, grass);
        q.fillRect(kLcdArea, field);

        // the road: wide at the bottom, bending up and away to the right
        QPainterPath road = smoothOpenPath({{106, 262}, {134, 240}, {153, 216}, {174, 193}, {198, 172}, {216, 158},
                                            {240, 143}, {258, 135}});
        road.lineTo(270, 134.5);
        road.connectPath(
            smoothOpenPath({{276, 137}, {274, 160}, {271, 184}, {272, 204}, {278, 225}, {288, 248}, {294, 262}}));
        road.closeSubpath();
        QLinearGradient sandShade(0, 134, 0, 258);
        sandShade.setColorAt(0, QColor(240, 224, 170));
        sandShade.setColorAt(1, sand);
        q.setPen(Qt::NoPen);
        q.setBrush(sandShade);
        q.drawPath(road);
        q.setBrush(Qt::NoBrush);
        q.setPen(QPen(QColor(200, 176, 110), 1.2));
        q.drawPath(road);

        // grey-blue band across the top, with a soft horizon
        QLinearGradient sky(0, 99, 0, 134);
        sky.setColorAt(0, band);
        sky.setColorAt(0.85, mix(band, farGrass, 0.25));
        sky.setColorAt(1, mix(band, farGrass, 0.6));
        q.setPen(Qt::NoPen);
        q.setBrush(sky);
        q.drawRect(QRectF(kLcdArea.left(), kLcdArea.top(), kLcdArea.width(), 35));
        q.setPen(QPen(QColor(150, 168, 190), 1));
        q.drawPath(smoothOpenPath({{120, 132}, {160, 126}, {200, 130}, {240, 127}, {290, 131}, {334, 126}}));
    }
    // fine LCD dot matrix and a faint glare across the glass
    for (int y = 0; y < lcd.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(lcd.scanLine(y));
        for (int x = 0; x < lcd.width(); ++x) {
            double f = (x % 3 == 2 || y % 3 == 2) ? 0.93 : 1.0;
            f += 0.05 * std::exp(-std::pow((x + y * 0.8 - 60) / 40.0, 2));
            const QRgb c = line[x];
            line[x] = qRgb(clampByte(qRed(c) * f), clampByte(qGreen(c) * f), clampByte(qBlue(c) * f));
        }
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(34, 34, 40));
    p.drawRect(kLcdArea.adjusted(-3, -3, 3, 3));
    p.setBrush(QColor(140, 140, 146));
    p.drawRect(QRectF(kLcdArea).adjusted(-1, -1, 1, 1));
    p.drawImage(kLcdArea.topLeft(), lcd);
    // the glass sits a little below the frame: a thin shadow along the top and left
    QLinearGradient top(0, kLcdArea.top(), 0, kLcdArea.top() + 3);
    top.setColorAt(0, QColor(0, 0, 0, 70));
    top.setColorAt(1, QColor(0, 0, 0, 0));
    p.fillRect(QRect(kLcdArea.left(), kLcdArea.top(), kLcdArea.width(), 3), top);
    QLinearGradient left(kLcdArea.left(), 0, kLcdArea.left() + 2, 0);
    left.setColorAt(0, QColor(0, 0, 0, 50));
    left.setColorAt(1, QColor(0, 0, 0, 0));
    p.fillRect(QRect(kLcdArea.left(), kLcdArea.top(), 2, kLcdArea.height()), left);
}

}  // namespace

void paintBezel(QPainter& p) {
    const QPainterPath bezel = bezelPath();
    // the panel sits in a shallow groove of the body
    p.setPen(QPen(QColor(90, 6, 12), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(bezel);
    p.setPen(QPen(QColor(255, 170, 160, 90), 1.2));
    p.drawPath(bezel.translated(0.8, 2.2));
    p.save();
    p.setClipPath(bezel);
    paintBezelArt(p);
    paintLcdBackdrop(p);
    // a soft shadow where the panel meets the rim above it
    QLinearGradient topShadow(0, 45, 0, 52);
    topShadow.setColorAt(0, QColor(60, 20, 10, 90));
    topShadow.setColorAt(1, QColor(60, 20, 10, 0));
    p.fillRect(QRectF(40, 45, 381, 7), topShadow);
    p.restore();
    p.setPen(QPen(QColor(40, 10, 10, 200), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawPath(bezel);
}

}  // namespace vorlak::pictures
