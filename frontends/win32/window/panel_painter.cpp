#include "frontends/win32/window/panel_painter.h"

#include <algorithm>

namespace vorlak {

Rect unite(const Rect& a, const Rect& b) {
    if (a.width <= 0 || a.height <= 0) return b;
    if (b.width <= 0 || b.height <= 0) return a;
    const int left = std::min(a.left, b.left), top = std::min(a.top, b.top);
    return {left, top, std::max(a.right(), b.right()) - left, std::max(a.bottom(), b.bottom()) - top};
}

Rect intersect(const Rect& a, const Rect& b) {
    const int left = std::max(a.left, b.left), top = std::max(a.top, b.top);
    const int right = std::min(a.right(), b.right()), bottom = std::min(a.bottom(), b.bottom());
    if (right <= left || bottom <= top) return {};
    return {left, top, right - left, bottom - top};
}

void paintPanel(HDC target, const Panel& panel, const ConsolePictures& pictures, const Rect& area) {
    if (area.width <= 0 || area.height <= 0) return;
    PatBlt(target, area.left, area.top, area.width, area.height, WHITENESS);
    HDC source = CreateCompatibleDC(target);
    if (!source) return;
    const HGDIOBJ original = GetCurrentObject(source, OBJ_BITMAP);
    for (int i = 0; i < kDrawnElementCount; ++i) {
        const auto e = static_cast<Element>(i);
        if (!panel.shown(e)) continue;
        const auto picture = panel.pictureOf(e);
        if (!picture) continue;
        const HBITMAP bitmap = pictures.bitmap(*picture);
        if (!bitmap) continue;
        const ElementInfo& info = elementInfo(e);
        const Rect place = intersect(info.rect, area);
        if (place.width == 0) continue;
        const bool byBlackPixels = elementInfo(*picture).picture == PictureKind::TwoColour && info.transparent;
        SelectObject(source, bitmap);
        BitBlt(target, place.left, place.top, place.width, place.height, source, place.left - info.rect.left,
               place.top - info.rect.top, byBlackPixels ? SRCAND : SRCCOPY);
    }
    SelectObject(source, original);
    DeleteDC(source);
}

}  // namespace vorlak
