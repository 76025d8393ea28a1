// Any byte string handed to the strip reader must come back as one of its
// codes, allocating only what the file holds.
#include <cstdint>
#include "formats/FileErrors.h"
#include "formats/StripBitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MemoryStream file(data, size);
    StripImages strip{16, 1, std::vector<uint32_t>(256, 7)};
    int code = ReadStripBitmap(file, strip);
    if (code == FileOk) {
        if (strip.Count < 1 ||
            strip.Pixels.size() != static_cast<size_t>(strip.Count) * strip.Pace * strip.Pace ||
            strip.Pixels.size() * 4 > size)
            __builtin_trap();
    } else if (strip.Count != 1 || strip.Pixels.size() != 256) {
        __builtin_trap();
    }
    return 0;
}
