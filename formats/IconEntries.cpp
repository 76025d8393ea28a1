// Every entry of an icon or cursor file, bounded by the file at each step:
// a directory or an entry that claims more than the file holds is refused
// before anything is allocated for it.
#include "formats/IconEntries.h"
#include <algorithm>
#include <cstring>
#include <new>
#include "document/Document.h"
#include "formats/FileErrors.h"
#include "formats/LittleEndian.h"
#include "formats/PngImage.h"

#define STB_IMAGE_RESIZE_STATIC
#define STB_IMAGE_RESIZE_IMPLEMENTATION
#include <stb_image_resize.h>

namespace {

constexpr int DirectoryEntryBytes = 16;
// The largest entry a picture of 256x256 needs: a PNG the reader takes, or
// a bitmap with its header, table, colour rows and mask.
constexpr size_t MaxEntryBytes = MaxPngBytes;
constexpr uint32_t InfoHeaderBytes = 40;

uint32_t Rgba(unsigned r, unsigned g, unsigned b, unsigned a) { return MakeColour(r, g, b) | (a & 0xFFu) << 24; }

// The picture of a bitmap entry: header, colour table, colour rows and mask
// rows, rows bottom-up. Returns why it cannot be read, or "".
std::string DecodeBitmap(const std::vector<uint8_t>& data, IconEntry& entry, bool pixels) {
    if (data.size() < InfoHeaderBytes) return "too short for a picture header";
    const uint32_t headerBytes = Get32(&data[0]);
    const int32_t width = GetI32(&data[4]);
    const int32_t doubleHeight = GetI32(&data[8]);
    const int bits = Get16(&data[14]);
    const uint32_t compression = Get32(&data[16]);
    const uint32_t used = Get32(&data[32]);
    if (headerBytes < InfoHeaderBytes || headerBytes > data.size()) return "a picture header of unknown size";
    const int32_t height = doubleHeight / 2;   // colour rows and mask rows together
    if (width < 1 || width > MaxEntryEdge || height < 1 || height > MaxEntryEdge)
        return "a picture of " + std::to_string(width) + "x" + std::to_string(height) + " pixels";
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
        return std::to_string(bits) + " bits per pixel";
    if (compression != 0) return "a compressed bitmap";
    const uint32_t colours = bits > 8 ? 0 : used ? used : 1u << bits;
    if (colours > (1u << std::min(bits, 8))) return "a colour table of " + std::to_string(used) + " entries";

    const size_t table = headerBytes;
    const size_t colourStride = (static_cast<size_t>(width) * bits + 31) / 32 * 4;
    const size_t maskStride = (static_cast<size_t>(width) + 31) / 32 * 4;
    const size_t rows = table + 4 * static_cast<size_t>(colours);
    const size_t mask = rows + colourStride * static_cast<size_t>(height);
    if (mask > data.size()) return "a picture cut short";
    // Some writers leave the mask out; such a picture is all opaque.
    const bool hasMask = mask + maskStride * static_cast<size_t>(height) <= data.size();

    entry.Width = width;
    entry.Height = height;
    entry.Bits = bits;
    if (!pixels) return "";
    entry.Pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    bool anyAlpha = false;
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* row = &data[rows + colourStride * static_cast<size_t>(height - 1 - y)];
        uint32_t* out = &entry.Pixels[static_cast<size_t>(y) * static_cast<size_t>(width)];
        for (int32_t x = 0; x < width; ++x) {
            uint32_t index = 0;
            switch (bits) {
            case 1: index = row[x / 8] >> (7 - x % 8) & 1u; break;
            case 4: index = x % 2 ? row[x / 2] & 0x0Fu : row[x / 2] >> 4; break;
            case 8: index = row[x]; break;
            case 24: out[x] = Rgba(row[3 * x + 2], row[3 * x + 1], row[3 * x], 255); continue;
            default:
                out[x] = Rgba(row[4 * x + 2], row[4 * x + 1], row[4 * x], row[4 * x + 3]);
                anyAlpha = anyAlpha || row[4 * x + 3] != 0;
                continue;
            }
            // An index beyond a short table is black, as the system draws it.
            const uint8_t* c = index < colours ? &data[table + 4 * index] : nullptr;
            out[x] = c ? Rgba(c[2], c[1], c[0], 255) : Rgba(0, 0, 0, 255);
        }
    }
    // A 32-bit picture with no alpha at all takes its transparency from the
    // mask, as the others always do.
    if (bits == 32 && anyAlpha) return "";
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* row = hasMask ? &data[mask + maskStride * static_cast<size_t>(height - 1 - y)] : nullptr;
        uint32_t* out = &entry.Pixels[static_cast<size_t>(y) * static_cast<size_t>(width)];
        for (int32_t x = 0; x < width; ++x) {
            const bool clear = row && (row[x / 8] >> (7 - x % 8) & 1u);
            out[x] = (out[x] & 0x00FFFFFFu) | (clear ? 0u : 0xFF000000u);
        }
    }
    return "";
}

// A PNG picture as an entry: "" or why it is none.
std::string DecodePngEntry(const uint8_t* data, size_t size, IconEntry& entry) {
    PngPicture picture;
    const std::string problem = DecodePngWithAlpha(data, size, picture);
    if (!problem.empty()) return "PNG: " + problem;
    entry.Width = picture.Width;
    entry.Height = picture.Height;
    entry.Bits = 32;
    entry.Png = true;
    entry.Pixels.swap(picture.Pixels);
    return "";
}

// What an entry is, and with `pixels` its picture. The data decides what
// an entry is, whatever its directory fields say.
std::string DecodeEntry(const std::vector<uint8_t>& data, IconEntry& entry, bool pixels) {
    if (!StartsAsPng(data.data(), data.size())) return DecodeBitmap(data, entry, pixels);
    if (!pixels) {   // the size from the header chunk, which comes first
        uint32_t width = 0, height = 0;
        if (!PngSize(data.data(), data.size(), width, height)) return "PNG: no header chunk";
        if (width < 1 || width > MaxEntryEdge || height < 1 || height > MaxEntryEdge)
            return "PNG: image is " + std::to_string(width) + "x" + std::to_string(height);
        entry.Width = static_cast<int>(width);
        entry.Height = static_cast<int>(height);
        entry.Bits = 32;
        entry.Png = true;
        return "";
    }
    return DecodePngEntry(data.data(), data.size(), entry);
}

int Read(ByteStream& file, IconEntries& out, bool pixels) {
    const long long size = file.Size();
    uint8_t header[6];
    if (size < 6 || file.ReadAt(0, header, sizeof header) != static_cast<long long>(sizeof header))
        return FileReadError;
    const int type = Get16(header + 2);
    if (Get16(header) != 0 || (type != 1 && type != 2)) return FileNotSupported;
    IconEntries read;
    read.IsCursor = type == 2;
    read.Count = Get16(header + 4);
    if (read.Count == 0) {
        read.Skipped.push_back("no image in the file");
        out = std::move(read);
        return FileNotSupported;
    }
    const size_t directoryBytes = static_cast<size_t>(read.Count) * DirectoryEntryBytes;
    if (6 + static_cast<long long>(directoryBytes) > size) return FileReadError;
    std::vector<uint8_t> directory(directoryBytes);
    if (file.ReadAt(6, directory.data(), directory.size()) != static_cast<long long>(directory.size()))
        return FileReadError;

    // What all the entries together may hold: a directory can point many
    // entries at the same bytes, so each entry's own bound is not enough.
    const size_t budget = std::max<size_t>(16 * static_cast<size_t>(std::min<long long>(size, 1 << 24)), size_t(4) << 20);
    size_t held = 0;
    for (int k = 0; k < read.Count; ++k) {
        const uint8_t* d = &directory[static_cast<size_t>(k) * DirectoryEntryBytes];
        const uint32_t bytes = Get32(d + 8);
        const uint32_t offset = Get32(d + 12);
        const std::string name = "entry " + std::to_string(k + 1) + ": ";
        if (offset > static_cast<unsigned long long>(size) || bytes > static_cast<unsigned long long>(size) - offset) {
            read.Skipped.push_back(name + "its data lies beyond the end of the file");
            continue;
        }
        if (bytes == 0) {
            read.Skipped.push_back(name + "no picture in it");
            continue;
        }
        if (bytes > MaxEntryBytes || held + bytes > budget) {
            read.Skipped.push_back(name + (bytes > MaxEntryBytes ? "larger than any picture of 256x256"
                                                                  : "not read, the pictures before it fill the room"));
            continue;
        }
        std::vector<uint8_t> data(bytes);
        if (file.ReadAt(offset, data.data(), data.size()) != static_cast<long long>(data.size())) {
            read.Skipped.push_back(name + "its data could not be read");
            continue;
        }
        IconEntry entry;
        entry.Index = k;
        const std::string problem = DecodeEntry(data, entry, pixels);
        if (!problem.empty()) {
            read.Skipped.push_back(name + problem);
            continue;
        }
        if (read.IsCursor) {
            entry.HotX = static_cast<uint16_t>(Get16(d + 4));
            entry.HotY = static_cast<uint16_t>(Get16(d + 6));
        }
        if (!pixels) entry.Data.swap(data);
        held += entry.Data.size() + 4 * entry.Pixels.size();
        if (held > budget) {
            read.Skipped.push_back(name + "not read, the pictures before it fill the room");
            continue;
        }
        read.Pictures.push_back(std::move(entry));
    }
    const bool any = !read.Pictures.empty();
    out = std::move(read);
    return any ? FileOk : FileNotSupported;
}

// An entry's rank for a size: exact ones first (the most colour first),
// then larger ones (the smallest first), then smaller ones (the largest
// first). Lower is better.
long long Rank(const IconEntry& e, int size) {
    const long long area = static_cast<long long>(e.Width) * e.Height;
    if (e.Width == size && e.Height == size) return -1000 + (32 - e.Bits);
    if (e.Width >= size && e.Height >= size) return area;
    return 1000000 - area;
}

bool ScaleDown(const IconEntry& e, int size, std::vector<uint8_t>& rgba) {
    std::vector<uint8_t> in(e.Pixels.size() * 4);
    for (size_t i = 0; i < e.Pixels.size(); ++i)
        for (int c = 0; c < 4; ++c) in[4 * i + c] = static_cast<uint8_t>(e.Pixels[i] >> (8 * c));
    rgba.assign(static_cast<size_t>(size) * size * 4, 0);
    // A box filter is the area average; the alpha channel makes the
    // averaging run over premultiplied colour.
    return stbir_resize_uint8_generic(in.data(), e.Width, e.Height, 0, rgba.data(), size, size, 0, 4, 3, 0,
                                      STBIR_EDGE_CLAMP, STBIR_FILTER_BOX, STBIR_COLORSPACE_LINEAR, nullptr) != 0;
}

// Larger pictures too, by repeating pixels; at the same size a copy.
void ScaleUp(const IconEntry& e, int size, std::vector<uint8_t>& rgba) {
    rgba.assign(static_cast<size_t>(size) * size * 4, 0);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const uint32_t p = e.Pixels[static_cast<size_t>(y * e.Height / size) * e.Width + x * e.Width / size];
            for (int c = 0; c < 4; ++c) rgba[4 * (static_cast<size_t>(y) * size + x) + c] = static_cast<uint8_t>(p >> (8 * c));
        }
}

uint16_t ScaleSpot(uint16_t spot, int from, int size) {
    return static_cast<uint16_t>(std::min(size - 1, static_cast<int>(spot) * size / from));
}

}  // namespace

int ReadIconEntries(ByteStream& file, IconEntries& out, bool pixels) {
    try {
        return Read(file, out, pixels);
    } catch (const std::bad_alloc&) {
        return FileNoMemory;
    }
}

std::string ReadPngEntry(const uint8_t* data, size_t size, IconEntries& out) {
    IconEntries read;
    read.Count = 1;
    read.Pictures.emplace_back();
    const std::string problem = DecodePngEntry(data, size, read.Pictures.back());
    if (!problem.empty()) return problem;
    out = std::move(read);
    return "";
}

std::string DecodeEntryPicture(IconEntry& entry) {
    if (!entry.Pixels.empty()) return "";
    try {
        return DecodeEntry(entry.Data, entry, true);
    } catch (const std::bad_alloc&) {
        return "no memory for its picture";
    }
}

// The scaling itself; ScaleDownPicture turns running out of memory into no
// picture.
static std::vector<uint32_t> Scale(int width, int height, const std::vector<uint32_t>& pixels, int size) {
    std::vector<uint8_t> in(pixels.size() * 4), scaled(static_cast<size_t>(size) * size * 4);
    for (size_t i = 0; i < pixels.size(); ++i)
        for (int c = 0; c < 4; ++c) in[4 * i + c] = static_cast<uint8_t>(pixels[i] >> (8 * c));
    // Alpha channel 3: the filter weighs colour by alpha, as premultiplied.
    if (!stbir_resize_uint8_generic(in.data(), width, height, 0, scaled.data(), size, size, 0, 4, 3, 0,
                                    STBIR_EDGE_CLAMP, STBIR_FILTER_MITCHELL, STBIR_COLORSPACE_LINEAR, nullptr))
        return {};
    std::vector<uint32_t> out(static_cast<size_t>(size) * size);
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<uint32_t>(scaled[4 * i]) | static_cast<uint32_t>(scaled[4 * i + 1]) << 8 |
                 static_cast<uint32_t>(scaled[4 * i + 2]) << 16 | static_cast<uint32_t>(scaled[4 * i + 3]) << 24;
    return out;
}

std::vector<uint32_t> ScaleDownPicture(int width, int height, const std::vector<uint32_t>& pixels, int size) {
    if (size < 1 || size > width || size > height || pixels.size() != static_cast<size_t>(width) * height) return {};
    try {
        return Scale(width, height, pixels, size);
    } catch (const std::bad_alloc&) {
        return {};
    }
}

bool BestPicture(const IconEntries& entries, int size, std::vector<uint32_t>& pixels, uint16_t* hotX,
                 uint16_t* hotY, int* taken) {
    if (size < 1) return false;
    // In rank order; an entry kept undecoded is decoded now, and one that
    // fails to decode gives way to the next.
    std::vector<const IconEntry*> ranked;
    for (const IconEntry& e : entries.Pictures) ranked.push_back(&e);
    std::stable_sort(ranked.begin(), ranked.end(),
                     [size](const IconEntry* a, const IconEntry* b) { return Rank(*a, size) < Rank(*b, size); });
    IconEntry decoded;
    const IconEntry* best = nullptr;
    for (const IconEntry* e : ranked) {
        if (!e->Pixels.empty()) { best = e; break; }
        decoded = *e;
        if (DecodeEntry(e->Data, decoded, true).empty()) { best = &decoded; break; }
    }
    if (!best) return false;
    if (taken) *taken = best->Index;
    std::vector<uint8_t> rgba;
    const bool exact = best->Width == size && best->Height == size;
    if (!exact && best->Width >= size && best->Height >= size) {
        if (!ScaleDown(*best, size, rgba)) return false;
    } else {
        ScaleUp(*best, size, rgba);
    }
    pixels.resize(static_cast<size_t>(size) * size);
    for (size_t i = 0; i < pixels.size(); ++i) {
        const uint8_t* p = &rgba[4 * i];
        pixels[i] = p[3] < 128 ? MaskColor : MakeColour(p[0], p[1], p[2]);
    }
    if (hotX) *hotX = ScaleSpot(best->HotX, best->Width, size);
    if (hotY) *hotY = ScaleSpot(best->HotY, best->Height, size);
    return true;
}
