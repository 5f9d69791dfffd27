#include "frontends/win32/shell/drawn_controls.h"

namespace vorlak {

HFONT createPixelFont(const FontStyle& style, int scale) {
    LOGFONTW font{};
    font.lfHeight = -style.pixels * scale;  // the character height, without the leading
    font.lfWeight = style.bold ? FW_BOLD : FW_NORMAL;
    font.lfUnderline = style.underline;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    lstrcpynW(font.lfFaceName, style.face == FontFace::Arial ? L"Arial" : L"MS Sans Serif", LF_FACESIZE);
    return CreateFontIndirectW(&font);
}

void drawLabel(HDC dc, const DrawnLabel& label, HFONT font, int scale) {
    RECT r = label.place.scaled(scale);
    const HGDIOBJ old = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, label.colour);
    const UINT align = label.align == Align::Centre ? DT_CENTER : label.align == Align::Right ? DT_RIGHT : DT_LEFT;
    DrawTextW(dc, label.text.c_str(), static_cast<int>(label.text.size()), &r,
              align | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
    SelectObject(dc, old);
}

DrawnPicture::DrawnPicture(const wchar_t* resource, Place place) : place_(place) {
    if (const auto image = decodeJpeg(programResource(resource))) {
        bitmap_ = bitmapOfImage(*image);
        width_ = image->width;
        height_ = image->height;
    }
}

DrawnPicture::~DrawnPicture() {
    if (bitmap_) DeleteObject(bitmap_);
}

void DrawnPicture::draw(HDC dc, int scale) const {
    if (!bitmap_) return;
    HDC source = CreateCompatibleDC(dc);
    const HGDIOBJ old = SelectObject(source, bitmap_);
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, place_.left * scale, place_.top * scale, width_ * scale, height_ * scale, source, 0, 0, width_,
               height_, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
}

}  // namespace vorlak
