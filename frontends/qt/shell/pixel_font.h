// Fonts of the launcher and the about window, sized in pixels. The windows are
// laid out for Arial and MS Sans Serif; where those are missing, the nearest
// in width stands in (Liberation Sans has Arial's widths, DejaVu Sans
// Condensed comes close), so that the texts fit their places.
#pragma once

#include <QFont>
#include <QStringList>

namespace vorlak {

enum class FontFace { Arial, MsSansSerif };

inline QFont pixelFont(FontFace face, int pixels, bool bold = false, bool underline = false) {
    const QStringList standIns = {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans Condensed"),
                                   QStringLiteral("DejaVu Sans")};
    QStringList families = face == FontFace::Arial
                               ? QStringList{QStringLiteral("Arial")}
                               : QStringList{QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif")};
    families += standIns;
    QFont font;
    font.setFamilies(families);
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setUnderline(underline);
    return font;
}

}  // namespace vorlak
