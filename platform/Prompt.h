// Every question, message box and file dialog of the program goes through
// here, so a test can answer it instead of a person; and every file write,
// so a test can make one fail as a full disk does.
#pragma once
#include <windows.h>
#include <commdlg.h>

// Texts and captions are UTF-8; the system shows them wide.
using PromptFunction = int (WINAPI*)(HWND owner, const char* text, const char* caption, UINT type);
using FileDialogFunction = BOOL (WINAPI*)(OPENFILENAMEW* ofn);
// The save prompt gets the dialog buttons' pictures: Yes, No, Cancel, OK.
using SavePromptFunction = int (*)(HWND owner, const HBITMAP* faces);   // returns DialogExitCode
using ColourDialogFunction = BOOL (WINAPI*)(CHOOSECOLORA* cc);
// How many bytes a write to path (UTF-8) gets before the disk is full; -1: all.
using WriteFaultFunction = long long (*)(const char* path);

extern PromptFunction PixtorPrompt;           // MessageBoxW unless a test replaced it
extern FileDialogFunction PixtorOpenDialog;   // GetOpenFileNameW
extern FileDialogFunction PixtorSaveDialog;   // GetSaveFileNameW
extern SavePromptFunction PixtorSavePrompt;   // none: the modal "AboutSave" prompt
extern ColourDialogFunction PixtorColourDialog;   // ChooseColorA
extern WriteFaultFunction PixtorWriteFault;   // none: every byte is written

inline int Ask(HWND owner, const char* text, const char* caption, UINT type) {
    return PixtorPrompt(owner, text, caption, type);
}
