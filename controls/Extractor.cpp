// The icon extractor: the icons of szFileNameEx, as the system renders
// them, listed in a tree on the violet face; OK takes the chosen one.
#include "controls/Extractor.h"
#include <commctrl.h>
#include <shellapi.h>
#include "controls/Dialogs.h"
#include "platform/Gdi.h"
#include "platform/SystemLibraries.h"
#include "platform/WideNames.h"
#include "document/Document.h"
#include "document/Undo.h"
#include "resources/Ids.h"

// The dialog's state, kept between openings: the chosen icon V is what
// OK takes when nothing is chosen in this opening.
static HBRUSH hBrush;
static HWND hTree;
static HIMAGELIST hImageList;
static int i;   // icons found in the file
static int V;   // the chosen icon

constexpr int ExtractedEdge = 32;   // icons are taken at 32x32 whatever the system's icon size
// What the system answers for a file that is no executable, library or icon file.
static const HICON NotAnIconFile = reinterpret_cast<HICON>(1);

// The icon drawn over white on an edge x edge 32-bit canvas (top row
// first), every fourth byte cleared: an opaque picture in blue, green, red
// order. A 32-bit list given the icon itself may keep its transparent
// parts black.
static HBITMAP DrawOnWhite(HICON icon, int cx, int cy, uint32_t** pixels) {
    const BITMAPINFO header = Header32(cx, -cy);
    void* bits = nullptr;
    HBITMAP canvas = CreateDIBSection(nullptr, &header, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!canvas) return nullptr;
    uint32_t* p = static_cast<uint32_t*>(bits);
    for (int k = 0; k < cx * cy; ++k) p[k] = 0x00FFFFFF;
    {
        MemoryDC memory;
        Selected onCanvas(memory, canvas);
        DrawIconEx(memory, 0, 0, icon, cx, cy, 0, nullptr, DI_NORMAL);
        GdiFlush();
    }
    for (int k = 0; k < cx * cy; ++k) p[k] &= 0x00FFFFFF;
    *pixels = p;
    return canvas;
}

// Every icon of the file, in its own order, into the list; no handle, or
// the answer for a file that is no executable, library or icon file, ends
// the listing.
static void ListIcons(HWND hDlg) {
    HINSTANCE inst = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(hDlg, GWLP_HINSTANCE));
    const int cx = GetSystemMetrics(SM_CXICON), cy = GetSystemMetrics(SM_CYICON);
    wchar_t file[MAX_PATH];
    if (!WidePath(szFileNameEx, file)) return;
    for (i = 0; i < MaxExtractedIcons; ++i) {
        HICON icon = LateExtractIconW(inst, file, static_cast<UINT>(i));
        if (!icon || icon == NotAnIconFile) break;
        uint32_t* pixels = nullptr;
        Owned<HBITMAP> picture(DrawOnWhite(icon, cx, cy, &pixels));
        ImageList_Add(hImageList, picture, nullptr);
        DestroyIcon(icon);
    }
}

// Items take their text wide, so the file's title shows as it is written.
static HTREEITEM InsertItem(HTREEITEM parent, HTREEITEM after, const char* text, int icon) {
    std::wstring wide = WideText(text);
    TVINSERTSTRUCTW insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = after;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
    insert.item.pszText = &wide[0];
    insert.item.iImage = insert.item.iSelectedImage = icon;
    insert.item.lParam = icon;
    return reinterpret_cast<HTREEITEM>(SendMessageW(hTree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

static void InitExtractor(HWND hDlg, LPARAM faces) {
    i = 0;
    SendDlgItemMessageA(hDlg, IDC_ABOUTOK, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(OkFace(faces)));
    hBrush = CreateSolidBrush(RGB(60, 0, 180));
    HINSTANCE inst = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(hDlg, GWLP_HINSTANCE));
    hTree = CreateWindowExA(0, WC_TREEVIEWA, "Tree View",
                            WS_CHILD | WS_VISIBLE | WS_BORDER | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT,
                            12, 10, 200, 250, hDlg, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_EXTRACTTREE)),
                            inst, nullptr);
    hImageList = ImageList_Create(GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), ILC_COLOR32, 1, 50);
    ImageList_SetBkColor(hImageList, RGB(255, 255, 255));
    ListIcons(hDlg);
    SendMessageA(hTree, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(hImageList));
    HTREEITEM root = InsertItem(TVI_ROOT, TVI_FIRST, szTitleNameEx, 0);
    for (int j = 1; j < i; ++j) {
        char label[16];
        wsprintfA(label, "%d", j);
        InsertItem(root, TVI_LAST, label, j);
    }
}

// Icon V as the system renders it, at 32x32 over white, becomes the
// working image; nothing when the file holds no icon of that number. The
// icon is taken from the file again rather than from the tree's list: a
// 32-bit list may keep the icon's transparent parts black, not white.
static bool TakeChosenIcon(HWND hDlg) {
    HINSTANCE inst = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(hDlg, GWLP_HINSTANCE));
    wchar_t file[MAX_PATH];
    HICON icon = V >= 0 && V < i && WidePath(szFileNameEx, file) ? LateExtractIconW(inst, file, static_cast<UINT>(V)) : nullptr;
    if (!icon || icon == NotAnIconFile) return false;
    uint32_t* pixels = nullptr;
    Owned<HBITMAP> picture(DrawOnWhite(icon, ExtractedEdge, ExtractedEdge, &pixels));
    if (picture) {
        // The extracted icon replaces the whole picture: a snapshot first,
        // so that Undo brings the picture back.
        DinamicSave();
        PortingProc0(pixels, GlobalPoint.Pixels);
    }
    DestroyIcon(icon);
    return picture != nullptr;
}

static void OnExtractorOK(HWND hDlg) {
    const bool taken = TakeChosenIcon(hDlg);
    ImageList_Destroy(hImageList);
    hImageList = nullptr;
    DestroyWindow(hTree);
    hTree = nullptr;
    EndDialog(hDlg, taken ? 1 : 0);
}

INT_PTR CALLBACK Extractor(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam) {
    INT_PTR result = FALSE;
    if (DialogFaceMessage(hDlg, message, wParam, lParam, hBrush, &result)) return result;
    switch (message) {
    case WM_INITDIALOG: InitExtractor(hDlg, lParam); return TRUE;
    case WM_NOTIFY: {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->code != TVN_SELCHANGEDA && header->code != TVN_SELCHANGEDW) return FALSE;
        V = static_cast<int>(reinterpret_cast<const NMTREEVIEWA*>(lParam)->itemNew.lParam);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) != IDC_ABOUTOK) return FALSE;   // OK is the only way out
        OnExtractorOK(hDlg);
        return TRUE;
    case WM_DESTROY:
        if (hBrush) DeleteObject(hBrush);
        hBrush = nullptr;
        if (hImageList) ImageList_Destroy(hImageList);
        hImageList = nullptr;
        return TRUE;
    }
    return FALSE;
}
