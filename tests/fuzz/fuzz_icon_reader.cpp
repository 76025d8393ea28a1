// Any byte string handed to the icon and cursor readers (the editor's own
// and the reader of every entry) must come back as one of their outcomes,
// without touching memory outside their buffers.
#include <cstdint>
#include <cstring>
#include "document/Document.h"
#include "formats/FileErrors.h"
#include "formats/IcFormat.h"
#include "formats/IconEntries.h"
#include "formats/IconPack.h"

// The pack writer on what was read: the entries kept as they were stored
// read back byte for byte; the pictures stored anew at 32 bits read back
// pixel for pixel.
static void CheckPacked(const IconEntries& decoded, const IconEntries& looked) {
    std::vector<StoredEntry> kept, fresh;
    for (const IconEntry& e : looked.Pictures) kept.push_back({e.Width, e.Height, e.Bits, e.Png, e.HotX, e.HotY, e.Data});
    for (const IconEntry& e : decoded.Pictures) {
        fresh.emplace_back();
        if (!StoreEntry(e.Width, e.Height, e.Pixels, 32, false, fresh.back())) __builtin_trap();
    }
    MemoryStream keptFile, freshFile;
    if (WriteIconFile(keptFile, looked.IsCursor, kept) != FileOk || WriteIconFile(freshFile, decoded.IsCursor, fresh) != FileOk)
        __builtin_trap();
    MemoryStream keptIn(keptFile.data), freshIn(freshFile.data);
    IconEntries keptBack, freshBack;
    ReadIconEntries(keptIn, keptBack, false);
    ReadIconEntries(freshIn, freshBack);
    if (keptBack.Pictures.size() != kept.size() || freshBack.Pictures.size() != fresh.size()) __builtin_trap();
    for (size_t k = 0; k < kept.size(); ++k) {
        const IconEntry& e = keptBack.Pictures[k];
        if (e.Data != kept[k].Data || e.Width != kept[k].Width || e.Bits != kept[k].Bits || e.HotX != kept[k].HotX)
            __builtin_trap();
    }
    for (size_t k = 0; k < fresh.size(); ++k)
        if (freshBack.Pictures[k].Pixels != decoded.Pictures[k].Pixels) __builtin_trap();
}

// Every entry read is a whole picture the editor can scale to its size.
static void CheckEntries(const uint8_t* data, size_t size) {
    MemoryStream file(data, size);
    IconEntries entries;
    const int code = ReadIconEntries(file, entries);
    if ((code == FileOk) != !entries.Pictures.empty()) __builtin_trap();
    for (const IconEntry& e : entries.Pictures)
        if (e.Width < 1 || e.Height < 1 || e.Width > MaxEntryEdge || e.Height > MaxEntryEdge ||
            e.Pixels.size() != static_cast<size_t>(e.Width) * static_cast<size_t>(e.Height))
            __builtin_trap();
    std::vector<uint32_t> px;
    uint16_t x = 0, y = 0;
    if (BestPicture(entries, 32, px, &x, &y) != (code == FileOk)) __builtin_trap();
    if (code == FileOk && (px.size() != 1024 || x > 31 || y > 31)) __builtin_trap();
    for (uint32_t p : px)
        if (p >> 24) __builtin_trap();
    // Looked at only, each entry decoded when it is the one taken: the same
    // picture wherever the full reading found one.
    MemoryStream again(data, size);
    IconEntries looked;
    std::vector<uint32_t> lazy;
    ReadIconEntries(again, looked, false);
    if (BestPicture(looked, 32, lazy, nullptr, nullptr) && code == FileOk && lazy != px) __builtin_trap();
    CheckPacked(entries, looked);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MemoryStream file(data, size);
    uint32_t pixels[ImagePixels];
    for (uint32_t& p : pixels) p = 0x01020304;
    IconReadResult r = FormatOpen(file, pixels);
    // A file that did not load leaves the image as it was; one that did names
    // a row of the format table and sets only the three colour bytes.
    const bool loaded = r.Outcome == IconLoaded;
    if (loaded && !IsFormatIndex(r.FormatIndex)) __builtin_trap();
    for (uint32_t p : pixels)
        if (loaded ? p >> 24 != 0x01 : p != 0x01020304) __builtin_trap();
    CheckEntries(data, size);
    return 0;
}
