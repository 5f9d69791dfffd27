// The screen panel: comic artwork and the title round the LCD's backdrop,
// set into a shallow groove of the body.
#pragma once

#include <QPainter>

namespace vorlak::pictures {

void paintBezel(QPainter& p);

}  // namespace vorlak::pictures
