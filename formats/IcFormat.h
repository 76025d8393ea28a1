// The single-image icon and cursor file: writer and reader.
// Both work on a plain pixel buffer (colour references, 0x00BBGGRR) and a
// byte stream; the shell turns their results into its messages.
#pragma once
#include <cstdint>
#include "formats/ByteStream.h"

// The sixteen fixed colours of every 4-bit file, index: red, green, blue.
struct PaletteEntry { uint8_t Red, Green, Blue; };
extern const PaletteEntry IconPalette[16];

// Writes pixels (the first N x N elements, N from the format) as an icon,
// or as a cursor with the hot spot when isCursor is 1, in the size and
// depth of the format index; an index outside the table writes only the
// 6-byte file header. Every piece is a write of its own; the first that fails
// stops the writer. The pixels are never changed.
// Returns FileOk or FileWriteError.
int Format(ByteStream& file, const uint32_t* pixels, int formatIndex,
           int isCursor, uint16_t hotX, uint16_t hotY);

// What reading a file came to.
enum IconReadOutcome {
    IconLoaded,        // pixels replaced, FormatIndex valid
    IconReadFailed,    // "Error reading file!"; pixels untouched
    IconNotSupported,  // width or depth the editor cannot take: ask to convert
    IconUnknownDepth,  // accepted but no decoding fits: nothing changed, no message
};

struct IconReadResult {
    int Outcome = IconReadFailed;
    int FormatIndex = -1;     // 0..7 when loaded
    int IsCursorFile = 0;     // the file's type field is 2
    int HotSpotRead = 0;      // HotX/HotY hold the file's hot spot
    uint16_t HotX = 0, HotY = 0;
    int ImageCount = 0;       // the file's image count
    int MultiImageWarning = 0;// accepted with more than one image: only the first is read
    int Width = 0;            // the entry's width byte (0 stands for 256)
    int DepthValue = 0;       // bit count that decided the depth
    int ColourCount = 0;      // the entry's colour count
};

// Reads the first image of an icon or cursor file. The image is decoded
// into scratch and copied into pixels (the three colour bytes of the first
// N x N elements; byte 3 and the elements beyond stay) only when every
// read succeeded. A file that ends inside its first directory entry or the
// image header the entry points at fails to read; past them, bytes that a
// short read did not deliver count as 0.
IconReadResult FormatOpen(ByteStream& file, uint32_t* pixels);
