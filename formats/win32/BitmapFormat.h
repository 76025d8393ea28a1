// The toolbar strip on disk, on the Win32 side: the strip's image list
// written and read through the strip codec (StripBitmap).
#pragma once
#include "formats/ByteStream.h"

// Writes the current strip. Returns FileOk, FileNoMemory or
// FileWriteError; the caller reports the error.
int BitmapFormat(ByteStream& file);

// Reads a strip and makes it the current one: the list, its count and
// size, the selection at image 0 with the first image to come onto the
// board at the strip's next paint, and the format index of its size.
// A file that cannot be read is reported here and changes nothing but the
// document's name, which goes back to the copies. True when the strip was
// replaced.
bool BitmapFormatOpen(ByteStream& file);
