// Toolbar mode: the strip of images being assembled, and its window.
// The mode is entered and left only through the functions below, which
// settle the strip at once. The strip buttons set the request fields and
// invalidate the strip window; its next paint carries the requests out in a
// fixed order and draws the result.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include "formats/StripBitmap.h"

struct ToolBarRecord {
    HWND hStripWnd;
    HIMAGELIST hStripList;  // the strip itself: Pace x Pace 32-bit images
    int SelSlot;            // selected slot, counted from the leftmost visible image
    int UpdateRequest;      // replace the selected image with the working image
    int StripActive;        // 1: toolbar mode, program-wide
    int CreateRequest;      // a new strip the list was not had for yet
    int StripCount;         // images in the list
    int AddRequest;         // append a blank image
    int FirstVisible;       // image in the leftmost slot
    int DeleteRequest;      // remove the selected image
    int RetrieveRequest;    // copy the selected image onto the board
};
extern ToolBarRecord ToolBarStr;

// The only writers of the mode: the three flags (StripActive and the
// menu's IconMode and ToolbarMode) change together, here.
//
// Toolbar mode with a new, unnamed strip holding the working image; a list
// that cannot be had now is asked for again at the strip's next paint.
void EnterToolbarMode();
// Toolbar mode with a strip read from a file, in place of any strip there
// was: the selection at its first image, which comes onto the board. False,
// changing nothing, when the list cannot be had.
bool EnterToolbarMode(const StripImages& strip);
// Icon mode: the strip is destroyed now; the picture on the board stays,
// unnamed and with nothing to save.
void LeaveToolbarMode();

// The strip's images as they stand, to be written: FileOk, FileNoMemory,
// or FileWriteError without a strip whose images can be read.
int CopyStripImages(StripImages& out);

LRESULT CALLBACK ToolBarWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
