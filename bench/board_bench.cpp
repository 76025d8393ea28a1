// Time of one drag step on the drawing board, at both sizes: the pointer
// move that sets the shape's end, the whole-board paint that follows it and
// the main window's repaint the board's paint asks for (the actual-size
// preview). Beside it, in the same run and window, the floor: one copy of a
// prepared 288x288 off-screen picture to the board. Runs the real main
// window in-process; prints figures and, after each sequence of drags, a
// digest of the board's and the main window's pixels, so two builds can be
// compared for an identical picture. Checks nothing.
#include <windows.h>
#include <algorithm>
#include <cstdint>
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

struct Figures { double median, p90, min; };

static Figures Summarise(std::vector<double> steps) {
    std::sort(steps.begin(), steps.end());
    return {steps[steps.size() / 2], steps[steps.size() * 9 / 10], steps.front()};
}

// FNV-1a over the window's client pixels as the screen shows them.
static uint32_t Digest(HWND hwnd) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = rc.right;
    bi.bmiHeader.biHeight = -rc.bottom;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC screen = GetDC(hwnd);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, dib);
    BitBlt(memory, 0, 0, rc.right, rc.bottom, screen, 0, 0, SRCCOPY);
    GdiFlush();
    uint32_t hash = 2166136261u;
    const uint32_t* p = static_cast<const uint32_t*>(bits);
    for (long i = 0; i < static_cast<long>(rc.right) * rc.bottom; ++i) hash = (hash ^ (p[i] & 0xFFFFFFu)) * 16777619u;
    SelectObject(memory, old);
    DeleteObject(dib);
    DeleteDC(memory);
    ReleaseDC(hwnd, screen);
    return hash;
}

static const int Steps = 300;

static Figures MeasureDrag(HWND main, int tool) {
    SendMessageA(main, WM_COMMAND, IDM_TOOLFIRST + tool, 0);
    SendMessageA(main, WM_MOUSEMOVE, 0, MAKELPARAM(440, 100));   // clears the format change's hold
    UpdateWindow(main);
    std::vector<double> steps;
    SendMessageA(hwndChild, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    for (int i = 0; i < Steps; ++i) {
        int p = 10 + (i * 7) % 270;
        double t0 = Now();
        SendMessageA(hwndChild, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(p, 287 - p));
        UpdateWindow(hwndChild);
        UpdateWindow(main);
        steps.push_back(Now() - t0);
    }
    SendMessageA(hwndChild, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    UpdateWindow(hwndChild);
    UpdateWindow(main);
    return Summarise(steps);
}

static Figures MeasureFloor() {
    HDC board = GetDC(hwndChild);
    HDC memory = CreateCompatibleDC(board);
    HBITMAP picture = CreateCompatibleBitmap(board, 288, 288);
    HGDIOBJ old = SelectObject(memory, picture);
    BitBlt(memory, 0, 0, 288, 288, board, 0, 0, SRCCOPY);
    std::vector<double> steps;
    for (int i = 0; i < Steps; ++i) {
        double t0 = Now();
        BitBlt(board, 0, 0, 288, 288, memory, 0, 0, SRCCOPY);
        UpdateWindow(hwndChild);
        steps.push_back(Now() - t0);
    }
    SelectObject(memory, old);
    DeleteObject(picture);
    DeleteDC(memory);
    ReleaseDC(hwndChild, board);
    return Summarise(steps);
}

// What any paint costs here, whatever it draws: a 288x288 child of the
// main window whose paint only begins and ends, invalidated and updated.
static LRESULT CALLBACK EmptyPaintProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PAINT) return DefWindowProcA(hwnd, message, wParam, lParam);
    PAINTSTRUCT ps;
    BeginPaint(hwnd, &ps);
    EndPaint(hwnd, &ps);
    return 0;
}

static Figures MeasureEmptyPaint(HWND main) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = EmptyPaintProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "EmptyPaint";
    RegisterClassA(&wc);
    HWND empty = CreateWindowA("EmptyPaint", "", WS_CHILD | WS_VISIBLE, 0, 0, 288, 288, main, nullptr,
                               wc.hInstance, nullptr);
    UpdateWindow(empty);
    std::vector<double> steps;
    for (int i = 0; i < Steps; ++i) {
        double t0 = Now();
        InvalidateRect(empty, nullptr, FALSE);
        UpdateWindow(empty);
        steps.push_back(Now() - t0);
    }
    DestroyWindow(empty);
    UpdateWindow(main);
    return Summarise(steps);
}

static void Print(const char* label, const Figures& f, const Figures& floor) {
    std::printf("%-34s %2dx%-2d  median %6.3f ms  p90 %6.3f ms  min %6.3f ms  median %4.1fx floor  p90 %4.1fx floor\n",
                label, Pace, Pace, f.median, f.p90, f.min, f.median / floor.median, f.p90 / floor.median);
}

int main() {
    HWND main = PixtorStartUp(GetModuleHandleA(nullptr), L"", SW_SHOW);
    if (!main) { std::printf("another copy is running\n"); return 1; }
    for (int size : {16, 32}) {
        SendMessageA(main, WM_COMMAND, size == 16 ? IDM_SIZE16 : IDM_SIZE32, 0);
        UpdateWindow(main);
        Figures floor = MeasureFloor();
        std::printf("%-34s %2dx%-2d  median %6.3f ms  p90 %6.3f ms  min %6.3f ms\n",
                    "floor: one 288x288 copy", Pace, Pace, floor.median, floor.p90, floor.min);
        Print("one empty paint, for comparison", MeasureEmptyPaint(main), floor);
        struct { const char* label; int tool; } drags[] = {
            {"drag step, brush", ToolBrush}, {"drag step, filled ellipse preview", ToolFilledRound}};
        for (const auto& d : drags) {
            Print(d.label, MeasureDrag(main, d.tool), floor);
            std::printf("%-34s %2dx%-2d  board %08x  preview %08x  main window %08x\n",
                        "  pixels after the drags", Pace, Pace, static_cast<unsigned>(Digest(hwndChild)),
                        static_cast<unsigned>(Digest(hIcon)), static_cast<unsigned>(Digest(main)));
        }
    }
    DestroyWindow(main);
    PixtorTeardown();
    return 0;
}
