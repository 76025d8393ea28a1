#include "tests/gui/EditorFixture.h"
#include "formats/ByteStream.h"
#include "formats/IcFormat.h"

std::vector<COLORREF> Render(int width, int height, const std::function<void(HDC)>& paint) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(memory, bitmap);
    PatBlt(memory, 0, 0, width, height, BLACKNESS);
    paint(memory);
    std::vector<COLORREF> out(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) out[static_cast<size_t>(y) * width + x] = GetPixel(memory, x, y);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return out;
}

std::vector<COLORREF> Shown(HWND window, int* width) {
    RECT rc;
    GetClientRect(window, &rc);
    if (width) *width = rc.right;
    HDC dc = GetDC(window);
    std::vector<COLORREF> out =
        Render(rc.right, rc.bottom, [&](HDC memory) { BitBlt(memory, 0, 0, rc.right, rc.bottom, dc, 0, 0, SRCCOPY); });
    ReleaseDC(window, dc);
    return out;
}

std::vector<uint8_t> IconBytes(int format, COLORREF colour, bool cursor, int hotX, int hotY) {
    std::vector<uint32_t> pixels(ImagePixels, colour);
    pixels[0] = MaskColor;
    MemoryStream out;
    EXPECT_EQ(Format(out, pixels.data(), format, cursor, static_cast<uint16_t>(hotX), static_cast<uint16_t>(hotY)), 0);
    return out.data;
}

std::vector<UINT> MenuChecks() {
    std::vector<UINT> on;
    for (UINT id : {IDM_SIZE16, IDM_SIZE32, IDM_DEPTH1, IDM_DEPTH4, IDM_DEPTH8, IDM_DEPTH24, IDM_ICONMODE,
                    IDM_TOOLBARMODE})
        if (Checked(MenuStr.hMainMenu, id)) on.push_back(id);
    for (UINT id : {IDM_SIZE16, IDM_SIZE32})
        if (Checked(MenuStr.hPopupMenu, id)) on.push_back(1000 + id);
    return on;
}

void PutOnClipboard(HWND owner, UINT format, HANDLE data) {
    ASSERT_TRUE(OpenClipboard(owner));
    EmptyClipboard();
    if (data) SetClipboardData(format, data);
    CloseClipboard();
}

void DragWithMouse(HWND w, POINT at, POINT by) {
    ClientToScreen(w, &at);
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    auto event = [&](DWORD flags, LONG x, LONG y) {   // MOUSEINPUT: dx, dy, data, flags, time, extra
        const LONG dx = (x * 65536 + width / 2) / width, dy = (y * 65536 + height / 2) / height;
        return INPUT{INPUT_MOUSE, {{dx, dy, 0, flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE, 0, 0}}};
    };
    INPUT input[] = {event(0, at.x, at.y), event(MOUSEEVENTF_LEFTDOWN, at.x, at.y),
                     event(0, at.x + by.x / 2, at.y + by.y / 2), event(0, at.x + by.x, at.y + by.y),
                     event(MOUSEEVENTF_LEFTUP, at.x + by.x, at.y + by.y)};
    SetForegroundWindow(GetAncestor(w, GA_ROOT));
    SendInput(5, input, sizeof(INPUT));
}

void Pump() {
    MSG msg;
    for (int idle = 0; idle < 20; ++idle) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
            idle = 0;
        }
        Sleep(5);
    }
}

static std::function<bool(HWND)> PersonActs;
static BOOL CALLBACK PersonLooksAt(HWND w, LPARAM) { return !PersonActs(w); }
static void CALLBACK PersonTurn(HWND, UINT, UINT_PTR, DWORD) {
    EnumThreadWindows(GetCurrentThreadId(), PersonLooksAt, 0);
}

void WithPerson(UINT every, std::function<bool(HWND)> act, const std::function<void()>& what) {
    PersonActs = std::move(act);
    UINT_PTR timer = SetTimer(nullptr, 0, every, PersonTurn);
    what();
    KillTimer(nullptr, timer);
}

int PromptAnswer, SavePromptAnswer, SavePromptCount, ColourChooserCalls;   // each set as an editor starts
std::string DialogChoice;

void Editor::Start(const std::string& commandLine) {
    Prompts.clear();
    Dialogs.clear();
    PromptAnswer = IDNO;
    SavePromptAnswer = 1;
    SavePromptCount = 0;
    DialogChoice.clear();
    ColourChooserCalls = 0;
    ThePerson = {[](const PromptRecord&) { return PromptAnswer; }, [] { ++SavePromptCount; return SavePromptAnswer; },
                 [](const DialogRecord&) { return DialogChoice; },
                 [](CHOOSECOLORA*) { ++ColourChooserCalls; return FALSE; }, nullptr};
    main = StartEditor(commandLine);
    ASSERT_NE(main, nullptr);
    board = hwndChild;
    ASSERT_NE(board, nullptr);
}
