// Windows itself must read what Pixtor writes: every size, depth and kind
// is written to a file, loaded by the system's own loader, drawn, and
// compared with the image that was written, pixel by pixel and hot spot.
#include <gtest/gtest.h>
#include <windows.h>
#include <cstdio>
#include <string>
#include <vector>
#include "document/Document.h"
#include "formats/IcFormat.h"

namespace {

// An image every depth holds exactly: for 1 bit black and white, for 4 bits
// colours of the fixed table, for 8 and 24 bits many colours; mask colour
// patches throughout.
std::vector<uint32_t> TestImage(int pace, int bits) {
    std::vector<uint32_t> px(ImagePixels, 0);
    for (int y = 0; y < pace; ++y)
        for (int x = 0; x < pace; ++x) {
            uint32_t c;
            const int i = y * pace + x;
            if (bits == 1) c = ((x + 2 * y) % 3 == 0) ? 0xFFFFFF : 0;
            else if (bits == 4) {
                const PaletteEntry& e = IconPalette[(x + y) % 16];
                c = MakeColour(e.Red, e.Green, e.Blue);
            } else if (bits == 8 && pace == 32) c = MakeColour((x / 2) * 16, (y / 4) * 32, 40);   // 128 colours: the table holds them all
            else c = MakeColour((i * 29) & 0xFF, (i * 7) & 0xFF, 255 - (i & 0xFF));
            if ((x * 7 + y * 3) % 10 == 0 || (x < 3 && y < 3)) c = MaskColor;
            px[i] = c;
        }
    return px;
}

std::string WriteFile(const std::vector<uint32_t>& px, int index, bool cursor, int hotX, int hotY) {
    MemoryStream out;
    EXPECT_EQ(Format(out, px.data(), FormatTable[index].iMx, cursor, static_cast<uint16_t>(hotX),
                     static_cast<uint16_t>(hotY)), 0);
    const std::string name = "system-loader-" + std::to_string(index) + (cursor ? ".cur" : ".ico");
    std::FILE* f = std::fopen(name.c_str(), "wb");
    EXPECT_NE(f, nullptr);
    if (!f) return name;
    std::fwrite(out.data.data(), 1, out.data.size(), f);
    std::fclose(f);
    return name;
}

// Draws the icon over a solid background into a top-down 32-bit raster and
// returns its pixels as colour references. Drawn once over black and once
// over white, it also proves the mask: a wrong mask bit shows on one of them.
std::vector<uint32_t> Render(HICON icon, int pace, COLORREF background) {
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = pace;
    bi.bmiHeader.biHeight = -pace;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP raster = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, raster);
    HBRUSH brush = CreateSolidBrush(background);
    RECT all = {0, 0, pace, pace};
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    DrawIconEx(dc, 0, 0, icon, pace, pace, 0, nullptr, DI_NORMAL);
    GdiFlush();
    std::vector<uint32_t> out(static_cast<size_t>(pace) * pace);
    const uint8_t* p = static_cast<const uint8_t*>(bits);
    for (size_t i = 0; i < out.size(); ++i) out[i] = MakeColour(p[4 * i + 2], p[4 * i + 1], p[4 * i]);
    SelectObject(dc, old);
    DeleteObject(raster);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return out;
}

struct Case { int index; bool cursor; };

class SystemLoader : public ::testing::TestWithParam<Case> {};

TEST_P(SystemLoader, LoadsTheSamePixelsMaskAndHotSpot) {
    const Case c = GetParam();
    const int pace = FormatTable[c.index].Pace;
    const auto px = TestImage(pace, FormatTable[c.index].Bits);
    const int hotX = pace - 3, hotY = 4;
    const std::string name = WriteFile(px, c.index, c.cursor, hotX, hotY);

    HANDLE loaded = LoadImageA(nullptr, name.c_str(), c.cursor ? IMAGE_CURSOR : IMAGE_ICON, pace, pace,
                               LR_LOADFROMFILE);
    ASSERT_NE(loaded, nullptr) << "the system refused " << name;
    HICON icon = static_cast<HICON>(loaded);

    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    if (c.cursor) {
        EXPECT_FALSE(info.fIcon);
        // A 16x16 8-bit cursor carries no hot spot in its file.
        const bool noHotSpot = c.index == 4;
        EXPECT_EQ(info.xHotspot, noHotSpot ? 0u : static_cast<DWORD>(hotX));
        EXPECT_EQ(info.yHotspot, noHotSpot ? 0u : static_cast<DWORD>(hotY));
    } else {
        EXPECT_TRUE(info.fIcon);
    }
    const auto overBlack = Render(icon, pace, RGB(0, 0, 0));
    const auto overWhite = Render(icon, pace, RGB(255, 255, 255));
    int wrong = 0;
    for (int i = 0; i < pace * pace && wrong < 5; ++i) {
        const bool transparent = IsMaskPixel(px[i]);
        const uint32_t onBlack = transparent ? 0u : px[i];
        const uint32_t onWhite = transparent ? 0xFFFFFFu : px[i];
        if (overBlack[i] != onBlack || overWhite[i] != onWhite) {
            ADD_FAILURE() << "pixel " << i % pace << "," << i / pace << std::hex << " wrote " << px[i]
                          << " drew " << overBlack[i] << " / " << overWhite[i];
            ++wrong;
        }
    }
    if (info.hbmColor) DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    if (c.cursor) DestroyCursor(icon); else DestroyIcon(icon);
    std::remove(name.c_str());
}

std::vector<Case> AllCases() {
    std::vector<Case> cases;
    for (int i = 0; i < FormatCount; ++i) {
        cases.push_back({i, false});
        cases.push_back({i, true});
    }
    return cases;
}

std::string CaseName(const ::testing::TestParamInfo<Case>& info) {
    const FormatRow& row = FormatTable[info.param.index];
    return std::to_string(row.Pace) + "x" + std::to_string(row.Pace) + "_" + std::to_string(row.Bits) + "bit_" +
           (info.param.cursor ? "cursor" : "icon");
}

INSTANTIATE_TEST_SUITE_P(EveryFormat, SystemLoader, ::testing::ValuesIn(AllCases()), CaseName);

}  // namespace
