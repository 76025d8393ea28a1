// pixtor-cli pack: one icon or cursor of several pictures, from PNG and text
// pictures and from the entries of other icons and cursors.
#include <algorithm>
#include <map>
#include <set>
#include "formats/FileErrors.h"
#include "formats/IconOpening.h"
#include "formats/IconPack.h"
#include "formats/PngImage.h"
#include "tools/cli/Cli.h"

namespace cli {

namespace {

enum class PngSizes { Largest, All, None };

struct PackOptions {
    std::vector<int> Sizes;   // empty: the inputs' own
    PngSizes Png = PngSizes::Largest;
    bool AutoDepth = false;
    bool HotGiven = false;
    int HotX = 0, HotY = 0;
    bool Json = false;
};

// A picture on its way into the file: an entry of an icon or cursor, kept
// as it is stored, or a picture to be stored (0xAABBGGRR pixels).
struct Source {
    std::string Input;
    size_t From = 0;            // which input, in the order given
    std::string Made;           // "" or what it was scaled from
    bool Kept = false;
    bool CursorEntry = false;   // kept from a cursor: its own hot spot
    IconEntry Entry;            // its size, depth and bytes; its pixels when scaled from
    std::vector<uint32_t> Pixels;
    int Bits = 32;
    bool Png = false;
    int Size() const { return Entry.Width; }
    bool Square() const { return Entry.Width == Entry.Height; }
};

bool ParseSizes(const std::string& value, std::vector<int>& sizes) {
    size_t at = 0;
    while (at <= value.size()) {
        const size_t comma = std::min(value.find(',', at), value.size());
        int size = 0;
        if (!ParseInt(value.substr(at, comma - at), size) || size < 1 || size > 256) return false;
        sizes.push_back(size);
        at = comma + 1;
    }
    std::sort(sizes.begin(), sizes.end());
    sizes.erase(std::unique(sizes.begin(), sizes.end()), sizes.end());
    return !sizes.empty();
}

Source Picture(const std::string& input, int width, int height, std::vector<uint32_t> pixels) {
    Source s;
    s.Input = input;
    s.Entry.Width = width;
    s.Entry.Height = height;
    s.Pixels = std::move(pixels);
    return s;
}

// A PNG by its name, or as a file opens: by its content.
bool IsPngFile(const std::string& path) {
    if (LowerExtension(path) == "png") return true;
    InputFile in(path);
    if (!in.file) return false;
    StdioStream stream(in.file);
    uint32_t pixels[ImagePixels];
    return OpenIconFile(stream, pixels).Route == IconAsPng;
}

// The pictures of one input: a text image, a PNG (square, up to 256), or
// every entry of an icon or cursor, all of which must be read.
int ReadInput(const std::string& path, std::vector<Source>& sources) {
    if (IsTextName(path)) {
        Image image;
        if (int rc = LoadImage(path, image)) return rc;
        std::vector<uint32_t> pixels(static_cast<size_t>(image.Pace) * image.Pace);
        for (size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = IsMaskPixel(image.Pixels[i]) ? image.Pixels[i] & 0x00FFFFFFu : image.Pixels[i] | 0xFF000000u;
        sources.push_back(Picture(path, image.Pace, image.Pace, std::move(pixels)));
        return 0;
    }
    if (IsPngFile(path)) {
        std::string bytes;
        if (int rc = ReadWhole(path, static_cast<long>(MaxPngBytes), "a PNG picture", bytes)) return rc;
        PngPicture png;
        const std::string problem = DecodePngWithAlpha(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), png);
        if (!problem.empty()) return Fail(FileNotSupported, path, problem + " (an icon's pictures are 1 to 256 pixels)");
        if (png.Width != png.Height)
            return Fail(FileNotSupported, path, "image is " + std::to_string(png.Width) + "x" + std::to_string(png.Height) +
                                                    ": an icon's pictures are square");
        sources.push_back(Picture(path, png.Width, png.Height, std::move(png.Pixels)));
        // Stored as a PNG, the picture keeps its own compressed data.
        KeepAsEntry(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), sources.back().Entry.Data);
        return 0;
    }
    IconEntries entries;
    if (int rc = LoadEntries(path, entries)) return rc;
    if (!entries.Skipped.empty()) return FailWith(NotSupportedIcon, path, Reasons(entries) + "; nothing written");
    for (IconEntry& e : entries.Pictures) {
        Source s;
        s.Input = path;
        s.Kept = true;
        s.CursorEntry = entries.IsCursor;
        s.Bits = e.Bits;
        s.Png = e.Png;
        s.Entry = std::move(e);
        sources.push_back(std::move(s));
    }
    return 0;
}

// How a picture is stored: as a PNG at the sizes asked, else as a bitmap of
// 32 bits or of the smallest exact depth.
void ChooseStorage(Source& s, const PackOptions& opt) {
    s.Png = opt.Png == PngSizes::All || (opt.Png == PngSizes::Largest && s.Size() == 256);
    s.Bits = s.Png || !opt.AutoDepth ? 32 : ExactDepth(s.Pixels);
}

// The sizes asked: each taken from the inputs that have it, else made from
// the nearest larger square picture (the one of most colour).
int ChooseSizes(const std::string& out, std::vector<Source>& sources, const PackOptions& opt) {
    std::vector<Source> chosen;
    for (int size : opt.Sizes) {
        bool have = false;
        for (const Source& s : sources)
            if (s.Square() && s.Size() == size) {
                chosen.push_back(s);
                have = true;
            }
        if (have) continue;
        Source* from = nullptr;
        for (Source& s : sources)
            if (s.Square() && s.Size() > size &&
                (!from || s.Size() < from->Size() || (s.Size() == from->Size() && s.Bits > from->Bits)))
                from = &s;
        if (!from) {
            Warn(out, ("no picture is larger than " + std::to_string(size) + "x" + std::to_string(size) +
                       ": that size is left out").c_str());
            continue;
        }
        if (from->Kept && from->Pixels.empty()) {
            const std::string problem = DecodeEntryPicture(from->Entry);
            if (!problem.empty()) return FailPlain(from->Input, "entry " + std::to_string(from->Entry.Index + 1) + ": " + problem);
            from->Pixels = from->Entry.Pixels;
        }
        Source made = Picture(from->Input, size, size, ScaleDownPicture(from->Size(), from->Size(), from->Pixels, size));
        if (made.Pixels.empty()) return Fail(FileNoMemory, from->Input, "the picture could not be scaled");
        made.From = from->From;
        made.Made = from->Input + " (" + std::to_string(from->Size()) + "x" + std::to_string(from->Size()) + ")";
        // A cursor's own hot spot goes with its picture.
        made.CursorEntry = from->CursorEntry;
        made.Entry.HotX = static_cast<uint16_t>(std::min(size - 1, from->Entry.HotX * size / from->Size()));
        made.Entry.HotY = static_cast<uint16_t>(std::min(size - 1, from->Entry.HotY * size / from->Size()));
        ChooseStorage(made, opt);
        chosen.push_back(std::move(made));
    }
    sources.swap(chosen);
    return 0;
}

std::string Told(const Source& s) {
    std::string told = std::to_string(s.Entry.Width) + "x" + std::to_string(s.Entry.Height) + ", " +
                       std::to_string(s.Bits) + " bits" + (s.Png ? ", PNG" : "");
    if (!s.Made.empty()) return told + ", made from " + s.Made;
    if (s.Kept) return told + ", entry " + std::to_string(s.Entry.Index + 1) + " of " + s.Input;
    return told + ", from " + s.Input;
}

// Why OUT cannot be written with these options ("" when it can): it names
// an icon or a cursor, and --hotspot goes with a cursor.
std::string OutProblem(const std::string& out, const PackOptions& opt) {
    const std::string kind = LowerExtension(out);
    if (kind != "ico" && kind != "cur") return "OUT must be a .ico or .cur file: '" + out + "'";
    if (opt.HotGiven && kind != "cur") return "--hotspot goes with a .cur OUT";
    return "";
}

struct ListLine {
    size_t Number = 0;               // in the list, from 1
    std::vector<std::string> Files;  // OUT, then its inputs
    std::string Refused;             // why it is not packed
};

// A list of files to pack: a line each, OUT and its inputs apart by tabs,
// in UTF-8 (a byte-order mark before the first is passed over). Empty
// lines are passed over. A line that cannot be packed on its own is
// refused and the rest go on; a list that is no list at all is refused
// whole.
int ReadList(const std::string& path, const PackOptions& opt, std::vector<ListLine>& lines) {
    std::string text;
    if (int rc = ReadWhole(path, 1L << 28, "a list of files", text)) return rc;
    size_t at = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0, number = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(at, end - at);
        at = end + 1;
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        ListLine listed;
        listed.Number = number;
        bool blank = false;
        for (size_t from = 0;;) {
            const size_t tab = line.find('\t', from);
            listed.Files.push_back(line.substr(from, tab == std::string::npos ? std::string::npos : tab - from));
            blank = blank || listed.Files.back().empty();
            if (tab == std::string::npos) break;
            from = tab + 1;
        }
        if (listed.Files.size() < 2 || blank || line.find('\0') != std::string::npos)
            return FailPlain(path, "line " + std::to_string(number) +
                                       " is not OUT and its inputs apart by tabs; nothing written");
        lines.push_back(std::move(listed));
    }
    if (lines.empty()) return FailPlain(path, "no line of files to pack; nothing written");
    // No file is written by two lines, nor written by one while another
    // reads it: the lines run at once.
    std::map<std::string, size_t> writer;
    for (const ListLine& l : lines) writer.emplace(l.Files[0], l.Number);
    for (ListLine& l : lines) {
        l.Refused = OutProblem(l.Files[0], opt);
        const size_t first = writer[l.Files[0]];
        if (l.Refused.empty() && first != l.Number)
            l.Refused = l.Files[0] + " is written by line " + std::to_string(first);
        for (size_t k = 1; k < l.Files.size() && l.Refused.empty(); ++k) {
            const auto w = writer.find(l.Files[k]);
            if (w != writer.end() && w->second != l.Number)
                l.Refused = l.Files[k] + " is written by line " + std::to_string(w->second);
        }
    }
    return 0;
}

// One file: files[0] is OUT, the rest its inputs.
int PackOne(const std::vector<std::string>& files, const PackOptions& opt) {
    const std::string& out = files[0];
    const std::string problem = OutProblem(out, opt);
    if (!problem.empty()) return Usage(problem.c_str());
    const bool cursor = LowerExtension(out) == "cur";

    std::vector<Source> sources;
    for (size_t k = 1; k < files.size(); ++k) {
        const size_t before = sources.size();
        if (int rc = ReadInput(files[k], sources)) return rc;
        for (size_t s = before; s < sources.size(); ++s) sources[s].From = k;
    }
    for (Source& s : sources)
        if (!s.Kept) ChooseStorage(s, opt);
    if (!opt.Sizes.empty())
        if (int rc = ChooseSizes(out, sources, opt)) return rc;
    if (sources.empty()) return FailPlain(out, "no picture to write; nothing written");
    if (sources.size() > MaxStoredEntries)
        return FailPlain(out, "more than " + std::to_string(MaxStoredEntries) + " pictures; nothing written");
    // Ascending size, then depth; pictures of one input keep their order.
    std::stable_sort(sources.begin(), sources.end(), [](const Source& a, const Source& b) {
        if (a.Size() != b.Size()) return a.Size() < b.Size();
        return a.Entry.Height != b.Entry.Height ? a.Entry.Height < b.Entry.Height : a.Bits < b.Bits;
    });
    for (size_t k = 1; k < sources.size(); ++k) {
        const Source &a = sources[k - 1], &b = sources[k];
        if (a.Size() == b.Size() && a.Entry.Height == b.Entry.Height && a.Bits == b.Bits && a.From != b.From)
            return FailPlain(out, a.Input + " and " + b.Input + " both give a " + std::to_string(a.Size()) + "x" +
                                      std::to_string(a.Entry.Height) + " picture of " + std::to_string(a.Bits) +
                                      " bits; keep one. Nothing written");
    }

    // The hot spot, given in the largest picture's pixels, scaled to each.
    int largest = 0;
    for (const Source& s : sources) largest = std::max(largest, s.Size());
    if (opt.HotGiven && (opt.HotX >= largest || opt.HotY >= largest))
        return Usage(("--hotspot " + std::to_string(opt.HotX) + "," + std::to_string(opt.HotY) + " lies outside the " +
                      std::to_string(largest) + "x" + std::to_string(largest) + " picture").c_str());
    std::vector<StoredEntry> entries(sources.size());
    for (size_t k = 0; k < sources.size(); ++k) {
        Source& s = sources[k];
        StoredEntry& e = entries[k];
        if (s.Kept) {
            e.Width = s.Entry.Width;
            e.Height = s.Entry.Height;
            e.Bits = s.Bits;
            e.Png = s.Png;
            e.Data = std::move(s.Entry.Data);
        } else if (s.Png && !s.Entry.Data.empty()) {
            e.Width = e.Height = s.Size();
            e.Bits = 32;
            e.Png = true;
            e.Data = std::move(s.Entry.Data);
        } else if (!StoreEntry(s.Size(), s.Entry.Height, s.Pixels, s.Bits, s.Png, e)) {
            return Fail(FileNoMemory, out, "a picture could not be stored");
        }
        if (s.CursorEntry) {
            e.HotX = s.Entry.HotX;
            e.HotY = s.Entry.HotY;
        } else if (opt.HotGiven) {
            e.HotX = static_cast<uint16_t>(std::min(e.Width - 1, opt.HotX * e.Width / largest));
            e.HotY = static_cast<uint16_t>(std::min(e.Height - 1, opt.HotY * e.Height / largest));
        }
    }
    if (int rc = WriteOut(out, [&](ByteStream& file) { return WriteIconFile(file, cursor, entries); })) return rc;
    std::vector<std::string> listed;
    for (size_t k = 0; k < sources.size(); ++k) {
        const StoredEntry& e = entries[k];
        const std::string hot = std::to_string(e.HotX) + "," + std::to_string(e.HotY);
        if (opt.Json)
            listed.push_back("{\"entry\": " + std::to_string(k + 1) + ", \"width\": " + std::to_string(e.Width) +
                             ", \"height\": " + std::to_string(e.Height) + ", \"depth\": " + std::to_string(e.Bits) +
                             ", \"png\": " + (e.Png ? "true" : "false") + ", \"hot_spot\": " +
                             (cursor ? "[" + hot + "]" : std::string("null")) + ", \"from\": " +
                             JsonString(sources[k].Input) + ", \"made\": " + (sources[k].Made.empty() ? "false" : "true") + "}");
        else
            Print(stdout, "%s entry %zu: %s%s\n", out.c_str(), k + 1, Told(sources[k]).c_str(),
                  cursor ? (", hot spot " + hot).c_str() : "");
    }
    if (opt.Json) Print(stdout, "{\"file\": %s, \"entries\": %s}\n", JsonString(out).c_str(), JsonList(listed).c_str());
    return 0;
}

}  // namespace

int Pack(const std::vector<std::string>& args) {
    PackOptions opt;
    std::vector<std::string> files;
    std::string list;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string value;
        bool missing = false;
        if (OptionValue(args, i, "--sizes", value, missing)) {
            if (missing || !ParseSizes(value, opt.Sizes))
                return Usage(("--sizes takes sizes from 1 to 256 joined by commas, not '" + value + "'").c_str());
        } else if (OptionValue(args, i, "--png", value, missing)) {
            if (value == "256") opt.Png = PngSizes::Largest;
            else if (value == "all") opt.Png = PngSizes::All;
            else if (value == "none") opt.Png = PngSizes::None;
            else return Usage(("--png takes 256, all or none, not '" + value + "'").c_str());
        } else if (OptionValue(args, i, "--depth", value, missing)) {
            if (value != "32" && value != "auto") return Usage(("--depth takes 32 or auto, not '" + value + "'").c_str());
            opt.AutoDepth = value == "auto";
        } else if (OptionValue(args, i, "--hotspot", value, missing)) {
            const size_t comma = value.find(',');
            if (missing || comma == std::string::npos || !ParseInt(value.substr(0, comma), opt.HotX) ||
                !ParseInt(value.substr(comma + 1), opt.HotY))
                return Usage(("--hotspot takes X,Y with two whole numbers, not '" + value + "'").c_str());
            opt.HotGiven = true;
        } else if (OptionValue(args, i, "--list", value, missing)) {
            if (missing || value.empty()) return Usage("--list takes a file of lines OUT<tab>IN<tab>IN...");
            list = value;
        } else if (args[i] == "--json") {
            opt.Json = true;
        } else if (args[i].size() > 1 && args[i][0] == '-') {
            return Usage(("unknown option '" + args[i] + "'").c_str());
        } else {
            files.push_back(args[i]);
        }
    }
    if (list.empty()) {
        if (files.size() < 2) return Usage("pack takes OUT.ico or OUT.cur and at least one IN");
        return PackOne(files, opt);
    }
    if (!files.empty()) return Usage("pack takes its files from --list or from the command line, not both");
    std::vector<ListLine> lines;
    if (int rc = ReadList(list, opt, lines)) return rc;
    const int failed = RunBatch(lines.size(), [&](size_t k) {
        if (lines[k].Refused.empty()) return PackOne(lines[k].Files, opt);
        return FailPlain(list, "line " + std::to_string(lines[k].Number) + " not packed: " + lines[k].Refused);
    });
    return BatchDone(failed, lines.size(), "packed", opt.Json);
}

}  // namespace cli
