// The icon and cursor file: the layout the writer
// produces, its colour reduction and failure handling, and the reader with
// its round trips and its answers to damaged and hostile files.
#include <gtest/gtest.h>
#include <cstdio>
#include <cstring>
#include <tuple>
#include <utility>
#include <vector>
#include "document/Document.h"
#include "formats/FileErrors.h"
#include "formats/IcFormat.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Pixels = std::vector<uint32_t>;

uint32_t Le16(const Bytes& b, size_t at) {
    return static_cast<uint32_t>(b[at]) | (static_cast<uint32_t>(b[at + 1]) << 8);
}
uint32_t Le32(const Bytes& b, size_t at) {
    return Le16(b, at) | (Le16(b, at + 2) << 16);
}
void Set16(Bytes& b, size_t at, uint32_t v) {
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}
void Set32(Bytes& b, size_t at, uint32_t v) {
    Set16(b, at, v & 0xFFFF);
    Set16(b, at + 2, v >> 16);
}
Bytes Slice(const Bytes& b, size_t from, size_t count) {
    return Bytes(b.begin() + static_cast<long>(from), b.begin() + static_cast<long>(from + count));
}

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

constexpr uint32_t kWhite = 0x00FFFFFF;
constexpr uint32_t kSentinel = 0xA5C3E1F0;   // never a colour the reader writes

Bytes Write(const Pixels& px, int index, bool cursor = false, int hotX = 0, int hotY = 0) {
    MemoryStream out;
    EXPECT_EQ(Format(out, px.data(), kSizes[index].code, cursor ? 1 : 0, static_cast<uint16_t>(hotX),
                     static_cast<uint16_t>(hotY)),
              FileOk);
    return out.data;
}

IconReadResult Read(const Bytes& file, Pixels& px) {
    MemoryStream in(file);
    return FormatOpen(in, px.data());
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

// Colours only (byte 3 dropped) of the first pace x pace pixels.
Pixels ColoursOf(const Pixels& px, int pace) {
    Pixels out(static_cast<size_t>(pace) * pace);
    for (size_t i = 0; i < out.size(); ++i) out[i] = px[i] & 0x00FFFFFF;
    return out;
}

// ---- Every byte of the layout ---------------------------------------------

class IcLayout : public ::testing::TestWithParam<std::tuple<int, bool>> {};

// All transparent except the bottom-left pixel, which is white: its colour
// lands in the first byte of the colour rows, its mask bit in the first
// byte of the mask rows.
Pixels BottomLeftWhite(int pace) {
    Pixels px = Filled(MaskColor);
    px[(pace - 1) * pace] = kWhite;
    return px;
}

TEST_P(IcLayout, SizesAndOffsetsFollowTheTable) {
    const int index = std::get<0>(GetParam());
    const bool cursor = std::get<1>(GetParam());
    const SizeRow& row = kSizes[index];
    const Bytes f = Write(BottomLeftWhite(row.pace), index, cursor, 3, 9);

    ASSERT_EQ(f.size(), static_cast<size_t>(row.fileSize));
    EXPECT_EQ(Le32(f, 14), static_cast<uint32_t>(row.imageBytes));
    EXPECT_EQ(f.size(), 22 + Le32(f, 14));
    EXPECT_EQ(Le32(f, 18), 22u);
    EXPECT_EQ(Le16(f, 4), 1u);
    EXPECT_EQ(row.colourStart, 62 + row.tableBytes);
    EXPECT_EQ(row.maskStart, row.colourStart + row.rowBytes * row.pace);
    EXPECT_EQ(row.fileSize, row.maskStart + 4 * row.pace);

    // First colour byte: the bottom-left pixel's white.
    uint8_t first;
    switch (row.bits) {
    case 1: first = 0x80; break;                      // bit 1, leftmost
    case 4: first = 0xF0; break;                      // index 15, high nibble
    case 8: first = row.pace == 16 ? 240 : 2; break;  // pixel 240 / second new colour
    default: first = 0xFF; break;                     // blue byte
    }
    EXPECT_EQ(f[row.colourStart], first);
    if (row.bits == 24) {
        EXPECT_EQ(f[row.colourStart + 1], 0xFF);
        EXPECT_EQ(f[row.colourStart + 2], 0xFF);
        EXPECT_EQ(f[row.colourStart + 3], 0x00);   // next pixel transparent: black
    }
    // The last colour byte: the top-right pixel, transparent (index 15 at
    // 16x16 8 bits, where index i is pixel i), or row padding.
    EXPECT_EQ(f[row.maskStart - 1], row.pace == 16 && row.bits == 8 ? 15 : 0);
    // First mask row: the white pixel's bit 0, the rest of the row 1.
    EXPECT_EQ(f[row.maskStart], 0x7F);
    EXPECT_EQ(f[row.maskStart + 1], 0xFF);
    EXPECT_EQ(f[row.maskStart + 2], row.pace == 32 ? 0xFF : 0x00);
    EXPECT_EQ(f[row.maskStart + 3], row.pace == 32 ? 0xFF : 0x00);
    // Every other mask row: fully transparent.
    for (int r = 1; r < row.pace; ++r) {
        const size_t at = static_cast<size_t>(row.maskStart + 4 * r);
        EXPECT_EQ(Slice(f, at, 4), (row.pace == 32 ? Bytes{0xFF, 0xFF, 0xFF, 0xFF} : Bytes{0xFF, 0xFF, 0, 0}))
            << "mask row " << r;
    }
}

TEST_P(IcLayout, EntryAndImageHeaderFields) {
    const int index = std::get<0>(GetParam());
    const bool cursor = std::get<1>(GetParam());
    const SizeRow& row = kSizes[index];
    const Bytes f = Write(ExactImage(row.pace, row.bits), index, cursor, 3, 9);
    ASSERT_EQ(f.size(), static_cast<size_t>(row.fileSize));

    EXPECT_EQ(Le16(f, 0), 0u);
    EXPECT_EQ(Le16(f, 2), cursor ? 2u : 1u);
    EXPECT_EQ(f[6], row.pace);
    EXPECT_EQ(f[7], row.pace);
    EXPECT_EQ(f[8], row.colourCount);
    EXPECT_EQ(f[9], 0);
    if (!cursor) {
        EXPECT_EQ(Le16(f, 10), 1u);
        EXPECT_EQ(Le16(f, 12), static_cast<uint32_t>(row.bits));
    } else if (row.pace == 16 && row.bits == 8) {
        EXPECT_EQ(Le16(f, 10), 0u);
        EXPECT_EQ(Le16(f, 12), 0u);
    } else {
        EXPECT_EQ(Le16(f, 10), 3u);
        EXPECT_EQ(Le16(f, 12), 9u);
    }
    EXPECT_EQ(Le32(f, 22), 40u);
    EXPECT_EQ(Le32(f, 26), static_cast<uint32_t>(row.pace));
    EXPECT_EQ(Le32(f, 30), static_cast<uint32_t>(2 * row.pace));
    EXPECT_EQ(Le16(f, 34), 1u);
    EXPECT_EQ(Le16(f, 36), static_cast<uint32_t>(row.bits));
    for (size_t at = 38; at < 62; ++at) EXPECT_EQ(f[at], 0) << "header byte " << at;
}

INSTANTIATE_TEST_SUITE_P(IcFormats, IcLayout,
                         ::testing::Combine(::testing::Range(0, FormatCount), ::testing::Bool()));

TEST(IcLayoutExamples, First22BytesOf16x16FourBitIcon) {
    const Bytes f = Write(Filled(MaskColor), 2);
    const Bytes expected = {0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x10, 0x10, 0x10, 0x00, 0x01,
                            0x00, 0x04, 0x00, 0x28, 0x01, 0x00, 0x00, 0x16, 0x00, 0x00, 0x00};
    EXPECT_EQ(Slice(f, 0, 22), expected);
}

TEST(IcLayoutExamples, First22BytesOf32x32TwentyFourBitCursorWithHotSpot5And7) {
    const Bytes f = Write(Filled(MaskColor), 7, true, 5, 7);
    const Bytes expected = {0x00, 0x00, 0x02, 0x00, 0x01, 0x00, 0x20, 0x20, 0x00, 0x00, 0x05,
                            0x00, 0x07, 0x00, 0xA8, 0x0C, 0x00, 0x00, 0x16, 0x00, 0x00, 0x00};
    EXPECT_EQ(Slice(f, 0, 22), expected);
    EXPECT_EQ(Le16(f, 36), 24u);
}

TEST(IcLayoutExamples, SixteenEightBitCursorHasZeroAtOffsets10And12) {
    const Bytes f = Write(Filled(MaskColor), 4, true, 12, 13);
    EXPECT_EQ(Le16(f, 2), 2u);
    EXPECT_EQ(Le16(f, 10), 0u);
    EXPECT_EQ(Le16(f, 12), 0u);
    EXPECT_EQ(Le16(f, 36), 8u);
}

TEST(IcLayoutExamples, WhiteAndMaskOneBitIconIs198BytesWithFFFF0000MaskRows) {
    Pixels px = Filled(MaskColor);
    for (int y = 0; y < 16; y += 2)
        for (int x = 0; x < 16; ++x) px[y * 16 + x] = kWhite;   // even rows white, odd transparent
    const Bytes f = Write(px, 0);
    ASSERT_EQ(f.size(), 198u);
    for (int r = 0; r < 16; ++r) {
        const int y = 15 - r;
        const Bytes mask = Slice(f, 134 + 4 * r, 4);
        const Bytes colour = Slice(f, 70 + 4 * r, 4);
        if (y % 2) {
            EXPECT_EQ(mask, (Bytes{0xFF, 0xFF, 0x00, 0x00})) << "row " << y;
            EXPECT_EQ(colour, (Bytes{0, 0, 0, 0})) << "row " << y;
        } else {
            EXPECT_EQ(mask, (Bytes{0, 0, 0, 0})) << "row " << y;
            EXPECT_EQ(colour, (Bytes{0xFF, 0xFF, 0x00, 0x00})) << "row " << y;
        }
    }
    EXPECT_EQ(Slice(f, 62, 8), (Bytes{0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0}));
}

TEST(IcLayoutExamples, FourBitTableIsTheIconPaletteBytes) {
    const Bytes expected = {0x00, 0x00, 0x00, 0x00, 0x00, 0x80, 0x00, 0x00, 0x80, 0x80, 0x00, 0x00,
                            0x00, 0x00, 0x80, 0x00, 0x80, 0x00, 0x80, 0x00, 0x00, 0x80, 0x80, 0x00,
                            0x80, 0x00, 0x00, 0x00, 0xC0, 0xC0, 0xC0, 0x00, 0x80, 0x80, 0x80, 0x00,
                            0xFF, 0x00, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00,
                            0x00, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0x00, 0xFF, 0xFF, 0x00,
                            0xFF, 0xFF, 0xFF, 0x00};
    for (int index : {2, 3}) {
        const Bytes f = Write(ExactImage(kSizes[index].pace, 4), index);
        EXPECT_EQ(Slice(f, 62, 64), expected) << "format " << index;
    }
}

// ---- Colour reduction ------------------------------------------------------

TEST(IcWriterColours, OneBitKeepsOnlyPureWhite) {
    Pixels px = Filled(0);
    px[0] = MakeColour(255, 255, 255);
    px[1] = MakeColour(255, 255, 254);
    px[2] = MaskColor;
    px[3] = MakeColour(254, 255, 255);
    const Bytes f = Write(px, 0);
    // The top image row is the last row of each section.
    EXPECT_EQ(f[70 + 15 * 4], 0x80);       // colour bits 1, 0, 0, 0
    EXPECT_EQ(f[70 + 15 * 4 + 1], 0x00);
    EXPECT_EQ(f[134 + 15 * 4], 0x20);      // mask bits 0, 0, 1, 0
    EXPECT_EQ(f[134 + 15 * 4 + 1], 0x00);
}

TEST(IcWriterColours, FourBitNeedsAnExactPaletteMatch) {
    Pixels px = Filled(MakeColour(255, 0, 0));   // entry 12
    px[0] = MakeColour(192, 192, 192);
    px[1] = MakeColour(193, 192, 192);
    px[2] = MaskColor;
    px[3] = MakeColour(0, 0, 255);               // entry 9
    const Bytes f = Write(px, 2);
    const size_t top = 126 + 15 * 8;
    EXPECT_EQ(f[top], 0x70);
    EXPECT_EQ(f[top + 1], 0x09);
    EXPECT_EQ(f[top + 2], 0xCC);
    EXPECT_EQ(f[254 + 15 * 4], 0x20);
}

uint32_t Numbered(int k) { return MakeColour(static_cast<unsigned>(k & 0xFF), static_cast<unsigned>(k >> 8), 7); }

TEST(IcWriterColours, ThirtyTwoEightBitKeepsTheFirst255ColoursInOrder) {
    Pixels px = Filled(0);
    for (int i = 0; i < 1024; ++i) px[i] = Numbered(i % 300);
    const Bytes f = Write(px, 5);
    EXPECT_EQ(Slice(f, 62, 4), (Bytes{0, 0, 0, 0}));
    for (int e = 1; e < 256; ++e) {
        const uint32_t c = Numbered(e - 1);
        EXPECT_EQ(Slice(f, 62 + 4 * e, 4),
                  (Bytes{static_cast<uint8_t>(BlueOf(c)), static_cast<uint8_t>(GreenOf(c)),
                         static_cast<uint8_t>(RedOf(c)), 0}))
            << "entry " << e;
    }
    for (int i = 0; i < 1024; ++i) {
        const int x = i % 32, y = i / 32;
        const int k = i % 300;
        EXPECT_EQ(f[1086 + (31 - y) * 32 + x], k < 255 ? k + 1 : 0) << "pixel " << i;
    }
}

TEST(IcWriterColours, ThirtyTwoEightBitBlackTakesNoEntry) {
    Pixels px = Filled(0);
    px[3 * 32 + 5] = MakeColour(255, 0, 0);
    const Bytes f = Write(px, 5);
    EXPECT_EQ(Slice(f, 66, 4), (Bytes{0, 0, 0xFF, 0}));
    for (int e = 0; e < 256; ++e) {
        if (e != 1) {
            EXPECT_EQ(Slice(f, 62 + 4 * e, 4), (Bytes{0, 0, 0, 0})) << "entry " << e;
        }
    }
    for (int i = 0; i < 1024; ++i) {
        const int x = i % 32, y = i / 32;
        EXPECT_EQ(f[1086 + (31 - y) * 32 + x], i == 3 * 32 + 5 ? 1 : 0) << "pixel " << i;
    }
}

TEST(IcWriterColours, ThirtyTwoEightBitMaskColourTakesAnEntryButIndexZero) {
    Pixels px = Filled(MakeColour(1, 2, 3));
    px[0] = MaskColor;
    const Bytes f = Write(px, 5);
    EXPECT_EQ(Slice(f, 66, 4), (Bytes{0x6F, 0x6F, 0x5F, 0}));   // entry 1: the mask colour
    EXPECT_EQ(Slice(f, 70, 4), (Bytes{3, 2, 1, 0}));            // entry 2
    EXPECT_EQ(f[1086 + 31 * 32], 0);                            // top-left pixel
    EXPECT_EQ(f[1086 + 31 * 32 + 1], 2);
}

TEST(IcWriterColours, SixteenEightBitTablesEveryPixelAndMasksTopLeft) {
    Pixels px = Filled(0);
    for (int i = 0; i < 256; ++i) px[i] = MakeColour(static_cast<unsigned>(i), 200, static_cast<unsigned>(255 - i));
    px[0] = MaskColor;
    const Bytes f = Write(px, 4);
    EXPECT_EQ(Slice(f, 62, 4), (Bytes{0, 0, 0, 0}));
    for (int i = 1; i < 256; ++i)
        EXPECT_EQ(Slice(f, 62 + 4 * i, 4), (Bytes{static_cast<uint8_t>(255 - i), 200, static_cast<uint8_t>(i), 0}))
            << "entry " << i;
    // First colour row: indices 240..255; last: 0..15.
    for (int x = 0; x < 16; ++x) {
        EXPECT_EQ(f[1086 + x], 240 + x);
        EXPECT_EQ(f[1086 + 15 * 16 + x], x);
    }
    EXPECT_EQ(f[1342 + 15 * 4], 0x80);
    EXPECT_EQ(f[1342 + 15 * 4 + 1], 0x00);
}

TEST(IcWriterColours, TwentyFourBitWritesMaskAsBlackAndColoursExactly) {
    Pixels px = Filled(0);
    px[0] = MaskColor;
    px[1] = MakeColour(1, 2, 3);
    px[255] = MakeColour(0xAA, 0xBB, 0xCC);
    const Bytes f = Write(px, 6);
    const size_t top = 62 + 15 * 48;
    EXPECT_EQ(Slice(f, top, 6), (Bytes{0, 0, 0, 3, 2, 1}));
    EXPECT_EQ(Slice(f, 62 + 45, 3), (Bytes{0xCC, 0xBB, 0xAA}));   // bottom-right pixel, first row
}

TEST(IcWriterColours, SavingNeverChangesThePixels) {
    for (int index = 0; index < FormatCount; ++index)
        for (int cursor = 0; cursor < 2; ++cursor) {
            Pixels px = ExactImage(kSizes[index].pace, kSizes[index].bits);
            for (size_t i = 0; i < px.size(); i += 3) px[i] |= 0x7E000000;
            px[5] = MakeColour(193, 192, 192) | 0x01000000;
            const Pixels before = px;
            MemoryStream out;
            Format(out, px.data(), kSizes[index].code, cursor, 1, 2);
            EXPECT_EQ(px, before) << "format " << index << " cursor " << cursor;
        }
}

TEST(IcWriterColours, ByteThreeDoesNotDisturbReduction) {
    Pixels px = Filled(MaskColor | 0xFF000000);
    px[0] = kWhite | 0x12000000;
    const Bytes f = Write(px, 0);
    EXPECT_EQ(f[70 + 15 * 4], 0x80);
    EXPECT_EQ(f[134 + 15 * 4], 0x7F);   // every other pixel still counts as transparent
}

// ---- Writes and their failures ---------------------------------------------

// Records every write; the write numbered failAt answers failValue.
class RecordingStream : public ByteStream {
public:
    long long ReadAt(uint64_t, void*, size_t) override { return -1; }
    long long Write(const void* buffer, size_t count) override {
        const size_t n = writes.size();
        writes.push_back(count);
        if (static_cast<int>(n) == failAt) return failValue;
        const uint8_t* b = static_cast<const uint8_t*>(buffer);
        data.insert(data.end(), b, b + count);
        return static_cast<long long>(count);
    }
    long long Size() override { return static_cast<long long>(data.size()); }
    std::vector<size_t> writes;
    Bytes data;
    int failAt = -1;
    long long failValue = -1;
};

std::vector<size_t> Pieces(const SizeRow& row) {
    std::vector<size_t> p = {4, 2, 16, 40};
    if (row.tableBytes) p.push_back(static_cast<size_t>(row.tableBytes));
    p.push_back(static_cast<size_t>(row.rowBytes * row.pace));
    p.push_back(static_cast<size_t>(4 * row.pace));
    return p;
}

class IcWriterFailure : public ::testing::TestWithParam<int> {};

TEST_P(IcWriterFailure, EveryPieceIsAWriteOfItsOwn) {
    const SizeRow& row = kSizes[GetParam()];
    RecordingStream out;
    const Pixels px = ExactImage(row.pace, row.bits);
    EXPECT_EQ(Format(out, px.data(), row.code, 0, 0, 0), FileOk);
    EXPECT_EQ(out.writes, Pieces(row));
    EXPECT_EQ(out.data, Write(px, GetParam()));
}

TEST_P(IcWriterFailure, AFailedOrEmptyWriteStopsAtOnce) {
    const SizeRow& row = kSizes[GetParam()];
    const Pixels px = ExactImage(row.pace, row.bits);
    const std::vector<size_t> pieces = Pieces(row);
    for (long long failValue : {-1LL, 0LL})
        for (size_t k = 0; k < pieces.size(); ++k) {
            RecordingStream out;
            out.failAt = static_cast<int>(k);
            out.failValue = failValue;
            EXPECT_EQ(Format(out, px.data(), row.code, 1, 4, 4), FileWriteError) << "piece " << k;
            EXPECT_EQ(out.writes.size(), k + 1) << "piece " << k << " answer " << failValue;
        }
}

TEST_P(IcWriterFailure, AFullDiskAtEachPieceBoundaryKeepsWhatWasWritten) {
    const SizeRow& row = kSizes[GetParam()];
    const Pixels px = ExactImage(row.pace, row.bits);
    const Bytes whole = Write(px, GetParam(), true, 4, 4);
    size_t boundary = 0;
    for (size_t piece : Pieces(row)) {
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
        RecordingStream icon;
        EXPECT_EQ(Format(icon, px.data(), code, 0, 0, 0), FileOk) << code;
        EXPECT_EQ(icon.writes, (std::vector<size_t>{4, 2})) << code;
        EXPECT_EQ(icon.data, (Bytes{0, 0, 1, 0, 1, 0})) << code;
    }
    MemoryStream cursor;
    EXPECT_EQ(Format(cursor, px.data(), 77, 1, 3, 3), FileOk);
    EXPECT_EQ(cursor.data, (Bytes{0, 0, 2, 0, 1, 0}));
}

TEST(IcWriterCodes, AFailingFirstWriteLeavesAnEmptyStream) {
    const Pixels px = Filled(MaskColor);
    MemoryStream out;
    out.writeLimit = 0;
    EXPECT_EQ(Format(out, px.data(), 1624, 0, 0, 0), FileWriteError);
    EXPECT_TRUE(out.data.empty());
    MemoryStream outside;
    outside.writeLimit = 4;
    EXPECT_EQ(Format(outside, px.data(), 12345, 0, 0, 0), FileWriteError);
    EXPECT_EQ(outside.data.size(), 4u);
}

// ---- Round trips -----------------------------------------------------------

class IcRoundTrip : public ::testing::TestWithParam<std::tuple<int, bool>> {};

TEST_P(IcRoundTrip, PixelsMaskAndHotSpotComeBack) {
    const int index = std::get<0>(GetParam());
    const bool cursor = std::get<1>(GetParam());
    const SizeRow& row = kSizes[index];
    const Pixels image = ExactImage(row.pace, row.bits);
    // A hot spot y that, taken as a bit count, would choose another depth.
    const int hotX = row.pace - 1;
    const int hotY = row.bits == 8 ? 24 : 8;
    const Bytes f = Write(image, index, cursor, hotX, hotY);

    Pixels px = Filled(0x00123456);
    const IconReadResult r = Read(f, px);
    ASSERT_EQ(r.Outcome, IconLoaded);
    EXPECT_EQ(r.FormatIndex, index);
    EXPECT_EQ(r.IsCursorFile, cursor ? 1 : 0);
    EXPECT_EQ(r.ImageCount, 1);
    EXPECT_EQ(r.MultiImageWarning, 0);
    EXPECT_EQ(r.Width, row.pace);
    EXPECT_EQ(r.ColourCount, row.colourCount);
    EXPECT_EQ(r.DepthValue, row.bits);
    EXPECT_EQ(ColoursOf(px, row.pace), ColoursOf(image, row.pace));
    for (size_t i = static_cast<size_t>(row.pace * row.pace); i < px.size(); ++i)
        ASSERT_EQ(px[i], 0x00123456u) << "element beyond the image " << i;
    if (cursor) {
        EXPECT_EQ(r.HotSpotRead, 1);
        if (row.pace == 16 && row.bits == 8) {
            EXPECT_EQ(r.HotX, 0);
            EXPECT_EQ(r.HotY, 0);
        } else {
            EXPECT_EQ(r.HotX, hotX);
            EXPECT_EQ(r.HotY, hotY);
        }
    } else {
        EXPECT_EQ(r.HotSpotRead, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(IcFormats, IcRoundTrip,
                         ::testing::Combine(::testing::Range(0, FormatCount), ::testing::Bool()));

TEST(IcReaderRoundTrip, ThirtyTwoFourBitCursorWithHotSpot10And31) {
    const Pixels image = ExactImage(32, 4);
    const Bytes f = Write(image, 3, true, 10, 31);
    Pixels px = Filled(MaskColor);
    const IconReadResult r = Read(f, px);
    ASSERT_EQ(r.Outcome, IconLoaded);
    EXPECT_EQ(r.FormatIndex, 3);
    EXPECT_EQ(r.HotSpotRead, 1);
    EXPECT_EQ(r.HotX, 10);
    EXPECT_EQ(r.HotY, 31);
    EXPECT_EQ(ColoursOf(px, 32), ColoursOf(image, 32));
}

TEST(IcReaderRoundTrip, LoadingKeepsTheFourthByteOfEveryPixel) {
    for (int index = 0; index < FormatCount; ++index) {
        const SizeRow& row = kSizes[index];
        const Bytes f = Write(ExactImage(row.pace, row.bits), index);
        Pixels px(ImagePixels);
        for (size_t i = 0; i < px.size(); ++i) px[i] = ((static_cast<uint32_t>(i * 37 + 1) & 0xFF) << 24) | 0x00ABCDEF;
        const Pixels before = px;
        ASSERT_EQ(Read(f, px).Outcome, IconLoaded) << index;
        for (size_t i = 0; i < px.size(); ++i) ASSERT_EQ(px[i] >> 24, before[i] >> 24) << index << " " << i;
    }
}

TEST(IcReaderRoundTrip, ColoursOutsideTheDepthComeBackReduced) {
    Pixels image = Filled(0);
    image[0] = MakeColour(200, 100, 50);
    image[1] = MakeColour(192, 192, 192);
    image[2] = MaskColor;
    image[3] = MakeColour(255, 255, 254);
    image[4] = kWhite;
    Pixels px = Filled(0);
    ASSERT_EQ(Read(Write(image, 2), px).Outcome, IconLoaded);
    EXPECT_EQ(Pixels(px.begin(), px.begin() + 5),
              (Pixels{0, MakeColour(192, 192, 192), MaskColor, 0, kWhite}));
    ASSERT_EQ(Read(Write(image, 0), px).Outcome, IconLoaded);
    EXPECT_EQ(Pixels(px.begin(), px.begin() + 5), (Pixels{0, 0, MaskColor, 0, kWhite}));
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

// ---- Damaged, odd and hostile files ----------------------------------------

// Untouched: a buffer whose every element, fourth byte included, is as before.
Pixels Untouched() {
    Pixels px(ImagePixels);
    for (size_t i = 0; i < px.size(); ++i) px[i] = 0x5A000000u | static_cast<uint32_t>(i * 2654435761u & 0xFFFFFF);
    return px;
}

TEST(IcReaderFaults, EmptyStreamFails) {
    Pixels px = Untouched();
    const IconReadResult r = Read(Bytes{}, px);
    EXPECT_EQ(r.Outcome, IconReadFailed);
    EXPECT_EQ(r.FormatIndex, -1);
    EXPECT_EQ(px, Untouched());
}

TEST(IcReaderFaults, FailingReadsFail) {
    MemoryStream in(Write(ExactImage(16, 24), 6, true, 1, 1));
    in.failReads = true;
    Pixels px = Untouched();
    const IconReadResult r = FormatOpen(in, px.data());
    EXPECT_EQ(r.Outcome, IconReadFailed);
    EXPECT_EQ(r.HotSpotRead, 0);
    EXPECT_EQ(px, Untouched());
}

TEST(IcReaderFaults, TruncationBeforeTheMaskRowsFailsAndTouchesNothing) {
    for (int index = 0; index < FormatCount; ++index)
        for (int cursor = 0; cursor < 2; ++cursor) {
            const SizeRow& row = kSizes[index];
            Bytes f = Write(ExactImage(row.pace, row.bits), index, cursor != 0, 1, 2);
            for (size_t length : {static_cast<size_t>(row.maskStart), static_cast<size_t>(row.colourStart + 1),
                                  static_cast<size_t>(row.colourStart), size_t{62}, size_t{22}}) {
                Pixels px = Untouched();
                const IconReadResult r = Read(Slice(f, 0, length), px);
                EXPECT_EQ(r.Outcome, IconReadFailed) << index << " length " << length;
                EXPECT_EQ(r.HotSpotRead, 0) << index << " length " << length;
                EXPECT_EQ(r.FormatIndex, -1);
                EXPECT_EQ(px, Untouched()) << index << " length " << length;
            }
        }
}

TEST(IcReaderFaults, TruncationInsideTheMaskRowsLoadsWithMissingBytesZero) {
    const Bytes whole = Write(Filled(MaskColor), 6);   // colour rows all black, mask all 1
    // 28 bytes of mask rows plus the first 2 of the eighth: file rows 0..7
    // (image rows 15..8) stay transparent, the rest come out black.
    Pixels px = Untouched();
    const IconReadResult r = Read(Slice(whole, 0, 830 + 30), px);
    ASSERT_EQ(r.Outcome, IconLoaded);
    EXPECT_EQ(r.FormatIndex, 6);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            EXPECT_EQ(px[y * 16 + x] & 0xFFFFFF, y >= 8 ? MaskColor : 0u) << x << "," << y;
}

// Delivers at most cap[k] bytes to read number k (no cap past the list).
class ChoppyStream : public MemoryStream {
public:
    using MemoryStream::MemoryStream;
    long long ReadAt(uint64_t offset, void* buffer, size_t count) override {
        const size_t k = reads++;
        if (k < caps.size() && count > caps[k]) count = caps[k];
        return MemoryStream::ReadAt(offset, buffer, count);
    }
    std::vector<size_t> caps;
    size_t reads = 0;
};

// Logs every read asked for: offset and size.
class LoggingStream : public MemoryStream {
public:
    using MemoryStream::MemoryStream;
    long long ReadAt(uint64_t offset, void* buffer, size_t count) override {
        asked.push_back({offset, count});
        return MemoryStream::ReadAt(offset, buffer, count);
    }
    std::vector<std::pair<uint64_t, size_t>> asked;
};

TEST(IcReaderReads, EachSectionIsReadAtItsTabledDistanceAndSize) {
    // The reader's table: colour data distance and size, mask distance and size.
    const struct { uint64_t colourAt; size_t colourSize; uint64_t maskAt; size_t maskSize; } kReads[FormatCount] = {
        {48, 194, 112, 194}, {48, 326, 176, 326}, {40, 192, 232, 64},   {40, 576, 616, 128},
        {40, 1280, 1320, 64}, {40, 2048, 2088, 128}, {40, 3072, 808, 64}, {40, 3072, 3112, 128},
    };
    for (int index = 0; index < FormatCount; ++index)
        for (uint32_t off : {22u, 300u}) {
            const Bytes plain = Write(ExactImage(kSizes[index].pace, kSizes[index].bits), index);
            Bytes f = Slice(plain, 0, 22);
            Set32(f, 18, off);
            f.resize(off, 0);
            f.insert(f.end(), plain.begin() + 22, plain.end());
            LoggingStream in(f);
            Pixels px = Filled(0);
            ASSERT_EQ(FormatOpen(in, px.data()).Outcome, IconLoaded) << index;
            const std::vector<std::pair<uint64_t, size_t>> expected = {
                {0, 24}, {off, 40}, {off + kReads[index].colourAt, kReads[index].colourSize},
                {off + kReads[index].maskAt, kReads[index].maskSize}};
            EXPECT_EQ(in.asked, expected) << "format " << index << " offset " << off;
        }
}

TEST(IcReaderFaults, ShortColourReadCountsMissingBytesAsZero) {
    ChoppyStream in(Write(Filled(kWhite), 6));
    in.caps = {24, 40, 8 * 48};   // only the bottom eight rows arrive
    Pixels px = Untouched();
    ASSERT_EQ(FormatOpen(in, px.data()).Outcome, IconLoaded);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            EXPECT_EQ(px[y * 16 + x] & 0xFFFFFF, y >= 8 ? kWhite : 0u) << x << "," << y;
}

TEST(IcReaderFaults, ShortMaskReadDoesNotReuseColourBytes) {
    ChoppyStream in(Write(Filled(kWhite), 6));   // colour bytes all FF, mask all 0
    in.caps = {24, 40, 3072, 4};
    Pixels px = Untouched();
    ASSERT_EQ(FormatOpen(in, px.data()).Outcome, IconLoaded);
    EXPECT_EQ(in.reads, 4u);
    EXPECT_EQ(ColoursOf(px, 16), Pixels(256, kWhite));
}

TEST(IcReaderFaults, ShortFirstReadCountsMissingBytesAsZero) {
    // 8 bytes: type 1, count 1, width 16 and nothing else: bit count and
    // colour count read as 0, image offset 0.
    Pixels px = Untouched();
    const IconReadResult r = Read(Bytes{0, 0, 1, 0, 1, 0, 16, 16}, px);
    EXPECT_EQ(r.Outcome, IconUnknownDepth);
    EXPECT_EQ(r.DepthValue, 0);
    EXPECT_EQ(px, Untouched());
}

TEST(IcReaderFaults, WidthOtherThan16Or32IsNotSupported) {
    for (int width : {48, 0, 1, 64, 255}) {
        Bytes f = Write(ExactImage(32, 24), 7, width == 0, 3, 3);
        f[6] = static_cast<uint8_t>(width);
        f[7] = static_cast<uint8_t>(width);
        Pixels px = Untouched();
        const IconReadResult r = Read(f, px);
        EXPECT_EQ(r.Outcome, IconNotSupported) << width;
        EXPECT_EQ(r.Width, width);
        EXPECT_EQ(r.FormatIndex, -1);
        EXPECT_EQ(r.HotSpotRead, 0);
        EXPECT_EQ(px, Untouched()) << width;
    }
}

TEST(IcReaderFaults, ThirtyTwoBitIconAndCursorAreNotSupported) {
    Bytes icon = Write(ExactImage(32, 24), 7);
    Set16(icon, 12, 32);
    Set16(icon, 36, 32);
    Pixels px = Untouched();
    IconReadResult r = Read(icon, px);
    EXPECT_EQ(r.Outcome, IconNotSupported);
    EXPECT_EQ(r.DepthValue, 32);
    EXPECT_EQ(px, Untouched());

    Bytes cursor = Write(ExactImage(32, 24), 7, true, 3, 3);
    Set16(cursor, 36, 32);
    r = Read(cursor, px);
    EXPECT_EQ(r.Outcome, IconNotSupported);
    EXPECT_EQ(px, Untouched());

    Bytes depth25 = Write(ExactImage(32, 24), 7);
    Set16(depth25, 12, 25);
    EXPECT_EQ(Read(depth25, px).Outcome, IconNotSupported);
}

TEST(IcReaderFaults, CursorDepthComesFromTheImageHeader) {
    // Hot spot y 200 would not be accepted as a depth; the header's 24 is.
    const Pixels image = ExactImage(16, 24);
    const Bytes f = Write(image, 6, true, 100, 200);
    Pixels px = Filled(0);
    const IconReadResult r = Read(f, px);
    ASSERT_EQ(r.Outcome, IconLoaded);
    EXPECT_EQ(r.DepthValue, 24);
    EXPECT_EQ(r.HotX, 100);
    EXPECT_EQ(r.HotY, 200);
    // An icon's depth is the entry's, not the header's.
    Bytes icon = Write(image, 6);
    Set16(icon, 36, 1);
    EXPECT_EQ(Read(icon, px).FormatIndex, 6);
}

TEST(IcReaderDecodeChoice, NoFittingDecodingChangesNothing) {
    Bytes f = Write(ExactImage(16, 4), 2);
    f[8] = 0;
    Set16(f, 12, 0);
    Pixels px = Untouched();
    IconReadResult r = Read(f, px);
    EXPECT_EQ(r.Outcome, IconUnknownDepth);
    EXPECT_EQ(r.FormatIndex, -1);
    EXPECT_EQ(px, Untouched());

    Set16(f, 12, 16);   // depth 16
    r = Read(f, px);
    EXPECT_EQ(r.Outcome, IconUnknownDepth);
    EXPECT_EQ(px, Untouched());

    f[8] = 4;           // colour count 4 chooses 4 bits only at 32x32
    Set16(f, 12, 0);
    EXPECT_EQ(Read(f, px).Outcome, IconUnknownDepth);
    EXPECT_EQ(px, Untouched());
}

TEST(IcReaderDecodeChoice, UnknownDepthCursorStillReportsItsHotSpot) {
    Bytes f = Write(ExactImage(16, 4), 2, true, 6, 9);
    f[8] = 0;
    Set16(f, 36, 0);
    Pixels px = Untouched();
    const IconReadResult r = Read(f, px);
    EXPECT_EQ(r.Outcome, IconUnknownDepth);
    EXPECT_EQ(r.HotSpotRead, 1);
    EXPECT_EQ(r.HotX, 6);
    EXPECT_EQ(r.HotY, 9);
    EXPECT_EQ(px, Untouched());
}

TEST(IcReaderDecodeChoice, ColourCountStandsInForTheDepth) {
    const Pixels four = ExactImage(32, 4);
    Bytes f = Write(four, 3);
    Set16(f, 12, 0);
    f[8] = 4;                                    // 32x32: colour count 4
    Pixels px = Filled(0);
    IconReadResult r = Read(f, px);
    ASSERT_EQ(r.Outcome, IconLoaded);
    EXPECT_EQ(r.FormatIndex, 3);
    EXPECT_EQ(ColoursOf(px, 32), ColoursOf(four, 32));

    f[8] = 16;
    Set16(f, 12, 1);                             // 4 bits are tested before 1 bit
    r = Read(f, px);
    EXPECT_EQ(r.FormatIndex, 3);
    EXPECT_EQ(ColoursOf(px, 32), ColoursOf(four, 32));

    const Pixels one = ExactImage(16, 1);
    Bytes g = Write(one, 0);
    Set16(g, 12, 0);                             // colour count 2 alone
    r = Read(g, px);
    ASSERT_EQ(r.Outcome, IconLoaded);
    EXPECT_EQ(r.FormatIndex, 0);
    EXPECT_EQ(ColoursOf(px, 16), ColoursOf(one, 16));

    const Pixels eight = ExactImage(16, 8);
    Bytes h = Write(eight, 4);
    h[8] = 16;                                   // depth 8 wins over colour count 16
    r = Read(h, px);
    EXPECT_EQ(r.FormatIndex, 4);
    EXPECT_EQ(ColoursOf(px, 16), ColoursOf(eight, 16));
}

TEST(IcReaderFaults, TwoImageIconWarnsAndLoadsTheFirst) {
    const Pixels first = ExactImage(16, 24);
    const Bytes a = Write(first, 6);
    const Bytes b = Write(ExactImage(32, 1), 1);
    Bytes f = {0, 0, 1, 0, 2, 0};
    Bytes entryA = Slice(a, 6, 16), entryB = Slice(b, 6, 16);
    f.insert(f.end(), entryA.begin(), entryA.end());
    f.insert(f.end(), entryB.begin(), entryB.end());
    Set32(f, 18, 38);
    Set32(f, 34, static_cast<uint32_t>(38 + a.size() - 22));
    f.insert(f.end(), a.begin() + 22, a.end());
    f.insert(f.end(), b.begin() + 22, b.end());
    Pixels px = Filled(0);
    const IconReadResult r = Read(f, px);
    ASSERT_EQ(r.Outcome, IconLoaded);
    EXPECT_EQ(r.ImageCount, 2);
    EXPECT_EQ(r.MultiImageWarning, 1);
    EXPECT_EQ(r.FormatIndex, 6);
    EXPECT_EQ(ColoursOf(px, 16), ColoursOf(first, 16));
}

TEST(IcReaderFaults, RejectedMultiImageFileGivesNoWarning) {
    Bytes f = Write(ExactImage(16, 24), 6);
    Set16(f, 4, 3);
    f[6] = 48;
    Pixels px = Untouched();
    const IconReadResult r = Read(f, px);
    EXPECT_EQ(r.Outcome, IconNotSupported);
    EXPECT_EQ(r.MultiImageWarning, 0);
}

TEST(IcReaderFaults, OneBitTableIsIgnored) {
    const Pixels image = ExactImage(32, 1);
    Bytes f = Write(image, 1);
    const Bytes redBlue = {0, 0, 0xFF, 0, 0xFF, 0, 0, 0};
    std::copy(redBlue.begin(), redBlue.end(), f.begin() + 62);
    Pixels px = Filled(0);
    ASSERT_EQ(Read(f, px).Outcome, IconLoaded);
    EXPECT_EQ(ColoursOf(px, 32), ColoursOf(image, 32));
}

TEST(IcReaderFaults, FourAndEightBitColoursComeFromTheFileTable) {
    Bytes f = Write(Filled(MakeColour(0, 0, 255)), 2);   // every pixel index 9
    f[62 + 36] = 0x11;                                   // entry 9: blue, green, red
    f[62 + 37] = 0x22;
    f[62 + 38] = 0x33;
    Pixels px = Filled(0);
    ASSERT_EQ(Read(f, px).Outcome, IconLoaded);
    EXPECT_EQ(ColoursOf(px, 16), Pixels(256, MakeColour(0x33, 0x22, 0x11)));

    Bytes g = Write(Filled(MakeColour(9, 9, 9)), 5);     // every pixel index 1
    g[66] = 0x44;
    g[67] = 0x55;
    g[68] = 0x66;
    ASSERT_EQ(Read(g, px).Outcome, IconLoaded);
    EXPECT_EQ(ColoursOf(px, 32), Pixels(1024, MakeColour(0x66, 0x55, 0x44)));
}

TEST(IcReaderFaults, ImageOffsetElsewhereTakesHeaderAndDataFromThere) {
    const Pixels image = ExactImage(32, 8);
    const Bytes plain = Write(image, 5, true, 3, 4);
    Bytes f = Slice(plain, 0, 22);
    Set32(f, 18, 100);
    // At 22 a decoy header whose bit count would choose 1 bit.
    Bytes decoy = Slice(plain, 22, 40);
    Set16(decoy, 14, 1);
    f.insert(f.end(), decoy.begin(), decoy.end());
    f.resize(100, 0xEE);
    f.insert(f.end(), plain.begin() + 22, plain.end());
    Pixels px = Filled(0);
    const IconReadResult r = Read(f, px);
    ASSERT_EQ(r.Outcome, IconLoaded);
    EXPECT_EQ(r.FormatIndex, 5);
    EXPECT_EQ(r.DepthValue, 8);
    EXPECT_EQ(r.HotX, 3);
    EXPECT_EQ(r.HotY, 4);
    EXPECT_EQ(ColoursOf(px, 32), ColoursOf(image, 32));
}

TEST(IcReaderFaults, HostileImageOffsetsFailWithoutHarm) {
    for (int index = 0; index < FormatCount; ++index) {
        const Bytes plain = Write(ExactImage(kSizes[index].pace, kSizes[index].bits), index);
        for (uint32_t offset : {0xFFFFFFFFu, 0xFFFFFFF0u, 0xFFFFF000u, 0x80000000u, 0x7FFFFFFFu,
                                static_cast<uint32_t>(plain.size()),
                                static_cast<uint32_t>(plain.size() - 40)}) {
            Bytes f = plain;
            Set32(f, 18, offset);
            Pixels px = Untouched();
            const IconReadResult r = Read(f, px);
            EXPECT_EQ(r.Outcome, IconReadFailed) << index << " offset " << offset;
            EXPECT_EQ(px, Untouched()) << index << " offset " << offset;

            std::FILE* file = ScratchFile();
            ASSERT_NE(file, nullptr);
            std::fwrite(f.data(), 1, f.size(), file);
            StdioStream in(file);
            px = Untouched();
            EXPECT_EQ(FormatOpen(in, px.data()).Outcome, IconReadFailed) << index << " offset " << offset;
            CloseScratch(file);
            EXPECT_EQ(px, Untouched());
        }
    }
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
            Set16(f, 12, static_cast<uint32_t>(next() % 26));
            Set32(f, 18, next() % 64);
        }
        Pixels px = Untouched();
        const IconReadResult r = Read(f, px);
        if (r.Outcome == IconLoaded) {
            ASSERT_TRUE(IsFormatIndex(r.FormatIndex));
            for (size_t i = 0; i < px.size(); ++i) ASSERT_EQ(px[i] >> 24, 0x5Au);
        } else {
            ASSERT_EQ(px, Untouched()) << "round " << round;
        }
    }
}

}  // namespace
