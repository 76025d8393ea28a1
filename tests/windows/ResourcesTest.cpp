// The resources the program loads by name: the shell reports none missing,
// so a wrong one would only show as a blank face, a wrong pointer or a dead key.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <cstring>
#include <map>
#include <string>
#include "resources/Ids.h"

namespace {

HINSTANCE Module() { return GetModuleHandleA(nullptr); }

struct BitmapCase { std::string Name; LONG Width, Height; };
const BitmapCase Bitmaps[] = {
    {"Pixtor", 34, 18}, {"Pixtor1", 34, 18}, {"Pixtor2", 18, 18}, {"Pixtor3", 18, 18},
    {"Pixtor4", 18, 18}, {"AboutMe", 13, 13}, {"SepLine", 500, 5}, {"Status", 200, 20},
    {"TOOL", 224, 32}, {"DrawTool", 432, 24},
    {"IconDlYesB", 80, 30}, {"IconDlNoB", 80, 30}, {"IconDlCnslB", 80, 30}, {"IconDlOK", 77, 29},
};
// Button faces: Name + "First" drawn normally, Name + "Second" pressed.
const BitmapCase Faces[] = {
    {"NudgeUp", 24, 24}, {"NudgeDown", 24, 24}, {"NudgeRight", 24, 24}, {"NudgeLeft", 24, 24},
    {"ToolBarRight", 24, 50}, {"ToolBarLeft", 24, 50}, {"ToolBarAdd", 24, 24}, {"ToolBarDelete", 24, 24},
    {"ToolBarUpdate", 24, 24}, {"ToolBarRetrieve", 24, 24},
};

// Loads by name with its size, or fails the test.
HBITMAP LoadChecked(const BitmapCase& b, const std::string& name) {
    SCOPED_TRACE(name);
    HBITMAP bitmap = LoadBitmapA(Module(), name.c_str());
    BITMAP info{};
    EXPECT_EQ(GetObjectA(bitmap, sizeof info, &info), static_cast<int>(sizeof info));
    EXPECT_EQ(std::make_pair(info.bmWidth, info.bmHeight), std::make_pair(b.Width, b.Height));
    return bitmap;
}

COLORREF PixelOf(HDC dc, HBITMAP bitmap, int x, int y) {
    HGDIOBJ old = SelectObject(dc, bitmap);
    const COLORREF c = GetPixel(dc, x, y);
    SelectObject(dc, old);
    return c;
}

TEST(Resources, EveryBitmapLoadsByNameWithItsSize) {
    for (const BitmapCase& b : Bitmaps) DeleteObject(LoadChecked(b, b.Name));
}

// The face painter floods from (0, 0) over the colour found there, so the
// background must reach every corner; and a pressed face must look pressed.
TEST(Resources, ButtonFacesHaveTheirSizeOneBackgroundAndAPressedLook) {
    HDC dc = CreateCompatibleDC(nullptr);
    for (const BitmapCase& b : Faces) {
        SCOPED_TRACE(b.Name);
        HBITMAP normal = LoadChecked(b, b.Name + "First"), pressed = LoadChecked(b, b.Name + "Second");
        ASSERT_TRUE(normal && pressed);
        for (HBITMAP face : {normal, pressed}) {
            for (POINT p : {POINT{b.Width - 1, 0}, POINT{0, b.Height - 1}, POINT{b.Width - 1, b.Height - 1}})
                EXPECT_EQ(PixelOf(dc, face, p.x, p.y), PixelOf(dc, face, 0, 0));
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

TEST(Resources, CursorsKeepTheirHotSpotsAndIconsLoad) {
    const struct { const char* Name; DWORD HotX, HotY; } cursors[] = {
        {"Icur", 2, 29}, {"Line", 8, 8}, {"Spill", 5, 29}, {"Round", 15, 15},
        {"Square", 15, 15}, {"Masker", 3, 28}, {"Hot", 15, 15},
    };
    for (const auto& c : cursors) {
        SCOPED_TRACE(c.Name);
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(LoadCursorA(Module(), c.Name), &info));
        EXPECT_FALSE(info.fIcon);
        EXPECT_EQ(std::make_pair(info.xHotspot, info.yHotspot), std::make_pair(c.HotX, c.HotY));
        if (info.hbmColor) DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
    }
    // The dialogs' icons: the loader stretches any icon to its default size.
    for (const char* name : {"CAT", "RES16", "RES32", "RES162", "RES1616", "RES32OP25", "RES16M",
                             "ICONMODE", "TOOLBARMODE"})
        EXPECT_NE(LoadIconA(Module(), name), nullptr) << name;
}

// The key each entry of a menu and its sub-menus shows after its tab
// ("Alt+N", "Ctrl+C"), with the entry's command.
void ShownKeys(HMENU menu, std::vector<std::pair<std::string, int>>& out) {
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[128] = {};
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof text - 1;
        GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info);
        if (info.hSubMenu) ShownKeys(info.hSubMenu, out);
        else if (const char* tab = std::strchr(text, '\t')) out.emplace_back(tab + 1, static_cast<int>(info.wID));
    }
}

// A key that does nothing, or a command nobody can find, fails here.
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
    std::vector<std::pair<std::string, int>> shown;
    for (const char* name : {"Icon", "Icon2"}) {
        HMENU menu = LoadMenuA(Module(), name);
        ShownKeys(menu, shown);
        DestroyMenu(menu);
    }
    for (const auto& [key, command] : shown) {
        SCOPED_TRACE(key);
        ASSERT_TRUE(byKey.count(key));
        EXPECT_EQ(byKey[key], command);
    }
    EXPECT_EQ(shown.size(), byKey.size());   // and every key of the table is shown
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
