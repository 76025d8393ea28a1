#include "document/IcColors.h"
#include "document/Document.h"
#include <algorithm>

void DimeChange(int newSize, int oldSize, uint32_t* pixels) {
    if (newSize == 32 && oldSize == 16) {
        uint32_t old[256];
        std::copy(pixels, pixels + 256, old);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) pixels[y * 32 + x] = old[(y / 2) * 16 + x / 2];
    } else if (newSize == 16 && oldSize == 32) {
        // Writing pixel (x, y) of the small image only touches elements
        // already read, since y * 16 + x <= 2y * 32 + 2x.
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const uint32_t* p = pixels + (2 * y) * 32 + 2 * x;
                pixels[y * 16 + x] = p[0] & p[1] & p[32] & p[33];
            }
    }
}

void NudgeImage(int command, uint32_t* pixels, int pace) {
    const int P = pace;
    switch (command) {
    case NudgeUp:
        for (int r = 0; r < P - 1; ++r) std::copy(pixels + (r + 1) * P, pixels + (r + 2) * P, pixels + r * P);
        std::fill(pixels + (P - 1) * P, pixels + P * P, MaskColor);
        break;
    case NudgeDown:
        for (int r = P - 1; r > 0; --r) std::copy(pixels + (r - 1) * P, pixels + r * P, pixels + r * P);
        std::fill(pixels, pixels + P, MaskColor);
        break;
    case NudgeRight:
        for (int r = 0; r < P; ++r) {
            uint32_t* row = pixels + r * P;
            for (int c = P - 1; c > 0; --c) row[c] = row[c - 1];
            row[0] = MaskColor;
        }
        break;
    case NudgeLeft:
        for (int r = 0; r < P; ++r) {
            uint32_t* row = pixels + r * P;
            for (int c = 0; c < P - 1; ++c) row[c] = row[c + 1];
            row[P - 1] = MaskColor;
        }
        break;
    default:
        break;
    }
}

static int Ramp(int c0, int k, bool up) { return up ? std::min(c0 + k, 250) : std::max(c0 - k, 10); }

void GradientFill(int command, uint32_t* pixels, int pace, int r0, int g0, int b0) {
    if (command < GradientColumnsUp || command > GradientRowsDown) return;
    const bool byColumn = command == GradientColumnsUp || command == GradientColumnsDown;
    const bool up = command == GradientColumnsUp || command == GradientRowsUp;
    for (int y = 0; y < pace; ++y)
        for (int x = 0; x < pace; ++x) {
            const int k = 3 * (byColumn ? x : y);
            pixels[y * pace + x] = MakeColour(Ramp(r0, k, up), Ramp(g0, k, up), Ramp(b0, k, up));
        }
}
