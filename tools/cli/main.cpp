// pixtor-cli: the editor's file codecs for scripts and build pipelines.
//
//   pixtor-cli info [--json] FILE
//   pixtor-cli convert IN OUT [--size 16|32] [--depth 1|4|8|24] [--hotspot X,Y] [--entry N]
//   pixtor-cli convert --to ico|cur|png|txt [--out DIR] [options] IN...
//   pixtor-cli pack OUT.ico|OUT.cur IN... [--sizes LIST] [--png 256|all|none] [--depth 32|auto] [--hotspot X,Y]
//   pixtor-cli unpack [--out DIR] FILE...
//   pixtor-cli extract [--out DIR] [--json] FILE...
//   pixtor-cli strip join OUT.bmp IN...
//   pixtor-cli strip split [--txt] IN.bmp PREFIX
//
// Exit status: 0 done, 1 a file could not be read or written (the
// program's own message on stderr), 2 a usage error.
#include <algorithm>
#include <string>
#include <vector>
#include <new>
#include "document/FileNames.h"
#include "formats/FileErrors.h"
#include "tools/cli/Cli.h"

namespace cli {

const char* const UsageText =
    "usage: pixtor-cli info [--json] FILE\n"
    "       pixtor-cli convert IN OUT [--size 16|32] [--depth 1|4|8|24] [--hotspot X,Y] [--entry N]\n"
    "       pixtor-cli convert --to ico|cur|png|txt [--out DIR] [options] IN...\n"
    "       pixtor-cli pack OUT.ico|OUT.cur IN... [--sizes LIST] [--png 256|all|none] [--depth 32|auto]\n"
    "                  [--hotspot X,Y]\n"
    "       pixtor-cli unpack [--out DIR] FILE...\n"
    "       pixtor-cli extract [--out DIR] [--json] FILE...\n"
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
    "pack writes one icon (or cursor) of all its inputs' pictures: square PNGs\n"
    "of 1 to 256 pixels, .txt images, and every entry of icons and cursors, kept\n"
    "as they are stored. Entries go in ascending size, then depth; two of one\n"
    "size and depth from different inputs are refused. With --sizes (e.g.\n"
    "16,24,32,48,256) the file holds those sizes: each taken from an input of\n"
    "that size, else made from the nearest larger one; a size larger than every\n"
    "input is left out. A picture is stored as 32 bits with alpha and a mask,\n"
    "or (--depth auto) at the smallest depth that keeps it exactly, and as PNG\n"
    "at 256 pixels (--png all or none: at every size or none). A cursor's hot\n"
    "spot is --hotspot in the largest picture's pixels, scaled to each size, or\n"
    "a cursor input's own.\n"
    "\n"
    "unpack writes every entry of each FILE as a PNG of its own size, with its\n"
    "transparency as alpha, named FILE.ico-WxH-Dbit.png (FILE.ico-WxH-png.png\n"
    "for a PNG entry, as it is stored) beside FILE or in DIR.\n"
    "\n"
    "extract writes each icon group of a Windows program or library (32-bit,\n"
    "64-bit or 16-bit, .icl libraries too) as one icon file of all its sizes, and\n"
    "each cursor group as one cursor file, named by the group's name or number,\n"
    "into DIR (the current folder unless --out); of several programs, each into\n"
    "a folder of its own name. --json tells each file's groups as one object.\n"
    "info FILE lists a program's groups.\n"
    "\n"
    "strip join writes the images (.ico, .cur, .png or .txt, all of one size)\n"
    "side by side as a 32-bit toolbar bitmap; strip split writes PREFIX-0.png,\n"
    "PREFIX-1.png, ... (PREFIX-0.txt, ... with --txt).\n";

int Usage(const char* problem) {
    if (problem) Print(stderr, "%s: %s\n", Program, problem);
    Print(stderr, "%s", UsageText);
    return ExitUsage;
}

int Command(std::vector<std::string> args) {
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
    if (command == "pack") return Pack(args);
    if (command == "unpack") return Unpack(args);
    if (command == "extract") return Extract(args);
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
int main(int argc, char** argv) { return cli::Run(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc)); }
#endif
