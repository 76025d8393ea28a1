// Every question and message box of the program goes through here, so a
// test can answer it instead of a person.
#pragma once
#include <windows.h>

using PromptFunction = int (WINAPI*)(HWND owner, const char* text, const char* caption, UINT type);
extern PromptFunction PixtorPrompt;   // MessageBoxA unless a test replaced it

inline int Ask(HWND owner, const char* text, const char* caption, UINT type) {
    return PixtorPrompt(owner, text, caption, type);
}
