// What a person sees and presses on the main window: the command toolbar,
// the painted preview, hot-spot read-out and status hint, the right-click menu.
#include <windows.h>
#include <commctrl.h>
#include "controls/Controls.h"
#include "strip/ToolBarStrip.h"
#include "tests/gui/EditorFixture.h"

using Face = Editor;

// The command toolbar, the toolbar that is not the tools'.
static HWND CommandBar(HWND window) {
    HWND bar = FindWindowExA(window, nullptr, TOOLBARCLASSNAMEA, nullptr);
    return bar == hDrawTB ? FindWindowExA(window, bar, TOOLBARCLASSNAMEA, nullptr) : bar;
}

// The seven buttons of the command toolbar, in order, each with its own
// picture, each sending its command when clicked.
TEST_F(Face, TheCommandToolbarsButtonsAndWhatTheyDo) {
    HWND bar = CommandBar(main);
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(SendMessageA(bar, TB_BUTTONCOUNT, 0, 0), 7);
    Click(2, 3);
    struct Row { int Id; std::function<bool()> Done; };
    const Row rows[] = {
        {IDM_OPEN, [] { return !Dialogs.empty() && !Dialogs.back().Save; }},
        {IDM_SAVE, [] { return !Dialogs.empty() && Dialogs.back().Save; }},
        {IDM_UNDO, [this] { return PaintedCells().empty(); }},
        {IDM_UNDOBACK, [this] { return PaintedCells().size() == 1; }},
        {IDM_SHOWGRID, [] { return boolGreed == 1; }},
        {IDM_PALETTE, [] { return ColourChooserCalls == 1; }},
        {IDM_RESOLUTION, [] { return hModlessDlg != nullptr; }},
    };
    for (int k = 0; k < 7; ++k) {
        TBBUTTON button = {};
        SendMessageA(bar, TB_GETBUTTON, k, reinterpret_cast<LPARAM>(&button));
        EXPECT_EQ(std::make_pair(button.idCommand, button.iBitmap), std::make_pair(rows[k].Id, k)) << "button " << k;
        RECT r;
        SendMessageA(bar, TB_GETITEMRECT, k, reinterpret_cast<LPARAM>(&r));
        const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        Dialogs.clear();
        SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(bar, WM_LBUTTONUP, 0, at);
        EXPECT_TRUE(rows[k].Done()) << "button " << k;
    }
}

// The image at actual size, one dot per pixel, amid the preview; its size
// and depth in ink under it.
TEST_F(Face, ThePreviewShowsThePictureAndItsFormat) {
    std::vector<bool> text[2];
    for (int pace : {16, 32}) {
        SCOPED_TRACE(pace);
        if (pace == 32) Command(IDM_SIZE32);
        for (int y = 0; y < pace; ++y)
            for (int x = 0; x < pace; ++x) VirtualScreen[y * pace + x] = RGB(x * 7, y * 7, 200);
        // The paints still due first (the preview's own erases it), then the main window's.
        RedrawWindow(main, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        int w = 0;
        const std::vector<COLORREF> shown = Shown(hIcon, &w);
        const size_t first = std::find(shown.begin(), shown.end(), RGB(0, 0, 200)) - shown.begin();
        ASSERT_LT(first, shown.size());
        const int x0 = static_cast<int>(first) % w, y0 = static_cast<int>(first) / w;
        for (int y = 0; y < pace; ++y)
            for (int x = 0; x < pace; ++x)
                ASSERT_EQ(shown[(y0 + y) * w + x0 + x], RGB(x * 7, y * 7, 200)) << x << "," << y;
        EXPECT_LE(std::abs(2 * x0 + pace - w), 3) << "centred across";
        // The size and depth below, in ink on the read-outs' brush: where the
        // ink lies, as the shades of smoothed letters drawn over themselves vary.
        const COLORREF face = RGB(100, 100, 255);
        for (int k = 35 * w; k < 66 * w; ++k) text[pace / 32].push_back(shown[k] != face);
        EXPECT_GT(std::count(text[pace / 32].begin(), text[pace / 32].end(), true), 50);
    }
    EXPECT_NE(text[0], text[1]);
}

// The hot spot in words on the red face: both lines show ink.
TEST_F(Face, TheHotSpotReadOutShowsItsPlace) {
    CursorStr.HotX = 31, CursorStr.HotY = 5;
    char text[32];
    HotSpotText(text);
    EXPECT_STREQ(text, "X= 31 Y=  5");   // each number in a field of three
    HWND hot = static_cast<HWND>(CursorStr.hHotWnd);
    RedrawWindow(hot, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    int w = 0;
    const std::vector<COLORREF> shown = Shown(hot, &w);
    const int h = static_cast<int>(shown.size()) / w;
    int ink[2] = {};
    for (size_t k = 0; k < shown.size(); ++k) ink[static_cast<int>(k / w) >= h / 2] += shown[k] != RGB(207, 31, 31);
    EXPECT_GT(std::min(ink[0], ink[1]), 20) << "ink on both lines";
}

// A tooltip's notice writes the button's hint into the status image; from
// anything else the image is left blank.
TEST_F(Face, TheStatusImageShowsTheHintOfTheToolUnderThePointer) {
    HWND tools = reinterpret_cast<HWND>(SendMessageA(hDrawTB, TB_GETTOOLTIPS, 0, 0));
    NMHDR notice = {tools, 0, TTN_SHOW};
    const std::vector<COLORREF> blank = Shown(hStatBar);
    SendMessageA(main, WM_NOTIFY, 42, reinterpret_cast<LPARAM>(&notice));
    EXPECT_NE(Shown(hStatBar), blank);
    notice.hwndFrom = board;
    SendMessageA(main, WM_NOTIFY, 42, reinterpret_cast<LPARAM>(&notice));
    EXPECT_EQ(Shown(hStatBar), blank);
    // A command's text, padded to its width, and a hint for every tool; a
    // button without a hint, or a notice from elsewhere, gives the blank one.
    HWND commands = reinterpret_cast<HWND>(SendMessageA(CommandBar(main), TB_GETTOOLTIPS, 0, 0));
    const char* const none = "                  ";
    const struct { HWND From; WPARAM Id; const char* Hint; } hints[] = {
        {commands, IDM_OPEN, "   Open file"}, {tools, IDM_TOOLFIRST + ToolFilledRound, "  Draw filled round"},
        {tools, IDM_TOOLFIRST + ToolHotSpot, "  Set hot spot"}, {tools, IDM_NEW, none}, {board, IDM_OPEN, none}};
    char text[64];
    for (const auto& h : hints) {
        FormatHint(text, h.From, h.Id);
        EXPECT_STREQ(text, h.Hint) << h.Id;
    }
    for (int tool = 0; tool < ToolCount; ++tool) {   // every tool has its hint
        FormatHint(text, tools, IDM_TOOLFIRST + tool);
        EXPECT_STRNE(text, none) << tool;
    }
}

TEST_F(Face, TheRightButtonOpensTheRightClickMenu) {
    HMENU seen = nullptr;
    auto person = [&](HWND) {
        HWND menu = FindWindowA("#32768", nullptr);
        if (!menu || !IsWindowVisible(menu)) return false;
        seen = reinterpret_cast<HMENU>(SendMessageA(menu, MN_GETHMENU, 0, 0));
        EndMenu();
        return true;
    };
    // The press returns when the menu closes.
    WithPerson(100, person, [this] { SendMessageA(main, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(440, 20)); });
    EXPECT_EQ(seen, static_cast<HMENU>(MenuStr.hPopupMenu));
}
