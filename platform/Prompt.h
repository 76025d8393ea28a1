// Every question, message box and file dialog of the program goes through
// here, so a test can answer it instead of a person.
#pragma once
#include <windows.h>
#include <commdlg.h>

using PromptFunction = int (WINAPI*)(HWND owner, const char* text, const char* caption, UINT type);
using FileDialogFunction = BOOL (WINAPI*)(OPENFILENAMEA* ofn);
// The save prompt gets the dialog buttons' pictures: Yes, No, Cancel, OK.
using SavePromptFunction = int (*)(HWND owner, const HBITMAP* faces);   // returns DialogExitCode
using ColourDialogFunction = BOOL (WINAPI*)(CHOOSECOLORA* cc);

extern PromptFunction PixtorPrompt;           // MessageBoxA unless a test replaced it
extern FileDialogFunction PixtorOpenDialog;   // GetOpenFileNameA
extern FileDialogFunction PixtorSaveDialog;   // GetSaveFileNameA
extern SavePromptFunction PixtorSavePrompt;   // none: the modal "AboutSave" prompt
extern ColourDialogFunction PixtorColourDialog;   // ChooseColorA

inline int Ask(HWND owner, const char* text, const char* caption, UINT type) {
    return PixtorPrompt(owner, text, caption, type);
}
