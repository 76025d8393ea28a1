// Any byte string handed to the PNG reader must come back as a picture of
// the size it says, or as a reason with the picture untouched; one kept as
// an icon's entry is one the reader takes, no longer than it was.
#include <cstdint>
#include "formats/PngImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    PngPicture picture;
    picture.Width = 7;
    picture.Pixels.assign(3, 1);
    const std::string problem = DecodePng(data, size, picture);
    if (problem.empty()) {
        if (picture.Width < 1 || picture.Height < 1 || picture.Width > MaxPngEdge || picture.Height > MaxPngEdge ||
            picture.Pixels.size() != static_cast<size_t>(picture.Width) * picture.Height)
            __builtin_trap();
        for (uint32_t p : picture.Pixels)
            if (p > 0x00FFFFFFu) __builtin_trap();
    } else if (picture.Width != 7 || picture.Pixels.size() != 3) {
        __builtin_trap();
    }
    std::vector<uint8_t> kept;
    if (KeepAsEntry(data, size, kept)) {
        PngPicture again;
        if (kept.size() > size || !DecodePngWithAlpha(kept.data(), kept.size(), again).empty()) __builtin_trap();
    }
    return 0;
}
