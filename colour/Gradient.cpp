// The gradient picker's windows. The band, the quadrants and the sliders
// are painted plainly for now; mixing colours comes with the colour work.
#include "colour/Gradient.h"

HWND Gradient;
HWND OwnScroller[3];

LRESULT CALLBACK GradWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK GradScrollWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hwnd, message, wParam, lParam);
}
