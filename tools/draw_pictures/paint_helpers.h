// Small drawing helpers every picture uses: fixed per-pixel noise, colour
// mixing, the one font, and paths through points or around text.
#pragma once

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>
#include <QString>

#include <initializer_list>
#include <vector>

namespace vorlak::pictures {

constexpr double kPi = 3.14159265358979323846;

// Uniform value in [-1, 1], fixed per pixel.
double noise(int x, int y, quint32 seed);

int clampByte(double v);

QColor mix(const QColor& a, const QColor& b, double t);

QFont dejaVu(int pixelSize, bool bold);

QPainterPath polygonPath(std::initializer_list<QPointF> points);

// A closed curve through the points (Catmull-Rom turned into cubic Béziers).
QPainterPath smoothClosedPath(const std::vector<QPointF>& pts);

QPainterPath smoothOpenPath(const std::vector<QPointF>& pts);

// Text as a path whose box is centred on the given point.
QPainterPath centredText(const QString& text, const QFont& font, QPointF centre);

void fillText(QPainter& p, const QString& text, const QFont& font, QPointF centre, double angle, const QColor& c);

}  // namespace vorlak::pictures
