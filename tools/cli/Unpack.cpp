// pixtor-cli unpack: every entry of icons and cursors as a PNG picture of
// its own size, its transparency as alpha.
#include <algorithm>
#include <map>
#include <set>
#include "formats/FileErrors.h"
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
    bool png = false;
    {
        InputFile in(path);
        if (!in.file) return CantOpen(path, in.err);
        uint8_t start[8];
        png = std::fread(start, 1, sizeof start, in.file) == sizeof start && StartsAsPng(start, sizeof start);
    }
    if (!png) return LoadEntries(path, entries);
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
    bool json = false;
    std::vector<std::string> files;
    if (int usage = FolderAndFiles(args, "unpack", folder, json, files)) return usage;
    if (!folder.empty() && !MakeFolder(folder)) return Fail(FileCantOpen, folder, "the folder cannot be made");
    // Each file on its own, on every core: one that fails is told and the
    // rest go on. No picture is written over an input, nor over another
    // file's: a file whose pictures would take the names of an earlier
    // one's is refused.
    const std::set<std::string> inputs(files.begin(), files.end());
    std::vector<std::string> stems(files.size()), refused(files.size());
    std::map<std::string, std::string> first;
    for (size_t k = 0; k < files.size(); ++k) {
        stems[k] = OutputStem(files[k], folder, true);
        const auto was = first.emplace(stems[k], files[k]);
        if (!was.second) refused[k] = "its pictures would take the names of " + was.first->second + "'s";
    }
    const int failed = RunBatch(files.size(), [&](size_t k) {
        const std::string& path = files[k];
        if (!refused[k].empty()) return FailPlain(path, "not unpacked: " + refused[k]);
        IconEntries entries;
        if (int rc = ReadEntries(path, entries)) return rc;
        for (const std::string& why : entries.Skipped) Warn(path, (why + ", not unpacked").c_str());
        std::set<std::string> taken;
        std::vector<std::string> listed;
        int rc = 0;
        for (IconEntry& e : entries.Pictures) {
            const std::string out = EntryName(stems[k], e, taken);
            if (inputs.count(out)) {
                rc = FailPlain(path, "entry " + std::to_string(e.Index + 1) + " not unpacked: " + out + " is an input");
                continue;
            }
            if (int wrong = WriteEntry(path, out, e)) {
                rc = wrong;
                continue;
            }
            const std::string hot = entries.IsCursor ? std::to_string(e.HotX) + "," + std::to_string(e.HotY) : "";
            if (json)
                listed.push_back("{\"entry\": " + std::to_string(e.Index + 1) + ", \"width\": " + std::to_string(e.Width) +
                                 ", \"height\": " + std::to_string(e.Height) + ", \"depth\": " + std::to_string(e.Bits) +
                                 ", \"png\": " + (e.Png ? "true" : "false") + ", \"hot_spot\": " +
                                 (hot.empty() ? "null" : "[" + hot + "]") + ", \"written\": " + JsonString(out) + "}");
            else
                Print(stdout, "%s entry %d: %s%s -> %s\n", path.c_str(), e.Index + 1, Describe(e).c_str(),
                      hot.empty() ? "" : (", hot spot " + hot).c_str(), out.c_str());
        }
        if (json) {
            std::vector<std::string> skipped;
            for (const std::string& why : entries.Skipped) skipped.push_back(JsonString(why));
            Print(stdout, "{\"file\": %s, \"entries\": %s, \"not_read\": %s}\n", JsonString(path).c_str(),
                  JsonList(listed).c_str(), JsonList(skipped).c_str());
        }
        return rc;
    });
    return BatchDone(failed, files.size(), "wholly unpacked", json);
}

}  // namespace cli
