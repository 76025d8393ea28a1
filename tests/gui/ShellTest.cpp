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
    EXPECT_EQ(MenuChecks(), (std::vector<UINT>{IDM_SIZE16, IDM_DEPTH24, IDM_ICONMODE, 1000 + IDM_SIZE16}));
    EXPECT_TRUE(Checked(MenuStr.hMainMenu, IDM_GRIDSIMPLE) && Checked(MenuStr.hMainMenu, IDM_SHOWGRID));
    EXPECT_EQ(std::make_pair(Pace, PaintedCells().empty()), std::make_pair(16, true));
    EXPECT_TRUE(!PixtorStartUp(GetModuleHandleA(nullptr), L"x.ico", SW_SHOW) && IsWindow(main));
}

// The format message acts on its low word, on the main window only; an
// index outside the table changes neither the format nor the menus.
TEST_F(Editor, FormatMessageTakesItsLowWordAndNoIndexOutsideTheTable) {
    SendMessageA(main, WM_FORMATINDEX, 0, MAKELPARAM(5, 0x7777));   // the high word is ignored
    EXPECT_EQ(OpenPaceMessageToMenu, 5);
    const int pace = Pace;
    const std::vector<UINT> checks = MenuChecks();
    SendMessageA(board, WM_FORMATINDEX, 0, 0);
    for (int outside : {8, 0xFFFF}) SendMessageA(main, WM_FORMATINDEX, 0, outside);
    EXPECT_EQ(std::make_tuple(OpenPaceMessageToMenu, Pace, MenuChecks()), std::make_tuple(5, pace, checks));
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
}

// Paste on both menus is greyed by the clipboard, Copy never (the random
// session checks Undo, Undo back and Paste against the store after every action).
TEST_F(Editor, PasteOnBothMenusIsGreyedByTheClipboardAndCopyNever) {
    auto greyed = [this] {   // Paste on the menu bar and the right-click menu, and Copy
        SendMessageA(main, WM_INITMENU, reinterpret_cast<WPARAM>(MenuStr.hMainMenu), 0);
        std::string marks;
        for (auto [menu, id] : {std::pair<void*, int>{MenuStr.hMainMenu, IDM_PASTE}, {MenuStr.hPopupMenu, IDM_PASTE},
                                {MenuStr.hMainMenu, IDM_COPY}})
            marks += (GetMenuState(static_cast<HMENU>(menu), id, MF_BYCOMMAND) & MF_GRAYED) ? 'G' : '-';
        return marks;
    };
    PutOnClipboard(main, 0, nullptr);
    EXPECT_EQ(greyed(), "GG-");
    PutOnClipboard(main, CF_BITMAP, CreateBitmap(4, 4, 1, 32, nullptr));
    EXPECT_EQ(greyed(), "---");
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
    // A file that is not taken leaves the document unnamed (what the reader
    // says of each kind: the tests of Open); one of another extension is not even tried.
    WriteBytes(folder + "some.txt", IconBytes(6, RGB(0, 0, 255)));
    for (const auto& [name, said] : {std::make_pair("missing.ico", std::vector<std::string>{"Can't open file"}),
                                     std::make_pair("some.txt", std::vector<std::string>{})}) {
        SCOPED_TRACE(name);
        Restart(folder + name);
        EXPECT_EQ(Said(), said);
        EXPECT_EQ(std::make_tuple(DocState(), std::string(szTitleName), Pace), std::make_tuple(std::make_tuple(0, 0, std::string()), std::string(), 16));
    }
    // A PNG opens as Open opens it: named, but Save asks where.
    std::vector<uint32_t> picture(ImagePixels, MakeColour(1, 2, 3));
    WriteBytes(folder + "some.png", EncodePng(16, picture.data()));
    Restart(folder + "some.png");
    EXPECT_EQ(std::make_tuple(DocState(), OpenPaceMessageToMenu, Pixel(15, 15), Prompts.size()),
              std::make_tuple(std::make_tuple(0, 0, folder + "some.png"), 6, RGB(1, 2, 3), size_t(0)));
}

// The bitmap buttons hand the focus back; the title strip shows on focus
// loss, except to the window's own buttons, and goes on its return.
TEST_F(Editor, FocusComesBackFromTheButtonsAndTheTitleStripShowsWhileItIsAway) {
    for (int id = IDC_BITMAPFIRST; id <= IDC_BITMAPLAST; ++id) {
        SetFocus(GetDlgItem(main, id));
        Command(id);
        EXPECT_EQ(GetFocus(), main) << id;
    }
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

// The system menu has no size or maximise entries, and an About entry of its
// own; the About box from either menu shows its animation and closes on OK.
// Close on it runs the exit flow.
TEST_F(Editor, TheSystemMenuOpensAboutAndClosesThroughTheExitFlow) {
    HMENU system = GetSystemMenu(main, FALSE);
    EXPECT_EQ(std::make_pair(GetMenuState(system, SC_SIZE, MF_BYCOMMAND), GetMenuState(system, SC_MAXIMIZE, MF_BYCOMMAND)),
              std::make_pair(UINT(-1), UINT(-1)));
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
    EXPECT_EQ(std::make_pair(seen, animated), std::make_pair(2, 2));

    Click(1, 1);
    SavePromptAnswer = 2;   // cancel
    RECT before, after;
    GetWindowRect(main, &before);
    SendMessageA(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_EQ(std::make_pair(SavePromptCount, IsWindow(main)), std::make_pair(1, TRUE));
    GetWindowRect(main, &after);
    EXPECT_TRUE(EqualRect(&before, &after));   // no animation
    SendMessageA(main, WM_COMMAND, MAKEWPARAM(IDM_BARLOGO, 0), 0);   // the third bar image does nothing
    EXPECT_TRUE(IsWindow(main));
    SavePromptAnswer = 1;   // no
    SendMessageA(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(IsWindow(main));
}
