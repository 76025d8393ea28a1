// The toolbar strip window. Toolbar mode itself is not built yet: the window
// stands in place and paints its background.
#include "strip/ToolBarStrip.h"

ToolBarRecord ToolBarStr;

LRESULT CALLBACK ToolBarWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hwnd, message, wParam, lParam);
}
