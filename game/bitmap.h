// Two-colour pictures as the LCD artwork stores them: Netpbm PBM, plain (P1,
// a picture a person can read in a diff) or binary (P4). Plain C++, no toolkit.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorlak {

struct Bitmap {
    int width = 0, height = 0;
    std::vector<std::uint8_t> black;  // width * height, row by row; 1 = black, 0 = white
    bool at(int x, int y) const {     // false outside the picture
        return x >= 0 && y >= 0 && x < width && y < height && black[static_cast<std::size_t>(y) * width + x];
    }
};

// Reads a PBM picture. On failure returns nothing and, if asked, says why.
// P1: header "P1 <width> <height>", then width * height pixels of '0' (white)
// or '1' (black), with or without whitespace between them; '#' starts a
// comment to the end of the line anywhere outside a number.
std::optional<Bitmap> parsePbm(std::string_view text, std::string* error = nullptr);

// Writes the plain form with one text line per pixel row.
std::string toPlainPbm(const Bitmap& picture);

}  // namespace vorlak
