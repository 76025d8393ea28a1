// pixtor-cli: what its commands share. Each command has a file of its own
// (Info, Convert, Pack, Unpack, Strip); main.cpp holds the usage text and
// hands each command its arguments.
#pragma once
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>
#include "document/Document.h"
#include "formats/ByteStream.h"
#include "formats/IconEntries.h"
#include "formats/ProgramIcons.h"
#include "tools/cli/Terminal.h"

namespace cli {

extern const char* const Program;            // "pixtor-cli"
extern const char* const NotSupportedIcon;   // "Current image format is not supported."
constexpr int ExitFailure = 1;               // a file could not be read or written
constexpr int ExitUsage = 2;                 // the command line is wrong

// The usage on standard error, after problem if given; returns ExitUsage.
int Usage(const char* problem = nullptr);
// The program's own message of a file error code on a line of its own,
// then "pixtor-cli: PATH: detail"; return ExitFailure.
int Fail(int code, const std::string& path, const std::string& detail = std::string());
int FailWith(const char* message, const std::string& path, const std::string& detail);
int FailPlain(const std::string& path, const std::string& detail);
void Warn(const std::string& path, const char* text);

std::string LowerExtension(const std::string& path);
bool IsTextName(const std::string& path);
bool ParseInt(const std::string& s, int& value);
// Takes "--name value" or "--name=value" at args[i]; moves i past it.
bool OptionValue(const std::vector<std::string>& args, size_t& i, const std::string& name, std::string& value,
                 bool& missing);
// The arguments of a command that takes only --out DIR, --json and at least
// one FILE; 0, or the usage status (told) of arguments it cannot take.
int FolderAndFiles(const std::vector<std::string>& args, const char* command, std::string& folder, bool& json,
                   std::vector<std::string>& files);

// A file open for reading, by any name; err is errno when it could not be.
class InputFile {
public:
    explicit InputFile(const std::string& path);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    std::FILE* file;
    int err;
};
int CantOpen(const std::string& path, int err);

// A picture of the editor's: 16x16 or 32x32 colour references.
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

// A text image, a PNG or an icon; `size` is the size asked of an icon of
// several pictures (0: its best). Reports and returns non-zero on failure.
int LoadImage(const std::string& path, Image& image, int size = 0);
// Every entry of an icon or cursor, or of a program's first icon group
// (looked at, not decoded); reports and returns non-zero when none can be
// read.
int LoadEntries(const std::string& path, IconEntries& entries);
// The icon and cursor groups of a program or library; reports and returns
// non-zero when it cannot be read.
int LoadProgram(const std::string& path, ProgramIcons& program);
// The whole file, refused beyond limit bytes.
int ReadWhole(const std::string& path, long limit, const char* what, std::string& bytes);
std::string Describe(const IconEntry& e);
// Why no entry of the file could be read.
std::string Reasons(const IconEntries& entries);
// A file that starts as a bitmap (a toolbar strip); the file is rewound.
bool StartsWithBM(std::FILE* f);

// Writing through the safe write; each reports and returns non-zero on failure.
int WriteOut(const std::string& path, const std::function<int(ByteStream&)>& write);
int WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
int WriteText(const std::string& path, const std::string& text);
int WritePng(const std::string& path, int pace, const uint32_t* pixels);

// The end of a batch of files: with json its summary (when there were
// several), and a line for the files that failed; the batch's exit status.
int BatchDone(int failed, size_t files, const char* done, bool json);

// IN's name without its extension (or with it), beside IN or in folder.
std::string OutputStem(const std::string& in, const std::string& folder, bool keepExtension = false);
// Makes folder by any name; false when it could not be made.
bool MakeFolder(const std::string& folder);

// The command line after the program's name; its exit status.
int Run(std::vector<std::string> args);
int Info(const std::string& path, bool json);
int Convert(const std::vector<std::string>& args);
int Pack(const std::vector<std::string>& args);
int Extract(const std::vector<std::string>& args);
// JSON texts: a string, escaped; a list of JSON values.
std::string JsonString(const std::string& text);
std::string JsonList(const std::vector<std::string>& items);
int Unpack(const std::vector<std::string>& args);
int StripJoin(std::vector<std::string> args);
int StripSplit(std::vector<std::string> args);

}  // namespace cli
