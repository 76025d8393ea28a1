// Toolbar mode: the strip of images being assembled, and its window.
// The main window, the resolution dialog and the strip reader set the
// request fields and invalidate the strip window; its next paint carries
// the requests out in a fixed order and draws the result.
#pragma once
#include <windows.h>
#include <commctrl.h>

struct ToolBarRecord {
    HWND hStripWnd;
    HIMAGELIST hStripList;  // the strip itself: Pace x Pace 32-bit images
    int SelSlot;            // selected slot, counted from the leftmost visible image
    int UpdateRequest;      // replace the selected image with the working image
    int StripActive;        // 1: toolbar mode, program-wide
    int CreateRequest;      // start a new strip holding the working image
    int StripCount;         // images in the list
    int AddRequest;         // append a blank image
    int DiscardRequest;     // destroy the strip and leave toolbar mode
    int FirstVisible;       // image in the leftmost slot
    int DeleteRequest;      // remove the selected image
    int RetrieveRequest;    // copy the selected image onto the board
    int StripPace;          // edge length of the strip last read from a file
};
extern ToolBarRecord ToolBarStr;

LRESULT CALLBACK ToolBarWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
