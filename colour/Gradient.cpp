// The gradient picker. The band shows the mixed colour and takes it as the
// drawing colour; the four quadrants above it show ramps of the colour and
// ask the main window for the matching gradient fill. Three sliders set the
// blue, green and red channels. Both windows paint into a memory bitmap and
// copy it in one step, so their many one-pixel lines do not flicker.
#include "colour/Gradient.h"

#include <algorithm>
#include <cstdio>

#include "colour/Palette.h"
#include "platform/ChildWindow.h"
#include "platform/Gdi.h"
#include "document/Document.h"
#include "resources/Ids.h"

HWND Gradient;
HWND OwnScroller[3];
int MixedRed, MixedGreen, MixedBlue;
int Red, Green, Blue;
int Scale = 3;

void InitGradient() {
    MixedRed = MixedGreen = MixedBlue = 0;
    Red = Green = Blue = 0;
}

COLORREF MixedColour() { return RGB(MixedRed & 0xFF, MixedGreen & 0xFF, MixedBlue & 0xFF); }

// The bounds come first, then the cut to a byte.
static COLORREF Brighter(int k) {
    return RGB(std::min(MixedRed + k, 250) & 0xFF, std::min(MixedGreen + k, 250) & 0xFF,
               std::min(MixedBlue + k, 250) & 0xFF);
}

static COLORREF Darker(int k) {
    return RGB(std::max(MixedRed - k, 3) & 0xFF, std::max(MixedGreen - k, 3) & 0xFF,
               std::max(MixedBlue - k, 3) & 0xFF);
}

struct GradientGeometry {
    int band, middle, centre;   // Yb, Ym, Xm
};

static GradientGeometry GeometryOf(int width, int height) {
    int band = height - 30;
    return {band, band / 2, width / 2};
}

void PaintGradientPicture(HDC hdc, int width, int height) {
    const GradientGeometry g = GeometryOf(width, height);
    for (int y = g.band; y < height; ++y) PenLine(hdc, 0, y, width, y, MixedColour());
    for (int x = 0; x < g.centre; ++x) PenLine(hdc, x, 0, x, g.middle, Brighter(3 * x));
    for (int x = g.centre; x < width; ++x) PenLine(hdc, x, 0, x, g.middle, Darker(3 * (x - g.centre)));
    for (int y = g.middle; y < g.band; ++y) {
        PenLine(hdc, 0, y, g.centre, y, Brighter(3 * (y - g.middle)));
        PenLine(hdc, g.centre, y, width, y, Darker(3 * (y - g.middle)));
    }
    const COLORREF separator = RGB(44, 44, 44);
    PenLine(hdc, g.centre, 0, g.centre, g.band, separator);
    PenLine(hdc, 0, g.band, width, g.band, separator);
    PenLine(hdc, 0, g.middle, width, g.middle, separator);

    // The read-out in the middle of the band, in the inverse of the band.
    SetTextColor(hdc, ~GetPixel(hdc, 3, height - 3) & 0x00FFFFFF);
    SetBkMode(hdc, TRANSPARENT);
    Owned<HFONT> font(CreatePointFont(hdc, 9, 4, "Arial"));
    Selected with(hdc, font);
    char text[32];
    std::snprintf(text, sizeof text, "b%3u g%3u r%3u", unsigned(MixedBlue), unsigned(MixedGreen),
                  unsigned(MixedRed));
    RECT rc = {0, 0, width, height + 70};
    DrawTextA(hdc, text, -1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

// Paints a window through a memory bitmap of its client size and copies the
// part that needs it.
template <typename Painter>
static void PaintBuffered(HWND hwnd, Painter paint) {
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    RECT rc;
    GetClientRect(hwnd, &rc);
    {
        Offscreen picture(hdc, rc.right, rc.bottom);
        PatBlt(picture, 0, 0, rc.right, rc.bottom, BLACKNESS);
        paint(static_cast<HDC>(picture), rc.right, rc.bottom);
        picture.CopyTo(hdc, ps.rcPaint);
    }
    EndPaint(hwnd, &ps);
}

// A click in the band takes the mixed colour; a click above it asks for
// the quadrant's fill. Points on the separators count as the last quadrant.
static void GradientClick(HWND hwnd, LPARAM lParam) {
    unsigned x = LOWORD(lParam), y = HIWORD(lParam);
    RECT rc;
    GetClientRect(hwnd, &rc);
    const GradientGeometry g = GeometryOf(rc.right, rc.bottom);
    const int xs = int(x), ys = int(y);
    if (ys > g.band) {
        ColorTable[0] = MixedColour();
        SetPaletteBrush(0, ColorTable[0]);
    } else {
        int command = IDM_GRADFIRST + 3;
        if (xs < g.centre && ys < g.middle) command = IDM_GRADFIRST;
        else if (xs > g.centre && ys < g.middle) command = IDM_GRADFIRST + 1;
        else if (xs < g.centre && ys > g.middle) command = IDM_GRADFIRST + 2;
        SendMessageA(GetParent(hwnd), WM_COMMAND, command, 0);
    }
    MouseBit = 1;
}

static void PaintGradient(HWND hwnd) { PaintBuffered(hwnd, PaintGradientPicture); }

LRESULT CALLBACK GradWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (ChildWindowMessage(hwnd, message, PaintGradient, &result)) return result;
    switch (message) {
    case WM_LBUTTONDOWN: GradientClick(hwnd, lParam); return 0;
    default: return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

static int SliderOf(HWND hwnd) {
    for (int i = 0; i < 3; ++i)
        if (OwnScroller[i] == hwnd) return i;
    return 2;
}

static int& ThumbOf(int slider) { return slider == 0 ? Blue : slider == 1 ? Green : Red; }
static int& ChannelOf(int slider) { return slider == 0 ? MixedBlue : slider == 1 ? MixedGreen : MixedRed; }

// Own channel at 80 i (frame) or a ramp value, 40 or 0 in the other two.
static COLORREF SliderColour(int slider, int own, int other) {
    switch (slider) {
    case 0: return RGB(other, other, own);
    case 1: return RGB(other, own, other);
    default: return RGB(own, other, other);
    }
}

void PaintSliderPicture(HDC hdc, int width, int height, int slider) {
    Selected hollow(hdc, GetStockObject(NULL_BRUSH));
    for (int i = 0; i < 4; ++i) {
        Owned<HPEN> pen(CreatePen(PS_SOLID, 1, SliderColour(slider, 80 * i, 40)));
        Selected with(hdc, pen);
        Rectangle(hdc, i, i, width - i - 1, height - i - 1);
    }
    for (int y = 4; y <= height - 5; ++y) PenLine(hdc, 4, y, width - 5, y, SliderColour(slider, (3 * y + 30) % 256, 0));
    int& thumb = ThumbOf(slider);
    if (thumb < 0) thumb = 0;
    for (int i = 0; i < 4; ++i) {
        Owned<HPEN> pen(CreatePen(PS_SOLID, 1, RGB(0, 50 * i, 60 * i + 30)));
        Selected with(hdc, pen);
        Ellipse(hdc, 2 + i, thumb + i, 15 - i, thumb + 13 - i);
    }
}

// Dragging with the left button alone sets the channel from the pointer's
// height. Above the slider the captured pointer arrives as a large unsigned
// value and changes nothing; up to 4 pixels below counts as the bottom.
static void SliderDrag(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    unsigned y = HIWORD(lParam);
    const unsigned height = unsigned(rc.bottom);
    if (y > height + 4) return;
    y = std::min(y, height);
    MouseBit = 1;
    if (wParam != MK_LBUTTON) return;
    const int slider = SliderOf(hwnd);
    ThumbOf(slider) = int(y) - 10;
    InvalidateRect(hwnd, nullptr, FALSE);
    ChannelOf(slider) = int(y) * Scale;
    InvalidateRect(Gradient, nullptr, FALSE);
}

static void SliderCreate(HWND hwnd) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    if (rc.bottom > 0) Scale = 256 / rc.bottom;
}

static void PaintSlider(HWND hwnd) {
    const int slider = SliderOf(hwnd);
    PaintBuffered(hwnd, [slider](HDC mem, int w, int h) { PaintSliderPicture(mem, w, h, slider); });
}

LRESULT CALLBACK GradScrollWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) SliderCreate(hwnd);
    LRESULT result = 0;
    if (ChildWindowMessage(hwnd, message, PaintSlider, &result)) return result;
    switch (message) {
    case WM_LBUTTONDOWN: SetCapture(hwnd); return 0;
    case WM_LBUTTONUP: ReleaseCapture(); return 0;
    case WM_MOUSEMOVE: SliderDrag(hwnd, wParam, lParam); return 0;
    default: return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}
