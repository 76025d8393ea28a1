#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
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

std::string TestFolder() {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    std::string folder = std::string(dir) + "pixtor-file-test\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

int FilesIn(const std::string& folder) {
    std::error_code e;
    int n = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder, e)) n += entry.is_regular_file();
    return n;
}

void EmptyFolder(const std::string& folder) {
    std::error_code e;
    for (const auto& entry : std::filesystem::directory_iterator(folder, e)) {
        if (!entry.is_regular_file()) continue;
        SetFileAttributesA(entry.path().string().c_str(), FILE_ATTRIBUTE_NORMAL);
        std::filesystem::remove(entry.path(), e);
    }
}

std::vector<uint8_t> IconBytes(int format, COLORREF colour, bool cursor, int hotX, int hotY) {
    std::vector<uint32_t> pixels(ImagePixels, colour);
    pixels[0] = MaskColor;
    MemoryStream out;
    EXPECT_EQ(Format(out, pixels.data(), format, cursor, static_cast<uint16_t>(hotX),
                     static_cast<uint16_t>(hotY)), 0);
    return out.data;
}

void DragWithMouse(HWND w, POINT at, POINT by) {
    ClientToScreen(w, &at);
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    auto event = [&](DWORD flags, LONG x, LONG y) {
        INPUT i = {};
        i.type = INPUT_MOUSE;
        i.mi.dx = (x * 65536 + width / 2) / width;
        i.mi.dy = (y * 65536 + height / 2) / height;
        i.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
        return i;
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

std::vector<PromptRecord> Prompts;
int PromptAnswer = IDNO;

static int WINAPI ScriptedPrompt(HWND, const char* text, const char* caption, UINT type) {
    Prompts.push_back({text ? text : "", caption ? caption : "", type});
    return PromptAnswer;
}

int SavePromptAnswer = 1, SavePromptCount = 0;
std::string DialogChoice;
std::vector<DialogRecord> Dialogs;

static int ScriptedSavePrompt(HWND, const HBITMAP*) {
    ++SavePromptCount;
    return SavePromptAnswer;
}

static BOOL ScriptedDialog(OPENFILENAMEA* ofn, bool save) {
    Dialogs.push_back({save, ofn->lpstrFile ? ofn->lpstrFile : "", ofn->lpstrFilter ? ofn->lpstrFilter : "",
                       ofn->lpstrDefExt ? ofn->lpstrDefExt : "", ofn->Flags});
    if (DialogChoice.empty()) return FALSE;
    lstrcpynA(ofn->lpstrFile, DialogChoice.c_str(), ofn->nMaxFile);
    const char* slash = strrchr(DialogChoice.c_str(), '\\');
    if (ofn->lpstrFileTitle) lstrcpynA(ofn->lpstrFileTitle, slash ? slash + 1 : DialogChoice.c_str(), ofn->nMaxFileTitle);
    return TRUE;
}
static BOOL WINAPI ScriptedOpen(OPENFILENAMEA* ofn) { return ScriptedDialog(ofn, false); }
static BOOL WINAPI ScriptedSave(OPENFILENAMEA* ofn) { return ScriptedDialog(ofn, true); }
int ColourChooserCalls = 0;
static BOOL WINAPI NoColourChooser(CHOOSECOLORA*) {
    ++ColourChooserCalls;
    return FALSE;
}

void Editor::SetUp() { Start(""); }

void Editor::Start(const char* commandLine) {
    Prompts.clear();
    PromptAnswer = IDNO;
    PixtorPrompt = ScriptedPrompt;
    SavePromptAnswer = 1;
    SavePromptCount = 0;
    DialogChoice.clear();
    Dialogs.clear();
    PixtorSavePrompt = ScriptedSavePrompt;
    PixtorOpenDialog = ScriptedOpen;
    PixtorSaveDialog = ScriptedSave;
    PixtorColourDialog = NoColourChooser;
    ColourChooserCalls = 0;
    // Keep the real pointer away from the board, so no stray pointer move
    // changes what a test reads.
    SetCursorPos(0, 0);
    static char line[512];
    lstrcpynA(line, commandLine, sizeof line);
    main = PixtorStartUp(GetModuleHandleA(nullptr), line, SW_SHOW);
    ASSERT_NE(main, nullptr);
    board = hwndChild;
    ASSERT_NE(board, nullptr);
}

void Editor::TearDown() {
    if (main && IsWindow(main)) DestroyWindow(main);
    MSG msg;
    DWORD until = GetTickCount() + 5000;
    while (GetTickCount() < until) {
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) { Sleep(1); continue; }
        if (msg.message == WM_QUIT) break;
        DispatchMessageA(&msg);
    }
    // The hot-spot window posts a quit of its own when it goes; drain it too,
    // so no stale quit ends the next test's dialogs.
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        if (msg.message != WM_QUIT) DispatchMessageA(&msg);
    ClipCursor(nullptr);
    PixtorTeardown();
}

std::vector<std::pair<int, int>> Editor::PaintedCells() const {
    std::vector<std::pair<int, int>> cells;
    for (int y = 0; y < Pace; ++y)
        for (int x = 0; x < Pace; ++x)
            if (!IsMaskPixel(VirtualScreen[y * Pace + x])) cells.push_back({x, y});
    return cells;
}
