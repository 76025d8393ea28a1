// The save-changes prompt: "Save changes to icon '...' ?" with bitmap
// buttons Yes, No and Cancel on the violet face.
#include "controls/Dialogs.h"
#include "platform/Gdi.h"
#include "document/Document.h"
#include "resources/Ids.h"
#include "strip/ToolBarStrip.h"

int DialogExitCode;

static const COLORREF PromptFace = RGB(60, 0, 180);

void SaveQuestion(char* out) {
    wsprintfA(out, "%s%s%1s", ToolBarStr.StripActive ? "Save changes to bitmap '" : "Save changes to icon '",
              szFileName[0] ? szFileName : "New", "' ?");
}

static void PaintQuestion(HWND hDlg) {
    HWND question = GetDlgItem(hDlg, IDC_SAVETEXT);
    InvalidateRect(question, nullptr, TRUE);
    UpdateWindow(question);
    RECT rc;
    GetClientRect(question, &rc);
    WindowDC hdc(question);
    FillRect(hdc, &rc, DialogFace(hDlg));
    SetBkColor(hdc, RGB(60, 0, 200));
    SetTextColor(hdc, RGB(0, 255, 0));
    char text[NameLength + 64];
    SaveQuestion(text);
    rc.left += 3;
    rc.right -= 3;
    DrawTextA(hdc, text, -1, &rc, DT_CENTER | DT_WORDBREAK);
}

static void EndPrompt(HWND hDlg, int code) {
    DialogExitCode = code;
    DeleteDialogFace(hDlg);
    EndDialog(hDlg, 0);
}

INT_PTR CALLBACK AboutSave(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam) {
    INT_PTR result = FALSE;
    if (DialogFaceMessage(hDlg, message, wParam, lParam, &result)) return result;
    switch (message) {
    case WM_INITDIALOG:
        for (int i = 0; i < 3; ++i)
            SendDlgItemMessageA(hDlg, IDC_SAVEYES + i, BM_SETIMAGE, IMAGE_BITMAP,
                                reinterpret_cast<LPARAM>(reinterpret_cast<const HBITMAP*>(lParam)[i]));
        CreateDialogFace(hDlg, PromptFace);
        return TRUE;
    case WM_PAINT:
        PaintQuestion(hDlg);
        return FALSE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_SAVEYES: EndPrompt(hDlg, 0); break;
        case IDC_SAVENO: EndPrompt(hDlg, 1); break;
        case IDC_SAVECANCEL: EndPrompt(hDlg, 2); break;
        }
        return TRUE;
    }
    return FALSE;
}

int RunSavePrompt(HWND owner, const HBITMAP* faces) {
    HINSTANCE inst = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(owner, GWLP_HINSTANCE));
    DialogBoxParamA(inst, "AboutSave", owner, AboutSave, reinterpret_cast<LPARAM>(faces));
    return DialogExitCode;
}
