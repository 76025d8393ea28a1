#include <gtest/gtest.h>
#include <array>
#include <utility>
#include "document/Document.h"
#include "document/IcColors.h"
#include "tests/core/TestBytes.h"

namespace {

Pixels Numbered() {
    return Gen<uint32_t>(ImagePixels, [](int i) { return MakeColour(i & 0xFF, (i >> 8) + 1, 7) | ((i & 1u) << 24); });
}

// Enlarging makes each 2x2 block one pixel, the fourth byte with it, and
// shrinking gives the picture back; shrinking ANDs a block of unequal
// colours; elements beyond the new image stay.
TEST(DimeChange, EnlargingRepeatsEachPixelWholeAndShrinkingAndsEachBlock) {
    auto px = Numbered();
    const auto numbered = px;
    DimeChange(16, 16, px.data());   // only 16 to 32 changes anything
    DimeChange(32, 32, px.data());
    DimeChange(48, 16, px.data());
    ASSERT_EQ(px, numbered);
    DimeChange(32, 16, px.data());
    for (int i = 0; i < ImagePixels; ++i) ASSERT_EQ(px[i], px[i & ~33]) << i;   // ~33: the block's top left
    DimeChange(16, 32, px.data());
    EXPECT_EQ(Pixels(px.begin(), px.begin() + 256), Pixels(numbered.begin(), numbered.begin() + 256));
    // Blocks of small pixels 1, 2 and 255: top left, top right, bottom left, bottom right; each of 255's clears a bit.
    const std::pair<int, std::array<uint32_t, 4>> blocks[] = {{1, {MaskColor, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF}},
                                                              {2, {MaskColor, 0, MaskColor, MaskColor}},
                                                              {255, {0x0000F7, 0x00F0FB, 0x0000FD, 0x0000FE}}};
    for (const auto& [at, block] : blocks)
        for (int d = 0; d < 4; ++d) px[(2 * (at / 16) + d / 2) * 32 + 2 * (at % 16) + d % 2] = block[d];
    const auto before = px;
    DimeChange(16, 32, px.data());
    // Mask AND white is the mask colour, mask AND black is black.
    EXPECT_EQ(Pixels({px[1], px[2], px[255]}), (Pixels{MaskColor, 0, 0x0000F0}));
    for (int i = 256; i < ImagePixels; ++i) ASSERT_EQ(px[i], before[i]) << i;
}

// A nudge moves each pixel one step; in a frame of mask the opposite nudge
// gives the picture back; pace nudges leave only mask, nothing coming in at
// the other edge; nothing beyond the image is touched.
TEST(Nudge, OneStepTheOppositeGivesBackAFramedPictureAndPaceStepsLeaveOnlyMask) {
    const struct { int cmd, back, dx, dy; } moves[] = {{NudgeUp, NudgeDown, 0, -1}, {NudgeDown, NudgeUp, 0, 1},
                                                       {NudgeRight, NudgeLeft, 1, 0}, {NudgeLeft, NudgeRight, -1, 0}};
    for (int pace : {16, 32})
        for (const auto& m : moves) {
            SCOPED_TRACE(pace * 1000 + m.cmd);
            auto px = Numbered();
            for (int i = 0; i < pace * pace; ++i)
                if (i < pace || i >= pace * (pace - 1) || i % pace == 0 || i % pace == pace - 1) px[i] = MaskColor;
            const auto framed = px;
            NudgeImage(m.cmd, px.data(), pace);
            EXPECT_EQ(px[(7 + m.dy) * pace + 5 + m.dx], framed[7 * pace + 5]);
            NudgeImage(m.back, px.data(), pace);
            EXPECT_EQ(px, framed);
            px = Numbered();   // no frame: every edge pixel must go
            for (int k = 0; k < pace; ++k) NudgeImage(m.cmd, px.data(), pace);
            for (int i = 0; i < ImagePixels; ++i) ASSERT_EQ(px[i], i < pace * pace ? MaskColor : framed[i]) << i;
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
