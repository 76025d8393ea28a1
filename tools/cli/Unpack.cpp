// pixtor-cli unpack: every entry of icons and cursors as a PNG picture of
// its own size, its transparency as alpha.
#include <algorithm>
#include <set>
#include "formats/FileErrors.h"
#include "formats/IconOpening.h"
#include "formats/PngImage.h"
#include "tools/cli/Cli.h"

namespace cli {

namespace {

// FILE.ico-16x16-32bit.png, FILE.ico-256x256-png.png: the file (its
// extension too), the size and the depth told apart; a second entry of
// both gets its number too.
std::string EntryName(const std::string& stem, const IconEntry& e, std::set<std::string>& taken) {
    const std::string base = stem + "-" + std::to_string(e.Width) + "x" + std::to_string(e.Height) + "-" +
                             (e.Png ? std::string("png") : std::to_string(e.Bits) + "bit");
    if (taken.insert(base).second) return base + ".png";
    return base + "-" + std::to_string(e.Index + 1) + ".png";
}

// A PNG entry as it is stored, once it has shown it holds a picture; a
// bitmap's picture with its mask as alpha.
int WriteEntry(const std::string& path, const std::string& out, IconEntry& e) {
    const std::string problem = DecodeEntryPicture(e);
    if (!problem.empty()) return FailPlain(path, "entry " + std::to_string(e.Index + 1) + ": " + problem);
    if (e.Png) return WriteBytes(out, e.Data);
    const std::vector<uint8_t> png = EncodePngWithAlpha(e.Width, e.Height, e.Pixels.data());
    if (png.empty()) return Fail(FileNoMemory, out, "the PNG could not be made");
    return WriteBytes(out, png);
}

// Every entry of an icon or cursor; a PNG (a favicon, whatever its name)
// is its one entry.
int ReadEntries(const std::string& path, IconEntries& entries) {
    {
        InputFile in(path);
        if (!in.file) return CantOpen(path, in.err);
        StdioStream stream(in.file);
        uint32_t pixels[ImagePixels];
        if (OpenIconFile(stream, pixels).Route != IconAsPng) return LoadEntries(path, entries);
    }
    std::string bytes;
    if (int rc = ReadWhole(path, static_cast<long>(MaxPngBytes), "a PNG picture", bytes)) return rc;
    const std::string problem = ReadPngEntry(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), entries);
    if (!problem.empty()) return Fail(FileNotSupported, path, problem);
    IconEntry& e = entries.Pictures[0];
    e.Data.assign(bytes.begin(), bytes.end());
    e.Pixels.clear();
    return 0;
}

}  // namespace

int Unpack(const std::vector<std::string>& args) {
    std::string folder;
    std::vector<std::string> files;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string value;
        bool missing = false;
        if (OptionValue(args, i, "--out", value, missing)) {
            if (missing || value.empty()) return Usage("--out needs a folder");
            folder = value;
        } else if (args[i].size() > 1 && args[i][0] == '-') {
            return Usage(("unknown option '" + args[i] + "'").c_str());
        } else {
            files.push_back(args[i]);
        }
    }
    if (files.empty()) return Usage("unpack takes at least one FILE");
    if (!folder.empty() && !MakeFolder(folder)) return Fail(FileCantOpen, folder, "the folder cannot be made");
    // Each file on its own: one that fails is told and the rest go on. No
    // picture is written over an input, nor over another one written now.
    std::set<std::string> written(files.begin(), files.end());
    int failed = 0;
    for (const std::string& path : files) {
        IconEntries entries;
        if (ReadEntries(path, entries)) {
            ++failed;
            continue;
        }
        for (const std::string& why : entries.Skipped) Warn(path, (why + ", not unpacked").c_str());
        std::set<std::string> taken;
        bool ok = true;
        for (IconEntry& e : entries.Pictures) {
            const std::string out = EntryName(OutputStem(path, folder, true), e, taken);
            if (!written.insert(out).second) {
                FailPlain(path, "entry " + std::to_string(e.Index + 1) + " not unpacked: " + out +
                                    " is an input or another entry's picture");
                ok = false;
                continue;
            }
            if (WriteEntry(path, out, e)) {
                ok = false;
                continue;
            }
            std::string hot;
            if (entries.IsCursor) hot = ", hot spot " + std::to_string(e.HotX) + "," + std::to_string(e.HotY);
            Print(stdout, "%s entry %d: %s%s -> %s\n", path.c_str(), e.Index + 1, Describe(e).c_str(), hot.c_str(),
                  out.c_str());
        }
        failed += !ok;
    }
    if (failed) Print(stderr, "%s: %d of %zu files not wholly unpacked\n", Program, failed, files.size());
    return failed ? ExitFailure : 0;
}

}  // namespace cli
