// The gradient picker: the colour band window and its three sliders.
#pragma once
#include <windows.h>

extern HWND Gradient;
extern HWND OwnScroller[3];   // the blue, green and red sliders, left to right
extern int MixedRed, MixedGreen, MixedBlue;   // the mixed colour's channels
extern int Red, Green, Blue;  // thumb positions, pixels from each slider's top
extern int Scale;             // channel units per slider pixel

void InitGradient();          // black mixed colour, thumbs at the top
COLORREF MixedColour();

LRESULT CALLBACK GradWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK GradScrollWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// The pictures, drawn into any device context of the given client size.
void PaintGradientPicture(HDC hdc, int width, int height);
void PaintSliderPicture(HDC hdc, int width, int height, int slider);
