// Every picture an icon or cursor file holds, whatever its size and depth:
// what the editor converts from and the tool lists. The editor's own
// single-image reading (IcFormat) stays as it is; this reader is for the
// files other programs make (several sizes, 32-bit pictures with alpha,
// PNG-compressed entries).
#pragma once
#include <cstdint>
#include <string>
#include <vector>
#include "formats/ByteStream.h"
#include "formats/PngImage.h"

// The largest picture an entry may hold, in pixels along each edge: the
// largest the PNG reader takes.
constexpr int MaxEntryEdge = MaxPngEdge;

struct IconEntry {
    int Index = 0;                 // its place in the directory, from 0
    int Width = 0, Height = 0;     // 1 .. 256
    int Bits = 0;                  // 1, 4, 8, 24 or 32; a PNG entry counts as 32
    bool Png = false;              // the entry's data is a PNG picture
    uint16_t HotX = 0, HotY = 0;   // a cursor's hot spot, in this picture's pixels
    // Width x Height pixels, rows top first, each 0xAABBGGRR: red, green,
    // blue and alpha (0 transparent, 255 opaque); empty when read without
    // pixels, the entry's bytes then kept in Data.
    std::vector<uint32_t> Pixels;
    std::vector<uint8_t> Data;
};

struct IconEntries {
    bool IsCursor = false;
    int Count = 0;                      // entries in the directory
    std::vector<IconEntry> Pictures;    // those that could be read, in file order
    std::vector<std::string> Skipped;   // "entry 2: ...", for each one that could not
};

// Reads the directory and every entry. Every offset and size is checked
// against the file before it is read, and nothing held is larger than a
// picture of 256x256 or a small multiple of the file. Returns FileOk (with
// at least one picture), FileNotSupported (no entry could be read: the
// reasons are in Skipped), FileReadError (no directory, or one that does
// not fit the file) or FileNoMemory. Without `pixels` each entry is only
// looked at (size, depth, PNG), for BestPicture to decode the one it takes.
int ReadIconEntries(ByteStream& file, IconEntries& out, bool pixels = true);

// A PNG picture (a file, or what the clipboard holds) as the one entry of
// `out`. Returns an empty string, or why it is no usable PNG.
std::string ReadPngEntry(const uint8_t* data, size_t size, IconEntries& out);

// Fills an entry read without pixels with its picture; "" or why it has
// none.
std::string DecodeEntryPicture(IconEntry& entry);

// The picture (0xAABBGGRR, rows top first) scaled down to size x size,
// averaged over premultiplied colour with a sharp filter (Mitchell), as a
// smaller icon is made from a larger one. Empty when it cannot be made.
std::vector<uint32_t> ScaleDownPicture(int width, int height, const std::vector<uint32_t>& pixels, int size);

// The picture for an edge of `size` pixels: the entry of exactly that size
// with the most colour; else the smallest larger one scaled down (area
// average over premultiplied colour); else the largest smaller one scaled
// up by repeating pixels. Alpha below 128 becomes the mask colour. A
// cursor's hot spot is scaled with its picture. pixels gets size x size
// colour references, rows top first; *taken the entry's Index. False when
// there is no picture.
bool BestPicture(const IconEntries& entries, int size, std::vector<uint32_t>& pixels, uint16_t* hotX,
                 uint16_t* hotY, int* taken = nullptr);
