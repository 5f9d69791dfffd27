// The console's pictures, decoded once from the compiled-in resources and kept
// ready to draw: colour pictures opaque, two-colour pictures black on
// see-through white.
#pragma once

#include <QImage>
#include <QStringList>
#include <array>

#include "game/panel.h"

namespace vorlak {

class ConsolePictures {
public:
    ConsolePictures();

    // Null when the element has no picture or its picture could not be loaded.
    const QImage* picture(Element e) const;
    // One line per picture that is missing or damaged.
    const QStringList& problems() const { return problems_; }

    // A two-colour picture as drawn: black opaque, white fully transparent.
    static QImage fromTwoColourText(const QByteArray& text, QString* error);

private:
    std::array<QImage, ElementCount> images_;
    QStringList problems_;
};

}  // namespace vorlak
