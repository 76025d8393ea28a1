// The drawing board: the image enlarged into cells, with grid and outline;
// presses and drags become pixel changes through the current tool.
#include "board/Board.h"
#include <cstdlib>
#include "colour/Palette.h"
#include "platform/ChildWindow.h"
#include "platform/Gdi.h"
#include "document/Document.h"
#include "document/Undo.h"
#include "resources/Ids.h"

// Board state, one instance.
static HWND hDady;
static const HCURSOR* Cursors;   // per tool, given at creation
static unsigned xPos, yPos;
static int XY, XS, YS, XH, YW, XY_Flag;
static RECT mrc, omrc;

int BoardToImage(unsigned boardPos) {
    int M = Pace == 32 ? 4 : 2;
    return static_cast<int>((M * boardPos) / 36);
}

static int ClampIndex(int index) { return index > ImagePixels - 1 ? ImagePixels - 1 : index; }

static void SetReadOut(int id, const char* label, const char* format, int value) {
    char text[32];
    wsprintfA(text, format, label, value);
    ShowReadOut(hDady, id, text);
}

void ShowCurrentPixel(HWND parent, int index, const uint32_t* pixels) {
    uint32_t pixel = pixels[ClampIndex(index)];
    if (IsMaskPixel(pixel)) {
        for (int id = IDC_READA; id <= IDC_READB; ++id) ShowReadOut(parent, id, "-----");
        return;
    }
    char text[32];
    wsprintfA(text, "%2s%3d", "R=", static_cast<int>(RedOf(pixel)));
    ShowReadOut(parent, IDC_READR, text);
    wsprintfA(text, "%2s%3d", "G=", static_cast<int>(GreenOf(pixel)));
    ShowReadOut(parent, IDC_READG, text);
    wsprintfA(text, "%2s%3d", "B=", static_cast<int>(BlueOf(pixel)));
    ShowReadOut(parent, IDC_READB, text);
    wsprintfA(text, "%2s%3d", "A=", static_cast<int>(pixel >> 24));
    ShowReadOut(parent, IDC_READA, text);
}

// ---- Pointer ------------------------------------------------------------------

static void OnBoardMove(HWND hwnd, WPARAM keys, LPARAM lParam) {
    if (Cursors) SetCursor(Cursors[CursorShape]);
    if (MouseBit != 0) return;
    xPos = LOWORD(lParam);
    yPos = HIWORD(lParam);
    int x = BoardToImage(xPos), y = BoardToImage(yPos);
    ShowCurrentPixel(hDady, y * Pace + x, VirtualScreen);
    if (keys == MK_LBUTTON) {
        // Each move of a held button changes the document, also after a
        // save taken while it is held.
        NeedToSave = 1;
        XY = ClampIndex(y * Pace + x);
        switch (DrawBar.Tool) {
        case ToolBrush: VirtualScreen[XY] = ColorTable[0]; break;
        case ToolMask: VirtualScreen[XY] = MaskColor; break;
        case ToolHotSpot:
            CursorStr.HotX = static_cast<uint16_t>(x);
            CursorStr.HotY = static_cast<uint16_t>(y);
            InvalidateRect(static_cast<HWND>(CursorStr.hHotWnd), nullptr, TRUE);
            break;
        default:
            if (DrawBar.Tool >= ToolLine && DrawBar.Tool <= ToolFilledSquare) {
                DrawBar.Color = ColorTable[0];
                DrawBar.EndX = x;
                DrawBar.EndY = y;
            }
            break;
        }
        InvalidateRect(hwnd, nullptr, FALSE);
    }
    SetReadOut(IDC_READX, "X=", "%2s%3d", x);
    SetReadOut(IDC_READY, "Y=", "%2s%3d", y);
    if (XY_Flag == 1) {
        XH = std::abs(x - XS) + 1;
        YW = std::abs(y - YS) + 1;
    }
    SetReadOut(IDC_READHEIGHT, "Hgt=", "%3s%2d", YW);
    SetReadOut(IDC_READWIDTH, "Wth=", "%3s%2d", XH);
}

static void OnBoardPress(HWND hwnd, LPARAM lParam) {
    xPos = LOWORD(lParam);
    yPos = HIWORD(lParam);
    if (DinamicMem.Block && DrawBar.Tool != ToolHotSpot) DinamicSave();
    int x = BoardToImage(xPos), y = BoardToImage(yPos);
    XS = x;
    YS = y;
    XY_Flag = 1;
    XH = YW = 1;
    NeedToSave = 1;
    MouseBit = 0;
    GetClipCursor(&omrc);
    GetWindowRect(hwnd, &mrc);
    ClipCursor(&mrc);
    DrawBar.Pressed = 1;
    DrawBar.StartX = x;
    DrawBar.StartY = y;
    SendMessageA(hwnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(xPos, yPos));
}

static void OnBoardRelease(HWND hwnd) {
    if (MouseBit == 1) {
        MouseBit = 0;
    } else {
        ClipCursor(&omrc);
        NeedToSave = 1;   // the release draws the shape
    }
    XY_Flag = 0;
    YW = XH = 0;
    DrawBar.Pressed = 0;
    InvalidateRect(hwnd, nullptr, FALSE);
}

static void OnBoardPick(LPARAM lParam) {
    xPos = LOWORD(lParam);
    yPos = HIWORD(lParam);
    int x = BoardToImage(xPos), y = BoardToImage(yPos);
    XY = ClampIndex(y * Pace + x);
    uint32_t pixel = VirtualScreen[XY];
    PickColour(IsMaskPixel(pixel) ? MaskColor : (pixel & 0x00FFFFFFu));
}

// ---- Paint ----------------------------------------------------------------------

void DrawingBoard(HDC hdc, HWND hwnd) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    POINT outline[5] = {{rc.left, rc.top}, {rc.right - 1, rc.top}, {rc.right - 1, rc.bottom - 1},
                        {rc.left, rc.bottom - 1}, {rc.left, rc.top}};
    Polyline(hdc, outline, 5);
}

void ShowGreed(HDC hdc, HWND hwnd, int cells) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    int step = (rc.bottom - rc.top) / cells;
    Owned<HPEN> grey(CreatePen(PS_SOLID, 0, RGB(126, 126, 126)));
    Selected with(hdc, grey);
    for (int i = 1; i < cells; ++i) {
        MoveToEx(hdc, rc.left, rc.top + i * step, nullptr);
        LineTo(hdc, rc.right, rc.top + i * step);
    }
    for (int i = 1; i < cells; ++i) {
        MoveToEx(hdc, rc.left + i * step, rc.top, nullptr);
        LineTo(hdc, rc.left + i * step, rc.bottom);
    }
}

void ShowGreedInv(HDC hdc, HWND hwnd, int cells) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    int step = (rc.bottom - rc.top) / cells;
    for (int i = 1; i < cells; ++i) {
        RECT band = {rc.left, i * step, rc.right, i * step + 1};
        InvertRect(hdc, &band);
    }
    for (int i = 1; i < cells; ++i) {
        RECT band = {i * step, rc.top, i * step + 1, rc.bottom};
        InvertRect(hdc, &band);
    }
}

static void SetCoordinates(int value) {
    DrawBar.StartY = DrawBar.EndY = DrawBar.StartX = DrawBar.EndX = value;
}

// The pending line, fill or shape on the raster; committed into the image
// once the button is up.
static void ToolStep(HDC raster, HBITMAP bitmap, int pace, uint32_t* local, uint32_t* pixels) {
    int tool = DrawBar.Tool;
    if (tool < ToolLine || tool > ToolFilledSquare) return;
    const bool filled = tool == ToolFill || tool == ToolFilledRound || tool == ToolFilledSquare;
    Owned<HPEN> pen(CreatePen(PS_SOLID, 0, DrawBar.Color));
    Owned<HBRUSH> brush(filled ? CreateSolidBrush(DrawBar.Color) : nullptr);
    Selected withPen(raster, pen);
    Selected withBrush(raster, filled ? static_cast<HGDIOBJ>(brush) : GetStockObject(NULL_BRUSH));
    bool copyBack = true;
    if (tool == ToolLine) {
        MoveToEx(raster, DrawBar.StartX, DrawBar.StartY, nullptr);
        LineTo(raster, DrawBar.EndX, DrawBar.EndY);
        LineTo(raster, DrawBar.EndX - 1, DrawBar.EndY - 1);   // sets the end pixel itself
        if (DrawBar.Pressed == 0) {
            ReadTopDownRows(raster, bitmap, pace, local);
            SetCoordinates(LineCommitted);
        }
    } else if (tool == ToolFill) {
        if (DrawBar.Pressed == 1) {
            DrawBar.Pressed = 0;
            COLORREF seed = GetPixel(raster, DrawBar.StartX, DrawBar.StartY);
            DrawBar.EndX = static_cast<int>(seed);
            ExtFloodFill(raster, DrawBar.StartX, DrawBar.StartY, seed, FLOODFILLSURFACE);
            ReadTopDownRows(raster, bitmap, pace, local);
        } else {
            copyBack = false;
        }
    } else {
        int extra = (DrawBar.EndX >= DrawBar.StartX && DrawBar.EndY >= DrawBar.StartY) ? 1 : 0;
        int right = DrawBar.EndX + extra, bottom = DrawBar.EndY + extra;
        if (tool == ToolSquare || tool == ToolFilledSquare)
            Rectangle(raster, DrawBar.StartX, DrawBar.StartY, right, bottom);
        else
            Ellipse(raster, DrawBar.StartX, DrawBar.StartY, right, bottom);
        if (DrawBar.Pressed == 0) {
            ReadTopDownRows(raster, bitmap, pace, local);
            SetCoordinates(ShapeCommitted);
        }
    }
    if (copyBack) PortingProc(local, pixels);
}

void PixelDrawProc0(HWND hwnd, HDC hdc, int pace, int gridHidden, uint32_t* pixels) {
    static uint32_t local[ImagePixels];
    PortingProc(pixels, local);
    RECT rc;
    GetClientRect(hwnd, &rc);
    MemoryDC raster(hdc);
    Owned<HBITMAP> bitmap(CreateBitmap(pace, pace, 1, 32, local));
    Selected onRaster(raster, bitmap);
    Offscreen screen(hdc, rc.right, rc.bottom);

    ToolStep(raster, bitmap, pace, local, pixels);

    StretchBlt(screen, 0, 0, rc.right, rc.bottom, raster, 0, 0, pace, pace, SRCCOPY);
    if (gridHidden == 0) {
        if (MenuStr.SimpleGrid == 1) ShowGreed(screen, hwnd, pace);
        else ShowGreedInv(screen, hwnd, pace);
    }
    Selected black(screen, GetStockObject(BLACK_PEN));
    DrawingBoard(screen, hwnd);
    screen.CopyTo(hdc, rc);
}

static void OnBoardPaint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    PixelDrawProc0(hwnd, hdc, Pace, boolGreed, VirtualScreen);
    EndPaint(hwnd, &ps);
    InvalidateRect(hDady, nullptr, FALSE);
}

LRESULT CALLBACK ChildWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        Cursors = static_cast<const HCURSOR*>(reinterpret_cast<const CREATESTRUCTA*>(lParam)->lpCreateParams);
        hDady = GetParent(hwnd);
        GlobalPoint.hBoard = hwnd;
        ClearImage(VirtualScreen);
        return 1;
    case WM_PAINT: OnBoardPaint(hwnd); return 0;
    case WM_MOUSEMOVE: OnBoardMove(hwnd, wParam, lParam); return 0;
    case WM_LBUTTONDOWN: OnBoardPress(hwnd, lParam); return 0;
    case WM_LBUTTONUP: OnBoardRelease(hwnd); return 0;
    case WM_RBUTTONDOWN: OnBoardPick(lParam); return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}
