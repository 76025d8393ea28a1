// The save-changes prompt: "Save changes to icon '...' ?" with bitmap
// buttons Yes, No and Cancel on the violet face.
#include "controls/Dialogs.h"
#include "platform/Gdi.h"
#include "platform/WideNames.h"
#include "document/Document.h"
#include "resources/Ids.h"
#include "strip/ToolBarStrip.h"

int DialogExitCode;

static const COLORREF PromptFace = RGB(60, 0, 180);

// The question, by the document's name and mode (NameLength + 64 bytes).
static void SaveQuestion(char* out) {
    wsprintfA(out, "%s%s%1s", ToolBarStr.StripActive ? "Save changes to bitmap '" : "Save changes to icon '",
              szFileName[0] ? szFileName : "New", "' ?");
}

// The question is the text of its static, which the prompt draws itself:
// green on violet, centred and wrapped.
static void DrawQuestion(const DRAWITEMSTRUCT* item, HBRUSH face) {
    wchar_t text[NameLength + 64];
    GetWindowTextW(item->hwndItem, text, NameLength + 64);
    RECT rc = item->rcItem;
    FillRect(item->hDC, &rc, face);
    const int oldMode = SetBkMode(item->hDC, OPAQUE);
    const COLORREF oldBk = SetBkColor(item->hDC, RGB(60, 0, 200));
    const COLORREF oldInk = SetTextColor(item->hDC, RGB(0, 255, 0));
    Selected font(item->hDC, GetStockObject(SYSTEM_FONT));   // the face the prompt always had
    rc.left += 3;
    rc.right -= 3;
    DrawTextW(item->hDC, text, -1, &rc, DT_CENTER | DT_WORDBREAK);
    SetTextColor(item->hDC, oldInk);
    SetBkColor(item->hDC, oldBk);
    SetBkMode(item->hDC, oldMode);
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
    case WM_INITDIALOG: {
        for (int i = 0; i < 3; ++i)
            SendDlgItemMessageA(hDlg, IDC_SAVEYES + i, BM_SETIMAGE, IMAGE_BITMAP,
                                reinterpret_cast<LPARAM>(reinterpret_cast<const HBITMAP*>(lParam)[i]));
        CreateDialogFace(hDlg, PromptFace);
        char question[NameLength + 64];
        SaveQuestion(question);
        SetDlgItemTextW(hDlg, IDC_SAVETEXT, WideText(question).c_str());
        return TRUE;
    }
    case WM_DRAWITEM:
        if (wParam != IDC_SAVETEXT) return FALSE;
        DrawQuestion(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam), DialogFace(hDlg));
        return TRUE;
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
    // A wide dialog, so its question holds any name as the user wrote it.
    DialogBoxParamW(inst, L"AboutSave", owner, AboutSave, reinterpret_cast<LPARAM>(faces));
    return DialogExitCode;
}
