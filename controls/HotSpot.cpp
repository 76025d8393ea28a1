// The hot-spot read-out above the board: "Hot spot:" and the coordinates.
#include <cstdio>
#include "controls/Controls.h"
#include "document/Document.h"

static void PaintHotSpot(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    RECT rc;
    GetClientRect(hwnd, &rc);
    HBRUSH red = CreateSolidBrush(RGB(207, 31, 31));
    FillRect(hdc, &rc, red);
    LOGFONTA lf = {};
    lf.lfHeight = -MulDiv(9, GetDeviceCaps(hdc, LOGPIXELSY), 72);
    lf.lfWidth = 5;
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = OEM_CHARSET;
    lstrcpyA(lf.lfFaceName, "Arial");
    HFONT font = CreateFontIndirectA(&lf);
    HGDIOBJ oldFont = SelectObject(hdc, font);
    SetBkMode(hdc, TRANSPARENT);
    DrawTextA(hdc, "Hot spot:", -1, &rc, DT_CENTER | DT_SINGLELINE);
    char text[32];
    wsprintfA(text, "X=%3u Y=%3u", static_cast<unsigned>(CursorStr.HotX),
              static_cast<unsigned>(CursorStr.HotY));
    DrawTextA(hdc, text, -1, &rc, DT_CENTER | DT_BOTTOM | DT_SINGLELINE);
    SelectObject(hdc, oldFont);
    DeleteObject(font);
    DeleteObject(red);
    EndPaint(hwnd, &ps);
}

LRESULT CALLBACK HotSpotWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: return 1;
    case WM_PAINT: PaintHotSpot(hwnd); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}
