#include "tools/draw_pictures/icon_drawing.h"

#include <utility>

#include "tools/draw_pictures/paint_helpers.h"

namespace vorlak::pictures {
namespace {

QPainterPath roundedRect(const QRectF& r, double radius) {
    QPainterPath path;
    path.addRoundedRect(r, radius, radius);
    return path;
}

QPainterPath rect(const QRectF& r) {
    QPainterPath path;
    path.addRect(r);
    return path;
}

QPainterPath ellipse(QPointF centre, double rx, double ry) {
    QPainterPath path;
    path.addEllipse(centre, rx, ry);
    return path;
}

}  // namespace

std::vector<IconShape> iconDrawing() {
    const QColor bodyRed(196, 24, 32), rimRed(110, 8, 14), shineRed(236, 84, 84), cream(246, 238, 214);
    const QColor lcd(178, 206, 138), sky(176, 190, 208), road(232, 210, 140), ink(24, 24, 28);
    const QColor keyBlue(150, 222, 236), keyRim(40, 70, 110), noStroke;
    std::vector<IconShape> shapes;
    shapes.push_back({roundedRect(QRectF(11, 1, 42, 62), 6), bodyRed, rimRed, 2});
    shapes.push_back({roundedRect(QRectF(47, 6, 3, 50), 1.5), shineRed, noStroke});
    shapes.push_back({roundedRect(QRectF(15, 5, 34, 30), 2.5), cream, rimRed, 1});
    shapes.push_back({rect(QRectF(18.5, 8.5, 27, 23)), lcd, QColor(60, 60, 66), 1});
    shapes.push_back({rect(QRectF(19, 9, 26, 6)), sky, noStroke});
    shapes.push_back({polygonPath({{21, 31}, {43, 31}, {34, 15}, {30, 15}}), road, noStroke});
    // lane lines ahead of the rider
    shapes.push_back({polygonPath({{29.6, 22}, {30.1, 22}, {30.9, 17.5}, {30.6, 17.5}}), ink, noStroke});
    shapes.push_back({polygonPath({{34.4, 22}, {33.9, 22}, {33.1, 17.5}, {33.4, 17.5}}), ink, noStroke});
    // two opponents coming down the side lanes, smaller further away
    for (const auto& [centre, scale] : {std::pair{QPointF(28.9, 19.2), 0.85}, std::pair{QPointF(34.5, 17.2), 0.65}}) {
        shapes.push_back({roundedRect(QRectF(centre.x() - 1.3 * scale, centre.y() - 0.4 * scale, 2.6 * scale,
                                             2.6 * scale),
                                      0.9 * scale),
                          ink, noStroke});
        shapes.push_back({ellipse(centre + QPointF(0, -1.3 * scale), 1.1 * scale, 1.1 * scale), ink, noStroke});
    }
    // the rider from behind: tyre, seat, arms, helmet
    shapes.push_back({roundedRect(QRectF(30.6, 25.5, 2.8, 5), 1.2), ink, noStroke});
    shapes.push_back({polygonPath({{28.5, 26.5}, {35.5, 26.5}, {34.5, 23.5}, {29.5, 23.5}}), ink, noStroke});
    shapes.push_back({polygonPath({{28, 24.5}, {30, 21}, {34, 21}, {36, 24.5}, {34.8, 24.5}, {32, 22.5},
                                   {29.2, 24.5}}),
                      ink, noStroke});
    shapes.push_back({ellipse(QPointF(32, 20), 2.2, 2.2), ink, noStroke});
    // direction cross and START key
    QPainterPath cross = rect(QRectF(16, 44, 15, 5));
    cross.addRect(QRectF(21, 39, 5, 15));
    cross.setFillRule(Qt::WindingFill);  // one outline round both bars
    shapes.push_back({cross.simplified(), keyBlue, keyRim, 1});
    shapes.push_back({ellipse(QPointF(42, 46.5), 5, 5), keyBlue, keyRim, 1});
    shapes.push_back({ellipse(QPointF(40.4, 44.8), 1.6, 1.2), QColor(230, 250, 255), noStroke});
    // ON/OFF, SOUND and ACL
    for (int i = 0; i < 3; ++i)
        shapes.push_back({roundedRect(QRectF(31 + i * 5, 56, 3.5, 2.2), 1.1), keyBlue, keyRim, 0.8});
    return shapes;
}

}  // namespace vorlak::pictures
