// Control makers, the ten bitmap buttons with their faces, the two
// command toolbars, the hot-spot read-out and the menu check marks.
#pragma once
#include <windows.h>

// Entries 1..10: the bitmap buttons 200..209. Their faces are kept apart
// in pairs, button 200 + k using 2k (normal) and 2k + 1 (pressed).
constexpr int BitmapButtonCount = 10;
extern HWND OwnerDrawButton[BitmapButtonCount + 1];
extern HBITMAP OwnerDrawFace[2 * BitmapButtonCount];
extern HBITMAP CloseCleaner[2];      // "TOOL" and "DrawTool", released at exit

HWND StaticCallEx(HINSTANCE inst, HWND parent, int x, int y, int cx, int cy, int id);
HWND OwnButtonIconEx(HINSTANCE inst, HWND parent, int x, int y, int cx, int cy, int id);
HWND PaleteButtonEx(HINSTANCE inst, HWND parent, int x, int y, int cx, int cy, int id);
HWND CreateOwnerDrawButton(HINSTANCE inst, HWND parent, int x, int y, int cx, int cy, int id);

void OwnerDrawBitmapLoader(HINSTANCE inst);
HBITMAP OwnerDrawBitmapPainter(HBITMAP bitmap);
void OwnerDrawBitmapCleaner();
void DrawOwnerDrawButton(HWND hwnd, WPARAM id, LPARAM drawItem);

HWND ToolBar(HWND parent, HINSTANCE inst);
HWND DrawToolBar(HWND parent, HINSTANCE inst);
// Shows tool t as chosen: every tool button its normal face, t its own.
void ShowChosenTool(HWND toolbar, int tool);

// The read-out's second line, "X= 31 Y=  5", from the hot spot (32 bytes).
void HotSpotText(char* out);
LRESULT CALLBACK HotSpotWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);


// Copies the MenuStr check flags onto both menus.
void UpdateMenu();
