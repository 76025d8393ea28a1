// Byte strings for the codec tests: little-endian fields, patches and
// slices of written files, and a file whose writes fail on cue.
#pragma once
#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <vector>
#include "formats/ByteStream.h"

using Bytes = std::vector<uint8_t>;

inline Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
// A little-endian field of width bytes at offset at.
struct Patch { size_t at; int width; int64_t value; };
inline Bytes Patched(Bytes b, std::initializer_list<Patch> patches) {
    for (const Patch& p : patches)
        for (int i = 0; i < p.width; ++i) b.at(p.at + i) = static_cast<uint8_t>(p.value >> (8 * i));
    return b;
}
inline Bytes Le(int width, int64_t value) { return Patched(Bytes(static_cast<size_t>(width)), {{0, width, value}}); }
// Clamped, so that a short file compares unequal rather than being read past its end.
inline Bytes Slice(const Bytes& b, size_t from, size_t count = SIZE_MAX) {
    from = std::min(from, b.size());
    count = std::min(count, b.size() - from);
    return Bytes(b.begin() + static_cast<long>(from), b.begin() + static_cast<long>(from + count));
}

// A memory file whose write number failAt (from 0) answers failValue
// without storing anything, as a failing or full disk would.
struct FailingWrites : MemoryStream {
    FailingWrites(int at, long long value) : failAt(at), failValue(value) {}
    long long Write(const void* bytes, size_t count) override {
        return writes++ == failAt ? failValue : MemoryStream::Write(bytes, count);
    }
    int writes = 0, failAt;
    long long failValue;
};
