// The controls moulded into the body: the direction pad, the speaker grille,
// the START key, the three small keys and the grooves at the lower corner.
// KeyTone picks the released (skin) or pressed (key picture) look of a key.
#pragma once

#include <QPainter>

#include "tools/draw_pictures/skin.h"

namespace vorlak::pictures {

void paintDirectionPad(QPainter& p);
void paintSpeakerGrille(QPainter& p);
void paintStartKey(QPainter& p, KeyTone tone);
void paintSmallKeys(QPainter& p, KeyTone tone);
void paintGrooves(QPainter& p);

}  // namespace vorlak::pictures
