// pixtor-cli info: what a file holds, as lines or as one JSON object.
#include "document/FileNames.h"
#include "formats/FileErrors.h"
#include "formats/IcFormat.h"
#include "formats/IconOpening.h"
#include "formats/ProgramIcons.h"
#include "formats/StripBitmap.h"
#include "tools/cli/Cli.h"

namespace cli {

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

// A name that is not UTF-8 (any bytes are a name on Linux) has \ufffd for
// each byte that is no part of a character, so that the JSON stays JSON.
std::string JsonString(const std::string& text) {
    std::string out = "\"";
    std::u16string unused;
    for (size_t i = 0; i < text.size();) {
        const unsigned char u = static_cast<unsigned char>(text[i]);
        if (u >= 0x80) {
            const size_t n = u >= 0xF0 ? 4 : u >= 0xE0 ? 3 : u >= 0xC0 ? 2 : 1;
            const std::string character = text.substr(i, n);
            const bool whole = n > 1 && character.size() == n && Utf16FromUtf8(character, unused);
            out += whole ? character : "\\ufffd";
            i += whole ? n : 1;
            continue;
        }
        if (u == '"' || u == '\\') {
            out += '\\';
            out += static_cast<char>(u);
        } else if (u < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", u);
            out += escaped;
        } else {
            out += static_cast<char>(u);
        }
        ++i;
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

namespace {

// A text image or a PNG, as the editor takes it.
int PictureInfo(const std::string& path, bool json) {
    Facts f;
    Image image;
    if (int rc = LoadImage(path, image)) return rc;
    f.Kind = IsTextName(path) ? "text" : "png";
    f.Size = image.Pace;
    f.Depth = 24;
    f.FormatIndex = image.FormatIndex;
    Report(f, json);
    return 0;
}

// A program's or library's icon and cursor groups.
int ProgramInfo(const std::string& path, bool json) {
    ProgramIcons program;
    if (int rc = LoadProgram(path, program)) return rc;
    std::vector<std::string> groups, skipped;
    if (!json) Print(stdout, "kind: program\ngroups: %zu\n", program.Groups.size());
    for (size_t k = 0; k < program.Groups.size(); ++k) {
        const IconGroup& g = program.Groups[k];
        const std::string name = g.Named ? g.Name : std::to_string(g.Number);
        if (json)
            groups.push_back("{\"kind\": \"" + std::string(g.Cursor ? "cursor" : "icon") + "\", \"name\": " +
                             (g.Named ? JsonString(g.Name) : name) + ", \"language\": " + std::to_string(g.Language) +
                             ", \"entries\": " + std::to_string(g.Entries) + "}");
        else
            Print(stdout, "group %zu: %s %s, language %u, %d entries\n", k + 1, g.Cursor ? "cursor" : "icon", name.c_str(),
                  g.Language, g.Entries);
    }
    for (const std::string& s : program.Skipped) {
        if (json) skipped.push_back(JsonString(s));
        else Print(stdout, "not read: %s\n", s.c_str());
    }
    if (json)
        Print(stdout, "{\"kind\": \"program\", \"groups\": %s, \"not_read\": %s}\n", JsonList(groups).c_str(),
              JsonList(skipped).c_str());
    return 0;
}

}  // namespace

int Info(const std::string& path, bool json) {
    Facts f;
    if (IsTextName(path) || LowerExtension(path) == "png") return PictureInfo(path, json);
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
    uint8_t start[2] = {};
    if (stream.ReadAt(0, start, sizeof start) == sizeof start && StartsAsProgram(start, sizeof start))
        return ProgramInfo(path, json);
    // What the editor reads of it as it is, and every entry it holds.
    static uint32_t pixels[ImagePixels];
    ClearImage(pixels);
    const IconOpening opening = OpenIconFile(stream, pixels);
    if (opening.Route == IconAsPng) return PictureInfo(path, json);
    const IconReadResult& r = opening.Read;
    const int code = ReadIconEntries(stream, f.Entries);
    for (IconEntry& e : f.Entries.Pictures) std::vector<uint32_t>().swap(e.Pixels);
    if (code != FileOk && code != FileNotSupported) return Fail(code, path);
    if (f.Entries.Pictures.empty()) return FailWith(NotSupportedIcon, path, Reasons(f.Entries));
    f.Kind = f.Entries.IsCursor ? "cursor" : "icon";
    f.Images = f.Entries.Count;
    if (opening.Route == IconAsEditors && IsFormatIndex(r.FormatIndex)) {
        f.Size = FormatTable[r.FormatIndex].Pace;
        f.Depth = FormatTable[r.FormatIndex].Bits;
        f.FormatIndex = r.FormatIndex;
        f.HotSpot = r.IsCursorFile != 0;
        f.HotX = r.HotX;
        f.HotY = r.HotY;
        if (r.MultiImageWarning) f.Warnings.push_back(MultiImageWarning);
    } else {
        f.Warnings.push_back("no 16x16 or 32x32 picture of up to 24 bits alone: convert takes its best picture");
    }
    Report(f, json);
    return 0;
}

}  // namespace cli
