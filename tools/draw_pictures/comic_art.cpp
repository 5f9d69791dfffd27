#include "tools/draw_pictures/comic_art.h"

#include <cmath>
#include <vector>

#include "tools/draw_pictures/paint_helpers.h"

namespace vorlak::pictures {
namespace {

// A thick rounded stroke with a black contour: arms, legs, pipes.
void limb(QPainter& p, const std::vector<QPointF>& pts, double width, const QColor& colour, double ink = kInk) {
    QPainterPath path;
    path.moveTo(pts[0]);
    for (size_t i = 1; i < pts.size(); ++i)
        path.lineTo(pts[i]);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::black, width + 2 * ink, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
}

void sideWheel(QPainter& p, QPointF c, double r, bool brakeDisc) {
    inkedEllipse(p, c, r, r, QColor(28, 28, 30));
    inkedEllipse(p, c, r * 0.66, r * 0.66, QColor(178, 180, 186), 1.6);
    if (brakeDisc)
        inkedEllipse(p, c, r * 0.45, r * 0.45, QColor(120, 122, 130), 1.2);
    p.setPen(QPen(QColor(60, 60, 66), 1.6, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 5; ++i) {
        const double a = i * 2 * kPi / 5 + 0.3;
        p.drawLine(c, c + QPointF(std::cos(a), std::sin(a)) * r * 0.64);
    }
    inkedEllipse(p, c, r * 0.16, r * 0.16, QColor(40, 40, 44), 1.2);
    // A glint on the tyre keeps it from reading as a flat disc.
    p.setPen(QPen(QColor(255, 255, 255, 150), 1.6, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(c.x() - r * 0.84, c.y() - r * 0.84, r * 1.68, r * 1.68), 100 * 16, 50 * 16);
}

}  // namespace

void inked(QPainter& p, const QPainterPath& path, const QColor& fill, double ink) {
    p.setPen(QPen(Qt::black, ink, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(fill);
    p.drawPath(path);
}

void inkedEllipse(QPainter& p, QPointF c, double rx, double ry, const QColor& fill, double ink) {
    QPainterPath path;
    path.addEllipse(c, rx, ry);
    inked(p, path, fill, ink);
}

const Team kRedTeam{QColor(228, 40, 44), QColor(160, 18, 26), QColor(178, 22, 32), QColor(120, 10, 20),
                    QColor(250, 250, 250), QColor(220, 30, 40), "1"};

void sideRider(QPainter& p, const Team& team) {
    const QColor metal(196, 198, 204), frame(70, 70, 76), dark(30, 30, 34);
    sideWheel(p, QPointF(-56, -24), 24, false);
    limb(p, {{-56, -24}, {-10, -38}}, 7, frame);
    limb(p, {{62, -24}, {44, -78}}, 6, QColor(210, 180, 70));
    sideWheel(p, QPointF(62, -24), 24, true);
    limb(p, {{-14, -30}, {-50, -40}, {-76, -52}}, 7, metal);

    // one shell from the tail over the tank to the nose
    const QPainterPath body = smoothClosedPath({{-90, -74}, {-60, -66}, {-28, -62}, {-12, -70}, {10, -78},
                                                {38, -82}, {62, -74}, {73, -60}, {62, -44}, {46, -30},
                                                {12, -24}, {-16, -30}, {-30, -46}, {-58, -52}, {-84, -62}});
    inked(p, body, team.body);
    p.save();
    p.setClipPath(body, Qt::IntersectClip);
    p.setPen(Qt::NoPen);
    p.setBrush(team.bodyShade);
    p.drawPath(polygonPath({{-100, -52}, {80, -40}, {80, -10}, {-100, -10}}));
    p.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(-92, -64), QPointF(70, -60));
    p.setPen(QPen(QColor(255, 255, 255, 150), 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(14, -74), QPointF(36, -77));
    p.restore();
    inked(p, smoothClosedPath({{36, -82}, {50, -98}, {60, -92}, {66, -72}, {52, -74}}), QColor(196, 222, 236));
    inked(p, smoothClosedPath({{-58, -66}, {-40, -72}, {-24, -66}, {-40, -62}}), dark, 1.6);
    inkedEllipse(p, QPointF(40, -52), 9, 8, Qt::white, 1.6);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawPath(centredText(QString::fromLatin1(team.number), dejaVu(11, true), QPointF(40, -52)));

    // the rider, tucked in flat over the tank
    limb(p, {{-26, -70}, {6, -56}}, 15, team.leathers);
    limb(p, {{6, -56}, {-12, -38}}, 11, team.leathers);
    limb(p, {{-12, -38}, {-26, -36}}, 8, dark);
    inked(p, smoothClosedPath({{-40, -72}, {-30, -86}, {-4, -94}, {20, -94}, {24, -84}, {0, -78}, {-26, -68}}),
          team.leathers);
    p.setPen(QPen(team.leathersShade, 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(-30, -76), QPointF(14, -88));
    limb(p, {{14, -88}, {28, -74}, {44, -76}}, 9, team.leathersShade);
    inkedEllipse(p, QPointF(46, -76), 5, 4.5, dark, 1.6);

    const QPointF head(32, -96);
    inkedEllipse(p, head, 14, 13, team.helmet);
    p.save();
    QPainterPath helmet;
    helmet.addEllipse(head, 14, 13);
    p.setClipPath(helmet, Qt::IntersectClip);
    p.setPen(QPen(team.helmetStripe, 4));
    p.drawLine(head + QPointF(-18, 2), head + QPointF(8, -16));
    inked(p, polygonPath({head + QPointF(4, -4), head + QPointF(18, -2), head + QPointF(18, 7), head + QPointF(2, 5)}),
          QColor(40, 44, 70), 1.6);
    p.restore();
    p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(head.x() - 12, head.y() - 10, 16, 14), 100 * 16, 60 * 16);
}

void frontRider(QPainter& p, const Team& team, bool kneeLeft) {
    // torso, arms and helmet sit behind the fairing and screen
    inked(p, smoothClosedPath({{-40, -136}, {-30, -160}, {0, -166}, {30, -160}, {40, -136}, {0, -126}}),
          team.leathers);
    limb(p, {{-34, -148}, {-50, -122}, {-40, -108}}, 13, team.leathersShade);
    limb(p, {{34, -148}, {50, -122}, {40, -108}}, 13, team.leathersShade);
    inkedEllipse(p, QPointF(-40, -106), 7, 6, QColor(30, 30, 34), 1.6);
    inkedEllipse(p, QPointF(40, -106), 7, 6, QColor(30, 30, 34), 1.6);
    inkedEllipse(p, QPointF(0, -158), 20, 19, team.helmet);
    p.save();
    QPainterPath helmet;
    helmet.addEllipse(QPointF(0, -158), 20, 19);
    p.setClipPath(helmet, Qt::IntersectClip);
    p.setPen(QPen(team.helmetStripe, 5));
    p.drawLine(QPointF(0, -180), QPointF(0, -166));
    inked(p, smoothClosedPath({{-16, -162}, {0, -166}, {16, -162}, {14, -150}, {0, -148}, {-14, -150}}),
          QColor(40, 44, 70), 1.6);
    p.restore();
    p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(-10, -160), QPointF(-4, -162));

    inked(p, smoothClosedPath({{-30, -56}, {30, -56}, {24, -36}, {0, -30}, {-24, -36}}), team.bodyShade);
    limb(p, {{-12, -44}, {-14, -86}}, 5, QColor(210, 180, 70));
    limb(p, {{12, -44}, {14, -86}}, 5, QColor(210, 180, 70));
    inkedEllipse(p, QPointF(0, -30), 11, 30, QColor(28, 28, 30));
    p.setPen(QPen(QColor(255, 255, 255, 140), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(-4, -48), QPointF(-4, -14));
    inked(p, smoothClosedPath({{-14, -54}, {0, -66}, {14, -54}, {12, -46}, {-12, -46}}), team.body);

    QPainterPath fairing =
        smoothClosedPath({{-46, -70}, {-42, -104}, {-22, -124}, {22, -124}, {42, -104}, {46, -70}, {0, -58}});
    inked(p, fairing, team.body);
    p.save();
    p.setClipPath(fairing, Qt::IntersectClip);
    p.setPen(Qt::NoPen);
    p.setBrush(team.bodyShade);
    p.drawRect(QRectF(14, -130, 40, 80));
    p.setPen(QPen(Qt::white, 3));
    p.drawLine(QPointF(-46, -86), QPointF(46, -86));
    p.restore();
    inkedEllipse(p, QPointF(-18, -100), 9, 6, QColor(255, 250, 200), 1.6);
    inkedEllipse(p, QPointF(18, -100), 9, 6, QColor(255, 250, 200), 1.6);
    inkedEllipse(p, QPointF(0, -74), 10, 9, Qt::white, 1.6);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawPath(centredText(QString::fromLatin1(team.number), dejaVu(12, true), QPointF(0, -74)));
    inked(p, polygonPath({{-22, -124}, {22, -124}, {15, -144}, {-15, -144}}), QColor(196, 222, 236, 190));

    const double side = kneeLeft ? -1 : 1;
    limb(p, {{side * 36, -88}, {side * 54, -70}, {side * 40, -56}}, 13, team.leathers);
    inkedEllipse(p, QPointF(side * 55, -67), 4.5, 5, Qt::white, 1.4);
}

void swirl(QPainter& p, QPointF centre, double r0, double r1, double turns, double startAngle, double width,
           const QColor& colour) {
    const int steps = 120;
    QPointF prev;
    for (int i = 0; i <= steps; ++i) {
        const double t = static_cast<double>(i) / steps;
        const double a = startAngle + t * turns * 2 * kPi;
        const double r = r0 + (r1 - r0) * t;
        const QPointF pt = centre + QPointF(std::cos(a), std::sin(a)) * r;
        if (i > 0) {
            // thin at the inner end, full width outside
            p.setPen(QPen(colour, 0.8 + width * std::sin(t * kPi * 0.5 + 0.1), Qt::SolidLine, Qt::RoundCap));
            p.drawLine(prev, pt);
        }
        prev = pt;
    }
}

void speedLines(QPainter& p, QPointF from, QPointF direction, int count, double spacing, double length,
                const QColor& colour) {
    const QPointF normal(-direction.y(), direction.x());
    for (int i = 0; i < count; ++i) {
        const double l = length * (0.55 + 0.45 * std::abs(std::sin(i * 2.3)));
        const QPointF a = from + normal * (i * spacing);
        p.setPen(QPen(colour, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(a, a + direction * l);
    }
}

}  // namespace vorlak::pictures
