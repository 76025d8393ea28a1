// The gradient picker: the colour band window and its three sliders.
#pragma once
#include <windows.h>

extern HWND Gradient;
extern HWND OwnScroller[3];

LRESULT CALLBACK GradWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK GradScrollWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
