// Puts the skin together: body, lip, screen panel and controls, then clears
// everything outside the outline.
#include "tools/draw_pictures/skin.h"

#include <QPainter>
#include <QPainterPath>

#include "tools/draw_pictures/bezel.h"
#include "tools/draw_pictures/body.h"
#include "tools/draw_pictures/controls.h"
#include "tools/draw_pictures/paint_helpers.h"

namespace vorlak::pictures {

QImage paintConsole(KeyTone tone) {
    static const Outline outline;
    QImage img(kSkinWidth, kSkinHeight, QImage::Format_RGB32);
    paintBody(img, outline);

    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    paintTopLip(p);
    paintBezel(p);
    paintDirectionPad(p);
    paintSpeakerGrille(p);
    paintStartKey(p, tone);
    paintSmallKeys(p, tone);
    paintGrooves(p);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    QPainterPath code;
    code.addText(24, 708, dejaVu(10, true), QStringLiteral("VK-03"));
    p.drawPath(code);
    p.end();

    // nothing may show outside the outline
    for (int y = 0; y < kSkinHeight; ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < kSkinWidth; ++x)
            if (!outline.inside(x, y))
                line[x] = kOutsideColour.rgb();
    }
    return img;
}

QImage consoleAtRest(const QImage& skin, const QImage& keys) {
    QImage img = skin.copy();
    QPainter p(&img);
    for (const KeyPlace& key : kKeyPictures)
        p.drawImage(key.rect.topLeft(), keys, key.rect);
    p.end();
    static const Outline outline;
    for (int y = 0; y < kSkinHeight; ++y)
        for (int x = 0; x < kSkinWidth; ++x)
            if (!outline.inside(x, y))
                img.setPixel(x, y, qRgb(0, 0, 0));
    return img;
}

}  // namespace vorlak::pictures
