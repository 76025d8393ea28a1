// Program entry: single instance, window classes, cursors, the bitmap
// menu bar, the main window, the message loop and the teardown.
#include <windows.h>
#include <commctrl.h>
#include <iterator>
#include "colour/Gradient.h"
#include "colour/Palette.h"
#include "controls/Controls.h"
#include "board/Board.h"
#include "document/Document.h"
#include "document/Undo.h"
#include "resources/Ids.h"
#include "resources/Names.h"
#include "shell/Shell.h"
#include "strip/ToolBarStrip.h"

const char szAppName[] = "Pixtor1.0.0";
HINSTANCE hInst;
HCURSOR hCursor[ToolCount];
HBITMAP hBit[6];
HBITMAP hBitDialogue[4];
HWND hModlessDlg;
int xStart, yStart, xClient, yClient;

// System menu entries the fixed-size window has no use for.
static const UINT Style[2] = {SC_SIZE, SC_MAXIMIZE};
static_assert(std::size(CursorNames) == ToolCount, "a pointer for every tool");

static HMENU hMenuBar, hFileMenu;
static HBRUSH hMenuBarBrush;
static HBRUSH hClassBrush;        // the main window class's face
static HACCEL hAccel;

void SizeTheWindow(int* x, int* y, int* cx, int* cy) {
    *x = GetSystemMetrics(SM_CXSCREEN) / 4;
    *y = GetSystemMetrics(SM_CYSCREEN) / 6;
    *cx = 512;
    *cy = 512;
}

static void RegisterOne(const char* name, WNDPROC proc, int extra, HBRUSH background, bool arrow) {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = proc;
    wc.cbWndExtra = extra;
    wc.hInstance = hInst;
    wc.hCursor = arrow ? LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)) : nullptr;
    wc.hbrBackground = background;
    wc.lpszClassName = name;
    RegisterClassExA(&wc);
}

static void RegisterClasses() {
    HBRUSH white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    HBRUSH grey = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    RegisterOne(szAppName, WndProc, 0, white, true);
    RegisterOne("Gradient", GradWndProc, 2, white, true);
    RegisterOne("ToolBarWindow", ToolBarWindowProc, 2, grey, true);
    RegisterOne("HotSpotWindow", HotSpotWndProc, 2, grey, true);
    RegisterOne("GradientScroll", GradScrollWndProc, 2, grey, true);
    RegisterOne("Checker3_Child", ChildWndProc, 2, grey, false);
}

static void LoadPictures() {
    for (int t = 0; t < ToolCount; ++t)
        if (CursorNames[t]) hCursor[t] = LoadCursorA(hInst, CursorNames[t]);
    hCursor[ToolFilledRound] = hCursor[ToolRound];
    hCursor[ToolFilledSquare] = hCursor[ToolSquare];
    OwnerDrawBitmapLoader(hInst);
    static_assert(std::size(szDlgSave) == std::size(hBitDialogue) && std::size(szBitName) == std::size(hBit));
    for (size_t i = 0; i < std::size(hBitDialogue); ++i) hBitDialogue[i] = LoadBitmapA(hInst, szDlgSave[i]);
    for (size_t i = 0; i < std::size(hBit); ++i) hBit[i] = LoadBitmapA(hInst, szBitName[i]);
}

// A row of images only: the two drop-downs at the left, minimise and close
// at the right edge.
static void BuildMenuBar() {
    hMenuBar = CreateMenu();
    hFileMenu = LoadMenuA(hInst, "Icon");
    MenuStr.hMainMenu = LoadMenuA(hInst, "Icon2");
    auto bitmap = [](int i) { return reinterpret_cast<LPCSTR>(hBit[i]); };
    AppendMenuA(hMenuBar, MF_BITMAP | MF_POPUP, reinterpret_cast<UINT_PTR>(hFileMenu), bitmap(0));
    AppendMenuA(hMenuBar, MF_BITMAP | MF_POPUP, reinterpret_cast<UINT_PTR>(MenuStr.hMainMenu), bitmap(1));
    AppendMenuA(hMenuBar, MF_BITMAP, IDM_BARLOGO, bitmap(2));
    AppendMenuA(hMenuBar, MF_BITMAP, IDM_MINIMISE, bitmap(3));
    AppendMenuA(hMenuBar, MF_BITMAP | MF_RIGHTJUSTIFY, IDM_EXIT, bitmap(4));
    hMenuBarBrush = CreateSolidBrush(0x00D20000);
    MENUINFO mi = {};
    mi.cbSize = sizeof mi;
    mi.fMask = MIM_BACKGROUND;
    mi.hbrBack = hMenuBarBrush;
    SetMenuInfo(hMenuBar, &mi);
}

static void TrimSystemMenu(HWND hwnd) {
    HMENU system = GetSystemMenu(hwnd, FALSE);
    for (UINT command : Style) DeleteMenu(system, command, MF_BYCOMMAND);
    AppendMenuA(system, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(system, MF_STRING, IDM_ABOUT, "About");
    SetMenuItemBitmaps(system, IDM_ABOUT, MF_BYCOMMAND, hBit[5], hBit[5]);
}

HWND PixtorStartUp(HINSTANCE instance, const wchar_t* cmdLine, int cmdShow) {
    if (FindWindowA(nullptr, szAppName)) return nullptr;
    InitDocument();
    InitPalette();
    InitGradient();
    ToolBarStr = ToolBarRecord{};
    DinamicMem.Image = VirtualScreen;
    DinamicAlloc();
    InitCommonControls();
    hInst = instance;
    RegisterClasses();
    LoadPictures();
    SizeTheWindow(&xStart, &yStart, &xClient, &yClient);
    BuildMenuBar();
    // Files dropped on the window open: the style asks for them without
    // loading shell32 at start-up.
    HWND hwnd = CreateWindowExA(WS_EX_ACCEPTFILES, szAppName, szAppName,
                                WS_POPUP | WS_CLIPCHILDREN | WS_DLGFRAME | WS_SYSMENU, xStart,
                                yStart, 528, 528, nullptr, hMenuBar, hInst, const_cast<wchar_t*>(cmdLine));
    if (!hwnd) return nullptr;
    TrimSystemMenu(hwnd);
    // The class's face from now on; the brush it replaces is the stock
    // white one, or the one the last teardown freed.
    hClassBrush = CreateSolidBrush(0x00C8001E);
    SetClassLongPtrA(hwnd, GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(hClassBrush));
    ShowWindow(hwnd, cmdShow);
    UpdateWindow(hwnd);
    hModlessDlg = nullptr;
    hAccel = LoadAcceleratorsA(hInst, MAKEINTRESOURCEA(IDA_MAIN));
    return hwnd;
}

bool PixtorPreTranslate(MSG* msg) {
    if (hModlessDlg && IsDialogMessageA(hModlessDlg, msg)) return true;
    return TranslateAcceleratorA(hWinMain, hAccel, msg) != 0;
}

int PixtorMessageLoop() {
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (PixtorPreTranslate(&msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

void PixtorTeardown() {
    for (HBITMAP& b : hBit) { if (b) DeleteObject(b); b = nullptr; }
    for (HBITMAP& b : hBitDialogue) { if (b) DeleteObject(b); b = nullptr; }
    for (HBITMAP& b : CloseCleaner) { if (b) DeleteObject(b); b = nullptr; }
    if (IsMenu(hFileMenu)) DestroyMenu(hFileMenu);
    if (IsMenu(static_cast<HMENU>(MenuStr.hMainMenu))) DestroyMenu(static_cast<HMENU>(MenuStr.hMainMenu));
    if (IsMenu(hMenuBar)) DestroyMenu(hMenuBar);
    hFileMenu = hMenuBar = nullptr;
    MenuStr.hMainMenu = nullptr;
    if (hMenuBarBrush) DeleteObject(hMenuBarBrush);
    hMenuBarBrush = nullptr;
    if (hClassBrush) DeleteObject(hClassBrush);   // no window of the class is left
    hClassBrush = nullptr;
    if (hAccel) DestroyAcceleratorTable(hAccel);
    hAccel = nullptr;
    ObjectDestructor();
    OwnerDrawBitmapCleaner();
}
