#include "tools/draw_pictures/paint_helpers.h"

#include <algorithm>
#include <cmath>

namespace vorlak::pictures {
namespace {

quint32 hash2(int x, int y, quint32 seed) {
    quint32 h = static_cast<quint32>(x) * 374761393u + static_cast<quint32>(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return h ^ (h >> 16);
}

}  // namespace

double noise(int x, int y, quint32 seed) { return (hash2(x, y, seed) & 0xffff) / 32767.5 - 1.0; }

int clampByte(double v) { return std::clamp(static_cast<int>(std::lround(v)), 0, 255); }

QColor mix(const QColor& a, const QColor& b, double t) {
    return QColor(clampByte(a.red() + (b.red() - a.red()) * t), clampByte(a.green() + (b.green() - a.green()) * t),
                  clampByte(a.blue() + (b.blue() - a.blue()) * t), clampByte(a.alpha() + (b.alpha() - a.alpha()) * t));
}

QFont dejaVu(int pixelSize, bool bold) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

QPainterPath polygonPath(std::initializer_list<QPointF> points) {
    QPainterPath path;
    bool first = true;
    for (const QPointF& pt : points) {
        if (first)
            path.moveTo(pt);
        else
            path.lineTo(pt);
        first = false;
    }
    path.closeSubpath();
    return path;
}

QPainterPath smoothClosedPath(const std::vector<QPointF>& pts) {
    QPainterPath path;
    const int n = static_cast<int>(pts.size());
    path.moveTo(pts[0]);
    for (int i = 0; i < n; ++i) {
        const QPointF& p0 = pts[(i + n - 1) % n];
        const QPointF& p1 = pts[i];
        const QPointF& p2 = pts[(i + 1) % n];
        const QPointF& p3 = pts[(i + 2) % n];
        path.cubicTo(p1 + (p2 - p0) / 6.0, p2 - (p3 - p1) / 6.0, p2);
    }
    return path;
}

QPainterPath smoothOpenPath(const std::vector<QPointF>& pts) {
    QPainterPath path;
    const int n = static_cast<int>(pts.size());
    path.moveTo(pts[0]);
    for (int i = 0; i + 1 < n; ++i) {
        const QPointF& p0 = pts[std::max(i - 1, 0)];
        const QPointF& p1 = pts[i];
        const QPointF& p2 = pts[i + 1];
        const QPointF& p3 = pts[std::min(i + 2, n - 1)];
        path.cubicTo(p1 + (p2 - p0) / 6.0, p2 - (p3 - p1) / 6.0, p2);
    }
    return path;
}

QPainterPath centredText(const QString& text, const QFont& font, QPointF centre) {
    QPainterPath path;
    path.addText(0, 0, font, text);
    const QRectF box = path.boundingRect();
    path.translate(centre - box.center());
    return path;
}

void fillText(QPainter& p, const QString& text, const QFont& font, QPointF centre, double angle, const QColor& c) {
    p.save();
    p.translate(centre);
    p.rotate(angle);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPath(centredText(text, font, QPointF(0, 0)));
    p.restore();
}

}  // namespace vorlak::pictures
