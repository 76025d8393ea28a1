// Control makers, bitmap buttons and the two command toolbars.
#include "controls/Controls.h"
#include "platform/Gdi.h"
#include <commctrl.h>
#include <cstring>
#include <iterator>
#include "document/Document.h"
#include "resources/Ids.h"
#include "resources/Names.h"

HWND OwnerDrawButton[BitmapButtonCount + 1];
HBITMAP OwnerDrawFace[2 * BitmapButtonCount];
HBITMAP CloseCleaner[2];

static HWND MakeControl(DWORD exStyle, const char* cls, const char* text, DWORD style,
                        HINSTANCE inst, HWND parent, int x, int y, int cx, int cy, int id) {
    return CreateWindowExA(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, cx, cy,
                           parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), inst, nullptr);
}

HWND StaticCallEx(HINSTANCE inst, HWND parent, int x, int y, int cx, int cy, int id) {
    return MakeControl(WS_EX_STATICEDGE, "STATIC", "-----", 0, inst, parent, x, y, cx, cy, id);
}

HWND OwnButtonIconEx(HINSTANCE inst, HWND parent, int x, int y, int cx, int cy, int id) {
    return MakeControl(0, "STATIC", "", 0, inst, parent, x, y, cx, cy, id);
}

HWND PaleteButtonEx(HINSTANCE inst, HWND parent, int x, int y, int cx, int cy, int id) {
    return MakeControl(WS_EX_STATICEDGE, "BUTTON", "", BS_OWNERDRAW, inst, parent, x, y, cx, cy, id);
}

HWND CreateOwnerDrawButton(HINSTANCE inst, HWND parent, int x, int y, int cx, int cy, int id) {
    return MakeControl(0, "BUTTON", "", BS_OWNERDRAW, inst, parent, x, y, cx, cy, id);
}

// ---- Bitmap button faces --------------------------------------------------

static_assert(std::size(FaceNames) == BitmapButtonCount, "faces for every bitmap button");

// Every face gets the window's blue-violet behind its picture, whatever
// background the picture was drawn on.
constexpr COLORREF FaceBackground = 0x00C8001E;

void OwnerDrawBitmapLoader(HINSTANCE inst) {
    for (int k = 0; k < BitmapButtonCount; ++k)
        for (int face = 0; face < 2; ++face)
            OwnerDrawFace[2 * k + face] =
                OwnerDrawBitmapPainter(LoadBitmapA(inst, FaceNames[k][face]));
}

HBITMAP OwnerDrawBitmapPainter(HBITMAP bitmap) {
    if (!bitmap) return bitmap;
    MemoryDC memory;
    Selected face(memory, bitmap);
    Owned<HBRUSH> brush(CreateSolidBrush(FaceBackground));
    Selected paint(memory, brush);
    ExtFloodFill(memory, 0, 0, GetPixel(memory, 0, 0), FLOODFILLSURFACE);
    return bitmap;
}

void OwnerDrawBitmapCleaner() {
    for (HBITMAP& face : OwnerDrawFace) {
        if (face) DeleteObject(face);
        face = nullptr;
    }
}

void DrawOwnerDrawButton(HWND, WPARAM id, LPARAM drawItem) {
    if (id < IDC_BITMAPFIRST || id > IDC_BITMAPLAST) return;
    const DRAWITEMSTRUCT* item = reinterpret_cast<const DRAWITEMSTRUCT*>(drawItem);
    int k = static_cast<int>(id) - IDC_BITMAPFIRST;
    HBITMAP face = OwnerDrawFace[2 * k + ((item->itemState & ODS_SELECTED) ? 1 : 0)];
    int sourceHeight = (id == IDC_STRIPNEXT || id == IDC_STRIPPREV) ? 50 : 24;
    MemoryDC memory(item->hDC);
    Selected picture(memory, face);
    const RECT& r = item->rcItem;
    StretchBlt(item->hDC, r.left, r.top, r.right - r.left, r.bottom - r.top,
               memory, 0, 0, 24, sourceHeight, SRCCOPY);
}

// ---- Command toolbars -------------------------------------------------------

struct ToolButton { int Image; int Command; BYTE State; };

static const ToolButton CommandButtons[] = {
    {0, IDM_OPEN, TBSTATE_ENABLED},      {1, IDM_SAVE, TBSTATE_ENABLED},
    {2, IDM_UNDO, TBSTATE_ENABLED},      {3, IDM_UNDOBACK, TBSTATE_ENABLED},
    {4, IDM_SHOWGRID, TBSTATE_ENABLED},  {5, IDM_PALETTE, TBSTATE_ENABLED},
    {6, IDM_RESOLUTION, TBSTATE_ENABLED},
};

// The strip holds each tool's normal face, then its chosen face. The brush
// is in force at start, so its button starts with its chosen face.
static_assert(IDM_TOOLLAST - IDM_TOOLFIRST + 1 == ToolCount, "a command for every tool");
constexpr int ChosenFaceOffset = ToolCount;

static HWND MakeToolbar(HWND parent, HINSTANCE inst, const char* bitmapName, DWORD style,
                        int width, int height, int imageSize, HBITMAP* keep,
                        const ToolButton* buttons, int count) {
    HBITMAP bitmap = LoadBitmapA(inst, bitmapName);
    *keep = bitmap;
    HWND tb = CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr, style, 0, 0, width, height,
                              parent, nullptr, inst, nullptr);
    SendMessageA(tb, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(tb, TB_SETBITMAPSIZE, 0, MAKELPARAM(imageSize, imageSize));
    TBADDBITMAP images = {nullptr, reinterpret_cast<UINT_PTR>(bitmap)};
    SendMessageA(tb, TB_ADDBITMAP, 1, reinterpret_cast<LPARAM>(&images));
    TBBUTTON tbb[ToolCount] = {};
    for (int i = 0; i < count; ++i) {
        tbb[i].iBitmap = buttons[i].Image;
        tbb[i].idCommand = buttons[i].Command;
        tbb[i].fsState = buttons[i].State;
        tbb[i].fsStyle = TBSTYLE_BUTTON;
    }
    SendMessageA(tb, TB_ADDBUTTONSA, count, reinterpret_cast<LPARAM>(tbb));
    return tb;
}

HWND ToolBar(HWND parent, HINSTANCE inst) {
    static HWND hwndTB;
    hwndTB = MakeToolbar(parent, inst, ToolbarStripNames[0],
                         WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NODIVIDER,
                         500, 40, 32, &CloseCleaner[0], CommandButtons,
                         static_cast<int>(sizeof CommandButtons / sizeof CommandButtons[0]));
    SendMessageA(hwndTB, TB_AUTOSIZE, 0, 0);
    ShowWindow(hwndTB, SW_SHOW);
    return hwndTB;
}

HWND DrawToolBar(HWND parent, HINSTANCE inst) {
    static HWND hwndTB;
    ToolButton buttons[ToolCount];
    for (int t = 0; t < ToolCount; ++t)
        buttons[t] = {t == 0 ? ChosenFaceOffset : t, IDM_TOOLFIRST + t,
                      TBSTATE_ENABLED | TBSTATE_WRAP};
    hwndTB = MakeToolbar(parent, inst, ToolbarStripNames[1],
                         WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NODIVIDER |
                             CCS_NORESIZE,
                         0, 0, 24, &CloseCleaner[1], buttons, ToolCount);
    MoveWindow(hwndTB, 5, 135, 31, 270, FALSE);
    ShowWindow(hwndTB, SW_SHOW);
    return hwndTB;
}

void ShowChosenTool(HWND toolbar, int tool) {
    for (int t = 0; t < ToolCount; ++t)
        SendMessageA(toolbar, TB_CHANGEBITMAP, IDM_TOOLFIRST + t, MAKELPARAM(t, 0));
    SendMessageA(toolbar, TB_CHANGEBITMAP, IDM_TOOLFIRST + tool,
                 MAKELPARAM(tool + ChosenFaceOffset, 0));
}

void CreateDialogFace(HWND hDlg, COLORREF colour) {
    SetWindowLongPtrA(hDlg, DWLP_USER, reinterpret_cast<LONG_PTR>(CreateSolidBrush(colour)));
}

HBRUSH DialogFace(HWND hDlg) { return reinterpret_cast<HBRUSH>(GetWindowLongPtrA(hDlg, DWLP_USER)); }

bool DialogFaceMessage(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam, HBRUSH face, INT_PTR* result) {
    switch (message) {
    case WM_CTLCOLORDLG:
        SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        *result = reinterpret_cast<INT_PTR>(face);
        return true;
    case WM_LBUTTONDOWN:
        SendMessageA(hDlg, WM_NCLBUTTONDOWN, HTCAPTION, lParam);
        *result = TRUE;
        return true;
    }
    return false;
}

bool DialogFaceMessage(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) {
    return DialogFaceMessage(hDlg, message, wParam, lParam, DialogFace(hDlg), result);
}

void DeleteDialogFace(HWND hDlg) {
    if (HBRUSH brush = DialogFace(hDlg)) DeleteObject(brush);
    SetWindowLongPtrA(hDlg, DWLP_USER, 0);
}
