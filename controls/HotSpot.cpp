// The hot-spot read-out above the board: "Hot spot:" and the coordinates.
#include <cstdio>
#include "controls/Controls.h"
#include "controls/Gdi.h"
#include "document/Document.h"

static void PaintHotSpot(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    RECT rc;
    GetClientRect(hwnd, &rc);
    {
        Owned<HBRUSH> red(CreateSolidBrush(RGB(207, 31, 31)));
        FillRect(hdc, &rc, red);
        Owned<HFONT> font(CreatePointFont(hdc, 9, 5, "Arial"));
        Selected with(hdc, font);
        SetBkMode(hdc, TRANSPARENT);
        DrawTextA(hdc, "Hot spot:", -1, &rc, DT_CENTER | DT_SINGLELINE);
        char text[32];
        wsprintfA(text, "X=%3u Y=%3u", static_cast<unsigned>(CursorStr.HotX),
                  static_cast<unsigned>(CursorStr.HotY));
        DrawTextA(hdc, text, -1, &rc, DT_CENTER | DT_BOTTOM | DT_SINGLELINE);
    }
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
