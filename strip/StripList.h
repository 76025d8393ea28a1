// The strip's image list and the plain pixels of its images.
//
// The list is the strip's storage. Its images are read from the list's own
// bitmap rather than drawn through the display: the platform draws a 32-bit
// list image with its fourth byte as alpha, which would change the colours
// of strips made by other programs (they often carry 0xFF there) and, once
// such an image is replaced, draw it not at all. Reading the bits keeps
// every byte as stored.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <cstdint>

// An empty list of pace x pace 32-bit images without mask, room for
// `initial` images, growing by 1000.
HIMAGELIST CreateStripList(int pace, int initial);

// Appends count images. Image k is at pixels + k * pace * pace, rows top
// first, each pixel a colour reference (0x00BBGGRR) whose fourth byte is
// stored as it is. False when the list could not take them all.
bool AppendStripImages(HIMAGELIST list, int pace, int count, const uint32_t* pixels);

// Image `index` as pace x pace colour references, rows top first, the
// fourth byte as stored. False for an index the list does not hold.
bool ReadStripImage(HIMAGELIST list, int index, uint32_t* pixels);

// Draws image `index` at (x, y), enlarged or not to size x size by pixel
// repetition; its fourth byte plays no part. Nothing for a missing index.
void DrawStripImage(HDC hdc, HIMAGELIST list, int index, int x, int y, int size);

// Edge length of the list's images, 0 without a list.
int StripListPace(HIMAGELIST list);
