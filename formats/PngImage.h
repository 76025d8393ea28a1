// PNG pictures on plain buffers, for the tool and the icon reader: what
// comes in is any PNG the reader takes, as colour references with
// transparency as the mask colour (or with their alpha, for icon entries);
// what goes out is 8-bit RGBA with the mask colour as alpha 0.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The largest PNG file read, and the largest width or height decoded: the
// editor's images are 16 or 32 wide, so anything far beyond is refused
// before it costs memory.
constexpr size_t MaxPngBytes = 1 << 20;
constexpr int MaxPngEdge = 256;

struct PngPicture {
    int Width = 0, Height = 0;
    std::vector<uint32_t> Pixels;   // colour references 0x00BBGGRR, rows top first
};

// Decodes data into picture. A pixel with alpha below 128 becomes the mask
// colour, every other its opaque colour. Returns an empty string, or why
// the data is no usable PNG (picture is then untouched).
std::string DecodePng(const uint8_t* data, size_t size, PngPicture& picture);
// The same with each pixel's alpha kept in its fourth byte (0xAABBGGRR).
std::string DecodePngWithAlpha(const uint8_t* data, size_t size, PngPicture& picture);

// The eight bytes every PNG file starts with.
bool StartsAsPng(const uint8_t* data, size_t size);
// The width and height its header chunk, which comes first, gives; false
// when there is none.
bool PngSize(const uint8_t* data, size_t size, uint32_t& width, uint32_t& height);

// A PNG that decodes (data holds it whole) as an icon entry stores it:
// 8-bit RGBA, not interlaced. Its header, picture data and end chunks, as
// they are, go to `kept`; the chunks that only describe the picture go.
// False, and kept untouched, for any other PNG.
bool KeepAsEntry(const uint8_t* data, size_t size, std::vector<uint8_t>& kept);

// The pace x pace pixels (colour references; the mask colour transparent)
// as the bytes of an 8-bit RGBA PNG file; empty if encoding failed.
std::vector<uint8_t> EncodePng(int pace, const uint32_t* pixels);
// A picture with its alpha (0xAABBGGRR, rows top first) the same way. Both
// may be called from several threads at once.
std::vector<uint8_t> EncodePngWithAlpha(int width, int height, const uint32_t* pixels);
