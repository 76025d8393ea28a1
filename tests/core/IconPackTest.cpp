// Icons of several pictures as the pack writer makes them: every depth
// reads back as it was stored, by our reader of every entry, and the
// directory holds what Windows expects of it.
#include <gtest/gtest.h>
#include <thread>
#include "document/Document.h"
#include "formats/FileErrors.h"
#include "formats/IconEntries.h"
#include "formats/IconOpening.h"
#include "formats/IconPack.h"
#include "formats/PngImage.h"
#include "tests/core/TestBytes.h"

namespace {

// A transparent pixel's colour is kept only at 32 bits.
Pixels AsStored(Pixels p, int bits) {
    for (uint32_t& c : p)
        if (bits < 32 && c >> 24 == 0) c = 0;
    return p;
}

TEST(IconPack, EveryDepthReadsBackAsStoredUnderTheDirectoryWindowsExpects) {
    // Rows padded: 40 pixels of 1 bit or of mask take 5 bytes of a row's 8.
    const Pixels blackAndWhite = Square(40, [](int x, int y) { return x < 3 ? 0u : (x + y) % 3 ? 0xFFFFFFFFu : 0xFF000000u; });
    // 15 colours and black for the transparent row.
    const Pixels sixteen = Square(24, [](int x, int y) { return y == 0 ? 0x00123456u : 0xFF000000u | MakeColour(x % 5 * 60, y % 3 * 60, 9); });
    const Pixels many = Square(20, [](int x, int y) { return (x + y) % 5 ? 0xFF000000u | MakeColour(x * 12, y * 12, 7) : 0u; });
    const Pixels alpha = Square(48, [](int x, int y) { return static_cast<uint32_t>(x * 5) << 24 | MakeColour(y, 200, 3); });
    const Pixels large = Square(256, [](int x, int y) { return (x ^ y) & 16 ? 0xFF0000FFu : 0x40FF0000u; });
    const struct { const Pixels* Picture; int Size, Exact, Bits; bool Png; } stored[] = {
        {&many, 20, 24, 24, false}, {&sixteen, 24, 4, 4, false}, {&sixteen, 24, 4, 8, false},
        {&blackAndWhite, 40, 1, 1, false}, {&alpha, 48, 32, 32, false}, {&large, 256, 32, 32, true},
    };
    std::vector<StoredEntry> entries;
    for (const auto& s : stored) {
        EXPECT_EQ(ExactDepth(*s.Picture), s.Exact) << s.Size;
        entries.emplace_back();
        ASSERT_TRUE(StoreEntry(s.Size, s.Size, *s.Picture, s.Bits, s.Png, entries.back())) << s.Size;
        entries.back().HotX = static_cast<uint16_t>(s.Size / 2);
        entries.back().HotY = 3;
    }
    EXPECT_FALSE(StoreEntry(20, 20, many, 8, false, entries[0])) << "more colours than 8 bits hold";
    EXPECT_FALSE(StoreEntry(24, 24, sixteen, 1, false, entries[0])) << "colours 1 bit does not hold";
    for (bool cursor : {false, true}) {
        MemoryStream file;
        ASSERT_EQ(WriteIconFile(file, cursor, entries), FileOk);
        const Bytes& b = file.data;
        // Width and height 0 for 256; colour count; planes 1 and the depth, or the hot spot.
        EXPECT_EQ(Slice(b, 6 + 16 * 5, 8), (cursor ? Bytes{0, 0, 0, 0, 128, 0, 3, 0} : Bytes{0, 0, 0, 0, 1, 0, 32, 0}));
        EXPECT_EQ(Slice(b, 6 + 16 * 1, 3), (Bytes{24, 24, 16})) << "a 4-bit entry counts 16 colours";
        EXPECT_EQ(Slice(b, 6 + 16 * 3, 3), (Bytes{40, 40, 2}));
        MemoryStream in(b);
        IconEntries read;
        ASSERT_EQ(ReadIconEntries(in, read), FileOk);
        ASSERT_EQ(read.Pictures.size(), std::size(stored));
        EXPECT_EQ(read.IsCursor, cursor);
        for (size_t k = 0; k < read.Pictures.size(); ++k) {
            const IconEntry& e = read.Pictures[k];
            SCOPED_TRACE(k);
            EXPECT_EQ(std::make_tuple(e.Width, e.Bits, e.Png), std::make_tuple(stored[k].Size, stored[k].Bits, stored[k].Png));
            EXPECT_EQ(e.Pixels, AsStored(*stored[k].Picture, stored[k].Bits));
            if (cursor) EXPECT_EQ(std::make_pair(e.HotX, e.HotY), std::make_pair(uint16_t(stored[k].Size / 2), uint16_t(3)));
        }
    }
}

// A picture made smaller keeps its colours where it is flat, and its
// transparent part transparent: the average runs over premultiplied colour.
TEST(IconPack, ScalingDownAveragesOverPremultipliedColour) {
    const Pixels halves = Square(64, [](int x, int) { return x < 32 ? 0xFF2040C0u : 0x00FFFFFFu; });
    const Pixels small = ScaleDownPicture(64, 64, halves, 16);
    ASSERT_EQ(small.size(), 256u);
    EXPECT_EQ(small[16 * 8 + 2], 0xFF2040C0u);
    EXPECT_EQ(small[16 * 8 + 13] >> 24, 0u);
    for (int c = 0; c < 24; c += 8)   // no white bled in at the edge
        EXPECT_NEAR(static_cast<int>(small[16 * 8 + 7] >> c & 0xFF), static_cast<int>(0x2040C0u >> c & 0xFF), 1) << c;
    EXPECT_TRUE(ScaleDownPicture(16, 16, halves, 32).empty());
}

// Pictures of every size written on several threads at once come out as
// written on one.
TEST(PngWriter, SeveralThreadsAtOnceWriteWhatOneWrites) {
    std::vector<Pixels> pictures;
    std::vector<Bytes> alone;
    for (int size = 1; size <= 64; size += 9) {
        pictures.push_back(Square(size, [size](int x, int y) { return static_cast<uint32_t>(x * 7 + y * size) * 2654435761u; }));
        alone.push_back(EncodePngWithAlpha(size, size, pictures.back().data()));
    }
    std::vector<int> wrong(4, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (size_t k = 0; k < 50 * pictures.size(); ++k) {   // 50 rounds, each thread from another size
                const int j = static_cast<int>((k + t) % pictures.size()), size = 1 + 9 * j;
                wrong[t] += EncodePngWithAlpha(size, size, pictures[j].data()) != alone[j];
            }
        });
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(wrong, std::vector<int>(4, 0));
}

// The data decides: a first entry holding a PNG goes to the best picture,
// whatever depth its directory gives; a PNG file is a PNG.
TEST(IconOpening, APngEntryOrFileIsTakenByItsData) {
    const Bytes grey = EncodePng(32, Pixels(1024, MakeColour(128, 128, 128)).data());
    uint32_t px[ImagePixels] = {};
    MemoryStream in(IconFile({{32, grey, 1, 8}}));
    EXPECT_EQ(OpenIconFile(in, px).Route, IconAsBest);
    MemoryStream png(grey);
    EXPECT_EQ(OpenIconFile(png, px).Route, IconAsPng);
}

}  // namespace
