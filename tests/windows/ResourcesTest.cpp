// The resources the program loads by name: the shell reports none missing,
// so a wrong one would only show as a blank face, a wrong pointer or a dead key.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <vector>
#include "resources/Ids.h"
#include "resources/Names.h"

namespace {

HINSTANCE Module() { return GetModuleHandleA(nullptr); }

// Loads a bitmap by name, or fails the test; its size.
std::pair<LONG, LONG> Loads(const char* name, HBITMAP* kept = nullptr) {
    HBITMAP bitmap = LoadBitmapA(Module(), name);
    BITMAP info{};
    EXPECT_EQ(GetObjectA(bitmap, sizeof info, &info), static_cast<int>(sizeof info)) << name;
    if (kept) *kept = bitmap;
    else DeleteObject(bitmap);
    return {info.bmWidth, info.bmHeight};
}

COLORREF PixelOf(HDC dc, HBITMAP bitmap, int x, int y) {
    HGDIOBJ old = SelectObject(dc, bitmap);
    const COLORREF c = GetPixel(dc, x, y);
    SelectObject(dc, old);
    return c;
}

TEST(Resources, EveryBitmapTheProgramNamesLoads) {
    auto loads = [](const auto& table) { for (const char* name : table) EXPECT_GT(Loads(name).first, 0) << name; };
    loads(szBitName), loads(szDlgSave), loads(ToolbarStripNames), loads(StatusImageNames);
}

// The face painter floods from (0, 0) over the colour found there, so the
// background must reach every corner; and a pressed face must look pressed.
TEST(Resources, ButtonFacesPairUpWithOneBackgroundAndAPressedLook) {
    HDC dc = CreateCompatibleDC(nullptr);
    for (const auto& pair : FaceNames) {
        SCOPED_TRACE(pair[0]);
        HBITMAP normal = nullptr, pressed = nullptr;
        const auto [w, h] = Loads(pair[0], &normal);
        ASSERT_EQ(Loads(pair[1], &pressed), std::make_pair(w, h));
        for (HBITMAP face : {normal, pressed})
            for (POINT p : {POINT{w - 1, 0}, POINT{0, h - 1}, POINT{w - 1, h - 1}})
                EXPECT_EQ(PixelOf(dc, face, p.x, p.y), PixelOf(dc, face, 0, 0));
        int differing = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) differing += PixelOf(dc, normal, x, y) != PixelOf(dc, pressed, x, y);
        EXPECT_GT(differing, 20);
        DeleteObject(normal);
        DeleteObject(pressed);
    }
    DeleteDC(dc);
}

// Each pointer's hot spot is the one its picture's source gives it.
TEST(Resources, ToolCursorsKeepTheirHotSpots) {
    std::ifstream art(PIXTOR_SOURCE_DIR "/resources/art/cursors.txt");
    ASSERT_TRUE(art) << "the cursors' source";
    std::map<std::string, std::pair<DWORD, DWORD>> given;
    for (std::string word, name; art >> word;)
        if (word == "cur" && art >> name) art >> given[name].first >> given[name].second;
    for (const char* name : CursorNames) {
        if (!name) continue;
        SCOPED_TRACE(name);
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(LoadCursorA(Module(), name), &info));
        EXPECT_FALSE(info.fIcon);
        ASSERT_TRUE(given.count(name));
        EXPECT_EQ(std::make_pair(info.xHotspot, info.yHotspot), given[name]);
        if (info.hbmColor) DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
    }
}

INT_PTR CALLBACK Inert(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

BOOL CALLBACK Named(HMODULE, LPCSTR, LPSTR name, LONG_PTR list) {
    if (!IS_INTRESOURCE(name)) reinterpret_cast<std::vector<std::string>*>(list)->push_back(name);
    return TRUE;
}

// Every icon a dialog template names is there: its static shows it.
TEST(Resources, EveryDialogFindsItsIcons) {
    InitCommonControls();
    std::vector<std::string> dialogs;
    EnumResourceNamesA(Module(), RT_DIALOG, Named, reinterpret_cast<LONG_PTR>(&dialogs));
    int icons = 0;
    for (const std::string& name : dialogs) {
        HWND dialog = CreateDialogParamA(Module(), name.c_str(), nullptr, Inert, 0);
        ASSERT_NE(dialog, nullptr) << name;
        for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            char cls[16] = {};
            GetClassNameA(c, cls, sizeof cls);
            if (lstrcmpiA(cls, "Static") || (GetWindowLongPtrA(c, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) continue;
            ++icons;
            EXPECT_NE(SendMessageA(c, STM_GETICON, 0, 0), 0) << name;
        }
        DestroyWindow(dialog);
    }
    EXPECT_GE(icons, 9) << "the templates' icons were found";
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

TEST(Resources, AnimationControlOpensAndPlaysTheAboutClip) {
    InitCommonControls();
    HWND animation = CreateWindowExA(0, ANIMATE_CLASSA, "", WS_POPUP, 0, 0, 40, 40, nullptr,
                                     nullptr, Module(), nullptr);
    ASSERT_NE(animation, nullptr);
    EXPECT_TRUE(SendMessageA(animation, ACM_OPENA, reinterpret_cast<WPARAM>(Module()),
                             reinterpret_cast<LPARAM>(AboutClipName)));
    EXPECT_TRUE(SendMessageA(animation, ACM_PLAY, static_cast<WPARAM>(-1), MAKELONG(0, -1)));
    // A name that is not there must fail, or the check above proves nothing.
    EXPECT_FALSE(SendMessageA(animation, ACM_OPENA, reinterpret_cast<WPARAM>(Module()),
                              reinterpret_cast<LPARAM>("NoSuchClip")));
    DestroyWindow(animation);
}

}  // namespace
