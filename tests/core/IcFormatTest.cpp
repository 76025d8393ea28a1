// The icon and cursor file: what the writer writes, and what the editor's reader
// takes back or refuses.
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <utility>
#include "TestBytes.h"
#include "document/Document.h"
#include "formats/FileErrors.h"
#include "formats/IcFormat.h"

namespace {

// Per format index (its size and depth from the format table): the entry's
// colour count and the image's bytes (the file: 22 more).
struct SizeRow { int colourCount, imageBytes; };
const SizeRow kSizes[FormatCount] = {{2, 176}, {2, 304}, {16, 296}, {16, 744}, {0, 1384}, {0, 2216}, {0, 872}, {0, 3240}};
constexpr uint32_t kWhite = 0x00FFFFFF;

Bytes Write(const Pixels& px, int index, bool cursor = false, uint16_t hotX = 0, uint16_t hotY = 0) {
    MemoryStream out;
    EXPECT_EQ(Format(out, px.data(), index, cursor, hotX, hotY), FileOk);
    return out.data;
}

Pixels Dots(uint32_t fill, std::initializer_list<std::pair<int, uint32_t>> dots) {
    Pixels px(ImagePixels, fill);
    for (const auto& [at, colour] : dots) px[static_cast<size_t>(at)] = colour;
    return px;
}

// An image the depth holds exactly, with mask-colour patches; byte 3 of
// every third pixel is set, which neither reduction nor the file may heed.
Pixels ExactImage(int pace, int bits) {
    Pixels px(ImagePixels, 0xA5C3E1F0);
    for (int y = 0; y < pace; ++y)
        for (int x = 0; x < pace; ++x) {
            const int i = y * pace + x;
            const PaletteEntry& e = IconPalette[(x + 3 * y) % 16];
            uint32_t c = bits == 1 ? ((x + 2 * y) % 3 ? 0 : kWhite)
                         : bits == 4 ? MakeColour(e.Red, e.Green, e.Blue)
                         : bits == 8 && pace == 32 ? MakeColour(x / 2 * 16, y / 4 * 32, 40)   // 128 colours
                         : MakeColour((i * 29) & 0xFF, (i * 7) & 0xFF, 255 - (i & 0xFF));
            if ((x * 7 + y * 3) % 10 == 0 || (x < 3 && y < 3)) c = MaskColor;
            px[i] = c | (i % 3 ? 0 : 0x7E000000u);
        }
    return px;
}
Pixels Exact(int index) { return ExactImage(FormatTable[index].Pace, FormatTable[index].Bits); }

struct ReadCase {
    std::string name;
    Bytes file;
    int outcome;
    std::string fields = "";   // "name=value" words the result must show
    Pixels image = {};         // loaded: the colours of its first pace x pace pixels
    int pace = 0;              // 0: every element untouched
};

void RunReadCases(const std::vector<ReadCase>& cases) {
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryStream in(c.file);
        // Every element, fourth byte included, must stay as it is unless loaded.
        const Pixels before = Gen<uint32_t>(ImagePixels, [](int i) { return 0x5A000000u | (i * 2654435761u & 0xFFFFFF); });
        Pixels px = before;
        const IconReadResult r = FormatOpen(in, px.data());
        EXPECT_EQ(r.Outcome, c.outcome);
        std::ostringstream s;
        s << " index=" << r.FormatIndex << " cursor=" << r.IsCursorFile << " depth=" << r.DepthValue
          << " width=" << r.Width << " colours=" << r.ColourCount << " hotRead=" << r.HotSpotRead
          << " hotX=" << r.HotX << " hotY=" << r.HotY << " images=" << r.ImageCount
          << " warning=" << r.MultiImageWarning << " ";
        std::istringstream words(c.fields);
        for (std::string w; words >> w;)
            EXPECT_NE(s.str().find(" " + w + " "), std::string::npos) << s.str() << "lacks " << w;
        // Loaded: the image's colours, with byte 3 and the elements beyond it untouched.
        for (int i = 0; i < ImagePixels; ++i)
            ASSERT_EQ(px[i], i < c.pace * c.pace ? (before[i] & 0xFF000000) | (c.image[i] & 0xFFFFFF) : before[i]) << i;
    }
}

// The image data moved to offset at, after a gap that starts with lead.
Bytes Moved(const Bytes& plain, uint32_t at, const Bytes& lead) {
    Bytes f = Patched(Slice(plain, 0, 22), {{18, 4, at}}) + lead;
    f.resize(at, 0xEE);
    return f + Slice(plain, 22);
}

TEST(IcEveryFormat, WritesItsHeaderReadsBackAndFailsWhereAReadBringsNothing) {
    std::vector<ReadCase> cases;
    for (int index = 0; index < FormatCount; ++index)
        for (bool cursor : {false, true}) {
            const SizeRow& row = kSizes[index];
            const int pace = FormatTable[index].Pace, bits = FormatTable[index].Bits;
            const std::string name = std::to_string(index) + (cursor ? " cursor" : " icon");
            // Hot spot y as a bit count would choose another depth; a 16x16 8-bit cursor stores 0.
            const bool hot = cursor && !(pace == 16 && bits == 8);
            const int x = pace - 1, y = bits == 8 ? 24 : 8, hotX = hot ? x : 0, hotY = hot ? y : 0;
            const Bytes f = Write(Exact(index), index, cursor, static_cast<uint16_t>(x), static_cast<uint16_t>(y));
            EXPECT_EQ(f.size(), static_cast<size_t>(22 + row.imageBytes)) << name;
            // Directory, entry, image header and, at 1 bit, the table.
            const Bytes info = Le(4, 40) + Le(4, pace) + Le(4, 2 * pace) + Le(2, 1) + Le(2, bits) + Bytes(24, 0) +
                               (bits == 1 ? Bytes{0, 0, 0, 0, 255, 255, 255, 0} : Bytes{});
            const Bytes header = Patched(IconFile({{pace, info, cursor ? hotX : 1, cursor ? hotY : bits}},
                                                  cursor ? 2 : 1), {{8, 1, row.colourCount}, {14, 4, row.imageBytes}});
            EXPECT_EQ(Slice(f, 0, header.size()), header) << name;
            cases.push_back({name, cursor ? Moved(f, 100, {}) : f, IconLoaded,   // cursors read from offset 100
                             "images=1 warning=0 index=" + std::to_string(index) + " cursor=" + std::to_string(cursor) +
                                 " width=" + std::to_string(pace) + " colours=" + std::to_string(row.colourCount) +
                                 " depth=" + std::to_string(bits) + " hotRead=" + std::to_string(cursor) +
                                 " hotX=" + std::to_string(hotX) + " hotY=" + std::to_string(hotY),
                             Exact(index), pace});
            // Cut where the mask rows, the colour data or the image header begin, inside the
            // header, or inside the directory entry (an icon's width alone, a cursor's hot spot).
            for (int length : {22 + row.imageBytes - 4 * pace, 62, 61, 22, 21, cursor ? 16 : 7})
                cases.push_back({name + " cut to " + std::to_string(length), Slice(f, 0, static_cast<size_t>(length)),
                                 IconReadFailed, "hotRead=0 hotX=0 hotY=0 index=-1"});
        }
    RunReadCases(cases);
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

TEST(IcWriter, ChosenImagesGiveTheTabledBytes) {
    struct WriteCase {
        const char* name;
        Pixels px;
        int index;
        std::vector<std::pair<size_t, Bytes>> want;   // the bytes expected at each offset
    };
    // The top image row is the last row of each section.
    const WriteCase cases[] = {
        {"1 bit keeps only pure white",   // colour bits 1, 0, 0, 0; mask bits 0, 0, 1, 0
         Dots(0, {{0, kWhite}, {1, MakeColour(255, 255, 254)}, {2, MaskColor}, {3, MakeColour(254, 255, 255)}}), 0,
         {{130, {0x80, 0, 0, 0}}, {194, {0x20, 0, 0, 0}}}},
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
        {"32x32 8 bits: the mask colour takes entry 1 once but index 0",
         Dots(MakeColour(1, 2, 3), {{0, MaskColor}, {2, MaskColor}}), 5,
         {{66, {0x6F, 0x6F, 0x5F, 0, 3, 2, 1, 0, 0, 0, 0, 0}}, {2078, {0, 2, 0, 2}}}},
        {"16x16 8 bits: entry i is pixel i, the mask colour's entry black",
         Gen<uint32_t>(ImagePixels, [](int i) { return !i ? MaskColor : i < 256 ? MakeColour(i, 200, 255 - i) : 0; }),
         4, {{62, Table([](int e) { return e ? MakeColour(e, 200, 255 - e) : 0u; })}}},
        {"24 bits write the mask (whatever byte 3) as black and colours exactly, one blue step from it too",
         Dots(0, {{0, MaskColor | 0x01000000u}, {1, MakeColour(1, 2, 3)}, {2, MakeColour(95, 111, 112)},
                  {255, MakeColour(0xAA, 0xBB, 0xCC)}}), 6,   // the top row and its mask row, the bottom-right pixel
         {{782, {0, 0, 0, 3, 2, 1, 112, 111, 95}}, {890, {0x80}}, {107, {0xCC, 0xBB, 0xAA}}}},
    };
    for (const WriteCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes f = Write(c.px, c.index);
        for (const auto& [at, bytes] : c.want) EXPECT_EQ(Slice(f, at, bytes.size()), bytes) << "at " << at;
    }
}

TEST(IcWriter, AFailedOrEmptyWriteStopsTheFile) {
    // 16x16 at 4 bits has all seven writes: directory (two), entry, header, table, colours, mask.
    const Pixels px = Exact(2);
    for (long long answer : {-1LL, 0LL})
        for (int k = 0; k < 7; ++k) {
            FailingWrites out(k, answer);
            EXPECT_EQ(Format(out, px.data(), 2, 1, 4, 4), FileWriteError) << k << " " << answer;
            EXPECT_EQ(out.writes, k + 1) << k << " " << answer;
        }
}

TEST(IcReader, TakesWidthDepthAndColourCountByItsRules) {
    const Pixels one16 = ExactImage(16, 1), eight16 = ExactImage(16, 8), deep16 = ExactImage(16, 24);
    const Pixels one32 = ExactImage(32, 1), four32 = ExactImage(32, 4), eight32 = ExactImage(32, 8);
    const Bytes four16 = Write(ExactImage(16, 4), 2), four32File = Write(four32, 3), deep16File = Write(deep16, 6);
    const Bytes cursor8 = Write(eight32, 5, true, 3, 4), deep32 = Write(ExactImage(32, 24), 7, true, 3, 3);
    std::vector<ReadCase> cases = {
        {"depth 25", Patched(deep16File, {{12, 2, 25}}), IconNotSupported, "depth=25"},
        {"a cursor's depth is the image header's", Patched(deep32, {{36, 2, 32}}), IconNotSupported, "depth=32"},
        {"an icon's depth is the entry's", Patched(deep16File, {{36, 2, 1}}), IconLoaded, "index=6", deep16, 16},
        {"no depth and no colour count", Patched(four16, {{8, 1, 0}, {12, 2, 0}}), IconUnknownDepth, "index=-1"},
        {"depth 16", Patched(four16, {{8, 1, 0}, {12, 2, 16}}), IconUnknownDepth},
        {"colour count 4 at 16x16", Patched(four16, {{8, 1, 4}, {12, 2, 0}}), IconUnknownDepth},
        {"colour count 4 at 32x32 chooses 4 bits", Patched(four32File, {{12, 2, 0}, {8, 1, 4}}), IconLoaded,
         "index=3", four32, 32},
        {"4 bits come before 1 bit", Patched(four32File, {{12, 2, 1}, {8, 1, 16}}), IconLoaded, "index=3", four32, 32},
        {"depth 4 alone", Patched(four16, {{8, 1, 0}}), IconLoaded, "index=2", ExactImage(16, 4), 16},
        {"depth 1 alone", Patched(Write(one16, 0), {{8, 1, 0}}), IconLoaded, "index=0", one16, 16},
        {"colour count 2 alone", Patched(Write(one16, 0), {{12, 2, 0}}), IconLoaded, "index=0", one16, 16},
        {"depth 8 beats colour count 16", Patched(Write(eight16, 4), {{8, 1, 16}}), IconLoaded, "index=4", eight16, 16},
        {"an unknown-depth cursor still reports its hot spot",
         Patched(Write(ExactImage(16, 4), 2, true, 6, 9), {{8, 1, 0}, {36, 2, 0}}), IconUnknownDepth,
         "hotRead=1 hotX=6 hotY=9"},
        {"a two-image icon warns and loads the first",
         IconFile({{16, Slice(deep16File, 22), 1, 24}, {32, Slice(Write(one32, 1), 22)}}), IconLoaded,
         "images=2 warning=1 index=6", deep16, 16},
        {"a rejected multi-image file gives no warning", Patched(deep16File, {{4, 2, 3}, {6, 1, 48}}),
         IconNotSupported, "warning=0"},
        {"the 1-bit table (red, blue) is ignored", Patched(Write(one32, 1), {{62, 4, 0xFF0000}, {66, 4, 0xFF}}),
         IconLoaded, "", one32, 32},
        {"4-bit colours come from the file table",   // every pixel is entry 9
         Patched(Write(Pixels(ImagePixels, MakeColour(0, 0, 255)), 2), {{98, 3, 0x332211}}), IconLoaded, "",
         Pixels(ImagePixels, MakeColour(0x33, 0x22, 0x11)), 16},
        {"an image offset elsewhere takes header and data from there",   // at 22 a decoy header of 1 bit
         Moved(cursor8, 100, Patched(Slice(cursor8, 22, 40), {{14, 2, 1}})), IconLoaded,
         "index=5 depth=8 hotX=3 hotY=4", eight32, 32},
        // The colour read also takes the first 4 mask bytes and the mask read
        // only those 4: the rest of the mask must not be colour bytes (FF).
        {"bytes a short read misses count as zero", Slice(Write(Pixels(ImagePixels, kWhite), 6), 0, 830 + 4),
         IconLoaded, "index=6", Pixels(ImagePixels, kWhite), 16},
    };
    for (int w : {48, 0, 1, 64, 255})
        cases.push_back({"width " + std::to_string(w), Patched(deep32, {{6, 1, w}, {7, 1, w}}), IconNotSupported,
                         "width=" + std::to_string(w) + " index=-1 hotRead=0"});
    RunReadCases(cases);
}

}  // namespace
