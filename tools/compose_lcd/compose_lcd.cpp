// compose_lcd: builds the all-segments test picture Im_Completa by OR-ing every
// LCD element's picture into place, the four digit slots lit as 8 (clipped to
// the picture) and an authored picture of the extra segments no element shows.
//
//   compose_lcd LCD_DIR EXTRAS.pbm OUTPUT.pbm
//   compose_lcd --check LCD_DIR EXTRAS.pbm OUTPUT.pbm   (exit 1 if OUTPUT differs)

#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "game/bitmap.h"
#include "game/panel.h"

namespace {

using vorlak::Bitmap;

bool readText(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    text = buffer.str();
    return true;
}

// Reads a picture and checks its size; reports and returns nothing on failure.
std::optional<Bitmap> readPicture(const std::string& path, int width, int height) {
    std::string text, error;
    if (!readText(path, text)) {
        std::cerr << path << ": cannot read\n";
        return std::nullopt;
    }
    auto picture = vorlak::parsePbm(text, &error);
    if (!picture) {
        std::cerr << path << ": " << error << "\n";
        return std::nullopt;
    }
    if (picture->width != width || picture->height != height) {
        std::cerr << path << ": " << picture->width << " x " << picture->height << ", expected " << width
                  << " x " << height << "\n";
        return std::nullopt;
    }
    return picture;
}

void orInto(Bitmap& target, const Bitmap& source, int dx, int dy) {
    for (int y = 0; y < source.height; ++y)
        for (int x = 0; x < source.width; ++x) {
            const int tx = x + dx, ty = y + dy;
            if (source.at(x, y) && tx >= 0 && ty >= 0 && tx < target.width && ty < target.height)
                target.black[static_cast<std::size_t>(ty) * target.width + tx] = 1;
        }
}

}  // namespace

int main(int argc, char** argv) {
    using namespace vorlak;
    int arg = 1;
    const bool check = argc > 1 && std::string(argv[1]) == "--check";
    if (check) ++arg;
    if (argc - arg != 3) {
        std::cerr << "usage: compose_lcd [--check] LCD_DIR EXTRAS.pbm OUTPUT.pbm\n";
        return 2;
    }
    const std::string lcdDir = argv[arg], extrasPath = argv[arg + 1], outputPath = argv[arg + 2];
    const Rect frame = elementInfo(Im_Completa).rect;
    auto pathOf = [&](std::string_view name) { return lcdDir + "/" + std::string(name) + ".pbm"; };

    Bitmap all;
    all.width = frame.width;
    all.height = frame.height;
    all.black.assign(static_cast<std::size_t>(frame.width) * frame.height, 0);

    bool ok = true;
    for (int i = 0; i < kDrawnElementCount; ++i) {
        const auto e = static_cast<Element>(i);
        const ElementInfo& info = elementInfo(e);
        if (e == Im_Completa || info.picture != PictureKind::TwoColour) continue;
        auto picture = readPicture(pathOf(info.name), info.rect.width, info.rect.height);
        if (!picture) {
            ok = false;
            continue;
        }
        orInto(all, *picture, info.rect.left - frame.left, info.rect.top - frame.top);
    }

    const ElementInfo& eight = elementInfo(Im_Num8);
    if (auto picture = readPicture(pathOf(eight.name), eight.rect.width, eight.rect.height)) {
        for (Element slot : {Im_NumPos1, Im_NumPos2, Im_NumPos3, Im_NumPos4}) {
            const Rect r = elementInfo(slot).rect;
            orInto(all, *picture, r.left - frame.left, r.top - frame.top);
        }
    } else {
        ok = false;
    }

    if (auto extras = readPicture(extrasPath, frame.width, frame.height))
        orInto(all, *extras, 0, 0);
    else
        ok = false;
    if (!ok) return 1;

    const std::string composed = toPlainPbm(all);
    if (check) {
        std::string existing;
        if (!readText(outputPath, existing) || existing != composed) {
            std::cerr << outputPath << " is out of date: run compose_lcd to rebuild it\n";
            return 1;
        }
        return 0;
    }
    std::ofstream out(outputPath, std::ios::binary | std::ios::trunc);
    out << composed;
    if (!out) {
        std::cerr << outputPath << ": cannot write\n";
        return 1;
    }
    return 0;
}
