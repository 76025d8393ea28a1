#include "formats/PngImage.h"
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>
#include <zlib.h>
#include "document/Document.h"

// The reader takes files from anywhere: PNG only, small pictures only, no
// file access of its own, and no buffer beyond what the largest picture it
// takes needs (256x256 at 16 bits a channel unpacks to about half a
// megabyte): a small file whose data unpacks to gigabytes is refused when
// its buffer would pass that, not after. And every buffer it gets starts
// zeroed: a corrupt stream can make the decoder copy bytes it never wrote
// (a back-reference of distance 0), which must come out as zeros, not as
// whatever the memory held before.
namespace {
constexpr size_t MaxPngBuffer = size_t(4) << 20;
constexpr size_t SizeField = 16;   // each block's size, before it, keeping its alignment
void* PngMalloc(size_t size) {
    if (size > MaxPngBuffer) return nullptr;
    unsigned char* block = static_cast<unsigned char*>(std::calloc(1, size + SizeField));
    if (!block) return nullptr;
    std::memcpy(block, &size, sizeof size);
    return block + SizeField;
}
void PngFree(void* p) {
    if (p) std::free(static_cast<unsigned char*>(p) - SizeField);
}
void* PngRealloc(void* p, size_t size) {
    void* grown = PngMalloc(size);
    if (grown && p) {
        size_t had;
        std::memcpy(&had, static_cast<unsigned char*>(p) - SizeField, sizeof had);
        std::memcpy(grown, p, had < size ? had : size);
        PngFree(p);
    }
    return grown;
}
}  // namespace
#define STBI_MALLOC(size) PngMalloc(size)
#define STBI_REALLOC(p, size) PngRealloc(p, size)
#define STBI_FREE(p) PngFree(p)
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_MAX_DIMENSIONS MaxPngEdge
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>

// The picture data is compressed by zlib. Each row is filtered as the
// difference from the pixel before (stb's Sub filter): icons are runs of
// one colour and smooth ramps, which that turns into runs of zeros; zlib's
// default level packs them a third smaller than the compressor of three
// kinds of match this file had, which was faster but larger.
namespace {
unsigned char* Compress(unsigned char* data, int size, int* outSize, int) {
    uLongf bound = compressBound(static_cast<uLong>(size));
    unsigned char* out = static_cast<unsigned char*>(std::malloc(bound));
    if (!out) return nullptr;
    if (compress2(out, &bound, data, static_cast<uLong>(size), Z_DEFAULT_COMPRESSION) != Z_OK) {
        std::free(out);
        return nullptr;
    }
    *outSize = static_cast<int>(bound);
    return out;
}
}  // namespace
#define STBIW_ZLIB_COMPRESS Compress
#define STBI_WRITE_NO_STDIO
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

// One filter for every row: the writer's default tries all five on each,
// and its choice packs icons worse. Chosen once, by the first writer,
// before it writes: from then on the writer only reads it, however many
// threads write.
static bool ChooseFilter() {
    static const bool chosen = (stbi_write_force_png_filter = 1, true);
    return chosen;
}

static const char* Reason() {
    const char* why = stbi_failure_reason();
    return why ? why : "no reason given";
}

bool StartsAsPng(const uint8_t* data, size_t size) {
    static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    return size >= 8 && std::memcmp(data, signature, 8) == 0;
}

bool PngSize(const uint8_t* data, size_t size, uint32_t& width, uint32_t& height) {
    if (!StartsAsPng(data, size) || size < 24 || std::memcmp(data + 12, "IHDR", 4) != 0) return false;
    width = static_cast<uint32_t>(data[16]) << 24 | data[17] << 16 | data[18] << 8 | data[19];
    height = static_cast<uint32_t>(data[20]) << 24 | data[21] << 16 | data[22] << 8 | data[23];
    return true;
}

namespace {

uint32_t Get32Big(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 | static_cast<uint32_t>(p[2]) << 8 | p[3];
}

// The picture data of an 8-bit RGBA PNG, in the pieces its chunks hold,
// inflates whole to exactly its rows, each with a filter PNG defines, with
// nothing after: what the decoder does not check on its own (it takes a
// stream that stops short, or goes on).
bool DataFitsPicture(const std::vector<std::pair<const uint8_t*, size_t>>& pieces, uint32_t width, uint32_t height) {
    const size_t row = 1 + 4 * static_cast<size_t>(width);
    std::vector<uint8_t> rows(row * height + 1);
    z_stream z = {};
    if (inflateInit(&z) != Z_OK) return false;
    z.next_out = rows.data();
    z.avail_out = static_cast<uInt>(rows.size());
    int status = Z_OK;
    for (size_t k = 0; k < pieces.size() && status == Z_OK; ++k) {
        z.next_in = const_cast<Bytef*>(pieces[k].first);
        z.avail_in = static_cast<uInt>(pieces[k].second);
        while (z.avail_in && status == Z_OK) status = inflate(&z, Z_NO_FLUSH);
        if (status == Z_STREAM_END && (z.avail_in || k + 1 < pieces.size())) status = Z_DATA_ERROR;
    }
    const bool whole = status == Z_STREAM_END && z.total_out == row * height;
    inflateEnd(&z);
    for (size_t y = 0; whole && y < height; ++y)
        if (rows[y * row] > 4) return false;
    return whole;
}

}  // namespace

bool KeepAsEntry(const uint8_t* data, size_t size, std::vector<uint8_t>& kept) {
    // Bit depth 8, colour type 6 (RGBA), interlace method 0.
    if (!StartsAsPng(data, size) || size < 33 || std::memcmp(data + 12, "IHDR", 4) != 0 || data[24] != 8 ||
        data[25] != 6 || data[28] != 0)
        return false;
    const uint32_t width = Get32Big(data + 16), height = Get32Big(data + 20);
    if (width < 1 || width > static_cast<uint32_t>(MaxPngEdge) || height < 1 || height > static_cast<uint32_t>(MaxPngEdge))
        return false;
    std::vector<uint8_t> copy(data, data + 8);
    std::vector<std::pair<const uint8_t*, size_t>> pieces;
    size_t at = 8;
    while (at + 12 <= size) {
        const size_t length = Get32Big(data + at);
        if (length > size - at - 12) return false;
        const uint8_t* type = data + at + 4;
        const bool end = std::memcmp(type, "IEND", 4) == 0;
        const bool picture = std::memcmp(type, "IDAT", 4) == 0;
        if (end || picture || std::memcmp(type, "IHDR", 4) == 0) {
            // What is kept is what was made: every chunk's check sum holds.
            if (crc32(0, type, static_cast<uInt>(4 + length)) != Get32Big(type + 4 + length)) return false;
            copy.insert(copy.end(), data + at, data + at + 12 + length);
            if (picture) pieces.emplace_back(type + 4, length);
        } else if (!(type[0] & 0x20) && std::memcmp(type, "PLTE", 4) != 0) {
            return false;   // a chunk the picture needs that no reader of icons knows
        }
        if (end) {
            if (!DataFitsPicture(pieces, width, height)) return false;
            kept.swap(copy);
            return true;
        }
        at += 12 + length;
    }
    return false;
}

// Every chunk up to the end chunk lies within the file; the file is copied
// into `mended` (else left empty) where the decoder needs it changed:
// - the reader sizes its buffers by the lengths the chunks claim, so a chunk
//   that claims more than the file holds would have it allocate gigabytes
//   for a few bytes: refused;
// - empty data chunks (legal, and nothing to decode) go: the reader would
//   copy their nothing into a buffer it has not made yet;
// - a palette of fewer than 256 colours is filled up with black: the reader
//   would take a pixel's colour beyond it from memory it never set.
static bool ChunksFitFile(const uint8_t* data, size_t size, std::vector<uint8_t>& mended) {
    if (!StartsAsPng(data, size)) return true;   // the reader tells what it is not
    std::vector<uint8_t> copy(data, data + 8);
    bool changed = false;
    size_t at = 8;
    while (at + 12 <= size) {
        const size_t length = static_cast<size_t>(data[at]) << 24 | static_cast<size_t>(data[at + 1]) << 16 |
                              static_cast<size_t>(data[at + 2]) << 8 | data[at + 3];
        if (length > size - at - 12) return false;
        const uint8_t* type = data + at + 4;
        if (std::memcmp(type, "IEND", 4) == 0) {
            if (changed) {
                copy.insert(copy.end(), data + at, data + size);
                mended.swap(copy);
            }
            return true;
        }
        if (length == 0 && std::memcmp(type, "IDAT", 4) == 0) {
            changed = true;
        } else if (std::memcmp(type, "PLTE", 4) == 0 && length < 768 && length % 3 == 0) {
            const uint8_t full[4] = {0, 0, 3, 0};   // 768 bytes; the decoder does not check the sum
            copy.insert(copy.end(), full, full + 4);
            copy.insert(copy.end(), type, type + 4 + length);
            copy.insert(copy.end(), 768 - length, 0);
            copy.insert(copy.end(), data + at + 8 + length, data + at + 12 + length);
            changed = true;
        } else {
            copy.insert(copy.end(), data + at, data + at + 12 + length);
        }
        at += 12 + length;
    }
    return false;
}

static std::string Decode(const uint8_t* data, size_t size, PngPicture& picture, bool keepAlpha) {
    if (size > MaxPngBytes) return "larger than " + std::to_string(MaxPngBytes) + " bytes";
    std::vector<uint8_t> mended;
    if (!ChunksFitFile(data, size, mended)) return "a part of the PNG reaches beyond the end of the file";
    if (!mended.empty()) {
        data = mended.data();
        size = mended.size();
    }
    uint32_t claimedWidth = 0, claimedHeight = 0;
    if (PngSize(data, size, claimedWidth, claimedHeight) && (claimedWidth > MaxPngEdge || claimedHeight > MaxPngEdge))
        return "image is " + std::to_string(claimedWidth) + "x" + std::to_string(claimedHeight);
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

std::vector<uint8_t> EncodePngWithAlpha(int width, int height, const uint32_t* pixels) {
    std::vector<uint8_t> file;
    if (width < 1 || height < 1 || !ChooseFilter()) return file;
    std::vector<uint8_t> rgba(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    for (size_t i = 0; i < rgba.size() / 4; ++i)
        for (int c = 0; c < 4; ++c) rgba[4 * i + c] = static_cast<uint8_t>(pixels[i] >> (8 * c));
    if (!stbi_write_png_to_func(Append, &file, width, height, 4, rgba.data(), width * 4)) file.clear();
    return file;
}

std::vector<uint8_t> EncodePng(int pace, const uint32_t* pixels) {
    std::vector<uint32_t> rgba(static_cast<size_t>(pace) * pace);
    for (size_t i = 0; i < rgba.size(); ++i) {
        const uint32_t c = pixels[i] & 0x00FFFFFFu;
        rgba[i] = c == MaskColor ? c : c | 0xFF000000u;
    }
    return EncodePngWithAlpha(pace, pace, rgba.data());
}
