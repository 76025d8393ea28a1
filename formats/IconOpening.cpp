#include "formats/IconOpening.h"
#include "formats/LittleEndian.h"
#include "formats/FileErrors.h"
#include "formats/PngImage.h"
#include "formats/ProgramIcons.h"

IconOpening OpenIconFile(ByteStream& file, uint32_t* pixels) {
    IconOpening o;
    uint8_t start[22] = {};
    const long long n = file.ReadAt(0, start, sizeof start);
    if (n >= 8 && StartsAsPng(start, 8)) {
        o.Route = IconAsPng;
        return o;
    }
    if (n >= 2 && StartsAsProgram(start, 2)) {
        o.Route = IconAsBest;
        return o;
    }
    const uint32_t type = n == sizeof start ? Get16(start + 2) : 0;
    if (Get16(start) == 0 && (type == 1 || type == 2) && Get16(start + 4) >= 1) {
        uint8_t data[8];
        if (file.ReadAt(Get32(start + 18), data, sizeof data) == sizeof data && StartsAsPng(data, sizeof data)) {
            o.Read.ImageCount = static_cast<int>(Get16(start + 4));
            o.Read.IsCursorFile = type == 2;
            o.Route = IconAsBest;
            return o;
        }
    }
    o.Read = FormatOpen(file, pixels);
    switch (o.Read.Outcome) {
    case IconLoaded: o.Route = IconAsEditors; break;
    case IconNotSupported: o.Route = IconAsBest; break;
    case IconUnknownDepth: o.Route = IconAsNothing; break;
    default: o.Route = IconUnreadable; break;
    }
    return o;
}

int ReadBestEntries(ByteStream& file, IconEntries& out, bool pixels) {
    uint8_t start[2] = {};
    if (file.ReadAt(0, start, sizeof start) != sizeof start || !StartsAsProgram(start, sizeof start))
        return ReadIconEntries(file, out, pixels);
    ProgramIcons program;
    const int code = ReadProgramIcons(file, program);
    if (code != FileOk) return code == FileNotSupported ? FileReadError : code;
    for (const IconGroup& g : program.Groups) {
        if (g.Cursor) continue;
        MemoryStream group(g.File);
        return ReadIconEntries(group, out, pixels);
    }
    out = IconEntries();
    out.Skipped.push_back("no icon among the program's resources");
    return FileNotSupported;
}
