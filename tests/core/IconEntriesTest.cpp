// Every entry of the icons other programs make: several sizes, alpha, PNG
// entries; files that claim more than they hold.
#include <gtest/gtest.h>
#include "document/Document.h"
#include "formats/FileErrors.h"
#include "formats/IconEntries.h"
#include "formats/PngImage.h"
#include "tests/core/TestBytes.h"

namespace {

uint32_t Half(int x, int y) { return x < 8 ? 0xFF0000FFu : (y % 2 ? 0x00FFFFFFu : 0x8000FF00u); }

TEST(IconEntries, TheBestPictureForEachSize) {
    const Bytes png = EncodePng(32, Pixels(32 * 32, MakeColour(1, 2, 3)).data());
    MemoryStream in(IconFile({{16, Entry32(16, 16, Half)},
                              {48, Entry32(48, 48, [](int x, int) { return x < 24 ? 0xFF00FF00u : 0u; })},
                              {0, png, 1, 24}}));   // a PNG whose directory says 24 bits
    IconEntries read;
    ASSERT_EQ(ReadIconEntries(in, read), FileOk);
    ASSERT_EQ(read.Pictures.size(), 3u);
    Pixels px;
    ASSERT_TRUE(BestPicture(read, 16, px, nullptr, nullptr));   // exact: alpha 128 and up opaque
    EXPECT_EQ(std::make_tuple(px[0], px[8], px[16 + 8]), std::make_tuple(MakeColour(255, 0, 0), MakeColour(0, 255, 0), MaskColor));
    ASSERT_TRUE(BestPicture(read, 32, px, nullptr, nullptr));   // exact, the PNG entry
    EXPECT_EQ(px[0], MakeColour(1, 2, 3));
    ASSERT_TRUE(BestPicture(read, 24, px, nullptr, nullptr));   // the 32 scaled down, not the 48
    EXPECT_EQ(px[23], MakeColour(1, 2, 3));
    read.Pictures.pop_back();
    ASSERT_TRUE(BestPicture(read, 32, px, nullptr, nullptr));   // the 48 scaled down: halves kept
    EXPECT_EQ(std::make_tuple(px[15], px[16]), std::make_tuple(MakeColour(0, 255, 0), MaskColor));
    read.Pictures.erase(read.Pictures.begin() + 1);
    ASSERT_TRUE(BestPicture(read, 32, px, nullptr, nullptr));   // the 16 scaled up
    EXPECT_EQ(std::make_tuple(px[15], px[16], px[32 * 2 + 16]), std::make_tuple(MakeColour(255, 0, 0), MakeColour(0, 255, 0), MaskColor));
}

TEST(IconEntries, WhatTheFileDoesNotHoldIsNeverRead) {
    const Bytes good = Entry32(16, 16, Half);
    const Bytes two = IconFile({{16, good}, {16, good}});
    const struct { const char* name; Bytes bytes; int code; size_t pictures; const char* skipped; } cases[] = {
        {"an entry with no data", IconFile({{16, Bytes{}}}), FileNotSupported, 0, "entry 1: no picture in it"},
        {"a count the file cannot hold", Patched(two, {{4, 2, 3000}}), FileReadError, 0, nullptr},
        {"an offset past the end", Patched(two, {{6 + 16 + 12, 4, 0xFFFFFFF0u}}), FileOk, 1,
         "entry 2: its data lies beyond the end of the file"},
        {"a size past the end", Patched(two, {{6 + 8, 4, 0x7FFFFFFF}}), FileOk, 1,
         "entry 1: its data lies beyond the end of the file"},
        {"a PNG cut short, not a bitmap", IconFile({{32, Slice(EncodePng(32, Pixels(1024).data()), 0, 60)}}),
         FileNotSupported, 0, "entry 1: PNG: "},
        {"a picture of 300 pixels", IconFile({{16, Patched(good, {{4, 4, 300}})}}), FileNotSupported, 0,
         "entry 1: a picture of 300x16 pixels"},
        {"not an icon", Patched(two, {{2, 2, 3}}), FileNotSupported, 0, nullptr},
    };
    // A hundred entries all pointing at one 256 px picture: the reader stops
    // holding them long before the hundredth.
    Bytes many = Le(2, 0) + Le(2, 1) + Le(2, 100);
    const Bytes picture = Le(4, 40) + Le(4, 256) + Le(4, 512) + Le(2, 1) + Le(2, 1) + Bytes(24 + 8 + 2 * 32 * 256, 0);
    for (int k = 0; k < 100; ++k) many = many + Bytes{0, 0, 0, 0} + Le(4, 0) + Le(4, picture.size()) + Le(4, 6 + 1600);
    MemoryStream in(many + picture);
    IconEntries read;
    EXPECT_EQ(ReadIconEntries(in, read), FileOk);
    EXPECT_LT(read.Pictures.size(), 20u);
    EXPECT_EQ(read.Skipped.back(), "entry 100: not read, the pictures before it fill the room");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryStream in(c.bytes);
        IconEntries read;
        EXPECT_EQ(ReadIconEntries(in, read), c.code);
        EXPECT_EQ(read.Pictures.size(), c.pictures);
        if (c.skipped) {
            ASSERT_EQ(read.Skipped.size(), 1u);
            EXPECT_EQ(read.Skipped[0].rfind(c.skipped, 0), 0u) << read.Skipped[0];
        }
    }
}

// Corrupt PNGs whose decoding takes bytes nobody wrote: a back-reference of
// distance 0, and a pixel beyond a one-colour palette. They come out as
// zeros and black, never as what memory held before.
TEST(PngPictures, BytesNoneWroteComeOutAsZerosAndBlack) {
    // Both 1x1 at 8 bits a channel: the signature and the header chunk up to the colour type; the end chunk.
    const Bytes head = {0x89, 'P', 'N', 'G', 13, 10, 26, 10, 0, 0, 0, 13, 'I', 'H', 'D', 'R', 0, 0, 0, 1, 0, 0, 0, 1, 8};
    const Bytes end = {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};
    const Bytes distanceZero = head + Bytes{6, 0, 0, 0, 0x1F, 0x15, 0xC4, 0x89, 0, 0, 0, 10, 'I', 'D', 'A', 'T', 0x78,
                                            0x01, 0x63, 0x00, 0x3D, 0, 0, 0, 0, 0x01, 0x43, 0xA3, 0x8D, 0xE0} + end;
    const Bytes beyondPalette = head + Bytes{3, 0, 0, 0, 0x28, 0xCB, 0x34, 0xBB, 0, 0, 0, 3, 'P', 'L', 'T', 'E', 0xFF,
                                             0, 0, 0x19, 0xE2, 0x09, 0x37, 0, 0, 0, 10, 'I', 'D', 'A', 'T', 0x78, 0x9C,
                                             0x63, 0x60, 0x05, 0x00, 0x00, 0x07, 0x00, 0x06, 0x80, 0xCD, 0x62, 0x8A} + end;
    for (const auto& [png, pixel] : {std::make_pair(distanceZero, 0u), std::make_pair(beyondPalette, 0xFF000000u)}) {
        PngPicture picture;
        ASSERT_EQ(DecodePngWithAlpha(png.data(), png.size(), picture), "");
        EXPECT_EQ(picture.Pixels, Pixels{pixel});
    }
}

}  // namespace
