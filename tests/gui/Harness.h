// The person at the editor, for the window tests and the random session
// alike: the answers to every question and dialog the program asks (with a
// record of each), the files of a test folder, and the real editor started
// and taken down in this process. Names are UTF-8 here, as in the program.
#pragma once
#include <windows.h>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>
#include "platform/WideNames.h"

// ---- Files ------------------------------------------------------------------
inline std::wstring Wide(const std::string& utf8) { return WideText(utf8); }
// A folder of that name under the temporary folder, made; with its last '\'.
std::string TestFolder(const std::string& name = "pixtor-file-test");
std::vector<uint8_t> ReadBytes(const std::string& path);
bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
bool Exists(const std::string& path);
// The files of a folder (not its folders), by name, with their bytes.
std::map<std::string, std::vector<uint8_t>> FilesOf(const std::string& folder);
inline int FilesIn(const std::string& folder) { return static_cast<int>(FilesOf(folder).size()); }
void EmptyFolder(const std::string& folder);

// ---- The person's answers -------------------------------------------------
struct PromptRecord { std::string Text, Caption; UINT Type; };
struct DialogRecord {
    bool Save;
    std::string Initial, Filter, DefaultExtension;   // Filter: its strings, each ended by '|'
    DWORD Flags, Size;
};
// Every question and file dialog since the record was last cleared.
extern std::vector<PromptRecord> Prompts;
extern std::vector<DialogRecord> Dialogs;

struct Person {
    std::function<int(const PromptRecord&)> Prompt;
    std::function<int()> SavePrompt;                        // 0 yes, 1 no, 2 cancel
    std::function<std::string(const DialogRecord&)> FileDialog;   // the name typed; "" cancels
    std::function<BOOL(CHOOSECOLORA*)> Colour;
    std::function<long long(const std::string&)> Disk;      // bytes a write may take; -1 all
};
// Who answers; the editor's seams ask it from StartEditor on.
extern Person ThePerson;

// The editor on this command line (after the program's name), the pointer kept
// off the board lest a stray move change what a test reads; 0 if it did not start.
HWND StartEditor(const std::string& commandLine);
// Destroys the window if it stands, handles what is left of its messages
// and releases what the start-up made.
void StopEditor(HWND main);
// A file dropped on the window as the shell drops it.
void DropFile(HWND main, const std::string& path);
// Whether the item id of the menu carries a check mark.
inline bool Checked(void* menu, UINT id) {
    return (GetMenuState(static_cast<HMENU>(menu), id, MF_BYCOMMAND) & MF_CHECKED) != 0;
}
