// Paints the console's colour pictures: the skin, the four key pictures cut
// from it, the launcher's small console, the about window's photo strip and
// the application icon in every size the desktop asks for, and as SVG.
// Everything is drawn from code so the output is the same on every run; the
// results are committed under assets/.
//
//   draw_pictures <assets directory>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <vector>

#include "shell/console_outline.h"
#include "tools/draw_pictures/comic_art.h"
#include "tools/draw_pictures/paint_helpers.h"

namespace vorlak::pictures {
namespace {

constexpr int kSkinWidth = 461;
constexpr int kSkinHeight = 738;

// Pixels outside the window's outline are never seen on screen.
using Band = vorlak::OutlineBand;
constexpr const auto& kOutline = vorlak::kConsoleOutline;

const QColor kOutsideColour(30, 30, 32);

// Key faces: the skin shows them light cyan, the key pictures a darker,
// more violet blue, so hiding a key picture makes the key look pressed.
enum class KeyTone { Light, Dark };

QColor keyFace(KeyTone tone) { return tone == KeyTone::Light ? QColor(150, 222, 236) : QColor(124, 166, 228); }
const QColor kPadBlue(146, 214, 236);
const QColor kPrintInk(48, 10, 14);

struct KeyPlace {
    const char* file;
    QRect rect;
};
constexpr int kSmallKeyCount = 3;
const std::array<KeyPlace, 4> kKeyPictures{{
    {"Im_OnOff.jpg", QRect(195, 475, 34, 38)},
    {"Im_Sound.jpg", QRect(240, 475, 34, 38)},
    {"Im_ACL.jpg", QRect(288, 475, 34, 38)},
    {"Im_Start.jpg", QRect(338, 392, 79, 75)},
}};
const std::array<const char*, kSmallKeyCount> kSmallKeyLabels{"ON/OFF", "SOUND", "ACL"};
constexpr double kSmallKeyTilt = -25.0;  // degrees; keys and labels lean as one group

// --- the plastic body ------------------------------------------------------

class Outline {
public:
    Outline() : inside_(kSkinWidth * kSkinHeight, 0) {
        for (const Band& b : kOutline)
            for (int y = b.top; y < b.bottom; ++y)
                for (int x = b.left; x < std::min(b.right, kSkinWidth); ++x)
                    inside_[y * kSkinWidth + x] = 1;
    }
    bool inside(int x, int y) const {
        return x >= 0 && y >= 0 && x < kSkinWidth && y < kSkinHeight && inside_[y * kSkinWidth + x];
    }

private:
    std::vector<unsigned char> inside_;
};

// The body's surface rolls off over its outer rim; shading follows the
// normals of that rim, lit from the upper right, so the outline's corners,
// notches and broad lower corner all get a matching rounded edge.
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

// A moulded recess: darker floor, shadow under the upper rim, a lit lower lip.
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

// --- screen bezel --------------------------------------------------------

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

// --- controls ----------------------------------------------------------------

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

QImage paintConsole(KeyTone tone) {
    static const Outline outline;
    QImage img(kSkinWidth, kSkinHeight, QImage::Format_RGB32);
    paintBody(img, outline);

    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    paintTopLip(p);
    paintBezel(p);
    paintDirectionPad(p);
    paintSpeakerGrille(p);
    paintStartKey(p, tone);
    paintSmallKeys(p, tone);
    paintGrooves(p);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    QPainterPath code;
    code.addText(24, 708, dejaVu(10, true), QStringLiteral("VK-03"));
    p.drawPath(code);
    p.end();

    // nothing may show outside the outline
    for (int y = 0; y < kSkinHeight; ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < kSkinWidth; ++x)
            if (!outline.inside(x, y))
                line[x] = kOutsideColour.rgb();
    }
    return img;
}

// The console as it looks at rest (keys up), outside the outline black.
QImage consoleAtRest(const QImage& skin, const QImage& keys) {
    QImage img = skin.copy();
    QPainter p(&img);
    for (const KeyPlace& key : kKeyPictures)
        p.drawImage(key.rect.topLeft(), keys, key.rect);
    p.end();
    static const Outline outline;
    for (int y = 0; y < kSkinHeight; ++y)
        for (int x = 0; x < kSkinWidth; ++x)
            if (!outline.inside(x, y))
                img.setPixel(x, y, qRgb(0, 0, 0));
    return img;
}

QImage paintLauncherPicture(const QImage& atRest) {
    QImage img(86, 136, QImage::Format_RGB32);
    img.fill(Qt::black);
    const QImage small = atRest.scaled(img.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QPainter p(&img);
    p.drawImage((img.width() - small.width()) / 2, (img.height() - small.height()) / 2, small);
    return img;
}

// The about window's strip: a workbench with the console, a racing poster,
// a chequered flag and a trophy. No people.
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

// --- icon ----------------------------------------------------------------

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

// The large icons and the scalable one share one drawing on a 64-unit grid:
// the red handheld with its LCD showing the road and the rider from behind,
// the direction cross, the START key and the three small keys.
struct IconShape {
    QPainterPath path;
    QColor fill;
    QColor stroke;  // invalid: no outline
    double strokeWidth = 0;
};

constexpr int kIconGrid = 64;

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

QString svgNumber(double v) { return QString::number(v, 'g', 6); }

QString svgPathData(const QPainterPath& path) {
    QString d;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        const QString point = svgNumber(e.x) + QLatin1Char(' ') + svgNumber(e.y);
        switch (e.type) {
        case QPainterPath::MoveToElement:
            if (!d.isEmpty())
                d += QStringLiteral("Z ");
            d += QStringLiteral("M ") + point + QLatin1Char(' ');
            break;
        case QPainterPath::LineToElement:
            d += QStringLiteral("L ") + point + QLatin1Char(' ');
            break;
        case QPainterPath::CurveToElement:
            d += QStringLiteral("C ") + point + QLatin1Char(' ');
            break;
        case QPainterPath::CurveToDataElement:
            d += point + QLatin1Char(' ');
            break;
        }
    }
    return d + QLatin1Char('Z');
}

QByteArray iconSvg() {
    QString svg = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                 "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%1\" "
                                 "viewBox=\"0 0 %1 %1\">\n")
                      .arg(kIconGrid);
    for (const IconShape& shape : iconDrawing()) {
        svg += QStringLiteral("  <path d=\"%1\" fill=\"%2\"").arg(svgPathData(shape.path), shape.fill.name());
        if (shape.stroke.isValid())
            svg += QStringLiteral(" stroke=\"%1\" stroke-width=\"%2\" stroke-linejoin=\"round\"")
                       .arg(shape.stroke.name(), svgNumber(shape.strokeWidth)) +
                   QStringLiteral(" stroke-linecap=\"round\"");
        svg += QStringLiteral("/>\n");
    }
    return (svg + QStringLiteral("</svg>\n")).toUtf8();
}

bool saveJpeg(const QImage& img, const QString& path) {
    QImageWriter writer(path, "jpeg");
    writer.setQuality(92);
    if (!writer.write(img)) {
        std::fprintf(stderr, "draw_pictures: cannot write %s: %s\n", qPrintable(path),
                     qPrintable(writer.errorString()));
        return false;
    }
    return true;
}

bool savePng(const QImage& img, const QString& path) {
    QImageWriter writer(path, "png");
    if (!writer.write(img)) {
        std::fprintf(stderr, "draw_pictures: cannot write %s: %s\n", qPrintable(path),
                     qPrintable(writer.errorString()));
        return false;
    }
    return true;
}

constexpr std::array<int, 7> kIconSizes{16, 24, 32, 48, 64, 128, 256};
constexpr int kLargestSmallIcon = 32;

QImage paintIcon(int size) { return size <= kLargestSmallIcon ? paintSmallIcon(size) : paintLargeIcon(size); }

QString iconFile(int size) { return QStringLiteral("vorlak-%1.png").arg(size); }

const QString kIconSvgFile = QStringLiteral("vorlak.svg");

bool saveFile(const QByteArray& bytes, const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "draw_pictures: cannot write %s: %s\n", qPrintable(path), qPrintable(file.errorString()));
        return false;
    }
    return true;
}

}  // namespace
}  // namespace vorlak::pictures

int main(int argc, char** argv) {
    using namespace vorlak::pictures;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: draw_pictures <assets directory>\n"
                             "Writes pictures/*.jpg, icon/*.png and icon/vorlak.svg below the given directory.\n");
        return 2;
    }
    const QDir root(QString::fromLocal8Bit(argv[1]));
    if (!root.mkpath(QStringLiteral("pictures")) || !root.mkpath(QStringLiteral("icon"))) {
        std::fprintf(stderr, "draw_pictures: cannot create folders in %s\n", argv[1]);
        return 1;
    }
    const QString pictures = root.filePath(QStringLiteral("pictures/"));
    const QString icons = root.filePath(QStringLiteral("icon/"));

    const QImage skin = paintConsole(KeyTone::Light);
    const QImage keys = paintConsole(KeyTone::Dark);
    const QImage atRest = consoleAtRest(skin, keys);

    bool ok = saveJpeg(skin, pictures + QStringLiteral("Im_Principale.jpg"));
    for (const KeyPlace& key : kKeyPictures)
        ok = saveJpeg(keys.copy(key.rect), pictures + QString::fromLatin1(key.file)) && ok;
    ok = saveJpeg(paintLauncherPicture(atRest), pictures + QStringLiteral("Im_Piccina.jpg")) && ok;
    ok = saveJpeg(paintPhotoStrip(atRest), pictures + QStringLiteral("Im_Foto.jpg")) && ok;
    for (int size : kIconSizes)
        ok = savePng(paintIcon(size), icons + iconFile(size)) && ok;
    ok = saveFile(iconSvg(), icons + kIconSvgFile) && ok;
    return ok ? 0 : 1;
}
