// What the program's own child windows share.
#pragma once
#include <windows.h>

// What they do alike: creation goes on (1), a paint is theirs, and their
// end posts the quit message; the rest is the default. True with *result
// set when the message was one of these.
bool ChildWindowMessage(HWND hwnd, UINT message, void (*paint)(HWND), LRESULT* result);

// Gives read-out `id` of parent the text, unless it shows that text already:
// a read-out repaints at every text it is given, and most pointer moves
// leave most read-outs as they were.
void ShowReadOut(HWND parent, int id, const char* text);
