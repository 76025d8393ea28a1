// Byte strings and pictures for the core tests: little-endian fields,
// patches and slices of written files, and a file whose writes fail on cue.
#pragma once
#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>
#include "formats/ByteStream.h"

using Bytes = std::vector<uint8_t>;
using Pixels = std::vector<uint32_t>;

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

// n elements, element i being f(i).
template <class T, class F> std::vector<T> Gen(int n, F f) {
    std::vector<T> out;
    for (int i = 0; i < n; ++i) out.push_back(static_cast<T>(f(i)));
    return out;
}
// A size x size picture of pixel(x, y), rows top first.
template <class F> Pixels Square(int size, F pixel) {
    return Gen<uint32_t>(size * size, [&](int i) { return pixel(i % size, i / size); });
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

// h rows of w pixel(x, y) = 0xAABBGGRR as blue, green, red, alpha, the
// bottom row first.
template <class F> Bytes BgraRows(int w, int h, F pixel) {
    Bytes b;
    for (int y = h - 1; y >= 0; --y)
        for (int x = 0; x < w; ++x) {
            const uint32_t p = pixel(x, y);
            b.insert(b.end(), {uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p), uint8_t(p >> 24)});
        }
    return b;
}
// A w x h 32-bit entry of pixel(x, y), with an all-clear mask (so the alpha decides).
template <class F> Bytes Entry32(int w, int h, F pixel) {
    return Le(4, 40) + Le(4, w) + Le(4, 2 * h) + Le(2, 1) + Le(2, 32) + Bytes(24, 0) + BgraRows(w, h, pixel) +
           Bytes(static_cast<size_t>((w + 31) / 32 * 4 * h), 0);
}

// A file of the entries, each with its directory fields (width byte, depth
// field, the two fields a cursor's hot spot takes).
struct ListedEntry { int width; Bytes data; int field1 = 1, field2 = 32; };
inline Bytes IconFile(const std::vector<ListedEntry>& entries, int type = 1) {
    Bytes dir, data;
    size_t offset = 6 + 16 * entries.size();
    for (const ListedEntry& e : entries) {
        dir = dir + Bytes{uint8_t(e.width), uint8_t(e.width), 0, 0} + Le(2, e.field1) + Le(2, e.field2) +
              Le(4, static_cast<int64_t>(e.data.size())) + Le(4, static_cast<int64_t>(offset));
        offset += e.data.size();
        data = data + e.data;
    }
    return Le(2, 0) + Le(2, type) + Le(2, static_cast<int64_t>(entries.size())) + dir + data;
}
