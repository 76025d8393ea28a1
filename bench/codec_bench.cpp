// Prints how long the icon and cursor codecs take for each of the eight
// sizes and depths, and the strip codec for a strip of 100 images.
#include <chrono>
#include <cstdio>
#include "document/Document.h"
#include "formats/IcFormat.h"
#include "formats/StripBitmap.h"

namespace {

using Clock = std::chrono::steady_clock;

template <typename F>
double MicrosecondsPer(int rounds, F&& f) {
    const auto start = Clock::now();
    for (int i = 0; i < rounds; ++i) f();
    const std::chrono::duration<double, std::micro> spent = Clock::now() - start;
    return spent.count() / rounds;
}

// A busy image: many colours (the 8-bit table fills up), some mask.
void FillTestImage(uint32_t* px) {
    for (int i = 0; i < ImagePixels; ++i)
        px[i] = (i % 11 == 0) ? MaskColor : MakeColour(i * 37, i * 11, 255 - (i & 0xFF));
}

}  // namespace

int main() {
    static uint32_t image[ImagePixels], back[ImagePixels];
    FillTestImage(image);
    const int rounds = 2000;
    std::printf("%-8s %-6s %-7s %12s %12s %8s\n", "size", "bits", "kind", "encode us", "decode us", "bytes");
    for (int f = 0; f < FormatCount; ++f)
        for (int cursor = 0; cursor < 2; ++cursor) {
            const FormatRow& row = FormatTable[f];
            MemoryStream file;
            Format(file, image, f, cursor, 1, 2);
            const double encode = MicrosecondsPer(rounds, [&] {
                MemoryStream out;
                out.data.reserve(4096);
                Format(out, image, f, cursor, 1, 2);
            });
            const double decode = MicrosecondsPer(rounds, [&] { FormatOpen(file, back); });
            std::printf("%2dx%-5d %-6d %-7s %12.2f %12.2f %8zu\n", row.Pace, row.Pace, row.Bits,
                        cursor ? "cursor" : "icon", encode, decode, file.data.size());
        }

    for (int pace : {16, 32}) {
        StripImages strip;
        strip.Pace = pace;
        strip.Count = 100;
        strip.Pixels.resize(static_cast<size_t>(100) * pace * pace);
        for (size_t i = 0; i < strip.Pixels.size(); ++i) strip.Pixels[i] = static_cast<uint32_t>(i * 2654435761u) & 0xFFFFFF;
        MemoryStream file;
        WriteStripBitmap(file, strip);
        const double encode = MicrosecondsPer(200, [&] {
            MemoryStream out;
            WriteStripBitmap(out, strip);
        });
        const double decode = MicrosecondsPer(200, [&] {
            StripImages in;
            ReadStripBitmap(file, in);
        });
        std::printf("strip of 100 %dx%d: encode %.1f us, decode %.1f us, %zu bytes\n", pace, pace, encode,
                    decode, file.data.size());
    }
    return 0;
}
