#include "tools/draw_pictures/icon.h"

#include <QPainter>

#include <array>
#include <climits>

#include "tools/draw_pictures/icon_drawing.h"
#include "tools/draw_pictures/paint_helpers.h"

namespace vorlak::pictures {
namespace {

// Sixteen colours shared by the small icons; entry 0 is transparent.
const std::array<QRgb, 16> kIconPalette{
    qRgba(0, 0, 0, 0),   qRgb(0, 0, 0),       qRgb(255, 255, 255), qRgb(110, 8, 14),
    qRgb(196, 24, 32),   qRgb(236, 84, 84),   qRgb(246, 238, 214), qRgb(232, 210, 140),
    qRgb(168, 204, 124), qRgb(150, 222, 236), qRgb(112, 138, 214), qRgb(176, 190, 208),
    qRgb(60, 60, 66),    qRgb(150, 150, 156), qRgb(222, 36, 40),   qRgb(46, 170, 70),
};

QImage toIconPalette(const QImage& art) {
    QImage out(art.size(), QImage::Format_Indexed8);
    QList<QRgb> table(kIconPalette.begin(), kIconPalette.end());
    out.setColorTable(table);
    for (int y = 0; y < art.height(); ++y)
        for (int x = 0; x < art.width(); ++x) {
            const QRgb c = art.pixel(x, y);
            int best = 0;
            if (qAlpha(c) >= 128) {
                int bestDistance = INT_MAX;
                for (int i = 1; i < 16; ++i) {
                    const int dr = qRed(c) - qRed(kIconPalette[i]), dg = qGreen(c) - qGreen(kIconPalette[i]),
                              db = qBlue(c) - qBlue(kIconPalette[i]);
                    const int d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
                    if (d < bestDistance)
                        bestDistance = d, best = i;
                }
            }
            out.setPixel(x, y, best);
        }
    return out;
}

// The small icons are pixel art: the 16 and 32 pixel ones on a 32-pixel
// grid, the 24 pixel one on its own grid so that its edges stay sharp.
struct SmallIconLayout {
    double grid;
    QRectF body;
    double bodyRadius;
    QRectF shine, bezel, lcd, sky;
    std::array<QPointF, 4> road;
    QRectF rider, crossAcross, crossUp, key;
};

const SmallIconLayout kSmallIcon32{32,
                                   QRectF(5.5, 0.5, 21, 31),
                                   3,
                                   QRectF(24, 3, 1.5, 24),
                                   QRectF(7, 2, 18, 15),
                                   QRectF(9, 4, 14, 11),
                                   QRectF(9, 4, 14, 3),
                                   {QPointF(10, 15), QPointF(20, 15), QPointF(18, 7), QPointF(16, 7)},
                                   QRectF(14, 11, 3, 3),
                                   QRectF(8, 22, 8, 2),
                                   QRectF(11, 19, 2, 8),
                                   QRectF(19, 20, 5, 5)};
const SmallIconLayout kSmallIcon24{24,
                                   QRectF(3.5, 0.5, 17, 23),
                                   2,
                                   QRectF(18, 2, 1, 18),
                                   QRectF(5, 2, 14, 11),
                                   QRectF(6, 3, 12, 9),
                                   QRectF(6, 3, 12, 2),
                                   {QPointF(7, 12), QPointF(17, 12), QPointF(13, 5), QPointF(11, 5)},
                                   QRectF(11, 8, 2, 3),
                                   QRectF(6, 16, 6, 2),
                                   QRectF(8, 14, 2, 6),
                                   QRectF(13.5, 14.5, 5, 5)};

QImage paintSmallIcon(int size) {
    const SmallIconLayout& l = size == 24 ? kSmallIcon24 : kSmallIcon32;
    QImage art(size, size, QImage::Format_ARGB32);
    art.fill(Qt::transparent);
    QPainter p(&art);
    const double s = size / l.grid;
    p.scale(s, s);
    p.setRenderHint(QPainter::Antialiasing, size >= 32);
    p.setPen(QPen(QColor(110, 8, 14), 1));
    p.setBrush(QColor(196, 24, 32));
    QPainterPath body;
    body.addRoundedRect(l.body, l.bodyRadius, l.bodyRadius);
    p.drawPath(body);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(236, 84, 84));
    p.drawRect(l.shine);
    p.setBrush(QColor(246, 238, 214));
    p.drawRect(l.bezel);
    p.setBrush(QColor(168, 204, 124));
    p.drawRect(l.lcd);
    p.setBrush(QColor(176, 190, 208));
    p.drawRect(l.sky);
    p.setBrush(QColor(232, 210, 140));
    p.drawPath(polygonPath({l.road[0], l.road[1], l.road[2], l.road[3]}));
    p.setBrush(Qt::black);
    p.drawRect(l.rider);
    p.setBrush(QColor(150, 222, 236));
    p.drawRect(l.crossAcross);
    p.drawRect(l.crossUp);
    p.drawEllipse(l.key);
    p.end();
    return toIconPalette(art);
}

QImage paintLargeIcon(int size) {
    QImage img(size, size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(static_cast<double>(size) / kIconGrid, static_cast<double>(size) / kIconGrid);
    for (const IconShape& shape : iconDrawing()) {
        if (shape.stroke.isValid())
            p.setPen(QPen(shape.stroke, shape.strokeWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        else
            p.setPen(Qt::NoPen);
        p.setBrush(shape.fill);
        p.drawPath(shape.path);
    }
    p.end();
    return img;
}

constexpr int kLargestSmallIcon = 32;

}  // namespace

QImage paintIcon(int size) { return size <= kLargestSmallIcon ? paintSmallIcon(size) : paintLargeIcon(size); }

}  // namespace vorlak::pictures
