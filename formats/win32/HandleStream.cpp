#include "formats/win32/HandleStream.h"

long long HandleStream::ReadAt(uint64_t offset, void* buffer, size_t count) {
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(file, at, nullptr, FILE_BEGIN)) return -1;
    DWORD got = 0;
    if (count > 0x7FFFFFFF) count = 0x7FFFFFFF;
    if (!ReadFile(file, buffer, static_cast<DWORD>(count), &got, nullptr)) return -1;
    return got;
}

long long HandleStream::Write(const void* buffer, size_t count) {
    LARGE_INTEGER zero = {};
    if (!SetFilePointerEx(file, zero, nullptr, FILE_END)) return -1;
    DWORD put = 0;
    if (count > 0x7FFFFFFF) return -1;
    if (!WriteFile(file, buffer, static_cast<DWORD>(count), &put, nullptr)) return -1;
    return put;
}

long long HandleStream::Size() {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size)) return -1;
    return size.QuadPart;
}
