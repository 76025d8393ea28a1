// The single-image icon and cursor file: writer and reader.
#include "formats/IcFormat.h"
#include <cstring>
#include "document/Document.h"
#include "formats/FileErrors.h"
#include "formats/LittleEndian.h"

const PaletteEntry IconPalette[16] = {
    {0, 0, 0},       {0, 128, 0},     {0, 128, 128},   {128, 0, 0},
    {128, 0, 128},   {128, 128, 0},   {0, 0, 128},     {192, 192, 192},
    {128, 128, 128}, {0, 0, 255},     {0, 255, 0},     {0, 255, 255},
    {255, 0, 0},     {255, 0, 255},   {255, 255, 0},   {255, 255, 255},
};

namespace {

// One format's geometry: the sizes of every piece of its file.
struct Layout {
    int pace;          // 16 or 32
    int bits;          // 1, 4, 8 or 24
    int colourCount;   // the entry's colour count
    int tableBytes;    // 8, 64, 1024 or 0
    int rowBytes;      // colour row bytes, padded to 4
    int maskBytes() const { return pace * 4; }
    int colourBytes() const { return rowBytes * pace; }
    int imageBytes() const { return 40 + tableBytes + colourBytes() + maskBytes(); }
};

Layout LayoutOf(int pace, int bits) {
    Layout l;
    l.pace = pace;
    l.bits = bits;
    switch (bits) {
    case 1:  l.colourCount = 2;  l.tableBytes = 8;    l.rowBytes = 4; break;
    case 4:  l.colourCount = 16; l.tableBytes = 64;   l.rowBytes = pace / 2; break;
    case 8:  l.colourCount = 0;  l.tableBytes = 1024; l.rowBytes = pace; break;
    default: l.colourCount = 0;  l.tableBytes = 0;    l.rowBytes = pace * 3; break;
    }
    return l;
}

// A write that fails or stores nothing stops the writer.
bool Put(ByteStream& file, const void* bytes, size_t count) {
    const long long n = file.Write(bytes, count);
    return n != -1 && n != 0;
}

// ---- Writer pieces --------------------------------------------------------

// Mask rows, bottom-up: 1 bits for the mask colour, padding bits 0.
void BuildMask(const uint32_t* pixels, int pace, uint8_t* out) {
    std::memset(out, 0, static_cast<size_t>(pace) * 4);
    for (int y = 0; y < pace; ++y) {
        uint8_t* row = out + (pace - 1 - y) * 4;
        for (int x = 0; x < pace; ++x)
            if (IsMaskPixel(pixels[y * pace + x]))
                row[x >> 3] = static_cast<uint8_t>(row[x >> 3] | (0x80u >> (x & 7)));
    }
}

void Build1(const uint32_t* pixels, int pace, uint8_t* table, uint8_t* rows) {
    const uint8_t t[8] = {0, 0, 0, 0, 255, 255, 255, 0};
    std::memcpy(table, t, sizeof t);
    std::memset(rows, 0, static_cast<size_t>(pace) * 4);
    for (int y = 0; y < pace; ++y) {
        uint8_t* row = rows + (pace - 1 - y) * 4;
        for (int x = 0; x < pace; ++x) {
            const uint32_t c = pixels[y * pace + x];
            if (RedOf(c) > 254 && GreenOf(c) > 254 && BlueOf(c) > 254)
                row[x >> 3] = static_cast<uint8_t>(row[x >> 3] | (0x80u >> (x & 7)));
        }
    }
}

// The fixed table's channels are all 0, 128, 192 or 255: two bits each
// name the channel, six bits the colour, and a 64-entry table its index.
constexpr uint8_t NotInPalette = 0xFF;

int ChannelCode(unsigned v) { return v == 0 ? 0 : v == 128 ? 1 : v == 192 ? 2 : v == 255 ? 3 : -1; }

struct PaletteLookup {
    uint8_t index[64];
    PaletteLookup() {
        std::memset(index, NotInPalette, sizeof index);
        for (unsigned i = 16; i-- > 0;)   // the first of equal entries wins
            index[ChannelCode(IconPalette[i].Red) * 16 + ChannelCode(IconPalette[i].Green) * 4 +
                  ChannelCode(IconPalette[i].Blue)] = static_cast<uint8_t>(i);
    }
};

unsigned PaletteIndex(uint32_t c) {
    static const PaletteLookup lookup;
    if (IsMaskPixel(c)) return 0;
    const int r = ChannelCode(RedOf(c)), g = ChannelCode(GreenOf(c)), b = ChannelCode(BlueOf(c));
    if (r < 0 || g < 0 || b < 0) return 0;
    const uint8_t i = lookup.index[r * 16 + g * 4 + b];
    return i == NotInPalette ? 0 : i;
}

void Build4(const uint32_t* pixels, int pace, uint8_t* table, uint8_t* rows) {
    for (int i = 0; i < 16; ++i) {
        table[4 * i] = IconPalette[i].Blue;
        table[4 * i + 1] = IconPalette[i].Green;
        table[4 * i + 2] = IconPalette[i].Red;
        table[4 * i + 3] = 0;
    }
    const int rowBytes = pace / 2;
    std::memset(rows, 0, static_cast<size_t>(rowBytes) * pace);
    for (int y = 0; y < pace; ++y) {
        uint8_t* row = rows + (pace - 1 - y) * rowBytes;
        for (int x = 0; x < pace; ++x) {
            const unsigned index = PaletteIndex(pixels[y * pace + x]);
            row[x >> 1] = static_cast<uint8_t>(row[x >> 1] | ((x & 1) ? index : index << 4));
        }
    }
}

void PutEntry(uint8_t* entry, uint32_t c) {
    entry[0] = static_cast<uint8_t>(BlueOf(c));
    entry[1] = static_cast<uint8_t>(GreenOf(c));
    entry[2] = static_cast<uint8_t>(RedOf(c));
    entry[3] = 0;
}

// Colour (its 24 bits) to entry of the 32x32 table, by open addressing:
// 512 slots for at most 255 colours; a slot holds colour + 1, 0 is empty.
class EntryIndex {
public:
    EntryIndex() { std::memset(keys_, 0, sizeof keys_); }
    int Find(uint32_t rgb) const {
        for (unsigned s = SlotOf(rgb);; s = (s + 1) & (Slots - 1)) {
            if (keys_[s] == 0) return -1;
            if (keys_[s] == rgb + 1) return entries_[s];
        }
    }
    void Add(uint32_t rgb, int entry) {
        unsigned s = SlotOf(rgb);
        while (keys_[s] != 0) s = (s + 1) & (Slots - 1);
        keys_[s] = rgb + 1;
        entries_[s] = static_cast<uint8_t>(entry);
    }

private:
    static constexpr unsigned Slots = 512;
    static unsigned SlotOf(uint32_t rgb) { return (rgb * 2654435761u) >> 23; }
    uint32_t keys_[Slots];
    uint8_t entries_[Slots];
};

// 16x16: entry i is pixel i, index i is i.
void Build8Small(const uint32_t* pixels, uint8_t* table, uint8_t* rows) {
    std::memset(table, 0, 1024);
    for (int i = 0; i < 256; ++i)
        if (!IsMaskPixel(pixels[i])) PutEntry(table + 4 * i, pixels[i]);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            rows[(15 - y) * 16 + x] = static_cast<uint8_t>(y * 16 + x);
}

// 32x32: entries 1..255 in order of first appearance, the mask colour
// among them. Black never takes an entry: while the table has room its
// unused entries are black and already match it, and index 0 is black.
void Build8Large(const uint32_t* pixels, uint8_t* table, uint8_t* rows) {
    std::memset(table, 0, 1024);
    EntryIndex entries;
    int next = 1;
    for (int i = 0; i < 1024 && next < 256; ++i) {
        const uint32_t rgb = pixels[i] & 0x00FFFFFFu;
        if (rgb == 0 || entries.Find(rgb) >= 0) continue;
        PutEntry(table + 4 * next, rgb);
        entries.Add(rgb, next++);
    }
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const uint32_t c = pixels[y * 32 + x];
            const int entry = IsMaskPixel(c) ? 0 : entries.Find(c & 0x00FFFFFFu);
            rows[(31 - y) * 32 + x] = static_cast<uint8_t>(entry > 0 ? entry : 0);
        }
}

void Build24(const uint32_t* pixels, int pace, uint8_t* rows) {
    const int rowBytes = pace * 3;
    for (int y = 0; y < pace; ++y) {
        uint8_t* row = rows + (pace - 1 - y) * rowBytes;
        for (int x = 0; x < pace; ++x) {
            uint32_t c = pixels[y * pace + x];
            if (IsMaskPixel(c)) c = 0;
            row[3 * x] = static_cast<uint8_t>(BlueOf(c));
            row[3 * x + 1] = static_cast<uint8_t>(GreenOf(c));
            row[3 * x + 2] = static_cast<uint8_t>(RedOf(c));
        }
    }
}

}  // namespace

int Format(ByteStream& file, const uint32_t* pixels, int formatIndex,
           int isCursor, uint16_t hotX, uint16_t hotY) {
    const bool cursor = isCursor == 1;
    uint8_t fileHeader[6] = {0};
    Put16(fileHeader + 2, cursor ? 2 : 1);
    Put16(fileHeader + 4, 1);
    if (!Put(file, fileHeader, 4)) return FileWriteError;
    if (!Put(file, fileHeader + 4, 2)) return FileWriteError;

    const int index = formatIndex;
    if (!IsFormatIndex(index)) return FileOk;
    const Layout l = LayoutOf(FormatTable[index].Pace, FormatTable[index].Bits);

    uint8_t entry[16] = {0};
    entry[0] = static_cast<uint8_t>(l.pace);
    entry[1] = static_cast<uint8_t>(l.pace);
    entry[2] = static_cast<uint8_t>(l.colourCount);
    if (!cursor) {
        Put16(entry + 4, 1);
        Put16(entry + 6, static_cast<uint32_t>(l.bits));
    } else if (!(l.pace == 16 && l.bits == 8)) {
        Put16(entry + 4, hotX);
        Put16(entry + 6, hotY);
    }
    Put32(entry + 8, static_cast<uint32_t>(l.imageBytes()));
    Put32(entry + 12, 22);
    if (!Put(file, entry, sizeof entry)) return FileWriteError;

    uint8_t header[40] = {0};
    Put32(header, 40);
    Put32(header + 4, static_cast<uint32_t>(l.pace));
    Put32(header + 8, static_cast<uint32_t>(2 * l.pace));
    Put16(header + 12, 1);
    Put16(header + 14, static_cast<uint32_t>(l.bits));
    if (!Put(file, header, sizeof header)) return FileWriteError;

    uint8_t table[1024];
    uint8_t rows[3072];
    uint8_t mask[128];
    std::memset(table, 0, sizeof table);
    std::memset(rows, 0, sizeof rows);
    switch (l.bits) {
    case 1: Build1(pixels, l.pace, table, rows); break;
    case 4: Build4(pixels, l.pace, table, rows); break;
    case 8:
        if (l.pace == 16) Build8Small(pixels, table, rows);
        else Build8Large(pixels, table, rows);
        break;
    default: Build24(pixels, l.pace, rows); break;
    }
    BuildMask(pixels, l.pace, mask);

    if (l.tableBytes > 0 && !Put(file, table, static_cast<size_t>(l.tableBytes))) return FileWriteError;
    if (!Put(file, rows, static_cast<size_t>(l.colourBytes()))) return FileWriteError;
    if (!Put(file, mask, static_cast<size_t>(l.maskBytes()))) return FileWriteError;
    return FileOk;
}

namespace {

// A read of count bytes at offset into a zeroed buffer; fails only on an
// error or when nothing at all is delivered.
bool ReadPiece(ByteStream& file, uint64_t offset, uint8_t* buffer, size_t count, size_t least = 1) {
    std::memset(buffer, 0, count);
    const long long n = file.ReadAt(offset, buffer, count);
    return n != -1 && n >= static_cast<long long>(least);
}

// The file header with the first directory entry, and the image header the
// entry points at: a file that ends inside them has no picture to read.
constexpr size_t DirectoryBytes = 6 + 16;
constexpr size_t ImageHeaderBytes = 40;
// A 1-bit picture's colour rows, and then its mask rows, are each read with
// one request of this many bytes, more than the rows hold: what follows the
// rows (the mask, the file's end) is read along and left unused, and a file
// that ends sooner delivers less, which is enough.
constexpr size_t OneBitRead16 = 194, OneBitRead32 = 326;

void SetColour(uint32_t& pixel, unsigned r, unsigned g, unsigned b) {
    pixel = (pixel & 0xFF000000u) | MakeColour(r, g, b);
}

}  // namespace

IconReadResult FormatOpen(ByteStream& file, uint32_t* pixels) {
    IconReadResult result;
    result.Outcome = IconReadFailed;

    uint8_t start[24];
    const bool directory = ReadPiece(file, 0, start, sizeof start, DirectoryBytes);
    const uint8_t* entry = start + 6;
    result.IsCursorFile = Get16(start + 2) == 2 ? 1 : 0;
    result.ImageCount = static_cast<int>(Get16(start + 4));
    result.Width = entry[0];
    result.ColourCount = entry[2];
    const uint16_t planes = static_cast<uint16_t>(Get16(entry + 4));
    const uint16_t bitCount = static_cast<uint16_t>(Get16(entry + 6));
    const uint64_t off = Get32(entry + 12);
    if (!directory) return result;   // what it holds of the header is told, as zeros beyond

    uint8_t header[ImageHeaderBytes];
    if (!ReadPiece(file, off, header, sizeof header, sizeof header)) return result;
    const uint32_t depth = result.IsCursorFile ? Get16(header + 14) : bitCount;
    result.DepthValue = static_cast<int>(depth);

    if (depth > 24 || (result.Width != 16 && result.Width != 32)) {
        result.Outcome = IconNotSupported;
        return result;
    }
    result.MultiImageWarning = result.ImageCount > 1 ? 1 : 0;
    if (result.IsCursorFile) {
        result.HotSpotRead = 1;
        result.HotX = planes;
        result.HotY = bitCount;
    }

    const int pace = result.Width;
    const int colours = result.ColourCount;
    int bits;
    if (depth == 24) bits = 24;
    else if (depth == 8) bits = 8;
    else if (depth == 4 || colours == 16 || (pace == 32 && colours == 4)) bits = 4;
    else if (depth == 1 || colours == 2) bits = 1;
    else {
        result.Outcome = IconUnknownDepth;
        return result;
    }
    const Layout l = LayoutOf(pace, bits);

    // Colour data: at 1 bit only the rows (behind the 8-byte table) are read.
    uint64_t colourAt = off + 40;
    size_t colourSize;
    uint64_t maskAt = off + 40 + static_cast<uint64_t>(l.tableBytes + l.colourBytes());
    size_t maskSize;
    switch (bits) {
    case 1:
        colourAt = off + 48;
        colourSize = pace == 16 ? OneBitRead16 : OneBitRead32;
        maskSize = colourSize;
        break;
    case 4: colourSize = static_cast<size_t>(64 + l.colourBytes()); maskSize = static_cast<size_t>(l.maskBytes()); break;
    case 8: colourSize = static_cast<size_t>(1024 + l.colourBytes()); maskSize = static_cast<size_t>(l.maskBytes()); break;
    default: colourSize = 3072; maskSize = static_cast<size_t>(l.maskBytes()); break;
    }

    uint8_t buffer[3072];
    uint32_t scratch[ImagePixels];
    std::memcpy(scratch, pixels, sizeof scratch);

    if (!ReadPiece(file, colourAt, buffer, colourSize)) {
        result.HotSpotRead = 0;
        result.HotX = result.HotY = 0;
        return result;
    }
    for (int fileRow = 0; fileRow < pace; ++fileRow) {
        const int y = pace - 1 - fileRow;
        uint32_t* out = scratch + y * pace;
        switch (bits) {
        case 1: {
            const uint8_t* row = buffer + fileRow * 4;
            for (int x = 0; x < pace; ++x) {
                const unsigned v = (row[x >> 3] & (0x80u >> (x & 7))) ? 255 : 0;
                SetColour(out[x], v, v, v);
            }
            break;
        }
        case 4: {
            const uint8_t* row = buffer + 64 + fileRow * l.rowBytes;
            for (int x = 0; x < pace; ++x) {
                const unsigned index = (x & 1) ? (row[x >> 1] & 0x0Fu) : (row[x >> 1] >> 4);
                const uint8_t* e = buffer + 4 * index;
                SetColour(out[x], e[2], e[1], e[0]);
            }
            break;
        }
        case 8: {
            const uint8_t* row = buffer + 1024 + fileRow * l.rowBytes;
            for (int x = 0; x < pace; ++x) {
                const uint8_t* e = buffer + 4 * static_cast<unsigned>(row[x]);
                SetColour(out[x], e[2], e[1], e[0]);
            }
            break;
        }
        default: {
            const uint8_t* row = buffer + fileRow * l.rowBytes;
            for (int x = 0; x < pace; ++x)
                SetColour(out[x], row[3 * x + 2], row[3 * x + 1], row[3 * x]);
            break;
        }
        }
    }

    if (!ReadPiece(file, maskAt, buffer, maskSize)) {
        result.HotSpotRead = 0;
        result.HotX = result.HotY = 0;
        return result;
    }
    for (int fileRow = 0; fileRow < pace; ++fileRow) {
        const uint8_t* row = buffer + fileRow * 4;
        uint32_t* out = scratch + (pace - 1 - fileRow) * pace;
        for (int x = 0; x < pace; ++x)
            if (row[x >> 3] & (0x80u >> (x & 7))) SetColour(out[x], RedOf(MaskColor), GreenOf(MaskColor), BlueOf(MaskColor));
    }

    const size_t n = static_cast<size_t>(pace) * static_cast<size_t>(pace);
    std::memcpy(pixels, scratch, n * sizeof(uint32_t));
    result.FormatIndex = FormatIndexOf(pace, bits);
    result.Outcome = IconLoaded;
    return result;
}
