// File names, read dispatch and error reporting on the Win32 side.
#include "formats/IconFile.h"
#include <shellapi.h>
#include "controls/Prompt.h"
#include "document/Document.h"
#include "formats/FileErrors.h"
#include "formats/HandleStream.h"
#include "formats/IcFormat.h"
#include "shell/Shell.h"
#include "strip/ToolBarStrip.h"

char szFileName[NameLength], szTitleName[NameLength];
char szFileNameCopy[NameLength], szTitleNameCopy[NameLength];
char szFileNameEx[NameLength], szTitleNameEx[NameLength];

static int FilterSet;

void PopFileInitialize(HWND, int filterSet) { FilterSet = filterSet; }

int MistakeHandler(int code) {
    if (const char* message = FileErrorMessage(code))
        Ask(hWinMain, message, "Error", MB_ICONSTOP | MB_OK);
    lstrcpynA(szFileName, szFileNameCopy, NameLength);
    lstrcpynA(szTitleName, szTitleNameCopy, NameLength);
    return 0;
}

// The system renders the file's first icon at 32x32 over black; that picture
// becomes the image, as a 32x32 24-bit document.
static void NoSupport() {
    uint32_t* pixels = GlobalPoint.Pixels;
    HICON icon = ExtractIconA(reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(hWinMain, GWLP_HINSTANCE)),
                              szFileName, 0);
    for (int i = 0; i < ImagePixels; ++i) pixels[i] = 0;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    HBITMAP bitmap = CreateBitmap(32, 32, 1, 32, pixels);
    HGDIOBJ old = SelectObject(memory, bitmap);
    if (icon && icon != reinterpret_cast<HICON>(1)) DrawIcon(memory, 0, 0, icon);
    SelectObject(memory, old);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = 32;
    bi.bmiHeader.biHeight = -32;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    GetDIBits(memory, bitmap, 0, 32, pixels, &bi, DIB_RGB_COLORS);
    PortingProc0(pixels, pixels);
    DeleteDC(memory);
    DeleteObject(bitmap);
    if (icon && icon != reinterpret_cast<HICON>(1)) DestroyIcon(icon);
    OpenPaceMessageToMenu = 7;
}

static void ReadIcon(HANDLE file, uint32_t* pixels) {
    HandleStream stream(file);
    IconReadResult result = FormatOpen(stream, pixels);
    switch (result.Outcome) {
    case IconNotSupported:
        if (Ask(hWinMain, "Current image format is not supported.\n Convert to 24bit 32x32?",
                "Pixtor", MB_ICONQUESTION | MB_YESNO) == IDYES) {
            NoSupport();
        } else {
            lstrcpynA(szFileName, szFileNameCopy, NameLength);
            lstrcpynA(szTitleName, szTitleNameCopy, NameLength);
        }
        return;
    case IconReadFailed:
        MistakeHandler(FileReadError);
        break;
    default:
        break;
    }
    if (result.MultiImageWarning)
        Ask(hWinMain, "Multi-image format isn't supported yet!\n             Read only first.",
            "Warning", MB_ICONEXCLAMATION | MB_OK);
    if (result.HotSpotRead) {
        CursorStr.HotX = result.HotX;
        CursorStr.HotY = result.HotY;
        InvalidateRect(static_cast<HWND>(CursorStr.hHotWnd), nullptr, TRUE);
    }
    if (result.Outcome == IconLoaded) OpenPaceMessageToMenu = result.FormatIndex;
}

int PopFileRead(uint32_t* pixels, const char* path) {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        MistakeHandler(FileCantOpen);
        return 0;
    }
    // Strip files are read with toolbar mode, which comes with the strip window.
    if (!ToolBarStr.StripActive) ReadIcon(file, pixels);
    CloseHandle(file);
    return 1;
}
