#include "platform/WideNames.h"
#include "shell/Shell.h"

// The file on the command line comes from the system's wide line, so that
// any name reaches the editor as the user gave it.
int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int nCmdShow) {
    if (!PixtorStartUp(hInstance, AfterProgramName(GetCommandLineW()), nCmdShow)) return 0;
    int code = PixtorMessageLoop();
    PixtorTeardown();
    return code;
}
