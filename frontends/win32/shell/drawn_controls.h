// What the launcher and the about window draw on themselves rather than as
// windows of their own: labels in the fonts they are laid out for, and
// pictures. Places are in the windows' pixels at 1x; everything is drawn at
// the window's whole scale.
#pragma once

#include <windows.h>

#include <string>

#include "frontends/win32/window/console_pictures.h"

namespace vorlak {

enum class FontFace { Arial, MsSansSerif };

struct FontStyle {
    FontFace face = FontFace::Arial;
    int pixels = 11;  // character height, as the layout gives it
    bool bold = false;
    bool underline = false;
};

// The font at the scale; the caller owns it.
HFONT createPixelFont(const FontStyle& style, int scale);

struct Place {
    int left = 0, top = 0, width = 0, height = 0;
    RECT scaled(int scale) const { return {left * scale, top * scale, (left + width) * scale, (top + height) * scale}; }
    bool holds(int x, int y, int scale) const {
        const RECT r = scaled(scale);
        return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
    }
};

enum class Align { Left, Centre, Right };

struct DrawnLabel {
    Place place;
    std::wstring text;
    FontStyle font;
    COLORREF colour = RGB(255, 255, 255);
    Align align = Align::Left;
};

// One line of text over what lies beneath, from the top of its place and
// aligned across it; a text wider than its place is not cut.
void drawLabel(HDC dc, const DrawnLabel& label, HFONT font, int scale);

// A picture from the program's resources (a JPEG), drawn at its place.
class DrawnPicture {
public:
    DrawnPicture(const wchar_t* resource, Place place);
    ~DrawnPicture();
    DrawnPicture(const DrawnPicture&) = delete;
    DrawnPicture& operator=(const DrawnPicture&) = delete;

    bool loaded() const { return bitmap_ != nullptr; }
    void draw(HDC dc, int scale) const;

private:
    Place place_;
    HBITMAP bitmap_ = nullptr;
    int width_ = 0, height_ = 0;
};

}  // namespace vorlak
