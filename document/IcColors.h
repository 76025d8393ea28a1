// Pixel operations on an image buffer of 1024 colour references whose
// first size x size elements are the image, row by row from the top.
#pragma once
#include <cstdint>

// Rescales between 16x16 and 32x32 in memory, exactly as the platform's
// default stretch would: enlarging repeats each pixel into a 2x2 block,
// shrinking ANDs the colour values of each 2x2 block. Elements beyond the
// new image keep what they held. Any other pair of sizes is ignored.
void DimeChange(int newSize, int oldSize, uint32_t* pixels);

// Command ids of the four nudges and the four gradient fills.
enum { NudgeUp = 200, NudgeDown = 201, NudgeRight = 202, NudgeLeft = 203 };
enum { GradientColumnsUp = 21, GradientColumnsDown = 22, GradientRowsUp = 23, GradientRowsDown = 24 };

// Shifts the pace x pace image by one pixel; the row or column that comes
// free becomes MaskColor. Only the pace x pace area is touched.
void NudgeImage(int command, uint32_t* pixels, int pace);

// Fills the pace x pace image with a ramp from (r0, g0, b0), growing by 3
// per column or row and held within 10..250.
void GradientFill(int command, uint32_t* pixels, int pace, int r0, int g0, int b0);
