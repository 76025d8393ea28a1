// Time of one drag step on the drawing board: the pointer move that sets
// the shape's end and the whole-board paint that follows it, at both sizes.
// Runs the real main window in-process; prints figures, checks nothing.
#include <windows.h>
#include <algorithm>
#include <cstdio>
#include <vector>
#include "document/Document.h"
#include "resources/Ids.h"
#include "shell/Shell.h"

static double Now() {
    static LARGE_INTEGER frequency = [] { LARGE_INTEGER f; QueryPerformanceFrequency(&f); return f; }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

static void Measure(HWND main, const char* label, int tool) {
    SendMessageA(main, WM_COMMAND, IDM_TOOLFIRST + tool, 0);
    SendMessageA(main, WM_MOUSEMOVE, 0, MAKELPARAM(440, 100));   // clears the format change's hold
    std::vector<double> steps;
    SendMessageA(hwndChild, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    for (int i = 0; i < 300; ++i) {
        int p = 10 + (i * 7) % 270;
        double t0 = Now();
        SendMessageA(hwndChild, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(p, 287 - p));
        UpdateWindow(hwndChild);
        steps.push_back(Now() - t0);
    }
    SendMessageA(hwndChild, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    UpdateWindow(hwndChild);
    std::sort(steps.begin(), steps.end());
    std::printf("%-34s %2dx%-2d  median %6.3f ms  p90 %6.3f ms  min %6.3f ms\n", label, Pace, Pace,
                steps[steps.size() / 2], steps[steps.size() * 9 / 10], steps.front());
}

int main() {
    HWND main = PixtorStartUp(GetModuleHandleA(nullptr), const_cast<char*>(""), SW_SHOW);
    if (!main) { std::printf("another copy is running\n"); return 1; }
    for (int size : {16, 32}) {
        SendMessageA(main, WM_COMMAND, size == 16 ? IDM_SIZE16 : IDM_SIZE32, 0);
        Measure(main, "drag step, brush", ToolBrush);
        Measure(main, "drag step, filled ellipse preview", ToolFilledRound);
    }
    DestroyWindow(main);
    PixtorTeardown();
    return 0;
}
