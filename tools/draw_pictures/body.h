// The plastic body: its shaded surface inside the window's outline, the
// moulded recesses of the controls and the raised lip along the top.
#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <vector>

#include "tools/draw_pictures/skin.h"

namespace vorlak::pictures {

// Which skin pixels lie inside the window's outline.
class Outline {
public:
    Outline();
    bool inside(int x, int y) const {
        return x >= 0 && y >= 0 && x < kSkinWidth && y < kSkinHeight && inside_[y * kSkinWidth + x];
    }

private:
    std::vector<unsigned char> inside_;
};

// The body's surface rolls off over its outer rim; shading follows the
// normals of that rim, lit from the upper right, so the outline's corners,
// notches and broad lower corner all get a matching rounded edge.
void paintBody(QImage& img, const Outline& outline);

// A moulded recess: darker floor, shadow under the upper rim, a lit lower lip.
void recess(QPainter& p, const QPainterPath& shape, const QColor& floor, double depth);

void paintTopLip(QPainter& p);

}  // namespace vorlak::pictures
