// Writes the fuzzers' seed corpus with the program's own writers: every
// size, depth and kind of icon file, one of a bitmap and a PNG entry, a few
// strips, and PNGs of both sizes.
#include <cstdio>
#include <string>
#include "document/Document.h"
#include "formats/IcFormat.h"
#include "formats/IconPack.h"
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
    {   // a 24-bit bitmap and a PNG entry of the picture in one icon, as the pack writer stores them
        std::vector<uint32_t> rgba(px, px + ImagePixels);
        for (uint32_t& p : rgba) p = p == MaskColor ? 0 : p | 0xFF000000u;
        std::vector<StoredEntry> two(2);
        MemoryStream out;
        if (!StoreEntry(32, 32, rgba, 24, false, two[0]) || !StoreEntry(32, 32, rgba, 32, true, two[1]) ||
            WriteIconFile(out, false, two) != 0 || !Save(std::string(argv[1]) + "/seed-two-entries.ico", out.data))
            return 1;
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
