// Comic artwork for the bezel and the photo strip: black-inked shapes,
// racers seen from the side and from the front, swirls and speed lines.
#pragma once

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>

namespace vorlak::pictures {

constexpr double kInk = 2.2;

void inked(QPainter& p, const QPainterPath& path, const QColor& fill, double ink = kInk);

void inkedEllipse(QPainter& p, QPointF c, double rx, double ry, const QColor& fill, double ink = kInk);

struct Team {
    QColor body, bodyShade, leathers, leathersShade, helmet, helmetStripe;
    const char* number;
};

extern const Team kRedTeam;

// A racer seen from the side, riding to the right; ground at y = 0, about
// 170 wide and 120 high.
void sideRider(QPainter& p, const Team& team);

// A racer coming towards the viewer; ground at y = 0, about 100 wide and
// 175 high. The knee on the inside of the bend sticks out.
void frontRider(QPainter& p, const Team& team, bool kneeLeft);

// A grey-blue curl of the kind comics draw behind speeding racers.
void swirl(QPainter& p, QPointF centre, double r0, double r1, double turns, double startAngle, double width,
           const QColor& colour);

void speedLines(QPainter& p, QPointF from, QPointF direction, int count, double spacing, double length,
                const QColor& colour);

}  // namespace vorlak::pictures
