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
    if (r.Outcome != IconLoaded) {
        // A file that did not load leaves the image as it was.
        for (uint32_t p : pixels)
            if (p != 0x01020304) __builtin_trap();
    } else {
        // A loaded file names a row of the format table and sets only the
        // three colour bytes: byte 3 of every pixel stays.
        if (!IsFormatIndex(r.FormatIndex)) __builtin_trap();
        for (uint32_t p : pixels)
            if (p >> 24 != 0x01) __builtin_trap();
    }
    return 0;
}
