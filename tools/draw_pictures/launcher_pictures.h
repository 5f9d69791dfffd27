// The pictures made from the console at rest: the launcher's small console
// and the about window's photo strip.
#pragma once

#include <QImage>

namespace vorlak::pictures {

QImage paintLauncherPicture(const QImage& atRest);

// The about window's strip: a workbench with the console, a racing poster,
// a chequered flag and a trophy. No people.
QImage paintPhotoStrip(const QImage& atRest);

}  // namespace vorlak::pictures
