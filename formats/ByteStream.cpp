#include "formats/ByteStream.h"
#include <algorithm>
#include <cstring>

MemoryStream::MemoryStream(const void* bytes, size_t count)
    : data(static_cast<const uint8_t*>(bytes), static_cast<const uint8_t*>(bytes) + count) {}

long long MemoryStream::ReadAt(uint64_t offset, void* buffer, size_t count) {
    if (failReads) return -1;
    if (offset >= data.size()) return 0;
    size_t n = data.size() - static_cast<size_t>(offset);
    if (n > count) n = count;
    if (n) std::memcpy(buffer, data.data() + offset, n);   // an empty buffer may have no address
    return static_cast<long long>(n);
}

long long MemoryStream::Write(const void* buffer, size_t count) {
    size_t n = count;
    if (writeLimit >= 0) {
        long long room = writeLimit - static_cast<long long>(data.size());
        if (room <= 0) return -1;
        if (static_cast<long long>(n) > room) n = static_cast<size_t>(room);
    }
    const uint8_t* b = static_cast<const uint8_t*>(buffer);
    data.insert(data.end(), b, b + n);
    return static_cast<long long>(n);
}

long long StdioStream::ReadAt(uint64_t offset, void* buffer, size_t count) {
    constexpr long long WholeLimit = 8 << 20;
    if (reading == Unknown) {
        const long long size = Size();
        reading = InPlace;
        if (size >= 0 && size <= WholeLimit && std::fseek(file, 0, SEEK_SET) == 0) {
            whole.resize(static_cast<size_t>(size));
            if (std::fread(whole.data(), 1, whole.size(), file) == whole.size()) {
                reading = Whole;
            } else {
                whole.clear();
                std::clearerr(file);   // read in place from here, as if never tried
            }
            atEnd = false;
        }
    }
    if (reading == Whole) {
        if (offset >= whole.size()) return 0;
        const size_t n = std::min(count, whole.size() - static_cast<size_t>(offset));
        if (n) std::memcpy(buffer, whole.data() + offset, n);
        return static_cast<long long>(n);
    }
    if (offset > static_cast<uint64_t>(0x7FFFFFFF)) return 0;   // beyond any file we read
    atEnd = false;
    if (std::fseek(file, static_cast<long>(offset), SEEK_SET) != 0) return -1;
    size_t n = std::fread(buffer, 1, count, file);
    if (n == 0 && std::ferror(file)) return -1;
    return static_cast<long long>(n);
}

long long StdioStream::Write(const void* buffer, size_t count) {
    reading = Unknown;   // what was read is no longer the file
    whole.clear();
    if (!atEnd && std::fseek(file, 0, SEEK_END) != 0) return -1;
    atEnd = true;
    size_t n = std::fwrite(buffer, 1, count, file);
    if (n == 0 && count != 0) return -1;
    return static_cast<long long>(n);
}

long long StdioStream::Size() {
    if (reading == Whole) return static_cast<long long>(whole.size());
    long pos = std::ftell(file);
    if (std::fseek(file, 0, SEEK_END) != 0) return -1;
    long size = std::ftell(file);
    std::fseek(file, pos, SEEK_SET);
    return size;
}
