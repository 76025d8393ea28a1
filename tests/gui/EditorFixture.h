// Starts the real main window in this process for each test and takes it
// down again; questions the program asks are answered from a script.
#pragma once
#include <gtest/gtest.h>
#include <algorithm>
#include <initializer_list>
#include <tuple>
#include "colour/Palette.h"
#include "platform/Prompt.h"
#include "tests/gui/Harness.h"
#include "document/Document.h"
#include "document/Undo.h"
#include "resources/Ids.h"
#include "shell/Shell.h"

// The scripted person: the answer to every question, the save prompt's (0 yes,
// 1 no, 2 cancel) and how often it came, how often the colour chooser was
// opened (it closes unchosen), and the name typed into every file dialog ("" cancels).
extern int PromptAnswer, SavePromptAnswer, SavePromptCount, ColourChooserCalls;
extern std::string DialogChoice;

// A picture painted by paint into memory like the screen's, row by row.
std::vector<COLORREF> Render(int width, int height, const std::function<void(HDC)>& paint);
// What a window's client area shows on screen, row by row.
std::vector<COLORREF> Shown(HWND window, int* width = nullptr);

// An icon or cursor file of one colour at format index `format`, its first pixel transparent.
std::vector<uint8_t> IconBytes(int format, COLORREF colour, bool cursor = false, int hotX = 0, int hotY = 0);

// A press of the left button at client point `at` of w, a move by `by` and the release, as system input.
void DragWithMouse(HWND w, POINT at, POINT by);
// Handles every message waiting for this thread, the input's among them.
void Pump();
// Does what while a person looks at this thread's windows every `every` ms; act(w): w was answered.
void WithPerson(UINT every, std::function<bool(HWND)> act, const std::function<void()>& what);

// The checked items among the size, depth and mode entries of both menus
// (the right-click menu's own size marks as 1000 + id).
std::vector<UINT> MenuChecks();
// The clipboard emptied and, unless data is null, given data in format.
void PutOnClipboard(HWND owner, UINT format, HANDLE data);

class Editor : public ::testing::Test {
protected:
    void SetUp() override { Start(""); }
    void TearDown() override { StopEditor(main); }
    void Start(const std::string& commandLine);
    // A new editor in place of this test's one.
    void Restart(const std::string& commandLine) {
        if (main) Editor::TearDown();   // the window only, not what a derived test keeps
        Start(commandLine);
    }

    HWND main = nullptr, board = nullptr;

    // Board coordinates of the centre of image cell (x, y) at the current size.
    static LPARAM Cell(int x, int y) {
        int cell = 288 / Pace;
        return MAKELPARAM(x * cell + cell / 2, y * cell + cell / 2);
    }
    void Press(int x, int y) { SendMessageA(board, WM_LBUTTONDOWN, MK_LBUTTON, Cell(x, y)); }
    void DragTo(int x, int y) { SendMessageA(board, WM_MOUSEMOVE, MK_LBUTTON, Cell(x, y)); }
    void Release(int x, int y) { SendMessageA(board, WM_LBUTTONUP, 0, Cell(x, y)); }
    void Click(int x, int y) { Press(x, y); Release(x, y); }
    void Stroke(int x0, int y0, int x1, int y1) { Press(x0, y0); DragTo(x1, y1); Release(x1, y1); Paint(); }
    void Paint() { UpdateWindow(board); }
    void Tool(int tool) { Command(IDM_TOOLFIRST + tool); }
    void Command(int id) { SendMessageA(main, WM_COMMAND, id, 0); }
    // The file named in the dialog that follows.
    void OpenFile(const std::string& path) { DialogChoice = path; Command(IDM_OPEN); }
    void SaveAs(const std::string& path) { DialogChoice = path; Command(IDM_SAVEAS); }
    void Resolve(std::initializer_list<int> radios) {
        Command(IDM_RESOLUTION);
        for (int id : radios) SendDlgItemMessageA(hModlessDlg, id, BM_CLICK, 0, 0);
        SendMessageA(hModlessDlg, WM_COMMAND, IDC_RESOK, 0);
    }
    uint32_t Pixel(int x, int y) const { return VirtualScreen[y * Pace + x] & 0x00FFFFFFu; }
    std::string Text(int id) const {
        char buffer[64] = {};
        GetDlgItemTextA(main, id, buffer, sizeof buffer);
        return buffer;
    }
    // The cells of the image that are not transparent.
    std::vector<std::pair<int, int>> PaintedCells() const {
        std::vector<std::pair<int, int>> cells;
        for (int y = 0; y < Pace; ++y)
            for (int x = 0; x < Pace; ++x)
                if (!IsMaskPixel(VirtualScreen[y * Pace + x])) cells.push_back({x, y});
        return cells;
    }
    std::vector<uint32_t> Image() const { return std::vector<uint32_t>(VirtualScreen, VirtualScreen + Pace * Pace); }
    void ClearImage() { std::fill(VirtualScreen, VirtualScreen + ImagePixels, MaskColor); }
    // What the title and the save question go by: unsaved changes, a name, the name.
    static std::tuple<int, int, std::string> DocState() { return {NeedToSave, FileFlag, szFileName}; }
    static std::pair<int, int> HotSpot() { return {CursorStr.HotX, CursorStr.HotY}; }
    static bool Prompted(const std::string& text) { return !Prompts.empty() && Prompts.back().Text == text; }
    // The texts of every question and message shown, in order.
    static std::vector<std::string> Said() {
        std::vector<std::string> texts;
        for (const PromptRecord& p : Prompts) texts.push_back(p.Text);
        return texts;
    }
    void UseColour(COLORREF c) { ColorTable[0] = c; }
};

// An editor whose tests write files, in a folder emptied before and after.
class Files : public Editor {
protected:
    virtual std::string FolderName() const { return "pixtor-file-test"; }
    void SetUp() override {
        folder = TestFolder(FolderName());
        EmptyFolder(folder);
        Editor::SetUp();
    }
    void TearDown() override {
        Editor::TearDown();
        EmptyFolder(folder);
    }
    // One pixel drawn, so the document has unsaved changes.
    void Draw() { UseColour(RGB(200, 10, 10)); Click(3, 4); }
    // Another program holding the file open without sharing it.
    static HANDLE Lock(const std::string& path) {
        return CreateFileW(Wide(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    }
    std::string folder;
};
