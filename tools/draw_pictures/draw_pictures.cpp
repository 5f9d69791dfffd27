// Paints the console's colour pictures: the skin, the four key pictures cut
// from it, the launcher's small console, the about window's photo strip and
// the application icon in every size the desktop asks for, and as SVG.
// Everything is drawn from code so the output is the same on every run; the
// results are committed under assets/.
//
//   draw_pictures <assets directory>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <vector>

#include "tools/draw_pictures/comic_art.h"
#include "tools/draw_pictures/paint_helpers.h"
#include "tools/draw_pictures/skin.h"

namespace vorlak::pictures {
namespace {

QImage paintLauncherPicture(const QImage& atRest) {
    QImage img(86, 136, QImage::Format_RGB32);
    img.fill(Qt::black);
    const QImage small = atRest.scaled(img.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QPainter p(&img);
    p.drawImage((img.width() - small.width()) / 2, (img.height() - small.height()) / 2, small);
    return img;
}

// The about window's strip: a workbench with the console, a racing poster,
// a chequered flag and a trophy. No people.
QImage paintPhotoStrip(const QImage& atRest) {
    QImage img(252, 84, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);

    QLinearGradient wall(0, 0, 0, 60);
    wall.setColorAt(0, QColor(44, 54, 74));
    wall.setColorAt(1, QColor(72, 82, 100));
    p.fillRect(img.rect(), wall);
    QRadialGradient lamp(QPointF(150, 20), 140);
    lamp.setColorAt(0, QColor(255, 230, 170, 90));
    lamp.setColorAt(1, QColor(255, 230, 170, 0));
    p.fillRect(img.rect(), lamp);

    // chequered flag pinned to the wall
    p.save();
    p.translate(70, 6);
    p.rotate(-8);
    for (int row = 0; row < 5; ++row)
        for (int col = 0; col < 8; ++col) {
            const double wave = std::sin(col * 0.8) * 2.0;
            p.fillRect(QRectF(col * 5, row * 5 + wave, 5, 5), (row + col) % 2 ? QColor(20, 20, 22) : QColor(236, 236, 230));
        }
    p.setPen(QPen(QColor(160, 130, 80), 2));
    p.drawLine(QPointF(-1, -2), QPointF(-1, 36));
    p.restore();

    // framed poster of a racer
    const QRectF poster(128, 6, 74, 46);
    p.fillRect(poster.adjusted(-3, -3, 3, 3), QColor(30, 24, 20));
    QLinearGradient sky(0, poster.top(), 0, poster.bottom());
    sky.setColorAt(0, QColor(250, 210, 90));
    sky.setColorAt(1, QColor(240, 140, 60));
    p.fillRect(poster, sky);
    p.save();
    p.setClipRect(poster);
    p.setPen(QPen(QColor(255, 245, 210), 1.5));
    for (int i = 0; i < 7; ++i)
        p.drawLine(QPointF(poster.left() + 2, poster.top() + 8 + i * 5), QPointF(poster.left() + 18 + (i % 3) * 6, poster.top() + 8 + i * 5));
    p.translate(170, 49);
    p.rotate(-10);
    p.scale(0.3, 0.3);
    sideRider(p, kRedTeam);
    p.restore();

    // the bench
    QLinearGradient bench(0, 58, 0, 84);
    bench.setColorAt(0, QColor(150, 98, 56));
    bench.setColorAt(1, QColor(96, 58, 30));
    p.fillRect(QRectF(0, 58, 252, 26), bench);
    p.setPen(QPen(QColor(120, 74, 40), 1));
    for (int i = 0; i < 5; ++i)
        p.drawLine(QPointF(0, 62 + i * 5 + (i % 2)), QPointF(252, 61 + i * 5));
    p.setPen(QPen(QColor(200, 150, 100), 1));
    p.drawLine(QPointF(0, 58.5), QPointF(252, 58.5));

    // the console propped against the wall
    const QImage small = atRest.scaled(44, 70, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QImage withAlpha = small.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < withAlpha.height(); ++y)
        for (int x = 0; x < withAlpha.width(); ++x)
            if (qGray(withAlpha.pixel(x, y)) < 8)
                withAlpha.setPixel(x, y, qRgba(0, 0, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 90));
    p.drawEllipse(QPointF(36, 75), 26, 4);
    p.drawImage(QPointF(14, 8), withAlpha);

    // trophy cup on the bench
    const QColor gold(230, 186, 60);
    inked(p, polygonPath({{222, 74}, {238, 74}, {236, 70}, {224, 70}}), QColor(90, 60, 30), 1);
    inked(p, polygonPath({{228, 70}, {232, 70}, {231, 60}, {229, 60}}), gold, 1);
    inked(p, smoothClosedPath({{220, 38}, {240, 38}, {238, 52}, {230, 60}, {222, 52}}), gold, 1);
    p.setPen(QPen(gold.darker(130), 2));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(214, 40, 10, 10), 90 * 16, 180 * 16);
    p.drawArc(QRectF(236, 40, 10, 10), -90 * 16, 180 * 16);
    p.setPen(QPen(QColor(255, 250, 210, 200), 1.5));
    p.drawLine(QPointF(224, 42), QPointF(226, 52));

    // a spare key cap and a screwdriver on the bench
    p.setPen(QPen(QColor(60, 60, 64), 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(94, 74), QPointF(118, 68));
    inked(p, smoothClosedPath({{114, 66}, {128, 63}, {130, 68}, {116, 71}}), QColor(230, 180, 40), 1);
    inkedEllipse(p, QPointF(160, 72), 6, 3.5, keyFace(KeyTone::Dark), 1);
    p.end();
    return img;
}

// --- icon ----------------------------------------------------------------

// Sixteen colours shared by the small icons; entry 0 is transparent.
const std::array<QRgb, 16> kIconPalette{
    qRgba(0, 0, 0, 0),   qRgb(0, 0, 0),       qRgb(255, 255, 255), qRgb(110, 8, 14),
    qRgb(196, 24, 32),   qRgb(236, 84, 84),   qRgb(246, 238, 214), qRgb(232, 210, 140),
    qRgb(168, 204, 124), qRgb(150, 222, 236), qRgb(112, 138, 214), qRgb(176, 190, 208),
    qRgb(60, 60, 66),    qRgb(150, 150, 156), qRgb(222, 36, 40),   qRgb(46, 170, 70),
};

QImage toIconPalette(const QImage& art) {
    QImage out(art.size(), QImage::Format_Indexed8);
    QList<QRgb> table(kIconPalette.begin(), kIconPalette.end());
    out.setColorTable(table);
    for (int y = 0; y < art.height(); ++y)
        for (int x = 0; x < art.width(); ++x) {
            const QRgb c = art.pixel(x, y);
            int best = 0;
            if (qAlpha(c) >= 128) {
                int bestDistance = INT_MAX;
                for (int i = 1; i < 16; ++i) {
                    const int dr = qRed(c) - qRed(kIconPalette[i]), dg = qGreen(c) - qGreen(kIconPalette[i]),
                              db = qBlue(c) - qBlue(kIconPalette[i]);
                    const int d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
                    if (d < bestDistance)
                        bestDistance = d, best = i;
                }
            }
            out.setPixel(x, y, best);
        }
    return out;
}

// The small icons are pixel art: the 16 and 32 pixel ones on a 32-pixel
// grid, the 24 pixel one on its own grid so that its edges stay sharp.
struct SmallIconLayout {
    double grid;
    QRectF body;
    double bodyRadius;
    QRectF shine, bezel, lcd, sky;
    std::array<QPointF, 4> road;
    QRectF rider, crossAcross, crossUp, key;
};

const SmallIconLayout kSmallIcon32{32,
                                   QRectF(5.5, 0.5, 21, 31),
                                   3,
                                   QRectF(24, 3, 1.5, 24),
                                   QRectF(7, 2, 18, 15),
                                   QRectF(9, 4, 14, 11),
                                   QRectF(9, 4, 14, 3),
                                   {QPointF(10, 15), QPointF(20, 15), QPointF(18, 7), QPointF(16, 7)},
                                   QRectF(14, 11, 3, 3),
                                   QRectF(8, 22, 8, 2),
                                   QRectF(11, 19, 2, 8),
                                   QRectF(19, 20, 5, 5)};
const SmallIconLayout kSmallIcon24{24,
                                   QRectF(3.5, 0.5, 17, 23),
                                   2,
                                   QRectF(18, 2, 1, 18),
                                   QRectF(5, 2, 14, 11),
                                   QRectF(6, 3, 12, 9),
                                   QRectF(6, 3, 12, 2),
                                   {QPointF(7, 12), QPointF(17, 12), QPointF(13, 5), QPointF(11, 5)},
                                   QRectF(11, 8, 2, 3),
                                   QRectF(6, 16, 6, 2),
                                   QRectF(8, 14, 2, 6),
                                   QRectF(13.5, 14.5, 5, 5)};

QImage paintSmallIcon(int size) {
    const SmallIconLayout& l = size == 24 ? kSmallIcon24 : kSmallIcon32;
    QImage art(size, size, QImage::Format_ARGB32);
    art.fill(Qt::transparent);
    QPainter p(&art);
    const double s = size / l.grid;
    p.scale(s, s);
    p.setRenderHint(QPainter::Antialiasing, size >= 32);
    p.setPen(QPen(QColor(110, 8, 14), 1));
    p.setBrush(QColor(196, 24, 32));
    QPainterPath body;
    body.addRoundedRect(l.body, l.bodyRadius, l.bodyRadius);
    p.drawPath(body);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(236, 84, 84));
    p.drawRect(l.shine);
    p.setBrush(QColor(246, 238, 214));
    p.drawRect(l.bezel);
    p.setBrush(QColor(168, 204, 124));
    p.drawRect(l.lcd);
    p.setBrush(QColor(176, 190, 208));
    p.drawRect(l.sky);
    p.setBrush(QColor(232, 210, 140));
    p.drawPath(polygonPath({l.road[0], l.road[1], l.road[2], l.road[3]}));
    p.setBrush(Qt::black);
    p.drawRect(l.rider);
    p.setBrush(QColor(150, 222, 236));
    p.drawRect(l.crossAcross);
    p.drawRect(l.crossUp);
    p.drawEllipse(l.key);
    p.end();
    return toIconPalette(art);
}

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

QPainterPath roundedRect(const QRectF& r, double radius) {
    QPainterPath path;
    path.addRoundedRect(r, radius, radius);
    return path;
}

QPainterPath rect(const QRectF& r) {
    QPainterPath path;
    path.addRect(r);
    return path;
}

QPainterPath ellipse(QPointF centre, double rx, double ry) {
    QPainterPath path;
    path.addEllipse(centre, rx, ry);
    return path;
}

std::vector<IconShape> iconDrawing() {
    const QColor bodyRed(196, 24, 32), rimRed(110, 8, 14), shineRed(236, 84, 84), cream(246, 238, 214);
    const QColor lcd(178, 206, 138), sky(176, 190, 208), road(232, 210, 140), ink(24, 24, 28);
    const QColor keyBlue(150, 222, 236), keyRim(40, 70, 110), noStroke;
    std::vector<IconShape> shapes;
    shapes.push_back({roundedRect(QRectF(11, 1, 42, 62), 6), bodyRed, rimRed, 2});
    shapes.push_back({roundedRect(QRectF(47, 6, 3, 50), 1.5), shineRed, noStroke});
    shapes.push_back({roundedRect(QRectF(15, 5, 34, 30), 2.5), cream, rimRed, 1});
    shapes.push_back({rect(QRectF(18.5, 8.5, 27, 23)), lcd, QColor(60, 60, 66), 1});
    shapes.push_back({rect(QRectF(19, 9, 26, 6)), sky, noStroke});
    shapes.push_back({polygonPath({{21, 31}, {43, 31}, {34, 15}, {30, 15}}), road, noStroke});
    // lane lines ahead of the rider
    shapes.push_back({polygonPath({{29.6, 22}, {30.1, 22}, {30.9, 17.5}, {30.6, 17.5}}), ink, noStroke});
    shapes.push_back({polygonPath({{34.4, 22}, {33.9, 22}, {33.1, 17.5}, {33.4, 17.5}}), ink, noStroke});
    // two opponents coming down the side lanes, smaller further away
    for (const auto& [centre, scale] : {std::pair{QPointF(28.9, 19.2), 0.85}, std::pair{QPointF(34.5, 17.2), 0.65}}) {
        shapes.push_back({roundedRect(QRectF(centre.x() - 1.3 * scale, centre.y() - 0.4 * scale, 2.6 * scale,
                                             2.6 * scale),
                                      0.9 * scale),
                          ink, noStroke});
        shapes.push_back({ellipse(centre + QPointF(0, -1.3 * scale), 1.1 * scale, 1.1 * scale), ink, noStroke});
    }
    // the rider from behind: tyre, seat, arms, helmet
    shapes.push_back({roundedRect(QRectF(30.6, 25.5, 2.8, 5), 1.2), ink, noStroke});
    shapes.push_back({polygonPath({{28.5, 26.5}, {35.5, 26.5}, {34.5, 23.5}, {29.5, 23.5}}), ink, noStroke});
    shapes.push_back({polygonPath({{28, 24.5}, {30, 21}, {34, 21}, {36, 24.5}, {34.8, 24.5}, {32, 22.5},
                                   {29.2, 24.5}}),
                      ink, noStroke});
    shapes.push_back({ellipse(QPointF(32, 20), 2.2, 2.2), ink, noStroke});
    // direction cross and START key
    QPainterPath cross = rect(QRectF(16, 44, 15, 5));
    cross.addRect(QRectF(21, 39, 5, 15));
    cross.setFillRule(Qt::WindingFill);  // one outline round both bars
    shapes.push_back({cross.simplified(), keyBlue, keyRim, 1});
    shapes.push_back({ellipse(QPointF(42, 46.5), 5, 5), keyBlue, keyRim, 1});
    shapes.push_back({ellipse(QPointF(40.4, 44.8), 1.6, 1.2), QColor(230, 250, 255), noStroke});
    // ON/OFF, SOUND and ACL
    for (int i = 0; i < 3; ++i)
        shapes.push_back({roundedRect(QRectF(31 + i * 5, 56, 3.5, 2.2), 1.1), keyBlue, keyRim, 0.8});
    return shapes;
}

QImage paintLargeIcon(int size) {
    QImage img(size, size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(static_cast<double>(size) / kIconGrid, static_cast<double>(size) / kIconGrid);
    for (const IconShape& shape : iconDrawing()) {
        if (shape.stroke.isValid())
            p.setPen(QPen(shape.stroke, shape.strokeWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        else
            p.setPen(Qt::NoPen);
        p.setBrush(shape.fill);
        p.drawPath(shape.path);
    }
    p.end();
    return img;
}

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

bool saveJpeg(const QImage& img, const QString& path) {
    QImageWriter writer(path, "jpeg");
    writer.setQuality(92);
    if (!writer.write(img)) {
        std::fprintf(stderr, "draw_pictures: cannot write %s: %s\n", qPrintable(path),
                     qPrintable(writer.errorString()));
        return false;
    }
    return true;
}

bool savePng(const QImage& img, const QString& path) {
    QImageWriter writer(path, "png");
    if (!writer.write(img)) {
        std::fprintf(stderr, "draw_pictures: cannot write %s: %s\n", qPrintable(path),
                     qPrintable(writer.errorString()));
        return false;
    }
    return true;
}

constexpr std::array<int, 7> kIconSizes{16, 24, 32, 48, 64, 128, 256};
constexpr int kLargestSmallIcon = 32;

QImage paintIcon(int size) { return size <= kLargestSmallIcon ? paintSmallIcon(size) : paintLargeIcon(size); }

QString iconFile(int size) { return QStringLiteral("vorlak-%1.png").arg(size); }

const QString kIconSvgFile = QStringLiteral("vorlak.svg");

bool saveFile(const QByteArray& bytes, const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "draw_pictures: cannot write %s: %s\n", qPrintable(path), qPrintable(file.errorString()));
        return false;
    }
    return true;
}

}  // namespace
}  // namespace vorlak::pictures

int main(int argc, char** argv) {
    using namespace vorlak::pictures;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: draw_pictures <assets directory>\n"
                             "Writes pictures/*.jpg, icon/*.png and icon/vorlak.svg below the given directory.\n");
        return 2;
    }
    const QDir root(QString::fromLocal8Bit(argv[1]));
    if (!root.mkpath(QStringLiteral("pictures")) || !root.mkpath(QStringLiteral("icon"))) {
        std::fprintf(stderr, "draw_pictures: cannot create folders in %s\n", argv[1]);
        return 1;
    }
    const QString pictures = root.filePath(QStringLiteral("pictures/"));
    const QString icons = root.filePath(QStringLiteral("icon/"));

    const QImage skin = paintConsole(KeyTone::Light);
    const QImage keys = paintConsole(KeyTone::Dark);
    const QImage atRest = consoleAtRest(skin, keys);

    bool ok = saveJpeg(skin, pictures + QStringLiteral("Im_Principale.jpg"));
    for (const KeyPlace& key : kKeyPictures)
        ok = saveJpeg(keys.copy(key.rect), pictures + QString::fromLatin1(key.file)) && ok;
    ok = saveJpeg(paintLauncherPicture(atRest), pictures + QStringLiteral("Im_Piccina.jpg")) && ok;
    ok = saveJpeg(paintPhotoStrip(atRest), pictures + QStringLiteral("Im_Foto.jpg")) && ok;
    for (int size : kIconSizes)
        ok = savePng(paintIcon(size), icons + iconFile(size)) && ok;
    ok = saveFile(iconSvg(), icons + kIconSvgFile) && ok;
    return ok ? 0 : 1;
}
