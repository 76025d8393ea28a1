// File dialogs, read/write dispatch and error reporting on the Win32 side.
#include "formats/win32/IconFile.h"
#include <algorithm>
#include <cstring>
#include "platform/Prompt.h"
#include "platform/WideNames.h"
#include "document/Document.h"
#include "formats/FileErrors.h"
#include "formats/IcFormat.h"
#include "formats/IconEntries.h"
#include "formats/IconOpening.h"
#include "formats/PngImage.h"
#include "formats/SafeWrite.h"
#include "formats/StripBitmap.h"
#include "formats/win32/HandleStream.h"

static OPENFILENAMEW ofn;
// The main window, which owns the file dialogs and every file message.
static HWND FileOwner;
// The names the dialogs show and return, as the system holds them. The
// file's has room for the longest name the system has, so a name too long
// for the program comes back whole and is refused, never cut.
constexpr DWORD DialogFileUnits = 32768;
static wchar_t DialogFile[DialogFileUnits], DialogTitle[DialogFileUnits];

#define ICON_FILTERS \
    L"Icon and Cursor files(*.ICO,*.CUR)\0*.ico;*.cur\0Icon files(*.ICO)\0*.ico\0Cursor files(*.CUR)\0*.cur\0"
static const wchar_t szFilter[] = ICON_FILTERS;
// The open dialog also offers PNG pictures, after them; saves are icons and
// cursors only.
static const wchar_t szFilterOpen[] = ICON_FILTERS L"PNG pictures (*.PNG)\0*.png\0";
static const wchar_t szFilterEx[] = L"Executable files (*.EXE)\0*.exe\0DLL files (*.DLL)\0*.dll\0";
static const wchar_t szFilterBmp[] = L"Bitmap (*.BMP)\0*.bmp\0";
static const wchar_t* const szFilterPointer[3] = {szFilter, szFilterEx, szFilterBmp};

void PopFileInitialize(HWND hwnd, int filterSet) {
    if (filterSet < 0 || filterSet > 2) filterSet = 0;
    FileOwner = hwnd;
    ofn = {};
    // The record as it was before the places bar: the size every version
    // of the dialog takes (76 bytes in the 32-bit build).
    ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
    ofn.hwndOwner = hwnd;
    ofn.lpstrFilter = szFilterPointer[filterSet];
    ofn.nMaxFile = DialogFileUnits;
    ofn.nMaxFileTitle = DialogFileUnits;
    ofn.lpstrDefExt = filterSet == 2 ? L"bmp" : L"ico";
}

void ReportFileError(int code) {
    if (const char* message = FileErrorMessage(code)) Ask(FileOwner, message, "Error", MB_ICONSTOP | MB_OK);
}

// The dialog on the name in file: 1 with file and title holding the name
// chosen, 0 on cancel, -1 for a name refused (and reported).
static int RunFileDialog(FileDialogFunction dialog, HWND hwnd, char* file, char* title, DWORD flags) {
    wchar_t initial[MAX_PATH];
    lstrcpynW(DialogFile, WidePath(file, initial) ? initial : L"", MAX_PATH);
    DialogTitle[0] = L'\0';
    ofn.hwndOwner = hwnd;
    ofn.lpstrFile = DialogFile;
    ofn.lpstrFileTitle = DialogTitle;
    ofn.Flags = flags;
    if (!dialog(&ofn)) return 0;
    // A name too long for the program, or one that is no UTF-8 (a lone
    // surrogate), is refused as unopenable.
    if (!SetNames(file, title, Utf8Text(DialogFile))) {
        ReportFileError(FileCantOpen);
        return -1;
    }
    return 1;
}

int PopFileOpenDlg(HWND hwnd, char* file, char* title) {
    if (ofn.lpstrFilter == szFilter) ofn.lpstrFilter = szFilterOpen;
    return RunFileDialog(PixtorOpenDialog, hwnd, file, title, OFN_HIDEREADONLY | OFN_CREATEPROMPT) == 1;
}

int PopFileSaveDlg(HWND hwnd, char* file, char* title) {
    // A write that fails under the new name gives back the name in force now.
    KeepNames();
    if (ofn.lpstrFilter == szFilterOpen) ofn.lpstrFilter = szFilter;
    return RunFileDialog(PixtorSaveDialog, hwnd, file, title, OFN_OVERWRITEPROMPT);
}

// The writer of the mode: a strip bitmap in toolbar mode, else an icon or
// a cursor. Returns its file error code.
static int WriteDocument(ByteStream& stream, const uint32_t* pixels, int formatIndex, const StripImages* strip) {
    // A strip that is not there is a failed write, never an empty file.
    if (strip) return strip->Count > 0 ? WriteStripBitmap(stream, *strip) : FileWriteError;
    return Format(stream, pixels, formatIndex, CursorStr.IsCursor, CursorStr.HotX, CursorStr.HotY);
}

// A stream that takes only so many bytes more, as a disk that fills up.
class FillingUp : public ByteStream {
public:
    FillingUp(ByteStream& s, long long room) : inner(s), left(room) {}
    long long ReadAt(uint64_t offset, void* buffer, size_t count) override { return inner.ReadAt(offset, buffer, count); }
    long long Write(const void* buffer, size_t count) override {
        const long long n = inner.Write(buffer, static_cast<size_t>(std::min<long long>(left, static_cast<long long>(count))));
        if (n > 0) left -= n;
        return n < static_cast<long long>(count) ? -1 : n;
    }
    long long Size() override { return inner.Size(); }

private:
    ByteStream& inner;
    long long left;
};

int PopFileWrite(const uint32_t* pixels, const char* path, int formatIndex, const StripImages* strip) {
    CursorStr.IsCursor = IsCursorFileName(path) ? 1 : 0;
    if (!FitsSystemPath(path)) {
        MistakeHandler(FileCantOpen);
        return 0;
    }
    const long long room = PixtorWriteFault ? PixtorWriteFault(path) : -1;
    // The old file is replaced only by a new one holding every byte.
    std::string detail;
    const int result = WriteFileSafely(path, [&](ByteStream& stream) {
        if (room < 0) return WriteDocument(stream, pixels, formatIndex, strip);
        FillingUp disk(stream, room);
        return WriteDocument(disk, pixels, formatIndex, strip);
    }, detail);
    if (result == FileOk) return 1;
    MistakeHandler(result == FileCantOpen || result == FileNoMemory ? result : FileWriteError);
    return 0;
}

int SaveAsk(HWND hwnd, const uint32_t* pixels, int formatIndex, int* fileFlag, const StripImages* strip) {
    const int flagBefore = *fileFlag;
    const int chosen = PopFileSaveDlg(hwnd, szFileName, szTitleName);
    if (chosen == 0) {
        *fileFlag = 0;
        return SaveCancelled;
    }
    // A name refused, or a failed write, leaves the names in force before
    // the dialog, and with them their flag: a file read with loss stays one
    // Save asks about.
    if (chosen < 0 || !PopFileWrite(pixels, szFileName, formatIndex, strip)) {
        *fileFlag = flagBefore;
        return SaveFailed;
    }
    *fileFlag = 1;
    return SaveWritten;
}

int MistakeHandler(int code) {
    ReportFileError(code);
    RestoreNames();
    return 0;
}

// Whether the last file read became the document whole: a picture
// converted or taken from a file that holds more is never written back
// over that file unasked.
static bool ReadWhole = true;
bool LastReadWasWhole() { return ReadWhole; }

static void TakeHotSpot(uint16_t x, uint16_t y) {
    CursorStr.HotX = x;
    CursorStr.HotY = y;
    InvalidateRect(static_cast<HWND>(CursorStr.hHotWnd), nullptr, TRUE);
}

// The best picture of the entries at `size` (transparency as the mask
// colour, a cursor's hot spot scaled with it) becomes the image, at 24 bits.
static int TakeBestPicture(const IconEntries& entries, int size, uint32_t* pixels) {
    std::vector<uint32_t> best;
    uint16_t x = 0, y = 0;
    if (!BestPicture(entries, size, best, &x, &y)) {
        MistakeHandler(FileReadError);
        return -1;
    }
    std::copy(best.begin(), best.end(), pixels);
    if (entries.IsCursor) TakeHotSpot(x, y);
    return FormatIndex(size, TrueColourRank);
}

static bool AskToConvert() {
    if (Ask(FileOwner, ConvertQuestion, "Pixtor", MB_ICONQUESTION | MB_YESNO) == IDYES) return true;
    RestoreNames();
    return false;
}

// A file the editor's own reading does not take, after Yes to the question:
// its best 32x32 picture, read from every entry it holds (a program's: of
// its first icon group).
static int ConvertIcon(ByteStream& stream, uint32_t* pixels) {
    IconEntries entries;
    if (ReadBestEntries(stream, entries) != FileOk) {
        MistakeHandler(FileReadError);
        return -1;
    }
    return TakeBestPicture(entries, 32, pixels);
}

// A PNG picture, whatever its name: at 16x16 or 32x32 as it is, any other
// size through the conversion question.
static int ReadPng(ByteStream& stream, uint32_t* pixels) {
    const long long size = stream.Size();
    std::vector<uint8_t> bytes(size > 0 && size <= static_cast<long long>(MaxPngBytes) ? static_cast<size_t>(size) : 0);
    IconEntries entries;
    if (bytes.empty() || stream.ReadAt(0, bytes.data(), bytes.size()) != size ||
        !ReadPngEntry(bytes.data(), bytes.size(), entries).empty()) {
        MistakeHandler(FileReadError);
        return -1;
    }
    const IconEntry& picture = entries.Pictures[0];
    const bool editorSize = picture.Width == picture.Height && (picture.Width == 16 || picture.Width == 32);
    if (!editorSize && !AskToConvert()) return -1;
    return TakeBestPicture(entries, editorSize ? picture.Width : 32, pixels);
}

// The format index of what became the document (read, or converted on
// request), -1 when nothing did. The multi-image warning comes before any
// image data is read, so before a failure to read it; nothing of a file
// that does not become the document, its hot spot included, changes it.
static int ReadIcon(ByteStream& stream, uint32_t* pixels) {
    const IconOpening opening = OpenIconFile(stream, pixels);
    switch (opening.Route) {
    case IconAsPng:
        ReadWhole = false;   // a PNG is saved as an icon
        return ReadPng(stream, pixels);
    case IconAsBest:
        ReadWhole = false;
        return AskToConvert() ? ConvertIcon(stream, pixels) : -1;
    default:
        break;
    }
    const IconReadResult& result = opening.Read;
    if (result.MultiImageWarning) {
        Ask(FileOwner, MultiImageWarning, "Warning", MB_ICONEXCLAMATION | MB_OK);
        ReadWhole = false;
    }
    switch (opening.Route) {
    case IconAsEditors:
        if (result.HotSpotRead) TakeHotSpot(result.HotX, result.HotY);
        return result.FormatIndex;
    case IconUnreadable:
        MistakeHandler(FileReadError);
        return -1;
    default:
        // A depth no decoding fits leaves the picture as it was, without a
        // message: then the name stays the picture's too.
        RestoreNames();
        return -1;
    }
}

// A strip in toolbar mode: its size at 24 bits, -1 when it was not read.
static int ReadStrip(ByteStream& stream, StripImages& strip) {
    const int code = ReadStripBitmap(stream, strip);
    if (code == FileOk) return FormatIndex(strip.Pace, TrueColourRank);
    MistakeHandler(code);
    return -1;
}

int PopFileRead(uint32_t* pixels, const char* path, StripImages* strip) {
    wchar_t name[MAX_PATH];
    HANDLE file = WidePath(path, name) ? CreateFileW(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                                     FILE_ATTRIBUTE_NORMAL, nullptr)
                                       : INVALID_HANDLE_VALUE;
    if (file == INVALID_HANDLE_VALUE) {
        MistakeHandler(FileCantOpen);
        return -1;
    }
    HandleStream stream(file);
    ReadWhole = true;
    const int index = strip ? ReadStrip(stream, *strip) : ReadIcon(stream, pixels);
    CloseHandle(file);
    return index;
}
