// The toolbar strip on disk, on the Win32 side: the strip's image list
// written and read through the strip codec (StripBitmap).
#pragma once
#include "formats/ByteStream.h"

// Writes the current strip. Returns FileOk, FileNoMemory or
// FileWriteError; the caller reports the error.
int BitmapFormat(ByteStream& file);

// Reads a strip and makes it the current one: the list, its count and
// size (ToolBarStr.StripPace), the selection at image 0 with the first
// image to come onto the board at the strip's next paint. Returns FileOk,
// or the file error code of a strip that could not be read, which changes
// nothing; the caller reports it.
int BitmapFormatOpen(ByteStream& file);
