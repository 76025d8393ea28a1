// pixtor-cli: the editor's file codecs for scripts and build pipelines.
//
//   pixtor-cli info [--json] FILE
//   pixtor-cli convert IN OUT [--size 16|32] [--depth 1|4|8|24] [--hotspot X,Y] [--entry N]
//   pixtor-cli convert --to ico|cur|png|txt [--out DIR] [options] IN...
//   pixtor-cli strip join OUT.bmp IN...
//   pixtor-cli strip split [--txt] IN.bmp PREFIX
//
// Exit status: 0 done, 1 a file could not be read or written (the
// program's own message on stderr), 2 a usage error.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>
#include "document/Document.h"
#include "document/IcColors.h"
#include "formats/ByteStream.h"
#include "formats/FileErrors.h"
#include "formats/IcFormat.h"
#include "formats/IconEntries.h"
#include "formats/StripBitmap.h"
#include "formats/SafeWrite.h"
#include "formats/PngImage.h"
#include "tools/cli/Terminal.h"
#include "tools/cli/TextImage.h"

namespace {

const char* const Program = "pixtor-cli";
const char* const NotSupportedIcon = "Current image format is not supported.";
constexpr int ExitFailure = 1;
constexpr int ExitUsage = 2;
constexpr long MaxTextBytes = 1 << 20;

const char* const UsageText =
    "usage: pixtor-cli info [--json] FILE\n"
    "       pixtor-cli convert IN OUT [--size 16|32] [--depth 1|4|8|24] [--hotspot X,Y] [--entry N]\n"
    "       pixtor-cli convert --to ico|cur|png|txt [--out DIR] [options] IN...\n"
    "       pixtor-cli strip join OUT.bmp IN...\n"
    "       pixtor-cli strip split [--txt] IN.bmp PREFIX\n"
    "\n"
    "IN and OUT of convert are .ico, .cur, .png or .txt files; an OUT whose last\n"
    "extension is cur (any case) is written as a cursor. A .txt image is 16 or\n"
    "32 lines of 16 or 32 blank-separated RRGGBB values, top row first; 5F6F6F\n"
    "marks a transparent pixel. A .png is read in any colour type, 16x16 or\n"
    "32x32, a pixel of alpha below 128 as transparent, and written as 8-bit\n"
    "RGBA, transparent pixels with alpha 0. Without --size or --depth the\n"
    "input's own size and depth are kept (24 bits for a .txt or .png). The hot\n"
    "spot is --hotspot, else the input cursor's (scaled with --size), else 0,0.\n"
    "An icon or cursor of several pictures, or of pictures the editor does not\n"
    "take (other sizes, 32 bits with alpha, PNG), gives its best picture for\n"
    "the size (32 unless --size or only smaller ones), or entry N with --entry\n"
    "(from 1). With --to, each IN is converted to a file of that kind beside it,\n"
    "or in DIR.\n"
    "\n"
    "strip join writes the images (.ico, .cur, .png or .txt, all of one size)\n"
    "side by side as a 32-bit toolbar bitmap; strip split writes PREFIX-0.png,\n"
    "PREFIX-1.png, ... (PREFIX-0.txt, ... with --txt).\n";

int Usage(const char* problem = nullptr) {
    if (problem) Print(stderr, "%s: %s\n", Program, problem);
    Print(stderr, "%s", UsageText);
    return ExitUsage;
}

// The program's own message on a line of its own, then what failed.
int Fail(int code, const std::string& path, const std::string& detail = std::string()) {
    const char* message = FileErrorMessage(code);
    Print(stderr, "%s\n", message ? message : "Error!");
    if (!detail.empty()) Print(stderr, "%s: %s: %s\n", Program, path.c_str(), detail.c_str());
    return ExitFailure;
}

int FailWith(const char* message, const std::string& path, const std::string& detail) {
    Print(stderr, "%s\n", message);
    if (!detail.empty()) Print(stderr, "%s: %s: %s\n", Program, path.c_str(), detail.c_str());
    return ExitFailure;
}

int FailPlain(const std::string& path, const std::string& detail) {
    Print(stderr, "%s: %s: %s\n", Program, path.c_str(), detail.c_str());
    return ExitFailure;
}

void Warn(const std::string& path, const char* text) {
    Print(stderr, "%s: %s: warning: %s\n", Program, path.c_str(), text);
}

std::string LowerExtension(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return std::string();
    std::string ext = path.substr(dot + 1);
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return ext;
}

bool IsTextName(const std::string& path) { return LowerExtension(path) == "txt"; }

bool ParseInt(const std::string& s, int& value) {
    if (s.empty() || s.size() > 6) return false;
    int v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    value = v;
    return true;
}

class InputFile {
public:
    explicit InputFile(const std::string& path) : file(OpenForReading(path)), err(errno) {}
    ~InputFile() { if (file) std::fclose(file); }
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    std::FILE* file;
    int err;
};

int CantOpen(const std::string& path, int err) { return Fail(FileCantOpen, path, std::strerror(err)); }

// ---- Images ------------------------------------------------------------

struct Image {
    int Pace = 16;
    int Entry = 0;            // the icon's entry to take (from 1); 0: the editor's or the best
    int Bits = 24;            // depth of the file it came from (24 for text)
    int FormatIndex = 6;
    bool FromCursor = false;  // a cursor file: HotX, HotY are its hot spot
    uint16_t HotX = 0, HotY = 0;
    uint32_t Pixels[ImagePixels];
    Image() { ClearImage(Pixels); }
};

// The whole file, refused beyond limit bytes.
int ReadWhole(const std::string& path, long limit, const char* what, std::string& bytes) {
    InputFile in(path);
    if (!in.file) return CantOpen(path, in.err);
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, in.file)) > 0) {
        bytes.append(buffer, n);
        if (static_cast<long>(bytes.size()) > limit) return FailPlain(path, std::string("too large to be ") + what);
    }
    if (std::ferror(in.file)) return Fail(FileReadError, path, std::strerror(errno));
    return 0;
}

int LoadText(const std::string& path, Image& image) {
    std::string text;
    if (int rc = ReadWhole(path, MaxTextBytes, "a text image", text)) return rc;
    int pace = 16;
    const std::string problem = ParseTextImage(text, pace, image.Pixels);
    if (!problem.empty()) return FailPlain(path, problem);
    image.Pace = pace;
    image.Bits = 24;
    image.FormatIndex = FormatIndexOf(pace, 24);
    return 0;
}

// A PNG of 16x16 or 32x32 pixels, taken as a 24-bit image.
int LoadPng(const std::string& path, Image& image) {
    std::string bytes;
    if (int rc = ReadWhole(path, static_cast<long>(MaxPngBytes), "a PNG image", bytes)) return rc;
    PngPicture picture;
    const std::string problem =
        DecodePng(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), picture);
    if (!problem.empty()) return Fail(FileNotSupported, path, problem);
    if (picture.Width != picture.Height || (picture.Width != 16 && picture.Width != 32))
        return Fail(FileNotSupported, path,
                    "image is " + std::to_string(picture.Width) + "x" + std::to_string(picture.Height) +
                        ": the editor takes 16x16 and 32x32 images");
    image.Pace = picture.Width;
    image.Bits = 24;
    image.FormatIndex = FormatIndexOf(image.Pace, 24);
    std::copy(picture.Pixels.begin(), picture.Pixels.end(), image.Pixels);
    return 0;
}

bool StartsWithBM(std::FILE* f) {
    unsigned char head[2] = {0, 0};
    const size_t n = std::fread(head, 1, 2, f);
    std::rewind(f);
    return n == 2 && head[0] == 'B' && head[1] == 'M';
}

// The reasons no entry could be read, one after the other.
std::string Reasons(const IconEntries& entries) {
    std::string all;
    for (const std::string& why : entries.Skipped) all += (all.empty() ? "" : "; ") + why;
    return all.empty() ? "not an icon or cursor file" : all;
}

std::string Describe(const IconEntry& e) {
    return std::to_string(e.Width) + "x" + std::to_string(e.Height) + ", " + std::to_string(e.Bits) + " bits" +
           (e.Png ? ", PNG" : "");
}

// Every entry of an icon or cursor, looked at (the one taken is decoded
// later); reports and returns non-zero when none can be read.
int LoadEntries(const std::string& path, IconEntries& entries) {
    InputFile in(path);
    if (!in.file) return CantOpen(path, in.err);
    StdioStream stream(in.file);
    const int code = ReadIconEntries(stream, entries, false);
    if (code == FileNotSupported) return FailWith(NotSupportedIcon, path, Reasons(entries));
    return code == FileOk ? 0 : Fail(code, path);
}

// The best picture of the file's entries for the size asked (0: 32, or 16
// when it holds nothing larger), or entry image.Entry. An entry of exactly
// one of the editor's sizes and depths keeps its depth; any other becomes
// 24 bits.
int LoadBestEntry(const std::string& path, int size, Image& image) {
    IconEntries entries;
    if (int rc = LoadEntries(path, entries)) return rc;
    if (image.Entry) {
        const auto it = std::find_if(entries.Pictures.begin(), entries.Pictures.end(),
                                     [&](const IconEntry& e) { return e.Index + 1 == image.Entry; });
        if (it == entries.Pictures.end())
            return FailPlain(path, "entry " + std::to_string(image.Entry) + " of " + std::to_string(entries.Count) +
                                       (image.Entry > entries.Count ? " is not in the file" : " could not be read"));
        IconEntry chosen = *it;
        entries.Pictures.assign(1, chosen);
    }
    if (!size) {
        size = 16;
        for (const IconEntry& e : entries.Pictures) size = e.Width > 16 || e.Height > 16 ? 32 : size;
    }
    std::vector<uint32_t> pixels;
    int index = 0;
    if (!BestPicture(entries, size, pixels, &image.HotX, &image.HotY, &index))
        return FailWith(NotSupportedIcon, path, "no entry could be decoded");
    const IconEntry* taken = &*std::find_if(entries.Pictures.begin(), entries.Pictures.end(),
                                             [&](const IconEntry& e) { return e.Index == index; });
    if (entries.Count > 1 || image.Entry) {
        const std::string told = "took entry " + std::to_string(taken->Index + 1) + " of " + std::to_string(entries.Count) +
                                 " (" + Describe(*taken) + ")" + (taken->Width == size ? "" : ", scaled");
        Warn(path, told.c_str());
    }
    image.Pace = size;
    const int kept = taken->Width == size && taken->Height == size && !taken->Png ? FormatIndexOf(size, taken->Bits) : -1;
    image.Bits = kept >= 0 ? taken->Bits : 24;
    image.FormatIndex = FormatIndexOf(size, image.Bits);
    image.FromCursor = entries.IsCursor;
    ClearImage(image.Pixels);
    std::copy(pixels.begin(), pixels.end(), image.Pixels);
    return 0;
}

// Reads an icon or cursor: a file of one picture the editor takes through
// the editor's own reader, keeping its depth; any other through the reader
// of every entry. Reports and returns non-zero when it cannot be used.
int LoadIcon(const std::string& path, int size, Image& image) {
    InputFile in(path);
    if (!in.file) return CantOpen(path, in.err);
    if (StartsWithBM(in.file))
        return Fail(FileNotSupported, path, "a toolbar strip bitmap, not an icon (see pixtor-cli strip split)");
    StdioStream stream(in.file);
    const IconReadResult r = FormatOpen(stream, image.Pixels);
    // A file of one picture that cannot be read is an error of its reading;
    // one of none, or of several, the reader of every entry explains.
    if (r.Outcome == IconReadFailed && r.ImageCount == 1 && !image.Entry) return Fail(FileReadError, path);
    if (r.Outcome != IconLoaded || r.MultiImageWarning || image.Entry) return LoadBestEntry(path, size, image);
    if (!IsFormatIndex(r.FormatIndex)) return Fail(FileReadError, path, "reader gave no format");
    image.FormatIndex = r.FormatIndex;
    image.Pace = FormatTable[r.FormatIndex].Pace;
    image.Bits = FormatTable[r.FormatIndex].Bits;
    image.FromCursor = r.IsCursorFile != 0 && r.HotSpotRead != 0;
    image.HotX = r.HotX;
    image.HotY = r.HotY;
    // Byte 3 is not part of an icon; the buffer started at 0 there.
    for (uint32_t& p : image.Pixels) p &= 0x00FFFFFFu;
    return 0;
}

// A PNG by its name, or by its first bytes (favicons are often PNGs with
// an icon's name).
bool IsPng(const std::string& path) {
    if (LowerExtension(path) == "png") return true;
    InputFile in(path);
    uint8_t head[8];
    return in.file && std::fread(head, 1, sizeof head, in.file) == sizeof head && StartsAsPng(head, sizeof head);
}

// A text image, a PNG or an icon; `size` is the size asked of an icon of
// several pictures (0: its best).
int LoadImage(const std::string& path, Image& image, int size = 0) {
    if (IsTextName(path)) return LoadText(path, image);
    return IsPng(path) ? LoadPng(path, image) : LoadIcon(path, size, image);
}

// The image as a file of the given format index would hold it.
void ReduceToDepth(Image& image, int formatIndex) {
    MemoryStream file;
    if (Format(file, image.Pixels, formatIndex, 0, 0, 0) != FileOk) return;
    uint32_t pixels[ImagePixels];
    for (int i = 0; i < ImagePixels; ++i) pixels[i] = image.Pixels[i];
    const IconReadResult r = FormatOpen(file, pixels);
    if (r.Outcome != IconLoaded) return;
    for (int i = 0; i < ImagePixels; ++i) image.Pixels[i] = pixels[i] & 0x00FFFFFFu;
}

int WriteOut(const std::string& path, const std::function<int(ByteStream&)>& write) {
    std::string detail;
    const int code = WriteFileSafely(path, write, detail);
    if (code != FileOk) return Fail(code, path, detail);
    return 0;
}

int WriteText(const std::string& path, const std::string& text) {
    return WriteOut(path, [&](ByteStream& file) {
        if (text.empty()) return static_cast<int>(FileOk);
        return file.Write(text.data(), text.size()) == static_cast<long long>(text.size())
                   ? static_cast<int>(FileOk) : static_cast<int>(FileWriteError);
    });
}

int WritePng(const std::string& path, int pace, const uint32_t* pixels) {
    const std::vector<uint8_t> png = EncodePng(pace, pixels);
    if (png.empty()) return Fail(FileWriteError, path, "the PNG could not be made");
    return WriteOut(path, [&](ByteStream& file) {
        return file.Write(png.data(), png.size()) == static_cast<long long>(png.size())
                   ? static_cast<int>(FileOk) : static_cast<int>(FileWriteError);
    });
}

// ---- info ----------------------------------------------------------------

// What info tells of a file, as lines of "name: value" or as one JSON
// object for scripts.
struct Facts {
    const char* Kind = "icon";
    int Size = 0, Depth = 0;         // 0: no picture the editor takes as it is
    int FormatIndex = -1;            // -1: no format the editor takes
    bool HotSpot = false;
    unsigned HotX = 0, HotY = 0;
    int Images = 1;
    IconEntries Entries;             // an icon's or cursor's, every one (pixels dropped)
    std::vector<std::string> Warnings;
};

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", u);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string EntryJson(const IconEntry& e, bool cursor) {
    return "{\"entry\": " + std::to_string(e.Index + 1) + ", \"width\": " + std::to_string(e.Width) +
           ", \"height\": " + std::to_string(e.Height) + ", \"depth\": " + std::to_string(e.Bits) +
           ", \"png\": " + (e.Png ? "true" : "false") + ", \"hot_spot\": " +
           (cursor ? "[" + std::to_string(e.HotX) + ", " + std::to_string(e.HotY) + "]" : std::string("null")) + "}";
}

std::string JsonList(const std::vector<std::string>& items) {
    std::string out = "[";
    for (size_t k = 0; k < items.size(); ++k) out += (k ? ", " : "") + items[k];
    return out + "]";
}

void Report(const Facts& f, bool json) {
    const bool cursor = f.Entries.IsCursor;
    if (json) {
        std::vector<std::string> entries, skipped, warnings;
        for (const IconEntry& e : f.Entries.Pictures) entries.push_back(EntryJson(e, cursor));
        for (const std::string& s : f.Entries.Skipped) skipped.push_back(JsonString(s));
        for (const std::string& w : f.Warnings) warnings.push_back(JsonString(w));
        const auto number = [](int n) { return n > 0 ? std::to_string(n) : std::string("null"); };
        Print(stdout, "{\"kind\": %s, \"size\": %s, \"depth\": %s, \"format_index\": %s, \"hot_spot\": %s, "
                    "\"images\": %d, \"entries\": %s, \"not_read\": %s, \"warnings\": %s}\n",
                    JsonString(f.Kind).c_str(), number(f.Size).c_str(), number(f.Depth).c_str(),
                    f.FormatIndex < 0 ? "null" : std::to_string(f.FormatIndex).c_str(),
                    f.HotSpot ? ("[" + std::to_string(f.HotX) + ", " + std::to_string(f.HotY) + "]").c_str() : "null",
                    f.Images, JsonList(entries).c_str(), JsonList(skipped).c_str(), JsonList(warnings).c_str());
        return;
    }
    Print(stdout, "kind: %s\n", f.Kind);
    if (f.FormatIndex >= 0) {
        Print(stdout, "size: %d\ndepth: %d\nformat index: %d\n", f.Size, f.Depth, f.FormatIndex);
        if (f.HotSpot) Print(stdout, "hot spot: %u,%u\n", f.HotX, f.HotY);
    }
    Print(stdout, "images: %d\n", f.Images);
    for (const IconEntry& e : f.Entries.Pictures) {
        Print(stdout, "entry %d: %s", e.Index + 1, Describe(e).c_str());
        if (cursor) Print(stdout, ", hot spot %u,%u", e.HotX, e.HotY);
        Print(stdout, "\n");
    }
    for (const std::string& s : f.Entries.Skipped) Print(stdout, "not read: %s\n", s.c_str());
    for (const std::string& w : f.Warnings) Print(stdout, "warning: %s\n", w.c_str());
}

int Info(const std::string& path, bool json) {
    Facts f;
    if (IsTextName(path) || IsPng(path)) {
        Image image;
        if (int rc = LoadImage(path, image)) return rc;
        f.Kind = IsTextName(path) ? "text" : "png";
        f.Size = image.Pace;
        f.Depth = 24;
        f.FormatIndex = image.FormatIndex;
        Report(f, json);
        return 0;
    }
    InputFile in(path);
    if (!in.file) return CantOpen(path, in.err);
    StdioStream stream(in.file);
    if (StartsWithBM(in.file)) {
        StripImages strip;
        const int code = ReadStripBitmap(stream, strip);
        if (code != FileOk) return Fail(code, path);
        f.Kind = "strip";
        f.Size = strip.Pace;
        f.Depth = 32;
        f.FormatIndex = strip.Pace == 32 ? 7 : 6;
        f.Images = strip.Count;
        Report(f, json);
        return 0;
    }
    // What the editor reads of it as it is, and every entry it holds.
    static uint32_t pixels[ImagePixels];
    ClearImage(pixels);
    const IconReadResult r = FormatOpen(stream, pixels);
    const int code = ReadIconEntries(stream, f.Entries);
    for (IconEntry& e : f.Entries.Pictures) std::vector<uint32_t>().swap(e.Pixels);
    if (code != FileOk && code != FileNotSupported) return Fail(code, path);
    if (f.Entries.Pictures.empty()) return FailWith(NotSupportedIcon, path, Reasons(f.Entries));
    f.Kind = f.Entries.IsCursor ? "cursor" : "icon";
    f.Images = f.Entries.Count;
    if (r.Outcome == IconLoaded && IsFormatIndex(r.FormatIndex)) {
        f.Size = FormatTable[r.FormatIndex].Pace;
        f.Depth = FormatTable[r.FormatIndex].Bits;
        f.FormatIndex = r.FormatIndex;
        f.HotSpot = r.IsCursorFile != 0;
        f.HotX = r.HotX;
        f.HotY = r.HotY;
        if (r.MultiImageWarning) f.Warnings.push_back(MultiImageWarning);
    } else {
        f.Warnings.push_back(std::string(NotSupportedIcon) + " The editor converts its best picture.");
    }
    Report(f, json);
    return 0;
}

// ---- convert -------------------------------------------------------------

struct ConvertOptions {
    int Size = 0;             // 0: the input's
    int Depth = 0;            // 0: the input's
    bool HotGiven = false;
    int HotX = 0, HotY = 0;
    int Entry = 0;            // 0: the best
    std::string To, Out;      // --to: many inputs, each to a file of that kind (in Out)
};

// Takes "--name value" or "--name=value" at args[i]; moves i past it.
bool OptionValue(const std::vector<std::string>& args, size_t& i, const std::string& name, std::string& value,
                 bool& missing) {
    const std::string& a = args[i];
    missing = false;
    if (a == name) {
        if (i + 1 >= args.size()) { missing = true; return true; }
        value = args[++i];
        return true;
    }
    if (a.compare(0, name.size() + 1, name + "=") == 0) {
        value = a.substr(name.size() + 1);
        return true;
    }
    return false;
}

bool IsOutputKind(const std::string& ext) { return ext == "ico" || ext == "cur" || ext == "txt" || ext == "png"; }

// OUT of IN under --to: IN's name with the new extension, beside IN or in DIR.
std::string OutputName(const std::string& in, const ConvertOptions& opt) {
    const size_t slash = in.find_last_of("/\\:");
    std::string name = slash == std::string::npos ? in : in.substr(slash + 1);
    const size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0) name.erase(dot);
    const std::string folder = opt.Out.empty() ? (slash == std::string::npos ? "" : in.substr(0, slash + 1))
                                               : opt.Out + (opt.Out.back() == '/' ? "" : "/");
    return folder + name + "." + opt.To;
}

int ConvertOne(const std::string& inPath, const std::string& outPath, const ConvertOptions& opt);

int Convert(const std::vector<std::string>& args) {
    std::vector<std::string> files;
    ConvertOptions opt;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string value;
        bool missing = false;
        if (OptionValue(args, i, "--size", value, missing)) {
            if (missing) return Usage("--size needs a value: 16 or 32");
            if (!ParseInt(value, opt.Size) || (opt.Size != 16 && opt.Size != 32))
                return Usage(("--size must be 16 or 32, not '" + value + "'").c_str());
        } else if (OptionValue(args, i, "--depth", value, missing)) {
            if (missing) return Usage("--depth needs a value: 1, 4, 8 or 24");
            if (!ParseInt(value, opt.Depth) || FormatIndexOf(16, opt.Depth) < 0)
                return Usage(("--depth must be 1, 4, 8 or 24, not '" + value + "'").c_str());
        } else if (OptionValue(args, i, "--hotspot", value, missing)) {
            if (missing) return Usage("--hotspot needs a value X,Y");
            const size_t comma = value.find(',');
            if (comma == std::string::npos || !ParseInt(value.substr(0, comma), opt.HotX) ||
                !ParseInt(value.substr(comma + 1), opt.HotY))
                return Usage(("--hotspot takes X,Y with two whole numbers, not '" + value + "'").c_str());
            opt.HotGiven = true;
        } else if (OptionValue(args, i, "--entry", value, missing)) {
            if (missing || !ParseInt(value, opt.Entry) || opt.Entry < 1)
                return Usage(("--entry takes an entry's number from 1, not '" + value + "'").c_str());
        } else if (OptionValue(args, i, "--to", value, missing)) {
            if (missing || !IsOutputKind(value)) return Usage(("--to takes ico, cur, png or txt, not '" + value + "'").c_str());
            opt.To = value;
        } else if (OptionValue(args, i, "--out", value, missing)) {
            if (missing || value.empty()) return Usage("--out needs a folder");
            opt.Out = value;
        } else if (args[i].size() > 1 && args[i][0] == '-') {
            return Usage(("unknown option '" + args[i] + "'").c_str());
        } else {
            files.push_back(args[i]);
        }
    }
    if (!opt.Out.empty() && opt.To.empty()) return Usage("--out goes with --to");
    if (opt.To.empty()) {
        if (files.size() != 2) return Usage("convert takes IN and OUT");
        if (!IsOutputKind(LowerExtension(files[1])))
            return Usage(("OUT must be a .ico, .cur, .png or .txt file: '" + files[1] + "'").c_str());
        return ConvertOne(files[0], files[1], opt);
    }
    if (files.empty()) return Usage("convert --to takes at least one IN");
    // A folder that cannot be made (or named) is told by each write into it.
    std::error_code made;
    try {
        if (!opt.Out.empty()) std::filesystem::create_directories(std::filesystem::u8path(opt.Out), made);
    } catch (const std::exception&) {
    }
    // Each input on its own: one that fails is told and the rest go on. An
    // output is never one of the inputs, nor written twice.
    int failed = 0;
    std::vector<std::string> written;
    for (const std::string& in : files) {
        const std::string out = OutputName(in, opt);
        const bool input = std::find(files.begin(), files.end(), out) != files.end();
        if (input || std::find(written.begin(), written.end(), out) != written.end()) {
            FailPlain(in, "not converted: " + out + (input ? " is an input" : " is another input's output"));
            ++failed;
            continue;
        }
        written.push_back(out);
        failed += ConvertOne(in, out, opt) != 0;
    }
    if (failed) Print(stderr, "%s: %d of %zu files not converted\n", Program, failed, files.size());
    return failed ? ExitFailure : 0;
}

int ConvertOne(const std::string& inPath, const std::string& outPath, const ConvertOptions& opt) {
    const std::string outExt = LowerExtension(outPath);
    const bool outCursor = IsCursorFileName(outPath.c_str());
    const bool outText = outExt == "txt";

    Image image;
    image.Entry = opt.Entry;
    if (int rc = LoadImage(inPath, image, opt.Size)) return rc;

    const int pace = opt.Size ? opt.Size : image.Pace;
    const int bits = opt.Depth ? opt.Depth : image.Bits;
    const int index = FormatIndexOf(pace, bits);

    // The hot spot, in the output's pixels.
    int hotX = 0, hotY = 0;
    const char* hotFrom = "the default";
    if (opt.HotGiven) {
        hotX = opt.HotX;
        hotY = opt.HotY;
        hotFrom = "--hotspot";
    } else if (image.FromCursor) {
        hotX = image.HotX;
        hotY = image.HotY;
        if (pace > image.Pace) { hotX *= 2; hotY *= 2; }
        if (pace < image.Pace) { hotX /= 2; hotY /= 2; }
        hotFrom = pace == image.Pace ? "the input cursor" : "the input cursor, scaled";
    }
    if ((opt.HotGiven || outCursor) && (hotX >= pace || hotY >= pace)) {
        Print(stderr,
              "%s: hot spot %d,%d lies outside the %dx%d image (X and Y run from 0 to %d; taken from %s)\n",
              Program, hotX, hotY, pace, pace, pace - 1, hotFrom);
        return opt.HotGiven ? ExitUsage : ExitFailure;
    }

    if (pace != image.Pace) DimeChange(pace, image.Pace, image.Pixels);

    if (outText || outExt == "png") {
        if (opt.Depth && opt.Depth != 24) ReduceToDepth(image, index);
        if (outText) return WriteText(outPath, FormatTextImage(pace, image.Pixels));
        return WritePng(outPath, pace, image.Pixels);
    }
    if (outCursor && index == FormatIndexOf(16, 8) && (hotX || hotY))
        Warn(outPath, "a 16x16 8-bit cursor stores its hot spot as 0,0");
    const uint32_t* pixels = image.Pixels;
    return WriteOut(outPath, [&](ByteStream& file) {
        return Format(file, pixels, index, outCursor ? 1 : 0, static_cast<uint16_t>(hotX),
                      static_cast<uint16_t>(hotY));
    });
}

// ---- strip -----------------------------------------------------------------

int StripJoin(const std::vector<std::string>& args) {
    if (args.size() < 2) return Usage("strip join takes OUT.bmp and at least one IN");
    StripImages strip;
    strip.Count = 0;
    for (size_t i = 1; i < args.size(); ++i) {
        Image image;
        if (int rc = LoadImage(args[i], image)) return rc;
        if (i == 1) {
            strip.Pace = image.Pace;
        } else if (image.Pace != strip.Pace) {
            return FailPlain(args[i], "image is " + std::to_string(image.Pace) + "x" + std::to_string(image.Pace) +
                                          " but " + args[1] + " is " + std::to_string(strip.Pace) + "x" +
                                          std::to_string(strip.Pace) +
                                          "; all images of a strip have one size (convert --size first)");
        }
        for (int p = 0; p < image.Pace * image.Pace; ++p) strip.Pixels.push_back(image.Pixels[p] & 0x00FFFFFFu);
        ++strip.Count;
    }
    return WriteOut(args[0], [&](ByteStream& file) { return WriteStripBitmap(file, strip); });
}

int StripSplit(std::vector<std::string> args) {
    const auto txt = std::find(args.begin(), args.end(), "--txt");
    const bool asText = txt != args.end();
    if (asText) args.erase(txt);
    if (args.size() != 2) return Usage("strip split takes IN.bmp and PREFIX");
    const std::string& path = args[0];
    StripImages strip;
    {
        InputFile in(path);
        if (!in.file) return CantOpen(path, in.err);
        StdioStream stream(in.file);
        const int code = ReadStripBitmap(stream, strip);
        if (code != FileOk) return Fail(code, path);
    }
    const size_t each = static_cast<size_t>(strip.Pace) * strip.Pace;
    for (int k = 0; k < strip.Count; ++k) {
        const std::string out = args[1] + "-" + std::to_string(k) + (asText ? ".txt" : ".png");
        const uint32_t* pixels = strip.Pixels.data() + k * each;
        if (int rc = asText ? WriteText(out, FormatTextImage(strip.Pace, pixels)) : WritePng(out, strip.Pace, pixels))
            return rc;
    }
    Print(stdout, "%d images of %dx%d\n", strip.Count, strip.Pace, strip.Pace);
    return 0;
}

int Run(std::vector<std::string> args) {
    if (args.empty()) return Usage();
    const std::string command = args[0];
    args.erase(args.begin());
    if (command == "-h" || command == "--help" || command == "help") {
        Print(stdout, "%s", UsageText);
        return 0;
    }
    if (command == "info") {
        const auto json = std::find(args.begin(), args.end(), "--json");
        const bool asJson = json != args.end();
        if (asJson) args.erase(json);
        if (args.size() != 1) return Usage("info takes one FILE");
        return Info(args[0], asJson);
    }
    if (command == "convert") return Convert(args);
    if (command == "strip") {
        if (args.empty()) return Usage("strip takes join or split");
        const std::string sub = args[0];
        args.erase(args.begin());
        if (sub == "join") return StripJoin(args);
        if (sub == "split") return StripSplit(args);
        return Usage(("unknown strip command '" + sub + "'").c_str());
    }
    return Usage(("unknown command '" + command + "'").c_str());
}

}  // namespace

#ifdef _WIN32
// The arguments as the system holds them, each in UTF-8.
int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.push_back(Utf8Loosely(reinterpret_cast<const char16_t*>(argv[i]), std::char_traits<wchar_t>::length(argv[i])));
    return Run(args);
}
#else
int main(int argc, char** argv) { return Run(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc)); }
#endif
