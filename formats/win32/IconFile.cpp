// File dialogs, read/write dispatch and error reporting on the Win32 side.
#include "formats/win32/IconFile.h"
#include <shellapi.h>
#include <cstring>
#include "platform/Gdi.h"
#include "platform/Prompt.h"
#include "platform/SystemLibraries.h"
#include "document/Document.h"
#include "board/Board.h"
#include "formats/FileErrors.h"
#include "formats/IcFormat.h"
#include "formats/SafeWrite.h"
#include "formats/win32/BitmapFormat.h"
#include "formats/win32/HandleStream.h"
#include "strip/ToolBarStrip.h"

static OPENFILENAMEA ofn;
// The main window, which owns the file dialogs and every file message.
static HWND FileOwner;

static const char szFilter[] =
    "Icon and Cursor files(*.ICO,*.CUR)\0*.ico;*.cur\0Icon files(*.ICO)\0*.ico\0"
    "Cursor files(*.CUR)\0*.cur\0";
static const char szFilterEx[] = "Executable files (*.EXE)\0*.exe\0DLL files (*.DLL)\0*.dll\0";
static const char szFilterBmp[] = "Bitmap (*.BMP)\0*.bmp\0";
static const char* const szFilterPointer[3] = {szFilter, szFilterEx, szFilterBmp};

void PopFileInitialize(HWND hwnd, int filterSet) {
    if (filterSet < 0 || filterSet > 2) filterSet = 0;
    FileOwner = hwnd;
    ofn = {};
    ofn.lStructSize = sizeof(OPENFILENAMEA);
    ofn.hwndOwner = hwnd;
    ofn.lpstrFilter = szFilterPointer[filterSet];
    ofn.nMaxFile = NameLength;
    ofn.nMaxFileTitle = NameLength;
    ofn.lpstrDefExt = filterSet == 2 ? "bmp" : "ico";
}

int PopFileOpenDlg(HWND hwnd, char* file, char* title) {
    ofn.hwndOwner = hwnd;
    ofn.lpstrFile = file;
    ofn.lpstrFileTitle = title;
    ofn.Flags = OFN_HIDEREADONLY | OFN_CREATEPROMPT;
    return PixtorOpenDialog(&ofn);
}

int PopFileSaveDlg(HWND hwnd, char* file, char* title) {
    // A write that fails under the new name gives back the name in force now.
    KeepNames();
    ofn.hwndOwner = hwnd;
    ofn.lpstrFile = file;
    ofn.lpstrFileTitle = title;
    ofn.Flags = OFN_OVERWRITEPROMPT;
    return PixtorSaveDialog(&ofn);
}

// The writer of the mode: a strip bitmap in toolbar mode, else an icon or
// a cursor. Returns its file error code.
static int WriteDocument(ByteStream& stream, const uint32_t* pixels, int formatIndex) {
    if (ToolBarStr.StripActive) return BitmapFormat(stream);
    return Format(stream, pixels, formatIndex, CursorStr.IsCursor, CursorStr.HotX, CursorStr.HotY);
}

int PopFileWrite(const uint32_t* pixels, const char* path, int formatIndex) {
    CursorStr.IsCursor = IsCursorFileName(szFileName) ? 1 : 0;
    // The old file is replaced only by a new one holding every byte.
    std::string detail;
    const int result =
        WriteFileSafely(path, [&](ByteStream& stream) { return WriteDocument(stream, pixels, formatIndex); }, detail);
    if (result == FileOk) return 1;
    MistakeHandler(result == FileCantOpen || result == FileNoMemory ? result : FileWriteError);
    return 0;
}

int SaveAsk(HWND hwnd, const uint32_t* pixels, int formatIndex, int* fileFlag) {
    *fileFlag = PopFileSaveDlg(hwnd, szFileName, szTitleName) ? 1 : 0;
    if (!*fileFlag) return 1;
    // A failed write leaves the image unsaved, so leaving still offers to save.
    return PopFileWrite(pixels, szFileName, formatIndex) ? 0 : 1;
}

int MistakeHandler(int code) {
    if (const char* message = FileErrorMessage(code))
        Ask(FileOwner, message, "Error", MB_ICONSTOP | MB_OK);
    RestoreNames();
    return 0;
}

// The system renders the file's first icon at 32x32 over black; that picture
// becomes the image, which the caller makes a 32x32 24-bit document.
static void NoSupport() {
    uint32_t* pixels = GlobalPoint.Pixels;
    HICON icon = LateExtractIconA(reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(FileOwner, GWLP_HINSTANCE)),
                              szFileName, 0);
    for (int i = 0; i < ImagePixels; ++i) pixels[i] = 0;
    MemoryDC memory;
    Owned<HBITMAP> bitmap(CreateBitmap(32, 32, 1, 32, pixels));
    {
        Selected picture(memory, bitmap);
        if (icon && icon != reinterpret_cast<HICON>(1)) DrawIcon(memory, 0, 0, icon);
    }
    ReadTopDownRows(memory, bitmap, 32, pixels);
    PortingProc0(pixels, pixels);
    if (icon && icon != reinterpret_cast<HICON>(1)) DestroyIcon(icon);
}

// The format index of what became the document (read, or converted on
// request), -1 when nothing did.
static int ReadIcon(ByteStream& stream, uint32_t* pixels) {
    IconReadResult result = FormatOpen(stream, pixels);
    switch (result.Outcome) {
    case IconNotSupported:
        if (Ask(FileOwner, ConvertQuestion, "Pixtor", MB_ICONQUESTION | MB_YESNO) == IDYES) {
            NoSupport();
            return FormatIndex(32, TrueColourRank);
        }
        RestoreNames();
        return -1;
    case IconReadFailed:
        MistakeHandler(FileReadError);
        break;
    default:
        break;
    }
    if (result.MultiImageWarning)
        Ask(FileOwner, MultiImageWarning, "Warning", MB_ICONEXCLAMATION | MB_OK);
    if (result.HotSpotRead) {
        CursorStr.HotX = result.HotX;
        CursorStr.HotY = result.HotY;
        InvalidateRect(static_cast<HWND>(CursorStr.hHotWnd), nullptr, TRUE);
    }
    // A depth no decoding fits leaves the picture as it was, without a
    // message: then the name stays the picture's too.
    if (result.Outcome == IconUnknownDepth) {
        RestoreNames();
    }
    return result.Outcome == IconLoaded ? result.FormatIndex : -1;
}

// A strip in toolbar mode: its size at 24 bits, -1 when it was not read.
static int ReadStrip(ByteStream& stream) {
    const int code = BitmapFormatOpen(stream);
    if (code == FileOk) return FormatIndex(ToolBarStr.StripPace, TrueColourRank);
    MistakeHandler(code);
    return -1;
}

int PopFileRead(uint32_t* pixels, const char* path) {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        MistakeHandler(FileCantOpen);
        return -1;
    }
    HandleStream stream(file);
    const int index = ToolBarStr.StripActive ? ReadStrip(stream) : ReadIcon(stream, pixels);
    CloseHandle(file);
    return index;
}
