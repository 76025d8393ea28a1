// Names and texts at the edge where they meet the system: wide there,
// UTF-8 in the program. The program keeps the narrow functions inside and
// calls the wide ones by name wherever a name or a shown text crosses.
#pragma once
#include <windows.h>
#include <string>

// The UTF-8 name as the system's; false for a name it cannot hold (no
// UTF-8, or MAX_PATH units or more), which is refused, never cut.
bool WidePath(const std::string& utf8, wchar_t (&wide)[MAX_PATH]);
// A text to show; bytes that are no UTF-8 show as U+FFFD.
std::wstring WideText(const std::string& utf8);
// A name or text in UTF-8 as it is; a lone surrogate in it makes it no
// name the program opens (Utf8Loosely).
std::string Utf8Text(const std::wstring& wide);
// The file named on a command line: what follows the program's own name
// (in quotes or not) and the blanks after it, as the system's loader
// hands it to WinMain.
const wchar_t* AfterProgramName(const wchar_t* commandLine);
