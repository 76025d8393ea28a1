// The resolution dialog: size, colour depth and picture mode chosen with
// radio buttons and applied together on OK. It is modeless and closes by
// handing the focus back to the main window, which destroys it.
#include "controls/Controls.h"
#include "controls/Dialogs.h"
#include "document/Document.h"
#include "document/IcColors.h"
#include "formats/FileErrors.h"
#include "formats/win32/IconFile.h"
#include "resources/Ids.h"
#include "strip/ToolBarStrip.h"

// The choices live across openings; each opening sets them from the menus.
static int j;       // chosen size: 0 16x16, 1 32x32
static int XxX;     // size in force
static int c;       // chosen depth rank: 0 1 bit .. 3 24 bit
static int CxC;     // depth rank last applied
static int cTool;   // chosen mode: 0 icon, 1 toolbar

// The main window, which owns the dialog.
static HWND MainWindow;

static void CloseResolution() { SendMessageA(MainWindow, WM_SETFOCUS, 0, 0); }

static void InitResolution(HWND hDlg, LPARAM faces) {
    MainWindow = GetParent(hDlg);
    SendDlgItemMessageA(hDlg, IDC_RESOK, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(OkFace(faces)));
    CreateDialogFace(hDlg, RGB(60, 0, 180));
    XxX = j = FormatTable[OpenPaceMessageToMenu].Pace == 32 ? 1 : 0;
    CheckRadioButton(hDlg, IDC_RES16, IDC_RES32, IDC_RES16 + j);
    c = DepthRankOf(OpenPaceMessageToMenu);
    CheckRadioButton(hDlg, IDC_RESDEPTH1, IDC_RESDEPTH24, IDC_RESDEPTH1 + c);
    cTool = MenuStr.IconMode == 1 ? 0 : 1;
    CheckRadioButton(hDlg, IDC_RESICONMODE, IDC_RESTOOLBARMODE, IDC_RESICONMODE + cTool);
}

// Leaving toolbar mode: the save dialog is the question, and Cancel still
// empties the strip. A save that was chosen but failed keeps the strip:
// false, and nothing of the dialog's choice applies. The icon left is
// unnamed, as the menu's Icon mode leaves it, so Save never writes it over
// the strip's bitmap.
static bool OfferStripAndDiscard() {
    UpdateWindow(ToolBarStr.hStripWnd);   // requests still pending take effect first
    StripImages strip;
    if (const int code = CopyStripImages(strip); code != FileOk) {
        ReportFileError(code);
        return false;
    }
    PopFileInitialize(MainWindow, 2);
    int saved = FileFlag;
    if (SaveAsk(MainWindow, VirtualScreen, OpenPaceMessageToMenu, &saved, &strip) == SaveFailed) return false;
    LeaveToolbarMode();
    return true;
}

static void ApplyResolution() {
    if (cTool == 1 && ToolBarStr.StripActive == 1) { CloseResolution(); return; }
    // The strip is offered before the size changes, so a failed save can
    // leave the strip, the board and the mode as they were.
    if (cTool == 0 && ToolBarStr.StripActive == 1 && !OfferStripAndDiscard()) { CloseResolution(); return; }
    if (j != XxX) {
        const int size = j == 1 ? 32 : 16;
        DimeChange(size, 48 - size, VirtualScreen);
        RescaleHotSpot(size, 48 - size);
    }
    XxX = j;
    CxC = c;
    // The main window applies the format and puts every check on the menus.
    SendMessageA(MainWindow, WM_FORMATINDEX, 0, FormatIndex(XxX == 1 ? 32 : 16, CxC));
    // The new strip takes the picture at its new size; a strip in force
    // returned above, so none is replaced here.
    if (cTool == 1) {
        EnterToolbarMode();
        UpdateMenu();
    }
    CloseResolution();
}

static void ResolutionCommand(int id) {
    if (id == IDC_RES16 || id == IDC_RES32) j = id - IDC_RES16;
    else if (id >= IDC_RESDEPTH1 && id <= IDC_RESDEPTH24) c = id - IDC_RESDEPTH1;
    else if (id == IDC_RESICONMODE) cTool = 0;
    else if (id == IDC_RESTOOLBARMODE) cTool = 1;
    else if (id == IDC_RESOK) ApplyResolution();
}

INT_PTR CALLBACK Resolution(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam) {
    INT_PTR result = FALSE;
    if (DialogFaceMessage(hDlg, message, wParam, lParam, &result)) return result;
    switch (message) {
    case WM_INITDIALOG: InitResolution(hDlg, lParam); return TRUE;
    case WM_CTLCOLORSTATIC:   // the radios, group boxes, pictures and text on the face too
        SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        return reinterpret_cast<INT_PTR>(DialogFace(hDlg));
    case WM_COMMAND: ResolutionCommand(LOWORD(wParam)); return TRUE;
    case WM_DESTROY:
        DeleteDialogFace(hDlg);
        return FALSE;
    default: return FALSE;
    }
}
