// Icons and cursors of several pictures, as the pack writer makes them,
// handed to Windows' own loader: every size loads, draws as it was stored
// over any background, and a cursor keeps each size's hot spot.
#include <gtest/gtest.h>
#include <windows.h>
#include <fstream>
#include <string>
#include <vector>
#include "document/Document.h"
#include "formats/IconPack.h"
#include "tests/core/TestBytes.h"

namespace {

// Colour and alpha vary with place; a square of each size fully clear.
// As many colours as the depth holds.
Pixels Picture(int size, int bits, bool partAlpha) {
    return Square(size, [=](int x, int y) {
        const uint32_t colour = bits == 1   ? ((x + y) % 3 ? 0x00FFFFFFu : 0u)
                                : bits == 4 ? MakeColour(x % 5 * 60, y % 3 * 120, 77)
                                : bits == 8 ? MakeColour(x % 15 * 17, y % 15 * 17, 200)
                                            : MakeColour(x * 255 / size, 40 + (y * 7) % 160, (x + y) % 2 ? 200 : 30);
        const uint32_t alpha = x < size / 4 && y < size / 4 ? 0 : partAlpha ? 255 - (x * 200 / size) : 255;
        return colour | alpha << 24;
    });
}

// The icon drawn over a background of one colour, as 0x00RRGGBB rows.
std::vector<uint32_t> Drawn(HICON icon, int size, uint32_t background) {
    BITMAPINFO info = {{sizeof(BITMAPINFOHEADER), size, -size, 1, 32}};   // rows top first
    void* bits = nullptr;
    HBITMAP canvas = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::vector<uint32_t> out(static_cast<size_t>(size) * size, background);
    if (!canvas) return {};
    std::copy(out.begin(), out.end(), static_cast<uint32_t*>(bits));
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, canvas);
    DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    GdiFlush();
    std::copy(static_cast<uint32_t*>(bits), static_cast<uint32_t*>(bits) + out.size(), out.begin());
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(canvas);
    return out;
}

TEST(Loader, EverySizeOfAPackedIconOrCursorDrawsAsStored) {
    const struct { int Size, Bits; bool Png, PartAlpha; } sizes[] = {
        {16, 32, false, true}, {20, 1, false, false}, {24, 24, false, false}, {28, 4, false, false}, {30, 8, false, false},
        {32, 32, false, true}, {48, 24, false, false}, {256, 32, true, true},
    };
    std::vector<StoredEntry> entries;
    std::vector<Pixels> pictures;
    for (const auto& s : sizes) {
        pictures.push_back(Picture(s.Size, s.Bits, s.PartAlpha));
        entries.emplace_back();
        ASSERT_TRUE(StoreEntry(s.Size, s.Size, pictures.back(), s.Bits, s.Png, entries.back()));
        entries.back().HotX = static_cast<uint16_t>(s.Size - 1);
        entries.back().HotY = static_cast<uint16_t>(s.Size / 3);
    }
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    for (bool cursor : {false, true}) {
        const std::string path = std::string(temp) + (cursor ? "pixtor-loader.cur" : "pixtor-loader.ico");
        MemoryStream file;
        ASSERT_EQ(WriteIconFile(file, cursor, entries), 0);
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(file.data.data()), static_cast<std::streamsize>(file.data.size()));
        out.close();
        ASSERT_TRUE(out) << path;
        for (size_t k = 0; k < entries.size(); ++k) {
            const int size = sizes[k].Size;
            SCOPED_TRACE(testing::Message() << (cursor ? "cursor " : "icon ") << size);
            HICON icon = static_cast<HICON>(LoadImageA(nullptr, path.c_str(), cursor ? IMAGE_CURSOR : IMAGE_ICON, size, size, LR_LOADFROMFILE));
            ASSERT_NE(icon, nullptr);
            ICONINFO info = {};
            ASSERT_TRUE(GetIconInfo(icon, &info));
            if (cursor) EXPECT_EQ(std::make_pair(info.xHotspot, info.yHotspot), std::make_pair(DWORD(size - 1), DWORD(size / 3)));
            if (info.hbmColor) DeleteObject(info.hbmColor);
            DeleteObject(info.hbmMask);
            // Drawing blends the colour over the background by alpha, or
            // (below 32 bits) leaves the masked part as it was.
            for (uint32_t background : {0x00000000u, 0x00FFFFFFu}) {
                const std::vector<uint32_t> shown = Drawn(icon, size, background);
                ASSERT_EQ(shown.size(), pictures[k].size());
                int wrong = 0;
                for (size_t i = 0; i < shown.size(); ++i) {
                    const uint32_t p = pictures[k][i], a = sizes[k].Bits == 32 ? p >> 24 : (p >> 24 ? 255 : 0);
                    for (int c = 0; c < 3; ++c) {   // red, green, blue
                        const int want = static_cast<int>((((p >> (8 * c)) & 0xFF) * a + ((background >> 8 * (2 - c)) & 0xFF) * (255 - a) + 127) / 255);
                        wrong += std::abs(static_cast<int>((shown[i] >> (8 * (2 - c))) & 0xFF) - want) > 2;
                    }
                }
                EXPECT_EQ(wrong, 0) << "over " << std::hex << background;
            }
            DestroyIcon(icon);
        }
        DeleteFileA(path.c_str());
    }
}

}  // namespace
