#include "tools/draw_pictures/icon.h"

#include <QString>

#include "tools/draw_pictures/icon_drawing.h"

namespace vorlak::pictures {
namespace {

QString svgNumber(double v) { return QString::number(v, 'g', 6); }

QString svgPathData(const QPainterPath& path) {
    QString d;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        const QString point = svgNumber(e.x) + QLatin1Char(' ') + svgNumber(e.y);
        switch (e.type) {
        case QPainterPath::MoveToElement:
            if (!d.isEmpty())
                d += QStringLiteral("Z ");
            d += QStringLiteral("M ") + point + QLatin1Char(' ');
            break;
        case QPainterPath::LineToElement:
            d += QStringLiteral("L ") + point + QLatin1Char(' ');
            break;
        case QPainterPath::CurveToElement:
            d += QStringLiteral("C ") + point + QLatin1Char(' ');
            break;
        case QPainterPath::CurveToDataElement:
            d += point + QLatin1Char(' ');
            break;
        }
    }
    return d + QLatin1Char('Z');
}

}  // namespace

QByteArray iconSvg() {
    QString svg = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                 "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%1\" "
                                 "viewBox=\"0 0 %1 %1\">\n")
                      .arg(kIconGrid);
    for (const IconShape& shape : iconDrawing()) {
        svg += QStringLiteral("  <path d=\"%1\" fill=\"%2\"").arg(svgPathData(shape.path), shape.fill.name());
        if (shape.stroke.isValid())
            svg += QStringLiteral(" stroke=\"%1\" stroke-width=\"%2\" stroke-linejoin=\"round\"")
                       .arg(shape.stroke.name(), svgNumber(shape.strokeWidth)) +
                   QStringLiteral(" stroke-linecap=\"round\"");
        svg += QStringLiteral("/>\n");
    }
    return (svg + QStringLiteral("</svg>\n")).toUtf8();
}

}  // namespace vorlak::pictures
