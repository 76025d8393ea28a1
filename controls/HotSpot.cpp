// The hot-spot read-out above the board: "Hot spot:" and the coordinates.
#include <cstdio>
#include "controls/Controls.h"
#include "platform/ChildWindow.h"
#include "platform/Gdi.h"
#include "document/Document.h"

void HotSpotText(char* out) {
    wsprintfA(out, "X=%3u Y=%3u", static_cast<unsigned>(CursorStr.HotX), static_cast<unsigned>(CursorStr.HotY));
}

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
        HotSpotText(text);
        DrawTextA(hdc, text, -1, &rc, DT_CENTER | DT_BOTTOM | DT_SINGLELINE);
    }
    EndPaint(hwnd, &ps);
}

LRESULT CALLBACK HotSpotWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (ChildWindowMessage(hwnd, message, PaintHotSpot, &result)) return result;
    return DefWindowProcA(hwnd, message, wParam, lParam);
}
