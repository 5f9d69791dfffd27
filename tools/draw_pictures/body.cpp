#include "tools/draw_pictures/body.h"

#include <QLinearGradient>

#include <algorithm>
#include <cmath>

#include "tools/write_outline/console_outline.h"
#include "tools/draw_pictures/paint_helpers.h"

namespace vorlak::pictures {
namespace {

// Pixels outside the window's outline are never seen on screen.
using Band = vorlak::OutlineBand;
constexpr const auto& kOutline = vorlak::kConsoleOutline;

}  // namespace

Outline::Outline() : inside_(kSkinWidth * kSkinHeight, 0) {
    for (const Band& b : kOutline)
        for (int y = b.top; y < b.bottom; ++y)
            for (int x = b.left; x < std::min(b.right, kSkinWidth); ++x)
                inside_[y * kSkinWidth + x] = 1;
}

void paintBody(QImage& img, const Outline& outline) {
    constexpr int kRim = 18;
    std::vector<double> height(kSkinWidth * kSkinHeight, 0.0);
    for (int y = 0; y < kSkinHeight; ++y) {
        for (int x = 0; x < kSkinWidth; ++x) {
            if (!outline.inside(x, y))
                continue;
            double best = kRim;
            for (int dy = -kRim; dy <= kRim; ++dy)
                for (int dx = -kRim; dx <= kRim; ++dx)
                    if (!outline.inside(x + dx, y + dy))
                        best = std::min(best, std::sqrt(double(dx * dx + dy * dy)) - 0.5);
            const double u = 1.0 - best / kRim;
            height[y * kSkinWidth + x] = kRim * std::sqrt(std::max(0.0, 1.0 - u * u));
        }
    }
    // soften the pixel steps of the outline before taking normals
    auto blur = [](std::vector<double>& h) {
        std::vector<double> tmp(h.size());
        for (int y = 0; y < kSkinHeight; ++y)
            for (int x = 0; x < kSkinWidth; ++x) {
                double s = 0;
                for (int d = -2; d <= 2; ++d)
                    s += h[y * kSkinWidth + std::clamp(x + d, 0, kSkinWidth - 1)];
                tmp[y * kSkinWidth + x] = s / 5;
            }
        for (int y = 0; y < kSkinHeight; ++y)
            for (int x = 0; x < kSkinWidth; ++x) {
                double s = 0;
                for (int d = -2; d <= 2; ++d)
                    s += tmp[std::clamp(y + d, 0, kSkinHeight - 1) * kSkinWidth + x];
                h[y * kSkinWidth + x] = s / 5;
            }
    };
    blur(height);
    blur(height);

    const double lx = 0.42, ly = -0.38, lz = 1.0;
    const double ll = std::sqrt(lx * lx + ly * ly + lz * lz);
    const double hx = lx / ll, hy = ly / ll, hz = lz / ll + 1.0;
    const double hl = std::sqrt(hx * hx + hy * hy + hz * hz);

    for (int y = 0; y < kSkinHeight; ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < kSkinWidth; ++x) {
            if (!outline.inside(x, y)) {
                line[x] = kOutsideColour.rgb();
                continue;
            }
            auto h = [&](int xx, int yy) {
                return height[std::clamp(yy, 0, kSkinHeight - 1) * kSkinWidth + std::clamp(xx, 0, kSkinWidth - 1)];
            };
            const double gx = (h(x + 1, y) - h(x - 1, y)) / 2, gy = (h(x, y + 1) - h(x, y - 1)) / 2;
            double nx = -gx, ny = -gy, nz = 1.0;
            const double nl = std::sqrt(nx * nx + ny * ny + nz * nz);
            nx /= nl, ny /= nl, nz /= nl;
            const double diffuse = (nx * lx + ny * ly + nz * lz) / ll / (lz / ll);
            const double specular = std::pow(std::max(0.0, (nx * hx + ny * hy + nz * hz) / hl), 90.0);

            // a faint top-to-bottom falloff and a broad sheen across the face
            const double t = double(y) / kSkinHeight;
            double r = 206 - 22 * t, g = 26 - 8 * t, b = 32 - 8 * t;
            const double sheen = std::exp(-std::pow((x - 0.55 * y - 120) / 150.0, 2)) * 0.06;
            double shade = std::clamp(0.55 + 0.45 * diffuse, 0.35, 1.15) + sheen;
            const double grain = noise(x, y, 1) * 1.6;
            r = r * shade + grain;
            g = g * shade + grain * 0.4;
            b = b * shade + grain * 0.4;

            // the long pale reflection down the right-hand side
            const double stripeX = 447.0 - (y > 600 ? (y - 600) * (y - 600) / 900.0 : 0.0);
            double stripe = std::exp(-std::pow((x - stripeX) / 2.6, 2));
            stripe *= std::clamp((y - 10) / 30.0, 0.0, 1.0) * std::clamp((690 - y) / 80.0, 0.0, 1.0);
            const double light = std::clamp(specular * 0.55 + stripe * 0.62, 0.0, 0.9);
            r += (255 - r) * light;
            g += (236 - g) * light;
            b += (232 - b) * light;
            line[x] = qRgb(clampByte(r), clampByte(g), clampByte(b));
        }
    }
}

void recess(QPainter& p, const QPainterPath& shape, const QColor& floor, double depth) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 170, 160, 70));
    p.drawPath(shape.translated(0, 1.2));
    p.setBrush(floor);
    p.drawPath(shape);
    p.save();
    p.setClipPath(shape, Qt::IntersectClip);
    QPainterPath outer;
    outer.addRect(shape.boundingRect().adjusted(-20, -20, 20, 20));
    p.setBrush(QColor(40, 0, 4, 120));
    p.drawPath(outer.subtracted(shape.translated(depth * 0.3, depth)));
    p.restore();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(70, 4, 8, 140), 1.0));
    p.drawPath(shape);
}

void paintTopLip(QPainter& p) {
    // The lip is a raised band along the top; the two notches in the
    // outline cut through it.
    QLinearGradient g(0, 1, 0, 20);
    g.setColorAt(0.0, QColor(255, 140, 130, 90));
    g.setColorAt(0.35, QColor(255, 120, 110, 20));
    g.setColorAt(0.8, QColor(0, 0, 0, 0));
    g.setColorAt(1.0, QColor(60, 0, 4, 110));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRect(QRectF(0, 1, kSkinWidth, 19));
    p.setPen(QPen(QColor(255, 190, 180, 90), 1));
    p.drawLine(QPointF(20, 21.5), QPointF(445, 21.5));
    for (double x : {41.0, 422.0}) {
        QLinearGradient cut(0, 0, 0, 19);
        cut.setColorAt(0, QColor(40, 0, 4, 200));
        cut.setColorAt(1, QColor(40, 0, 4, 0));
        p.setPen(QPen(QBrush(cut), 1.6));
        p.drawLine(QPointF(x, 2), QPointF(x, 19));
        p.setPen(QPen(QColor(255, 170, 160, 80), 1));
        p.drawLine(QPointF(x + 1.5, 3), QPointF(x + 1.5, 16));
    }
}

}  // namespace vorlak::pictures
