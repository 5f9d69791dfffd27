// The console's pictures, compiled into the program as resources and made
// ready for GDI once at start: the colour pictures (JPEG, decoded by the
// system's imaging component, WIC) and the 1-bit LCD pictures (PBM text)
// as 32-bit bitmaps, the LCD ones black on white so that an AND of them
// onto the skin leaves only their black pixels.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "game/bitmap.h"
#include "game/panel.h"

namespace vorlak {

struct Image {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, row by row from the top
    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// A JPEG picture's pixels, or nothing when WIC cannot read it. COM must be
// initialised on the calling thread.
std::optional<Image> decodeJpeg(std::span<const std::uint8_t> bytes);
// A two-colour picture with black 0x000000 and white 0xFFFFFF.
Image twoColourImage(const Bitmap& picture);
// A 32-bit top-down bitmap of the pixels; the caller owns it.
HBITMAP bitmapOfImage(const Image& image);
// The bytes of an RCDATA resource of the program, empty when it has none.
std::span<const std::uint8_t> programResource(const wchar_t* name);

class ConsolePictures {
public:
    // Reads every element's picture from the program's resources, named as
    // the elements are (Im_Principale, Im_Avv11, ...).
    ConsolePictures();
    ~ConsolePictures();
    ConsolePictures(const ConsolePictures&) = delete;
    ConsolePictures& operator=(const ConsolePictures&) = delete;

    // The element's own picture, null when it has none or it did not load.
    HBITMAP bitmap(Element e) const { return bitmaps_[e]; }
    const Image* image(Element e) const { return images_[e] ? &*images_[e] : nullptr; }
    // What did not load, one line each.
    const std::vector<std::string>& problems() const { return problems_; }

private:
    std::array<std::optional<Image>, ElementCount> images_;
    std::array<HBITMAP, ElementCount> bitmaps_{};
    std::vector<std::string> problems_;
};

}  // namespace vorlak
