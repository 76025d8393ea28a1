// What the commands share: their messages, the files they read and the
// images in them, and the files they write.
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include "document/IcColors.h"
#include "formats/FileErrors.h"
#include "formats/IcFormat.h"
#include "formats/IconOpening.h"
#include "formats/PngImage.h"
#include "formats/SafeWrite.h"
#include "formats/StripBitmap.h"
#include "tools/cli/Cli.h"
#include "tools/cli/TextImage.h"

namespace cli {

const char* const Program = "pixtor-cli";
const char* const NotSupportedIcon = "Current image format is not supported.";
constexpr long MaxTextBytes = 1 << 20;

int Fail(int code, const std::string& path, const std::string& detail) {
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

InputFile::InputFile(const std::string& path) : file(OpenForReading(path)), err(errno) {}
InputFile::~InputFile() {
    if (file) std::fclose(file);
}

int CantOpen(const std::string& path, int err) { return Fail(FileCantOpen, path, std::strerror(err)); }

// ---- Images ------------------------------------------------------------

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

namespace {

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
                        ": convert takes 16x16 and 32x32 pictures (pack takes any size)");
    image.Pace = picture.Width;
    image.Bits = 24;
    image.FormatIndex = FormatIndexOf(image.Pace, 24);
    std::copy(picture.Pixels.begin(), picture.Pixels.end(), image.Pixels);
    return 0;
}

}  // namespace

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
    const int code = ReadBestEntries(stream, entries, false);
    if (code == FileNotSupported) return FailWith(NotSupportedIcon, path, Reasons(entries));
    return code == FileOk ? 0 : Fail(code, path);
}

int LoadProgram(const std::string& path, ProgramIcons& program) {
    InputFile in(path);
    if (!in.file) return CantOpen(path, in.err);
    StdioStream stream(in.file);
    const int code = ReadProgramIcons(stream, program);
    if (code == FileNotSupported) return FailPlain(path, "not a Windows program or library");
    return code == FileOk ? 0 : Fail(code, path);
}

namespace {

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

}  // namespace

// A text image or a PNG by its name; else as the editor opens a file: a
// PNG by its content, an icon or cursor of one picture the editor's reader
// takes at its own depth, any other from the reader of every entry.
int LoadImage(const std::string& path, Image& image, int size) {
    if (IsTextName(path)) return LoadText(path, image);
    if (LowerExtension(path) == "png") return LoadPng(path, image);
    InputFile in(path);
    if (!in.file) return CantOpen(path, in.err);
    if (StartsWithBM(in.file))
        return Fail(FileNotSupported, path, "a toolbar strip bitmap, not an icon (see pixtor-cli strip split)");
    StdioStream stream(in.file);
    const IconOpening opening = OpenIconFile(stream, image.Pixels);
    const IconReadResult& r = opening.Read;
    if (opening.Route == IconAsPng) return LoadPng(path, image);
    // A file of one picture that cannot be read is an error of its reading;
    // one of none, or of several, the reader of every entry explains.
    if (opening.Route == IconUnreadable && r.ImageCount == 1 && !image.Entry) return Fail(FileReadError, path);
    if (opening.Route != IconAsEditors || r.MultiImageWarning || image.Entry) return LoadBestEntry(path, size, image);
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

int WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    return WriteOut(path, [&](ByteStream& file) {
        return file.Write(bytes.data(), bytes.size()) == static_cast<long long>(bytes.size())
                   ? static_cast<int>(FileOk) : static_cast<int>(FileWriteError);
    });
}

int WritePng(const std::string& path, int pace, const uint32_t* pixels) {
    const std::vector<uint8_t> png = EncodePng(pace, pixels);
    if (png.empty()) return Fail(FileWriteError, path, "the PNG could not be made");
    return WriteBytes(path, png);
}

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

int FolderAndFiles(const std::vector<std::string>& args, const char* command, std::string& folder, bool& json,
                   std::vector<std::string>& files) {
    for (size_t i = 0; i < args.size(); ++i) {
        std::string value;
        bool missing = false;
        if (OptionValue(args, i, "--out", value, missing)) {
            if (missing || value.empty()) return Usage("--out needs a folder");
            folder = value;
        } else if (args[i] == "--json") {
            json = true;
        } else if (args[i].size() > 1 && args[i][0] == '-') {
            return Usage(("unknown option '" + args[i] + "'").c_str());
        } else {
            files.push_back(args[i]);
        }
    }
    return files.empty() ? Usage((std::string(command) + " takes at least one FILE").c_str()) : 0;
}

std::string OutputStem(const std::string& in, const std::string& folder, bool keepExtension) {
    const size_t slash = in.find_last_of("/\\:");
    std::string name = slash == std::string::npos ? in : in.substr(slash + 1);
    const size_t dot = name.find_last_of('.');
    if (!keepExtension && dot != std::string::npos && dot > 0) name.erase(dot);
    if (folder.empty()) return (slash == std::string::npos ? "" : in.substr(0, slash + 1)) + name;
    const char last = folder.back();
    return folder + (last == '/' || last == '\\' ? "" : "/") + name;
}

bool MakeFolder(const std::string& folder) {
    // A folder that cannot be made (or named) is told by each write into it.
    std::error_code made;
    try {
        std::filesystem::create_directories(std::filesystem::u8path(folder), made);
    } catch (const std::exception&) {
        return false;
    }
    return !made;
}

int BatchDone(int failed, size_t files, const char* done, bool json) {
    if (json && files > 1) Print(stdout, "{\"files\": %zu, \"failed\": %d}\n", files, failed);
    if (failed) Print(stderr, "%s: %d of %zu files not %s\n", Program, failed, files, done);
    return failed ? ExitFailure : 0;
}

}  // namespace cli
