#include <gtest/gtest.h>
#include <cstring>
#include "document/Document.h"

namespace {

class DocumentTest : public ::testing::Test {
protected:
    void SetUp() override { InitDocument(); }
};

int FlagCount(std::initializer_list<int> flags) {
    int n = 0;
    for (int f : flags) n += f;
    return n;
}

TEST_F(DocumentTest, StartStateIsTheFixedOne) {
    EXPECT_EQ(Pace, 16);
    EXPECT_EQ(OpenPaceMessageToMenu, 6);
    EXPECT_EQ(iMx, 0x658);
    EXPECT_EQ(NeedToSave, 0);
    EXPECT_EQ(FileFlag, 0);
    EXPECT_EQ(boolGreed, 0);
    EXPECT_EQ(MouseBit, 0);
    EXPECT_EQ(CursorStr.IsCursor, 0);
    EXPECT_EQ(CursorStr.HotX, 0);
    EXPECT_EQ(CursorStr.HotY, 0);
    EXPECT_EQ(MenuStr.SimpleGrid, 1);
    EXPECT_EQ(MenuStr.InversionGrid, 0);
    EXPECT_EQ(MenuStr.ShowGrid, 1);
    EXPECT_EQ(MenuStr.IconMode, 1);
    EXPECT_EQ(MenuStr.ToolbarMode, 0);
    EXPECT_EQ(MenuStr.Size16, 1);
    EXPECT_EQ(MenuStr.Depth24, 1);
    EXPECT_EQ(GlobalPoint.Pixels, VirtualScreen);
    for (uint32_t px : VirtualScreen) ASSERT_EQ(px, MaskColor);
}

TEST_F(DocumentTest, EveryFormatIndexSetsOneAgreeingRow) {
    const int paces[8] = {16, 32, 16, 32, 16, 32, 16, 32};
    const int codes[8] = {1, 3202, 16, 3216, 16256, 3256, 1624, 3333};
    for (int i = 0; i < FormatCount; ++i) {
        ApplyFormatIndex(i);
        SCOPED_TRACE(i);
        EXPECT_EQ(OpenPaceMessageToMenu, i);
        EXPECT_EQ(Pace, paces[i]);
        EXPECT_EQ(iMx, codes[i]);
        EXPECT_EQ(FlagCount({MenuStr.Size16, MenuStr.Size32}), 1);
        EXPECT_EQ(MenuStr.Size32, i % 2);
        EXPECT_EQ(FlagCount({MenuStr.Depth1, MenuStr.Depth4, MenuStr.Depth8, MenuStr.Depth24}), 1);
        const int* depthFlag[4] = {&MenuStr.Depth1, &MenuStr.Depth4, &MenuStr.Depth8, &MenuStr.Depth24};
        EXPECT_EQ(*depthFlag[i / 2], 1);
        EXPECT_EQ(FormatIndexOfCode(codes[i]), i);
        EXPECT_EQ(FormatIndexOf(paces[i], FormatTable[i].Bits), i);
    }
    // Changing only the size moves the index by one.
    EXPECT_EQ(FormatIndexOf(32, 8) - FormatIndexOf(16, 8), 1);
}

TEST_F(DocumentTest, IndexOutsideTheTableChangesNothing) {
    ApplyFormatIndex(3);
    ApplyFormatIndex(8);
    ApplyFormatIndex(-1);
    EXPECT_EQ(OpenPaceMessageToMenu, 3);
    EXPECT_EQ(Pace, 32);
    EXPECT_EQ(FormatIndexOfCode(0x659), -1);
    EXPECT_EQ(FormatIndexOf(48, 24), -1);
}

TEST(PixelLayout, ElementOfAPixelFollowsThePace) {
    auto element = [](int x, int y, int pace) { return y * pace + x; };
    EXPECT_EQ(element(3, 2, 16), 35);
    EXPECT_EQ(element(3, 2, 32), 67);
}

TEST(PixelLayout, TransparencyIgnoresTheFourthByte) {
    const uint8_t a[4] = {0x5F, 0x6F, 0x6F, 0x00}, b[4] = {0x5F, 0x6F, 0x6F, 0x01};
    uint32_t pa, pb;
    std::memcpy(&pa, a, 4);
    std::memcpy(&pb, b, 4);
    EXPECT_TRUE(IsMaskPixel(pa));
    EXPECT_TRUE(IsMaskPixel(pb));
    EXPECT_FALSE(IsMaskPixel(MakeColour(95, 111, 112)));
    EXPECT_EQ(MaskColor, MakeColour(95, 111, 111));
}

TEST(Porting, SwapsRedAndBlueAndKeepsOrClearsTheExtraByte) {
    static uint8_t src[ImageBytes], dst[ImageBytes], dst0[ImageBytes];
    for (int i = 0; i < ImageBytes; i += 4) {
        src[i] = 4; src[i + 1] = 3; src[i + 2] = 2; src[i + 3] = 1;
    }
    src[ImageBytes - 4] = 0xAA;   // the last pixel is converted too
    PortingProc(src, dst);
    PortingProc0(src, dst0);
    EXPECT_EQ(std::vector<uint8_t>(dst, dst + 4), (std::vector<uint8_t>{2, 3, 4, 1}));
    EXPECT_EQ(std::vector<uint8_t>(dst0, dst0 + 4), (std::vector<uint8_t>{2, 3, 4, 0}));
    EXPECT_EQ(dst[ImageBytes - 2], 0xAA);
    EXPECT_EQ(dst0[ImageBytes - 1], 0);
}

TEST(Porting, InPlaceEqualsIntoASecondBufferAndTwiceIsIdentity) {
    static uint8_t original[ImageBytes], copy[ImageBytes], other[ImageBytes];
    for (int i = 0; i < ImageBytes; ++i) original[i] = static_cast<uint8_t>(i * 7 + 3);
    std::memcpy(copy, original, ImageBytes);
    PortingProc(copy, copy);
    PortingProc(original, other);
    EXPECT_EQ(0, std::memcmp(copy, other, ImageBytes));
    PortingProc(copy, copy);
    EXPECT_EQ(0, std::memcmp(copy, original, ImageBytes));
    std::memcpy(copy, original, ImageBytes);
    PortingProc0(copy, copy);
    PortingProc0(original, other);
    EXPECT_EQ(0, std::memcmp(copy, other, ImageBytes));
}

TEST(CursorName, OnlyALastExtensionOfCurInAnyCaseMakesACursor) {
    for (const char* name : {"arrow.cur", "C:\\Icons\\ARROW.CUR", "a.b.CuR"})
        EXPECT_TRUE(IsCursorFileName(name)) << name;
    for (const char* name : {"arrow.cur.ico", "arrow.ico", "arrow", "arrow.curs", "arrow.cu", ""})
        EXPECT_FALSE(IsCursorFileName(name)) << name;
    EXPECT_FALSE(IsCursorFileName(nullptr));
}

TEST_F(DocumentTest, NewImageKeepsSizeDepthAndHotSpot) {
    ApplyFormatIndex(5);
    CursorStr.HotX = 4;
    CursorStr.HotY = 9;
    VirtualScreen[700] = 0x123456;
    ClearImage(VirtualScreen);
    EXPECT_EQ(VirtualScreen[700], MaskColor);
    EXPECT_EQ(OpenPaceMessageToMenu, 5);
    EXPECT_EQ(CursorStr.HotX, 4);
    EXPECT_EQ(CursorStr.HotY, 9);
}

}  // namespace
