// Every question, message box and file dialog of the program goes through
// here, so a test can answer it instead of a person.
#pragma once
#include <windows.h>
#include <commdlg.h>

using PromptFunction = int (WINAPI*)(HWND owner, const char* text, const char* caption, UINT type);
using FileDialogFunction = BOOL (WINAPI*)(OPENFILENAMEA* ofn);
using SavePromptFunction = int (*)(HWND owner);   // returns DialogExitCode
using ColourDialogFunction = BOOL (WINAPI*)(CHOOSECOLORA* cc);

extern PromptFunction PixtorPrompt;           // MessageBoxA unless a test replaced it
extern FileDialogFunction PixtorOpenDialog;   // GetOpenFileNameA
extern FileDialogFunction PixtorSaveDialog;   // GetSaveFileNameA
extern SavePromptFunction PixtorSavePrompt;   // the modal "AboutSave" prompt
extern ColourDialogFunction PixtorColourDialog;   // ChooseColorA

inline int Ask(HWND owner, const char* text, const char* caption, UINT type) {
    return PixtorPrompt(owner, text, caption, type);
}

// The save prompt's answer: 0 save, 1 do not save, 2 cancel.
extern int DialogExitCode;
int RunSavePrompt(HWND owner);
INT_PTR CALLBACK AboutSave(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);

// The About box.
INT_PTR CALLBACK AboutMe(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);

// The resolution dialog (modeless).
INT_PTR CALLBACK Resolution(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);
