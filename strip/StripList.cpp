#include "strip/StripList.h"
#include <cstring>
#include <vector>
#include "platform/Gdi.h"

namespace {

// Colour reference (red in the low byte) to and from the list's pixel
// order (blue in the low byte); the fourth byte goes through unchanged.
uint32_t SwapRedBlue(uint32_t p) { return (p & 0xFF00FF00u) | ((p >> 16) & 0xFFu) | ((p & 0xFFu) << 16); }

// The rows of image `index` in the list's own order (blue, green, red,
// fourth byte), top row first, straight from the list's bitmap.
bool ReadListBits(HIMAGELIST list, int index, std::vector<uint32_t>& bits, int& pace) {
    int cx = 0, cy = 0;
    IMAGEINFO info;
    if (!list || !ImageList_GetIconSize(list, &cx, &cy) || cx != cy || cx <= 0) return false;
    if (index < 0 || index >= ImageList_GetImageCount(list) || !ImageList_GetImageInfo(list, index, &info))
        return false;
    const RECT& r = info.rcImage;
    if (r.right - r.left != cx || r.bottom - r.top != cy || r.left < 0 || r.top < 0) return false;
    pace = cx;
    bits.assign(static_cast<size_t>(cx) * cy, 0);

    DIBSECTION dib;
    if (GetObjectA(info.hbmImage, sizeof dib, &dib) == sizeof dib && dib.dsBm.bmBits &&
        dib.dsBm.bmBitsPixel == 32 && r.right <= dib.dsBm.bmWidth && r.bottom <= dib.dsBm.bmHeight) {
        GdiFlush();   // drawing into the list may still be queued
        const uint8_t* base = static_cast<const uint8_t*>(dib.dsBm.bmBits);
        const bool bottomUp = dib.dsBmih.biHeight > 0;
        for (int y = 0; y < cy; ++y) {
            const int row = bottomUp ? dib.dsBm.bmHeight - 1 - (r.top + y) : r.top + y;
            std::memcpy(&bits[static_cast<size_t>(y) * cx],
                        base + static_cast<size_t>(row) * dib.dsBm.bmWidthBytes + 4 * static_cast<size_t>(r.left),
                        4 * static_cast<size_t>(cx));
        }
        return true;
    }

    // A list kept in a device-dependent bitmap: its rows through GetDIBits.
    BITMAP bm;
    if (!GetObjectA(info.hbmImage, sizeof bm, &bm) || r.right > bm.bmWidth || r.bottom > bm.bmHeight) return false;
    std::vector<uint32_t> rows(static_cast<size_t>(bm.bmWidth) * cy);
    BITMAPINFO header = Header32(bm.bmWidth, bm.bmHeight);   // bottom-up: scan 0 is the bottom row
    const int got = GetDIBits(WindowDC(nullptr), info.hbmImage, bm.bmHeight - r.bottom, cy, rows.data(), &header,
                              DIB_RGB_COLORS);
    if (got != cy) return false;
    for (int y = 0; y < cy; ++y)
        std::memcpy(&bits[static_cast<size_t>(y) * cx], &rows[static_cast<size_t>(cy - 1 - y) * bm.bmWidth + r.left],
                    4 * static_cast<size_t>(cx));
    return true;
}

}  // namespace

HIMAGELIST CreateStripList(int pace, int initial) {
    return ImageList_Create(pace, pace, ILC_COLOR32, initial > 0 ? initial : 1, 1000);
}

int StripListPace(HIMAGELIST list) {
    int cx = 0, cy = 0;
    if (!list || !ImageList_GetIconSize(list, &cx, &cy)) return 0;
    return cx;
}

bool AppendStripImages(HIMAGELIST list, int pace, int count, const uint32_t* pixels) {
    if (!list || count <= 0) return count == 0;
    // The images side by side in one bitmap, which the list cuts into squares.
    const int width = pace * count;
    BITMAPINFO header = Header32(width, -pace);
    void* bits = nullptr;
    HBITMAP strip = CreateDIBSection(nullptr, &header, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!strip) return false;
    uint32_t* out = static_cast<uint32_t*>(bits);
    const size_t each = static_cast<size_t>(pace) * pace;
    for (int k = 0; k < count; ++k)
        for (int y = 0; y < pace; ++y)
            for (int x = 0; x < pace; ++x)
                out[static_cast<size_t>(y) * width + static_cast<size_t>(k) * pace + x] =
                    SwapRedBlue(pixels[k * each + static_cast<size_t>(y) * pace + x]);
    const int before = ImageList_GetImageCount(list);
    const bool added = ImageList_Add(list, strip, nullptr) >= 0 && ImageList_GetImageCount(list) == before + count;
    DeleteObject(strip);
    return added;
}

bool ReadStripImage(HIMAGELIST list, int index, uint32_t* pixels) {
    std::vector<uint32_t> bits;
    int pace = 0;
    if (!ReadListBits(list, index, bits, pace)) return false;
    for (size_t i = 0; i < bits.size(); ++i) pixels[i] = SwapRedBlue(bits[i]);
    return true;
}

void DrawStripImage(HDC hdc, HIMAGELIST list, int index, int x, int y, int size) {
    std::vector<uint32_t> bits;
    int pace = 0;
    if (!ReadListBits(list, index, bits, pace)) return;
    BITMAPINFO header = Header32(pace, -pace);
    const int oldMode = SetStretchBltMode(hdc, COLORONCOLOR);
    StretchDIBits(hdc, x, y, size, size, 0, 0, pace, pace, bits.data(), &header, DIB_RGB_COLORS, SRCCOPY);
    SetStretchBltMode(hdc, oldMode);
}
