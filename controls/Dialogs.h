// The program's own dialogs. Each gets the dialog buttons' pictures (Yes,
// No, Cancel, OK: hBitDialogue of the start-up) as its creation parameter.
#pragma once
#include <windows.h>

// The save prompt: its answer, 0 save, 1 do not save, 2 cancel.
extern int DialogExitCode;
int RunSavePrompt(HWND owner, const HBITMAP* faces);
INT_PTR CALLBACK AboutSave(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);

// The About box.
INT_PTR CALLBACK AboutMe(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);

// The resolution dialog (modeless); it closes by handing the focus back to
// its owner, the main window.
INT_PTR CALLBACK Resolution(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);

// The title strip shown while the main window is not focused.
INT_PTR CALLBACK MenuBar(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);

// The dialogs keep their face brush in DWLP_USER from WM_INITDIALOG until
// they end.
void CreateDialogFace(HWND hDlg, COLORREF colour);
HBRUSH DialogFace(HWND hDlg);
void DeleteDialogFace(HWND hDlg);

// What the program's movable dialogs do alike: the face drawn in their own
// brush (WM_CTLCOLORDLG), and a press on the face dragging the captionless
// dialog (WM_LBUTTONDOWN). True with *result set when the message was one
// of these.
bool DialogFaceMessage(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result);
// The same for a dialog whose brush is not its DWLP_USER face.
bool DialogFaceMessage(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam, HBRUSH face, INT_PTR* result);

// The OK picture of the faces a dialog was created with.
inline HBITMAP OkFace(LPARAM faces) { return reinterpret_cast<const HBITMAP*>(faces)[3]; }
