// The console's skin picture: its size, the colour outside the window's
// outline, the two key tones and where the key pictures are cut from it.
#pragma once

#include <QColor>
#include <QImage>
#include <QRect>

#include <array>

namespace vorlak::pictures {

constexpr int kSkinWidth = 461;
constexpr int kSkinHeight = 738;

inline const QColor kOutsideColour(30, 30, 32);

// Key faces: the skin shows them light cyan, the key pictures a darker,
// more violet blue, so hiding a key picture makes the key look pressed.
enum class KeyTone { Light, Dark };

inline QColor keyFace(KeyTone tone) { return tone == KeyTone::Light ? QColor(150, 222, 236) : QColor(124, 166, 228); }

struct KeyPlace {
    const char* file;
    QRect rect;
};
constexpr int kSmallKeyCount = 3;
inline const std::array<KeyPlace, 4> kKeyPictures{{
    {"Im_OnOff.jpg", QRect(195, 475, 34, 38)},
    {"Im_Sound.jpg", QRect(240, 475, 34, 38)},
    {"Im_ACL.jpg", QRect(288, 475, 34, 38)},
    {"Im_Start.jpg", QRect(338, 392, 79, 75)},
}};

// The whole skin; the dark tone gives the picture the key pictures are cut from.
QImage paintConsole(KeyTone tone);

// The console as it looks at rest (keys up), outside the outline black.
QImage consoleAtRest(const QImage& skin, const QImage& keys);

}  // namespace vorlak::pictures
