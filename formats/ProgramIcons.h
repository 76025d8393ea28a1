// The icons and cursors a Windows program or library carries among its
// resources, each group as the icon or cursor file it makes: 32- and 64-bit
// programs (PE) and 16-bit ones (NE, and .icl icon libraries). The reader
// takes files from anywhere: every offset, size and count is checked
// against the file before it is used, the resource tree is at most three
// levels deep and never visited twice, and what it holds stays within a
// small multiple of the file.
#pragma once
#include <cstdint>
#include <string>
#include <vector>
#include "formats/ByteStream.h"

struct IconGroup {
    bool Cursor = false;
    bool Named = false;            // Name, else Number
    std::string Name;              // UTF-8
    uint32_t Number = 0;
    uint16_t Language = 0;         // 0 in a 16-bit program
    int Entries = 0;               // pictures in the file made
    std::vector<uint8_t> File;     // the .ico or .cur
};

struct ProgramIcons {
    bool SixteenBit = false;
    std::vector<IconGroup> Groups;          // in the resource directory's order
    std::vector<std::string> Skipped;       // what could not be taken, and why
};

// Whether the file starts as a Windows program ("MZ").
bool StartsAsProgram(const uint8_t* data, size_t size);

// Reads every icon and cursor group. Returns FileOk (a program, with or
// without groups), FileNotSupported (no Windows program), FileReadError (a
// program whose headers do not fit the file) or FileNoMemory.
int ReadProgramIcons(ByteStream& file, ProgramIcons& out);
