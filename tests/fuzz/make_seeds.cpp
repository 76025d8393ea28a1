// Writes the fuzzers' seed corpus with the program's own writers: every
// size, depth and kind of icon file, a few strips, and PNGs of both sizes.
#include <cstdio>
#include <string>
#include "document/Document.h"
#include "formats/IcFormat.h"
#include "formats/StripBitmap.h"
#include "formats/PngImage.h"

static bool Save(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: make_seeds ICON_DIR STRIP_DIR PNG_DIR\n");
        return 2;
    }
    uint32_t px[ImagePixels];
    for (int i = 0; i < ImagePixels; ++i)
        px[i] = (i % 7 == 0) ? MaskColor : MakeColour(i * 13, i * 5, 255 - i);
    for (int f = 0; f < FormatCount; ++f)
        for (int cursor = 0; cursor < 2; ++cursor) {
            MemoryStream out;
            Format(out, px, f, cursor, 3, 5);
            if (!Save(std::string(argv[1]) + "/seed-" + std::to_string(f) + (cursor ? ".cur" : ".ico"), out.data)) return 1;
        }
    {   // the 32x32 24-bit picture and a PNG entry after it, as other programs write them
        MemoryStream one;
        Format(one, px, 7, 0, 0, 0);
        const std::vector<uint8_t> png = EncodePng(32, px);
        std::vector<uint8_t> file = {0, 0, 1, 0, 2, 0};
        const size_t bitmap = one.data.size() - 22, first = 6 + 32;
        for (size_t entry = 0; entry < 2; ++entry) {
            const size_t bytes = entry ? png.size() : bitmap, at = entry ? first + bitmap : first;
            const uint8_t fields[16] = {32, 32, 0, 0, 1, 0, 32, 0, uint8_t(bytes), uint8_t(bytes >> 8), 0, 0,
                                        uint8_t(at), uint8_t(at >> 8), 0, 0};
            file.insert(file.end(), fields, fields + 16);
        }
        file.insert(file.end(), one.data.begin() + 22, one.data.end());
        file.insert(file.end(), png.begin(), png.end());
        if (!Save(std::string(argv[1]) + "/seed-two-entries.ico", file)) return 1;
    }
    for (int pace : {16, 32})
        for (int count : {1, 3}) {
            StripImages strip{pace, count, std::vector<uint32_t>(static_cast<size_t>(count) * pace * pace, MaskColor)};
            for (size_t i = 0; i < strip.Pixels.size(); i += 5) strip.Pixels[i] = static_cast<uint32_t>(i * 2654435761u) & 0xFFFFFF;
            MemoryStream out;
            WriteStripBitmap(out, strip);
            if (!Save(std::string(argv[2]) + "/seed-" + std::to_string(pace) + "-" + std::to_string(count) + ".bmp",
                      out.data))
                return 1;
        }
    for (int pace : {16, 32})
        if (!Save(std::string(argv[3]) + "/seed-" + std::to_string(pace) + ".png", EncodePng(pace, px))) return 1;
    return 0;
}
