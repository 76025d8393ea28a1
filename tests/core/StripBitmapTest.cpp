// The toolbar strip file: writer, reader, and the files it must refuse.
#include <gtest/gtest.h>
#include <climits>
#include <string>
#include <vector>
#include "document/Document.h"
#include "formats/FileErrors.h"
#include "formats/StripBitmap.h"

namespace {

using Bytes = std::vector<uint8_t>;

// ---- Helpers ---------------------------------------------------------------

void Put(Bytes& b, size_t at, int width, int64_t v) {   // little-endian
    for (int i = 0; i < width; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}
Bytes Patched(Bytes b, size_t at, int width, int64_t v) {
    Put(b, at, width, v);
    return b;
}
Bytes Le(int width, int64_t v) { return Patched(Bytes(static_cast<size_t>(width)), 0, width, v); }
Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
Bytes Cut(const Bytes& b, size_t keep) { return Bytes(b.begin(), b.begin() + static_cast<long>(keep)); }

// Pixel (x, y) of image k: a colour that names all three, byte 3 from k.
uint32_t Named(int k, int x, int y) {
    return MakeColour(static_cast<unsigned>(x * 7 + 1), static_cast<unsigned>(y * 5 + 2),
                      static_cast<unsigned>(k * 11 + 3)) | (static_cast<uint32_t>(k & 3) << 24);
}

// count images of pace x pace, pixel (x, y) of image k being colour(k, x, y).
template <class F> StripImages StripOf(int pace, int count, F colour) {
    StripImages s{pace, count, {}};
    for (int i = 0; i < count * pace * pace; ++i)
        s.Pixels.push_back(colour(i / (pace * pace), i % pace, i / pace % pace));
    return s;
}
StripImages MakeStrip(int pace, int count) { return StripOf(pace, count, Named); }

// The file header and image header of a 32-bit (or other) bitmap.
Bytes Header(int64_t fileSize, int64_t width, int64_t height, int bits = 32) {
    return Bytes{'B', 'M'} + Le(4, fileSize) + Le(4, 0) + Le(4, 54) + Le(4, 40) + Le(4, width) + Le(4, height) +
           Le(2, 1) + Le(2, bits) + Bytes(24, 0);
}

// Pixel rows as a bitmap holds them: bottom row first, each pixel blue,
// green, red, fourth byte.
template <class F> Bytes Rows(int width, int height, F colourAt) {
    Bytes b;
    b.reserve(4 * static_cast<size_t>(width) * height);
    for (int y = height - 1; y >= 0; --y)
        for (int x = 0; x < width; ++x) {
            const uint32_t p = colourAt(x, y);
            b.insert(b.end(), {static_cast<uint8_t>(BlueOf(p)), static_cast<uint8_t>(GreenOf(p)),
                               static_cast<uint8_t>(RedOf(p)), static_cast<uint8_t>(p >> 24)});
        }
    return b;
}
Bytes Rows(const StripImages& s) {
    return Rows(s.Count * s.Pace, s.Pace, [&s](int x, int y) {
        return s.Pixels[(static_cast<size_t>(x / s.Pace) * s.Pace + y) * s.Pace + x % s.Pace];
    });
}

// A bitmap built by hand: width x height, dataWidth columns held, pixel
// (x, y) blue the column, green the row.
uint32_t HandColour(int x, int y) {
    return MakeColour(static_cast<unsigned>(x >> 8), static_cast<unsigned>(y), static_cast<unsigned>(x)) |
           (static_cast<uint32_t>(0xA0 + (x & 1)) << 24);
}
Bytes HandBitmap(int32_t width, int32_t height, int bits = 32, int dataWidth = -1) {
    const Bytes rows = Rows(dataWidth < 0 ? width : dataWidth, height > 0 ? height : 0, HandColour);
    return Header(static_cast<int64_t>(54 + rows.size()), width, height, bits) + rows;
}
// The strip a hand-made bitmap reads as.
StripImages HandStrip(int pace, int count) {
    return StripOf(pace, count, [pace](int k, int x, int y) { return HandColour(k * pace + x, y); });
}

StripImages Sentinel() { return {16, 1, std::vector<uint32_t>(256, 0x01020304u)}; }

void ExpectStrip(const StripImages& got, const StripImages& want) {
    EXPECT_EQ(got.Pace, want.Pace);
    EXPECT_EQ(got.Count, want.Count);
    EXPECT_EQ(got.Pixels, want.Pixels);
}

// A memory file that can also hide its size, or deliver half of every read
// of the pixel rows although the size says they are there, as a file
// shrinking under the reader would.
class OddStream : public MemoryStream {
public:
    using MemoryStream::MemoryStream;
    long long ReadAt(uint64_t offset, void* buffer, size_t count) override {
        return MemoryStream::ReadAt(offset, buffer, halfPixelReads && offset >= 54 + 64 ? count / 2 : count);
    }
    long long Size() override { return noSize ? -1 : MemoryStream::Size(); }
    bool halfPixelReads = false, noSize = false;
};

int ReadBytes(const Bytes& bytes, StripImages& strip) {
    MemoryStream file(bytes);
    return ReadStripBitmap(file, strip);
}
Bytes Written(const StripImages& strip) {
    MemoryStream out;
    EXPECT_EQ(WriteStripBitmap(out, strip), FileOk);
    return out.data;
}

// ---- Writing and reading back ----------------------------------------------

TEST(StripBitmap, WrittenStripsHoldTheHeadersAndRowsAndReadBack) {
    StripImages two = MakeStrip(16, 2);
    two.Pixels[5] = 0xFF123456u;   // the fourth byte is kept both ways
    const StripImages blank{32, 1, std::vector<uint32_t>(1024, MaskColor)};
    for (const StripImages& strip : {MakeStrip(16, 3), two, MakeStrip(32, 100), blank}) {
        SCOPED_TRACE(std::to_string(strip.Count) + " of " + std::to_string(strip.Pace));
        const Bytes b = Written(strip);
        const size_t size = 54 + static_cast<size_t>(strip.Count) * strip.Pace * strip.Pace * 4;
        ASSERT_EQ(b.size(), size);
        EXPECT_EQ(Cut(b, 54), Header(static_cast<int64_t>(size), strip.Count * strip.Pace, strip.Pace));
        EXPECT_EQ(Bytes(b.begin() + 54, b.end()), Rows(strip));
        StripImages in = Sentinel();
        ASSERT_EQ(ReadBytes(b, in), FileOk);
        ExpectStrip(in, strip);
        if (strip.Pixels != blank.Pixels) continue;
        // A blank image is stored as the mask colour's bytes and reads back transparent.
        for (size_t at = 54; at < b.size(); at += 4)
            ASSERT_EQ(Bytes(b.begin() + at, b.begin() + at + 4), (Bytes{0x6F, 0x6F, 0x5F, 0})) << at;
        for (uint32_t p : in.Pixels) ASSERT_TRUE(IsMaskPixel(p));
    }
}

TEST(StripBitmap, ReadableFilesGiveTheirWholeImages) {
    Bytes untested = HandBitmap(32, 16);
    untested[0] = 'X';
    Put(untested, 2, 4, 7);             // file size
    Put(untested, 6, 4, 0xDEADBEEF);    // reserved
    Put(untested, 26, 2, 9);            // planes
    Put(untested, 30, 4, 3);            // compression
    const Bytes plain = HandBitmap(16, 16);
    const struct { const char* name; Bytes bytes; int pace, count; } cases[] = {
        {"100 wide, 32 high: three images, the rest dropped", HandBitmap(100, 32), 32, 3},
        {"fields the reader does not test", untested, 16, 2},
        {"the most images", HandBitmap(MaxStripImages * 16, 16), 16, MaxStripImages},
        {"pixel data right after the headers", plain, 16, 1},
        {"pixel data at its own offset, after a gap",
         Patched(Cut(plain, 54), 10, 4, 64) + Bytes(10, 0xEE) + Bytes(plain.begin() + 54, plain.end()), 16, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StripImages in = Sentinel();
        ASSERT_EQ(ReadBytes(c.bytes, in), FileOk);
        ExpectStrip(in, HandStrip(c.pace, c.count));
    }
}

// ---- Files the reader refuses, leaving the strip as it was -----------------

TEST(StripBitmap, RefusedFilesLeaveTheStrip) {
    enum Stream { kPlain, kFailingReads, kHalfPixelReads, kNoSize };
    struct Case { std::string name; Bytes bytes; int error; Stream stream = kPlain; };
    std::vector<Case> cases = {
        {"24 bits", HandBitmap(48, 16, 24), FileNotSupported},
        {"height 48", HandBitmap(96, 48), FileNotSupported},
        {"height -16", HandBitmap(48, -16), FileNotSupported},
        {"height 0", HandBitmap(48, 0), FileNotSupported},
        {"16 bits", HandBitmap(64, 32, 16), FileNotSupported},
        {"width 15 below height 16", HandBitmap(15, 16), FileNotSupported},
        {"width 31 below height 32", HandBitmap(31, 32), FileNotSupported},
        {"more than the most images, though held", HandBitmap((MaxStripImages + 1) * 16, 16), FileReadError},
        {"header claims 3 images, file holds 2", HandBitmap(48, 16, 32, 32), FileReadError},
        {"data offset past the end", Patched(HandBitmap(16, 16), 10, 4, 0xFFFFFFF0u), FileReadError},
        {"one byte missing at the end", Cut(HandBitmap(32, 16), 54 + 32 * 16 * 4 - 1), FileReadError},
        {"failing reads", HandBitmap(16, 16), FileReadError, kFailingReads},
        {"truncated pixel reads", HandBitmap(32, 16), FileReadError, kHalfPixelReads},
        {"unknown size", HandBitmap(16, 16), FileReadError, kNoSize},
    };
    // Widths a file that holds one image cannot hold.
    for (int32_t w : {0, -1, -16, INT32_MIN, 0x7FFFFFFF, 4097 * 16})
        cases.push_back({"width " + std::to_string(w), Patched(HandBitmap(16, 16), 18, 4, w), FileReadError});
    for (size_t keep : {0, 1, 13, 14, 20, 53, 54, 100})
        cases.push_back({"short header, " + std::to_string(keep) + " bytes", Cut(HandBitmap(16, 16), keep),
                         FileReadError});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OddStream file(c.bytes);
        file.failReads = c.stream == kFailingReads;
        file.halfPixelReads = c.stream == kHalfPixelReads;
        file.noSize = c.stream == kNoSize;
        StripImages in = Sentinel();
        EXPECT_EQ(ReadStripBitmap(file, in), c.error);
        ExpectStrip(in, Sentinel());
    }
}

// ---- Writes and their failures ---------------------------------------------

// The nth write (from 1) returns failWith, to see that -1 and 0 both stop
// the writer and nothing follows.
class ScriptedWrites : public ByteStream {
public:
    int failAt = 0;
    long long failWith = -1;
    int writes = 0;
    long long ReadAt(uint64_t, void*, size_t) override { return -1; }
    long long Write(const void*, size_t count) override {
        return ++writes == failAt ? failWith : static_cast<long long>(count);
    }
    long long Size() override { return -1; }
};

TEST(StripBitmap, EachOfTheThreeWritesIsTested) {
    const StripImages strip = MakeStrip(32, 2);
    for (int at = 0; at <= 3; ++at)   // 0: no write fails
        for (long long result : {-1LL, 0LL}) {
            ScriptedWrites out;
            out.failAt = at;
            out.failWith = result;
            EXPECT_EQ(WriteStripBitmap(out, strip), at ? FileWriteError : FileOk) << at << " " << result;
            EXPECT_EQ(out.writes, at ? at : 3);
        }
}

TEST(StripBitmap, AFullDiskStopsTheWrite) {
    const StripImages strip = MakeStrip(16, 3);
    // The limit lets through: nothing, the file header, both headers, part
    // of the pixels; then the whole file.
    for (long long limit : {0, 10, 14, 30, 54, 1000, 3125, 3126}) {
        MemoryStream out;
        out.writeLimit = limit;
        EXPECT_EQ(WriteStripBitmap(out, strip), limit == 3126 ? FileOk : FileWriteError) << limit;
        EXPECT_LE(static_cast<long long>(out.data.size()), limit);
    }
}

TEST(StripBitmap, StripsThatCannotBeWrittenWriteNothing) {
    auto with = [](int count, void (*change)(StripImages&)) {
        StripImages s = MakeStrip(16, count);
        change(s);
        return s;
    };
    const StripImages bad[] = {
        with(1, [](StripImages& s) { s.Count = 0; s.Pixels.clear(); }),
        with(1, [](StripImages& s) { s.Count = -1; }),
        with(2, [](StripImages& s) { s.Pace = 24; }),
        with(2, [](StripImages& s) { s.Pixels.pop_back(); }),
        with(1, [](StripImages& s) {
            s.Count = MaxStripImages + 1;
            s.Pixels.resize(static_cast<size_t>(s.Count) * 256);
        }),
    };
    for (const StripImages& strip : bad) {
        MemoryStream out;
        EXPECT_EQ(WriteStripBitmap(out, strip), FileWriteError) << strip.Count << " of " << strip.Pace;
        EXPECT_TRUE(out.data.empty());
    }
    MemoryStream out;
    EXPECT_EQ(WriteStripBitmap(out, MakeStrip(16, MaxStripImages)), FileOk);
}

}  // namespace
