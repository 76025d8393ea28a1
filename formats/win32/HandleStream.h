// A byte stream over a Win32 file handle, for the editor's own files.
#pragma once
#include <windows.h>
#include "formats/ByteStream.h"

class HandleStream : public ByteStream {
public:
    explicit HandleStream(HANDLE h) : file(h) {}
    long long ReadAt(uint64_t offset, void* buffer, size_t count) override;
    long long Write(const void* buffer, size_t count) override;
    long long Size() override;
private:
    HANDLE file;
};
