// The text image of pixtor-cli: 16 or 32 lines of 16 or 32 RRGGBB hex
// values separated by blanks, top row first; 5F6F6F is a transparent pixel.
#pragma once
#include <cstdint>
#include <string>

// Parses text into the first pace x pace elements of pixels (room for
// 1024), row by row from the top, as colour references 0x00BBGGRR.
// Returns an empty string on success, else a message naming the line
// (and value) at fault; pace and pixels are then untouched.
std::string ParseTextImage(const std::string& text, int& pace, uint32_t* pixels);

// The text of the first pace x pace pixels: upper-case RRGGBB values, one
// blank between them, each line ended by '\n'. Byte 3 is not written.
std::string FormatTextImage(int pace, const uint32_t* pixels);
