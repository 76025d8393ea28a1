// Icons and cursors of several pictures, made as Windows and other programs
// read them: each picture stored as a 32-bit bitmap with its alpha, as a
// bitmap of fewer colours, or as a PNG, every bitmap with the mask Windows
// draws through, under one directory in ascending size.
#pragma once
#include <cstdint>
#include <vector>
#include "formats/ByteStream.h"

// A picture as an icon holds it.
struct StoredEntry {
    int Width = 0, Height = 0;     // 1 .. 256
    int Bits = 32;                 // 1, 4, 8, 24 or 32; a PNG counts as 32
    bool Png = false;
    uint16_t HotX = 0, HotY = 0;   // a cursor's hot spot
    std::vector<uint8_t> Data;     // the entry's bytes
};

// The smallest depth that keeps the picture (0xAABBGGRR pixels) exactly: 1
// bit for one only black and white, 4 or 8 bits for one of at most 16 or
// 256 colours, 24 bits for one whose alpha is only 0 or 255, else 32. The
// colour of a pixel of alpha 0 is not kept at depths below 32.
int ExactDepth(const std::vector<uint32_t>& pixels);

// The picture (width x height pixels, 0xAABBGGRR, rows top first) stored at
// `bits`, or as a PNG. A bitmap's mask marks the pixels of alpha 0; below
// 32 bits those draw as the background (colour black), and a pixel of
// other alpha below 128 is taken as transparent too. 1, 4 and 8 bits take
// a palette of the picture's own colours, which must fit. False when it
// cannot be stored so.
bool StoreEntry(int width, int height, const std::vector<uint32_t>& pixels, int bits, bool png, StoredEntry& out);

// The most pictures a directory counts.
constexpr size_t MaxStoredEntries = 65535;

// The file: header, directory (width and height 0 for 256; an icon's
// colour count, planes 1 and bit count; a cursor's hot spot in their
// place) and the entries' bytes, in the order given. Returns FileOk or
// FileWriteError (also for more than MaxStoredEntries).
int WriteIconFile(ByteStream& file, bool cursor, const std::vector<StoredEntry>& entries);
