// The toolbar strip window and toolbar mode. Every paint first carries out
// the requests that commands left in ToolBarStr, always in the same order
// (delete, create, the three selection limits, add, update, retrieve), and
// then draws the visible slots with the selected image enlarged.
#include "strip/ToolBarStrip.h"
#include <new>
#include "platform/ChildWindow.h"
#include "document/Document.h"
#include "formats/FileErrors.h"
#include "strip/StripList.h"

ToolBarRecord ToolBarStr;

namespace {

// The first image of a new list, and the growth of every list.
constexpr int NewListImages = 1;

// The selected image's index in the list, or -1 when it holds none there.
int SelectedImage() {
    const int index = ToolBarStr.FirstVisible + ToolBarStr.SelSlot;
    return index >= 0 && index < ToolBarStr.StripCount ? index : -1;
}

void SetMode(bool toolbar) {
    ToolBarStr.StripActive = toolbar ? 1 : 0;
    MenuStr.ToolbarMode = toolbar ? 1 : 0;
    MenuStr.IconMode = toolbar ? 0 : 1;
}

void DestroyList() {
    if (ToolBarStr.hStripList) ImageList_Destroy(ToolBarStr.hStripList);
    ToolBarStr.hStripList = nullptr;
}

// The working image as it is now, in the list's pixel order.
HBITMAP WorkingImage() {
    static uint32_t bits[ImagePixels];
    PortingProc0(VirtualScreen, bits);
    return CreateBitmap(Pace, Pace, 1, 32, bits);
}

// A strip of one image keeps it. Presses of the selection buttons not yet
// held within their limits may point past either end: the image removed is
// then the nearest one, so the count always matches the list.
void DeleteSelected() {
    ToolBarStr.DeleteRequest = 0;
    if (ToolBarStr.StripCount <= 1 || !ToolBarStr.hStripList) return;
    int index = ToolBarStr.FirstVisible + ToolBarStr.SelSlot;
    if (index < 0) index = 0;
    if (index > ToolBarStr.StripCount - 1) index = ToolBarStr.StripCount - 1;
    if (!ImageList_Remove(ToolBarStr.hStripList, index)) return;
    if (ToolBarStr.SelSlot == ToolBarStr.StripCount - 1) --ToolBarStr.SelSlot;
    ToolBarStr.FirstVisible = ToolBarStr.FirstVisible > 1 ? ToolBarStr.FirstVisible - 1 : 0;
    --ToolBarStr.StripCount;
}

// A new, unnamed document whose first image is the picture on the board.
// A list that cannot be had leaves the request for the next paint.
void Create(HBITMAP snapshot) {
    DestroyList();
    ToolBarStr.hStripList = CreateStripList(Pace, NewListImages);
    ToolBarStr.StripCount = 0;
    if (!ToolBarStr.hStripList || ImageList_Add(ToolBarStr.hStripList, snapshot, nullptr) < 0) {
        DestroyList();
        return;
    }
    ToolBarStr.CreateRequest = 0;
    ToolBarStr.StripCount = 1;
    ToolBarStr.FirstVisible = 0;
    NeedToSave = 0;
    ForgetDocumentName();
}

// The only place the selection is held within the strip: the buttons just
// count, and each paint moves the scroll offset by one image at most.
void HoldSelection(int visible) {
    if (ToolBarStr.SelSlot < 0) {
        if (ToolBarStr.FirstVisible > 0) --ToolBarStr.FirstVisible;
        ToolBarStr.SelSlot = 0;
    }
    if (ToolBarStr.SelSlot > visible - 1) {
        if (ToolBarStr.StripCount - visible > ToolBarStr.FirstVisible) ++ToolBarStr.FirstVisible;
        ToolBarStr.SelSlot = visible - 1;
    }
    if (ToolBarStr.SelSlot > ToolBarStr.StripCount - 1) ToolBarStr.SelSlot = ToolBarStr.StripCount - 1;
}

// A blank image is all mask colour.
void AddBlank() {
    ToolBarStr.AddRequest = 0;
    if (!ToolBarStr.hStripList) return;
    static uint32_t blank[ImagePixels];
    ClearImage(blank);
    if (AppendStripImages(ToolBarStr.hStripList, Pace, 1, blank)) ++ToolBarStr.StripCount;
}

void UpdateSelected(HBITMAP snapshot) {
    ToolBarStr.UpdateRequest = 0;
    const int index = SelectedImage();
    if (index >= 0 && StripListPace(ToolBarStr.hStripList) == Pace)
        ImageList_Replace(ToolBarStr.hStripList, index, snapshot, nullptr);
}

// The selected image becomes the working image with every fourth byte 0;
// the elements beyond a 16x16 image keep what they held.
void RetrieveSelected() {
    ToolBarStr.RetrieveRequest = 0;
    const int index = SelectedImage();
    static uint32_t image[ImagePixels];
    if (index < 0 || StripListPace(ToolBarStr.hStripList) != Pace ||
        !ReadStripImage(ToolBarStr.hStripList, index, image))
        return;
    for (int i = 0; i < Pace * Pace; ++i) VirtualScreen[i] = image[i] & 0x00FFFFFFu;
    InvalidateRect(static_cast<HWND>(GlobalPoint.hBoard), nullptr, TRUE);
}

// The slots touch one another, 5 pixels in from the left; the selected
// image is drawn once more over its slot, 3 pixels larger on every side.
void DrawStrip(HDC hdc, int width, int height) {
    const int P = Pace, top = (height - P) / 2;
    for (int i = 0; i * P + 8 < width - P && i <= ToolBarStr.StripCount; ++i)
        DrawStripImage(hdc, ToolBarStr.hStripList, ToolBarStr.FirstVisible + i, P * i + 5, top, P);
    if (SelectedImage() >= 0)
        DrawStripImage(hdc, ToolBarStr.hStripList, SelectedImage(), ToolBarStr.SelSlot * P + 2, top - 3, P + 6);
}

void OnStripPaint(HWND hwnd) {
    HBITMAP snapshot = WorkingImage();
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    RECT rc;
    GetClientRect(hwnd, &rc);

    if (ToolBarStr.DeleteRequest == 1) DeleteSelected();
    if (ToolBarStr.CreateRequest == 1) Create(snapshot);
    HoldSelection(rc.right / Pace);
    if (ToolBarStr.AddRequest == 1) AddBlank();
    if (ToolBarStr.UpdateRequest == 1) UpdateSelected(snapshot);
    if (ToolBarStr.RetrieveRequest == 1) RetrieveSelected();
    if (ToolBarStr.StripActive == 1) DrawStrip(hdc, rc.right, rc.bottom);

    DeleteObject(snapshot);
    EndPaint(hwnd, &ps);
}

}  // namespace

void EnterToolbarMode() {
    SetMode(true);
    ToolBarStr.CreateRequest = 1;
    HBITMAP snapshot = WorkingImage();
    Create(snapshot);
    DeleteObject(snapshot);
    // The main window clips its children: shown now, not at the strip's
    // next repaint from some other cause.
    InvalidateRect(ToolBarStr.hStripWnd, nullptr, FALSE);
}

bool EnterToolbarMode(const StripImages& strip) {
    HIMAGELIST list = CreateStripList(strip.Pace, strip.Count);
    if (!list || !AppendStripImages(list, strip.Pace, strip.Count, strip.Pixels.data())) {
        if (list) ImageList_Destroy(list);
        return false;
    }
    SetMode(true);
    DestroyList();
    ToolBarStr.hStripList = list;
    ToolBarStr.StripCount = strip.Count;
    ToolBarStr.FirstVisible = ToolBarStr.SelSlot = 0;
    // Edits asked of the strip that was open do not fall on this one.
    ToolBarStr.CreateRequest = ToolBarStr.AddRequest = ToolBarStr.DeleteRequest = ToolBarStr.UpdateRequest = 0;
    ToolBarStr.RetrieveRequest = 1;
    InvalidateRect(ToolBarStr.hStripWnd, nullptr, TRUE);
    return true;
}

void LeaveToolbarMode() {
    SetMode(false);
    DestroyList();
    ToolBarStr.CreateRequest = ToolBarStr.AddRequest = ToolBarStr.DeleteRequest = ToolBarStr.UpdateRequest =
        ToolBarStr.RetrieveRequest = 0;
    ToolBarStr.StripCount = ToolBarStr.SelSlot = ToolBarStr.FirstVisible = 0;
    ForgetDocumentName();
    FileFlag = 0;
    NeedToSave = 0;
    InvalidateRect(ToolBarStr.hStripWnd, nullptr, TRUE);
}

int CopyStripImages(StripImages& out) {
    out.Pace = StripListPace(ToolBarStr.hStripList);
    out.Count = ToolBarStr.StripCount;
    if (out.Pace <= 0 || out.Count < 1) return FileWriteError;
    const size_t each = static_cast<size_t>(out.Pace) * out.Pace;
    try {
        out.Pixels.resize(each * static_cast<size_t>(out.Count));
    } catch (const std::bad_alloc&) {
        return FileNoMemory;
    }
    for (int k = 0; k < out.Count; ++k)
        if (!ReadStripImage(ToolBarStr.hStripList, k, out.Pixels.data() + each * k)) return FileWriteError;
    return FileOk;
}

LRESULT CALLBACK ToolBarWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (ChildWindowMessage(hwnd, message, OnStripPaint, &result)) return result;
    return DefWindowProcA(hwnd, message, wParam, lParam);
}
