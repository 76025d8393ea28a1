// Any byte string handed to the reader of programs' icons must come back as
// one of its outcomes, within the memory it allows, every group it gives a
// whole icon or cursor file that the reader of every entry takes.
#include <cstdint>
#include "formats/FileErrors.h"
#include "formats/IconEntries.h"
#include "formats/LittleEndian.h"
#include "formats/ProgramIcons.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MemoryStream file(data, size);
    ProgramIcons program;
    const int code = ReadProgramIcons(file, program);
    if (code != FileOk && !program.Groups.empty()) __builtin_trap();
    size_t held = 0;
    for (const IconGroup& g : program.Groups) {
        const std::vector<uint8_t>& f = g.File;
        held += f.size();
        // A header, a directory of its pictures, and each picture's bytes
        // within the file, one after the other.
        if (g.Entries < 1 || f.size() < 6 + 16 * static_cast<size_t>(g.Entries) || Get16(&f[2]) != (g.Cursor ? 2u : 1u) ||
            Get16(&f[4]) != static_cast<uint32_t>(g.Entries))
            __builtin_trap();
        size_t next = 6 + 16 * static_cast<size_t>(g.Entries);
        for (int k = 0; k < g.Entries; ++k) {
            const uint8_t* e = &f[6 + 16 * static_cast<size_t>(k)];
            if (Get32(e + 12) != next || Get32(e + 8) == 0 || Get32(e + 8) > f.size() - next) __builtin_trap();
            next += Get32(e + 8);
        }
        if (next != f.size()) __builtin_trap();
        MemoryStream group(f);
        IconEntries entries;
        ReadIconEntries(group, entries, false);
        if (entries.Count != g.Entries) __builtin_trap();
    }
    if (held > 4 * size + (1u << 20)) __builtin_trap();
    return 0;
}
