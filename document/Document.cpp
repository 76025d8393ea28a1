#include "document/Document.h"
#include <algorithm>
#include <cstring>

uint32_t VirtualScreen[ImagePixels];
int Pace = 16;
int OpenPaceMessageToMenu = 6;
int NeedToSave = 0;
int FileFlag = 0;
int boolGreed = 0;
int MouseBit = 0;
int CursorShape = 0;
CursorRecord CursorStr = {0, nullptr, 0, 0};
MenuRecord MenuStr = {nullptr, nullptr, 1, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0};   // size and depth: InitDocument
DrawBarRecord DrawBar = {0, ToolBrush, 0, NoShapePending, NoShapePending, NoShapePending, NoShapePending};
GlobalPointRecord GlobalPoint = {VirtualScreen, nullptr};
char szFileName[NameLength], szTitleName[NameLength];
char szFileNameCopy[NameLength], szTitleNameCopy[NameLength];
char szFileNameEx[NameLength], szTitleNameEx[NameLength];

// A copy cut to the buffer, always terminated.
static void CopyName(char* to, const char* from) {
    size_t n = 0;
    while (n < NameLength - 1 && from[n]) ++n;
    std::memcpy(to, from, n);
    to[n] = '\0';
}

bool SetNames(char* file, char* title, const std::string& path) {
    if (!FitsSystemPath(path)) return false;
    CopyName(file, path.c_str());
    CopyName(title, TitleOfPath(path).c_str());
    return true;
}

void KeepNames() {
    CopyName(szFileNameCopy, szFileName);
    CopyName(szTitleNameCopy, szTitleName);
}

void RestoreNames() {
    CopyName(szFileName, szFileNameCopy);
    CopyName(szTitleName, szTitleNameCopy);
}

void ForgetDocumentName() { szFileName[0] = szTitleName[0] = 0; }

int FormatIndexOf(int pace, int bits) {
    for (int i = 0; i < FormatCount; ++i)
        if (FormatTable[i].Pace == pace && FormatTable[i].Bits == bits) return i;
    return -1;
}

void InitDocument() {
    ApplyFormatIndex(6);
    ForgetDocumentName();
    szFileNameCopy[0] = szTitleNameCopy[0] = szFileNameEx[0] = szTitleNameEx[0] = 0;
    NeedToSave = 0;
    FileFlag = 0;
    boolGreed = 0;
    MouseBit = 0;
    CursorShape = ToolBrush;
    CursorStr.IsCursor = 0;
    CursorStr.HotX = CursorStr.HotY = 0;
    MenuStr.SimpleGrid = 1;
    MenuStr.InversionGrid = 0;
    MenuStr.ShowGrid = 1;
    MenuStr.IconMode = 1;
    MenuStr.ToolbarMode = 0;
    DrawBar = {0, ToolBrush, 0, NoShapePending, NoShapePending, NoShapePending, NoShapePending};
    GlobalPoint.Pixels = VirtualScreen;
    ClearImage(VirtualScreen);
}

static void SetFormatFlags(int index) {
    const FormatRow none = {0, 0};
    const FormatRow& row = IsFormatIndex(index) ? FormatTable[index] : none;
    MenuStr.Size16 = row.Pace == 16;
    MenuStr.Size32 = row.Pace == 32;
    MenuStr.Depth1 = row.Bits == 1;
    MenuStr.Depth4 = row.Bits == 4;
    MenuStr.Depth8 = row.Bits == 8;
    MenuStr.Depth24 = row.Bits == 24;
}

void ApplyFormatIndex(int index) {
    SetFormatFlags(index);
    if (!IsFormatIndex(index)) return;
    OpenPaceMessageToMenu = index;
    Pace = FormatTable[index].Pace;
    // The hot spot stays in the picture, also when an icon of another size
    // is opened (an icon has none of its own) or a file held one past it.
    for (uint16_t* hot : {&CursorStr.HotX, &CursorStr.HotY}) *hot = std::min<uint16_t>(*hot, Pace - 1);
}

void ClearImage(uint32_t* pixels) {
    for (int i = 0; i < ImagePixels; ++i) pixels[i] = MaskColor;
}

void RescaleHotSpot(int newPace, int oldPace) {
    for (uint16_t* hot : {&CursorStr.HotX, &CursorStr.HotY})
        *hot = static_cast<uint16_t>(*hot * newPace / oldPace);
}

bool IsCursorFileName(const char* name) { return HasExtension(name, "cur"); }

// Conv: each pixel passes through it whole, so converting in place is safe.
static void Exchange(const void* source, void* destination, bool clearExtra) {
    const uint8_t* src = static_cast<const uint8_t*>(source);
    uint8_t* dst = static_cast<uint8_t*>(destination);
    for (int i = 0; i < ImagePixels; ++i) {
        uint8_t Conv[4];
        std::memcpy(Conv, src + 4 * i, 4);
        dst[4 * i + 0] = Conv[2];
        dst[4 * i + 1] = Conv[1];
        dst[4 * i + 2] = Conv[0];
        dst[4 * i + 3] = clearExtra ? 0 : Conv[3];
    }
}

void PortingProc(const void* source, void* destination) { Exchange(source, destination, false); }
void PortingProc0(const void* source, void* destination) { Exchange(source, destination, true); }
