// The toolbar strip file: writer, reader, and the files it must refuse.
#include <gtest/gtest.h>
#include <string>
#include <tuple>
#include "TestBytes.h"
#include "document/Document.h"
#include "formats/FileErrors.h"
#include "formats/StripBitmap.h"

namespace {

// Pixel (x, y) of a hand-made bitmap: blue and red the column, green the
// row, the fourth byte telling even columns from odd.
uint32_t HandColour(int x, int y) {
    return MakeColour(static_cast<unsigned>(x >> 8), static_cast<unsigned>(y), static_cast<unsigned>(x)) |
           (static_cast<uint32_t>(0xA0 + (x & 1)) << 24);
}
// A 32-bit (or other) bitmap of width x height, dataWidth columns held, its
// rows bottom row first, each pixel blue, green, red, fourth byte.
Bytes HandBitmap(int32_t width, int32_t height, int bits = 32, int dataWidth = -1) {
    const Bytes rows = BgraRows(dataWidth < 0 ? width : dataWidth, height, HandColour);
    return Bytes{'B', 'M'} + Le(4, static_cast<int64_t>(54 + rows.size())) + Le(4, 0) + Le(4, 54) + Le(4, 40) +
           Le(4, width) + Le(4, height) + Le(2, 1) + Le(2, bits) + Bytes(24, 0) + rows;
}
// The strip that bitmap holds: count images of pace x pace side by side.
StripImages HandStrip(int pace, int count) {
    StripImages s{pace, count, {}};
    for (int k = 0; k < count; ++k)
        for (auto p : Square(pace, [&](int x, int y) { return HandColour(k * pace + x, y); })) s.Pixels.push_back(p);
    return s;
}

StripImages Sentinel() { return {16, 1, std::vector<uint32_t>(256, 0x01020304u)}; }
auto Whole(const StripImages& s) { return std::tie(s.Pace, s.Count, s.Pixels); }

// A memory file that can hide its size, or deliver half of every read of the
// pixel rows although the size says they are there (a file shrinking meanwhile).
class OddStream : public MemoryStream {
public:
    using MemoryStream::MemoryStream;
    long long ReadAt(uint64_t offset, void* buffer, size_t count) override {
        return MemoryStream::ReadAt(offset, buffer, halfPixelReads && offset >= 54 + 64 ? count / 2 : count);
    }
    long long Size() override { return noSize ? -1 : MemoryStream::Size(); }
    bool halfPixelReads = false, noSize = false;
};

// Written strips are their bitmaps, the fourth byte kept; the reader gives
// back the images of any it takes.
TEST(StripBitmap, WrittenStripsAreTheirBitmapsAndReadableFilesGiveTheirWholeImages) {
    for (const auto& [pace, count] : {std::pair{16, 3}, std::pair{32, 2}}) {
        MemoryStream out;
        ASSERT_EQ(WriteStripBitmap(out, HandStrip(pace, count)), FileOk);
        EXPECT_EQ(out.data, HandBitmap(pace * count, pace)) << pace;
    }
    const Bytes plain = HandBitmap(16, 16);
    const struct { const char* name; Bytes bytes; int pace, count; } cases[] = {
        {"100 wide, 32 high: three images, the rest dropped", HandBitmap(100, 32), 32, 3},
        {"fields the reader does not test",   // type, file size, reserved, planes, compression
         Patched(HandBitmap(32, 16), {{0, 1, 'X'}, {2, 4, 7}, {6, 4, 0xDEADBEEF}, {26, 2, 9}, {30, 4, 3}}), 16, 2},
        {"more images than the 4096 of old", HandBitmap(5000 * 16, 16), 16, 5000},
        {"pixel data at its own offset, after a gap",
         Patched(Slice(plain, 0, 54), {{10, 4, 64}}) + Bytes(10, 0xEE) + Slice(plain, 54), 16, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryStream file(c.bytes);
        StripImages in = Sentinel();
        ASSERT_EQ(ReadStripBitmap(file, in), FileOk);
        EXPECT_EQ(Whole(in), Whole(HandStrip(c.pace, c.count)));
    }
}

TEST(StripBitmap, RefusedFilesLeaveTheStrip) {
    enum Stream { kPlain, kFailingReads, kHalfPixelReads, kNoSize };
    struct Case { std::string name; Bytes bytes; int error; Stream stream = kPlain; };
    std::vector<Case> cases = {
        {"24 bits", HandBitmap(48, 16, 24), FileNotSupported},
        {"height 48", HandBitmap(96, 48), FileNotSupported},
        {"height -16", HandBitmap(48, -16), FileNotSupported},
        {"height 0", HandBitmap(48, 0), FileNotSupported},
        {"width 31 below height 32", HandBitmap(31, 32), FileNotSupported},
        {"header claims 3 images, file holds 2", HandBitmap(48, 16, 32, 32), FileReadError},
        {"data offset past the end", Patched(HandBitmap(16, 16), {{10, 4, 0xFFFFFFF0u}}), FileReadError},
        {"one byte missing at the end", Slice(HandBitmap(32, 16), 0, 54 + 32 * 16 * 4 - 1), FileReadError},
        {"failing reads", HandBitmap(16, 16), FileReadError, kFailingReads},
        {"truncated pixel reads", HandBitmap(32, 16), FileReadError, kHalfPixelReads},
        {"unknown size", HandBitmap(16, 16), FileReadError, kNoSize},
    };
    // Widths a file that holds one image cannot hold.
    for (int32_t w : {0, -1, INT32_MIN, 0x7FFFFFFF, 4097 * 16})
        cases.push_back({"width " + std::to_string(w), Patched(HandBitmap(16, 16), {{18, 4, w}}), FileReadError});
    for (size_t keep : {0, 13, 14, 53})
        cases.push_back({"short header, " + std::to_string(keep) + " bytes", Slice(HandBitmap(16, 16), 0, keep),
                         FileReadError});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OddStream file(c.bytes);
        file.failReads = c.stream == kFailingReads;
        file.halfPixelReads = c.stream == kHalfPixelReads;
        file.noSize = c.stream == kNoSize;
        StripImages in = Sentinel();
        EXPECT_EQ(ReadStripBitmap(file, in), c.error);
        EXPECT_EQ(Whole(in), Whole(Sentinel()));
    }
}

TEST(StripBitmap, AFailedShortOrRefusedWriteStopsTheFile) {
    // Three writes: file header, image header, pixel rows; 1 byte is short for each.
    const StripImages strip = HandStrip(32, 2);
    for (long long answer : {-1LL, 0LL, 1LL})
        for (int k = 0; k < 3; ++k) {
            FailingWrites out(k, answer);
            EXPECT_EQ(WriteStripBitmap(out, strip), FileWriteError) << k << " " << answer;
            EXPECT_EQ(out.writes, k + 1) << k << " " << answer;
        }
    // Strips no file can hold write nothing; many images are no such strip.
    for (const StripImages& bad : {StripImages{16, 0, {}}, StripImages{16, -1, Pixels(256)},
                                   StripImages{24, 2, Pixels(2 * 576)}, StripImages{16, 2, Pixels(511)}}) {
        MemoryStream out;
        EXPECT_EQ(WriteStripBitmap(out, bad), FileWriteError) << bad.Count << " of " << bad.Pace;
        EXPECT_TRUE(out.data.empty());
    }
    MemoryStream out;
    EXPECT_EQ(WriteStripBitmap(out, StripImages{16, 5000, Pixels(5000 * 256)}), FileOk);
}

}  // namespace
