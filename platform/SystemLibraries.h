// The file dialogs, the colour chooser, the file title and the icon
// extractor live in comdlg32 and shell32, which (with the printer libraries
// comdlg32 brings) cost a noticeable part of the start-up. Nothing needs
// them before the first paint, so they are loaded at their first use; each
// call below behaves as the system function of the same name, and fails as
// that function fails when its library cannot be loaded.
#pragma once
#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>

BOOL WINAPI LateGetOpenFileNameA(OPENFILENAMEA* ofn);
BOOL WINAPI LateGetSaveFileNameA(OPENFILENAMEA* ofn);
BOOL WINAPI LateChooseColorA(CHOOSECOLORA* cc);
short LateGetFileTitleA(const char* file, char* title, WORD size);
HICON LateExtractIconA(HINSTANCE instance, const char* file, UINT index);
UINT LateDragQueryFileA(HDROP drop, UINT index, char* file, UINT size);
void LateDragFinish(HDROP drop);
