#include "shell/Shell.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR lpCmdLine, int nCmdShow) {
    if (!PixtorStartUp(hInstance, lpCmdLine, nCmdShow)) return 0;
    int code = PixtorMessageLoop();
    PixtorTeardown();
    return code;
}
