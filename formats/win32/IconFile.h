// The read/write dispatch between the file system and the codecs, the
// file dialogs, and the reporting of file errors.
#pragma once
#include <windows.h>
#include <cstdint>
#include "document/Document.h"
#include "formats/StripBitmap.h"

// The file dialogs: filter set 0 icons and cursors, 1 executables and
// libraries, 2 bitmaps. The dialogs return 1 when a name was chosen; file
// and title (UTF-8, NameLength bytes) then hold it. The save dialog returns
// -1 for a name the program cannot hold (reported); both 0 on cancel.
void PopFileInitialize(HWND hwnd, int filterSet);
int PopFileOpenDlg(HWND hwnd, char* file, char* title);
int PopFileSaveDlg(HWND hwnd, char* file, char* title);
// Writes to path the strip in toolbar mode (strip not null; one without
// images is a failed write), else pixels: a cursor when path ends in "cur",
// an icon otherwise. The old file is replaced only after every write
// succeeded. 1 when written; a failure is reported.
int PopFileWrite(const uint32_t* pixels, const char* path, int formatIndex, const StripImages* strip = nullptr);
// The save dialog on the document's names, then the write. The flag takes
// the dialog's answer (1 written, 0 cancelled); a name refused or a write
// that failed leaves it, like the names, as it was before the dialog.
enum SaveOutcome { SaveWritten, SaveCancelled, SaveFailed };
int SaveAsk(HWND hwnd, const uint32_t* pixels, int formatIndex, int* fileFlag, const StripImages* strip = nullptr);
// Reads the file: in toolbar mode (strip not null) a strip bitmap into
// strip, else an icon into pixels. Returns the format index of what was
// read, for the caller to send as the format message (a strip's is its size
// at 24 bits), or -1 when the file could not be opened or read (reported),
// which leaves pixels and strip as they were.
int PopFileRead(uint32_t* pixels, const char* path, StripImages* strip = nullptr);
// False when the last file read did not become the document whole (a
// picture converted, the first of several, a PNG): its Save then asks for
// a name, so the file is not replaced by less than it held unasked.
bool LastReadWasWhole();
// Shows the message of a file error code and gives the document back the
// name it had before the last open dialog.
int MistakeHandler(int code);
// Shows the message alone, for a name refused before it became the
// document's.
void ReportFileError(int code);
