// pixtor-cli extract: every icon group of a Windows program or library as
// one icon file of all its sizes, every cursor group as one cursor file.
#include <set>
#include "document/FileNames.h"
#include "formats/FileErrors.h"
#include "formats/ProgramIcons.h"
#include "tools/cli/Cli.h"

namespace cli {

namespace {

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

// A name from the file, safe as a file's name in any folder of any system:
// no separators, drive letters, control characters or characters Windows
// refuses; no "." or ".."; no device name (CON, COM1, ...), whatever
// follows it; no trailing dot or blank; at most 200 bytes, so that a number
// and an extension still fit a file system's 255.
std::string SafeName(const std::string& name) {
    std::string safe;
    for (size_t i = 0; i < name.size(); ++i) {
        const unsigned char u = static_cast<unsigned char>(name[i]);
        const bool c1 = u == 0xC2 && i + 1 < name.size() && static_cast<unsigned char>(name[i + 1]) < 0xA0;
        if (c1) ++i;   // U+0080 .. U+009F, controls too
        safe += c1 || u < 0x20 || u == 0x7F || std::string("<>:\"/\\|?*").find(name[i]) != std::string::npos ? '_' : name[i];
    }
    size_t cut = std::min<size_t>(safe.size(), 200);
    while (cut > 0 && cut < safe.size() && (static_cast<unsigned char>(safe[cut]) & 0xC0) == 0x80) --cut;
    safe.resize(cut);
    while (!safe.empty() && (safe.back() == '.' || safe.back() == ' ')) safe.back() = '_';
    if (safe.empty()) return "_";
    std::string stem = Lower(safe.substr(0, safe.find('.')));
    while (!stem.empty() && stem.back() == ' ') stem.pop_back();
    static const std::set<std::string> devices = {"con", "prn", "aux", "nul", "conin$", "conout$"};
    const std::string tail = stem.size() > 3 ? stem.substr(3) : std::string();
    const bool numbered = (stem.compare(0, 3, "com") == 0 || stem.compare(0, 3, "lpt") == 0) &&
                          ((tail.size() == 1 && tail[0] >= '0' && tail[0] <= '9') ||
                           tail == "\xC2\xB9" || tail == "\xC2\xB2" || tail == "\xC2\xB3");   // superscript 1, 2, 3
    if (devices.count(stem) || numbered) safe = "_" + safe;
    return safe;
}

std::string GroupName(const IconGroup& g) { return g.Named ? g.Name : std::to_string(g.Number); }

}  // namespace

int Extract(const std::vector<std::string>& args) {
    std::string folder;
    bool json = false;
    std::vector<std::string> files;
    if (int usage = FolderAndFiles(args, "extract", folder, json, files)) return usage;
    if (folder.empty()) folder = ".";
    if (!MakeFolder(folder)) return Fail(FileCantOpen, folder, "the folder cannot be made");
    // One program's groups straight into the folder; several programs' each
    // into a folder of the program's name (numbered where names meet, in
    // the order given, whether or not a program has groups), made when it
    // has a group. Each program on its own, on every core.
    std::vector<std::string> into(files.size(), folder);
    std::set<std::string> folders;
    for (size_t k = 0; files.size() > 1 && k < files.size(); ++k) {
        std::string own = SafeName(TitleOfPath(files[k]));
        for (int n = 2; !folders.insert(Lower(own)).second; ++n) own = SafeName(TitleOfPath(files[k])) + "-" + std::to_string(n);
        into[k] = folder + "/" + own;
    }
    const int failed = RunBatch(files.size(), [&](size_t k) {
        const std::string& path = files[k];
        ProgramIcons program;
        if (int rc = LoadProgram(path, program)) return rc;
        for (const std::string& why : program.Skipped) Warn(path, why.c_str());
        if (program.Groups.empty()) Warn(path, "no icon or cursor group in it");
        else if (files.size() > 1 && !MakeFolder(into[k])) return Fail(FileCantOpen, into[k], "the folder cannot be made");
        std::set<std::string> taken;
        std::vector<std::string> listed;
        int rc = 0;
        for (const IconGroup& g : program.Groups) {
            const std::string ext = g.Cursor ? ".cur" : ".ico";
            std::string name = SafeName(GroupName(g));
            for (int n = 2; !taken.insert(Lower(name + ext)).second; ++n) name = SafeName(GroupName(g)) + "-" + std::to_string(n);
            const std::string out = into[k] + "/" + name + ext;
            if (int wrong = WriteBytes(out, g.File)) {
                rc = wrong;
                continue;
            }
            const char* kind = g.Cursor ? "cursor" : "icon";
            if (json) {
                listed.push_back("{\"kind\": \"" + std::string(kind) + "\", \"name\": " +
                                 (g.Named ? JsonString(g.Name) : std::to_string(g.Number)) + ", \"language\": " +
                                 std::to_string(g.Language) + ", \"entries\": " + std::to_string(g.Entries) +
                                 ", \"file\": " + JsonString(out) + "}");
            } else {
                Print(stdout, "%s: %s %s, language %u, %d entries -> %s\n", path.c_str(), kind, GroupName(g).c_str(),
                      g.Language, g.Entries, out.c_str());
            }
        }
        if (json) {
            std::vector<std::string> skipped;
            for (const std::string& s : program.Skipped) skipped.push_back(JsonString(s));
            Print(stdout, "{\"file\": %s, \"groups\": %s, \"not_read\": %s}\n", JsonString(path).c_str(),
                  JsonList(listed).c_str(), JsonList(skipped).c_str());
        }
        return rc;
    });
    return BatchDone(failed, files.size(), "wholly extracted", json);
}

}  // namespace cli
