// The file dialogs, the colour chooser and the icon
// extractor live in comdlg32 and shell32, which (with the printer libraries
// comdlg32 brings) cost a noticeable part of the start-up. Nothing needs
// them before the first paint, so they are loaded at their first use; each
// call below behaves as the system function of the same name, and fails as
// that function fails when its library cannot be loaded.
#pragma once
#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>

BOOL WINAPI LateGetOpenFileNameW(OPENFILENAMEW* ofn);
BOOL WINAPI LateGetSaveFileNameW(OPENFILENAMEW* ofn);
BOOL WINAPI LateChooseColorA(CHOOSECOLORA* cc);
HICON LateExtractIconW(HINSTANCE instance, const wchar_t* file, UINT index);
UINT LateDragQueryFileW(HDROP drop, UINT index, wchar_t* file, UINT size);
void LateDragFinish(HDROP drop);
