// Every resource the program loads by name is in the module, with the size,
// hot spot, items and keys the program relies on: the shell reports no
// missing resource at start-up, so a wrong one would only show as a blank
// face, a wrong pointer or a dead menu entry.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <string>
#include <vector>
#include "resources/Ids.h"

namespace {

HINSTANCE Module() { return GetModuleHandleA(nullptr); }

struct BitmapCase { const char* Name; int Width, Height; };

const BitmapCase Bitmaps[] = {
    {"Pixtor", 34, 18}, {"Pixtor1", 34, 18}, {"Pixtor2", 18, 18}, {"Pixtor3", 18, 18},
    {"Pixtor4", 18, 18}, {"AboutMe", 13, 13},
    {"SepLine", 500, 5}, {"Status", 200, 20},
    {"TOOL", 224, 32}, {"DrawTool", 432, 24},
    {"NudgeUpFirst", 24, 24}, {"NudgeUpSecond", 24, 24},
    {"NudgeDownFirst", 24, 24}, {"NudgeDownSecond", 24, 24},
    {"NudgeRightFirst", 24, 24}, {"NudgeRightSecond", 24, 24},
    {"NudgeLeftFirst", 24, 24}, {"NudgeLeftSecond", 24, 24},
    {"ToolBarRightFirst", 24, 50}, {"ToolBarRightSecond", 24, 50},
    {"ToolBarLeftFirst", 24, 50}, {"ToolBarLeftSecond", 24, 50},
    {"ToolBarAddFirst", 24, 24}, {"ToolBarAddSecond", 24, 24},
    {"ToolBarDeleteFirst", 24, 24}, {"ToolBarDeleteSecond", 24, 24},
    {"ToolBarUpdateFirst", 24, 24}, {"ToolBarUpdateSecond", 24, 24},
    {"ToolBarRetrieveFirst", 24, 24}, {"ToolBarRetrieveSecond", 24, 24},
    {"IconDlYesB", 80, 30}, {"IconDlNoB", 80, 30}, {"IconDlCnslB", 80, 30}, {"IconDlOK", 77, 29},
};

// The bit count stored in the resource itself (the loaded bitmap takes the
// screen's depth).
int ResourceBitCount(const char* name) {
    HRSRC found = FindResourceA(Module(), name, MAKEINTRESOURCEA(2) /* RT_BITMAP */);
    if (!found) return -1;
    const auto* header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(Module(), found)));
    return header ? header->biBitCount : -1;
}

// Colour of a bitmap pixel as the program's face painter sees it.
COLORREF PixelOf(HBITMAP bitmap, int x, int y) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    COLORREF c = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return c;
}

TEST(Resources, EveryBitmapLoadsByNameWithItsSize) {
    for (const BitmapCase& b : Bitmaps) {
        SCOPED_TRACE(b.Name);
        HBITMAP bitmap = LoadBitmapA(Module(), b.Name);
        ASSERT_NE(bitmap, nullptr);
        BITMAP info{};
        ASSERT_EQ(GetObjectA(bitmap, sizeof info, &info), static_cast<int>(sizeof info));
        EXPECT_EQ(info.bmWidth, b.Width);
        EXPECT_EQ(info.bmHeight, b.Height);
        DeleteObject(bitmap);
    }
}

TEST(Resources, ButtonFacesToolbarsAndDialogButtonsAreEightBit) {
    for (const BitmapCase& b : Bitmaps) {
        const std::string name = b.Name;
        if (name.rfind("Pixtor", 0) == 0 || name == "AboutMe" || name == "SepLine" || name == "Status") continue;
        SCOPED_TRACE(b.Name);
        EXPECT_EQ(ResourceBitCount(b.Name), 8);
    }
}

// The face painter floods from (0, 0) over the colour found there, so the
// background must reach the corners around the symbol.
TEST(Resources, ButtonFacesHaveOneBackgroundAtTheirCorners) {
    for (int k = 10; k < 30; ++k) {
        const BitmapCase& b = Bitmaps[k];
        SCOPED_TRACE(b.Name);
        HBITMAP bitmap = LoadBitmapA(Module(), b.Name);
        ASSERT_NE(bitmap, nullptr);
        const COLORREF corner = PixelOf(bitmap, 0, 0);
        EXPECT_EQ(PixelOf(bitmap, b.Width - 1, 0), corner);
        EXPECT_EQ(PixelOf(bitmap, 0, b.Height - 1), corner);
        EXPECT_EQ(PixelOf(bitmap, b.Width - 1, b.Height - 1), corner);
        DeleteObject(bitmap);
    }
}

TEST(Resources, PressedFacesDifferFromNormalFaces) {
    for (int k = 10; k < 30; k += 2) {
        SCOPED_TRACE(Bitmaps[k].Name);
        HBITMAP first = LoadBitmapA(Module(), Bitmaps[k].Name);
        HBITMAP second = LoadBitmapA(Module(), Bitmaps[k + 1].Name);
        ASSERT_TRUE(first && second);
        int differing = 0;
        for (int y = 0; y < Bitmaps[k].Height; ++y)
            for (int x = 0; x < Bitmaps[k].Width; ++x)
                if (PixelOf(first, x, y) != PixelOf(second, x, y)) ++differing;
        EXPECT_GT(differing, 20);
        DeleteObject(first);
        DeleteObject(second);
    }
}

struct CursorCase { const char* Name; DWORD HotX, HotY; };

TEST(Resources, EveryToolCursorLoadsWithItsHotSpot) {
    const CursorCase cursors[] = {
        {"Icur", 2, 29}, {"Line", 8, 8}, {"Spill", 5, 29}, {"Round", 15, 15},
        {"Square", 15, 15}, {"Masker", 3, 28}, {"Hot", 15, 15},
    };
    for (const CursorCase& c : cursors) {
        SCOPED_TRACE(c.Name);
        HCURSOR cursor = LoadCursorA(Module(), c.Name);
        ASSERT_NE(cursor, nullptr);
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(cursor, &info));
        EXPECT_FALSE(info.fIcon);
        EXPECT_EQ(info.xHotspot, c.HotX);
        EXPECT_EQ(info.yHotspot, c.HotY);
        BITMAP mask{};
        GetObjectA(info.hbmMask, sizeof mask, &mask);
        EXPECT_EQ(mask.bmWidth, 32);
        if (info.hbmColor) DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
    }
}

TEST(Resources, EveryDialogIconLoadsAt32x32) {
    const char* icons[] = {"CAT", "RES16", "RES32", "RES162", "RES1616",
                           "RES32OP25", "RES16M", "ICONMODE", "TOOLBARMODE"};
    for (const char* name : icons) {
        SCOPED_TRACE(name);
        HICON icon = LoadIconA(Module(), name);
        ASSERT_NE(icon, nullptr);
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        EXPECT_TRUE(info.fIcon);
        ASSERT_NE(info.hbmColor, nullptr);
        BITMAP colour{};
        GetObjectA(info.hbmColor, sizeof colour, &colour);
        EXPECT_EQ(colour.bmWidth, 32);
        EXPECT_EQ(colour.bmHeight, 32);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
    }
}

// One menu entry as read back: id (or -1 for a sub-menu, 0 for a
// separator), its text, and for a sub-menu its own entries.
struct Entry {
    int Id;
    std::string Text;
    std::vector<Entry> Items;
};

std::vector<Entry> ReadMenu(HMENU menu) {
    std::vector<Entry> out;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        char text[128] = {};
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_FTYPE | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof text - 1;
        GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info);
        Entry e{static_cast<int>(info.wID), text, {}};
        if (info.fType & MFT_SEPARATOR) e.Id = 0;
        if (info.hSubMenu) {
            e.Id = -1;
            e.Items = ReadMenu(info.hSubMenu);
        }
        out.push_back(e);
    }
    return out;
}

void ExpectMenu(const std::vector<Entry>& got, const std::vector<Entry>& want) {
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
        SCOPED_TRACE("entry " + std::to_string(i) + " " + want[i].Text);
        EXPECT_EQ(got[i].Id, want[i].Id);
        if (want[i].Id != 0) EXPECT_EQ(got[i].Text, want[i].Text);
        ExpectMenu(got[i].Items, want[i].Items);
    }
}

const Entry Separator{0, "", {}};

TEST(Resources, FileMenuHasItsEntriesInOrder) {
    HMENU menu = LoadMenuA(Module(), "Icon");
    ASSERT_NE(menu, nullptr);
    ExpectMenu(ReadMenu(menu), {
        {301, "New  \tAlt+N", {}}, {2, "Open...   \tAlt+O", {}}, {3, "Save        \tAlt+S", {}},
        {4, "Save as...  \tAlt+A", {}}, Separator, {25, "Extract icon \tAlt+E", {}}, Separator,
        {5, "Exit \tAlt+X", {}},
    });
    DestroyMenu(menu);
}

TEST(Resources, EditMenuHasItsEntriesAndSubMenusInOrder) {
    HMENU menu = LoadMenuA(Module(), "Icon2");
    ASSERT_NE(menu, nullptr);
    ExpectMenu(ReadMenu(menu), {
        {6, "Undo \tAlt+U", {}}, {7, "Undo back \tAlt+B", {}}, Separator,
        {313, "Copy \tCtrl+C", {}}, {314, "Paste \tCtrl+V", {}}, Separator,
        {10, "&Palette \tAlt+P", {}}, Separator,
        {-1, "Grid style", {{310, "Simple", {}}, {311, "Inversion", {}}}},
        {11, "&Show Grid", {}}, Separator,
        {-1, "Mode", {{26, "Icon mode", {}}, {27, "Toolbar mode", {}}}}, Separator,
        {-1, "Size", {{12, "16x16", {}}, {13, "32x32", {}}}},
        {-1, "Color depth", {{20, "24 bit", {}}, {19, "8 bit", {}}, {18, "4 bit", {}}, {17, "1 bit", {}}}},
        Separator, {312, "Help", {}},
    });
    DestroyMenu(menu);
}

TEST(Resources, RightClickMenuIsTheOneSubMenuOfIcon1) {
    HMENU menu = LoadMenuA(Module(), "Icon1");
    ASSERT_NE(menu, nullptr);
    ExpectMenu(ReadMenu(menu), {
        {-1, "", {{10, "Palette", {}}, {11, "Show Grid", {}}, Separator, {313, "Copy", {}},
                  {314, "Paste", {}}, Separator, {12, "16x16", {}}, {13, "32x32", {}}, Separator,
                  {5, "Exit", {}}, Separator, {15, "About", {}}}},
    });
    DestroyMenu(menu);
}

TEST(Resources, AcceleratorTable500HoldsTheElevenKeys) {
    HACCEL table = LoadAcceleratorsA(Module(), MAKEINTRESOURCEA(IDA_MAIN));
    ASSERT_NE(table, nullptr);
    ACCEL keys[16] = {};
    const int count = CopyAcceleratorTableA(table, keys, 16);
    struct Want { BYTE Modifier; WORD Key; WORD Cmd; };
    const Want want[] = {
        {FALT, 'X', 5}, {FALT, 'E', 25}, {FALT, 'A', 4}, {FALT, 'S', 3}, {FALT, 'O', 2},
        {FALT, 'N', 301}, {FALT, 'U', 6}, {FALT, 'B', 7}, {FCONTROL, 'C', 313},
        {FCONTROL, 'V', 314}, {FALT, 'P', 10},
    };
    ASSERT_EQ(count, 11);
    for (int i = 0; i < count; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(keys[i].fVirt & ~FNOINVERT, FVIRTKEY | want[i].Modifier);
        EXPECT_TRUE(keys[i].fVirt & FNOINVERT);
        EXPECT_EQ(keys[i].key, want[i].Key);
        EXPECT_EQ(keys[i].cmd, want[i].Cmd);
    }
    DestroyAcceleratorTable(table);
}

TEST(Resources, EveryDialogTemplateIsFoundByName) {
    for (const char* name : {"AboutSave", "AboutMe", "Resolution", "MenuBar", "Extractor"}) {
        SCOPED_TRACE(name);
        HRSRC found = FindResourceA(Module(), name, MAKEINTRESOURCEA(5) /* RT_DIALOG */);
        ASSERT_NE(found, nullptr);
        const auto* tmpl = static_cast<const DLGTEMPLATE*>(LockResource(LoadResource(Module(), found)));
        ASSERT_NE(tmpl, nullptr);
        EXPECT_TRUE(tmpl->style & WS_POPUP);
        EXPECT_FALSE((tmpl->style & WS_CAPTION) == WS_CAPTION);
    }
}

// The controls of a dialog as the system makes them, found by id.
struct OpenDialog {
    explicit OpenDialog(const char* name) {
        hwnd = CreateDialogParamA(Module(), name, nullptr, Proc, 0);
    }
    ~OpenDialog() { if (hwnd) DestroyWindow(hwnd); }
    static INT_PTR CALLBACK Proc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }
    std::string ClassOf(int id) const {
        char name[64] = {};
        GetClassNameA(GetDlgItem(hwnd, id), name, sizeof name);
        return name;
    }
    LONG StyleOf(int id) const { return GetWindowLongA(GetDlgItem(hwnd, id), GWL_STYLE); }
    HWND hwnd;
};

TEST(Resources, DialogsHoldTheControlsTheirProceduresUse) {
    InitCommonControls();
    {
        OpenDialog d("AboutSave");
        ASSERT_NE(d.hwnd, nullptr);
        for (int id : {150, 151, 152}) EXPECT_TRUE(d.StyleOf(id) & BS_BITMAP) << id;
        EXPECT_EQ(d.ClassOf(153), "Static");
    }
    {
        OpenDialog d("Resolution");
        ASSERT_NE(d.hwnd, nullptr);
        for (int id : {12, 13, 17, 18, 19, 20, 26}) EXPECT_EQ(d.StyleOf(id) & 0xF, BS_AUTORADIOBUTTON) << id;
        EXPECT_TRUE(d.StyleOf(155) & BS_BITMAP);
    }
    {
        OpenDialog d("Extractor");
        ASSERT_NE(d.hwnd, nullptr);
        EXPECT_TRUE(d.StyleOf(154) & BS_BITMAP);
    }
    {
        OpenDialog d("AboutMe");
        ASSERT_NE(d.hwnd, nullptr);
        EXPECT_TRUE(d.StyleOf(154) & BS_BITMAP);
        EXPECT_STREQ(d.ClassOf(400).c_str(), ANIMATE_CLASSA);
    }
}

TEST(Resources, AboutAnimationIsAnAviResource) {
    HRSRC found = FindResourceA(Module(), "MYAVI", "AVI");
    ASSERT_NE(found, nullptr);
    const auto* bytes = static_cast<const char*>(LockResource(LoadResource(Module(), found)));
    ASSERT_NE(bytes, nullptr);
    ASSERT_GT(SizeofResource(Module(), found), 12u);
    EXPECT_EQ(std::string(bytes, 4), "RIFF");
    EXPECT_EQ(std::string(bytes + 8, 4), "AVI ");
}

TEST(Resources, AnimationControlOpensAndPlaysMyavi) {
    InitCommonControls();
    HWND animation = CreateWindowExA(0, ANIMATE_CLASSA, "", WS_POPUP, 0, 0, 40, 40, nullptr,
                                     nullptr, Module(), nullptr);
    ASSERT_NE(animation, nullptr);
    EXPECT_TRUE(SendMessageA(animation, ACM_OPENA, reinterpret_cast<WPARAM>(Module()),
                             reinterpret_cast<LPARAM>("Myavi")));
    EXPECT_TRUE(SendMessageA(animation, ACM_PLAY, static_cast<WPARAM>(-1), MAKELONG(0, -1)));
    EXPECT_TRUE(SendMessageA(animation, ACM_STOP, 0, 0));
    // A name that is not there must fail, or the check above proves nothing.
    EXPECT_FALSE(SendMessageA(animation, ACM_OPENA, reinterpret_cast<WPARAM>(Module()),
                              reinterpret_cast<LPARAM>("NoSuchClip")));
    DestroyWindow(animation);
}

}  // namespace
