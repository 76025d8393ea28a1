// The main window: its layout, start state, command line, format message,
// hints, menu states and the tool toolbar's faces.
#include <windows.h>
#include <commctrl.h>
#include <cstdio>
#include <fstream>
#include "formats/ByteStream.h"
#include "formats/IcFormat.h"
#include "formats/win32/IconFile.h"
#include "strip/ToolBarStrip.h"
#include "shell/Layout.h"
#include "tests/gui/EditorFixture.h"

namespace {
RECT ClientRectOf(HWND parent, HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

UINT Checked(void* menu, int id) {
    return GetMenuState(static_cast<HMENU>(menu), id, MF_BYCOMMAND) & MF_CHECKED;
}
}

// Every child where the layout puts it, inside the window, none over another.
TEST_F(Editor, EveryControlStandsAtItsPlaceAndNoneCoversAnother) {
    std::vector<Place> places = {SepLinePlace, StatusPlace, PreviewPlace, BoardPlace, GradientPlace, StripPlace,
                                 HotSpotPlace};
    places.insert(places.end(), std::begin(ReadOutPlaces), std::end(ReadOutPlaces));
    places.insert(places.end(), std::begin(BitmapButtonPlaces), std::end(BitmapButtonPlaces));
    for (int k = 0; k < PaletteButtons; ++k) places.push_back(PalettePlace(k));
    for (int k = 0; k < 3; ++k) places.push_back(SliderPlace(k));
    EXPECT_EQ(places.size(), 52u - 2u) << "all but the two toolbars";
    std::vector<RECT> rects;
    for (const Place& p : places) {
        HWND control = GetDlgItem(main, p.Id);
        ASSERT_NE(control, nullptr) << "id " << p.Id;
        RECT r = ClientRectOf(main, control);
        const RECT want = {p.X, p.Y, p.X + p.Width, p.Y + p.Height};
        EXPECT_TRUE(EqualRect(&r, &want)) << "id " << p.Id;
        EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= LayoutSize && r.bottom <= LayoutSize) << "id " << p.Id;
        rects.push_back(r);
    }
    rects.push_back(ClientRectOf(main, hDrawTB));
    for (size_t a = 0; a < rects.size(); ++a)
        for (size_t b = a + 1; b < rects.size(); ++b) {
            RECT both;
            EXPECT_FALSE(IntersectRect(&both, &rects[a], &rects[b])) << a << " and " << b << " overlap";
        }
}

TEST_F(Editor, StartsAsASixteenPixel24BitIconWithTheSimpleGrid) {
    EXPECT_EQ(Pace, 16);
    EXPECT_EQ(iMx, 0x658);
    EXPECT_EQ(OpenPaceMessageToMenu, 6);
    EXPECT_TRUE(Checked(MenuStr.hMainMenu, IDM_SIZE16));
    EXPECT_TRUE(Checked(MenuStr.hMainMenu, IDM_DEPTH24));
    EXPECT_TRUE(Checked(MenuStr.hMainMenu, IDM_GRIDSIMPLE));
    EXPECT_TRUE(Checked(MenuStr.hMainMenu, IDM_SHOWGRID));
    EXPECT_TRUE(Checked(MenuStr.hMainMenu, IDM_ICONMODE));
    EXPECT_TRUE(Checked(MenuStr.hPopupMenu, IDM_SIZE16));
    EXPECT_FALSE(Checked(MenuStr.hMainMenu, IDM_TOOLBARMODE));
    for (uint32_t p : VirtualScreen) ASSERT_TRUE(IsMaskPixel(p));
    EXPECT_EQ(Text(IDC_READX), "-----");
    char title[32];
    GetWindowTextA(main, title, sizeof title);
    EXPECT_STREQ(title, "Pixtor1.0.0");
}

TEST_F(Editor, ASecondCopyFindsTheFirstAndStops) {
    EXPECT_EQ(PixtorStartUp(GetModuleHandleA(nullptr), const_cast<char*>("x.ico"), SW_SHOW), nullptr);
    EXPECT_TRUE(IsWindow(main));
}

TEST_F(Editor, FormatMessageSetsSizeDepthChecksAndPreviewText) {
    SendMessageA(main, WM_USER, 0, 5);
    EXPECT_EQ(iMx, 0x0CB8);
    EXPECT_EQ(Pace, 32);
    EXPECT_EQ(MouseBit, 1);
    EXPECT_TRUE(Checked(MenuStr.hMainMenu, IDM_DEPTH8));
    EXPECT_TRUE(Checked(MenuStr.hMainMenu, IDM_SIZE32));
    EXPECT_FALSE(Checked(MenuStr.hMainMenu, IDM_DEPTH24));
    EXPECT_FALSE(Checked(MenuStr.hPopupMenu, IDM_SIZE16));
    EXPECT_STREQ(PreviewTextOf(iMx), "32x32 8 bit");
    const char* texts[8] = {"16x16 1 bit", "32x32 1 bit", "16x16 4 bit", "32x32 4 bit",
                            "16x16 8 bit", "32x32 8 bit", "16x16 24 bit", "32x32 24 bit"};
    for (int i = 0; i < 8; ++i) {
        SendMessageA(main, WM_USER, 0, MAKELPARAM(i, 0x7777));   // the high word is ignored
        EXPECT_EQ(OpenPaceMessageToMenu, i);
        EXPECT_STREQ(PreviewTextOf(iMx), texts[i]);
    }
    SendMessageA(main, WM_USER, 0, 9);
    EXPECT_EQ(OpenPaceMessageToMenu, 7);
    EXPECT_EQ(Pace, 32);
    EXPECT_EQ(MenuStr.Size32 + MenuStr.Size16 + MenuStr.Depth24 + MenuStr.Depth8 +
                  MenuStr.Depth4 + MenuStr.Depth1, 0);
    SendMessageA(board, WM_USER, 0, 0);   // only the main window acts on it
    EXPECT_EQ(Pace, 32);
}

TEST_F(Editor, HintsFollowTheTableAndAreBlankFromOtherSources) {
    HWND tips = reinterpret_cast<HWND>(SendMessageA(hDrawTB, TB_GETTOOLTIPS, 0, 0));
    ASSERT_NE(tips, nullptr);
    char hint[64];
    const struct { int Id; const char* Want; } rows[] = {
        {42, "  Fill regeon"}, {44, "  Draw filled round"}, {47, "    Mask color"},
        {IDM_UNDO, "        Undo"}, {IDM_RESOLUTION, "  Change resolution"},
        {48, "  Set hot spot"}, {45, "  Draw square"},
    };
    for (auto& row : rows) {
        FormatHint(hint, tips, row.Id);
        EXPECT_STREQ(hint, row.Want) << row.Id;
    }
    FormatHint(hint, tips, 999);
    EXPECT_STREQ(hint, "                  ");
    FormatHint(hint, board, 42);
    EXPECT_STREQ(hint, "                  ");
}

TEST_F(Editor, ChosenToolShowsItsOwnFaceAndTheOthersTheirNormalOnes) {
    auto image = [](int id) {
        TBBUTTONINFOA info = {};
        info.cbSize = sizeof info;
        info.dwMask = TBIF_IMAGE;
        SendMessageA(hDrawTB, TB_GETBUTTONINFOA, id, reinterpret_cast<LPARAM>(&info));
        return info.iImage;
    };
    EXPECT_EQ(image(40), 9);
    EXPECT_EQ(image(41), 1);
    Command(41);
    EXPECT_EQ(image(41), 10);
    EXPECT_EQ(image(40), 0);
    Command(44);
    for (int id = 40; id <= 48; ++id) EXPECT_EQ(image(id), id == 44 ? 13 : id - 40) << id;
    EXPECT_EQ(DrawBar.Tool, 4);
    EXPECT_EQ(CursorShape, 4);
    EXPECT_EQ(DrawBar.StartX, NoShapePending);
}

TEST_F(Editor, UndoEntriesAreGreyedByTheStoreAndPasteByTheClipboard) {
    auto greyed = [](void* menu, int id) {
        return (GetMenuState(static_cast<HMENU>(menu), id, MF_BYCOMMAND) & MF_GRAYED) != 0;
    };
    SendMessageA(main, WM_INITMENU, reinterpret_cast<WPARAM>(MenuStr.hMainMenu), 0);
    EXPECT_TRUE(greyed(MenuStr.hMainMenu, IDM_UNDO));
    EXPECT_TRUE(greyed(MenuStr.hMainMenu, IDM_UNDOBACK));
    Press(1, 1); Release(1, 1);
    SendMessageA(main, WM_INITMENU, 0, 0);
    EXPECT_FALSE(greyed(MenuStr.hMainMenu, IDM_UNDO));
    EXPECT_TRUE(greyed(MenuStr.hMainMenu, IDM_UNDOBACK));
    Press(2, 2); Release(2, 2);
    Command(IDM_UNDO);
    Command(IDM_UNDO);
    SendMessageA(main, WM_INITMENU, 0, 0);
    EXPECT_FALSE(greyed(MenuStr.hMainMenu, IDM_UNDOBACK));

    ASSERT_TRUE(OpenClipboard(main));
    EmptyClipboard();
    CloseClipboard();
    SendMessageA(main, WM_INITMENU, 0, 0);
    EXPECT_TRUE(greyed(MenuStr.hMainMenu, IDM_PASTE));
    EXPECT_TRUE(greyed(MenuStr.hPopupMenu, IDM_PASTE));
    ASSERT_TRUE(OpenClipboard(main));
    HBITMAP bitmap = CreateBitmap(4, 4, 1, 32, nullptr);
    SetClipboardData(CF_BITMAP, bitmap);
    CloseClipboard();
    SendMessageA(main, WM_INITMENU, 0, 0);
    EXPECT_FALSE(greyed(MenuStr.hMainMenu, IDM_PASTE));
    EXPECT_FALSE(greyed(MenuStr.hPopupMenu, IDM_PASTE));
    EXPECT_FALSE(greyed(MenuStr.hMainMenu, IDM_COPY));
}

TEST_F(Editor, GridCommandsKeepTheirChecksInStep) {
    Command(IDM_SHOWGRID);
    EXPECT_EQ(boolGreed, 1);
    EXPECT_FALSE(Checked(MenuStr.hMainMenu, IDM_SHOWGRID));
    EXPECT_FALSE(Checked(MenuStr.hPopupMenu, IDM_SHOWGRID));
    Command(IDM_GRIDINVERSION);
    EXPECT_TRUE(Checked(MenuStr.hMainMenu, IDM_GRIDINVERSION));
    EXPECT_FALSE(Checked(MenuStr.hMainMenu, IDM_GRIDSIMPLE));
    Command(IDM_SHOWGRID);
    EXPECT_TRUE(Checked(MenuStr.hPopupMenu, IDM_SHOWGRID));
}

TEST_F(Editor, DragBandAndTheHotSpotText) {
    SendMessageA(main, WM_MOUSEMOVE, 0, MAKELPARAM(300, 430));
    EXPECT_EQ(Text(IDC_READDRAG), "Drag");
    SendMessageA(main, WM_MOUSEMOVE, 0, MAKELPARAM(300, 424));
    EXPECT_EQ(Text(IDC_READDRAG), "Still");
}

// ---- The file named on the command line ------------------------------------------

class CommandLine : public Editor {
protected:
    void SetUp() override {}
    std::string WriteCursor() {
        char dir[MAX_PATH];
        GetTempPathA(MAX_PATH, dir);
        std::string path = std::string(dir) + "pixtor gui test.cur";
        uint32_t pixels[ImagePixels];
        for (int i = 0; i < ImagePixels; ++i) pixels[i] = i % 3 ? RGB(0, 0, 255) : MaskColor;
        MemoryStream out;
        Format(out, pixels, FormatTable[5].iMx, 1, 7, 9);   // 32x32, 8 bits
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(out.data.data()),
                                                    static_cast<std::streamsize>(out.data.size()));
        return path;
    }
};

TEST_F(CommandLine, AQuotedPathOpensAtTheFilesOwnSizeAndDepth) {
    std::string path = WriteCursor();
    Start(("\"" + path + "\"").c_str());
    EXPECT_STREQ(szFileName, path.c_str());
    EXPECT_STREQ(szTitleName, "pixtor gui test.cur");
    EXPECT_EQ(Pace, 32);
    EXPECT_EQ(OpenPaceMessageToMenu, 5);
    EXPECT_EQ(FileFlag, 1);
    EXPECT_EQ(CursorStr.HotX, 7);
    EXPECT_EQ(CursorStr.HotY, 9);
    EXPECT_TRUE(Checked(MenuStr.hMainMenu, IDM_DEPTH8));
    EXPECT_TRUE(Checked(MenuStr.hMainMenu, IDM_SIZE32));
    EXPECT_EQ(Pixel(1, 0), RGB(0, 0, 255));
    EXPECT_TRUE(IsMaskPixel(VirtualScreen[0]));
    DeleteFileA(path.c_str());
}

TEST_F(CommandLine, AFileThatCannotBeReadLeavesTheDocumentUnnamed) {
    uint32_t pixels[ImagePixels];
    for (uint32_t& p : pixels) p = RGB(0, 0, 255);
    MemoryStream good;
    Format(good, pixels, FormatTable[6].iMx, 0, 0, 0);
    std::vector<uint8_t> wide = good.data, deep = good.data, cut(good.data.begin(), good.data.begin() + 30);
    wide[6] = 48;    // a 48x48 icon: the conversion question, answered No
    deep[12] = 16;   // 16 bits: no decoding fits, and no message
    const std::string folder = TestFolder();
    struct Case { const char* Name; std::vector<uint8_t> Bytes; const char* Message; };
    const Case cases[] = {
        {"wide.ico", wide, "Current image format is not supported.\n Convert to 24bit 32x32?"},
        {"cut.ico", cut, "Error reading file!"},
        {"deep.ico", deep, nullptr},
        {"missing.ico", {}, "Can't open file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string path = folder + c.Name;
        if (!c.Bytes.empty()) WriteBytes(path, c.Bytes);
        Restart(path);
        ASSERT_EQ(Prompts.size(), c.Message ? 1u : 0u);
        if (c.Message) EXPECT_EQ(Prompts[0].Text, c.Message);
        EXPECT_STREQ(szFileName, "");
        EXPECT_STREQ(szTitleName, "");
        EXPECT_EQ(FileFlag, 0);
        Press(1, 1);
        Release(1, 1);
        Command(IDM_SAVE);   // asks for a name; the person cancels
        EXPECT_EQ(Dialogs.size(), 1u);
        EXPECT_EQ(ReadBytes(path), c.Bytes);
        DeleteFileA(path.c_str());
    }
    // A file that can be read keeps its name, its title with one extension.
    WriteBytes(folder + "good.ico", good.data);
    Restart(folder + "good.ico");
    EXPECT_EQ(std::string(szFileName), folder + "good.ico");
    EXPECT_STREQ(szTitleName, "good.ico");
    EXPECT_EQ(FileFlag, 1);
    DeleteFileA((folder + "good.ico").c_str());
}

TEST_F(Editor, TheBitmapButtonsHandTheFocusBack) {
    for (int id = IDC_BITMAPFIRST; id <= IDC_BITMAPLAST; ++id) {
        SetFocus(GetDlgItem(main, id));
        Command(id);
        EXPECT_EQ(GetFocus(), main) << id;
    }
}

TEST_F(CommandLine, AnUnknownExtensionStartsEmptyWithNoName) {
    Start("C:\\pictures\\some.png");
    EXPECT_STREQ(szFileName, "");
    EXPECT_STREQ(szTitleName, "");
    EXPECT_EQ(Pace, 16);
    EXPECT_TRUE(Prompts.empty());
}

TEST_F(CommandLine, ABmpFileSwitchesToToolbarMode) {
    Start("C:\\nowhere\\STRIP.BMP");
    EXPECT_EQ(ToolBarStr.StripActive, 1);
    EXPECT_TRUE(Checked(MenuStr.hMainMenu, IDM_TOOLBARMODE));
    EXPECT_FALSE(Checked(MenuStr.hMainMenu, IDM_ICONMODE));
    ASSERT_EQ(Prompts.size(), 1u);   // the file is not there
    EXPECT_EQ(Prompts[0].Text, "Can't open file");
    EXPECT_EQ(Prompts[0].Caption, "Error");
    ToolBarStr.StripActive = 0;
}

// ---- Focus, the title strip and the system menu ------------------------------------

TEST_F(Editor, TitleStripShowsOnFocusLossExceptToOwnButtonsAndGoesOnReturn) {
    SendMessageA(main, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hPalete[3]), 0);
    EXPECT_EQ(hMenuDialogue, nullptr);
    SendMessageA(main, WM_KILLFOCUS, 0, 0);
    ASSERT_NE(hMenuDialogue, nullptr);
    HWND strip = hMenuDialogue;
    EXPECT_TRUE(IsWindow(strip));
    SendMessageA(main, WM_SETFOCUS, 0, 0);
    EXPECT_EQ(hMenuDialogue, nullptr);
    EXPECT_FALSE(IsWindow(strip));
    SendMessageA(main, WM_KILLFOCUS, 0, 0);
    strip = hMenuDialogue;
    SendMessageA(main, WM_SIZE, SIZE_MINIMIZED, 0);
    EXPECT_EQ(hMenuDialogue, nullptr);
    EXPECT_FALSE(IsWindow(strip));
}

TEST_F(Editor, ClosingFromTheSystemMenuRunsTheExitFlow) {
    Press(1, 1); Release(1, 1);
    SavePromptAnswer = 2;   // cancel
    RECT before, after;
    GetWindowRect(main, &before);
    SendMessageA(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(SavePromptCount, 1);
    ASSERT_TRUE(IsWindow(main));
    GetWindowRect(main, &after);
    EXPECT_TRUE(EqualRect(&before, &after));   // no animation
    SendMessageA(main, WM_COMMAND, MAKEWPARAM(IDM_BARLOGO, 0), 0);   // the third bar image does nothing
    EXPECT_TRUE(IsWindow(main));
    SavePromptAnswer = 1;   // no
    SendMessageA(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(IsWindow(main));
    EXPECT_TRUE(Dialogs.empty());
}

TEST_F(Editor, SystemMenuHasAboutAndNoSizeOrMaximise) {
    HMENU system = GetSystemMenu(main, FALSE);
    EXPECT_EQ(GetMenuState(system, SC_SIZE, MF_BYCOMMAND), static_cast<UINT>(-1));
    EXPECT_EQ(GetMenuState(system, SC_MAXIMIZE, MF_BYCOMMAND), static_cast<UINT>(-1));
    char label[32] = {};
    GetMenuStringA(system, IDM_ABOUT, label, sizeof label, MF_BYCOMMAND);
    EXPECT_STREQ(label, "About");
    HMENU bar = GetMenu(main);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(GetMenuItemCount(bar), 5);
    EXPECT_EQ(GetSubMenu(bar, 1), static_cast<HMENU>(MenuStr.hMainMenu));
    EXPECT_EQ(GetMenuItemID(bar, 2), static_cast<UINT>(IDM_BARLOGO));
    EXPECT_EQ(GetMenuItemID(bar, 4), static_cast<UINT>(IDM_EXIT));
}

// ---- The About box ---------------------------------------------------------------------

namespace {
struct AboutSeen { bool Found = false; bool AnimationThere = false; };
AboutSeen Seen;

BOOL CALLBACK FindAbout(HWND w, LPARAM) {
    char cls[32] = {};
    GetClassNameA(w, cls, sizeof cls);
    if (lstrcmpA(cls, "#32770") != 0 || !GetDlgItem(w, 154)) return TRUE;
    Seen.Found = true;
    Seen.AnimationThere = GetDlgItem(w, 400) != nullptr && IsWindowVisible(GetDlgItem(w, 400));
    SendMessageA(w, WM_COMMAND, 154, 0);   // the person presses OK
    return FALSE;
}

void CALLBACK PressAboutOK(HWND, UINT, UINT_PTR, DWORD) {
    EnumThreadWindows(GetCurrentThreadId(), FindAbout, 0);
}
}

TEST_F(Editor, AboutBoxShowsItsAnimationAndClosesOnOK) {
    Seen = {};
    UINT_PTR timer = SetTimer(nullptr, 0, 200, PressAboutOK);
    Command(IDM_ABOUT);   // returns once OK was pressed
    EXPECT_TRUE(Seen.Found);
    EXPECT_TRUE(Seen.AnimationThere);
    Seen = {};
    SendMessageA(main, WM_SYSCOMMAND, IDM_ABOUT, 0);   // the system menu entry opens it too
    KillTimer(nullptr, timer);
    EXPECT_TRUE(Seen.Found);
}
