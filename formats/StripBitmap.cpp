// The toolbar strip file: one uncompressed 32-bit bitmap, the
// images side by side, rows bottom-up, pixels blue, green, red, fourth byte.
#include "formats/StripBitmap.h"
#include <new>
#include "formats/FileErrors.h"
#include "formats/LittleEndian.h"

namespace {

constexpr int FileHeaderBytes = 14;
constexpr int InfoHeaderBytes = 40;

// A write counts only when it delivers every byte: -1, 0 and a short
// write all stop the writer.
bool WriteAll(ByteStream& file, const void* bytes, size_t count) {
    return file.Write(bytes, count) == static_cast<long long>(count);
}

bool ReadAll(ByteStream& file, uint64_t offset, void* bytes, size_t count) {
    return file.ReadAt(offset, bytes, count) == static_cast<long long>(count);
}

bool ValidStrip(const StripImages& strip) {
    if (strip.Pace != 16 && strip.Pace != 32) return false;
    if (strip.Count < 1) return false;
    const uint64_t pixels = static_cast<uint64_t>(strip.Count) * static_cast<uint64_t>(strip.Pace) *
                            static_cast<uint64_t>(strip.Pace);
    // The file's size field holds the header and every pixel.
    if (StripHeaderBytes + 4 * pixels > 0xFFFFFFFFu) return false;
    return strip.Pixels.size() == pixels;
}

int WriteStrip(ByteStream& file, const StripImages& strip) {
    const uint32_t s = static_cast<uint32_t>(strip.Pace);
    const uint32_t n = static_cast<uint32_t>(strip.Count);
    const uint32_t width = n * s;
    const uint32_t pixelBytes = 4u * width * s;         // fits: ValidStrip

    uint8_t fileHeader[FileHeaderBytes] = {};
    fileHeader[0] = 'B';
    fileHeader[1] = 'M';
    Put32(fileHeader + 2, static_cast<uint32_t>(StripHeaderBytes) + pixelBytes);
    Put32(fileHeader + 10, static_cast<uint32_t>(StripHeaderBytes));

    uint8_t info[InfoHeaderBytes] = {};
    Put32(info + 0, static_cast<uint32_t>(InfoHeaderBytes));
    Put32(info + 4, width);
    Put32(info + 8, s);          // positive: bottom-up rows
    Put16(info + 12, 1);         // planes
    Put16(info + 14, 32);        // bit count; compression and the rest stay 0

    std::vector<uint8_t> rows(pixelBytes);
    uint8_t* out = rows.data();
    for (uint32_t r = 0; r < s; ++r) {                  // file row r is image row s - 1 - r
        const uint32_t y = s - 1 - r;
        for (uint32_t k = 0; k < n; ++k) {
            const uint32_t* src = strip.Pixels.data() + static_cast<size_t>(k) * s * s + static_cast<size_t>(y) * s;
            for (uint32_t x = 0; x < s; ++x) {
                const uint32_t p = src[x];
                *out++ = static_cast<uint8_t>((p >> 16) & 0xFFu);   // blue
                *out++ = static_cast<uint8_t>((p >> 8) & 0xFFu);    // green
                *out++ = static_cast<uint8_t>(p & 0xFFu);           // red
                *out++ = static_cast<uint8_t>((p >> 24) & 0xFFu);   // fourth byte
            }
        }
    }

    if (!WriteAll(file, fileHeader, sizeof fileHeader)) return FileWriteError;
    if (!WriteAll(file, info, sizeof info)) return FileWriteError;
    if (!WriteAll(file, rows.data(), rows.size())) return FileWriteError;
    return FileOk;
}

int ReadStrip(ByteStream& file, StripImages& strip) {
    uint8_t fileHeader[FileHeaderBytes];
    uint8_t info[InfoHeaderBytes];
    if (!ReadAll(file, 0, fileHeader, sizeof fileHeader)) return FileReadError;
    if (!ReadAll(file, FileHeaderBytes, info, sizeof info)) return FileReadError;

    const uint32_t offBits = Get32(fileHeader + 10);
    const int32_t width = GetI32(info + 4);
    const int32_t height = GetI32(info + 8);
    const uint32_t bitCount = Get16(info + 14);
    if (bitCount != 32 || (height != 16 && height != 32)) return FileNotSupported;

    // Faults the original left to the platform, mended: a width the file
    // cannot hold is a read error, a strip without a whole image unsupported.
    if (width <= 0) return FileReadError;
    const int32_t count = width / height;
    if (count < 1) return FileNotSupported;
    const uint64_t rowBytes = 4u * static_cast<uint64_t>(width);
    const uint64_t end = static_cast<uint64_t>(offBits) + rowBytes * static_cast<uint64_t>(height);
    const long long size = file.Size();
    if (size < 0 || end > static_cast<uint64_t>(size)) return FileReadError;
    // Held: a strip this large cannot be addressed here (a 32-bit build).
    if (rowBytes * static_cast<uint64_t>(height) > SIZE_MAX / 2) return FileNoMemory;

    // Now the file is known to hold every byte read below.
    const size_t s = static_cast<size_t>(height);
    const size_t n = static_cast<size_t>(count);
    const size_t keptRowBytes = 4 * n * s;              // columns beyond n * s are dropped
    std::vector<uint8_t> row(keptRowBytes);
    std::vector<uint32_t> pixels(n * s * s);
    for (size_t r = 0; r < s; ++r) {
        if (!ReadAll(file, offBits + rowBytes * r, row.data(), row.size())) return FileReadError;
        const size_t y = s - 1 - r;
        const uint8_t* in = row.data();
        for (size_t k = 0; k < n; ++k) {
            uint32_t* dst = pixels.data() + k * s * s + y * s;
            for (size_t x = 0; x < s; ++x, in += 4)
                dst[x] = static_cast<uint32_t>(in[2]) | (static_cast<uint32_t>(in[1]) << 8) |
                         (static_cast<uint32_t>(in[0]) << 16) | (static_cast<uint32_t>(in[3]) << 24);
        }
    }
    strip.Pace = height;
    strip.Count = count;
    strip.Pixels.swap(pixels);
    return FileOk;
}

}  // namespace

int WriteStripBitmap(ByteStream& file, const StripImages& strip) {
    if (!ValidStrip(strip)) return FileWriteError;
    try {
        return WriteStrip(file, strip);
    } catch (const std::bad_alloc&) {
        return FileNoMemory;
    }
}

int ReadStripBitmap(ByteStream& file, StripImages& strip) {
    try {
        return ReadStrip(file, strip);
    } catch (const std::bad_alloc&) {
        return FileNoMemory;
    }
}
