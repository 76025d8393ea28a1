// The format message: the one private message of the main window. It
// carries a format index (size and depth together) and is always sent, so
// the sender's next step already sees the new size and depth.
#pragma once
#include <windows.h>

void SendFormat(HWND mainWindow, int index);
