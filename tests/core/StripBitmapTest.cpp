// The toolbar strip file: writer, reader, and the files it must refuse.
#include <gtest/gtest.h>
#include <cstring>
#include <vector>
#include "document/Document.h"
#include "formats/FileErrors.h"
#include "formats/StripBitmap.h"

namespace {

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
    return static_cast<uint32_t>(b[at]) | (static_cast<uint32_t>(b[at + 1]) << 8) |
           (static_cast<uint32_t>(b[at + 2]) << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}
uint32_t Le16(const std::vector<uint8_t>& b, size_t at) {
    return static_cast<uint32_t>(b[at]) | (static_cast<uint32_t>(b[at + 1]) << 8);
}
void Set32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}
void Set16(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 2; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// Pixel (x, y) of image k: a colour that names all three, byte 3 from k.
uint32_t Named(int k, int x, int y) {
    return MakeColour(static_cast<unsigned>(x * 7 + 1), static_cast<unsigned>(y * 5 + 2),
                      static_cast<unsigned>(k * 11 + 3)) | (static_cast<uint32_t>(k & 3) << 24);
}

StripImages MakeStrip(int pace, int count) {
    StripImages s;
    s.Pace = pace;
    s.Count = count;
    s.Pixels.resize(static_cast<size_t>(count) * pace * pace);
    for (int k = 0; k < count; ++k)
        for (int y = 0; y < pace; ++y)
            for (int x = 0; x < pace; ++x)
                s.Pixels[static_cast<size_t>(k) * pace * pace + y * pace + x] = Named(k, x, y);
    return s;
}

// A 32-bit bitmap file built by hand: width x height, bottom-up, each
// pixel's bytes B, G, R, A from the function of its image column x and
// top-down row y.
std::vector<uint8_t> HandBitmap(int32_t width, int32_t height, int bits = 32, int dataWidth = -1) {
    if (dataWidth < 0) dataWidth = width;
    const int rowsHeld = height > 0 ? height : 0;
    std::vector<uint8_t> b(54 + static_cast<size_t>(dataWidth) * rowsHeld * 4, 0);
    b[0] = 'B';
    b[1] = 'M';
    Set32(b, 2, static_cast<uint32_t>(b.size()));
    Set32(b, 10, 54);
    Set32(b, 14, 40);
    Set32(b, 18, static_cast<uint32_t>(width));
    Set32(b, 22, static_cast<uint32_t>(height));
    Set16(b, 26, 1);
    Set16(b, 28, static_cast<uint32_t>(bits));
    for (int r = 0; r < rowsHeld; ++r)
        for (int c = 0; c < dataWidth; ++c) {
            const size_t at = 54 + (static_cast<size_t>(r) * dataWidth + c) * 4;
            const int y = height - 1 - r;
            b[at + 0] = static_cast<uint8_t>(c);          // blue: the column
            b[at + 1] = static_cast<uint8_t>(y);          // green: the row
            b[at + 2] = static_cast<uint8_t>(c >> 8);     // red
            b[at + 3] = static_cast<uint8_t>(0xA0 + (c & 1));
        }
    return b;
}

StripImages Sentinel() {
    StripImages s;
    s.Pace = 16;
    s.Count = 1;
    s.Pixels.assign(256, 0x01020304u);
    return s;
}

void ExpectSentinel(const StripImages& s) {
    EXPECT_EQ(s.Pace, 16);
    EXPECT_EQ(s.Count, 1);
    ASSERT_EQ(s.Pixels.size(), 256u);
    for (uint32_t p : s.Pixels) ASSERT_EQ(p, 0x01020304u);
}

int ReadBytes(const std::vector<uint8_t>& bytes, StripImages& strip) {
    MemoryStream file(bytes);
    return ReadStripBitmap(file, strip);
}

TEST(StripBitmap, ThreeImagesOf16WriteTheTabledHeaders) {
    const StripImages strip = MakeStrip(16, 3);
    MemoryStream out;
    ASSERT_EQ(WriteStripBitmap(out, strip), FileOk);
    const auto& b = out.data;
    ASSERT_EQ(b.size(), 3126u);
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(Le32(b, 2), 3126u);
    EXPECT_EQ(Le32(b, 6), 0u);
    EXPECT_EQ(Le32(b, 10), 54u);
    EXPECT_EQ(Le32(b, 14), 40u);
    EXPECT_EQ(Le32(b, 18), 48u);
    EXPECT_EQ(Le32(b, 22), 16u);
    EXPECT_EQ(Le16(b, 26), 1u);
    EXPECT_EQ(Le16(b, 28), 32u);
    for (size_t at = 30; at < 54; at += 4) EXPECT_EQ(Le32(b, at), 0u) << at;
}

TEST(StripBitmap, FirstRowIsTheBottomRowsLeftToRight) {
    const StripImages strip = MakeStrip(16, 3);
    MemoryStream out;
    ASSERT_EQ(WriteStripBitmap(out, strip), FileOk);
    const auto& b = out.data;
    for (int k = 0; k < 3; ++k)
        for (int x = 0; x < 16; ++x) {
            const uint32_t p = Named(k, x, 15);
            const size_t at = 54 + (static_cast<size_t>(k) * 16 + x) * 4;
            EXPECT_EQ(b[at + 0], BlueOf(p));
            EXPECT_EQ(b[at + 1], GreenOf(p));
            EXPECT_EQ(b[at + 2], RedOf(p));
            EXPECT_EQ(b[at + 3], p >> 24);
        }
    // The last file row is the top row of every image.
    const size_t last = 54 + 15 * 48 * 4;
    for (int k = 0; k < 3; ++k) {
        const uint32_t p = Named(k, 0, 0);
        EXPECT_EQ(b[last + k * 64 + 2], RedOf(p));
        EXPECT_EQ(b[last + k * 64 + 1], GreenOf(p));
    }
}

TEST(StripBitmap, BlankImageIsStoredAsMaskBytesAndReadsBack) {
    StripImages strip;
    strip.Pace = 32;
    strip.Count = 1;
    strip.Pixels.assign(1024, MaskColor);
    MemoryStream out;
    ASSERT_EQ(WriteStripBitmap(out, strip), FileOk);
    ASSERT_EQ(out.data.size(), 54u + 4096u);
    for (size_t at = 54; at < out.data.size(); at += 4) {
        ASSERT_EQ(out.data[at + 0], 0x6F);
        ASSERT_EQ(out.data[at + 1], 0x6F);
        ASSERT_EQ(out.data[at + 2], 0x5F);
        ASSERT_EQ(out.data[at + 3], 0x00);
    }
    StripImages in = Sentinel();
    ASSERT_EQ(ReadBytes(out.data, in), FileOk);
    EXPECT_EQ(in.Pace, 32);
    EXPECT_EQ(in.Count, 1);
    ASSERT_EQ(in.Pixels.size(), 1024u);
    for (uint32_t p : in.Pixels) {
        ASSERT_EQ(p, MaskColor);
        ASSERT_TRUE(IsMaskPixel(p));
    }
}

TEST(StripBitmap, HundredWide32HighGivesThreeImagesAndDropsTheRest) {
    const auto bytes = HandBitmap(100, 32);
    StripImages in = Sentinel();
    ASSERT_EQ(ReadBytes(bytes, in), FileOk);
    EXPECT_EQ(in.Pace, 32);
    EXPECT_EQ(in.Count, 3);
    ASSERT_EQ(in.Pixels.size(), 3u * 1024u);
    for (int k = 0; k < 3; ++k)
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const int c = k * 32 + x;
                const uint32_t want = MakeColour(static_cast<unsigned>(c >> 8), static_cast<unsigned>(y),
                                                 static_cast<unsigned>(c)) |
                                      (static_cast<uint32_t>(0xA0 + (c & 1)) << 24);
                ASSERT_EQ(in.Pixels[static_cast<size_t>(k) * 1024 + y * 32 + x], want) << k << " " << x << " " << y;
            }
}

TEST(StripBitmap, FourthByteIsKeptBothWays) {
    StripImages strip = MakeStrip(16, 2);
    strip.Pixels[5] = 0xFF123456u;
    MemoryStream out;
    ASSERT_EQ(WriteStripBitmap(out, strip), FileOk);
    StripImages in;
    ASSERT_EQ(ReadBytes(out.data, in), FileOk);
    EXPECT_EQ(in.Pixels, strip.Pixels);
}

TEST(StripBitmap, TwentyFourBitsAndHeight48AreNotSupported) {
    for (const auto& bytes : {HandBitmap(48, 16, 24), HandBitmap(96, 48), HandBitmap(48, -16),
                              HandBitmap(48, 0), HandBitmap(64, 32, 16)}) {
        StripImages in = Sentinel();
        EXPECT_EQ(ReadBytes(bytes, in), FileNotSupported);
        ExpectSentinel(in);
    }
}

TEST(StripBitmap, WidthBelowHeightIsNotSupported) {
    StripImages in = Sentinel();
    EXPECT_EQ(ReadBytes(HandBitmap(15, 16), in), FileNotSupported);
    ExpectSentinel(in);
    EXPECT_EQ(ReadBytes(HandBitmap(31, 32), in), FileNotSupported);
    ExpectSentinel(in);
}

TEST(StripBitmap, WidthsTheFileCannotHoldAreReadErrors) {
    const int32_t widths[] = {0, -1, -16, INT32_MIN, 0x7FFFFFFF, 4097 * 16};
    for (int32_t w : widths) {
        auto bytes = HandBitmap(16, 16);          // holds one image only
        Set32(bytes, 18, static_cast<uint32_t>(w));
        StripImages in = Sentinel();
        EXPECT_EQ(ReadBytes(bytes, in), FileReadError) << w;
        ExpectSentinel(in);
    }
}

TEST(StripBitmap, MoreThanMaxImagesIsAReadErrorEvenWhenHeld) {
    const auto bytes = HandBitmap((MaxStripImages + 1) * 16, 16);
    StripImages in = Sentinel();
    EXPECT_EQ(ReadBytes(bytes, in), FileReadError);
    ExpectSentinel(in);
    const auto most = HandBitmap(MaxStripImages * 16, 16);
    ASSERT_EQ(ReadBytes(most, in), FileOk);
    EXPECT_EQ(in.Count, MaxStripImages);
}

TEST(StripBitmap, DataBeyondTheEndIsAReadError) {
    // The header claims 3 images, the file holds 2.
    auto bytes = HandBitmap(48, 16, 32, 32);
    StripImages in = Sentinel();
    EXPECT_EQ(ReadBytes(bytes, in), FileReadError);
    ExpectSentinel(in);
    // The data offset points past the end.
    bytes = HandBitmap(16, 16);
    Set32(bytes, 10, 0xFFFFFFF0u);
    EXPECT_EQ(ReadBytes(bytes, in), FileReadError);
    ExpectSentinel(in);
    // One byte missing at the end.
    bytes = HandBitmap(32, 16);
    bytes.pop_back();
    EXPECT_EQ(ReadBytes(bytes, in), FileReadError);
    ExpectSentinel(in);
}

TEST(StripBitmap, ShortAndFailedHeaderReadsAreReadErrors) {
    const auto full = HandBitmap(16, 16);
    for (size_t keep : {size_t{0}, size_t{1}, size_t{13}, size_t{14}, size_t{20}, size_t{53}, size_t{54}, size_t{100}}) {
        std::vector<uint8_t> bytes(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(keep));
        StripImages in = Sentinel();
        EXPECT_EQ(ReadBytes(bytes, in), FileReadError) << keep;
        ExpectSentinel(in);
    }
    MemoryStream failing(full);
    failing.failReads = true;
    StripImages in = Sentinel();
    EXPECT_EQ(ReadStripBitmap(failing, in), FileReadError);
    ExpectSentinel(in);
}

// A stream whose reads of the pixel rows come back short although the size
// says they are there, as a file shrinking under the reader would.
class ShortPixelReads : public MemoryStream {
public:
    using MemoryStream::MemoryStream;
    long long ReadAt(uint64_t offset, void* buffer, size_t count) override {
        if (offset >= 54 + 64) return MemoryStream::ReadAt(offset, buffer, count / 2);
        return MemoryStream::ReadAt(offset, buffer, count);
    }
};

TEST(StripBitmap, TruncatedPixelReadIsAReadError) {
    ShortPixelReads file(HandBitmap(32, 16));
    StripImages in = Sentinel();
    EXPECT_EQ(ReadStripBitmap(file, in), FileReadError);
    ExpectSentinel(in);
}

TEST(StripBitmap, UnknownSizeIsAReadError) {
    class NoSize : public MemoryStream {
    public:
        using MemoryStream::MemoryStream;
        long long Size() override { return -1; }
    } file(HandBitmap(16, 16));
    StripImages in = Sentinel();
    EXPECT_EQ(ReadStripBitmap(file, in), FileReadError);
    ExpectSentinel(in);
}

TEST(StripBitmap, UntestedFieldsAreIgnored) {
    auto bytes = HandBitmap(32, 16);
    bytes[0] = 'X';
    Set32(bytes, 2, 7);              // file size
    Set32(bytes, 6, 0xDEADBEEF);     // reserved
    Set16(bytes, 26, 9);             // planes
    Set32(bytes, 30, 3);             // compression
    StripImages in = Sentinel();
    ASSERT_EQ(ReadBytes(bytes, in), FileOk);
    EXPECT_EQ(in.Count, 2);
}

TEST(StripBitmap, PixelDataAtItsOwnOffset) {
    auto plain = HandBitmap(16, 16);
    std::vector<uint8_t> moved(plain.begin(), plain.begin() + 54);
    moved.resize(54 + 10, 0xEE);
    moved.insert(moved.end(), plain.begin() + 54, plain.end());
    Set32(moved, 10, 64);
    StripImages a, b;
    ASSERT_EQ(ReadBytes(plain, a), FileOk);
    ASSERT_EQ(ReadBytes(moved, b), FileOk);
    EXPECT_EQ(a.Pixels, b.Pixels);
}

TEST(StripBitmap, HundredImagesOf32RoundTrip) {
    const StripImages strip = MakeStrip(32, 100);
    MemoryStream out;
    ASSERT_EQ(WriteStripBitmap(out, strip), FileOk);
    EXPECT_EQ(out.data.size(), 54u + 100u * 4096u);
    EXPECT_EQ(Le32(out.data, 18), 3200u);
    EXPECT_EQ(Le32(out.data, 22), 32u);
    StripImages in = Sentinel();
    ASSERT_EQ(ReadBytes(out.data, in), FileOk);
    EXPECT_EQ(in.Pace, 32);
    EXPECT_EQ(in.Count, 100);
    EXPECT_EQ(in.Pixels, strip.Pixels);
}

TEST(StripBitmap, WriteFailsAtEachPieceAndStops) {
    const StripImages strip = MakeStrip(16, 3);
    // The limit lets through: nothing, the file header, both headers, part of the pixels.
    const long long limits[] = {0, 10, 14, 30, 54, 1000, 3125};
    for (long long limit : limits) {
        MemoryStream out;
        out.writeLimit = limit;
        EXPECT_EQ(WriteStripBitmap(out, strip), FileWriteError) << limit;
        EXPECT_LE(static_cast<long long>(out.data.size()), limit);
    }
    MemoryStream exact;
    exact.writeLimit = 3126;
    EXPECT_EQ(WriteStripBitmap(exact, strip), FileOk);
}

// A stream whose nth write returns a chosen result, to see that -1 and 0
// both stop the writer and nothing follows.
class ScriptedWrites : public ByteStream {
public:
    int failAt = 0;
    long long failWith = -1;
    int writes = 0;
    long long ReadAt(uint64_t, void*, size_t) override { return -1; }
    long long Write(const void*, size_t count) override {
        ++writes;
        return writes == failAt ? failWith : static_cast<long long>(count);
    }
    long long Size() override { return -1; }
};

TEST(StripBitmap, EachOfTheThreeWritesIsTested) {
    const StripImages strip = MakeStrip(32, 2);
    for (int at = 1; at <= 3; ++at)
        for (long long result : {-1LL, 0LL}) {
            ScriptedWrites out;
            out.failAt = at;
            out.failWith = result;
            EXPECT_EQ(WriteStripBitmap(out, strip), FileWriteError) << at << " " << result;
            EXPECT_EQ(out.writes, at);
        }
    ScriptedWrites ok;
    EXPECT_EQ(WriteStripBitmap(ok, strip), FileOk);
    EXPECT_EQ(ok.writes, 3);
}

TEST(StripBitmap, StripsThatCannotBeWrittenWriteNothing) {
    std::vector<StripImages> bad;
    StripImages s = MakeStrip(16, 1);
    s.Count = 0;
    s.Pixels.clear();
    bad.push_back(s);
    s = MakeStrip(16, 1);
    s.Count = -1;
    bad.push_back(s);
    s = MakeStrip(16, 2);
    s.Pace = 24;
    bad.push_back(s);
    s = MakeStrip(16, 2);
    s.Pixels.pop_back();
    bad.push_back(s);
    s = MakeStrip(16, 1);
    s.Count = MaxStripImages + 1;
    s.Pixels.resize(static_cast<size_t>(s.Count) * 256);
    bad.push_back(s);
    for (const auto& strip : bad) {
        MemoryStream out;
        EXPECT_EQ(WriteStripBitmap(out, strip), FileWriteError);
        EXPECT_TRUE(out.data.empty());
    }
    const StripImages most = MakeStrip(16, MaxStripImages);
    MemoryStream out;
    EXPECT_EQ(WriteStripBitmap(out, most), FileOk);
}

}  // namespace
