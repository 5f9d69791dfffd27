#include "tools/draw_pictures/launcher_pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

#include <cmath>

#include "tools/draw_pictures/comic_art.h"
#include "tools/draw_pictures/paint_helpers.h"
#include "tools/draw_pictures/skin.h"

namespace vorlak::pictures {

QImage paintLauncherPicture(const QImage& atRest) {
    QImage img(86, 136, QImage::Format_RGB32);
    img.fill(Qt::black);
    const QImage small = atRest.scaled(img.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QPainter p(&img);
    p.drawImage((img.width() - small.width()) / 2, (img.height() - small.height()) / 2, small);
    return img;
}

QImage paintPhotoStrip(const QImage& atRest) {
    QImage img(252, 84, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);

    QLinearGradient wall(0, 0, 0, 60);
    wall.setColorAt(0, QColor(44, 54, 74));
    wall.setColorAt(1, QColor(72, 82, 100));
    p.fillRect(img.rect(), wall);
    QRadialGradient lamp(QPointF(150, 20), 140);
    lamp.setColorAt(0, QColor(255, 230, 170, 90));
    lamp.setColorAt(1, QColor(255, 230, 170, 0));
    p.fillRect(img.rect(), lamp);

    // chequered flag pinned to the wall
    p.save();
    p.translate(70, 6);
    p.rotate(-8);
    for (int row = 0; row < 5; ++row)
        for (int col = 0; col < 8; ++col) {
            const double wave = std::sin(col * 0.8) * 2.0;
            p.fillRect(QRectF(col * 5, row * 5 + wave, 5, 5), (row + col) % 2 ? QColor(20, 20, 22) : QColor(236, 236, 230));
        }
    p.setPen(QPen(QColor(160, 130, 80), 2));
    p.drawLine(QPointF(-1, -2), QPointF(-1, 36));
    p.restore();

    // framed poster of a racer
    const QRectF poster(128, 6, 74, 46);
    p.fillRect(poster.adjusted(-3, -3, 3, 3), QColor(30, 24, 20));
    QLinearGradient sky(0, poster.top(), 0, poster.bottom());
    sky.setColorAt(0, QColor(250, 210, 90));
    sky.setColorAt(1, QColor(240, 140, 60));
    p.fillRect(poster, sky);
    p.save();
    p.setClipRect(poster);
    p.setPen(QPen(QColor(255, 245, 210), 1.5));
    for (int i = 0; i < 7; ++i)
        p.drawLine(QPointF(poster.left() + 2, poster.top() + 8 + i * 5), QPointF(poster.left() + 18 + (i % 3) * 6, poster.top() + 8 + i * 5));
    p.translate(170, 49);
    p.rotate(-10);
    p.scale(0.3, 0.3);
    sideRider(p, kRedTeam);
    p.restore();

    // the bench
    QLinearGradient bench(0, 58, 0, 84);
    bench.setColorAt(0, QColor(150, 98, 56));
    bench.setColorAt(1, QColor(96, 58, 30));
    p.fillRect(QRectF(0, 58, 252, 26), bench);
    p.setPen(QPen(QColor(120, 74, 40), 1));
    for (int i = 0; i < 5; ++i)
        p.drawLine(QPointF(0, 62 + i * 5 + (i % 2)), QPointF(252, 61 + i * 5));
    p.setPen(QPen(QColor(200, 150, 100), 1));
    p.drawLine(QPointF(0, 58.5), QPointF(252, 58.5));

    // the console propped against the wall
    const QImage small = atRest.scaled(44, 70, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QImage withAlpha = small.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < withAlpha.height(); ++y)
        for (int x = 0; x < withAlpha.width(); ++x)
            if (qGray(withAlpha.pixel(x, y)) < 8)
                withAlpha.setPixel(x, y, qRgba(0, 0, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 90));
    p.drawEllipse(QPointF(36, 75), 26, 4);
    p.drawImage(QPointF(14, 8), withAlpha);

    // trophy cup on the bench
    const QColor gold(230, 186, 60);
    inked(p, polygonPath({{222, 74}, {238, 74}, {236, 70}, {224, 70}}), QColor(90, 60, 30), 1);
    inked(p, polygonPath({{228, 70}, {232, 70}, {231, 60}, {229, 60}}), gold, 1);
    inked(p, smoothClosedPath({{220, 38}, {240, 38}, {238, 52}, {230, 60}, {222, 52}}), gold, 1);
    p.setPen(QPen(gold.darker(130), 2));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(214, 40, 10, 10), 90 * 16, 180 * 16);
    p.drawArc(QRectF(236, 40, 10, 10), -90 * 16, 180 * 16);
    p.setPen(QPen(QColor(255, 250, 210, 200), 1.5));
    p.drawLine(QPointF(224, 42), QPointF(226, 52));

    // a spare key cap and a screwdriver on the bench
    p.setPen(QPen(QColor(60, 60, 64), 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(94, 74), QPointF(118, 68));
    inked(p, smoothClosedPath({{114, 66}, {128, 63}, {130, 68}, {116, 71}}), QColor(230, 180, 40), 1);
    inkedEllipse(p, QPointF(160, 72), 6, 3.5, keyFace(KeyTone::Dark), 1);
    p.end();
    return img;
}

}  // namespace vorlak::pictures
