// WM_COMMAND: one line per command id, each calling one small function.
#include <algorithm>
#include <cstring>
#include <vector>
#include "board/Board.h"
#include "colour/Gradient.h"
#include "colour/Palette.h"
#include "controls/Controls.h"
#include "controls/Dialogs.h"
#include "controls/Extractor.h"
#include "document/Document.h"
#include "document/IcColors.h"
#include "document/Undo.h"
#include "formats/FileErrors.h"
#include "formats/IconEntries.h"
#include "formats/PngImage.h"
#include "formats/win32/IconFile.h"
#include "platform/Gdi.h"
#include "platform/Prompt.h"
#include "resources/Ids.h"
#include "shell/Shell.h"
#include "strip/ToolBarStrip.h"

static void RepaintBoard() { InvalidateRect(hwndChild, nullptr, FALSE); }

static void ChooseTool(int tool) {
    DrawBar.StartX = DrawBar.StartY = DrawBar.EndX = DrawBar.EndY = NoShapePending;
    CursorShape = tool;
    DrawBar.Tool = tool;
    ShowChosenTool(hDrawTB, tool);
}

static void ToggleGrid() {
    boolGreed = !boolGreed;
    MenuStr.ShowGrid = boolGreed == 0 ? 1 : 0;
    UpdateMenu();
    RepaintBoard();
}

static void ChooseGridStyle(bool simple) {
    MenuStr.SimpleGrid = simple ? 1 : 0;
    MenuStr.InversionGrid = simple ? 0 : 1;
    UpdateMenu();
    RepaintBoard();
}

static void StepUndo(int direction) {
    DinamicRestore(direction);
    RepaintBoard();
}

static void ChangeSize(HWND hwnd, int size) {
    if (ToolBarStr.StripActive || Pace == size) return;
    NeedToSave = 1;
    DimeChange(size, Pace, VirtualScreen);
    RescaleHotSpot(size, Pace);
    // The same depth at the other size.
    SendMessageA(hwnd, WM_FORMATINDEX, 0, FormatIndex(size, DepthRankOf(OpenPaceMessageToMenu)));
    InvalidateRect(hIcon, nullptr, TRUE);
    InvalidateRect(hwndChild, nullptr, size == 32);
}

static void ChangeDepth(HWND hwnd, int rank) {
    if (!ToolBarStr.StripActive) {
        SendMessageA(hwnd, WM_FORMATINDEX, 0, FormatIndex(Pace, rank));
    }
    UpdateMenu();
    InvalidateRect(hwnd, nullptr, TRUE);
}

static void Nudge(HWND hwnd, int command) {
    DinamicSave();
    NeedToSave = 1;
    NudgeImage(command, VirtualScreen, Pace);
    DrawBar.StartX = DrawBar.StartY = DrawBar.EndX = DrawBar.EndY = NoShapePending;
    RepaintBoard();
    SetFocus(hwnd);
}

static void ChoosePaletteColour(HWND hwnd, int id) {
    ColorTable[0] = crCustColors[id - IDC_PALETTEFIRST];
    SetPaletteBrush(0, ColorTable[0]);
    SetFocus(hwnd);
}

// The system colour chooser. Its sixteen custom colours are the standard
// palette colours, so whatever it left there shows on buttons 51-66, even
// after Cancel (which keeps the drawing colour).
static void ChooseColour(HWND hwnd) {
    static CHOOSECOLORA cc;
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = hwnd;
    cc.hInstance = reinterpret_cast<HWND>(hInst);
    cc.rgbResult = ColorTable[0];
    cc.lpCustColors = crCustColors;
    cc.Flags = CC_RGBINIT | CC_FULLOPEN;
    cc.lCustData = 0;
    cc.lpfnHook = nullptr;
    cc.lpTemplateName = nullptr;
    PixtorColourDialog(&cc);
    ColorTable[0] = cc.rgbResult;
    SetPaletteBrush(0, ColorTable[0]);
    for (int k = 1; k <= 16; ++k) SetPaletteBrush(k, crCustColors[k - 1]);
}

static void FillGradient(int command) {
    DinamicSave();
    NeedToSave = 1;
    GradientFill(command, VirtualScreen, Pace, MixedRed, MixedGreen, MixedBlue);
    RepaintBoard();
}

static void OpenResolution(HWND hwnd) {
    hModlessDlg = CreateDialogParamA(hInst, "RESOLUTION", hwnd, Resolution, reinterpret_cast<LPARAM>(hBitDialogue));
}

// The image as a Pace x Pace 32-bit bitmap; the round trip through the
// platform's byte order leaves byte 3 of every pixel 0.
static HBITMAP ImageBitmap() {
    PortingProc0(VirtualScreen, VirtualScreen);
    HBITMAP bitmap = CreateBitmap(Pace, Pace, 1, 32, VirtualScreen);
    PortingProc0(VirtualScreen, VirtualScreen);
    return bitmap;
}

UINT PngClipboardFormat() {
    static const UINT format = RegisterClipboardFormatA("PNG");
    return format;
}

// The image as a PNG in a block of global memory, transparency at alpha 0.
static HGLOBAL PngBlock() {
    const std::vector<uint8_t> png = EncodePng(Pace, VirtualScreen);
    HGLOBAL block = png.empty() ? nullptr : GlobalAlloc(GMEM_MOVEABLE, png.size());
    void* bytes = block ? GlobalLock(block) : nullptr;
    if (!bytes) {
        if (block) GlobalFree(block);
        return nullptr;
    }
    std::memcpy(bytes, png.data(), png.size());
    GlobalUnlock(block);
    return block;
}

// A bitmap for every program, and a PNG for those that keep transparency.
static void Copy(HWND hwnd) {
    HBITMAP bitmap = ImageBitmap();
    HGLOBAL png = PngBlock();
    if (!OpenClipboard(hwnd)) {
        DeleteObject(bitmap);
        if (png) GlobalFree(png);
        return;
    }
    EmptyClipboard();
    if (!SetClipboardData(CF_BITMAP, bitmap)) DeleteObject(bitmap);   // else the clipboard owns it
    if (png && !SetClipboardData(PngClipboardFormat(), png)) GlobalFree(png);
    CloseClipboard();
}

// A PNG on the clipboard (where no bitmap is) scaled onto the image, its
// transparent parts as the mask colour.
static void PastePng() {
    HGLOBAL block = GetClipboardData(PngClipboardFormat());
    const void* bytes = block ? GlobalLock(block) : nullptr;
    if (!bytes) return;
    IconEntries entries;
    std::vector<uint32_t> pixels;
    if (ReadPngEntry(static_cast<const uint8_t*>(bytes), GlobalSize(block), entries).empty() &&
        BestPicture(entries, Pace, pixels, nullptr, nullptr)) {
        DinamicSave();
        NeedToSave = 1;
        std::copy(pixels.begin(), pixels.end(), VirtualScreen);
    }
    GlobalUnlock(block);
}

// Any bitmap on the clipboard, squeezed or stretched onto the image.
static void Paste(HWND hwnd) {
    if (!OpenClipboard(hwnd)) return;
    HBITMAP source = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
    BITMAP info;
    if (!source) PastePng();
    if (source && GetObjectA(source, sizeof info, &info)) {
        DinamicSave();
        NeedToSave = 1;   // a pasted picture is a change like any other
        Owned<HBITMAP> image(ImageBitmap());
        MemoryDC from, to;
        {
            Selected clipboard(from, source);
            Selected onto(to, image);
            StretchBlt(to, 0, 0, Pace, Pace, from, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
        }
        // Read back through a copy in the platform's order, so the elements
        // beyond the Pace x Pace image come back exactly as they were.
        static uint32_t local[ImagePixels];
        PortingProc(VirtualScreen, local);
        ReadTopDownRows(to, image, Pace, local);
        PortingProc(local, VirtualScreen);
    }
    RepaintBoard();
    CloseClipboard();
}

static int FilterForMode() { return ToolBarStr.StripActive ? 2 : 0; }

// Strip requests not yet carried out (an Add just pressed, say) take effect
// before the strip is written or its name is asked for.
static void SettleStrip() { UpdateWindow(ToolBarStr.hStripWnd); }

// What a save writes in toolbar mode: the strip, settled, copied into
// images; null in icon mode. A strip that cannot be copied is told, and the
// save fails before any dialog: false.
static bool StripToSave(StripImages& images, const StripImages** strip) {
    *strip = nullptr;
    if (!ToolBarStr.StripActive) return true;
    const int code = CopyStripImages(images);
    if (code != FileOk) {
        ReportFileError(code);
        return false;
    }
    *strip = &images;
    return true;
}

// Save as: the dialog, then the write; its outcome.
static int SaveUnderNewName(HWND hwnd) {
    SettleStrip();
    StripImages images;
    const StripImages* strip;
    if (!StripToSave(images, &strip)) {
        NeedToSave = 1;
        return SaveFailed;
    }
    PopFileInitialize(hwnd, FilterForMode());
    const int outcome = SaveAsk(hwnd, VirtualScreen, OpenPaceMessageToMenu, &FileFlag, strip);
    NeedToSave = outcome == SaveWritten ? 0 : 1;
    UpdateWindow(hIcon);
    return outcome;
}

// Open and a dropped file: the unsaved picture offered first, under a name
// asked for, and the names kept for a file that cannot be read. False when
// the person chose to save and the save failed: the picture is not
// replaced then. A cancelled save dialog goes on.
static bool BeforeOpening(HWND hwnd) {
    PopFileInitialize(hwnd, FilterForMode());
    if (NeedToSave == 1 &&
        Ask(hwnd, "Current image will be overwritten. Save?", "Pixtor", MB_YESNO | MB_ICONEXCLAMATION) == IDYES &&
        SaveUnderNewName(hwnd) == SaveFailed)
        return false;
    // Kept after the save: a picture just saved under a new name keeps it.
    KeepNames();
    return true;
}

// A strip read in toolbar mode becomes the strip; false when the list for
// it could not be had (reported), which leaves the strip as it was.
static bool TakeStrip(const StripImages& strip) {
    if (EnterToolbarMode(strip)) return true;
    MistakeHandler(FileNoMemory);
    return false;
}

// The file named by szFileName becomes the document, in toolbar mode as a
// strip.
static void ReadNamedFile(HWND hwnd) {
    const int oldFileFlag = FileFlag;
    FileFlag = 1;
    // A file that could not be read leaves the document, and whether it
    // has unsaved changes, as it was.
    StripImages strip;
    const bool toolbar = ToolBarStr.StripActive != 0;
    int index = PopFileRead(VirtualScreen, szFileName, toolbar ? &strip : nullptr);
    if (toolbar && index >= 0 && !TakeStrip(strip)) index = -1;
    MouseBit = 1;
    if (index >= 0) {
        NeedToSave = 0;
        if (!LastReadWasWhole()) FileFlag = 0;
        // A new picture starts its own history; a refused file keeps the
        // picture and its history as they were.
        DinamicReset();
    } else {
        FileFlag = oldFileFlag;   // the name given back is saved as it was
    }
    // The size and depth of what was read; a strip is 24 bits at its size,
    // also when the file could not be read (at the size in force); an icon
    // that was not read leaves them as they were.
    if (toolbar && index < 0) index = FormatIndex(Pace, TrueColourRank);
    SendMessageA(hwnd, WM_FORMATINDEX, 0, index >= 0 ? index : OpenPaceMessageToMenu);
    if (toolbar) {
        InvalidateRect(hwnd, nullptr, TRUE);
        InvalidateRect(hIcon, nullptr, TRUE);
    }
}

static void Open(HWND hwnd) {
    if (BeforeOpening(hwnd) && PopFileOpenDlg(hwnd, szFileName, szTitleName)) ReadNamedFile(hwnd);
    PopFileInitialize(hwnd, 0);
    UpdateWindow(hIcon);
}

void OpenDroppedFile(HWND hwnd, const char* path) {
    // A name the system cannot hold is refused before anything is written
    // or read.
    if (!FitsSystemPath(path) || !*path) {
        ReportFileError(FileCantOpen);
        return;
    }
    if (!BeforeOpening(hwnd)) return;
    SetNames(szFileName, szTitleName, path);
    ReadNamedFile(hwnd);
    PopFileInitialize(hwnd, 0);
    UpdateWindow(hIcon);
}

static void SaveAs(HWND hwnd) { SaveUnderNewName(hwnd); }

static void Save(HWND hwnd) {
    SettleStrip();
    if (szFileName[0] && FileFlag) {
        StripImages images;
        const StripImages* strip;
        if (!StripToSave(images, &strip)) return;
        // A write that fails keeps the name it was writing to, not one from
        // before some earlier dialog.
        KeepNames();
        NeedToSave = PopFileWrite(VirtualScreen, szFileName, OpenPaceMessageToMenu, strip) ? 0 : 1;
    } else {
        SaveAs(hwnd);
    }
}

// The save prompt before leaving; false when the user cancelled. Yes always
// shows the save dialog, and a cancelled dialog still lets the caller go on.
static bool OfferToSave(HWND hwnd) {
    SettleStrip();
    if (NeedToSave == 0) return true;
    int answer = PixtorSavePrompt ? PixtorSavePrompt(hwnd, hBitDialogue) : RunSavePrompt(hwnd, hBitDialogue);
    if (answer == 2) return false;
    if (answer == 0) {
        StripImages images;
        const StripImages* strip;
        if (!StripToSave(images, &strip)) return false;
        PopFileInitialize(hwnd, FilterForMode());
        // A cancelled dialog still lets the caller go on; a failed write does not.
        if (SaveAsk(hwnd, VirtualScreen, OpenPaceMessageToMenu, &FileFlag, strip) == SaveFailed) return false;
    }
    return true;
}

// The window shrinks by 10 pixels on each side once per tick, 25 times.
static void CloseAnimation(HWND hwnd) {
    RECT r;
    GetWindowRect(hwnd, &r);
    DWORD tick = GetTickCount();
    for (int i = 0; i < 25; ++i) {
        while (GetTickCount() <= tick) {}
        r.left += 10; r.top += 10; r.right -= 10; r.bottom -= 10;
        MoveWindow(hwnd, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
        tick = GetTickCount();
    }
}

// ---- Toolbar mode ---------------------------------------------------------------

// The strip acts on these at its next paint.
static void RequestOfStrip(int* request, BOOL erase) {
    *request = 1;
    InvalidateRect(ToolBarStr.hStripWnd, nullptr, erase);
}

// The six strip buttons hand the focus back first. Moving the selection
// needs no strip; the edits only act in toolbar mode.
static void StripButton(HWND hwnd, int id) {
    SetFocus(hwnd);
    switch (id) {
    case IDC_STRIPNEXT: ++ToolBarStr.SelSlot; InvalidateRect(ToolBarStr.hStripWnd, nullptr, TRUE); return;
    case IDC_STRIPPREV: --ToolBarStr.SelSlot; InvalidateRect(ToolBarStr.hStripWnd, nullptr, TRUE); return;
    }
    if (!ToolBarStr.StripActive) return;
    switch (id) {
    case IDC_STRIPADD: RequestOfStrip(&ToolBarStr.AddRequest, FALSE); NeedToSave = 1; break;
    case IDC_STRIPDELETE: RequestOfStrip(&ToolBarStr.DeleteRequest, TRUE); NeedToSave = 1; break;
    case IDC_STRIPUPDATE: RequestOfStrip(&ToolBarStr.UpdateRequest, FALSE); NeedToSave = 1; break;
    case IDC_STRIPGET: DinamicSave(); RequestOfStrip(&ToolBarStr.RetrieveRequest, FALSE); break;
    }
}

// Leaving toolbar mode offers to save the strip first; a cancelled prompt,
// or a save that was chosen but failed, keeps the mode and the strip.
static void IconMode(HWND hwnd) {
    if (ToolBarStr.StripActive && OfferToSave(hwnd)) LeaveToolbarMode();
}

// Toolbar mode starts a new strip whose first image is the picture on the
// board.
static void ChangeMode(HWND hwnd, int id) {
    if (id == IDM_ICONMODE) IconMode(hwnd);
    else if (!ToolBarStr.StripActive) EnterToolbarMode();
    UpdateMenu();
    InvalidateRect(hwnd, nullptr, FALSE);
}

static void Exit(HWND hwnd) {
    if (!OfferToSave(hwnd)) return;
    CloseAnimation(hwnd);
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
}

static void New(HWND hwnd) {
    if (Ask(hwnd, "Current image will be destroyed. Proceed?", "Pixtor", MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
        return;
    ClearImage(VirtualScreen);
    ForgetDocumentName();
    // In toolbar mode the strip is the document and stays as it was, so
    // its unsaved changes are still offered for saving on leaving.
    if (!ToolBarStr.StripActive) NeedToSave = 0;
    FileFlag = 0;
    RepaintBoard();
}

// An icon of an executable or a library becomes the image: 24 bits at the
// editor's size, unnamed and unsaved. The extractor takes an undo snapshot
// first; a file without the chosen icon changes nothing.
static void Extract(HWND hwnd) {
    PopFileInitialize(hwnd, 1);
    if (PopFileOpenDlg(hwnd, szFileNameEx, szTitleNameEx) &&
        DialogBoxParamA(hInst, "EXTRACTOR", hwnd, Extractor, reinterpret_cast<LPARAM>(hBitDialogue)) == 1) {
        if (Pace == 16) DimeChange(16, 32, VirtualScreen);
        SendMessageA(hwnd, WM_FORMATINDEX, 0, FormatIndex(Pace, TrueColourRank));
        NeedToSave = 1;
        FileFlag = 1;
        ForgetDocumentName();
    }
    PopFileInitialize(hwnd, 0);
}

void OnCommand(HWND hwnd, int id) {
    if (id >= IDM_TOOLFIRST && id <= IDM_TOOLLAST) { ChooseTool(id - IDM_TOOLFIRST); return; }
    if (id >= IDC_PALETTEFIRST && id <= IDC_PALETTELAST) { ChoosePaletteColour(hwnd, id); return; }
    if (id >= IDM_DEPTH1 && id <= IDM_DEPTH24) { ChangeDepth(hwnd, id - IDM_DEPTH1); return; }
    if (id >= IDC_NUDGEUP && id <= IDC_NUDGELEFT) { Nudge(hwnd, id); return; }
    if (id >= IDM_GRADFIRST && id <= IDM_GRADLAST) { FillGradient(id); return; }
    if (id >= IDC_STRIPNEXT && id <= IDC_STRIPGET) { StripButton(hwnd, id); return; }
    switch (id) {
    case IDM_OPEN: Open(hwnd); break;
    case IDM_SAVE: Save(hwnd); break;
    case IDM_SAVEAS: SaveAs(hwnd); break;
    case IDM_EXIT: Exit(hwnd); break;
    case IDM_NEW: New(hwnd); break;
    case IDM_ABOUT: DialogBoxParamA(hInst, "AboutMe", hwnd, AboutMe, reinterpret_cast<LPARAM>(hBitDialogue)); break;
    case IDM_COPY: Copy(hwnd); break;
    case IDM_PASTE: Paste(hwnd); break;
    case IDM_PALETTE: ChooseColour(hwnd); break;
    case IDM_RESOLUTION: OpenResolution(hwnd); break;
    case IDM_HELP: WinHelpA(hwnd, "RazOviv", HELP_CONTENTS, 0); break;
    case IDM_UNDO: StepUndo(0); break;
    case IDM_UNDOBACK: StepUndo(1); break;
    case IDM_MINIMISE: SendMessageA(hwnd, WM_SYSCOMMAND, SC_MINIMIZE, 0); break;
    case IDM_SHOWGRID: ToggleGrid(); break;
    case IDM_GRIDSIMPLE: ChooseGridStyle(true); break;
    case IDM_GRIDINVERSION: ChooseGridStyle(false); break;
    case IDM_SIZE16: ChangeSize(hwnd, 16); break;
    case IDM_SIZE32: ChangeSize(hwnd, 32); break;
    case IDC_SWATCH: SetFocus(hwnd); break;
    case IDM_ICONMODE: case IDM_TOOLBARMODE: ChangeMode(hwnd, id); break;
    case IDM_EXTRACT: Extract(hwnd); break;
    default: break;
    }
}
