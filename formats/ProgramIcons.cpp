#include "formats/ProgramIcons.h"
#include <algorithm>
#include <map>
#include <new>
#include <set>
#include "document/FileNames.h"
#include "formats/FileErrors.h"
#include "formats/LittleEndian.h"
#include "formats/PngImage.h"

namespace {

constexpr uint32_t RtCursor = 1, RtIcon = 3, RtGroupCursor = 12, RtGroupIcon = 14;
// The largest program read whole: far beyond any with icons people extract.
constexpr long long MaxProgramBytes = 1LL << 30;
// No program the system loads has more sections.
constexpr uint32_t MaxSections = 96;
// The longest name kept, in UTF-16 units (a file's name takes no more).
constexpr size_t MaxNameUnits = 255;
// What is told of what could not be taken, at most.
constexpr size_t MaxSkipped = 100;

// The file, every read of it checked against its end.
struct Image {
    std::vector<uint8_t> Bytes;
    bool Has(uint64_t at, uint64_t count) const { return at <= Bytes.size() && count <= Bytes.size() - at; }
    uint32_t U16(uint64_t at) const { return Has(at, 2) ? Get16(&Bytes[at]) : 0; }
    uint32_t U32(uint64_t at) const { return Has(at, 4) ? Get32(&Bytes[at]) : 0; }
};

// One resource of the kinds wanted, where its data lies in the file.
struct Resource {
    uint32_t Type = 0;
    bool Named = false;
    std::string Name;
    uint32_t Id = 0;
    uint16_t Language = 0;
    uint64_t Offset = 0, Size = 0;
};

bool Wanted(uint32_t type) { return type == RtCursor || type == RtIcon || type == RtGroupCursor || type == RtGroupIcon; }

std::string Describe(const Resource& r) {
    return (r.Type == RtGroupCursor || r.Type == RtCursor ? "cursor " : "icon ") +
           std::string(r.Type == RtGroupCursor || r.Type == RtGroupIcon ? "group " : "picture ") +
           (r.Named ? r.Name : std::to_string(r.Id));
}

// A name of UTF-16 units, at most MaxNameUnits of them, a lone surrogate
// as U+FFFD: a name any text and any file name can hold.
std::string NameOf(std::u16string units) {
    if (units.size() > MaxNameUnits) units.resize(MaxNameUnits);
    for (size_t i = 0; i < units.size(); ++i) {
        const char16_t c = units[i];
        const bool high = c >= 0xD800 && c <= 0xDBFF, low = c >= 0xDC00 && c <= 0xDFFF;
        if (high && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) ++i;
        else if (high || low) units[i] = 0xFFFD;
    }
    return Utf8Loosely(units.data(), units.size());
}

// What is held: the resources found and the groups made, within a budget
// of a few times the file; and what was left, told up to a limit.
struct Room {
    uint64_t Held = 0, Budget = 0;
    std::vector<std::string>& Skipped;
    size_t Untold = 0;
    bool Take(uint64_t bytes) {
        if (Held + bytes > Budget) return false;
        Held += bytes;
        return true;
    }
    void Tell(const std::string& why) {
        if (Skipped.size() < MaxSkipped) Skipped.push_back(why);
        else ++Untold;
    }
};

// ---- 32- and 64-bit programs ------------------------------------------------

struct Section { uint32_t Address, Size; uint64_t Raw, RawSize; };

struct PeReader {
    const Image& File;
    Room& Space;
    std::vector<Resource>& Out;
    std::vector<Section> Sections;
    uint64_t Base = 0, Limit = 0;   // the resource directory: where it starts and ends in the file
    uint64_t Entries = 0;           // directory entries looked at, at most one for each 8 bytes of it
    std::set<uint64_t> Visited;

    // The file offset of an address whose `size` bytes lie in one section's
    // data, and how many bytes of that data follow it.
    bool Locate(uint32_t address, uint64_t size, uint64_t& offset, uint64_t* rest = nullptr) const {
        for (const Section& s : Sections) {
            if (address < s.Address || address - s.Address >= s.RawSize) continue;
            const uint64_t into = address - s.Address;
            offset = s.Raw + into;
            if (rest) *rest = s.RawSize - into;
            return size <= s.RawSize - into && File.Has(offset, size);
        }
        return false;
    }

    // A directory's entries; level 1 the types, 2 the names, 3 the languages.
    void Directory(uint64_t at, int level, const Resource& r) {
        if (level > 3 || !Visited.insert(at).second || at + 16 > Limit) return;
        const uint64_t count = File.U16(Base + at + 12) + File.U16(Base + at + 14);
        Entries += count;
        if (at + 16 + 8 * count > Limit || Entries > Limit / 8) {
            Space.Tell("a resource directory claims more entries than it holds");
            return;
        }
        for (uint64_t k = 0; k < count; ++k) {
            const uint64_t entry = Base + at + 16 + 8 * k;
            const uint32_t name = File.U32(entry), target = File.U32(entry + 4);
            Resource here = r;
            if (level == 1) {
                if (name & 0x80000000u || !Wanted(name)) continue;
                here.Type = name;
            } else if (level == 2) {
                here.Named = (name & 0x80000000u) != 0;
                here.Id = here.Named ? 0 : name;
                if (here.Named && !ReadName(name & 0x7FFFFFFFu, here.Name)) {
                    Space.Tell(Describe(here) + ": its name lies beyond the resources");
                    continue;
                }
            } else {
                here.Language = static_cast<uint16_t>(name);
            }
            const bool deeper = (target & 0x80000000u) != 0;
            if (deeper != (level < 3)) continue;   // a tree of three levels, data at the third
            if (deeper) Directory(target & 0x7FFFFFFFu, level + 1, here);
            else Leaf(target, here);
        }
    }

    bool ReadName(uint64_t at, std::string& name) const {
        const uint64_t length = File.U16(Base + at);
        if (at + 2 + 2 * length > Limit) return false;
        std::u16string units;
        for (uint64_t i = 0; i < std::min<uint64_t>(length, MaxNameUnits); ++i)
            units += static_cast<char16_t>(File.U16(Base + at + 2 + 2 * i));
        name = NameOf(units);
        return true;
    }

    void Leaf(uint64_t at, Resource r) {
        if (at + 16 > Limit) {
            Space.Tell(Describe(r) + ": its entry lies beyond the resources");
            return;
        }
        const uint32_t address = File.U32(Base + at), size = File.U32(Base + at + 4);
        if (!Locate(address, size, r.Offset)) {
            Space.Tell(Describe(r) + ": its data lies beyond the end of the file");
            return;
        }
        r.Size = size;
        if (!Space.Take(sizeof(Resource) + r.Name.size())) {
            Space.Tell(Describe(r) + ": not read, the resources before it fill the room");
            return;
        }
        Out.push_back(std::move(r));
    }
};

int ReadPe(const Image& file, uint64_t header, Room& space, std::vector<Resource>& out) {
    const uint32_t sections = file.U16(header + 6), optional = file.U16(header + 20);
    const uint64_t opt = header + 24;
    const uint32_t magic = file.U16(opt);
    if (!file.Has(opt, optional) || (magic != 0x10B && magic != 0x20B) || sections > MaxSections) return FileReadError;
    const uint64_t directories = magic == 0x10B ? 96 : 112;   // within the optional header
    const uint32_t count = file.U32(opt + directories - 4);
    if (count < 3 || optional < directories + 24) return FileOk;   // no resources
    const uint32_t address = file.U32(opt + directories + 16), size = file.U32(opt + directories + 20);
    const uint64_t table = opt + optional;
    if (!file.Has(table, 40ull * sections)) return FileReadError;
    PeReader reader{file, space, out, {}, 0, 0, 0, {}};
    for (uint32_t k = 0; k < sections; ++k) {
        const uint64_t s = table + 40ull * k;
        reader.Sections.push_back({file.U32(s + 12), file.U32(s + 8), file.U32(s + 20), file.U32(s + 16)});
    }
    if (address == 0 || size < 16) return FileOk;
    uint64_t base = 0, rest = 0;
    if (!reader.Locate(address, 16, base, &rest)) return FileReadError;
    reader.Base = base;
    reader.Limit = rest;   // the directory ends where its section's data does
    reader.Directory(0, 1, Resource());
    return FileOk;
}

// ---- 16-bit programs ---------------------------------------------------------

int ReadNe(const Image& file, uint64_t header, Room& space, std::vector<Resource>& out) {
    const uint64_t table = header + file.U16(header + 0x24), end = header + file.U16(header + 0x26);
    if (table == header || table >= end || !file.Has(table, end - table)) return FileOk;   // no resources
    const uint32_t shift = file.U16(table);
    if (shift > 16) return FileReadError;
    uint64_t at = table + 2;
    while (at + 2 <= end) {
        const uint32_t type = file.U16(at);
        if (type == 0) break;
        const uint64_t count = file.U16(at + 2);
        at += 8;
        if (at + 12 * count > end) return FileReadError;
        for (uint64_t k = 0; k < count; ++k, at += 12) {
            if (!(type & 0x8000u) || !Wanted(type & 0x7FFFu)) continue;
            Resource r;
            r.Type = type & 0x7FFFu;
            const uint32_t id = file.U16(at + 6);
            r.Named = !(id & 0x8000u);
            r.Id = r.Named ? 0 : id & 0x7FFFu;
            if (r.Named) {   // a length byte and the name (Latin-1), in the resource table
                const uint64_t name = table + id;
                const uint64_t length = file.Has(name, 1) ? file.Bytes[name] : 0;
                if (name + 1 + length > end) {
                    space.Tell(Describe(r) + ": its name lies beyond the resource table");
                    continue;
                }
                r.Name = NameOf(std::u16string(file.Bytes.begin() + static_cast<long>(name) + 1,
                                               file.Bytes.begin() + static_cast<long>(name + 1 + length)));
            }
            r.Offset = static_cast<uint64_t>(file.U16(at)) << shift;
            r.Size = static_cast<uint64_t>(file.U16(at + 2)) << shift;
            if (!file.Has(r.Offset, r.Size)) {
                space.Tell(Describe(r) + ": its data lies beyond the end of the file");
                continue;
            }
            if (!space.Take(sizeof(Resource) + r.Name.size())) return FileNoMemory;
            out.push_back(std::move(r));
        }
    }
    return FileOk;
}

// ---- Groups into files -----------------------------------------------------------

// The width and height of an entry's picture from its own header: a PNG's,
// or a bitmap's (whose height counts its mask rows too).
bool PictureSize(const uint8_t* data, uint64_t size, uint32_t& width, uint32_t& height) {
    if (PngSize(data, static_cast<size_t>(size), width, height)) return true;
    if (size < 40) return false;
    const int32_t w = GetI32(data + 4), h = GetI32(data + 8);
    width = static_cast<uint32_t>(w < 0 ? -static_cast<int64_t>(w) : w);
    height = static_cast<uint32_t>((h < 0 ? -static_cast<int64_t>(h) : h) / 2);
    return true;
}

// A directory's byte for an edge: 0 stands for 256 (or more).
uint8_t EdgeByte(uint32_t edge) { return static_cast<uint8_t>(edge >= 256 ? 0 : edge); }

struct Grouper {
    const Image& File;
    Room& Space;
    // The pictures by kind and number, each in every language it comes in.
    std::map<std::pair<uint32_t, uint32_t>, std::vector<const Resource*>> ById;

    // The picture a group entry names: in the group's language, else any.
    const Resource* Picture(uint32_t type, uint32_t id, uint16_t language) const {
        const auto found = ById.find({type, id});
        if (found == ById.end()) return nullptr;
        for (const Resource* r : found->second)
            if (r->Language == language) return r;
        return found->second.front();
    }

    bool Make(const Resource& g, IconGroup& out) {
        const bool cursor = g.Type == RtGroupCursor;
        if (g.Size < 6 || Get16(File.Bytes.data() + g.Offset) != 0) {
            Space.Tell(Describe(g) + ": not a group of pictures");
            return false;
        }
        const uint8_t* d = File.Bytes.data() + g.Offset;
        const uint64_t count = std::min<uint64_t>(Get16(d + 4), (g.Size - 6) / 14);
        struct Part { std::vector<uint8_t> Entry; const uint8_t* Data; uint64_t Size; };
        std::vector<Part> parts;
        uint64_t missing = 0, bytes = 6;
        for (uint64_t k = 0; k < count; ++k) {
            const uint8_t* e = d + 6 + 14 * k;
            const Resource* r = Picture(cursor ? RtCursor : RtIcon, Get16(e + 12), g.Language);
            if (!r || r->Size <= (cursor ? 4u : 0u)) {
                ++missing;
                continue;
            }
            Part p;
            p.Data = File.Bytes.data() + r->Offset;
            p.Size = r->Size;
            if (cursor) {
                // The hot spot leads the picture; the directory takes it, and
                // the picture's own header its size.
                uint32_t width = 0, height = 0;
                if (!PictureSize(p.Data + 4, p.Size - 4, width, height)) {
                    ++missing;
                    continue;
                }
                p.Entry = {EdgeByte(width), EdgeByte(height), 0, 0};
                Append16(p.Entry, Get16(p.Data));
                Append16(p.Entry, Get16(p.Data + 2));
                const uint32_t given = Get32(e + 8);
                p.Data += 4;
                p.Size = std::min<uint64_t>(p.Size - 4, given >= 4 ? given - 4 : p.Size - 4);
            } else {
                // The group's own directory entry, and as much of the data as
                // it gives (a 16-bit program pads the data after it), never
                // more than there is.
                p.Size = std::min<uint64_t>(Get32(e + 8), p.Size);
                p.Entry.assign(e, e + 8);
            }
            if (p.Size == 0) {
                ++missing;
                continue;
            }
            Append32(p.Entry, static_cast<uint32_t>(p.Size));
            bytes += 16 + p.Size;
            if (bytes > UINT32_MAX || !Space.Take(16 + p.Size)) {
                Space.Tell(Describe(g) + ": not taken, the groups before it fill the room");
                return false;
            }
            parts.push_back(std::move(p));
        }
        if (missing) Space.Tell(Describe(g) + ": " + std::to_string(missing) + " of its " + std::to_string(count) +
                                " pictures missing or empty, left out");
        if (parts.empty()) {
            Space.Tell(Describe(g) + ": no picture in it");
            return false;
        }
        out.Cursor = cursor;
        out.Named = g.Named;
        out.Name = g.Name;
        out.Number = g.Id;
        out.Language = g.Language;
        out.Entries = static_cast<int>(parts.size());
        out.File.clear();
        out.File.reserve(bytes);
        Append16(out.File, 0);
        Append16(out.File, cursor ? 2 : 1);
        Append16(out.File, static_cast<uint32_t>(parts.size()));
        uint64_t offset = 6 + 16 * parts.size();
        for (const Part& p : parts) {
            out.File.insert(out.File.end(), p.Entry.begin(), p.Entry.end());
            Append32(out.File, static_cast<uint32_t>(offset));
            offset += p.Size;
        }
        for (const Part& p : parts) out.File.insert(out.File.end(), p.Data, p.Data + p.Size);
        return true;
    }
};

int Read(ByteStream& stream, ProgramIcons& out) {
    const long long size = stream.Size();
    if (size < 64) return FileNotSupported;
    if (size > MaxProgramBytes) return FileNoMemory;
    Image file;
    file.Bytes.resize(static_cast<size_t>(size));
    if (stream.ReadAt(0, file.Bytes.data(), file.Bytes.size()) != size) return FileReadError;
    if (!StartsAsProgram(file.Bytes.data(), file.Bytes.size())) return FileNotSupported;
    const uint64_t header = file.U32(0x3C);
    ProgramIcons read;
    Room space{0, 4 * static_cast<uint64_t>(size) + (1u << 20), read.Skipped, 0};
    std::vector<Resource> resources;
    int code = FileNotSupported;
    if (file.Has(header, 24) && file.U32(header) == 0x00004550u) {   // "PE\0\0"
        code = ReadPe(file, header, space, resources);
    } else if (file.Has(header, 0x40) && file.U16(header) == 0x454Eu) {   // "NE"
        read.SixteenBit = true;
        code = ReadNe(file, header, space, resources);
    }
    if (code != FileOk) return code;
    Grouper groups{file, space, {}};
    for (const Resource& r : resources)
        if ((r.Type == RtIcon || r.Type == RtCursor) && !r.Named) groups.ById[{r.Type, r.Id}].push_back(&r);
    for (const Resource& r : resources) {
        if (r.Type != RtGroupIcon && r.Type != RtGroupCursor) continue;
        IconGroup g;
        if (groups.Make(r, g)) read.Groups.push_back(std::move(g));
    }
    if (space.Untold) read.Skipped.push_back("and " + std::to_string(space.Untold) + " more not taken");
    out = std::move(read);
    return FileOk;
}

}  // namespace

bool StartsAsProgram(const uint8_t* data, size_t size) { return size >= 2 && data[0] == 'M' && data[1] == 'Z'; }

int ReadProgramIcons(ByteStream& file, ProgramIcons& out) {
    try {
        return Read(file, out);
    } catch (const std::bad_alloc&) {
        return FileNoMemory;
    }
}
