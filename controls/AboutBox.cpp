// The About box: the "Myavi" animation playing endlessly beside four lines
// of text on the violet face.
#include <windows.h>
#include <commctrl.h>
#include "controls/Dialogs.h"
#include "platform/Gdi.h"
#include "resources/Ids.h"
#include "resources/Names.h"


static const char* const AboutLines[4] = {
    "Pixtor 1.0.0",
    "Icons and cursors, 16x16 and 32x32",
    "1, 4, 8 and 24 bits, toolbar strips",
    "Made by the Pixtor team",
};

static void PaintAboutLines(HWND hDlg) {
    WindowDC hdc(hDlg);
    SetTextColor(hdc, 0x00FFFF00);
    SetBkMode(hdc, TRANSPARENT);
    for (int i = 0; i < 4; ++i) {
        RECT rc;
        GetClientRect(hDlg, &rc);
        rc.bottom += -90 + 40 * i;   // each line 20 pixels below the one before
        DrawTextA(hdc, AboutLines[i], -1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
}

INT_PTR CALLBACK AboutMe(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam) {
    INT_PTR result = FALSE;
    if (DialogFaceMessage(hDlg, message, wParam, lParam, &result)) return result;
    switch (message) {
    case WM_INITDIALOG: {
        SendDlgItemMessageA(hDlg, IDC_ABOUTOK, BM_SETIMAGE, IMAGE_BITMAP,
                            reinterpret_cast<LPARAM>(OkFace(lParam)));
        CreateDialogFace(hDlg, RGB(60, 0, 180));
        HWND animation = GetDlgItem(hDlg, IDC_ANIMATION);
        SetFocus(animation);
        SendMessageA(animation, ACM_OPENA, 0, reinterpret_cast<LPARAM>(AboutClipName));
        SendMessageA(animation, ACM_PLAY, static_cast<WPARAM>(-1), MAKELPARAM(0, 0xFFFF));
        return TRUE;
    }
    case WM_PAINT:
        PaintAboutLines(hDlg);
        return FALSE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_ABOUTOK) EndDialog(hDlg, 0);
        return TRUE;
    case WM_DESTROY:
        DeleteDialogFace(hDlg);
        return FALSE;
    }
    return FALSE;
}
