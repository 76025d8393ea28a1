#include <gtest/gtest.h>
#include <array>
#include <utility>
#include <vector>
#include "document/Document.h"
#include "document/IcColors.h"

namespace {

using Pixels = std::vector<uint32_t>;

Pixels Numbered() {
    Pixels px(ImagePixels);
    for (int i = 0; i < ImagePixels; ++i) px[i] = MakeColour(i & 0xFF, (i >> 8) + 1, 7) | ((i & 1u) << 24);
    return px;
}

TEST(DimeChange, ShrinkingAndsEachBlockAndLeavesTheRestBehind) {
    auto px = Numbered();
    const auto numbered = px;
    DimeChange(16, 16, px.data());   // only 16 to 32 changes anything
    DimeChange(32, 32, px.data());
    DimeChange(48, 16, px.data());
    ASSERT_EQ(px, numbered);
    // The blocks of small pixels 0, 1, 2 and 255: top left, top right, bottom left, bottom right.
    const std::pair<int, std::array<uint32_t, 4>> blocks[] = {{0, {0x404040, 0x404040, 0x404040, 0x404040}},
                                                              {1, {MaskColor, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF}},
                                                              {2, {MaskColor, 0, MaskColor, MaskColor}},
                                                              {255, {0x0000F0, 0x00F0F0, 0x0000F0, 0x0000FF}}};
    for (const auto& [at, block] : blocks)
        for (int d = 0; d < 4; ++d) px[(2 * (at / 16) + d / 2) * 32 + 2 * (at % 16) + d % 2] = block[d];
    const auto before = px;
    DimeChange(16, 32, px.data());
    // Four equal colours stay, mask AND white is the mask colour, mask AND black is black.
    EXPECT_EQ(Pixels(px.begin(), px.begin() + 3), (Pixels{0x00404040, MaskColor, 0}));
    EXPECT_EQ(px[255], 0x0000F0u);
    for (int i = 256; i < ImagePixels; ++i) ASSERT_EQ(px[i], before[i]) << i;
}

// Enlarging copies each pixel whole, the fourth byte with it, into its 2x2
// block; shrinking back gives the picture again.
TEST(DimeChange, EnlargingDoublesEachPixelWholeAndShrinkingGivesItBack) {
    auto px = Numbered();
    const auto small = px;
    DimeChange(32, 16, px.data());
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) ASSERT_EQ(px[y * 32 + x], small[(y / 2) * 16 + x / 2]) << x << "," << y;
    DimeChange(16, 32, px.data());
    EXPECT_EQ(Pixels(px.begin(), px.begin() + 256), Pixels(small.begin(), small.begin() + 256));
}

TEST(Nudge, EachDirectionShiftsByOneAndFreesALineOfMask) {
    for (int pace : {16, 32})
        for (int cmd : {NudgeUp, NudgeDown, NudgeRight, NudgeLeft}) {
            SCOPED_TRACE(pace * 1000 + cmd);
            auto px = Numbered();
            const auto before = px;
            NudgeImage(cmd, px.data(), pace);
            const int dx = cmd == NudgeRight ? -1 : cmd == NudgeLeft ? 1 : 0;   // where each pixel comes from
            const int dy = cmd == NudgeDown ? -1 : cmd == NudgeUp ? 1 : 0;
            for (int y = 0; y < pace; ++y)
                for (int x = 0; x < pace; ++x) {
                    const int sx = x + dx, sy = y + dy;
                    const bool freed = sx < 0 || sy < 0 || sx >= pace || sy >= pace;
                    ASSERT_EQ(px[y * pace + x], freed ? MaskColor : before[sy * pace + sx]) << x << "," << y;
                }
            for (int i = pace * pace; i < ImagePixels; ++i) ASSERT_EQ(px[i], before[i]);   // beyond the image
        }
}

TEST(Gradient, RampsGrowByThreeAndStopAtTheLimits) {
    const struct { int cmd, pace, r, g, b, at; uint32_t want; } cases[] = {
        {GradientColumnsUp, 32, 240, 0, 100, 3, MakeColour(249, 9, 109)},
        {GradientColumnsUp, 32, 240, 0, 100, 4, MakeColour(250, 12, 112)},   // red reaches the cap in the fifth column
        {GradientColumnsUp, 32, 240, 0, 100, 32 * 7 + 31, MakeColour(250, 93, 193)},   // every row alike
        {GradientColumnsDown, 32, 20, 200, 5, 0, MakeColour(20, 200, 10)},   // the floor holds from the start
        {GradientColumnsDown, 32, 20, 200, 5, 32 * 9 + 3, MakeColour(11, 191, 10)},
        {GradientColumnsDown, 32, 20, 200, 5, 4, MakeColour(10, 188, 10)},
        {GradientRowsUp, 16, 0, 0, 0, 16 * 2 + 9, MakeColour(6, 6, 6)},       // no floor on the way up
        {GradientRowsUp, 16, 0, 0, 0, 255, MakeColour(45, 45, 45)},
        {GradientRowsDown, 16, 250, 250, 250, 16 * 15 + 3, MakeColour(205, 205, 205)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cmd * 10000 + c.at);
        Pixels px(ImagePixels, 0xDEADBEEFu);
        GradientFill(c.cmd, px.data(), c.pace, c.r, c.g, c.b);
        EXPECT_EQ(px[c.at], c.want);   // byte 3 cleared too
        if (c.pace == 16) EXPECT_EQ(px[256], 0xDEADBEEFu);   // beyond the 16x16 image
    }
}

}  // namespace
