#include "formats/IconPack.h"
#include <algorithm>
#include <map>
#include <new>
#include "formats/FileErrors.h"
#include "formats/LittleEndian.h"
#include "formats/PngImage.h"

namespace {

constexpr uint32_t InfoHeaderBytes = 40;
constexpr uint32_t Black = 0;

uint32_t AlphaOf(uint32_t p) { return p >> 24; }
bool Clear(uint32_t p) { return AlphaOf(p) < 128; }
uint32_t ColourOf(uint32_t p) { return p & 0x00FFFFFFu; }

// The colours a palette must hold for a picture stored without alpha: the
// opaque pixels' own, and black for the transparent ones (their colour
// drawn through the mask), in order of first use.
std::vector<uint32_t> PaletteOf(const std::vector<uint32_t>& pixels, size_t limit) {
    std::vector<uint32_t> colours;
    std::map<uint32_t, bool> seen;
    for (uint32_t p : pixels) {
        const uint32_t c = Clear(p) ? Black : ColourOf(p);
        if (seen.emplace(c, true).second) {
            colours.push_back(c);
            if (colours.size() > limit) break;
        }
    }
    return colours;
}

// A bitmap entry: header, palette, colour rows and mask rows, bottom row
// first, every row a whole number of 32-bit words.
bool StoreBitmap(int width, int height, const std::vector<uint32_t>& pixels, int bits, std::vector<uint8_t>& out) {
    std::vector<uint32_t> palette;
    if (bits <= 8) {
        palette = bits == 1 ? std::vector<uint32_t>{Black, 0x00FFFFFFu} : PaletteOf(pixels, size_t(1) << bits);
        if (palette.size() > (size_t(1) << bits)) return false;
        if (bits == 1)
            for (uint32_t p : pixels)
                if (!Clear(p) && ColourOf(p) != Black && ColourOf(p) != 0x00FFFFFFu) return false;
        palette.resize(size_t(1) << bits, Black);
    }
    const size_t colourStride = (static_cast<size_t>(width) * bits + 31) / 32 * 4;
    const size_t maskStride = (static_cast<size_t>(width) + 31) / 32 * 4;
    const size_t imageBytes = (colourStride + maskStride) * static_cast<size_t>(height);
    out.clear();
    out.reserve(InfoHeaderBytes + 4 * palette.size() + imageBytes);
    Append32(out, InfoHeaderBytes);
    Append32(out, static_cast<uint32_t>(width));
    Append32(out, static_cast<uint32_t>(2 * height));   // colour rows and mask rows
    Append16(out, 1);
    Append16(out, static_cast<uint32_t>(bits));
    Append32(out, 0);                                    // no compression
    Append32(out, static_cast<uint32_t>(imageBytes));
    for (int k = 0; k < 4; ++k) Append32(out, 0);        // resolution, colours used and important: the full table
    for (uint32_t c : palette) {
        out.push_back(static_cast<uint8_t>(c >> 16));
        out.push_back(static_cast<uint8_t>(c >> 8));
        out.push_back(static_cast<uint8_t>(c));
        out.push_back(0);
    }
    std::map<uint32_t, uint32_t> indexOf;
    for (size_t k = 0; k < palette.size(); ++k) indexOf.emplace(palette[k], static_cast<uint32_t>(k));
    const size_t rows = out.size();
    out.resize(rows + imageBytes, 0);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = &out[rows + colourStride * static_cast<size_t>(height - 1 - y)];
        uint8_t* mask = &out[rows + colourStride * static_cast<size_t>(height) + maskStride * static_cast<size_t>(height - 1 - y)];
        for (int x = 0; x < width; ++x) {
            const uint32_t p = pixels[static_cast<size_t>(y) * width + x];
            // Where the mask is set, Windows draws the colour over the
            // background: at 32 bits alpha decides, below it only black
            // leaves the background as it is.
            const bool clear = bits == 32 ? AlphaOf(p) == 0 : Clear(p);
            if (clear) mask[x / 8] |= static_cast<uint8_t>(0x80u >> (x % 8));
            const uint32_t c = clear && bits < 32 ? Black : ColourOf(p);
            switch (bits) {
            case 32:
                row[4 * x + 3] = static_cast<uint8_t>(AlphaOf(p));
                [[fallthrough]];
            case 24: {
                uint8_t* b = &row[(bits / 8) * x];
                b[0] = static_cast<uint8_t>(c >> 16);
                b[1] = static_cast<uint8_t>(c >> 8);
                b[2] = static_cast<uint8_t>(c);
                break;
            }
            case 8: row[x] = static_cast<uint8_t>(indexOf[c]); break;
            case 4: row[x / 2] |= static_cast<uint8_t>(indexOf[c] << (x % 2 ? 0 : 4)); break;
            default:
                if (c != Black) row[x / 8] |= static_cast<uint8_t>(0x80u >> (x % 8));
                break;
            }
        }
    }
    return true;
}

}  // namespace

int ExactDepth(const std::vector<uint32_t>& pixels) {
    bool binaryAlpha = true, blackAndWhite = true;
    for (uint32_t p : pixels) {
        const uint32_t a = AlphaOf(p);
        if (a != 0 && a != 255) binaryAlpha = false;
        if (a == 255 && ColourOf(p) != Black && ColourOf(p) != 0x00FFFFFFu) blackAndWhite = false;
    }
    if (!binaryAlpha) return 32;
    if (blackAndWhite) return 1;
    const size_t colours = PaletteOf(pixels, 256).size();
    return colours <= 16 ? 4 : colours <= 256 ? 8 : 24;
}

bool StoreEntry(int width, int height, const std::vector<uint32_t>& pixels, int bits, bool png, StoredEntry& out) {
    if (width < 1 || height < 1 || width > 256 || height > 256 ||
        pixels.size() != static_cast<size_t>(width) * static_cast<size_t>(height))
        return false;
    if (!png && bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return false;
    StoredEntry e;
    e.Width = width;
    e.Height = height;
    e.Png = png;
    e.Bits = png ? 32 : bits;
    try {
        if (png) {
            e.Data = EncodePngWithAlpha(width, height, pixels.data());
            if (e.Data.empty()) return false;
        } else if (!StoreBitmap(width, height, pixels, bits, e.Data)) {
            return false;
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    out = std::move(e);
    return true;
}

int WriteIconFile(ByteStream& file, bool cursor, const std::vector<StoredEntry>& entries) {
    if (entries.size() > MaxStoredEntries) return FileWriteError;
    std::vector<uint8_t> head;
    Append16(head, 0);
    Append16(head, cursor ? 2 : 1);
    Append16(head, static_cast<uint32_t>(entries.size()));
    uint32_t offset = static_cast<uint32_t>(6 + 16 * entries.size());
    for (const StoredEntry& e : entries) {
        head.push_back(static_cast<uint8_t>(e.Width >= 256 ? 0 : e.Width));
        head.push_back(static_cast<uint8_t>(e.Height >= 256 ? 0 : e.Height));
        head.push_back(static_cast<uint8_t>(!e.Png && e.Bits < 8 ? 1u << e.Bits : 0));   // 256 colours count as 0
        head.push_back(0);
        Append16(head, cursor ? e.HotX : 1);
        Append16(head, cursor ? e.HotY : static_cast<uint32_t>(e.Bits));
        Append32(head, static_cast<uint32_t>(e.Data.size()));
        Append32(head, offset);
        offset += static_cast<uint32_t>(e.Data.size());
    }
    if (file.Write(head.data(), head.size()) != static_cast<long long>(head.size())) return FileWriteError;
    for (const StoredEntry& e : entries)
        if (file.Write(e.Data.data(), e.Data.size()) != static_cast<long long>(e.Data.size())) return FileWriteError;
    return FileOk;
}
