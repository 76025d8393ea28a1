// Toolbar mode: the strip of images being assembled, and its window.
#pragma once
#include <windows.h>
#include <commctrl.h>

struct ToolBarRecord {
    HWND hStripWnd;
    HIMAGELIST hStripList;
    int StripActive;      // 1: toolbar mode, program-wide
    int StripPace;
    int SelSlot;
    int CreateRequest, DiscardRequest, AddRequest, DeleteRequest;
    int UpdateRequest, RetrieveRequest;
};
extern ToolBarRecord ToolBarStr;

LRESULT CALLBACK ToolBarWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
