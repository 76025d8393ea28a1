// The toolbar strip file: n square images side by side in one
// uncompressed 32-bit bitmap, rows bottom-up, pixels blue, green, red,
// fourth byte.
#pragma once
#include <cstdint>
#include <vector>
#include "formats/ByteStream.h"

struct StripImages {
    int Pace = 16;                 // edge length of every image, 16 or 32
    int Count = 0;                 // number of images
    // Image k at k * Pace * Pace, its rows top to bottom, each pixel a
    // colour reference (0x00BBGGRR) whose fourth byte is stored as it is.
    std::vector<uint32_t> Pixels;
};

constexpr int StripHeaderBytes = 54;
// A strip holds any number of images; only the file's own size fields
// (32 bits) bound one that is written.

// Writes the 14-byte file header, the 40-byte image header and the pixel
// rows, each write tested. Returns FileOk, FileNoMemory (a strip that cannot
// be held) or FileWriteError.
int WriteStripBitmap(ByteStream& file, const StripImages& strip);

// Reads a strip: 32 bits per pixel, height 16 or 32, n = width / height
// images (extra columns are dropped). Returns FileOk, FileNotSupported,
// FileReadError (failed read, or a width or pixel data the file does not
// hold) or FileNoMemory (a strip this machine cannot hold); strip is
// replaced only on FileOk. What it holds in memory is at most what the
// file holds.
int ReadStripBitmap(ByteStream& file, StripImages& strip);
