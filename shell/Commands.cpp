// WM_COMMAND: one line per command id, each calling one small function.
#include "colour/Palette.h"
#include "controls/Controls.h"
#include "controls/Prompt.h"
#include "document/Document.h"
#include "document/IcColors.h"
#include "document/Undo.h"
#include "shell/Ids.h"
#include "shell/Shell.h"
#include "strip/ToolBarStrip.h"

static void RepaintBoard() { InvalidateRect(hwndChild, nullptr, FALSE); }

static void ChooseTool(int tool) {
    DrawBar.StartX = DrawBar.StartY = DrawBar.EndX = DrawBar.EndY = NoShapePending;
    CursorShape = tool;
    DrawBar.Tool = tool;
    ShowChosenTool(hDrawTB, tool);
}

static void ToggleGrid() {
    boolGreed = !boolGreed;
    MenuStr.ShowGrid = boolGreed == 0 ? 1 : 0;
    UpdateMenu();
    RepaintBoard();
}

static void ChooseGridStyle(bool simple) {
    MenuStr.SimpleGrid = simple ? 1 : 0;
    MenuStr.InversionGrid = simple ? 0 : 1;
    UpdateMenu();
    RepaintBoard();
}

static void StepUndo(int direction) {
    DinamicRestore(direction);
    RepaintBoard();
}

static void ChangeSize(HWND hwnd, int size) {
    if (ToolBarStr.StripActive || Pace == size) return;
    NeedToSave = 1;
    int old = Pace;
    Pace = size;
    DimeChange(size, old, VirtualScreen);
    MenuStr.Size16 = size == 16;
    MenuStr.Size32 = size == 32;
    UpdateMenu();
    OpenPaceMessageToMenu += size == 32 ? 1 : -1;
    SendMessageA(hwnd, WM_USER, 0, OpenPaceMessageToMenu);
    InvalidateRect(hIcon, nullptr, TRUE);
    InvalidateRect(hwndChild, nullptr, size == 32);
}

static void ChangeDepth(HWND hwnd, int rank) {
    if (!ToolBarStr.StripActive) {
        MenuStr.Depth24 = MenuStr.Depth8 = MenuStr.Depth4 = MenuStr.Depth1 = 0;
        SendMessageA(hwnd, WM_USER, 0, 2 * rank + (Pace != 16 ? 1 : 0));
    }
    UpdateMenu();
    InvalidateRect(hwnd, nullptr, TRUE);
}

static void Nudge(int command) {
    DinamicSave();
    NeedToSave = 1;
    NudgeImage(command, VirtualScreen, Pace);
    DrawBar.StartX = DrawBar.StartY = DrawBar.EndX = DrawBar.EndY = NoShapePending;
    RepaintBoard();
}

static void ChoosePaletteColour(HWND hwnd, int id) {
    ColorTable[0] = crCustColors[id - IDC_PALETTEFIRST];
    SetPaletteBrush(0, ColorTable[0]);
    SetFocus(hwnd);
}

// Until saving exists, leaving with unsaved changes must be confirmed.
static void Exit(HWND hwnd) {
    if (NeedToSave &&
        Ask(hwnd, "Current image is not saved. Exit anyway?", "Pixtor", MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
        return;
    DestroyWindow(hwnd);
}

void OnCommand(HWND hwnd, int id) {
    if (id >= IDM_TOOLFIRST && id <= IDM_TOOLLAST) { ChooseTool(id - IDM_TOOLFIRST); return; }
    if (id >= IDC_PALETTEFIRST && id <= IDC_PALETTELAST) { ChoosePaletteColour(hwnd, id); return; }
    if (id >= IDM_DEPTH1 && id <= IDM_DEPTH24) { ChangeDepth(hwnd, id - IDM_DEPTH1); return; }
    if (id >= IDC_NUDGEUP && id <= IDC_NUDGELEFT) { Nudge(id); return; }
    switch (id) {
    case IDM_EXIT: Exit(hwnd); break;
    case IDM_UNDO: StepUndo(0); break;
    case IDM_UNDOBACK: StepUndo(1); break;
    case IDM_MINIMISE: SendMessageA(hwnd, WM_SYSCOMMAND, SC_MINIMIZE, 0); break;
    case IDM_SHOWGRID: ToggleGrid(); break;
    case IDM_GRIDSIMPLE: ChooseGridStyle(true); break;
    case IDM_GRIDINVERSION: ChooseGridStyle(false); break;
    case IDM_SIZE16: ChangeSize(hwnd, 16); break;
    case IDM_SIZE32: ChangeSize(hwnd, 32); break;
    case IDC_SWATCH: SetFocus(hwnd); break;
    case IDC_STRIPADD: case IDC_STRIPDELETE: case IDC_STRIPUPDATE: case IDC_STRIPGET:
        SetFocus(hwnd);
        break;
    default: break;   // the file, dialog and strip commands come with their own work
    }
}
