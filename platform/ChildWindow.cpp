#include "platform/ChildWindow.h"
#include <cstring>

bool ChildWindowMessage(HWND hwnd, UINT message, void (*paint)(HWND), LRESULT* result) {
    switch (message) {
    case WM_CREATE: *result = 1; return true;
    case WM_PAINT: paint(hwnd); *result = 0; return true;
    case WM_DESTROY: PostQuitMessage(0); *result = 0; return true;
    }
    return false;
}

void ShowReadOut(HWND parent, int id, const char* text) {
    char shown[32];
    GetDlgItemTextA(parent, id, shown, sizeof shown);
    if (std::strcmp(shown, text) != 0) SetDlgItemTextA(parent, id, text);
}
