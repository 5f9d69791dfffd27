#include "game/bitmap.h"

#include <cctype>

namespace vorlak {
namespace {

constexpr long kMaxSide = 1 << 14;  // far beyond any picture of the console

class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    // Skips whitespace and comments.
    void skipSpace() {
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            if (c == '#') {
                while (pos_ < text_.size() && text_[pos_] != '\n' && text_[pos_] != '\r') ++pos_;
            } else if (std::isspace(static_cast<unsigned char>(c))) {
                ++pos_;
            } else {
                return;
            }
        }
    }

    // A positive decimal size; false if there is none or it is out of range.
    bool size(long& value) {
        skipSpace();
        const std::size_t start = pos_;
        value = 0;
        while (pos_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[pos_]))) {
            value = value * 10 + (text_[pos_] - '0');
            ++pos_;
            if (value > kMaxSide) return false;
        }
        if (pos_ == start || value <= 0) return false;
        // A number must end at whitespace, a comment or the end of the text.
        return pos_ == text_.size() || text_[pos_] == '#' ||
               std::isspace(static_cast<unsigned char>(text_[pos_]));
    }

    bool atEnd() const { return pos_ >= text_.size(); }
    char peek() const { return text_[pos_]; }
    void advance(std::size_t n = 1) { pos_ += n; }
    std::size_t position() const { return pos_; }
    std::string_view rest() const { return text_.substr(pos_); }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

std::optional<Bitmap> fail(std::string* error, std::string message) {
    if (error) *error = std::move(message);
    return std::nullopt;
}

}  // namespace

std::optional<Bitmap> parsePbm(std::string_view text, std::string* error) {
    if (text.size() < 2 || text[0] != 'P' || (text[1] != '1' && text[1] != '4'))
        return fail(error, "not a PBM picture: it must start with P1 or P4");
    const bool binary = text[1] == '4';
    Reader in(text);
    in.advance(2);
    if (!in.atEnd() && !std::isspace(static_cast<unsigned char>(in.peek())) && in.peek() != '#')
        return fail(error, "not a PBM picture: unexpected character after the magic number");

    long width = 0, height = 0;
    if (!in.size(width)) return fail(error, "bad width: expected a whole number from 1 to 16384");
    if (!in.size(height)) return fail(error, "bad height: expected a whole number from 1 to 16384");

    Bitmap picture;
    picture.width = static_cast<int>(width);
    picture.height = static_cast<int>(height);
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    picture.black.assign(count, 0);

    if (binary) {
        // Exactly one whitespace character separates the header from the rows.
        if (in.atEnd() || !std::isspace(static_cast<unsigned char>(in.peek())))
            return fail(error, "bad header: expected whitespace before the pixel data");
        in.advance();
        const std::size_t rowBytes = (static_cast<std::size_t>(width) + 7) / 8;
        const std::string_view data = in.rest();
        if (data.size() < rowBytes * static_cast<std::size_t>(height))
            return fail(error, "short data: " + std::to_string(data.size()) + " bytes of pixels, expected " +
                                   std::to_string(rowBytes * height));
        for (int y = 0; y < picture.height; ++y)
            for (int x = 0; x < picture.width; ++x) {
                const auto byte = static_cast<unsigned char>(data[y * rowBytes + x / 8]);
                picture.black[static_cast<std::size_t>(y) * width + x] = (byte >> (7 - x % 8)) & 1;
            }
        return picture;
    }

    std::size_t filled = 0;
    for (;;) {
        in.skipSpace();
        if (in.atEnd()) break;
        const char c = in.peek();
        if (c != '0' && c != '1') {
            std::string shown = std::isprint(static_cast<unsigned char>(c)) ? std::string(1, c)
                                                                             : "code " + std::to_string(int(c));
            return fail(error, "bad pixel '" + shown + "' at offset " + std::to_string(in.position()) +
                                   ": pixels must be 0 (white) or 1 (black)");
        }
        if (filled == count)
            return fail(error, "too much data: more than the " + std::to_string(count) + " pixels of a " +
                                   std::to_string(width) + " x " + std::to_string(height) + " picture");
        picture.black[filled++] = c == '1';
        in.advance();
    }
    if (filled < count)
        return fail(error, "short data: " + std::to_string(filled) + " pixels, expected " + std::to_string(count) +
                               " for " + std::to_string(width) + " x " + std::to_string(height));
    return picture;
}

std::string toPlainPbm(const Bitmap& picture) {
    std::string out = "P1\n" + std::to_string(picture.width) + " " + std::to_string(picture.height) + "\n";
    out.reserve(out.size() + static_cast<std::size_t>(picture.width + 1) * picture.height);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) out += picture.at(x, y) ? '1' : '0';
        out += '\n';
    }
    return out;
}

}  // namespace vorlak
