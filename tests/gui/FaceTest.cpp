// What a person sees and presses on the main window: keys through the
// program's own message loop, the command toolbar, the painted preview,
// hot-spot read-out and status hint, the right-click menu.
#include <windows.h>
#include <commctrl.h>
#include "controls/Controls.h"
#include "strip/ToolBarStrip.h"
#include "tests/gui/EditorFixture.h"

namespace {
void CALLBACK EndLoop(HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(0); }

// The keys pressed and let go as a person does, through the system's input;
// the program's own message loop runs until they are handled.
void PressKeys(HWND main, std::initializer_list<WORD> keys) {
    SetForegroundWindow(main);
    SetFocus(main);
    std::vector<INPUT> input;
    for (WORD k : keys) {
        INPUT i = {};
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = k;
        input.push_back(i);
    }
    for (auto k = keys.end(); k != keys.begin();) {
        INPUT i = {};
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = *--k;
        i.ki.dwFlags = KEYEVENTF_KEYUP;
        input.push_back(i);
    }
    SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
    UINT_PTR timer = SetTimer(nullptr, 0, 300, EndLoop);
    PixtorMessageLoop();
    KillTimer(nullptr, timer);
}
}

class Face : public Editor {
protected:
    void Draw() {
        Press(2, 3);
        Release(2, 3);
    }
};

TEST_F(Face, EveryAcceleratorThroughTheMessageLoop) {
    struct Row {
        const char* Keys;
        std::initializer_list<WORD> Press;
        std::function<bool()> Done;
    };
    const Row rows[] = {
        {"Alt+N", {VK_MENU, 'N'}, [] { return !Prompts.empty() && Prompts.back().Text == "Current image will be destroyed. Proceed?"; }},
        {"Alt+O", {VK_MENU, 'O'}, [] { return !Dialogs.empty() && !Dialogs.back().Save && Dialogs.back().DefaultExtension == "ico"; }},
        {"Alt+S", {VK_MENU, 'S'}, [] { return !Dialogs.empty() && Dialogs.back().Save; }},
        {"Alt+A", {VK_MENU, 'A'}, [] { return !Dialogs.empty() && Dialogs.back().Save; }},
        {"Alt+E", {VK_MENU, 'E'}, [] { return !Dialogs.empty() && Dialogs.back().Filter == "Executable files (*.EXE)"; }},
        {"Alt+U", {VK_MENU, 'U'}, [this] { return PaintedCells().empty(); }},
        {"Alt+B", {VK_MENU, 'B'}, [this] { return PaintedCells().size() == 1; }},
        {"Ctrl+C", {VK_CONTROL, 'C'}, [] { return IsClipboardFormatAvailable(CF_BITMAP) != 0; }},
        {"Ctrl+V", {VK_CONTROL, 'V'}, [] { return DinamicMem.NextSlot == 3; }},
        {"Alt+P", {VK_MENU, 'P'}, [] { return ColourChooserCalls == 1; }},
        {"Alt+X", {VK_MENU, 'X'}, [] { return SavePromptCount == 1; }},
    };
    OpenClipboard(main);
    EmptyClipboard();
    CloseClipboard();
    Draw();                 // one undo step
    Command(IDM_UNDO);      // two: Undo keeps the drawing to step forward to
    SavePromptAnswer = 2;   // Alt+X: cancel
    for (const Row& r : rows) {
        SCOPED_TRACE(r.Keys);
        Prompts.clear();
        Dialogs.clear();
        if (std::string(r.Keys) == "Alt+U") Command(IDM_UNDOBACK);
        PressKeys(main, r.Press);
        EXPECT_TRUE(r.Done());
        ASSERT_TRUE(IsWindow(main));
        NeedToSave = 1;
    }
}

// The seven buttons of the command toolbar, in order, each with its own
// picture, each sending its command when clicked.
TEST_F(Face, TheCommandToolbarsButtonsAndWhatTheyDo) {
    HWND bar = nullptr;
    for (HWND w = FindWindowExA(main, nullptr, TOOLBARCLASSNAMEA, nullptr); w;
         w = FindWindowExA(main, w, TOOLBARCLASSNAMEA, nullptr))
        if (w != hDrawTB) bar = w;
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(SendMessageA(bar, TB_BUTTONCOUNT, 0, 0), 7);
    Draw();
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
        EXPECT_EQ(button.idCommand, rows[k].Id) << "button " << k;
        EXPECT_EQ(button.iBitmap, k) << "button " << k;
        RECT r;
        SendMessageA(bar, TB_GETITEMRECT, k, reinterpret_cast<LPARAM>(&r));
        const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        Dialogs.clear();
        SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(bar, WM_LBUTTONUP, 0, at);
        EXPECT_TRUE(rows[k].Done()) << "button " << k;
    }
}

// The image at actual size, one dot per pixel, and its size and depth under it.
TEST_F(Face, ThePreviewShowsThePictureAndItsFormat) {
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
        // Each dot is two pixels wide, centred up and left of its place.
        const int x0 = (50 - pace) / 2 - 1, y0 = (50 - pace - 11) / 2 - 1;
        // The last dots reach one pixel further right and down: the last
        // column and row shown twice.
        for (int y = 0; y <= pace; ++y)
            for (int x = 0; x <= pace; ++x)
                ASSERT_EQ(shown[(y0 + y) * w + x0 + x], RGB(std::min(x, pace - 1) * 7, std::min(y, pace - 1) * 7, 200))
                    << x << "," << y;
        const COLORREF face = RGB(100, 100, 255);   // the read-outs' brush behind
        EXPECT_EQ(shown[(y0 - 1) * w + x0], face);
        EXPECT_EQ(shown[y0 * w + x0 - 1], face);
        // The text below, as the window's own font writes it.
        const char* text = pace == 16 ? "16x16 24 bit" : "32x32 24 bit";
        const std::vector<COLORREF> wanted = Render(w, 68, [&](HDC hdc) {
            HBRUSH brush = CreateSolidBrush(face);
            RECT all = {0, 0, w, 68}, rc = {0, 35, w, 68};
            FillRect(hdc, &all, brush);
            DeleteObject(brush);
            SetBkMode(hdc, TRANSPARENT);
            DrawTextA(hdc, text, -1, &rc, DT_CENTER | DT_WORDBREAK);
        });
        // Ink where the text has ink; a repaint draws the text over itself,
        // so the shades of its smoothed edges may differ.
        for (int y = 35; y < 66; ++y)
            for (int x = 1; x < w - 1; ++x)
                ASSERT_EQ(shown[y * w + x] != face, wanted[y * w + x] != face) << x << "," << y;
    }
}

// The hot spot in words on the red face, each number in a field of three.
TEST_F(Face, TheHotSpotReadOutShowsItsPlace) {
    CursorStr.HotX = 31;
    CursorStr.HotY = 5;
    HWND hot = static_cast<HWND>(CursorStr.hHotWnd);
    InvalidateRect(hot, nullptr, TRUE);
    UpdateWindow(hot);
    int w = 0;
    const std::vector<COLORREF> shown = Shown(hot, &w);
    const int h = static_cast<int>(shown.size()) / w;
    const std::vector<COLORREF> wanted = Render(w, h, [&](HDC hdc) {
        HBRUSH red = CreateSolidBrush(RGB(207, 31, 31));
        RECT rc = {0, 0, w, h};
        FillRect(hdc, &rc, red);
        DeleteObject(red);
        LOGFONTA lf = {};
        lf.lfHeight = -MulDiv(9, GetDeviceCaps(hdc, LOGPIXELSY), 72);
        lf.lfWidth = 5;
        lf.lfWeight = 400;
        lf.lfCharSet = OEM_CHARSET;
        lstrcpyA(lf.lfFaceName, "Arial");
        HFONT font = CreateFontIndirectA(&lf);
        HGDIOBJ old = SelectObject(hdc, font);
        SetBkMode(hdc, TRANSPARENT);
        DrawTextA(hdc, "Hot spot:", -1, &rc, DT_CENTER | DT_SINGLELINE);
        DrawTextA(hdc, "X= 31 Y=  5", -1, &rc, DT_CENTER | DT_BOTTOM | DT_SINGLELINE);
        DeleteObject(SelectObject(hdc, old));
    });
    EXPECT_EQ(shown, wanted);
}

// A tooltip's notice writes the button's hint into the status image; from
// anything else the image is left blank.
TEST_F(Face, TheStatusImageShowsTheHintOfTheToolUnderThePointer) {
    NMHDR notice = {};
    notice.hwndFrom = reinterpret_cast<HWND>(SendMessageA(hDrawTB, TB_GETTOOLTIPS, 0, 0));
    notice.code = TTN_SHOW;
    int w = 0;
    const std::vector<COLORREF> blank = Shown(hStatBar, &w);
    const int h = static_cast<int>(blank.size()) / w;
    auto wanted = [&](const char* hint) {
        return Render(w, h, [&](HDC hdc) {
            HDC image = CreateCompatibleDC(hdc);
            HGDIOBJ oldImage = SelectObject(image, hStBmp);
            BitBlt(hdc, 0, 0, w, h, image, 0, 0, SRCCOPY);
            SelectObject(image, oldImage);
            DeleteDC(image);
            RECT rc = {0, 0, w, h};
            SetBkMode(hdc, TRANSPARENT);
            HGDIOBJ old = SelectObject(hdc, GetStockObject(ANSI_VAR_FONT));
            DrawTextA(hdc, hint, -1, &rc, DT_SINGLELINE | DT_VCENTER);
            SelectObject(hdc, old);
        });
    };
    SendMessageA(main, WM_NOTIFY, 42, reinterpret_cast<LPARAM>(&notice));
    EXPECT_EQ(Shown(hStatBar), wanted("  Fill regeon"));
    notice.hwndFrom = board;
    SendMessageA(main, WM_NOTIFY, 42, reinterpret_cast<LPARAM>(&notice));
    EXPECT_EQ(Shown(hStatBar), wanted("                  "));
}

namespace {
HMENU MenuSeen;
void CALLBACK CloseOpenMenu(HWND, UINT, UINT_PTR, DWORD) {
    HWND menu = FindWindowA("#32768", nullptr);
    if (!menu || !IsWindowVisible(menu)) return;
    MenuSeen = reinterpret_cast<HMENU>(SendMessageA(menu, MN_GETHMENU, 0, 0));
    EndMenu();
}
}

TEST_F(Face, TheRightButtonOpensTheRightClickMenu) {
    MenuSeen = nullptr;
    UINT_PTR timer = SetTimer(nullptr, 0, 100, CloseOpenMenu);
    SendMessageA(main, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(440, 20));   // returns when the menu closes
    KillTimer(nullptr, timer);
    EXPECT_EQ(MenuSeen, static_cast<HMENU>(MenuStr.hPopupMenu));
}
