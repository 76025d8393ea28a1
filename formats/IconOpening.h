// How a file given as an icon or cursor opens, decided once for the editor
// and the tool alike: as a PNG picture; through the editor's own reading of
// its first picture; from the best of every picture it holds (other sizes
// and depths, PNG entries), which the editor converts on request; or not.
#pragma once
#include <cstdint>
#include "formats/ByteStream.h"
#include "formats/IcFormat.h"
#include "formats/IconEntries.h"

enum IconRoute {
    IconAsPng,        // a PNG file, whatever its name
    IconAsEditors,    // the editor's reader took its first picture (Read)
    IconAsBest,       // the editor's reader does not take it: its best picture
    IconAsNothing,    // a depth no decoding fits: nothing changes, and nothing is said
    IconUnreadable,   // "Error reading file!"
};

struct IconOpening {
    IconRoute Route = IconUnreadable;
    IconReadResult Read;   // the editor's reading, or the header's counts where it was not asked
};

// The editor's reader puts the first picture into pixels only when it takes
// it. A first entry whose data is a PNG picture goes to the best picture
// whatever its directory fields say (they often give 8 or 24 bits); so does
// a Windows program or library, by its first icon group.
IconOpening OpenIconFile(ByteStream& file, uint32_t* pixels);

// Every entry of an icon or cursor file, or of a program's first icon group
// (the first in its resource directory, named groups before numbered ones,
// which the system counts as its icon 0), as ReadIconEntries reads them.
int ReadBestEntries(ByteStream& file, IconEntries& out, bool pixels = true);
