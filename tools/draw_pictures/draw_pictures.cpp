// Paints the console's colour pictures: the skin, the four key pictures cut
// from it, the launcher's small console, the about window's photo strip and
// the application icon in every size the desktop asks for, and as SVG.
// Everything is drawn from code so the output is the same on every run; the
// results are committed under assets/.
//
//   draw_pictures <assets directory>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>

#include <array>
#include <cstdio>

#include "tools/draw_pictures/icon.h"
#include "tools/draw_pictures/launcher_pictures.h"
#include "tools/draw_pictures/skin.h"

namespace {

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
