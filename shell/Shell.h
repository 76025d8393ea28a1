// The application shell: start-up, the main window and its message loop.
// State listed here is owned by the shell; other subsystems read it.
#pragma once
#include <windows.h>
#include "document/Document.h"

// ---- Start-up state (WinMain) ------------------------------------------
extern const char szAppName[];      // "Pixtor1.0.0": class, title, single-instance key
extern HINSTANCE hInst;
extern HCURSOR hCursor[ToolCount];  // board cursor per tool (CursorShape)
extern HBITMAP hBit[6];             // five menu-bar images and the "About" check mark
extern HBITMAP hBitDialogue[4];     // dialog buttons: Yes, No, Cancel, OK
extern HWND hModlessDlg;            // the resolution dialog, or 0
extern int xStart, yStart, xClient, yClient;

// ---- Main window (WndProc) -----------------------------------------------
extern HWND hWinMain;               // set at the start of every main-window message
extern HWND hMenuDialogue;          // the title strip, or 0
extern HWND hStatImage, hStatBar;   // "SepLine" and "Status" statics
extern HBITMAP hBmp, hStBmp;        // their bitmaps
extern HWND hIcon;                  // the actual-size preview
extern HWND hwndChild;              // the drawing board
extern HWND hDrawTB;                // the drawing-tool toolbar

void SizeTheWindow(int* x, int* y, int* cx, int* cy);
LRESULT CALLBACK WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// WinMain in three steps, so the tests can run the real start-up and
// teardown around their own message pumping. PixtorStartUp takes the
// command line after the program's name, as the system holds it, and
// returns the main window, or 0 when another copy is already running.
HWND PixtorStartUp(HINSTANCE instance, const wchar_t* cmdLine, int cmdShow);
int PixtorMessageLoop();
// What the loop does with a message before dispatching it: the resolution
// dialog's keys and the accelerators. True when the message was taken.
bool PixtorPreTranslate(MSG* msg);
void PixtorTeardown();

// The command dispatch (WM_COMMAND ids of Ids.h).
void OnCommand(HWND hwnd, int id);
// The clipboard format that programs keeping transparency exchange.
UINT PngClipboardFormat();
// A file dropped on the main window opens as Open would open it.
void OpenDroppedFile(HWND hwnd, const char* path);

// The format message: applies a format index to the document.
LRESULT OnFormatMessage(HWND hwnd, unsigned index);

// The status hint for a notification from source about command id.
void FormatHint(char* out, HWND source, WPARAM id);
// The text under the actual-size preview for a size-and-depth code.
const char* PreviewTextOf(int index);
