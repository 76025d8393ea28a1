// The title strip: the mode picture and the file title in a violet band
// over the top of the main window while it is not focused.
#include "controls/Controls.h"
#include "formats/IconFile.h"

static const COLORREF StripFace = RGB(60, 0, 200);

// Each strip keeps its own brush: a second focus loss may make a second
// strip while the first still stands.
static HBRUSH StripBrush(HWND hDlg) {
    return reinterpret_cast<HBRUSH>(GetWindowLongPtrA(hDlg, DWLP_USER));
}

INT_PTR CALLBACK MenuBar(HWND hDlg, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(hDlg, DWLP_USER, reinterpret_cast<LONG_PTR>(CreateSolidBrush(StripFace)));
        return TRUE;
    case WM_CTLCOLORDLG:
        SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        return reinterpret_cast<INT_PTR>(StripBrush(hDlg));
    case WM_PAINT: {
        HDC hdc = GetDC(hDlg);
        RECT rc = {40, 15, 200, 40};
        SetBkColor(hdc, StripFace);
        SetBkMode(hdc, OPAQUE);
        SetTextColor(hdc, RGB(0, 255, 0));
        DrawTextA(hdc, szTitleName, -1, &rc, DT_BOTTOM);
        ReleaseDC(hDlg, hdc);
        return FALSE;
    }
    case WM_DESTROY:
        if (HBRUSH brush = StripBrush(hDlg)) DeleteObject(brush);
        SetWindowLongPtrA(hDlg, DWLP_USER, 0);
        return FALSE;
    }
    return FALSE;
}
