// Any byte string handed to the icon and cursor reader must come back as
// one of its outcomes, without touching memory outside its buffers.
#include <cstdint>
#include <cstring>
#include "document/Document.h"
#include "formats/IcFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MemoryStream file(data, size);
    uint32_t pixels[ImagePixels];
    for (uint32_t& p : pixels) p = 0x01020304;
    IconReadResult r = FormatOpen(file, pixels);
    // A file that did not load leaves the image as it was; one that did names
    // a row of the format table and sets only the three colour bytes.
    const bool loaded = r.Outcome == IconLoaded;
    if (loaded && !IsFormatIndex(r.FormatIndex)) __builtin_trap();
    for (uint32_t p : pixels)
        if (loaded ? p >> 24 != 0x01 : p != 0x01020304) __builtin_trap();
    return 0;
}
