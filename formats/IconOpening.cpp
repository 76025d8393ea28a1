#include "formats/IconOpening.h"
#include "formats/LittleEndian.h"
#include "formats/PngImage.h"

IconOpening OpenIconFile(ByteStream& file, uint32_t* pixels) {
    IconOpening o;
    uint8_t start[22] = {};
    const long long n = file.ReadAt(0, start, sizeof start);
    if (n >= 8 && StartsAsPng(start, 8)) {
        o.Route = IconAsPng;
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
