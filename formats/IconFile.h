// The document's file names, the read/write dispatch between the file
// system and the codecs, and the reporting of file errors.
#pragma once
#include <windows.h>
#include <cstdint>

constexpr int NameLength = 256;
extern char szFileName[NameLength], szTitleName[NameLength];
extern char szFileNameCopy[NameLength], szTitleNameCopy[NameLength];
extern char szFileNameEx[NameLength], szTitleNameEx[NameLength];

void PopFileInitialize(HWND hwnd, int filterSet);
// Reads the file into pixels through the icon reader (or the strip reader
// in toolbar mode); 0 when the file could not be opened.
int PopFileRead(uint32_t* pixels, const char* path);
// Shows the message of a file error code and gives the document back the
// name it had before the last open dialog.
int MistakeHandler(int code);
