// The icon and cursor file: the layout the writer produces, its colour
// reduction and failure handling, and the reader with its round trips and
// its answers to damaged and hostile files.
#include <gtest/gtest.h>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>
#include "document/Document.h"
#include "formats/FileErrors.h"
#include "formats/IcFormat.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Pixels = std::vector<uint32_t>;

// ---- Helpers ---------------------------------------------------------------

void Put(Bytes& b, size_t at, int width, int64_t value) {   // little-endian
    for (int i = 0; i < width; ++i) b[at + i] = static_cast<uint8_t>(value >> (8 * i));
}
struct Patch { size_t at; int width; int64_t value; };
Bytes Patched(Bytes f, std::initializer_list<Patch> patches) {
    for (const Patch& p : patches) Put(f, p.at, p.width, p.value);
    return f;
}
Bytes Le(int width, int64_t value) { return Patched(Bytes(static_cast<size_t>(width)), {{0, width, value}}); }
// Clamped, so that a short file compares unequal rather than being read past its end.
Bytes Slice(const Bytes& b, size_t from, size_t count = SIZE_MAX) {
    from = std::min(from, b.size());
    count = std::min(count, b.size() - from);
    return Bytes(b.begin() + static_cast<long>(from), b.begin() + static_cast<long>(from + count));
}
template <class T> std::vector<T> operator+(std::vector<T> a, const std::vector<T>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
Bytes Repeat(const Bytes& b, int n) { return n ? b + Repeat(b, n - 1) : Bytes{}; }

// The file sizes of every format, row by format index.
struct SizeRow {
    int pace, bits, code, colourCount, tableBytes, rowBytes, colourStart, maskStart, imageBytes, fileSize;
};
const SizeRow kSizes[FormatCount] = {
    {16, 1, 1, 2, 8, 4, 70, 134, 176, 198},
    {32, 1, 3202, 2, 8, 4, 70, 198, 304, 326},
    {16, 4, 16, 16, 64, 8, 126, 254, 296, 318},
    {32, 4, 3216, 16, 64, 16, 126, 638, 744, 766},
    {16, 8, 16256, 0, 1024, 16, 1086, 1342, 1384, 1406},
    {32, 8, 3256, 0, 1024, 32, 1086, 2110, 2216, 2238},
    {16, 24, 1624, 0, 0, 48, 62, 830, 872, 894},
    {32, 24, 3333, 0, 0, 96, 62, 3134, 3240, 3262},
};
// The 16x16 8-bit cursor stores 0 where other cursors keep the hot spot.
bool NoHotSpotRoom(const SizeRow& row) { return row.pace == 16 && row.bits == 8; }

constexpr uint32_t kWhite = 0x00FFFFFF;
constexpr uint32_t kSentinel = 0xA5C3E1F0;   // never a colour the reader writes

Bytes Write(const Pixels& px, int index, bool cursor = false, int hotX = 0, int hotY = 0) {
    MemoryStream out;
    EXPECT_EQ(Format(out, px.data(), kSizes[index].code, cursor ? 1 : 0, static_cast<uint16_t>(hotX),
                     static_cast<uint16_t>(hotY)),
              FileOk);
    return out.data;
}

// A scratch file in the working directory (tmpfile() wants the root of the
// drive on Windows), open for reading and writing.
constexpr const char* kScratchName = "ic-format-test.tmp";
std::FILE* ScratchFile() { return std::fopen(kScratchName, "w+b"); }
void CloseScratch(std::FILE* file) {
    std::fclose(file);
    std::remove(kScratchName);
}

Pixels Filled(uint32_t value) { return Pixels(ImagePixels, value); }
Pixels Dots(uint32_t fill, std::initializer_list<std::pair<int, uint32_t>> dots) {
    Pixels px = Filled(fill);
    for (const auto& [at, colour] : dots) px[static_cast<size_t>(at)] = colour;
    return px;
}

// An image that the depth holds exactly, with mask-colour patches; byte 3
// of some pixels is set, which the file does not carry.
Pixels ExactImage(int pace, int bits) {
    Pixels px = Filled(kSentinel);
    for (int y = 0; y < pace; ++y)
        for (int x = 0; x < pace; ++x) {
            const int i = y * pace + x;
            uint32_t c;
            if (bits == 1) c = ((x + 2 * y) % 3 == 0) ? kWhite : 0;
            else if (bits == 4) {
                const PaletteEntry& e = IconPalette[(x + 3 * y) % 16];
                c = MakeColour(e.Red, e.Green, e.Blue);
            } else if (bits == 8 && pace == 32) c = MakeColour(x / 2 * 16, y / 4 * 32, 40);   // 128 colours
            else c = MakeColour((i * 29) & 0xFF, (i * 7) & 0xFF, 255 - (i & 0xFF));
            if ((x * 7 + y * 3) % 10 == 0 || (x < 3 && y < 3)) c = MaskColor;
            px[i] = c;
        }
    return px;
}
Pixels Exact(int index) { return ExactImage(kSizes[index].pace, kSizes[index].bits); }

// Colours only (byte 3 dropped) of the first pace x pace pixels.
Pixels ColoursOf(const Pixels& px, int pace) {
    Pixels out(static_cast<size_t>(pace) * pace);
    for (size_t i = 0; i < out.size(); ++i) out[i] = px[i] & 0x00FFFFFF;
    return out;
}

// A buffer whose every element, fourth byte included, must stay as it is.
Pixels Untouched() {
    Pixels px(ImagePixels);
    for (size_t i = 0; i < px.size(); ++i) px[i] = 0x5A000000u | static_cast<uint32_t>(i * 2654435761u & 0xFFFFFF);
    return px;
}

// The image data moved to offset at, after a gap that starts with lead and
// is padded with fill.
Bytes Moved(const Bytes& plain, uint32_t at, uint8_t fill, const Bytes& lead = {}) {
    Bytes f = Patched(Slice(plain, 0, 22), {{18, 4, at}}) + lead;
    f.resize(at, fill);
    return f + Slice(plain, 22);
}

// Two directory entries, then both images one after the other.
Bytes TwoImages(const Bytes& a, const Bytes& b) {
    const Bytes dir = Bytes{0, 0, 1, 0, 2, 0} + Slice(a, 6, 16) + Slice(b, 6, 16);
    return Patched(dir, {{18, 4, 38}, {34, 4, static_cast<int64_t>(38 + a.size() - 22)}}) + Slice(a, 22) + Slice(b, 22);
}

// Logs every read asked for (offset and size), and read number k delivers
// at most caps[k] bytes (no cap past the list). Records every write; the
// write numbered failAt answers failValue.
class ProbeStream : public MemoryStream {
public:
    using MemoryStream::MemoryStream;
    long long ReadAt(uint64_t offset, void* buffer, size_t count) override {
        const size_t k = asked.size();
        asked.push_back({offset, count});
        return MemoryStream::ReadAt(offset, buffer, k < caps.size() ? std::min(count, caps[k]) : count);
    }
    long long Write(const void* buffer, size_t count) override {
        writes.push_back(count);
        return static_cast<int>(writes.size()) - 1 == failAt ? failValue : MemoryStream::Write(buffer, count);
    }
    std::vector<size_t> caps, writes;
    std::vector<std::pair<uint64_t, size_t>> asked;
    int failAt = -1;
    long long failValue = -1;
};

// ---- Every format, icon and cursor -----------------------------------------

class IcEveryFormat : public ::testing::TestWithParam<std::tuple<int, bool>> {
protected:
    const int index = std::get<0>(GetParam());
    const bool cursor = std::get<1>(GetParam());
    const SizeRow& row = kSizes[index];
};

// The 62 bytes before the colour table: directory, entry, image header.
Bytes Header(const SizeRow& row, bool cursor, int hotX, int hotY) {
    const int at10 = !cursor ? 1 : NoHotSpotRoom(row) ? 0 : hotX;          // planes or hot spot
    const int at12 = !cursor ? row.bits : NoHotSpotRoom(row) ? 0 : hotY;   // bit count or hot spot
    return Bytes{0, 0, static_cast<uint8_t>(cursor ? 2 : 1), 0, 1, 0, static_cast<uint8_t>(row.pace),
                 static_cast<uint8_t>(row.pace), static_cast<uint8_t>(row.colourCount), 0} +
           Le(2, at10) + Le(2, at12) + Le(4, row.imageBytes) + Le(4, 22) + Le(4, 40) + Le(4, row.pace) +
           Le(4, 2 * row.pace) + Le(2, 1) + Le(2, row.bits) + Bytes(24, 0);
}

TEST_P(IcEveryFormat, LayoutFollowsTheSizeTable) {
    EXPECT_EQ(row.colourStart, 62 + row.tableBytes);
    EXPECT_EQ(row.maskStart, row.colourStart + row.rowBytes * row.pace);
    EXPECT_EQ(row.fileSize, row.maskStart + 4 * row.pace);
    EXPECT_EQ(row.fileSize, 22 + row.imageBytes);
    // All transparent but the bottom-left pixel, which is white: its colour
    // lands in the first byte of the colour rows, its mask bit in the first
    // byte of the mask rows.
    const Pixels bottomLeftWhite = Dots(MaskColor, {{(row.pace - 1) * row.pace, kWhite}});
    for (const Pixels& px : {Exact(index), bottomLeftWhite}) {
        const Bytes f = Write(px, index, cursor, 3, 9);
        ASSERT_EQ(f.size(), static_cast<size_t>(row.fileSize));
        EXPECT_EQ(Slice(f, 0, 62), Header(row, cursor, 3, 9));
    }
    const Bytes f = Write(bottomLeftWhite, index, cursor, 3, 9);
    // First colour byte: bit 1 leftmost; index 15 in the high nibble; pixel
    // 240 (16x16) or the second new colour (32x32); the blue byte, then black.
    const int first = row.bits == 1 ? 0x80 : row.bits == 4 ? 0xF0 : row.bits == 8 ? (row.pace == 16 ? 240 : 2) : 0xFF;
    EXPECT_EQ(f[row.colourStart], first);
    if (row.bits == 24) {
        EXPECT_EQ(Slice(f, row.colourStart + 1, 3), (Bytes{0xFF, 0xFF, 0x00}));
    }
    // The last colour byte: the top-right pixel, transparent (index 15 at
    // 16x16 8 bits, where index i is pixel i), or row padding.
    EXPECT_EQ(f[row.maskStart - 1], NoHotSpotRoom(row) ? 15 : 0);
    // First mask row: the white pixel's bit 0; everything else transparent.
    const Bytes maskRow = row.pace == 32 ? Bytes{0xFF, 0xFF, 0xFF, 0xFF} : Bytes{0xFF, 0xFF, 0, 0};
    EXPECT_EQ(Slice(f, row.maskStart), Patched(maskRow, {{0, 1, 0x7F}}) + Repeat(maskRow, row.pace - 1));
}

TEST_P(IcEveryFormat, SavingNeverChangesThePixels) {
    Pixels px = Exact(index);
    for (size_t i = 0; i < px.size(); i += 3) px[i] |= 0x7E000000;
    px[5] = MakeColour(193, 192, 192) | 0x01000000;
    const Pixels before = px;
    MemoryStream out;
    Format(out, px.data(), row.code, cursor ? 1 : 0, 1, 2);
    EXPECT_EQ(px, before);
}

TEST_P(IcEveryFormat, RoundTripBringsBackPixelsMaskAndHotSpotAndKeepsByteThree) {
    const Pixels image = Exact(index);
    const int hotX = row.pace - 1, hotY = row.bits == 8 ? 24 : 8;   // y, as a bit count, would choose another depth
    Pixels px(ImagePixels);
    for (size_t i = 0; i < px.size(); ++i) px[i] = ((static_cast<uint32_t>(i * 37 + 1) & 0xFF) << 24) | 0x00123456;
    const Pixels before = px;
    MemoryStream in(Write(image, index, cursor, hotX, hotY));
    const IconReadResult r = FormatOpen(in, px.data());
    ASSERT_EQ(r.Outcome, IconLoaded);
    EXPECT_EQ(std::make_tuple(r.FormatIndex, r.IsCursorFile, r.ImageCount, r.MultiImageWarning, r.Width,
                              r.ColourCount, r.DepthValue, r.HotSpotRead),
              std::make_tuple(index, cursor ? 1 : 0, 1, 0, row.pace, row.colourCount, row.bits, cursor ? 1 : 0));
    if (cursor) {
        EXPECT_EQ(std::make_pair(+r.HotX, +r.HotY), NoHotSpotRoom(row) ? std::make_pair(0, 0) : std::pair(hotX, hotY));
    }
    EXPECT_EQ(ColoursOf(px, row.pace), ColoursOf(image, row.pace));
    // Byte 3 stays everywhere; the elements beyond the image stay whole.
    const size_t n = static_cast<size_t>(row.pace * row.pace);
    for (size_t i = 0; i < px.size(); ++i)
        ASSERT_EQ(i < n ? px[i] >> 24 : px[i], i < n ? before[i] >> 24 : before[i]) << "element " << i;
}

INSTANTIATE_TEST_SUITE_P(IcFormats, IcEveryFormat,
                         ::testing::Combine(::testing::Range(0, FormatCount), ::testing::Bool()), [](const auto& p) {
                             const SizeRow& row = kSizes[std::get<0>(p.param)];
                             return "Px" + std::to_string(row.pace) + "Bits" + std::to_string(row.bits) +
                                    (std::get<1>(p.param) ? "Cursor" : "Icon");
                         });

// ---- Writer bytes for chosen images ----------------------------------------

const Bytes kPaletteBytes = {
    0x00, 0x00, 0x00, 0x00, 0x00, 0x80, 0x00, 0x00, 0x80, 0x80, 0x00, 0x00, 0x00, 0x00, 0x80, 0x00,
    0x80, 0x00, 0x80, 0x00, 0x00, 0x80, 0x80, 0x00, 0x80, 0x00, 0x00, 0x00, 0xC0, 0xC0, 0xC0, 0x00,
    0x80, 0x80, 0x80, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00,
    0x00, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0xFF, 0xFF, 0xFF, 0x00};

template <class T, class F> std::vector<T> Gen(int n, F f) {
    std::vector<T> out;
    for (int i = 0; i < n; ++i) out.push_back(static_cast<T>(f(i)));
    return out;
}
uint32_t Numbered(int k) { return MakeColour(static_cast<unsigned>(k & 0xFF), static_cast<unsigned>(k >> 8), 7); }
// The 8-bit table, entry by entry, and the 32x32 index rows, bottom row first.
template <class F> Bytes Table(F colourOf) {
    return Gen<uint8_t>(1024, [&](int j) {
        const uint32_t c = colourOf(j / 4);
        return j % 4 == 3 ? 0 : j % 4 == 2 ? RedOf(c) : j % 4 == 1 ? GreenOf(c) : BlueOf(c);
    });
}
template <class F> Bytes Rows32(F indexOf) {
    return Gen<uint8_t>(1024, [&](int j) { return indexOf((31 - j / 32) * 32 + j % 32); });
}
Bytes Counting(int from, int n) { return Gen<uint8_t>(n, [from](int i) { return from + i; }); }

struct WriteCase {
    const char* name;
    Pixels px;
    int index;
    std::vector<std::pair<size_t, Bytes>> want;   // the bytes expected at each offset
    size_t size = 0;                              // 0: not checked
    bool cursor = false;
    int hotX = 0, hotY = 0;
};

TEST(IcWriter, ChosenImagesGiveTheTabledBytes) {
    // The top image row is the last row of each section.
    const WriteCase cases[] = {
        {"16x16 4-bit icon header", Filled(MaskColor), 2,
         {{0, {0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x10, 0x10, 0x10, 0x00, 0x01,
               0x00, 0x04, 0x00, 0x28, 0x01, 0x00, 0x00, 0x16, 0x00, 0x00, 0x00}}}},
        {"32x32 24-bit cursor header, hot spot 5,7", Filled(MaskColor), 7,
         {{0, {0x00, 0x00, 0x02, 0x00, 0x01, 0x00, 0x20, 0x20, 0x00, 0x00, 0x05,
               0x00, 0x07, 0x00, 0xA8, 0x0C, 0x00, 0x00, 0x16, 0x00, 0x00, 0x00}},
          {36, {24, 0}}}, 0, true, 5, 7},
        {"16x16 8-bit cursor has zero at 10 and 12", Filled(MaskColor), 4,
         {{2, {2, 0}}, {10, {0, 0, 0, 0}}, {36, {8, 0}}}, 0, true, 12, 13},
        {"1-bit white and mask rows, 198 bytes",   // even rows white, odd transparent
         Gen<uint32_t>(ImagePixels, [](int i) { return i / 16 % 2 ? MaskColor : kWhite; }), 0,
         {{62, Bytes{0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0} + Repeat({0, 0, 0, 0, 0xFF, 0xFF, 0, 0}, 8) +
                   Repeat({0xFF, 0xFF, 0, 0, 0, 0, 0, 0}, 8)}}, 198},
        {"16x16 4-bit table is the icon palette", ExactImage(16, 4), 2, {{62, kPaletteBytes}}},
        {"32x32 4-bit table is the icon palette", ExactImage(32, 4), 3, {{62, kPaletteBytes}}},
        {"1 bit keeps only pure white",   // colour bits 1, 0, 0, 0; mask bits 0, 0, 1, 0
         Dots(0, {{0, MakeColour(255, 255, 255)}, {1, MakeColour(255, 255, 254)}, {2, MaskColor},
                  {3, MakeColour(254, 255, 255)}}), 0, {{130, {0x80, 0x00}}, {194, {0x20, 0x00}}}},
        {"4 bits need an exact palette match",   // red is entry 12, blue entry 9
         Dots(MakeColour(255, 0, 0), {{0, MakeColour(192, 192, 192)}, {1, MakeColour(193, 192, 192)},
                                      {2, MaskColor}, {3, MakeColour(0, 0, 255)}}), 2,
         {{246, {0x70, 0x09, 0xCC}}, {314, {0x20}}}},
        {"32x32 8 bits keep the first 255 colours in order",
         Gen<uint32_t>(ImagePixels, [](int i) { return Numbered(i % 300); }), 5,
         {{62, Table([](int e) { return e ? Numbered(e - 1) : 0u; })},
          {1086, Rows32([](int i) { return i % 300 < 255 ? i % 300 + 1 : 0; })}}},
        {"32x32 8 bits: black takes no entry", Dots(0, {{3 * 32 + 5, MakeColour(255, 0, 0)}}), 5,
         {{62, Table([](int e) { return e == 1 ? MakeColour(255, 0, 0) : 0u; })},
          {1086, Rows32([](int i) { return i == 3 * 32 + 5; })}}},
        {"32x32 8 bits: the mask colour takes entry 1 but index 0", Dots(MakeColour(1, 2, 3), {{0, MaskColor}}), 5,
         {{66, {0x6F, 0x6F, 0x5F, 0, 3, 2, 1, 0}}, {2078, {0, 2}}}},
        // Entry i is pixel i; the colour rows run 240..255 first, 0..15 last.
        {"16x16 8 bits table every pixel and mask the top left",
         Gen<uint32_t>(ImagePixels,
                       [](int i) { return !i ? MaskColor : i < 256 ? MakeColour(i, 200, 255 - i) : 0; }), 4,
         {{62, Table([](int e) { return e ? MakeColour(e, 200, 255 - e) : 0u; })},
          {1086, Counting(240, 16)}, {1086 + 15 * 16, Counting(0, 16)}, {1342 + 15 * 4, {0x80, 0x00}}}},
        {"24 bits write the mask as black and colours exactly",   // the top row, then the bottom-right pixel
         Dots(0, {{0, MaskColor}, {1, MakeColour(1, 2, 3)}, {255, MakeColour(0xAA, 0xBB, 0xCC)}}), 6,
         {{782, {0, 0, 0, 3, 2, 1}}, {107, {0xCC, 0xBB, 0xAA}}}},
        {"byte 3 does not disturb reduction", Dots(MaskColor | 0xFF000000, {{0, kWhite | 0x12000000}}), 0,
         {{130, {0x80}}, {194, {0x7F}}}},
    };
    for (const WriteCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes f = Write(c.px, c.index, c.cursor, c.hotX, c.hotY);
        if (c.size) {
            EXPECT_EQ(f.size(), c.size);
        }
        for (const auto& [at, bytes] : c.want) EXPECT_EQ(Slice(f, at, bytes.size()), bytes) << "at " << at;
    }
}

// ---- Writes and their failures ---------------------------------------------

class IcWriterFailure : public ::testing::TestWithParam<int> {
protected:
    const SizeRow& row = kSizes[GetParam()];
    const Pixels px = Exact(GetParam());
    const std::vector<size_t> pieces = [this] {   // header, entry, image header, table, colour rows, mask rows
        std::vector<size_t> p = {4, 2, 16, 40};
        if (row.tableBytes) p.push_back(static_cast<size_t>(row.tableBytes));
        return p + std::vector<size_t>{static_cast<size_t>(row.rowBytes * row.pace), static_cast<size_t>(4 * row.pace)};
    }();
};

TEST_P(IcWriterFailure, EveryPieceIsAWriteOfItsOwn) {
    ProbeStream out;
    EXPECT_EQ(Format(out, px.data(), row.code, 0, 0, 0), FileOk);
    EXPECT_EQ(out.writes, pieces);
    EXPECT_EQ(out.data, Write(px, GetParam()));
}

TEST_P(IcWriterFailure, AFailedOrEmptyWriteStopsAtOnce) {
    for (long long failValue : {-1LL, 0LL})
        for (size_t k = 0; k < pieces.size(); ++k) {
            ProbeStream out;
            out.failAt = static_cast<int>(k);
            out.failValue = failValue;
            EXPECT_EQ(Format(out, px.data(), row.code, 1, 4, 4), FileWriteError) << "piece " << k;
            EXPECT_EQ(out.writes.size(), k + 1) << "piece " << k << " answer " << failValue;
        }
}

TEST_P(IcWriterFailure, AFullDiskAtEachPieceBoundaryKeepsWhatWasWritten) {
    const Bytes whole = Write(px, GetParam(), true, 4, 4);
    size_t boundary = 0;
    for (size_t piece : pieces) {
        MemoryStream out;
        out.writeLimit = static_cast<long long>(boundary);
        EXPECT_EQ(Format(out, px.data(), row.code, 1, 4, 4), FileWriteError) << "at " << boundary;
        EXPECT_EQ(out.data, Slice(whole, 0, boundary)) << "at " << boundary;
        boundary += piece;
    }
    EXPECT_EQ(boundary, whole.size());
    MemoryStream exact;
    exact.writeLimit = static_cast<long long>(whole.size());
    EXPECT_EQ(Format(exact, px.data(), row.code, 1, 4, 4), FileOk);
    EXPECT_EQ(exact.data, whole);
}

INSTANTIATE_TEST_SUITE_P(IcFormats, IcWriterFailure, ::testing::Range(0, FormatCount));

TEST(IcWriterCodes, ACodeOutsideTheTableWritesOnlyTheFileHeader) {
    const Pixels px = Filled(MaskColor);
    for (int code : {0, 2, 24, 0x658 + 1, -1, 3203}) {
        ProbeStream icon;
        EXPECT_EQ(Format(icon, px.data(), code, 0, 0, 0), FileOk) << code;
        EXPECT_EQ(icon.writes, (std::vector<size_t>{4, 2})) << code;
        EXPECT_EQ(icon.data, (Bytes{0, 0, 1, 0, 1, 0})) << code;
    }
    MemoryStream cursor;
    EXPECT_EQ(Format(cursor, px.data(), 77, 1, 3, 3), FileOk);
    EXPECT_EQ(cursor.data, (Bytes{0, 0, 2, 0, 1, 0}));
}

TEST(IcWriterCodes, AFailingFirstWriteStopsTheFile) {
    for (const auto& [code, limit] : {std::pair<int, long long>{1624, 0}, {12345, 4}}) {
        MemoryStream out;
        out.writeLimit = limit;
        EXPECT_EQ(Format(out, Filled(MaskColor).data(), code, 0, 0, 0), FileWriteError) << code;
        EXPECT_EQ(out.data.size(), static_cast<size_t>(limit)) << code;
    }
}

// ---- The reader on tabled files --------------------------------------------

enum Via { kMemory, kFailingReads, kAlsoStdio };

struct ReadCase {
    std::string name;
    Bytes file;
    int outcome;
    std::string fields = "";          // "name=value" words that Describe must hold
    Pixels colours = {};              // the image read; empty: every element untouched
    std::vector<size_t> caps = {};    // the most each read delivers
    Via via = kMemory;
};

std::string Describe(const IconReadResult& r, size_t reads) {
    std::ostringstream s;
    s << " index=" << r.FormatIndex << " depth=" << r.DepthValue << " width=" << r.Width << " hotRead=" << r.HotSpotRead
      << " hotX=" << r.HotX << " hotY=" << r.HotY << " images=" << r.ImageCount << " warning=" << r.MultiImageWarning
      << " reads=" << reads << " ";
    return s.str();
}

// Loaded: the image's colours, with byte 3 and the elements beyond it untouched.
void ExpectRead(const ReadCase& c, const IconReadResult& r, size_t reads, const Pixels& px) {
    EXPECT_EQ(r.Outcome, c.outcome);
    std::istringstream words(c.fields);
    const std::string got = Describe(r, reads);
    for (std::string w; words >> w;) EXPECT_NE(got.find(" " + w + " "), std::string::npos) << got << "lacks " << w;
    const Pixels before = Untouched();
    if (c.colours.empty()) {
        EXPECT_EQ(px, before);
        return;
    }
    for (size_t i = 0; i < px.size(); ++i)
        ASSERT_EQ(px[i], i < c.colours.size() ? (before[i] & 0xFF000000) | c.colours[i] : before[i]) << "element " << i;
}

void RunReadCases(const std::vector<ReadCase>& cases) {
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.name);
        ProbeStream in(c.file);
        in.caps = c.caps;
        in.failReads = c.via == kFailingReads;
        Pixels px = Untouched();
        IconReadResult r = FormatOpen(in, px.data());
        ExpectRead(c, r, in.asked.size(), px);
        if (c.via != kAlsoStdio) continue;
        std::FILE* file = ScratchFile();
        ASSERT_NE(file, nullptr);
        std::fwrite(c.file.data(), 1, c.file.size(), file);
        StdioStream stdio(file);
        px = Untouched();
        r = FormatOpen(stdio, px.data());
        CloseScratch(file);
        ExpectRead(c, r, 0, px);
    }
}

TEST(IcReaderRefuses, DamagedAndUnsupportedFilesLeaveThePixels) {
    const Bytes four16 = Write(ExactImage(16, 4), 2), deep = Write(ExactImage(32, 24), 7);
    std::vector<ReadCase> cases = {
        {"empty stream", {}, IconReadFailed, "index=-1"},
        {"failing reads", Write(ExactImage(16, 24), 6, true, 1, 1), IconReadFailed, "hotRead=0", {}, {}, kFailingReads},
        // Type 1, count 1, width 16 and nothing else: bit count and colour
        // count read as 0, image offset 0.
        {"short first read", {0, 0, 1, 0, 1, 0, 16, 16}, IconUnknownDepth, "depth=0"},
        {"32-bit icon", Patched(deep, {{12, 2, 32}, {36, 2, 32}}), IconNotSupported, "depth=32"},
        {"32-bit cursor", Patched(Write(ExactImage(32, 24), 7, true, 3, 3), {{36, 2, 32}}), IconNotSupported},
        {"depth 25", Patched(deep, {{12, 2, 25}}), IconNotSupported},
        {"no depth and no colour count", Patched(four16, {{8, 1, 0}, {12, 2, 0}}), IconUnknownDepth, "index=-1"},
        {"depth 16", Patched(four16, {{8, 1, 0}, {12, 2, 16}}), IconUnknownDepth},
        {"colour count 4 chooses 4 bits only at 32x32", Patched(four16, {{8, 1, 4}, {12, 2, 0}}), IconUnknownDepth},
        {"an unknown-depth cursor still reports its hot spot",
         Patched(Write(ExactImage(16, 4), 2, true, 6, 9), {{8, 1, 0}, {36, 2, 0}}), IconUnknownDepth,
         "hotRead=1 hotX=6 hotY=9"},
        {"a rejected multi-image file gives no warning", Patched(Write(ExactImage(16, 24), 6), {{4, 2, 3}, {6, 1, 48}}),
         IconNotSupported, "warning=0"},
    };
    for (int w : {48, 0, 1, 64, 255})
        cases.push_back({"width " + std::to_string(w),
                         Patched(Write(ExactImage(32, 24), 7, w == 0, 3, 3), {{6, 1, w}, {7, 1, w}}),
                         IconNotSupported, "width=" + std::to_string(w) + " index=-1 hotRead=0"});
    for (int index = 0; index < FormatCount; ++index) {
        const SizeRow& row = kSizes[index];
        for (bool cursor : {false, true})
            for (int length : {row.maskStart, row.colourStart + 1, row.colourStart, 62, 22})
                cases.push_back({"format " + std::to_string(index) + (cursor ? " cursor" : " icon") + " cut to " +
                                     std::to_string(length),
                                 Slice(Write(Exact(index), index, cursor, 1, 2), 0, static_cast<size_t>(length)),
                                 IconReadFailed, "hotRead=0 index=-1"});
        const Bytes plain = Write(Exact(index), index);
        for (uint32_t offset : {0xFFFFFFFFu, 0xFFFFFFF0u, 0xFFFFF000u, 0x80000000u, 0x7FFFFFFFu,
                                static_cast<uint32_t>(plain.size()), static_cast<uint32_t>(plain.size() - 40)})
            cases.push_back({"format " + std::to_string(index) + " image offset " + std::to_string(offset),
                             Patched(plain, {{18, 4, offset}}), IconReadFailed, "", {}, {}, kAlsoStdio});
    }
    RunReadCases(cases);
}

TEST(IcReaderAccepts, OddButReadableFiles) {
    const Pixels one16 = ExactImage(16, 1), eight16 = ExactImage(16, 8), deep16 = ExactImage(16, 24);
    const Pixels one32 = ExactImage(32, 1), four32 = ExactImage(32, 4), eight32 = ExactImage(32, 8);
    const Bytes four32File = Write(four32, 3), cursor8 = Write(eight32, 5, true, 3, 4);
    const Pixels outside = Dots(0, {{0, MakeColour(200, 100, 50)}, {1, MakeColour(192, 192, 192)}, {2, MaskColor},
                                    {3, MakeColour(255, 255, 254)}, {4, kWhite}});
    const Pixels halfWhite = Gen<uint32_t>(256, [](int i) { return i < 128 ? 0 : kWhite; });
    const std::vector<ReadCase> cases = {
        // Hot spot y 200 would not be accepted as a depth; the header's 24 is.
        {"a cursor's depth comes from the image header", Write(deep16, 6, true, 100, 200), IconLoaded,
         "depth=24 hotX=100 hotY=200", ColoursOf(deep16, 16)},
        {"an icon's depth is the entry's, not the header's", Patched(Write(deep16, 6), {{36, 2, 1}}), IconLoaded,
         "index=6", ColoursOf(deep16, 16)},
        {"colour count 4 stands in for the depth at 32x32", Patched(four32File, {{12, 2, 0}, {8, 1, 4}}), IconLoaded,
         "index=3", ColoursOf(four32, 32)},
        {"4 bits are tested before 1 bit", Patched(four32File, {{12, 2, 1}, {8, 1, 16}}), IconLoaded, "index=3",
         ColoursOf(four32, 32)},
        {"colour count 2 alone", Patched(Write(one16, 0), {{12, 2, 0}}), IconLoaded, "index=0", ColoursOf(one16, 16)},
        {"depth 8 wins over colour count 16", Patched(Write(eight16, 4), {{8, 1, 16}}), IconLoaded, "index=4",
         ColoursOf(eight16, 16)},
        {"a two-image icon warns and loads the first", TwoImages(Write(deep16, 6), Write(one32, 1)), IconLoaded,
         "images=2 warning=1 index=6", ColoursOf(deep16, 16)},
        {"the 1-bit table (red, blue) is ignored", Patched(Write(one32, 1), {{62, 4, 0xFF0000}, {66, 4, 0xFF}}),
         IconLoaded, "", ColoursOf(one32, 32)},
        // Every pixel is entry 9 of the 4-bit table, entry 1 of the 8-bit one.
        {"4-bit colours come from the file table",
         Patched(Write(Filled(MakeColour(0, 0, 255)), 2), {{98, 3, 0x332211}}), IconLoaded, "",
         Pixels(256, MakeColour(0x33, 0x22, 0x11))},
        {"8-bit colours come from the file table", Patched(Write(Filled(MakeColour(9, 9, 9)), 5), {{66, 3, 0x665544}}),
         IconLoaded, "", Pixels(1024, MakeColour(0x66, 0x55, 0x44))},
        // At 22 a decoy header whose bit count would choose 1 bit.
        {"an image offset elsewhere takes header and data from there",
         Moved(cursor8, 100, 0xEE, Patched(Slice(cursor8, 22, 40), {{14, 2, 1}})), IconLoaded,
         "index=5 depth=8 hotX=3 hotY=4", ColoursOf(eight32, 32)},
        {"32x32 4-bit cursor with hot spot 10,31", Write(four32, 3, true, 10, 31), IconLoaded,
         "index=3 hotRead=1 hotX=10 hotY=31", ColoursOf(four32, 32)},
        {"colours outside 4 bits come back reduced", Write(outside, 2), IconLoaded, "",
         ColoursOf(Dots(0, {{1, MakeColour(192, 192, 192)}, {2, MaskColor}, {4, kWhite}}), 16)},
        {"colours outside 1 bit come back reduced", Write(outside, 0), IconLoaded, "",
         ColoursOf(Dots(0, {{2, MaskColor}, {4, kWhite}}), 16)},
        // Colour rows all black, mask all 1; 28 bytes of mask rows plus the
        // first 2 of the eighth: file rows 0..7 (image rows 15..8) stay
        // transparent, the rest come out black.
        {"truncation inside the mask rows counts missing bytes as zero",
         Slice(Write(Filled(MaskColor), 6), 0, 830 + 30), IconLoaded, "index=6",
         Gen<uint32_t>(256, [](int i) { return i < 128 ? 0 : MaskColor; })},
        {"a short colour read counts missing bytes as zero",   // only the bottom eight rows arrive
         Write(Filled(kWhite), 6), IconLoaded, "", halfWhite, {24, 40, 8 * 48}},
        {"a short mask read does not reuse colour bytes",   // colour bytes all FF, mask all 0
         Write(Filled(kWhite), 6), IconLoaded, "reads=4", Pixels(256, kWhite), {24, 40, 3072, 4}},
    };
    RunReadCases(cases);
}

TEST(IcReaderReads, EachSectionIsReadAtItsTabledDistanceAndSize) {
    // The reader's table: colour data distance and size, mask distance and size.
    const struct { uint64_t colourAt; size_t colourSize; uint64_t maskAt; size_t maskSize; } kReads[FormatCount] = {
        {48, 194, 112, 194}, {48, 326, 176, 326}, {40, 192, 232, 64},   {40, 576, 616, 128},
        {40, 1280, 1320, 64}, {40, 2048, 2088, 128}, {40, 3072, 808, 64}, {40, 3072, 3112, 128},
    };
    for (int index = 0; index < FormatCount; ++index)
        for (uint32_t off : {22u, 300u}) {
            ProbeStream in(Moved(Write(Exact(index), index), off, 0));
            Pixels px = Filled(0);
            ASSERT_EQ(FormatOpen(in, px.data()).Outcome, IconLoaded) << index;
            const std::vector<std::pair<uint64_t, size_t>> expected = {
                {0, 24}, {off, 40}, {off + kReads[index].colourAt, kReads[index].colourSize},
                {off + kReads[index].maskAt, kReads[index].maskSize}};
            EXPECT_EQ(in.asked, expected) << "format " << index << " offset " << off;
        }
}

TEST(IcReaderRoundTrip, ThroughAStdioFile) {
    const Pixels image = ExactImage(32, 24);
    std::FILE* file = ScratchFile();
    ASSERT_NE(file, nullptr);
    StdioStream out(file);
    ASSERT_EQ(Format(out, image.data(), 3333, 1, 2, 3), FileOk);
    Pixels px = Filled(0);
    const IconReadResult r = FormatOpen(out, px.data());
    CloseScratch(file);
    ASSERT_EQ(r.Outcome, IconLoaded);
    EXPECT_EQ(r.FormatIndex, 7);
    EXPECT_EQ(ColoursOf(px, 32), ColoursOf(image, 32));
    EXPECT_EQ(r.HotX, 2);
    EXPECT_EQ(r.HotY, 3);
}

TEST(IcReaderFaults, ArbitraryBytesNeverLoadOutsideTheTable) {
    // A cheap stand-in for the fuzzer: pseudo-random files of many lengths,
    // some with sane-looking directory entries.
    uint32_t seed = 12345;
    auto next = [&seed] { seed = seed * 1103515245u + 12345u; return static_cast<uint8_t>(seed >> 16); };
    for (int round = 0; round < 2000; ++round) {
        Bytes f(static_cast<size_t>(next()) * 16 + next(), 0);
        for (uint8_t& b : f) b = next();
        if (f.size() >= 22 && round % 2) {
            f[6] = (round & 4) ? 32 : 16;
            Put(f, 12, 2, next() % 26);
            Put(f, 18, 4, next() % 64);
        }
        Pixels px = Untouched();
        MemoryStream in(f);
        const IconReadResult r = FormatOpen(in, px.data());
        if (r.Outcome == IconLoaded) {
            ASSERT_TRUE(IsFormatIndex(r.FormatIndex));
            for (size_t i = 0; i < px.size(); ++i) ASSERT_EQ(px[i] >> 24, 0x5Au);
        } else {
            ASSERT_EQ(px, Untouched()) << "round " << round;
        }
    }
}

}  // namespace
