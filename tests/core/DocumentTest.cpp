#include <gtest/gtest.h>
#include <cstring>
#include <tuple>
#include <vector>
#include "document/Document.h"

namespace {

// The six size and depth flags, as one number: 16, 32, 1, 4, 8, 24 bits.
int Flags() {
    return MenuStr.Size16 | MenuStr.Size32 << 1 | MenuStr.Depth1 << 2 | MenuStr.Depth4 << 3 | MenuStr.Depth8 << 4 |
           MenuStr.Depth24 << 5;
}

// The index runs through the depths, each at 16 and 32 pixels; one outside
// the table only clears the flags.
TEST(Document, EveryFormatIndexSetsOneAgreeingRow) {
    for (int i = 0; i < FormatCount; ++i) {
        ApplyFormatIndex(i);
        EXPECT_EQ(std::make_tuple(OpenPaceMessageToMenu, Pace, Flags()),
                  std::make_tuple(i, i % 2 ? 32 : 16, (i % 2 ? 2 : 1) | 4 << (i / 2)));
    }
    ApplyFormatIndex(3);
    for (int index : {8, -1}) {
        ApplyFormatIndex(index);
        EXPECT_EQ(std::make_tuple(OpenPaceMessageToMenu, Pace, Flags()), std::make_tuple(3, 32, 0));
    }
    EXPECT_EQ(FormatIndexOf(48, 24), -1);
    CursorStr.HotX = 20;
    CursorStr.HotY = 7;
    ApplyFormatIndex(0);
    EXPECT_EQ(std::make_pair(CursorStr.HotX, CursorStr.HotY), std::make_pair(uint16_t(15), uint16_t(7)))
        << "the hot spot stays in the picture";
}

TEST(PixelLayout, TransparencyIgnoresTheFourthByte) {
    const uint8_t bytes[4] = {0x5F, 0x6F, 0x6F, 0x01};   // red, green, blue, the extra byte
    uint32_t pixel;
    std::memcpy(&pixel, bytes, 4);
    EXPECT_TRUE(IsMaskPixel(pixel));
    EXPECT_FALSE(IsMaskPixel(MakeColour(95, 111, 112)));
}

TEST(Porting, SwapsRedAndBlueInPlaceOrNotAndKeepsOrClearsTheExtraByte) {
    static uint8_t original[ImageBytes], inPlace[ImageBytes], other[ImageBytes];
    for (int i = 0; i < ImageBytes; ++i) original[i] = static_cast<uint8_t>(i * 7 + 3);
    for (bool clear : {false, true}) {
        void (*const porting)(const void*, void*) = clear ? PortingProc0 : PortingProc;
        std::memcpy(inPlace, original, ImageBytes);
        porting(inPlace, inPlace);
        porting(original, other);
        EXPECT_EQ(0, std::memcmp(inPlace, other, ImageBytes));
        for (int i = 0; i < ImageBytes; i += 4)   // every pixel, the last one too
            ASSERT_EQ(std::vector<uint8_t>(other + i, other + i + 4),
                      (std::vector<uint8_t>{original[i + 2], original[i + 1], original[i],
                                            static_cast<uint8_t>(clear ? 0 : original[i + 3])})) << i;
    }
}

TEST(CursorName, OnlyALastExtensionOfCurInAnyCaseMakesACursor) {
    for (const char* name : {"arrow.cur", "C:\\Icons\\ARROW.CUR", "a.b.CuR"})
        EXPECT_TRUE(IsCursorFileName(name)) << name;
    for (const char* name : {"arrow.cur.ico", "arrow.ico", "arrow", "arrow.curs", "arrow.cu", ""})
        EXPECT_FALSE(IsCursorFileName(name)) << name;
    EXPECT_FALSE(IsCursorFileName(nullptr));
}

TEST(Document, ANewImageIsTheMaskColourThroughout) {
    VirtualScreen[ImagePixels - 1] = 0x123456;
    ClearImage(VirtualScreen);
    for (uint32_t px : VirtualScreen) ASSERT_EQ(px, MaskColor);
}

}  // namespace
