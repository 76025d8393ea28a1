#include <gtest/gtest.h>
#include <vector>
#include "document/Document.h"
#include "document/IcColors.h"

namespace {

std::vector<uint32_t> Numbered() {
    std::vector<uint32_t> px(ImagePixels);
    for (int i = 0; i < ImagePixels; ++i) px[i] = MakeColour(i & 0xFF, (i >> 8) + 1, 7) | ((i & 1u) << 24);
    return px;
}

TEST(DimeChange, EnlargingRepeatsEveryPixelIntoABlock) {
    auto px = Numbered();
    px[17] = MaskColor;
    const auto before = px;
    DimeChange(32, 16, px.data());
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            for (int d = 0; d < 4; ++d)   // the four pixels of the block
                EXPECT_EQ(px[(2 * y + d / 2) * 32 + 2 * x + d % 2], before[y * 16 + x]) << x << "," << y << " " << d;
    EXPECT_EQ(px[2 * 32 + 2], MaskColor);
}

TEST(DimeChange, ShrinkingAndsEachBlockAndLeavesTheRestBehind) {
    std::vector<uint32_t> px(ImagePixels, 0x00404040);
    auto block = [&](int bx, int by, uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
        px[(2 * by) * 32 + 2 * bx] = a;
        px[(2 * by) * 32 + 2 * bx + 1] = b;
        px[(2 * by + 1) * 32 + 2 * bx] = c;
        px[(2 * by + 1) * 32 + 2 * bx + 1] = d;
    };
    block(0, 0, MaskColor, MaskColor, MaskColor, MaskColor);
    block(1, 0, MaskColor, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF);
    block(2, 0, MaskColor, 0, MaskColor, MaskColor);
    block(15, 15, 0x0000F0, 0x00F0F0, 0x0000F0, 0x0000FF);
    const auto before = px;
    DimeChange(16, 32, px.data());
    EXPECT_EQ(px[0], MaskColor);
    EXPECT_EQ(px[1], MaskColor);          // mask AND white is the mask colour
    EXPECT_EQ(px[2], 0u);                 // mask AND black is black
    EXPECT_EQ(px[3], 0x00404040u);        // four equal colours stay
    EXPECT_EQ(px[255], 0x0000F0u);
    for (int i = 256; i < ImagePixels; ++i) ASSERT_EQ(px[i], before[i]) << i;
}

TEST(DimeChange, UpThenDownIsIdentityAndOtherSizesAreIgnored) {
    auto px = Numbered();
    std::vector<uint32_t> first(px.begin(), px.begin() + 256);
    DimeChange(32, 16, px.data());
    DimeChange(16, 32, px.data());
    EXPECT_EQ(std::vector<uint32_t>(px.begin(), px.begin() + 256), first);
    const auto before = px;
    DimeChange(16, 16, px.data());
    DimeChange(32, 32, px.data());
    DimeChange(48, 16, px.data());
    EXPECT_EQ(px, before);
}

TEST(Nudge, EachDirectionShiftsByOneAndFreesALineOfMask) {
    for (int pace : {16, 32}) {
        for (int cmd : {NudgeUp, NudgeDown, NudgeRight, NudgeLeft}) {
            SCOPED_TRACE(pace * 1000 + cmd);
            auto px = Numbered();
            const auto before = px;
            NudgeImage(cmd, px.data(), pace);
            for (int y = 0; y < pace; ++y)
                for (int x = 0; x < pace; ++x) {
                    int sx = x, sy = y;
                    if (cmd == NudgeUp) sy = y + 1;
                    if (cmd == NudgeDown) sy = y - 1;
                    if (cmd == NudgeRight) sx = x - 1;
                    if (cmd == NudgeLeft) sx = x + 1;
                    const bool freed = sx < 0 || sy < 0 || sx >= pace || sy >= pace;
                    ASSERT_EQ(px[y * pace + x], freed ? MaskColor : before[sy * pace + sx]) << x << "," << y;
                }
            // Only the image area changes.
            for (int i = pace * pace; i < ImagePixels; ++i) ASSERT_EQ(px[i], before[i]);
        }
    }
}

TEST(Gradient, RampsGrowByThreeAndStopAtTheLimits) {
    std::vector<uint32_t> px(ImagePixels, 0xDEADBEu);
    GradientFill(GradientColumnsUp, px.data(), 32, 240, 0, 100);
    EXPECT_EQ(RedOf(px[0]), 240u);
    EXPECT_EQ(RedOf(px[3]), 249u);
    EXPECT_EQ(RedOf(px[4]), 250u);           // 240 + 12 reaches the cap in the fifth column
    EXPECT_EQ(RedOf(px[31]), 250u);
    EXPECT_EQ(GreenOf(px[5]), 15u);
    EXPECT_EQ(BlueOf(px[32 * 7 + 2]), 106u); // columns: every row alike
    EXPECT_EQ(px[1023] >> 24, 0u);

    GradientFill(GradientColumnsDown, px.data(), 32, 20, 200, 5);
    EXPECT_EQ(RedOf(px[3]), 11u);
    EXPECT_EQ(RedOf(px[4]), 10u);            // 20 - 12 floors at 10 in the fifth column
    EXPECT_EQ(GreenOf(px[31]), 200u - 93u);
    EXPECT_EQ(BlueOf(px[0]), 10u);           // the floor holds from the start

    std::vector<uint32_t> small(ImagePixels, 0xDEADBEu);
    GradientFill(GradientRowsUp, small.data(), 16, 0, 0, 0);
    EXPECT_EQ(small[16 * 2 + 9], MakeColour(6, 6, 6));
    EXPECT_EQ(small[255], MakeColour(45, 45, 45));
    EXPECT_EQ(small[256], 0xDEADBEu);        // beyond the 16x16 image
    GradientFill(GradientRowsDown, small.data(), 16, 250, 250, 250);
    EXPECT_EQ(small[16 * 15], MakeColour(205, 205, 205));
}

}  // namespace
