// The smallest Win32 program that does what the editor does before it
// idles: registers a class, creates and shows one window, paints it once
// through UpdateWindow, then runs a message loop. Its start-up time is the
// floor the editor's is measured against.
#include <windows.h>

namespace {

const char kClassName[] = "PixtorMinimal";
const char kTitle[] = "Pixtor minimal";

LRESULT CALLBACK MinimalProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE hInst, HINSTANCE, LPSTR, int nCmdShow)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = MinimalProc;
    wc.hInstance = hInst;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kClassName;
    if (!RegisterClassA(&wc))
        return 1;

    // Same size as the editor's main window, so both paint the same area.
    HWND hwnd = CreateWindowExA(0, kClassName, kTitle, WS_POPUP | WS_DLGFRAME, 100, 100, 528, 528,
                                nullptr, nullptr, hInst, nullptr);
    if (!hwnd)
        return 1;
    ShowWindow(hwnd, nCmdShow);
    UpdateWindow(hwnd);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}
