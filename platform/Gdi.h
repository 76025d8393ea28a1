// Small owners of the GDI objects a paint or a conversion makes, so that
// each is released in the function that made it, in reverse order, on
// every path, and no object is deleted while still selected.
#pragma once
#include <windows.h>

// A handle released by Release at the end of the scope.
template <typename Handle, typename Release>
class Owner {
public:
    explicit Owner(Handle handle) : h(handle) {}
    ~Owner() {
        if (h) Release()(h);
    }
    Owner(const Owner&) = delete;
    Owner& operator=(const Owner&) = delete;
    operator Handle() const { return h; }

private:
    Handle h;
};

struct DeleteContext { void operator()(HDC dc) const { DeleteDC(dc); } };
struct DeleteGdiObject { void operator()(HGDIOBJ object) const { DeleteObject(object); } };

// A memory device context compatible with another one (the screen's when
// none is given).
class MemoryDC : public Owner<HDC, DeleteContext> {
public:
    explicit MemoryDC(HDC like = nullptr) : Owner(CreateCompatibleDC(like)) {}
};

// A window's device context (the screen's for no window), released at the
// end of the scope.
class WindowDC {
public:
    explicit WindowDC(HWND window) : hwnd(window), dc(GetDC(window)) {}
    ~WindowDC() {
        if (dc) ReleaseDC(hwnd, dc);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    operator HDC() const { return dc; }
private:
    HWND hwnd;
    HDC dc;
};

// A GDI object (bitmap, pen, brush, font) deleted at the end of the scope;
// declare it before the Selected that holds it, so it is deselected first.
template <typename Handle>
using Owned = Owner<Handle, DeleteGdiObject>;

// An object selected into a context until the end of the scope.
class Selected {
public:
    Selected(HDC context, HGDIOBJ object) : dc(context), old(SelectObject(context, object)) {}
    ~Selected() { SelectObject(dc, old); }
    Selected(const Selected&) = delete;
    Selected& operator=(const Selected&) = delete;

private:
    HDC dc;
    HGDIOBJ old;
};

// The header of a 32-bit bitmap in blue, green, red order; a negative
// height puts the top row first.
inline BITMAPINFO Header32(int width, int height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// Reads an edge x edge bitmap as 32-bit rows, top row first, in the
// platform's blue-green-red order.
inline void ReadTopDownRows(HDC hdc, HBITMAP bitmap, int edge, void* pixels) {
    BITMAPINFO bi = Header32(edge, -edge);
    GetDIBits(hdc, bitmap, 0, edge, pixels, &bi, DIB_RGB_COLORS);
}

// The program's fonts: a face at a size in points (at the context's
// resolution) with an average character width in pixels, normal weight,
// the OEM character set, everything else the default.
inline HFONT CreatePointFont(HDC dc, int points, int width, const char* face) {
    LOGFONTA lf = {};
    lf.lfHeight = -MulDiv(points, GetDeviceCaps(dc, LOGPIXELSY), 72);
    lf.lfWidth = width;
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = OEM_CHARSET;
    lstrcpynA(lf.lfFaceName, face, LF_FACESIZE);
    return CreateFontIndirectA(&lf);
}

// A one-pixel solid pen of its own for one line; the end point is not drawn.
inline void PenLine(HDC dc, int x0, int y0, int x1, int y1, COLORREF colour) {
    Owned<HPEN> pen(CreatePen(PS_SOLID, 1, colour));
    Selected with(dc, pen);
    MoveToEx(dc, x0, y0, nullptr);
    LineTo(dc, x1, y1);
}

// An off-screen picture of a window's client size: paint into it, then
// copy the part that needs it to the window in one step.
class Offscreen {
public:
    Offscreen(HDC window, int width, int height)
        : memory(window), bitmap(CreateCompatibleBitmap(window, width, height)), selected(memory, bitmap) {}
    operator HDC() const { return memory; }
    void CopyTo(HDC window, const RECT& part) const {
        BitBlt(window, part.left, part.top, part.right - part.left, part.bottom - part.top, memory, part.left,
               part.top, SRCCOPY);
    }

private:
    MemoryDC memory;
    Owned<HBITMAP> bitmap;
    Selected selected;
};
