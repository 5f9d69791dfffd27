#include "tools/draw_pictures/controls.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

#include "tools/draw_pictures/body.h"
#include "tools/draw_pictures/paint_helpers.h"

namespace vorlak::pictures {
namespace {

const QColor kPadBlue(146, 214, 236);
const QColor kPrintInk(48, 10, 14);
const std::array<const char*, kSmallKeyCount> kSmallKeyLabels{"ON/OFF", "SOUND", "ACL"};
constexpr double kSmallKeyTilt = -25.0;  // degrees; keys and labels lean as one group

// A domed key face with a soft glint; tone picks the released or pressed look.
void keyDome(QPainter& p, const QPainterPath& face, const QRectF& box, const QColor& colour) {
    QRadialGradient g(box.center() + QPointF(-box.width() * 0.18, -box.height() * 0.22), box.width() * 0.75);
    g.setColorAt(0, mix(colour, Qt::white, 0.35));
    g.setColorAt(0.55, colour);
    g.setColorAt(1, mix(colour, QColor(10, 20, 60), 0.35));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 0, 4, 120));
    p.drawPath(face.translated(1, 2.5));
    p.setBrush(g);
    p.drawPath(face);
    p.setPen(QPen(mix(colour, QColor(10, 20, 50), 0.6), 0.9));
    p.setBrush(Qt::NoBrush);
    p.drawPath(face);
}

}  // namespace

void paintDirectionPad(QPainter& p) {
    const QPointF centre(112, 439.5);
    QPainterPath well;
    well.addEllipse(centre, 62.5, 62.5);
    recess(p, well, QColor(168, 14, 22), 4);

    QPainterPath vertical, horizontal;
    vertical.addRoundedRect(QRectF(96.5, 386, 31, 107), 5, 5);
    horizontal.addRoundedRect(QRectF(59, 424, 106, 31), 5, 5);
    const QPainterPath cross = vertical.united(horizontal).simplified();

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 0, 4, 110));
    p.drawPath(cross.translated(1.5, 3));
    QLinearGradient face(59, 386, 165, 493);
    face.setColorAt(0, mix(kPadBlue, Qt::white, 0.25));
    face.setColorAt(1, mix(kPadBlue, QColor(40, 90, 130), 0.2));
    p.setBrush(face);
    p.drawPath(cross);
    p.save();
    p.setClipPath(cross, Qt::IntersectClip);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 150), 2));
    p.drawPath(cross.translated(1, 1.5));
    p.setPen(QPen(QColor(20, 60, 90, 120), 2));
    p.drawPath(cross.translated(-1, -1.5));
    p.restore();
    p.setPen(QPen(QColor(30, 60, 80, 200), 0.9));
    p.setBrush(Qt::NoBrush);
    p.drawPath(cross);

    // an embossed arrow on each arm, a dimple in the middle
    const QColor arrow(70, 128, 168);
    for (int i = 0; i < 4; ++i) {
        p.save();
        p.translate(centre);
        p.rotate(i * 90);
        const QPainterPath tri = polygonPath({{0, -47}, {-7, -38}, {7, -38}});
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 120));
        p.drawPath(tri.translated(0, 0.8));
        p.setBrush(arrow);
        p.drawPath(tri);
        p.restore();
    }
    QRadialGradient dimple(centre + QPointF(1, 1.5), 5);
    dimple.setColorAt(0, mix(kPadBlue, Qt::white, 0.3));
    dimple.setColorAt(1, QColor(70, 128, 168));
    p.setPen(Qt::NoPen);
    p.setBrush(dimple);
    p.drawEllipse(centre, 4.5, 4.5);

    const QFont font = dejaVu(8, true);
    fillText(p, QStringLiteral("ACC"), font, QPointF(112, 370), 0, kPrintInk);
    fillText(p, QStringLiteral("BRAKE"), font, QPointF(112, 510), 0, kPrintInk);
    fillText(p, QStringLiteral("LEFT"), font, QPointF(42, 440), -90, kPrintInk);
    fillText(p, QStringLiteral("RIGHT"), font, QPointF(182, 440), 90, kPrintInk);
}

void paintSpeakerGrille(QPainter& p) {
    for (int top : {359, 373, 389}) {
        QPainterPath slot;
        slot.addRoundedRect(QRectF(219, top, 81, 7), 3.5, 3.5);
        recess(p, slot, QColor(36, 4, 8), 4);
    }
}

void paintStartKey(QPainter& p, KeyTone tone) {
    const QPointF centre(377.5, 429.5);
    QPainterPath well;
    well.addEllipse(centre, 35.5, 35.5);
    recess(p, well, QColor(160, 12, 20), 4);
    QPainterPath face;
    face.addEllipse(centre, 30, 30);
    keyDome(p, face, face.boundingRect(), keyFace(tone));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 110));
    p.drawEllipse(centre + QPointF(-11, -13), 9, 5.5);
    fillText(p, QStringLiteral("START"), dejaVu(9, true), QPointF(377.5, 476), 0, kPrintInk);
}

void paintSmallKeys(QPainter& p, KeyTone tone) {
    for (int i = 0; i < kSmallKeyCount; ++i) {
        const QRect place = kKeyPictures[i].rect;
        const QPointF centre(place.left() + place.width() / 2.0, place.top() + place.height() / 2.0);
        p.save();
        p.translate(centre);
        p.rotate(kSmallKeyTilt);
        QPainterPath well;
        well.addRoundedRect(QRectF(-12, -16, 24, 32), 12, 12);
        recess(p, well, QColor(160, 12, 20), 3);
        QPainterPath face;
        face.addRoundedRect(QRectF(-9, -13, 18, 26), 9, 9);
        keyDome(p, face, face.boundingRect(), keyFace(tone));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 110));
        p.drawEllipse(QPointF(-3, -6), 3, 4.5);
        fillText(p, QString::fromLatin1(kSmallKeyLabels[i]), dejaVu(7, true), QPointF(0, 27), 0, kPrintInk);
        p.restore();
    }
}

void paintGrooves(QPainter& p) {
    const QPointF along(std::cos(50 * kPi / 180), std::sin(50 * kPi / 180));
    for (int i = 0; i < 6; ++i) {
        const QPointF start(319 + i * 12.6, 668 - i * 9.0);
        const QPointF end = start + along * 55;
        p.setPen(QPen(QColor(255, 170, 160, 80), 5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(start + QPointF(0.6, 1.4), end + QPointF(0.6, 1.4));
        p.setPen(QPen(QColor(120, 8, 14), 4.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(start, end);
        p.setPen(QPen(QColor(60, 0, 6, 160), 1.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(start + QPointF(-0.9, -0.9), end + QPointF(-0.9, -0.9));
    }
}

}  // namespace vorlak::pictures
