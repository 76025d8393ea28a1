// The title strip: the mode picture and the file title in a violet band
// over the top of the main window while it is not focused.
#include "controls/Dialogs.h"
#include "platform/Gdi.h"
#include "platform/WideNames.h"
#include "document/Document.h"

static const COLORREF StripFace = RGB(60, 0, 200);

// Each strip keeps its own brush: a second focus loss may make a second
// strip while the first still stands. The title is the strip's own text;
// the strip is a wide dialog, so the text holds any name as written.
INT_PTR CALLBACK MenuBar(HWND hDlg, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        CreateDialogFace(hDlg, StripFace);
        SetWindowTextW(hDlg, WideText(szTitleName).c_str());
        return TRUE;
    case WM_CTLCOLORDLG:
        SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        return reinterpret_cast<INT_PTR>(DialogFace(hDlg));
    case WM_PAINT: {
        wchar_t title[NameLength];
        GetWindowTextW(hDlg, title, NameLength);
        WindowDC hdc(hDlg);
        RECT rc = {40, 15, 200, 40};
        SetBkColor(hdc, StripFace);
        SetBkMode(hdc, OPAQUE);
        SetTextColor(hdc, RGB(0, 255, 0));
        DrawTextW(hdc, title, -1, &rc, DT_BOTTOM);
        return FALSE;
    }
    case WM_DESTROY:
        DeleteDialogFace(hDlg);
        return FALSE;
    }
    return FALSE;
}
