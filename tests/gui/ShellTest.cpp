// The main window: its layout, start state, command line, format message,
// hints, menu states and the tool toolbar's faces.
#include <windows.h>
#include <commctrl.h>
#include <set>
#include "strip/ToolBarStrip.h"
#include "shell/Layout.h"
#include "formats/PngImage.h"
#include "tests/gui/EditorFixture.h"

// Every control inside the window and none over another (the command toolbar stands apart).
TEST_F(Editor, NoControlCoversAnother) {
    std::vector<RECT> rects;
    for (HWND w = GetWindow(main, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
        char cls[32] = {};
        GetClassNameA(w, cls, sizeof cls);
        if (!IsWindowVisible(w) || (lstrcmpA(cls, TOOLBARCLASSNAMEA) == 0 && w != hDrawTB)) continue;
        RECT r;
        GetWindowRect(w, &r);
        MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&r), 2);
        EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= LayoutSize && r.bottom <= LayoutSize)
            << GetDlgCtrlID(w);
        for (const RECT& other : rects) {
            RECT both;
            EXPECT_FALSE(IntersectRect(&both, &r, &other)) << GetDlgCtrlID(w) << " overlaps another";
        }
        rects.push_back(r);
    }
    EXPECT_GE(rects.size(), 50u);
}

// What the menus promise at start is what the editor does; a second copy finds the first and stops.
TEST_F(Editor, StartsAsAnEmptySixteenPixel24BitIconAndOnlyOnce) {
    EXPECT_EQ(OpenPaceMessageToMenu, 6);
    for (int id : {IDM_SIZE16, IDM_DEPTH24, IDM_GRIDSIMPLE, IDM_SHOWGRID, IDM_ICONMODE})
        EXPECT_TRUE(Checked(MenuStr.hMainMenu, id)) << id;
    EXPECT_TRUE(Checked(MenuStr.hPopupMenu, IDM_SIZE16));
    EXPECT_TRUE(PaintedCells().empty());
    char title[32];
    GetWindowTextA(main, title, sizeof title);
    EXPECT_STREQ(title, "Pixtor1.0.0");
    EXPECT_EQ(PixtorStartUp(GetModuleHandleA(nullptr), L"x.ico", SW_SHOW), nullptr);
    EXPECT_TRUE(IsWindow(main));
}

TEST_F(Editor, FormatMessageSetsTheFormatAndPreviewTextFromItsLowWord) {
    SendMessageA(main, WM_FORMATINDEX, 0, MAKELPARAM(5, 0x7777));   // the high word is ignored
    EXPECT_EQ(Pace, 32);
    EXPECT_EQ(MouseBit, 1);
    EXPECT_STREQ(PreviewTextOf(OpenPaceMessageToMenu), "32x32 8 bit");
    SendMessageA(board, WM_FORMATINDEX, 0, 0);   // only the main window acts on it
    EXPECT_EQ(Pace, 32);
}

TEST_F(Editor, ChosenToolShowsItsOwnFaceAndTheOthersTheirNormalOnes) {
    auto faces = [this](int tool) {
        Tool(tool);
        std::vector<int> images;
        for (int id = IDM_TOOLFIRST; id < IDM_TOOLFIRST + 9; ++id)
            images.push_back(static_cast<int>(SendMessageA(hDrawTB, TB_GETBITMAP, id, 0)));
        return images;
    };
    const std::vector<int> one = faces(1), four = faces(4);
    for (int t = 0; t < 9; ++t)
        if (t == 1 || t == 4) EXPECT_NE(one[t], four[t]) << t;
        else EXPECT_EQ(one[t], four[t]) << t;
    EXPECT_EQ(std::set<int>(four.begin(), four.end()).size(), 9u) << "a face of its own for each";
    EXPECT_EQ(faces(1), one) << "choosing again shows the same faces";
    EXPECT_EQ(CursorShape, 1);
}

TEST_F(Editor, UndoEntriesAreGreyedByTheStoreAndPasteByTheClipboard) {
    // The greyed entries of Undo, Undo back, Paste (both menus) and Copy, in that order.
    auto greyed = [this] {
        SendMessageA(main, WM_INITMENU, reinterpret_cast<WPARAM>(MenuStr.hMainMenu), 0);
        std::string marks;
        for (auto [menu, id] : {std::pair<void*, int>{MenuStr.hMainMenu, IDM_UNDO}, {MenuStr.hMainMenu, IDM_UNDOBACK},
                                {MenuStr.hMainMenu, IDM_PASTE}, {MenuStr.hPopupMenu, IDM_PASTE},
                                {MenuStr.hMainMenu, IDM_COPY}})
            marks += (GetMenuState(static_cast<HMENU>(menu), id, MF_BYCOMMAND) & MF_GRAYED) ? 'G' : '-';
        return marks;
    };
    ASSERT_TRUE(OpenClipboard(main));
    EmptyClipboard();
    CloseClipboard();
    EXPECT_EQ(greyed(), "GGGG-");
    Click(1, 1);
    EXPECT_EQ(greyed(), "-GGG-");
    Click(2, 2);
    Command(IDM_UNDO);
    Command(IDM_UNDO);
    EXPECT_EQ(greyed(), "G-GG-");
    ASSERT_TRUE(OpenClipboard(main));
    SetClipboardData(CF_BITMAP, CreateBitmap(4, 4, 1, 32, nullptr));
    CloseClipboard();
    EXPECT_EQ(greyed(), "G----");
}

// The read-out says where a press drags the window by its lower band; the
// face above it stays still.
TEST_F(Editor, TheLowerBandDragsTheWindowAndSaysSo) {
    const struct { POINT At; const char* Said; bool Moves; } cases[] = {
        {{300, 470}, "Drag", true}, {{42, 300}, "Still", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Said);
        POINT screen = c.At;
        ClientToScreen(main, &screen);
        SetCursorPos(screen.x, screen.y);
        Pump();
        EXPECT_EQ(Text(IDC_READDRAG), c.Said);
        RECT before, after;
        GetWindowRect(main, &before);
        DragWithMouse(main, c.At, {40, 30});
        Pump();
        GetWindowRect(main, &after);
        EXPECT_EQ(std::make_pair(after.left - before.left, after.top - before.top),
                  c.Moves ? std::make_pair(40L, 30L) : std::make_pair(0L, 0L));
    }
}

TEST_F(Files, AFileOnTheCommandLineOpensAtItsOwnFormatOrLeavesTheDocumentUnnamed) {
    const std::vector<uint8_t> good = IconBytes(6, RGB(0, 0, 255)), cursor = IconBytes(6, RGB(0, 0, 255), true);
    std::vector<uint8_t> wide = good, deep = good, cut(good.begin(), good.begin() + 30);
    wide[6] = 48;    // a 48x48 icon: the conversion question, answered No
    deep[12] = 16;   // 16 bits: no decoding fits, and no message
    struct Case { const char* Name; std::vector<uint8_t> Bytes; const char* Message; };
    const Case cases[] = {
        {"wide.ico", wide, "Current image format is not supported.\n Convert to 24bit 32x32?"},
        {"cut.ico", cut, "Error reading file!"},
        // Too short for the directory entry or the image header.
        {"short.ico", std::vector<uint8_t>(good.begin(), good.begin() + 10), "Error reading file!"},
        {"short.cur", std::vector<uint8_t>(cursor.begin(), cursor.begin() + 17), "Error reading file!"},
        {"deep.ico", deep, nullptr},
        {"missing.ico", {}, "Can't open file"},
        {"some.txt", good, nullptr},   // an unknown extension: not even tried
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string path = folder + c.Name;
        if (!c.Bytes.empty()) WriteBytes(path, c.Bytes);
        Restart(path);
        ASSERT_EQ(Prompts.size(), c.Message ? 1u : 0u);
        if (c.Message) EXPECT_EQ(Prompts[0].Text, c.Message);
        EXPECT_EQ(DocState(), std::make_tuple(0, 0, std::string()));
        EXPECT_STREQ(szTitleName, "");
        EXPECT_EQ(Pace, 16);
    }
    // A quoted path that can be read: its name, its title with one extension, size, depth, hot spot.
    const std::string path = folder + "pixtor gui test.cur";
    WriteBytes(path, IconBytes(5, RGB(0, 0, 255), true, 7, 9));   // 32x32, 8 bits
    Restart("\"" + path + "\"");
    EXPECT_EQ(DocState(), std::make_tuple(0, 1, path));
    EXPECT_STREQ(szTitleName, "pixtor gui test.cur");
    EXPECT_EQ(OpenPaceMessageToMenu, 5);
    EXPECT_EQ(HotSpot(), std::make_pair(7, 9));
    EXPECT_EQ(Pixel(31, 31), RGB(0, 0, 255));
    EXPECT_TRUE(IsMaskPixel(VirtualScreen[0]));
    // A PNG opens as Open opens it: named, but Save asks where.
    std::vector<uint32_t> picture(ImagePixels, MakeColour(1, 2, 3));
    WriteBytes(folder + "some.png", EncodePng(16, picture.data()));
    Restart(folder + "some.png");
    EXPECT_EQ(std::make_tuple(DocState(), OpenPaceMessageToMenu, Pixel(15, 15), Prompts.size()),
              std::make_tuple(std::make_tuple(0, 0, folder + "some.png"), 6, RGB(1, 2, 3), size_t(0)));
}

TEST_F(Editor, TheBitmapButtonsHandTheFocusBack) {
    for (int id = IDC_BITMAPFIRST; id <= IDC_BITMAPLAST; ++id) {
        SetFocus(GetDlgItem(main, id));
        Command(id);
        EXPECT_EQ(GetFocus(), main) << id;
    }
}

TEST_F(Editor, TitleStripShowsOnFocusLossExceptToOwnButtonsAndGoesOnReturn) {
    const struct { UINT Message; WPARAM WParam; bool Shows; } events[] = {
        {WM_KILLFOCUS, reinterpret_cast<WPARAM>(hPalete[3]), false}, {WM_KILLFOCUS, 0, true},
        {WM_SETFOCUS, 0, false}, {WM_KILLFOCUS, 0, true}, {WM_SIZE, SIZE_MINIMIZED, false}};
    HWND before = nullptr;   // the strip shown before each message
    for (const auto& e : events) {
        SendMessageA(main, e.Message, e.WParam, 0);
        EXPECT_EQ(hMenuDialogue != nullptr && IsWindow(hMenuDialogue), e.Shows) << e.Message;
        if (!e.Shows) EXPECT_FALSE(IsWindow(before)) << e.Message << ": the strip before it is gone";
        before = hMenuDialogue;
    }
}

TEST_F(Editor, ClosingFromTheSystemMenuRunsTheExitFlow) {
    Click(1, 1);
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
}

// The system menu has no size or maximise entries, and an About entry of its own.
TEST_F(Editor, AboutBoxFromBothMenusShowsItsAnimationAndClosesOnOK) {
    HMENU system = GetSystemMenu(main, FALSE);
    EXPECT_EQ(GetMenuState(system, SC_SIZE, MF_BYCOMMAND), static_cast<UINT>(-1));
    EXPECT_EQ(GetMenuState(system, SC_MAXIMIZE, MF_BYCOMMAND), static_cast<UINT>(-1));
    char label[32] = {};
    GetMenuStringA(system, IDM_ABOUT, label, sizeof label, MF_BYCOMMAND);
    EXPECT_STREQ(label, "About");
    int seen = 0, animated = 0;
    auto person = [&](HWND w) {
        char cls[32] = {};
        GetClassNameA(w, cls, sizeof cls);
        if (lstrcmpA(cls, "#32770") != 0 || !GetDlgItem(w, 154)) return false;
        ++seen;
        animated += GetDlgItem(w, 400) != nullptr && IsWindowVisible(GetDlgItem(w, 400));
        SendMessageA(w, WM_COMMAND, 154, 0);   // the person presses OK
        return true;
    };
    WithPerson(200, person, [&] {
        Command(IDM_ABOUT);   // returns once OK was pressed
        SendMessageA(main, WM_SYSCOMMAND, IDM_ABOUT, 0);   // the system menu entry opens it too
    });
    EXPECT_EQ(seen, 2);
    EXPECT_EQ(animated, 2);
}
