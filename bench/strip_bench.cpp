// Toolbar mode with a long strip: opening and saving a strip of 32x32
// images through the editor's own file commands, and one strip paint at
// several strip lengths (the paint draws the visible slots only, so its
// time must not grow with the strip). Runs the real main window in-process;
// prints figures, checks nothing.
#include <windows.h>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>
#include "platform/Prompt.h"
#include "document/Document.h"
#include "formats/win32/IconFile.h"
#include "formats/StripBitmap.h"
#include "formats/ByteStream.h"
#include "resources/Ids.h"
#include "shell/Shell.h"
#include "strip/ToolBarStrip.h"

namespace {

double Now() {
    static LARGE_INTEGER frequency = [] { LARGE_INTEGER f; QueryPerformanceFrequency(&f); return f; }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::string Chosen;   // the name the open dialog "returns"
BOOL WINAPI ChooseFile(OPENFILENAMEW* ofn) {
    MultiByteToWideChar(CP_ACP, 0, Chosen.c_str(), -1, ofn->lpstrFile, static_cast<int>(ofn->nMaxFile));
    return TRUE;
}

std::string StripFile(int count) {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    std::string path = std::string(dir) + "pixtor-strip-bench-" + std::to_string(count) + ".bmp";
    StripImages strip;
    strip.Pace = 32;
    strip.Count = count;
    for (int k = 0; k < count; ++k)
        for (int i = 0; i < 32 * 32; ++i) strip.Pixels.push_back(RGB(k & 0xFF, i & 0xFF, (k + i) & 0xFF));
    MemoryStream out;
    WriteStripBitmap(out, strip);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD put = 0;
    WriteFile(file, out.data.data(), static_cast<DWORD>(out.data.size()), &put, nullptr);
    CloseHandle(file);
    return path;
}

struct Figures { double Median, P90, Min; };
Figures Summary(std::vector<double> t) {
    std::sort(t.begin(), t.end());
    return {t[t.size() / 2], t[t.size() * 9 / 10], t.front()};
}

}  // namespace

int main() {
    PixtorOpenDialog = ChooseFile;
    Chosen = StripFile(1);
    wchar_t line[MAX_PATH + 2];
    wsprintfW(line, L"\"%hs\"", Chosen.c_str());
    HWND main = PixtorStartUp(GetModuleHandleA(nullptr), line, SW_SHOW);
    if (!main) { std::printf("another copy is running\n"); return 1; }
    UpdateWindow(main);
    const int runs = 15;
    for (int count : {10, 100, 1000}) {
        Chosen = StripFile(count);
        std::vector<double> open, save, paint;
        for (int r = 0; r < runs; ++r) {
            NeedToSave = 0;
            double t0 = Now();
            SendMessageA(main, WM_COMMAND, IDM_OPEN, 0);
            UpdateWindow(ToolBarStr.hStripWnd);   // the first image comes onto the board
            open.push_back(Now() - t0);
            t0 = Now();
            SendMessageA(main, WM_COMMAND, IDM_SAVE, 0);
            save.push_back(Now() - t0);
        }
        for (int r = 0; r < 100; ++r) {
            InvalidateRect(ToolBarStr.hStripWnd, nullptr, TRUE);
            double t0 = Now();
            UpdateWindow(ToolBarStr.hStripWnd);
            paint.push_back(Now() - t0);
        }
        for (auto& [label, times] : {std::pair<const char*, std::vector<double>&>{"open", open}, {"save", save},
                                     {"strip paint", paint}}) {
            Figures f = Summary(times);
            std::printf("%-12s %4d images of 32x32  median %7.3f ms  p90 %7.3f ms  min %7.3f ms\n", label,
                        ToolBarStr.StripCount, f.Median, f.P90, f.Min);
        }
        DeleteFileA(Chosen.c_str());
    }
    DestroyWindow(main);
    PixtorTeardown();
    return 0;
}
