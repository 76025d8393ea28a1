#include "formats/PngImage.h"
#include <cstdlib>
#include <cstring>
#include "document/Document.h"

// The reader takes files from anywhere: PNG only, small pictures only, no
// file access of its own, and no buffer beyond what the largest picture it
// takes needs (256x256 at 16 bits a channel unpacks to about half a
// megabyte): a small file whose data unpacks to gigabytes is refused when
// its buffer would pass that, not after.
namespace {
constexpr size_t MaxPngBuffer = size_t(4) << 20;
void* PngMalloc(size_t size) { return size <= MaxPngBuffer ? std::malloc(size) : nullptr; }
void* PngRealloc(void* p, size_t size) { return size <= MaxPngBuffer ? std::realloc(p, size) : nullptr; }
}  // namespace
#define STBI_MALLOC(size) PngMalloc(size)
#define STBI_REALLOC(p, size) PngRealloc(p, size)
#define STBI_FREE(p) std::free(p)
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_MAX_DIMENSIONS MaxPngEdge
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>

#define STBI_WRITE_NO_STDIO
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

static const char* Reason() {
    const char* why = stbi_failure_reason();
    return why ? why : "no reason given";
}

// Every chunk up to the end chunk lies within the file. The reader sizes
// its buffers by the lengths the chunks claim, so a chunk that claims more
// than the file holds would have it allocate gigabytes for a few bytes.
// Empty data chunks (legal, and nothing to decode) are noted in `empty`:
// the reader would copy their nothing into a buffer it has not made yet.
bool StartsAsPng(const uint8_t* data, size_t size) {
    static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    return size >= 8 && std::memcmp(data, signature, 8) == 0;
}

static bool ChunksFitFile(const uint8_t* data, size_t size, std::vector<size_t>& empty) {
    if (!StartsAsPng(data, size)) return true;   // the reader tells what it is not
    size_t at = 8;
    while (at + 12 <= size) {
        const size_t length = static_cast<size_t>(data[at]) << 24 | static_cast<size_t>(data[at + 1]) << 16 |
                              static_cast<size_t>(data[at + 2]) << 8 | data[at + 3];
        if (length > size - at - 12) return false;
        if (std::memcmp(data + at + 4, "IEND", 4) == 0) return true;
        if (length == 0 && std::memcmp(data + at + 4, "IDAT", 4) == 0) empty.push_back(at);
        at += 12 + length;
    }
    return false;
}

static std::string Decode(const uint8_t* data, size_t size, PngPicture& picture, bool keepAlpha) {
    if (size > MaxPngBytes) return "larger than " + std::to_string(MaxPngBytes) + " bytes";
    std::vector<size_t> empty;
    if (!ChunksFitFile(data, size, empty)) return "a part of the PNG reaches beyond the end of the file";
    std::vector<uint8_t> kept;   // the file without its empty data chunks, when it has any
    if (!empty.empty()) {
        size_t from = 0;
        for (size_t at : empty) {
            kept.insert(kept.end(), data + from, data + at);
            from = at + 12;
        }
        kept.insert(kept.end(), data + from, data + size);
        data = kept.data();
        size = kept.size();
    }
    int width = 0, height = 0, channels = 0;
    if (!stbi_info_from_memory(data, static_cast<int>(size), &width, &height, &channels))
        return std::string("not a PNG picture (") + Reason() + ")";
    if (width > MaxPngEdge || height > MaxPngEdge)
        return "image is " + std::to_string(width) + "x" + std::to_string(height);
    unsigned char* rgba = stbi_load_from_memory(data, static_cast<int>(size), &width, &height, &channels, 4);
    if (!rgba) return std::string("not a readable PNG picture (") + Reason() + ")";
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    for (size_t i = 0; i < pixels.size(); ++i) {
        const unsigned char* p = rgba + 4 * i;
        const uint32_t colour = static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                                static_cast<uint32_t>(p[2]) << 16;
        pixels[i] = keepAlpha ? colour | static_cast<uint32_t>(p[3]) << 24 : p[3] < 128 ? MaskColor : colour;
    }
    stbi_image_free(rgba);
    picture.Width = width;
    picture.Height = height;
    picture.Pixels.swap(pixels);
    return std::string();
}

std::string DecodePng(const uint8_t* data, size_t size, PngPicture& picture) {
    return Decode(data, size, picture, false);
}

std::string DecodePngWithAlpha(const uint8_t* data, size_t size, PngPicture& picture) {
    return Decode(data, size, picture, true);
}

static void Append(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<uint8_t>*>(context);
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

std::vector<uint8_t> EncodePng(int pace, const uint32_t* pixels) {
    std::vector<uint8_t> rgba(static_cast<size_t>(pace) * pace * 4);
    for (int i = 0; i < pace * pace; ++i) {
        const uint32_t c = pixels[i] & 0x00FFFFFFu;
        uint8_t* p = rgba.data() + 4 * i;
        p[0] = static_cast<uint8_t>(c);
        p[1] = static_cast<uint8_t>(c >> 8);
        p[2] = static_cast<uint8_t>(c >> 16);
        p[3] = c == MaskColor ? 0 : 255;
    }
    // An icon's rows compress well with one filter and a short search; the
    // writer's default tries every filter on every row, which made a
    // 32x32 picture cost more than reading the icon it came from.
    stbi_write_png_compression_level = 5;
    stbi_write_force_png_filter = 1;
    std::vector<uint8_t> file;
    if (!stbi_write_png_to_func(Append, &file, pace, pace, 4, rgba.data(), pace * 4)) file.clear();
    return file;
}
