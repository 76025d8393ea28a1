// The small byte-stream interface every codec reads and writes through,
// so one codec serves Win32 file handles, files on Linux and memory.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

class ByteStream {
public:
    virtual ~ByteStream() = default;
    // Reads up to count bytes at offset; returns the bytes delivered (0 at
    // or past the end) or -1 on an error.
    virtual long long ReadAt(uint64_t offset, void* buffer, size_t count) = 0;
    // Appends count bytes; returns the bytes written or -1 on an error.
    virtual long long Write(const void* buffer, size_t count) = 0;
    // Length in bytes, or -1 when it cannot be told.
    virtual long long Size() = 0;
};

// In-memory stream. A write limit makes writes fail once that many bytes
// are stored, as a full disk would.
class MemoryStream : public ByteStream {
public:
    MemoryStream() = default;
    explicit MemoryStream(std::vector<uint8_t> bytes) : data(std::move(bytes)) {}
    MemoryStream(const void* bytes, size_t count);
    long long ReadAt(uint64_t offset, void* buffer, size_t count) override;
    long long Write(const void* buffer, size_t count) override;
    long long Size() override { return static_cast<long long>(data.size()); }
    std::vector<uint8_t> data;
    long long writeLimit = -1;   // -1: no limit
    bool failReads = false;
};

// A C stdio file, for the command-line tool and tests on every platform.
// A file read of up to a few megabytes is read whole at the first read and
// served from memory: the readers ask for many small pieces at offsets
// of their own, each of which would be a seek and a read. Writes go on at
// the end without a seek each.
class StdioStream : public ByteStream {
public:
    explicit StdioStream(std::FILE* f) : file(f) {}
    long long ReadAt(uint64_t offset, void* buffer, size_t count) override;
    long long Write(const void* buffer, size_t count) override;
    long long Size() override;
private:
    std::FILE* file;
    enum { Unknown, Whole, InPlace } reading = Unknown;
    std::vector<uint8_t> whole;
    bool atEnd = false;   // the last thing done was a write
};
