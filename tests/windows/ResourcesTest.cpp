// Every resource the program loads by name is in the module, with the size,
// hot spot, entries and keys the program relies on: the shell reports no
// missing resource at start-up, so a wrong one would only show as a blank
// face, a wrong pointer or a dead menu entry.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <map>
#include <string>
#include "resources/Ids.h"

namespace {

HINSTANCE Module() { return GetModuleHandleA(nullptr); }

struct BitmapCase { const char* Name; int Width, Height; };

// Button faces come in pairs, normal then pressed, from index FirstFace.
const int FirstFace = 10, FaceCount = 20;
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

COLORREF PixelOf(HDC dc, HBITMAP bitmap, int x, int y) {
    HGDIOBJ old = SelectObject(dc, bitmap);
    const COLORREF c = GetPixel(dc, x, y);
    SelectObject(dc, old);
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

// The face painter floods from (0, 0) over the colour found there, so the
// background must reach every corner; and a pressed face must look pressed.
TEST(Resources, ButtonFacesHaveOneBackgroundAndAPressedLook) {
    HDC dc = CreateCompatibleDC(nullptr);
    for (int k = FirstFace; k < FirstFace + FaceCount; k += 2) {
        const BitmapCase& b = Bitmaps[k];
        SCOPED_TRACE(b.Name);
        HBITMAP normal = LoadBitmapA(Module(), b.Name);
        HBITMAP pressed = LoadBitmapA(Module(), Bitmaps[k + 1].Name);
        ASSERT_TRUE(normal && pressed);
        for (HBITMAP face : {normal, pressed}) {
            const COLORREF corner = PixelOf(dc, face, 0, 0);
            EXPECT_EQ(PixelOf(dc, face, b.Width - 1, 0), corner);
            EXPECT_EQ(PixelOf(dc, face, 0, b.Height - 1), corner);
            EXPECT_EQ(PixelOf(dc, face, b.Width - 1, b.Height - 1), corner);
        }
        int differing = 0;
        for (int y = 0; y < b.Height; ++y)
            for (int x = 0; x < b.Width; ++x)
                differing += PixelOf(dc, normal, x, y) != PixelOf(dc, pressed, x, y);
        EXPECT_GT(differing, 20);
        DeleteObject(normal);
        DeleteObject(pressed);
    }
    DeleteDC(dc);
}

TEST(Resources, CursorsKeepTheirHotSpotsAndIconsTheirSize) {
    struct CursorCase { const char* Name; DWORD HotX, HotY; };
    const CursorCase cursors[] = {
        {"Icur", 2, 29}, {"Line", 8, 8}, {"Spill", 5, 29}, {"Round", 15, 15},
        {"Square", 15, 15}, {"Masker", 3, 28}, {"Hot", 15, 15},
    };
    for (const CursorCase& c : cursors) {
        SCOPED_TRACE(c.Name);
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(LoadCursorA(Module(), c.Name), &info));
        EXPECT_FALSE(info.fIcon);
        EXPECT_EQ(info.xHotspot, c.HotX);
        EXPECT_EQ(info.yHotspot, c.HotY);
        if (info.hbmColor) DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
    }
    for (const char* name : {"CAT", "RES16", "RES32", "RES162", "RES1616", "RES32OP25", "RES16M",
                             "ICONMODE", "TOOLBARMODE"}) {
        SCOPED_TRACE(name);
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(LoadIconA(Module(), name), &info));
        ASSERT_NE(info.hbmColor, nullptr);
        BITMAP colour{};
        GetObjectA(info.hbmColor, sizeof colour, &colour);
        EXPECT_EQ(colour.bmWidth, 32);
        EXPECT_EQ(colour.bmHeight, 32);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
    }
}

// Every entry of a menu and its sub-menus, in order: the command (or -1 for
// a sub-menu, 0 for a separator) and the text.
void ReadMenu(HMENU menu, std::vector<std::pair<int, std::string>>& out) {
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[128] = {};
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_FTYPE | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof text - 1;
        GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info);
        const int id = info.hSubMenu ? -1 : (info.fType & MFT_SEPARATOR) ? 0 : static_cast<int>(info.wID);
        out.emplace_back(id, text);
        if (info.hSubMenu) ReadMenu(info.hSubMenu, out);
    }
}

// Each key a menu entry shows after its tab ("Alt+N", "Ctrl+C") is in the
// accelerator table with that entry's command, and each key of the table is
// shown on some entry: a key that does nothing, or a command nobody can find,
// fails here.
TEST(Resources, MenuKeysAndTheAcceleratorTableAgree) {
    HACCEL table = LoadAcceleratorsA(Module(), MAKEINTRESOURCEA(IDA_MAIN));
    ASSERT_NE(table, nullptr);
    ACCEL keys[32] = {};
    const int count = CopyAcceleratorTableA(table, keys, 32);
    DestroyAcceleratorTable(table);
    std::map<std::string, int> byKey;
    for (int i = 0; i < count; ++i) {
        const int modifiers = keys[i].fVirt & ~(FVIRTKEY | FNOINVERT);
        EXPECT_EQ(keys[i].fVirt & FVIRTKEY, FVIRTKEY);
        const std::string modifier = modifiers == FALT ? "Alt+" : modifiers == FCONTROL ? "Ctrl+" : "?";
        byKey[modifier + static_cast<char>(keys[i].key)] = keys[i].cmd;
    }
    EXPECT_EQ(byKey.size(), 11u);
    std::vector<std::pair<int, std::string>> entries;
    for (const char* name : {"Icon", "Icon2"}) {
        HMENU menu = LoadMenuA(Module(), name);
        ReadMenu(menu, entries);
        DestroyMenu(menu);
    }
    size_t shown = 0;
    for (const auto& e : entries) {
        const size_t tab = e.second.find('\t');
        if (tab == std::string::npos) continue;
        const std::string key = e.second.substr(tab + 1);
        SCOPED_TRACE(e.second);
        ASSERT_TRUE(byKey.count(key));
        EXPECT_EQ(byKey[key], e.first);
        ++shown;
    }
    EXPECT_EQ(shown, byKey.size());
}

TEST(Resources, AnimationControlOpensAndPlaysMyavi) {
    InitCommonControls();
    HWND animation = CreateWindowExA(0, ANIMATE_CLASSA, "", WS_POPUP, 0, 0, 40, 40, nullptr,
                                     nullptr, Module(), nullptr);
    ASSERT_NE(animation, nullptr);
    EXPECT_TRUE(SendMessageA(animation, ACM_OPENA, reinterpret_cast<WPARAM>(Module()),
                             reinterpret_cast<LPARAM>("Myavi")));
    EXPECT_TRUE(SendMessageA(animation, ACM_PLAY, static_cast<WPARAM>(-1), MAKELONG(0, -1)));
    // A name that is not there must fail, or the check above proves nothing.
    EXPECT_FALSE(SendMessageA(animation, ACM_OPENA, reinterpret_cast<WPARAM>(Module()),
                              reinterpret_cast<LPARAM>("NoSuchClip")));
    DestroyWindow(animation);
}

}  // namespace
