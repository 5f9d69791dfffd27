#include "frontends/qt/window/pictures.h"

#include <QFile>

#include "game/bitmap.h"

namespace vorlak {

QImage ConsolePictures::fromTwoColourText(const QByteArray& text, QString* error) {
    std::string why;
    const auto bitmap = parsePbm(std::string_view(text.constData(), static_cast<size_t>(text.size())), &why);
    if (!bitmap) {
        if (error) *error = QString::fromStdString(why);
        return {};
    }
    QImage image(bitmap->width, bitmap->height, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < bitmap->height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < bitmap->width; ++x) line[x] = bitmap->at(x, y) ? 0xFF000000u : 0x00000000u;
    }
    return image;
}

ConsolePictures::ConsolePictures() {
    for (int i = 0; i < ElementCount; ++i) {
        const auto e = static_cast<Element>(i);
        const ElementInfo& info = elementInfo(e);
        const QString name = QString::fromLatin1(info.name.data(), static_cast<int>(info.name.size()));
        QImage image;
        QString path;
        QString why;
        if (info.picture == PictureKind::TwoColour) {
            path = QStringLiteral(":/lcd/%1.pbm").arg(name);
            QFile file(path);
            if (file.open(QIODevice::ReadOnly))
                image = fromTwoColourText(file.readAll(), &why);
            else
                why = QStringLiteral("missing");
        } else if (info.picture == PictureKind::Colour) {
            path = QStringLiteral(":/pictures/%1.jpg").arg(name);
            image = QImage(path).convertToFormat(QImage::Format_RGB32);
            if (image.isNull()) why = QStringLiteral("missing or not a JPEG picture");
        } else {
            continue;
        }
        if (!image.isNull() && (image.width() != info.rect.width || image.height() != info.rect.height)) {
            why = QStringLiteral("is %1 x %2, expected %3 x %4")
                      .arg(image.width()).arg(image.height()).arg(info.rect.width).arg(info.rect.height);
            image = QImage();
        }
        if (image.isNull())
            problems_ << QStringLiteral("picture %1 (%2): %3").arg(name, path, why);
        images_[i] = image;
    }
}

const QImage* ConsolePictures::picture(Element e) const {
    const QImage& image = images_[e];
    return image.isNull() ? nullptr : &image;
}

}  // namespace vorlak
