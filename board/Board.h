// The drawing board window and its paint.
#pragma once
#include <windows.h>
#include <cstdint>

LRESULT CALLBACK ChildWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
void PixelDrawProc0(HWND hwnd, HDC hdc, int pace, int gridHidden, uint32_t* pixels);
void DrawingBoard(HDC hdc, HWND hwnd);
void ShowGreed(HDC hdc, HWND hwnd, int cells);
void ShowGreedInv(HDC hdc, HWND hwnd, int cells);
void ShowCurrentPixel(HWND parent, int index, const uint32_t* pixels);
// Image pixel under a board position at the current size.
int BoardToImage(unsigned boardPos);
