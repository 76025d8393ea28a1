// pixtor-cli: the editor's file codecs for scripts and build pipelines. The
// usage of every command is here, in one table; each command is a file of
// its own.
//
// Exit status: 0 done, 1 a file could not be read or written (the
// program's own message on stderr), 2 a usage error.
#include <algorithm>
#include <new>
#include <string>
#include <vector>
#include "document/FileNames.h"
#include "formats/FileErrors.h"
#include "tools/cli/Cli.h"

namespace cli {

namespace {

struct CommandHelp {
    const char* Name;
    const char* Synopsis;   // one line a form, each after "pixtor-cli "
    const char* Text;
};

const CommandHelp Commands[] = {
    {"info", "info [--json] FILE\n",
     "Tells what FILE holds: an icon's or cursor's size, depth and hot spot as\n"
     "convert reads it and every entry it holds (size, depth, PNG or bitmap, hot\n"
     "spot) and why any could not be read; a strip's images; a program's icon and\n"
     "cursor groups (name or number, language, entries). --json: one object.\n"},
    {"convert",
     "convert IN OUT [--size 16|32] [--depth 1|4|8|24] [--hotspot X,Y] [--entry N] [--json]\n"
     "convert --to ico|cur|png|txt [--out DIR] [options] IN...\n",
     "IN and OUT are .ico, .cur, .png or .txt files; an OUT whose last extension is\n"
     "cur (any case) is written as a cursor. A .txt image is 16 or 32 lines of 16\n"
     "or 32 blank-separated RRGGBB values, top row first; 5F6F6F marks a\n"
     "transparent pixel. A .png is read in any colour type, 16x16 or 32x32, a\n"
     "pixel of alpha below 128 as transparent, and written as 8-bit RGBA,\n"
     "transparent pixels with alpha 0. Without --size or --depth the input's own\n"
     "size and depth are kept (24 bits for a .txt or .png). The hot spot is\n"
     "--hotspot, else the input cursor's (scaled with --size), else 0,0. An icon\n"
     "or cursor of several pictures, or of pictures other than 16x16 and 32x32 of\n"
     "up to 24 bits, or a program, gives its best picture for the size (32 unless\n"
     "--size or only smaller ones), or entry N with --entry (from 1). With --to,\n"
     "each IN is converted to a file of that kind beside it, or in DIR, on every\n"
     "core. --json: an object for each file written (and a summary of several).\n"},
    {"pack",
     "pack OUT.ico|OUT.cur IN... [--sizes LIST] [--png 256|all|none] [--depth 32|auto] [--hotspot X,Y] [--json]\n"
     "pack --list FILE [options]\n",
     "Writes one icon (or cursor) of all its inputs' pictures: square PNGs of 1 to\n"
     "256 pixels, .txt images, and every entry of icons and cursors, kept as they\n"
     "are stored. Entries go in ascending size, then depth; two of one size and\n"
     "depth from different inputs are refused. With --sizes (e.g.\n"
     "16,24,32,48,256) the file holds those sizes: each taken from an input of\n"
     "that size, else made from the nearest larger one; a size larger than every\n"
     "input is left out. A picture is stored as 32 bits with alpha and a mask, or\n"
     "(--depth auto) at the smallest depth that keeps it exactly, and as PNG at\n"
     "256 pixels (--png all or none: at every size or none). A cursor's hot spot\n"
     "is --hotspot in the largest picture's pixels, scaled to each size, or a\n"
     "cursor input's own. --json: the entries written, as one object. --list\n"
     "FILE packs many files on every core, a line of FILE each: OUT and its\n"
     "INs apart by tabs; the options go for every line (--json: an object for\n"
     "each file and a summary).\n"},
    {"unpack", "unpack [--out DIR] [--json] FILE...\n",
     "Writes every entry of each FILE as a PNG of its own size, with its\n"
     "transparency as alpha, named FILE.ico-WxH-Dbit.png (FILE.ico-WxH-png.png\n"
     "for a PNG entry, as it is stored) beside FILE or in DIR, on every core.\n"
     "--json: an object for each file (and a summary of several).\n"},
    {"extract", "extract [--out DIR] [--json] FILE...\n",
     "Writes each icon group of a Windows program or library (32-bit, 64-bit or\n"
     "16-bit, .icl libraries too) as one icon file of all its sizes, and each\n"
     "cursor group as one cursor file, named by the group's name or number, into\n"
     "DIR (the current folder unless --out); of several programs, each into a\n"
     "folder of its own name, on every core. --json: an object for each file\n"
     "(and a summary of several).\n"},
    {"strip", "strip join OUT.bmp IN... [--json]\nstrip split [--txt] IN.bmp PREFIX [--json]\n",
     "join writes the images (.ico, .cur, .png or .txt, all of one size) side by\n"
     "side as a 32-bit toolbar bitmap; split writes PREFIX-0.png, PREFIX-1.png,\n"
     "... (PREFIX-0.txt, ... with --txt). --json: what was written, as one object.\n"},
};

const char* const ExitStatus =
    "Exit status: 0 done; 1 a file could not be read or written (the message on\n"
    "standard error, then the file and why); 2 the command line is wrong.\n";

const CommandHelp* Current = nullptr;   // the command being run, for its usage

const CommandHelp* Find(const std::string& name) {
    for (const CommandHelp& c : Commands)
        if (name == c.Name) return &c;
    return nullptr;
}

// "usage: pixtor-cli FORM" and the command's other forms under it.
std::string Synopsis(const CommandHelp& c, bool first) {
    std::string lines, forms = c.Synopsis;
    for (size_t at = 0; at < forms.size();) {
        const size_t end = forms.find('\n', at);
        lines += std::string(first ? "usage: " : "       ") + "pixtor-cli " + forms.substr(at, end - at) + "\n";
        first = false;
        at = end + 1;
    }
    return lines;
}

std::string Help() {
    std::string text;
    for (const CommandHelp& c : Commands) text += Synopsis(c, text.empty());
    return text + "       pixtor-cli --version\n\n"
                  "Icons, cursors and toolbar strips for scripts and build pipelines.\n"
                  "'pixtor-cli COMMAND --help' (or -h) tells a command's options; 'man\n"
                  "pixtor-cli' tells them all, with examples.\n\n" +
           ExitStatus;
}

bool AsksForHelp(const std::vector<std::string>& args) {
    return std::any_of(args.begin(), args.end(), [](const std::string& a) { return a == "--help" || a == "-h"; });
}

int Command(std::vector<std::string> args) {
    if (args.empty()) return Usage();
    const std::string command = args[0];
    args.erase(args.begin());
    if (command == "-h" || command == "--help") {
        Print(stdout, "%s", Help().c_str());
        return 0;
    }
    if (command == "--version") {
        Print(stdout, "pixtor-cli %s\n", PIXTOR_VERSION);
        return 0;
    }
    Current = Find(command);
    if (!Current) return Usage(("unknown command '" + command + "'").c_str());
    if (AsksForHelp(args)) {
        Print(stdout, "%s\n%s\n%s", Synopsis(*Current, true).c_str(), Current->Text, ExitStatus);
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
    if (command == "pack") return Pack(args);
    if (command == "unpack") return Unpack(args);
    if (command == "extract") return Extract(args);
    if (args.empty()) return Usage("strip takes join or split");
    const std::string sub = args[0];
    args.erase(args.begin());
    if (sub == "join") return StripJoin(args);
    if (sub == "split") return StripSplit(args);
    return Usage(("unknown strip command '" + sub + "'").c_str());
}

}  // namespace

int Usage(const char* problem) {
    if (problem) Print(stderr, "%s: %s\n", Program, problem);
    if (Current)
        Print(stderr, "%sTry 'pixtor-cli %s --help'.\n", Synopsis(*Current, true).c_str(), Current->Name);
    else
        Print(stderr, "%sTry 'pixtor-cli --help'.\n", Help().substr(0, Help().find("\n\n") + 1).c_str());
    return ExitUsage;
}

int Run(std::vector<std::string> args) {
    try {
        return Command(std::move(args));
    } catch (const std::bad_alloc&) {
        Print(stderr, "%s\n", FileErrorMessage(FileNoMemory));
        return ExitFailure;
    }
}

}  // namespace cli

#ifdef _WIN32
// The arguments as the system holds them, each in UTF-8.
int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.push_back(Utf8Loosely(reinterpret_cast<const char16_t*>(argv[i]), std::char_traits<wchar_t>::length(argv[i])));
    return cli::Run(args);
}
#else
#ifdef __GLIBC__
#include <malloc.h>
#endif
int main(int argc, char** argv) {
#ifdef M_MMAP_THRESHOLD
    // A batch decodes pictures by the thousand: the memory of one is kept
    // for the next rather than handed back to the system and faulted in
    // again each time.
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 64 << 20);
#endif
    return cli::Run(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc));
}
#endif
