#include "tests/gui/EditorFixture.h"

std::vector<PromptRecord> Prompts;
int PromptAnswer = IDNO;

static int WINAPI ScriptedPrompt(HWND, const char* text, const char* caption, UINT type) {
    Prompts.push_back({text ? text : "", caption ? caption : "", type});
    return PromptAnswer;
}

void Editor::SetUp() { Start(""); }

void Editor::Start(const char* commandLine) {
    Prompts.clear();
    PromptAnswer = IDNO;
    PixtorPrompt = ScriptedPrompt;
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
