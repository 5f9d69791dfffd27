// The application icon: pixel art at the small sizes, one vector drawing at
// the large sizes and as SVG.
#pragma once

#include <QByteArray>
#include <QImage>

namespace vorlak::pictures {

QImage paintIcon(int size);

QByteArray iconSvg();

}  // namespace vorlak::pictures
