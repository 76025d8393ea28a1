#include "tests/gui/Harness.h"
#include <shlobj.h>
#include "platform/Prompt.h"
#include "shell/Shell.h"

std::string TestFolder(const std::string& name) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::string folder = Utf8Text(temp) + name + "\\";
    CreateDirectoryW(Wide(folder).c_str(), nullptr);
    return folder;
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::vector<uint8_t> bytes;
    HANDLE f = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return bytes;
    uint8_t chunk[65536];
    DWORD got = 0;
    while (ReadFile(f, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.insert(bytes.end(), chunk, chunk + got);
    CloseHandle(f);
    return bytes;
}

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    HANDLE f = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD put = 0;
    const bool whole = bytes.empty() || (WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr) &&
                                         put == bytes.size());
    return CloseHandle(f) && whole;
}

bool Exists(const std::string& path) { return GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

std::map<std::string, std::vector<uint8_t>> FilesOf(const std::string& folder) {
    std::map<std::string, std::vector<uint8_t>> files;
    WIN32_FIND_DATAW found;
    HANDLE h = FindFirstFileW(Wide(folder + "*").c_str(), &found);
    for (BOOL more = h != INVALID_HANDLE_VALUE; more; more = FindNextFileW(h, &found))
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            files[Utf8Text(found.cFileName)] = ReadBytes(folder + Utf8Text(found.cFileName));
    if (h != INVALID_HANDLE_VALUE) FindClose(h);
    return files;
}

void EmptyFolder(const std::string& folder) {
    for (const auto& file : FilesOf(folder)) {
        const std::wstring path = Wide(folder + file.first);
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path.c_str());
    }
}

std::vector<PromptRecord> Prompts;
std::vector<DialogRecord> Dialogs;
Person ThePerson;

static int WINAPI AskThePerson(HWND, const char* text, const char* caption, UINT type) {
    Prompts.push_back({text ? text : "", caption ? caption : "", type});
    return ThePerson.Prompt ? ThePerson.Prompt(Prompts.back()) : IDNO;
}

// The dialog as the person sees it, and the name typed into it as the
// system's dialog hands it back: the path and the name with its extension.
static BOOL FileDialog(OPENFILENAMEW* ofn, bool save) {
    std::string filter;
    for (const wchar_t* p = ofn->lpstrFilter; p && *p; p += lstrlenW(p) + 1) filter += Utf8Text(p) + "|";
    Dialogs.push_back({save, Utf8Text(ofn->lpstrFile ? ofn->lpstrFile : L""), filter,
                       Utf8Text(ofn->lpstrDefExt ? ofn->lpstrDefExt : L""), ofn->Flags, ofn->lStructSize});
    const std::string typed = ThePerson.FileDialog ? ThePerson.FileDialog(Dialogs.back()) : std::string();
    if (typed.empty()) return FALSE;
    const std::wstring name = Wide(typed);
    if (name.size() >= ofn->nMaxFile) return FALSE;   // the system's dialog refuses it
    lstrcpynW(ofn->lpstrFile, name.c_str(), static_cast<int>(ofn->nMaxFile));
    const wchar_t* title = name.c_str() + (name.find_last_of(L"\\/") + 1);   // npos + 1 is 0: no folder
    if (ofn->lpstrFileTitle) lstrcpynW(ofn->lpstrFileTitle, title, static_cast<int>(ofn->nMaxFileTitle));
    return TRUE;
}
static BOOL WINAPI OpenDialog(OPENFILENAMEW* ofn) { return FileDialog(ofn, false); }
static BOOL WINAPI SaveDialog(OPENFILENAMEW* ofn) { return FileDialog(ofn, true); }
static BOOL WINAPI ColourDialog(CHOOSECOLORA* cc) { return ThePerson.Colour ? ThePerson.Colour(cc) : FALSE; }

HWND StartEditor(const std::string& commandLine) {
    PixtorPrompt = AskThePerson;
    PixtorSavePrompt = [](HWND, const HBITMAP*) { return ThePerson.SavePrompt ? ThePerson.SavePrompt() : 1; };
    PixtorOpenDialog = OpenDialog;
    PixtorSaveDialog = SaveDialog;
    PixtorColourDialog = ColourDialog;
    PixtorWriteFault = [](const char* path) { return ThePerson.Disk ? ThePerson.Disk(path) : -1LL; };
    SetCursorPos(0, 0);
    static std::wstring line;
    line = Wide(commandLine);
    return PixtorStartUp(GetModuleHandleA(nullptr), line.c_str(), SW_SHOW);
}

void StopEditor(HWND main) {
    const bool closing = main && IsWindow(main);
    if (closing) DestroyWindow(main);
    // Up to the quit the window posts as it goes (a window already gone has
    // had it taken), then whatever else is left: the hot-spot window posts a
    // quit of its own, and no stale quit may end the next dialogs.
    bool quit = !closing;
    MSG msg;
    for (const DWORD until = GetTickCount() + 5000; GetTickCount() < until;) {
        const bool got = PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);
        if (!got && quit) break;
        if (!got) Sleep(1);
        else if (msg.message == WM_QUIT) quit = true;
        else DispatchMessageA(&msg);
    }
    ClipCursor(nullptr);
    PixtorTeardown();
}

void DropFile(HWND main, const std::string& path) {
    const std::wstring name = Wide(path);
    HGLOBAL drop = GlobalAlloc(GHND, sizeof(DROPFILES) + (name.size() + 2) * sizeof(wchar_t));
    auto* files = static_cast<DROPFILES*>(GlobalLock(drop));
    files->pFiles = sizeof(DROPFILES);
    files->fWide = TRUE;
    name.copy(reinterpret_cast<wchar_t*>(files + 1), name.size());
    GlobalUnlock(drop);
    SendMessageA(main, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);   // the editor frees it
}
