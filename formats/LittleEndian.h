// Header fields of the program's file formats, packed and unpacked byte by
// byte in little-endian order, so no layout depends on the compiler or the
// machine.
#pragma once
#include <cstdint>
#include <vector>

inline void Put16(uint8_t* at, uint32_t v) {
    at[0] = static_cast<uint8_t>(v);
    at[1] = static_cast<uint8_t>(v >> 8);
}
inline void Put32(uint8_t* at, uint32_t v) {
    Put16(at, v & 0xFFFFu);
    Put16(at + 2, v >> 16);
}
inline uint32_t Get16(const uint8_t* at) {
    return static_cast<uint32_t>(at[0]) | (static_cast<uint32_t>(at[1]) << 8);
}
inline uint32_t Get32(const uint8_t* at) { return Get16(at) | (Get16(at + 2) << 16); }
// A signed 32-bit field (a bitmap's height may be negative).
inline int32_t GetI32(const uint8_t* at) {
    const uint32_t u = Get32(at);
    return u <= 0x7FFFFFFFu ? static_cast<int32_t>(u) : -static_cast<int32_t>(~u) - 1;
}
// The same fields added to the end of a growing file.
inline void Append16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
inline void Append32(std::vector<uint8_t>& out, uint32_t v) {
    Append16(out, v & 0xFFFFu);
    Append16(out, v >> 16);
}
