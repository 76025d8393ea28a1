#include "formats/PngImage.h"
#include <cstdlib>
#include <cstring>
#include <new>
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

// The PNG data of an icon's picture is short and made of runs: the same
// filtered byte, the pixel before, or the row above. A deflate of those
// three kinds of match with the fixed codes packs it about as tightly as a
// general search and in a small part of its time (the general one clears
// a 128 KB table for every picture).
namespace {
struct BitWriter {
    std::vector<uint8_t> out;
    uint32_t buffer = 0;
    int count = 0;
    void Put(uint32_t bits, int n) {   // least significant bit first
        buffer |= bits << count;
        count += n;
        while (count >= 8) {
            out.push_back(static_cast<uint8_t>(buffer));
            buffer >>= 8;
            count -= 8;
        }
    }
    void PutCode(uint32_t code, int n) {   // a Huffman code, most significant bit first
        uint32_t reversed = 0;
        for (int i = 0; i < n; ++i) reversed |= ((code >> i) & 1u) << (n - 1 - i);
        Put(reversed, n);
    }
    void Symbol(int s) {   // the fixed literal/length code, its bits ready in a table
        struct Codes {
            uint16_t bits[288];
            uint8_t length[288];
            Codes() {
                for (int k = 0; k < 288; ++k) {
                    const uint32_t code = k < 144 ? 0x30 + k : k < 256 ? 0x190 + k - 144 : k < 280 ? k - 256 : 0xC0 + k - 280;
                    length[k] = static_cast<uint8_t>(k < 144 ? 8 : k < 256 ? 9 : k < 280 ? 7 : 8);
                    bits[k] = 0;
                    for (int i = 0; i < length[k]; ++i) bits[k] |= static_cast<uint16_t>(((code >> i) & 1u) << (length[k] - 1 - i));
                }
            }
        };
        static const Codes codes;
        Put(codes.bits[s], codes.length[s]);
    }
};

const uint16_t LengthBase[] = {3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 15, 17, 19, 23, 27, 31,
                               35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
const uint8_t LengthExtra[] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
const uint16_t DistanceBase[] = {1, 2, 3, 4, 5, 7, 9, 13, 17, 25, 33, 49, 65, 97, 129, 193, 257, 385, 513, 769,
                                 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
const uint8_t DistanceExtra[] = {0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8,
                                 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

// The row length of the picture being written, for matches with the row
// above: one for each thread, so pictures may be written on several at once.
thread_local int RowBytes = 0;

unsigned char* Deflate(unsigned char* data, int size, int* outSize) {
    BitWriter w;
    w.out.reserve(static_cast<size_t>(size) / 2 + 64);
    w.out = {0x78, 0x01};
    w.Put(1, 1);   // the last block
    w.Put(1, 2);   // fixed codes
    const int distances[3] = {1, 4, RowBytes};
    for (int i = 0; i < size;) {
        int best = 0, distance = 0;
        for (int d : distances) {
            if (d <= 0 || d > i || d > 32768) continue;
            int n = 0;
            while (n < 258 && i + n < size && data[i + n] == data[i + n - d]) ++n;
            if (n > best) best = n, distance = d;
        }
        if (best < 3) {
            w.Symbol(data[i++]);
            continue;
        }
        int l = 28;
        while (LengthBase[l] > best) --l;
        w.Symbol(257 + l);
        w.Put(static_cast<uint32_t>(best - LengthBase[l]), LengthExtra[l]);
        int k = 29;
        while (DistanceBase[k] > distance) --k;
        w.PutCode(static_cast<uint32_t>(k), 5);
        w.Put(static_cast<uint32_t>(distance - DistanceBase[k]), DistanceExtra[k]);
        i += best;
    }
    w.Symbol(256);
    w.Put(0, 7);   // to the byte boundary
    uint64_t a = 1, b = 0;   // reduced every few thousand bytes, before b could pass 64 bits
    for (int i = 0; i < size; ++i) {
        a += data[i];
        b += a;
        if ((i & 0xFFF) == 0xFFF) a %= 65521, b %= 65521;
    }
    const uint32_t adler = static_cast<uint32_t>(b % 65521) << 16 | static_cast<uint32_t>(a % 65521);
    for (int shift = 24; shift >= 0; shift -= 8) w.out.push_back(static_cast<uint8_t>(adler >> shift));
    unsigned char* copy = static_cast<unsigned char*>(std::malloc(w.out.size()));
    if (!copy) return nullptr;
    std::memcpy(copy, w.out.data(), w.out.size());
    *outSize = static_cast<int>(w.out.size());
    return copy;
}

// The writer takes no exception: no memory is no PNG.
unsigned char* RunDeflate(unsigned char* data, int size, int* outSize, int) {
    try {
        return Deflate(data, size, outSize);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
}  // namespace
#define STBIW_ZLIB_COMPRESS RunDeflate
#define STBI_WRITE_NO_STDIO
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

// One filter for every row: the writer's default tries all five on each.
// Chosen once, by the first writer, before it writes: from then on the
// writer only reads it, however many threads write.
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
    RowBytes = width * 4 + 1;
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
