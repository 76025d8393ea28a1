// The main window: its children, paint, hints, menu states, colours, the
// drag band, focus handling and the format message.
#include <windows.h>
#include <commctrl.h>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <iterator>
#include "colour/Gradient.h"
#include "colour/Palette.h"
#include "controls/Controls.h"
#include "controls/Dialogs.h"
#include "platform/ChildWindow.h"
#include "platform/Gdi.h"
#include "platform/SystemLibraries.h"
#include "platform/WideNames.h"
#include "board/Board.h"
#include "document/Document.h"
#include "document/Undo.h"
#include "formats/FileErrors.h"
#include "formats/win32/IconFile.h"
#include "resources/Ids.h"
#include "resources/Names.h"
#include "shell/Layout.h"
#include "shell/Shell.h"
#include "strip/ToolBarStrip.h"

HWND hWinMain, hMenuDialogue;
HWND hStatImage, hStatBar, hIcon, hwndChild, hDrawTB;
HBITMAP hBmp, hStBmp;

static HWND hToolBar;
static HWND hToolTips[2];
static HWND hBut[std::size(ReadOutPlaces)];
static HMENU hMenu;
static HBRUSH hDrag, hStatic, hAlpha, hRed, hGreen, hBlue;


// The lowest band of the window drags it; this is its top edge.
static int BandLimit() { return yClient * 83 / 100; }

// ---- Creation -------------------------------------------------------------------

static void CreateReadOutsAndPalette(HWND hwnd) {
    for (size_t k = 0; k < std::size(ReadOutPlaces); ++k) {
        const Place& p = ReadOutPlaces[k];
        hBut[k] = StaticCallEx(hInst, hwnd, p.X, p.Y, p.Width, p.Height, p.Id);
    }
    const Place& preview = PreviewPlace;
    hIcon = OwnButtonIconEx(hInst, hwnd, preview.X, preview.Y, preview.Width, preview.Height, preview.Id);
    SendMessageA(hIcon, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(ANSI_VAR_FONT)), 0);
    for (int k = 0; k < PaletteButtons; ++k) {
        const Place p = PalettePlace(k);
        hPalete[k] = PaleteButtonEx(hInst, hwnd, p.X, p.Y, p.Width, p.Height, p.Id);
    }
    hGlobalPalete_h = hPalete[0];
    for (HWND readOut : hBut)
        SendMessageA(readOut, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(ANSI_FIXED_FONT)), 0);
}

static void CreateBitmapButtons(HWND hwnd) {
    for (int k = 0; k < BitmapButtonCount; ++k) {
        const Place& p = BitmapButtonPlaces[k];
        OwnerDrawButton[1 + k] = CreateOwnerDrawButton(hInst, hwnd, p.X, p.Y, p.Width, p.Height, p.Id);
    }
}

static HWND MakeChild(const char* cls, DWORD style, const Place& p, HWND parent, void* param = nullptr) {
    HINSTANCE inst = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE));
    return CreateWindowExA(0, cls, nullptr, WS_CHILD | WS_VISIBLE | style, p.X, p.Y, p.Width, p.Height, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(p.Id)), inst, param);
}

static void CreateChildWindows(HWND hwnd) {
    hwndChild = MakeChild("Checker3_Child", 0, BoardPlace, hwnd, hCursor);   // the board's cursor per tool
    Gradient = MakeChild("Gradient", WS_BORDER, GradientPlace, hwnd);
    for (int k = 0; k < 3; ++k) OwnScroller[k] = MakeChild("GradientScroll", WS_BORDER, SliderPlace(k), hwnd);
    ToolBarStr.hStripWnd = MakeChild("ToolBarWindow", WS_BORDER, StripPlace, hwnd);
    CursorStr.hHotWnd = MakeChild("HotSpotWindow", WS_BORDER, HotSpotPlace, hwnd);
}

// The file named on the command line, in quotes or not: an icon, a cursor
// or a PNG opens in icon mode, a bitmap in toolbar mode; any other name is
// left. A name the system cannot hold is refused before anything is read.
static void OpenCommandLineFile(HWND hwnd, const wchar_t* commandLine) {
    std::wstring line = commandLine ? commandLine : L"";
    while (!line.empty() && (line.back() == L' ' || line.back() == L'\t')) line.pop_back();
    if (line.empty()) return;
    if (line[0] == L'"') {
        line.erase(0, 1);
        if (!line.empty() && line.back() == L'"') line.pop_back();
    }
    const std::string path = Utf8Text(line);
    const char* name = path.c_str();
    const bool strip = HasExtension(name, "bmp");
    if (!strip && !HasExtension(name, "ico") && !HasExtension(name, "cur") && !HasExtension(name, "png")) return;
    // A file that cannot be read leaves no name behind: Save then asks for
    // one rather than writing the blank image over that file.
    szFileNameCopy[0] = szTitleNameCopy[0] = 0;
    if (!SetNames(szFileName, szTitleName, path)) {
        MistakeHandler(FileCantOpen);
        return;
    }
    StripImages images;
    int index = PopFileRead(VirtualScreen, szFileName, strip ? &images : nullptr);
    if (strip && index >= 0 && !EnterToolbarMode(images)) {
        MistakeHandler(FileNoMemory);
        index = -1;
    }
    // A strip file that could not be read still opens toolbar mode: a new,
    // unnamed strip starts from the board.
    if (strip && index < 0) EnterToolbarMode();
    if (index >= 0) {
        FileFlag = LastReadWasWhole() ? 1 : 0;
    } else {
        ForgetDocumentName();
        FileFlag = 0;
    }
    if (index >= 0) OnFormatMessage(hwnd, index);
    UpdateMenu();
}

// The document's start-up state is set before the window is made
// (PixtorStartUp); this makes the window's own parts.
static LRESULT OnCreate(HWND hwnd, const CREATESTRUCTA* cs) {
    hStatImage = MakeChild("STATIC", SS_BITMAP, SepLinePlace, hwnd);
    hStatBar = MakeChild("STATIC", SS_BITMAP, StatusPlace, hwnd);
    hBmp = LoadBitmapA(hInst, StatusImageNames[0]);
    SendMessageA(hStatImage, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(hBmp));
    hStBmp = LoadBitmapA(hInst, StatusImageNames[1]);
    SendMessageA(hStatBar, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(hStBmp));

    // Hints go to the status image at once: the tooltips never wait.
    hToolBar = ToolBar(hwnd, hInst);
    hToolTips[0] = reinterpret_cast<HWND>(SendMessageA(hToolBar, TB_GETTOOLTIPS, 0, 0));
    SendMessageA(hToolTips[0], TTM_SETDELAYTIME, TTDT_INITIAL, 0);
    SendMessageA(hToolTips[0], TTM_SETDELAYTIME, TTDT_RESHOW, 0);
    hDrawTB = DrawToolBar(hwnd, hInst);
    hToolTips[1] = reinterpret_cast<HWND>(SendMessageA(hDrawTB, TB_GETTOOLTIPS, 0, 0));
    SendMessageA(hToolTips[1], TTM_SETDELAYTIME, TTDT_INITIAL, 0);
    SendMessageA(hToolTips[1], TTM_SETDELAYTIME, TTDT_RESHOW, 0);

    hDrag = CreateSolidBrush(0x00C8C80A);
    hStatic = CreateSolidBrush(0x00FF6464);
    hAlpha = CreateSolidBrush(0x00787878);
    hRed = CreateSolidBrush(0x000000FF);
    hGreen = CreateSolidBrush(0x0000FF00);
    hBlue = CreateSolidBrush(0x00FF0000);
    CreatePaletteBrushes();

    HMENU popupHolder = LoadMenuA(hInst, "Icon1");
    hMenu = GetSubMenu(popupHolder, 0);
    // The holder goes; its sub-menu stays as the right-click menu.
    if (hMenu) RemoveMenu(popupHolder, 0, MF_BYPOSITION);
    DestroyMenu(popupHolder);
    MenuStr.hPopupMenu = hMenu;
    UpdateMenu();
    SetMenuItemBitmaps(hMenu, IDM_ABOUT, MF_BYCOMMAND, hBit[5], hBit[5]);

    CreateReadOutsAndPalette(hwnd);
    CreateBitmapButtons(hwnd);
    CreateChildWindows(hwnd);
    PopFileInitialize(hwnd, 0);
    OpenCommandLineFile(hwnd, static_cast<const wchar_t*>(cs->lpCreateParams));
    return 0;
}

static void OnDestroy() {
    DeletePaletteBrushes();
    for (HBRUSH* b : {&hDrag, &hStatic, &hAlpha, &hRed, &hGreen, &hBlue}) {
        if (*b) DeleteObject(*b);
        *b = nullptr;
    }
    if (hMenu) DestroyMenu(hMenu);
    hMenu = nullptr;
    MenuStr.hPopupMenu = nullptr;
    if (hBmp) DeleteObject(hBmp);
    if (hStBmp) DeleteObject(hStBmp);
    hBmp = hStBmp = nullptr;
    if (ToolBarStr.hStripList) ImageList_Destroy(ToolBarStr.hStripList);
    ToolBarStr.hStripList = nullptr;
    PostQuitMessage(0);
}

// ---- Paint --------------------------------------------------------------------

static const char* const PreviewText[FormatCount] = {
    "16x16 1 bit", "32x32 1 bit", "16x16 4 bit", "32x32 4 bit",
    "16x16 8 bit", "32x32 8 bit", "16x16 24 bit", "32x32 24 bit",
};

const char* PreviewTextOf(int index) {
    return IsFormatIndex(index) ? PreviewText[index] : "";
}

static void DrawPreview(HDC hdc) {
    RECT rc;
    GetClientRect(hIcon, &rc);
    rc.top += 35;
    SetBkMode(hdc, TRANSPARENT);
    DrawTextA(hdc, PreviewTextOf(OpenPaceMessageToMenu), -1, &rc, DT_CENTER | DT_WORDBREAK);
    DrawingBoard(hdc, hIcon);
    // Each pixel is a dot two pixels wide ending at its own place, so a
    // dot covers its left and upper neighbour's places too and the later
    // dot wins: the preview is the image one pixel up and left, its last
    // row and column doubled. One copy of that picture instead of a pen
    // per pixel.
    const int P = Pace, x0 = (50 - P) / 2, y0 = (50 - P - 11) / 2, E = P + 1;
    static uint32_t preview[33 * 33];   // the 32x32 image and its doubled edge
    for (int j = 0; j < E; ++j)
        for (int i = 0; i < E; ++i) {
            const uint32_t c = VirtualScreen[std::min(j, P - 1) * P + std::min(i, P - 1)];
            preview[j * E + i] = (c & 0x00FF00u) | ((c & 0xFFu) << 16) | ((c >> 16) & 0xFFu);
        }
    const BITMAPINFO bi = Header32(E, -E);
    SetDIBitsToDevice(hdc, x0 - 1, y0 - 1, E, E, 0, 0, 0, E, preview, &bi, DIB_RGB_COLORS);
}

static void PaintPreview() {
    DrawPreview(WindowDC(hIcon));
    if (ToolBarStr.CreateRequest == 1) {
        InvalidateRect(ToolBarStr.hStripWnd, nullptr, FALSE);
        UpdateWindow(ToolBarStr.hStripWnd);
    }
}

static void PaintLabelsAndFrames(HDC hdc) {
    {
        Owned<HFONT> font(CreatePointFont(hdc, 10, 6, "Courier"));
        Selected with(hdc, font);
        SetBkMode(hdc, TRANSPARENT);
        struct Label { const char* Text; int x, y; };
        static const Label labels[] = {
            {"Color grad", 360, 110}, {"Color", 360, 230}, {"Nudge", 360, 342}, {"Add", 70, 108},
            {"Delete", 145, 108},     {"Update", 220, 108}, {"Get", 295, 108},
        };
        for (const Label& l : labels) TextOutA(hdc, l.x, l.y, l.Text, lstrlenA(l.Text));
    }
    // Frames broken where their labels stand.
    static const POINT gradLeft[] = {{355, 120}, {352, 120}, {352, 240}};
    static const POINT gradRight[] = {{435, 240}, {435, 120}, {430, 120}};
    static const POINT slider[] = {{355, 240}, {352, 240}, {352, 335}, {435, 335}, {435, 240}, {400, 240}};
    static const POINT nudge[] = {{355, 352}, {352, 352}, {352, 430}, {435, 430}, {435, 352}, {405, 352}};
    Polyline(hdc, gradLeft, 3);
    Polyline(hdc, gradRight, 3);
    Polyline(hdc, slider, 6);
    Polyline(hdc, nudge, 6);
}

static void OnPaint(HWND hwnd) {
    PaintPreview();
    RECT rc;
    GetClientRect(hwnd, &rc);
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    {
        // Composed off screen: the board asks for this paint at every
        // pointer move, and labels filled over and written again on screen
        // would flicker where nothing composes the window's drawing.
        Offscreen picture(hdc, rc.right, rc.bottom);
        Owned<HBRUSH> face(CreateSolidBrush(0x00C8001E));
        FillRect(picture, &rc, face);
        PaintLabelsAndFrames(picture);
        picture.CopyTo(hdc, ps.rcPaint);
    }
    EndPaint(hwnd, &ps);
}

// ---- Hints and menu states ------------------------------------------------------------

struct Hint { int Id; const char* Format; const char* Text; };
static const Hint Hints[] = {
    {IDM_OPEN, "  %10s", "Open file"},       {IDM_SAVE, "  %10s", "Save file"},
    {IDM_UNDO, "  %10s", "Undo"},            {IDM_UNDOBACK, "  %10s", "Undo back"},
    {IDM_PALETTE, "  %10s", "Palette"},      {IDM_SHOWGRID, "  %10s", "Show Grid"},
    {IDM_RESOLUTION, "  %16s", "Change resolution"},
    {IDM_TOOLFIRST + ToolBrush, "  %10s", "Drawing brush"},
    {IDM_TOOLFIRST + ToolLine, "  %10s", "Draw line"},
    {IDM_TOOLFIRST + ToolFill, "  %10s", "Fill regeon"},
    {IDM_TOOLFIRST + ToolRound, "  %10s", "Draw round"},
    {IDM_TOOLFIRST + ToolFilledRound, "  %16s", "Draw filled round"},
    {IDM_TOOLFIRST + ToolSquare, "  %10s", "Draw square"},
    {IDM_TOOLFIRST + ToolFilledSquare, "  %16s", "Draw filled square"},
    {IDM_TOOLFIRST + ToolMask, "  %12s", "Mask color"},
    {IDM_TOOLFIRST + ToolHotSpot, "  %12s", "Set hot spot"},
};

void FormatHint(char* out, HWND source, WPARAM id) {
    if (source == hToolTips[0] || source == hToolTips[1])
        for (const Hint& h : Hints)
            if (static_cast<WPARAM>(h.Id) == id) {
                wsprintfA(out, h.Format, h.Text);
                return;
            }
    wsprintfA(out, "  %16s", "");
}

static void OnNotify(WPARAM wParam, const NMHDR* header) {
    char hint[64];
    FormatHint(hint, header->hwndFrom, wParam);
    RECT rc;
    GetClientRect(hStatBar, &rc);
    WindowDC hdc(hStatBar);
    SetBkMode(hdc, TRANSPARENT);
    {
        Selected font(hdc, GetStockObject(ANSI_VAR_FONT));
        SendMessageA(hStatBar, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(hStBmp));
        DrawTextA(hdc, hint, -1, &rc, DT_SINGLELINE | DT_VCENTER);
    }
}

static void OnInitMenu() {
    HMENU main = static_cast<HMENU>(MenuStr.hMainMenu);
    EnableMenuItem(main, IDM_UNDO, MF_BYCOMMAND | (UndoEnabled() ? MF_ENABLED : MF_GRAYED));
    EnableMenuItem(main, IDM_UNDOBACK, MF_BYCOMMAND | (UndoBackEnabled() ? MF_ENABLED : MF_GRAYED));
    const bool picture = IsClipboardFormatAvailable(CF_BITMAP) || IsClipboardFormatAvailable(PngClipboardFormat());
    const UINT paste = picture ? MF_ENABLED : MF_GRAYED;
    EnableMenuItem(main, IDM_PASTE, MF_BYCOMMAND | paste);
    EnableMenuItem(hMenu, IDM_PASTE, MF_BYCOMMAND | paste);
}

static LRESULT OnCtlColorBtn(HDC hdc, HWND button) {
    SetBkMode(hdc, TRANSPARENT);
    for (int k = 1; k < PaletteButtons; ++k)
        if (hPalete[k] == button) return reinterpret_cast<LRESULT>(hPaleteTableItem[k]);
    return reinterpret_cast<LRESULT>(hPaleteTableItem[0]);
}

static LRESULT OnCtlColorStatic(HDC hdc, HWND control) {
    SetBkMode(hdc, TRANSPARENT);
    switch (GetDlgCtrlID(control)) {
    case IDC_READDRAG: SetTextColor(hdc, 0x000000FF); return reinterpret_cast<LRESULT>(hDrag);
    case IDC_READA: return reinterpret_cast<LRESULT>(hAlpha);
    case IDC_READR: return reinterpret_cast<LRESULT>(hRed);
    case IDC_READG: return reinterpret_cast<LRESULT>(hGreen);
    case IDC_READB: return reinterpret_cast<LRESULT>(hBlue);
    }
    return reinterpret_cast<LRESULT>(hStatic);
}

// ---- Mouse, system menu and focus ---------------------------------------------------

static void OnMouseMove(HWND hwnd, WPARAM keys, LPARAM lParam) {
    if (keys != MK_LBUTTON) MouseBit = 0;
    unsigned y = HIWORD(lParam);
    ShowReadOut(hwnd, IDC_READDRAG, static_cast<int>(y) > BandLimit() ? "Drag" : "Still");
}

static void OnLeftDown(HWND hwnd, LPARAM lParam) {
    MouseBit = 1;
    if (static_cast<int>(HIWORD(lParam)) > BandLimit())
        SendMessageA(hwnd, WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

static void OnRightDown(HWND hwnd, LPARAM lParam) {
    POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    ClientToScreen(hwnd, &pt);
    TrackPopupMenu(hMenu, 0, pt.x, pt.y, 0, hwnd, nullptr);
}

static void CloseModeless() {
    if (hMenuDialogue) DestroyWindow(hMenuDialogue);
    hMenuDialogue = nullptr;
    if (hModlessDlg) DestroyWindow(hModlessDlg);
    hModlessDlg = nullptr;
}

static bool IsOwnButton(HWND w) {
    for (int k = 1; k <= BitmapButtonCount; ++k)
        if (OwnerDrawButton[k] == w) return true;
    for (HWND p : hPalete)
        if (p == w) return true;
    return false;
}

static void OnKillFocus(HWND hwnd, HWND gaining) {
    if (gaining && IsOwnButton(gaining)) return;
    hMenuDialogue = CreateDialogParamW(hInst, L"MENUBAR", hwnd, MenuBar, 0);
}

// The first file of a drop opens; the rest are left, as one document is
// open at a time.
static void OnDropFiles(HWND hwnd, HDROP drop) {
    wchar_t path[MAX_PATH];
    // A name longer than the system's paths would be cut to another file's.
    const UINT length = LateDragQueryFileW(drop, 0, nullptr, 0);
    const bool fits = length > 0 && length < MAX_PATH && LateDragQueryFileW(drop, 0, path, MAX_PATH) > 0;
    LateDragFinish(drop);
    SetForegroundWindow(hwnd);
    if (length > 0) OpenDroppedFile(hwnd, fits ? Utf8Text(path).c_str() : "");   // "" is refused
}

static void OnSize() {
    if (hMenuDialogue) DestroyWindow(hMenuDialogue);
    hMenuDialogue = nullptr;
}

LRESULT OnFormatMessage(HWND, unsigned index) {
    ApplyFormatIndex(static_cast<int>(index));
    if (!IsFormatIndex(static_cast<int>(index))) return 0;
    MouseBit = 1;
    UpdateMenu();
    InvalidateRect(hwndChild, nullptr, FALSE);
    InvalidateRect(hIcon, nullptr, TRUE);
    // The size keeps the hot spot in the picture: its read-out follows.
    InvalidateRect(static_cast<HWND>(CursorStr.hHotWnd), nullptr, TRUE);
    return 0;
}

LRESULT CALLBACK WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    hWinMain = hwnd;
    switch (message) {
    case WM_CREATE: return OnCreate(hwnd, reinterpret_cast<const CREATESTRUCTA*>(lParam));
    case WM_DESTROY: OnDestroy(); return 0;
    case WM_SIZE: OnSize(); return 0;
    case WM_PAINT: OnPaint(hwnd); return 0;
    // The paint covers the whole client area, so erasing it first is wasted
    // work; the toolbars' erasing through this window still gets the brush.
    case WM_ERASEBKGND:
        if (WindowFromDC(reinterpret_cast<HDC>(wParam)) == hwnd) return 1;
        break;
    case WM_COMMAND: OnCommand(hwnd, LOWORD(wParam)); return 0;
    case WM_DROPFILES: OnDropFiles(hwnd, reinterpret_cast<HDROP>(wParam)); return 0;
    case WM_FORMATINDEX: return OnFormatMessage(hwnd, LOWORD(lParam));
    case WM_NOTIFY: OnNotify(wParam, reinterpret_cast<const NMHDR*>(lParam)); break;
    case WM_INITMENU: OnInitMenu(); return 0;
    case WM_CTLCOLORBTN: return OnCtlColorBtn(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_CTLCOLORSTATIC:
        return OnCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_DRAWITEM: DrawOwnerDrawButton(hwnd, wParam, lParam); return 0;
    case WM_MOUSEMOVE: OnMouseMove(hwnd, wParam, lParam); return 0;
    case WM_LBUTTONDOWN: OnLeftDown(hwnd, lParam); return 0;
    case WM_LBUTTONUP: MouseBit = 0; return 0;
    case WM_RBUTTONDOWN: OnRightDown(hwnd, lParam); return 0;
    case WM_SYSCOMMAND:
        if (LOWORD(wParam) == IDM_ABOUT) { SendMessageA(hwnd, WM_COMMAND, IDM_ABOUT, 0); return 0; }
        if ((wParam & 0xFFF0) == SC_CLOSE) { SendMessageA(hwnd, WM_COMMAND, IDM_EXIT, 0); return 0; }
        break;
    case WM_SETFOCUS: CloseModeless(); return 0;
    case WM_KILLFOCUS: OnKillFocus(hwnd, reinterpret_cast<HWND>(wParam)); return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}
