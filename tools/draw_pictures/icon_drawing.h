#pragma once

#include <QColor>
#include <QPainterPath>

#include <vector>

namespace vorlak::pictures {

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

std::vector<IconShape> iconDrawing();

}  // namespace vorlak::pictures
