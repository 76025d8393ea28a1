// The one working image and the document-wide state around it.
// Plain C++ with no platform headers: the shell reads and sets these
// as the window procedures need, the codecs take them as parameters.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include "document/FileNames.h"

// Room for a 32x32 image whatever the current size; pixel (x, y) is
// element y * Pace + x, each a colour reference 0x00BBGGRR (byte 0 red,
// byte 1 green, byte 2 blue, byte 3 an extra byte normally 0).
constexpr int ImagePixels = 1024;
constexpr int ImageBytes = ImagePixels * 4;

// Transparent pixels are this colour (red 95, green 111, blue 111);
// there is no separate mask plane. Byte 3 never takes part in the test.
constexpr uint32_t MaskColor = 0x006F6F5F;
inline bool IsMaskPixel(uint32_t pixel) { return (pixel & 0x00FFFFFFu) == (MaskColor & 0x00FFFFFFu); }

inline uint32_t MakeColour(unsigned r, unsigned g, unsigned b) {
    return (r & 0xFFu) | ((g & 0xFFu) << 8) | ((b & 0xFFu) << 16);
}
inline unsigned RedOf(uint32_t c) { return c & 0xFFu; }
inline unsigned GreenOf(uint32_t c) { return (c >> 8) & 0xFFu; }
inline unsigned BlueOf(uint32_t c) { return (c >> 16) & 0xFFu; }

// ---- Size and depth: one table, always applied as a whole -------------
// Format index = 2 * depth rank + (1 for 32x32); ranks 0..3 = 1, 4, 8, 24 bits.
constexpr int FormatCount = 8;
struct FormatRow {
    int Pace;   // edge length, 16 or 32
    int Bits;   // bits per pixel in the file: 1, 4, 8 or 24
};
inline constexpr FormatRow FormatTable[FormatCount] = {
    {16, 1}, {32, 1}, {16, 4}, {32, 4}, {16, 8}, {32, 8}, {16, 24}, {32, 24},
};

int FormatIndexOf(int pace, int bits);   // -1 when no row matches
// The index of a size and a depth rank (0 = 1 bit .. 3 = 24 bits), and
// back; 24 bits is what strips and extracted icons take.
constexpr int TrueColourRank = 3;
constexpr int FormatIndex(int pace, int depthRank) { return 2 * depthRank + (pace == 32 ? 1 : 0); }
constexpr int DepthRankOf(int index) { return index / 2; }
constexpr bool IsFormatIndex(int index) { return index >= 0 && index < FormatCount; }

// Every size and depth rank finds its own row.
constexpr bool FormatTableFollowsTheIndex() {
    const int bits[4] = {1, 4, 8, 24};
    for (int rank = 0; rank < 4; ++rank)
        for (int pace = 16; pace <= 32; pace += 16) {
            const int index = FormatIndex(pace, rank);
            if (FormatTable[index].Pace != pace || FormatTable[index].Bits != bits[rank] ||
                DepthRankOf(index) != rank)
                return false;
        }
    return true;
}
static_assert(FormatTableFollowsTheIndex(), "the format table's rows stand in the order of the format index");

// ---- Document state (owned here, one instance each) --------------------
extern uint32_t VirtualScreen[ImagePixels];
extern int Pace;                  // 16 or 32, the row stride of VirtualScreen
extern int OpenPaceMessageToMenu; // format index 0..7
extern int NeedToSave;            // 1: changed since created, loaded or written
extern int FileFlag;              // 1: plain Save may write to the current name
extern int boolGreed;             // 1: board grid hidden
extern int MouseBit;              // 1: a button may be down without a board press
extern int CursorShape;           // index of the board's mouse cursor (= tool)

struct CursorRecord {
    int IsCursor;                 // set anew by every write from the file name
    void* hHotWnd;                // the hot-spot read-out window
    uint16_t HotX, HotY;          // hot spot in image pixels
};
extern CursorRecord CursorStr;

struct MenuRecord {
    void* hMainMenu;
    void* hPopupMenu;
    int SimpleGrid, InversionGrid, ShowGrid, IconMode, ToolbarMode;
    int Size16, Size32, Depth24, Depth8, Depth4, Depth1;
};
extern MenuRecord MenuStr;

// Tool state. Coordinates hold negative sentinels while no shape is pending.
enum { ToolBrush, ToolLine, ToolFill, ToolRound, ToolFilledRound, ToolSquare,
       ToolFilledSquare, ToolMask, ToolHotSpot, ToolCount };
constexpr int NoShapePending = -1;  // after a tool change or a nudge
constexpr int LineCommitted = -3;
constexpr int ShapeCommitted = -2;
struct DrawBarRecord {
    int Pressed;
    int Tool;
    uint32_t Color;
    int StartX, StartY;
    int EndX, EndY;
};
extern DrawBarRecord DrawBar;

struct GlobalPointRecord {
    uint32_t* Pixels;   // always VirtualScreen
    void* hBoard;       // the drawing board window
};
extern GlobalPointRecord GlobalPoint;

// ---- The document's names --------------------------------------------
// The file's path and title; the copies taken before a file dialog, to give
// the pair back when the file cannot be read; the file the extractor lists.
// Names are UTF-8: any path the system holds fits, at up to three bytes for
// each of its UTF-16 units.
constexpr int NameLength = 3 * PathUnits;
extern char szFileName[NameLength], szTitleName[NameLength];
extern char szFileNameCopy[NameLength], szTitleNameCopy[NameLength];
extern char szFileNameEx[NameLength], szTitleNameEx[NameLength];
// Makes path the name in file and its title in title; false, changing
// nothing, for a name the system cannot hold.
bool SetNames(char* file, char* title, const std::string& path);
void KeepNames();
void RestoreNames();
// An unnamed document (a new strip, or no strip any more).
void ForgetDocumentName();

// Start-up state of everything above; VirtualScreen becomes all MaskColor.
void InitDocument();
// The one writer of size and depth: stores the index and sets Pace and the
// six size and depth check flags from its row (the row's two set,
// the other four cleared), and keeps the hot spot in the picture.
// Indices outside the table only clear the flags.
// The main window applies it on the format message; nothing else sets
// these.
void ApplyFormatIndex(int index);
// New image: all 1024 pixels transparent; size, depth and hot spot stay.
void ClearImage(uint32_t* pixels);
// The image rescaled from oldPace to newPace: the hot spot moves with the
// picture (applying the new size then keeps it inside).
void RescaleHotSpot(int newPace, int oldPace);
// A write makes a cursor exactly when the text after the name's last '.'
// is "cur" in any case.
bool IsCursorFileName(const char* name);

// Red and blue change places in all 1024 pixels, for every crossing to or
// from the platform's bitmaps; each pixel is read whole before it is
// written, so source and destination may be the same buffer.
void PortingProc(const void* source, void* destination);
// The same exchange, with byte 3 of every destination pixel set to 0.
void PortingProc0(const void* source, void* destination);
