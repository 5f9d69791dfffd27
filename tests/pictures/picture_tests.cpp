// The committed colour pictures: sizes and formats the program relies on, key
// pictures that line up with the skin, and a skin the LCD segments read on.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QXmlStreamReader>

#include <algorithm>
#include <cmath>
#include <ostream>
#include <vector>

namespace {

const QString kAssets = QStringLiteral(VORLAK_ASSETS_DIR);

QImage loadPicture(const QString& relativePath, const char* format) {
    // image format plugins are found through the application object
    static int argc = 1;
    static char name[] = "picture_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    QImageReader reader(kAssets + QLatin1Char('/') + relativePath, format);
    reader.setDecideFormatFromContent(false);
    QImage img = reader.read();
    EXPECT_FALSE(img.isNull()) << relativePath.toStdString() << ": " << reader.errorString().toStdString();
    return img.isNull() ? img : img.convertToFormat(QImage::Format_RGB32);
}

QByteArray fileBytes(const QString& relativePath) {
    QFile f(kAssets + QLatin1Char('/') + relativePath);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

double luminance(QRgb c) { return 0.299 * qRed(c) + 0.587 * qGreen(c) + 0.114 * qBlue(c); }

int channelDifference(QRgb a, QRgb b) {
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
}

struct JpegCase {
    const char* file;
    int width, height;
};

void PrintTo(const JpegCase& c, std::ostream* os) { *os << c.file; }

class JpegPicture : public ::testing::TestWithParam<JpegCase> {};

TEST_P(JpegPicture, IsAJpegOfItsElementSize) {
    const JpegCase& c = GetParam();
    const QString path = QStringLiteral("pictures/") + QLatin1String(c.file);
    const QByteArray bytes = fileBytes(path);
    ASSERT_GE(bytes.size(), 3) << c.file << " is missing";
    EXPECT_EQ(bytes.left(3), QByteArray("\xFF\xD8\xFF", 3)) << c.file << " is not a JPEG file";
    const QImage img = loadPicture(path, "jpeg");
    EXPECT_EQ(img.width(), c.width) << c.file;
    EXPECT_EQ(img.height(), c.height) << c.file;
}

INSTANTIATE_TEST_SUITE_P(Pictures, JpegPicture,
                         ::testing::Values(JpegCase{"Im_Principale.jpg", 461, 738}, JpegCase{"Im_OnOff.jpg", 34, 38},
                                           JpegCase{"Im_Sound.jpg", 34, 38}, JpegCase{"Im_ACL.jpg", 34, 38},
                                           JpegCase{"Im_Start.jpg", 79, 75}, JpegCase{"Im_Piccina.jpg", 86, 136},
                                           JpegCase{"Im_Foto.jpg", 252, 84}),
                         [](const auto& info) { return std::string(info.param.file).substr(0, std::string(info.param.file).find('.')); });

// The small icons must be palette PNGs of at most sixteen colours.
TEST(Icon, SmallSizesArePalettePngsOfSixteenColours) {
    for (int size : {16, 24, 32}) {
        SCOPED_TRACE(size);
        const QString path = QStringLiteral("icon/vorlak-%1.png").arg(size);
        const QByteArray png = fileBytes(path);
        ASSERT_GT(png.size(), 33) << path.toStdString() << " is missing";
        ASSERT_EQ(png.left(8), QByteArray("\x89PNG\r\n\x1a\n", 8));
        ASSERT_EQ(png.mid(12, 4), QByteArray("IHDR"));
        EXPECT_EQ(static_cast<unsigned char>(png[25]), 3) << "colour type is not indexed";

        // walk the chunks to the palette
        int paletteEntries = -1;
        for (qsizetype at = 8; at + 8 <= png.size();) {
            const auto* p = reinterpret_cast<const unsigned char*>(png.constData() + at);
            const qsizetype length = (qsizetype(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
            if (png.mid(at + 4, 4) == "PLTE")
                paletteEntries = static_cast<int>(length / 3);
            at += length + 12;
        }
        EXPECT_GE(paletteEntries, 2);
        EXPECT_LE(paletteEntries, 16);

        QImageReader reader(kAssets + QLatin1Char('/') + path, "png");
        const QImage img = reader.read();
        ASSERT_FALSE(img.isNull()) << reader.errorString().toStdString();
        EXPECT_EQ(img.size(), QSize(size, size));
        EXPECT_LE(img.colorCount(), 16);
    }
}

// The large icons: square, see-through around the red console, which fills
// the height.
TEST(Icon, LargeSizesShowTheRedConsoleOnTransparency) {
    for (int size : {48, 64, 128, 256}) {
        SCOPED_TRACE(size);
        QImageReader reader(kAssets + QStringLiteral("/icon/vorlak-%1.png").arg(size), "png");
        const QImage img = reader.read().convertToFormat(QImage::Format_ARGB32);
        ASSERT_FALSE(img.isNull()) << reader.errorString().toStdString();
        ASSERT_EQ(img.size(), QSize(size, size));
        for (QPoint corner : {QPoint(0, 0), QPoint(size - 1, 0), QPoint(0, size - 1), QPoint(size - 1, size - 1)})
            EXPECT_EQ(qAlpha(img.pixel(corner)), 0);
        const QRgb body = img.pixel(size / 2, size * 15 / 16);
        EXPECT_EQ(qAlpha(body), 255);
        EXPECT_GT(qRed(body), 150);
        EXPECT_LT(qGreen(body), 60);
        EXPECT_EQ(qAlpha(img.pixel(size / 2, size / 64 + 1)), 255) << "the console does not reach the top";
    }
}

// The scalable icon: well-formed SVG on the large icons' square grid.
TEST(Icon, ScalableIconIsAnSvgOfPaths) {
    QXmlStreamReader xml(fileBytes(QStringLiteral("icon/vorlak.svg")));
    ASSERT_TRUE(xml.readNextStartElement()) << xml.errorString().toStdString();
    EXPECT_EQ(xml.name(), QLatin1String("svg"));
    EXPECT_EQ(xml.namespaceUri(), QLatin1String("http://www.w3.org/2000/svg"));
    EXPECT_EQ(xml.attributes().value(QLatin1String("viewBox")), QLatin1String("0 0 64 64"));
    int paths = 0;
    while (xml.readNextStartElement()) {
        EXPECT_EQ(xml.name(), QLatin1String("path"));
        ++paths;
        xml.skipCurrentElement();
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_GE(paths, 10);
}

// Where each key sits in the skin, and the shape of its face.
struct KeyCase {
    const char* file;
    QRect rect;        // the element's rectangle in the window
    QPointF centre;    // the face's centre in the window
    double halfWidth;  // the face's half extent, before the tilt
    double halfHeight;
    double tiltDegrees;  // clockwise on screen
    bool round;
};

const KeyCase kKeys[] = {
    {"Im_OnOff.jpg", QRect(195, 475, 34, 38), QPointF(212, 494), 9, 13, -25, false},
    {"Im_Sound.jpg", QRect(240, 475, 34, 38), QPointF(257, 494), 9, 13, -25, false},
    {"Im_ACL.jpg", QRect(288, 475, 34, 38), QPointF(305, 494), 9, 13, -25, false},
    {"Im_Start.jpg", QRect(338, 392, 79, 75), QPointF(377.5, 429.5), 30, 30, 0, true},
};

void PrintTo(const KeyCase& c, std::ostream* os) { *os << c.file; }

// True when the window pixel (x, y) lies on the key's face grown by margin.
bool onFace(const KeyCase& key, int x, int y, double margin) {
    const double dx = x + 0.5 - key.centre.x(), dy = y + 0.5 - key.centre.y();
    if (key.round)
        return std::hypot(dx, dy) <= key.halfWidth + margin;
    const double a = -key.tiltDegrees * M_PI / 180;  // undo the tilt
    const double u = dx * std::cos(a) - dy * std::sin(a), v = dx * std::sin(a) + dy * std::cos(a);
    return std::abs(u) <= key.halfWidth + margin && std::abs(v) <= key.halfHeight + margin;
}

class KeyPicture : public ::testing::TestWithParam<KeyCase> {
protected:
    void SetUp() override {
        skin = loadPicture(QStringLiteral("pictures/Im_Principale.jpg"), "jpeg");
        key = loadPicture(QStringLiteral("pictures/") + QLatin1String(GetParam().file), "jpeg");
        ASSERT_FALSE(skin.isNull());
        ASSERT_FALSE(key.isNull());
        ASSERT_EQ(key.size(), GetParam().rect.size());
    }
    QImage skin, key;
};

// Around the key, the picture is the skin itself, so swapping the two shows
// no seam; only the face differs.
TEST_P(KeyPicture, MatchesTheSkinAroundTheKey) {
    const KeyCase& c = GetParam();
    std::vector<int> differences;
    for (int y = 0; y < key.height(); ++y)
        for (int x = 0; x < key.width(); ++x) {
            const int wx = c.rect.left() + x, wy = c.rect.top() + y;
            if (!onFace(c, wx, wy, 4.0))
                differences.push_back(channelDifference(key.pixel(x, y), skin.pixel(wx, wy)));
        }
    ASSERT_GT(differences.size(), 200u);
    std::sort(differences.begin(), differences.end());
    double mean = 0;
    for (int d : differences)
        mean += d;
    mean /= differences.size();
    // JPEG noise alone stays near 5 on average and under 17 at the 99th
    // percentile; a crop one pixel off puts the key's rim edges above 20.
    EXPECT_LT(mean, 7.0);
    EXPECT_LE(differences[differences.size() * 99 / 100], 20) << "99th percentile";
}

// The face in the key picture is darker and more violet than in the skin,
// so hiding the picture makes the key look pressed.
TEST_P(KeyPicture, FaceIsDarkerAndMoreVioletThanInTheSkin) {
    const KeyCase& c = GetParam();
    double keyLight = 0, skinLight = 0, keyBlueOverGreen = 0, skinBlueOverGreen = 0;
    int count = 0;
    for (int y = 0; y < key.height(); ++y)
        for (int x = 0; x < key.width(); ++x) {
            const int wx = c.rect.left() + x, wy = c.rect.top() + y;
            if (!onFace(c, wx, wy, -3.0))
                continue;
            const QRgb k = key.pixel(x, y), s = skin.pixel(wx, wy);
            keyLight += luminance(k);
            skinLight += luminance(s);
            keyBlueOverGreen += qBlue(k) - qGreen(k);
            skinBlueOverGreen += qBlue(s) - qGreen(s);
            ++count;
        }
    ASSERT_GT(count, 50);
    EXPECT_GT(skinLight / count - keyLight / count, 20.0);
    EXPECT_GT(keyBlueOverGreen / count - skinBlueOverGreen / count, 30.0);
    // the skin's face is a light cyan, not a red patch of the body
    EXPECT_GT(skinLight / count, 160.0);
    EXPECT_GT(skinBlueOverGreen / count, -5.0);
}

INSTANTIATE_TEST_SUITE_P(Keys, KeyPicture, ::testing::ValuesIn(kKeys), [](const auto& info) {
    return std::string(info.param.file).substr(3, std::string(info.param.file).find('.') - 3);
});

TEST(Skin, BodyIsRedInsideTheOutlineAndDarkOutside) {
    const QImage skin = loadPicture(QStringLiteral("pictures/Im_Principale.jpg"), "jpeg");
    ASSERT_FALSE(skin.isNull());
    for (QPoint body : {QPoint(230, 400), QPoint(20, 30), QPoint(230, 600), QPoint(60, 650), QPoint(400, 560)}) {
        const QRgb c = skin.pixel(body);
        SCOPED_TRACE(testing::Message() << "body at " << body.x() << "," << body.y());
        EXPECT_GT(qRed(c), 150);
        EXPECT_LT(qGreen(c), 70);
        EXPECT_LT(qBlue(c), 80);
    }
    // corners the outline leaves out, including the broad lower right one
    for (QPoint outside : {QPoint(0, 0), QPoint(3, 3), QPoint(458, 733), QPoint(440, 730), QPoint(4, 736)}) {
        SCOPED_TRACE(testing::Message() << "outside at " << outside.x() << "," << outside.y());
        EXPECT_LT(luminance(skin.pixel(outside)), 60.0);
        EXPECT_LT(qRed(skin.pixel(outside)), 70);
    }
}

// A few pixels either side of the window's outline: the body must reach the
// outline everywhere (no see-through gap), and nothing red may lie beyond it.
TEST(Skin, FollowsTheWindowOutline) {
    const QImage skin = loadPicture(QStringLiteral("pictures/Im_Principale.jpg"), "jpeg");
    ASSERT_FALSE(skin.isNull());
    // row 300 spans x 2..461, row 690 2..448, row 730 12..399, row 736 20..370
    for (QPoint inside : {QPoint(6, 300), QPoint(456, 300), QPoint(6, 690), QPoint(444, 690), QPoint(16, 730),
                          QPoint(395, 730), QPoint(24, 736), QPoint(366, 736)}) {
        SCOPED_TRACE(testing::Message() << "inside at " << inside.x() << "," << inside.y());
        const QRgb c = skin.pixel(inside);
        EXPECT_GT(qRed(c), 80);  // the rim is shaded dark along the lower edges
        EXPECT_GT(qRed(c), 3 * qGreen(c));
    }
    for (QPoint outside : {QPoint(452, 690), QPoint(445, 700), QPoint(8, 730), QPoint(403, 730), QPoint(375, 736),
                           QPoint(16, 736)}) {
        SCOPED_TRACE(testing::Message() << "outside at " << outside.x() << "," << outside.y());
        EXPECT_LT(luminance(skin.pixel(outside)), 60.0);
        EXPECT_LT(qRed(skin.pixel(outside)), 70);
    }
}

// Lit segments are solid black on the printed backdrop: it must be light
// everywhere the segments fall.
TEST(Skin, LcdBackdropIsLightUnderTheSegments) {
    const QImage skin = loadPicture(QStringLiteral("pictures/Im_Principale.jpg"), "jpeg");
    ASSERT_FALSE(skin.isNull());
    std::vector<double> values;
    for (int y = 101; y <= 253; ++y)
        for (int x = 121; x <= 330; ++x)
            values.push_back(luminance(skin.pixel(x, y)));
    std::sort(values.begin(), values.end());
    double mean = 0;
    for (double v : values)
        mean += v;
    mean /= values.size();
    EXPECT_GT(mean, 160.0);
    EXPECT_GT(values[values.size() / 100], 120.0) << "1st percentile";
}

TEST(LauncherPicture, ShowsTheRedConsoleOnBlack) {
    const QImage img = loadPicture(QStringLiteral("pictures/Im_Piccina.jpg"), "jpeg");
    ASSERT_FALSE(img.isNull());
    EXPECT_LT(luminance(img.pixel(0, 135)), 30.0);
    EXPECT_LT(luminance(img.pixel(85, 135)), 30.0);
    const QRgb body = img.pixel(43, 120);
    EXPECT_GT(qRed(body), 140);
    EXPECT_LT(qGreen(body), 80);
}

}  // namespace
