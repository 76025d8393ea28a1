// A long random session with the real editor in this process. From a seed
// it takes the actions a person could take, answers every question any way,
// and after each action checks what must always hold. The same seed and
// count repeat the same session.
//
//   pixtor_monkey ACTIONS SEED FOLDER [LIBRARY]        (folders by any name)
//
// FOLDER is the scratch folder, emptied first; FOLDER\kept receives one copy
// of every distinct file the editor wrote, with the picture our reader saw
// in it (.txt), for readers that are not ours; FOLDER\log\actions.txt
// lists every action. LIBRARY is a library with icons for Extract. Exit
// status 0, or 1 with the seed and the last actions.
#include <windows.h>
#include <commctrl.h>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>
#include "colour/Palette.h"
#include "document/Document.h"
#include "document/Undo.h"
#include "formats/ByteStream.h"
#include "formats/FileErrors.h"
#include "formats/IcFormat.h"
#include "formats/PngImage.h"
#include "formats/StripBitmap.h"
#include "resources/Ids.h"
#include "shell/Shell.h"
#include "strip/StripList.h"
#include "strip/ToolBarStrip.h"
#include "tests/gui/Harness.h"

namespace {

// ---- The session: its seed, its random numbers and its record -------------
unsigned long Seed, Actions, Done;
unsigned long long Random;
unsigned Next() {
    Random ^= Random << 13;
    Random ^= Random >> 7;
    Random ^= Random << 17;
    return static_cast<unsigned>(Random >> 32);
}
int Below(int n) { return static_cast<int>(Next() % static_cast<unsigned>(n)); }
bool OneIn(int n) { return Below(n) == 0; }

constexpr int Remembered = 50;
std::string Recent[Remembered];   // the last actions, by action number
std::string& Now() { return Recent[Done % Remembered]; }
template <typename... Args> std::string Text(const char* format, Args... args) {
    char text[512];
    snprintf(text, sizeof text, format, args...);
    return text;
}
template <typename... Args> void Say(const char* format, Args... args) { Now() += Text(format, args...); }

template <typename... Args> [[noreturn]] void Fail(const char* format, Args... args) {
    printf("\nFAILED at action %lu of %lu, seed %lu: %s\nThe last actions:\n", Done, Actions, Seed,
           Text(format, args...).c_str());
    for (unsigned long k = Done >= Remembered ? Done - Remembered + 1 : 0; k <= Done; ++k)
        printf("  %5lu  %s\n", k, Recent[k % Remembered].c_str());
    printf("Replay: tools/monkey %s%lu %lu\n", sizeof(void*) == 4 ? "--i686 " : "", Done + 1, Seed);
    fflush(stdout);
    TerminateProcess(GetCurrentProcess(), 1);
    for (;;) {}
}

// A crash or a hang ends the session with its record, not silently.
LONG WINAPI OnCrash(EXCEPTION_POINTERS* e) {
    Fail("crash: exception %08lx at %p", e->ExceptionRecord->ExceptionCode, e->ExceptionRecord->ExceptionAddress);
}
volatile LONG Heartbeat;
DWORD WINAPI Watchdog(void*) {
    for (LONG last = -1;; Sleep(30000)) {
        if (Heartbeat == last) Fail("hang: one action took more than 30 s");
        last = Heartbeat;
    }
}

// ---- The scratch folder ---------------------------------------------------
std::string Scratch, Library;
std::string In(const std::string& name) { return Scratch + name; }

void WriteAll(const std::string& path, const std::vector<uint8_t>& bytes) {
    if (!WriteBytes(path, bytes)) Fail("the harness cannot write %s", path.c_str());
}

std::vector<uint32_t> SomePicture() {
    std::vector<uint32_t> pixels(ImagePixels);
    for (uint32_t& p : pixels) p = OneIn(5) ? MaskColor : (Next() & 0x00FFFFFFu);
    return pixels;
}

std::vector<uint8_t> IconFile(int index, bool cursor) {
    MemoryStream out;
    const std::vector<uint32_t> pixels = SomePicture();
    Format(out, pixels.data(), index, cursor, static_cast<uint16_t>(Below(16)), static_cast<uint16_t>(Below(16)));
    return out.data;
}

// Files of other programs: a modern icon holding a PNG, a PNG and a file
// that is no icon.
void WriteOddFiles() {
    const std::vector<uint8_t> png = EncodePng(32, SomePicture().data());
    WriteAll(In("pic.png"), png);
    std::vector<uint8_t> modern = {0, 0, 1, 0, 1, 0, 32, 32, 0, 0, 1, 0, 32, 0, 0, 0, 0, 0, 22, 0, 0, 0};
    for (int k = 0; k < 4; ++k) modern[14 + k] = static_cast<uint8_t>(png.size() >> (8 * k));
    modern.resize(modern.size() + png.size());
    std::copy(png.begin(), png.end(), modern.end() - static_cast<std::ptrdiff_t>(png.size()));
    WriteAll(In("modern.ico"), modern);
    WriteAll(In("refused.ico"), {'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'c', 'o', 'n'});
}

// What a person finds in the folder: icons, a cursor, a strip, the files of
// other programs and a read-only icon; gone.ico, offered to open, never exists.
void FillFolder() {
    for (const char* folder : {"", "kept", "log"}) CreateDirectoryW(Wide(In(folder)).c_str(), nullptr);
    EmptyFolder(Scratch);
    WriteAll(In("a.ico"), IconFile(5, false));
    WriteAll(In("b.cur"), IconFile(2, true));
    StripImages strip{16, 3, SomePicture()};
    strip.Pixels.resize(3 * 256);
    MemoryStream s;
    WriteStripBitmap(s, strip);
    WriteAll(In("s.bmp"), s.data);
    WriteOddFiles();
    WriteAll(In("ro.ico"), IconFile(0, false));
    SetFileAttributesW(Wide(In("ro.ico")).c_str(), FILE_ATTRIBUTE_READONLY);
}

// ---- Answers to every question --------------------------------------------
// This action: Save or Save as ran and nothing was read after it, a file
// dialog was cancelled, and the conversion question was answered No.
bool SaveCommand, DialogCancelled, ConvertDeclined;

// The editor asks Yes or No, or tells with OK.
int AnswerPrompt(const PromptRecord& p) {
    const UINT kind = p.Type & MB_TYPEMASK;
    if (kind != MB_YESNO && kind != MB_OK) Fail("a question of kind %u: \"%s\"", kind, p.Text.c_str());
    const int answer = kind == MB_OK ? IDOK : OneIn(2) ? IDYES : IDNO;
    if (p.Text == ConvertQuestion && answer == IDNO) ConvertDeclined = true;
    Say(" | \"%s\": %d", p.Text.c_str(), answer);
    return answer;
}

int AnswerSavePrompt() {
    const int answer = Below(3);
    Say(" | save prompt: %s", answer == 0 ? "yes" : answer == 1 ? "no" : "cancel");
    return answer;
}

// The names a person types, some as people in other countries name their
// files: the first ten to save, all to open.
const char* const Names[] = {"a.ico", "b.cur", "日本語 café.ico", "n.cur", "s.bmp", "favicon[1].bmp", "ro.ico",
                             "modern.ico", "refused.ico", "no folder\\x.ico", "pic.png", "gone.ico"};

// The files the editor may write: those the person named in a save dialog
// since they were last read, and those last read whole (named in the open
// dialog, or dropped). A file read with loss is the person's to name again.
std::map<std::string, bool> MayWrite;
std::string ReadName;                       // the file opened or dropped in this action
std::map<std::string, int> WrittenNow;      // the files the editor wrote in this action

// Save and Save as, however they came to the main window.
LRESULT CALLBACK SeeCommands(int code, WPARAM wParam, LPARAM lParam) {
    const auto* m = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && m->message == WM_COMMAND && m->hwnd == hWinMain &&
        (LOWORD(m->wParam) == IDM_SAVE || LOWORD(m->wParam) == IDM_SAVEAS))
        SaveCommand = true;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

std::string AnswerFileDialog(const DialogRecord& d) {
    if (OneIn(6)) {
        DialogCancelled = true;
        Say(" | file dialog: cancel");
        return "";
    }
    const bool extract = d.Filter.find("Executable") != std::string::npos;
    const std::string name = extract && !Library.empty() && !OneIn(4) ? Library : In(Names[Below(d.Save ? 10 : 12)]);
    Say(" | file dialog: %s", name.compare(0, Scratch.size(), Scratch) ? name.c_str() : name.c_str() + Scratch.size());
    if (d.Save) {
        MayWrite[name] = true;
    } else if (!extract) {
        SaveCommand = false;   // what is read after a save is no longer what was saved
        ReadName = name;
    }
    return name;
}

// Every write asks the disk: now and then it fills up part-way.
long long Disk(const std::string& path) {
    if (!MayWrite[path])
        Fail("the editor writes %s, which the person has not named since it was last read", path.c_str());
    ++WrittenNow[path];
    if (!OneIn(8)) return -1;
    const long long room = Below(1 << Below(13));   // often less than a picture, now and then more
    Say(" | the disk fills up after %lld bytes", room);
    return room;
}

// What this action's read made of the file, judged as the person would by
// the file itself: read whole, it may be written again by Save; read with
// loss (converted, the first of several, a PNG), only once named again; not
// taken at all (missing, refused, declined, an error shown), as it was.
void SettleRead() {
    const std::string name = std::exchange(ReadName, std::string());
    if (name.empty() || !Exists(name) || ConvertDeclined) return;
    for (const PromptRecord& p : Prompts)
        if (p.Caption == "Error" && p.Text != "Error writing file!" && p.Text != "Can't open file") return;
    const std::vector<uint8_t> bytes = ReadBytes(name);
    MemoryStream in(bytes);
    StripImages strip;
    std::vector<uint32_t> pixels(ImagePixels);
    if (ToolBarStr.StripActive) MayWrite[name] = ReadStripBitmap(in, strip) == 0;
    else if (StartsAsPng(bytes.data(), bytes.size())) MayWrite[name] = false;
    else if (const IconReadResult r = FormatOpen(in, pixels.data()); r.Outcome != IconUnknownDepth)
        MayWrite[name] = r.Outcome == IconLoaded && !r.MultiImageWarning;
}

BOOL AnswerColour(CHOOSECOLORA* cc) {
    if (OneIn(3)) {
        Say(" | colours: cancel");
        return FALSE;
    }
    cc->rgbResult = OneIn(8) ? MaskColor : (Next() & 0x00FFFFFFu);
    if (OneIn(2)) cc->lpCustColors[Below(16)] = Next() & 0x00FFFFFFu;
    Say(" | colours: %06lx", static_cast<unsigned long>(cc->rgbResult));
    return TRUE;
}

// About and Extract run dialogs of their own; the person answers them at
// the first look after they came up.
HWND Main;
HWND OpenDialog() {
    struct Find { static BOOL CALLBACK One(HWND w, LPARAM out) {
        char cls[16] = {};
        GetClassNameA(w, cls, sizeof cls);
        if (!IsWindowVisible(w) || strcmp(cls, "#32770") || w == hModlessDlg || w == hMenuDialogue) return TRUE;
        *reinterpret_cast<HWND*>(out) = w;
        return FALSE;
    } };
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), Find::One, reinterpret_cast<LPARAM>(&found));
    return found;
}

void CALLBACK PersonLooks(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND dlg = OpenDialog();
    if (!dlg) return;
    KillTimer(nullptr, timer);
    if (HWND tree = GetDlgItem(dlg, IDC_EXTRACTTREE)) {
        const HTREEITEM root = TreeView_GetRoot(tree);
        std::vector<HTREEITEM> items(root ? 1 : 0, root);
        for (HTREEITEM c = root ? TreeView_GetChild(tree, root) : nullptr; c; c = TreeView_GetNextSibling(tree, c))
            items.push_back(c);
        if (!items.empty() && !OneIn(4)) {
            const int k = Below(static_cast<int>(items.size()));
            TreeView_SelectItem(tree, items[k]);
            Say(" | extractor: item %d of %d", k, static_cast<int>(items.size()));
        }
        if (OneIn(3)) SendMessageA(dlg, WM_COMMAND, IDCANCEL, 0);   // Escape keeps it open
    }
    SendMessageA(dlg, WM_COMMAND, IDC_ABOUTOK, 0);
}

// ---- Messages ---------------------------------------------------------------
bool Quit;
void Settle() {
    for (int round = 0; round < 50; ++round) {
        MSG msg;
        bool any = false;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            any = true;
            if (msg.message == WM_QUIT) { Quit = true; continue; }
            if (PixtorPreTranslate(&msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (IsWindow(Main)) RedrawWindow(Main, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        if (!any) return;
    }
}

void Command(int id) { SendMessageA(Main, WM_COMMAND, id, 0); }

void Click(int id) {
    if (HWND button = GetDlgItem(Main, id)) SendMessageA(button, BM_CLICK, 0, 0);
    else Command(id);
}

// ---- Actions ----------------------------------------------------------------
LPARAM Somewhere(HWND w, int margin) {
    RECT rc;
    GetClientRect(w, &rc);
    return MAKELPARAM(Below(rc.right + 2 * margin) - margin, Below(rc.bottom + 2 * margin) - margin);
}

struct Key { int Id; BYTE Vk; bool Control; };
const Key Keys[] = {{IDM_EXTRACT, 'E', false}, {IDM_SAVEAS, 'A', false}, {IDM_SAVE, 'S', false},
                    {IDM_OPEN, 'O', false},    {IDM_NEW, 'N', false},    {IDM_UNDO, 'U', false},
                    {IDM_UNDOBACK, 'B', false}, {IDM_COPY, 'C', true},   {IDM_PASTE, 'V', true},
                    {IDM_PALETTE, 'P', false}};

// A key as the keyboard sends it, through the loop's accelerators.
void PressKey() {
    const Key& k = Keys[Below(sizeof Keys / sizeof Keys[0])];
    Say("keys %s+%c", k.Control ? "Ctrl" : "Alt", k.Vk);
    BYTE state[256], held[256];
    GetKeyboardState(state);
    memcpy(held, state, sizeof held);
    held[k.Control ? VK_CONTROL : VK_MENU] = 0x80;
    SetKeyboardState(held);
    HWND to = GetFocus() ? GetFocus() : Main;
    UINT_PTR timer = k.Id == IDM_EXTRACT ? SetTimer(nullptr, 0, 20, PersonLooks) : 0;
    const LPARAM alt = k.Control ? 0 : (1 << 29);
    PostMessageA(to, k.Control ? WM_KEYDOWN : WM_SYSKEYDOWN, k.Vk, 1 | alt);
    PostMessageA(to, k.Control ? WM_KEYUP : WM_SYSKEYUP, k.Vk, 1 | alt | (3u << 30));
    Settle();
    if (timer) KillTimer(nullptr, timer);
    SetKeyboardState(state);
}

void Stroke() {
    const LPARAM at = Somewhere(hwndChild, 0);
    Say("board: tool %d, press at %d,%d", DrawBar.Tool, LOWORD(at), HIWORD(at));
    SendMessageA(hwndChild, WM_LBUTTONDOWN, MK_LBUTTON, at);
    LPARAM to = at;
    // The board confines the pointer to itself while the button is down.
    for (int moves = Below(4); moves > 0; --moves) {
        to = Somewhere(hwndChild, 0);
        Say(", to %d,%d", LOWORD(to), HIWORD(to));
        SendMessageA(hwndChild, WM_MOUSEMOVE, MK_LBUTTON, to);
    }
    if (OneIn(12)) {   // a key pressed while the button is held
        Say(", ");
        PressKey();
        Say(", ");
    }
    SendMessageA(hwndChild, WM_LBUTTONUP, 0, to);
}

void PickFromBoard() {
    const LPARAM at = Somewhere(hwndChild, 0);
    Say("board: right button at %d,%d", LOWORD(at), HIWORD(at));
    SendMessageA(hwndChild, WM_RBUTTONDOWN, MK_RBUTTON, at);
    SendMessageA(hwndChild, WM_RBUTTONUP, 0, at);
}

// What a person can pick from the menus; Help starts another program.
const int MenuCommands[] = {IDM_NEW, IDM_OPEN, IDM_SAVE, IDM_SAVEAS, IDM_EXTRACT, IDM_UNDO, IDM_UNDOBACK, IDM_COPY,
                            IDM_PASTE, IDM_PALETTE, IDM_GRIDSIMPLE, IDM_GRIDINVERSION, IDM_SHOWGRID, IDM_ICONMODE,
                            IDM_TOOLBARMODE, IDM_SIZE16, IDM_SIZE32, IDM_DEPTH24, IDM_DEPTH8, IDM_DEPTH4,
                            IDM_DEPTH1, IDM_ABOUT, IDM_RESOLUTION, IDM_MINIMISE, IDM_EXIT};

bool Greyed(int id) {
    SendMessageA(Main, WM_INITMENU, reinterpret_cast<WPARAM>(MenuStr.hMainMenu), 0);
    // The menu bar holds both drop-downs; About is on the right-click menu,
    // the resolution dialog a toolbar button.
    for (void* menu : {static_cast<void*>(GetMenu(Main)), MenuStr.hPopupMenu}) {
        const UINT state = GetMenuState(static_cast<HMENU>(menu), id, MF_BYCOMMAND);
        if (state != UINT(-1)) return (state & MF_GRAYED) != 0;
    }
    return false;
}

void RunCommand(int id) {
    UINT_PTR timer = id == IDM_ABOUT || id == IDM_EXTRACT ? SetTimer(nullptr, 0, 20, PersonLooks) : 0;
    Command(id);
    if (timer) KillTimer(nullptr, timer);
    if (id == IDM_MINIMISE) ShowWindow(Main, SW_RESTORE);
}

void FromMenu() {
    const int count = sizeof MenuCommands / sizeof MenuCommands[0];
    // Exit is the last entry and comes rarely: each one restarts the editor.
    const int id = MenuCommands[OneIn(40) ? count - 1 : Below(count - 1)];
    Say("menu %d", id);
    if (Greyed(id)) { Say(" (greyed)"); return; }
    RunCommand(id);
}

void Gradient() {
    const int which = Below(4);
    HWND w = GetDlgItem(Main, which == 0 ? IDC_GRADIENT : IDC_SLIDERFIRST + 4 * (which - 1));
    if (!w) Fail("no gradient window %d", which);
    const LPARAM at = Somewhere(w, 0);
    Say("gradient %d: press at %d,%d", which, LOWORD(at), HIWORD(at));
    SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, at);
    for (int moves = which ? 1 + Below(3) : 0; moves > 0; --moves)
        SendMessageA(w, WM_MOUSEMOVE, MK_LBUTTON, Somewhere(w, 8));
    SendMessageA(w, WM_LBUTTONUP, 0, at);
}

void Resolution() {
    if (!hModlessDlg) { Say("resolution dialog"); RunCommand(IDM_RESOLUTION); return; }
    const int choices[] = {IDC_RES16, IDC_RES32, IDC_RESDEPTH1, IDC_RESDEPTH4, IDC_RESDEPTH8, IDC_RESDEPTH24,
                           IDC_RESICONMODE, IDC_RESTOOLBARMODE};
    if (OneIn(4)) { Say("resolution: OK"); SendMessageA(hModlessDlg, WM_COMMAND, IDC_RESOK, 0); return; }
    if (OneIn(8)) { Say("resolution: back to the editor"); SendMessageA(Main, WM_SETFOCUS, 0, 0); return; }
    const int id = choices[Below(8)];
    Say("resolution: radio %d", id);
    SendDlgItemMessageA(hModlessDlg, id, BM_CLICK, 0, 0);
}

void Drop() {
    ReadName = In(Names[Below(12)]);
    Say("drop %s", ReadName.c_str() + Scratch.size());
    DropFile(Main, ReadName);
    SaveCommand = false;
}

// Another program puts a picture of any size on the clipboard, or a PNG,
// or empties it.
void OtherProgramsClipboard() {
    if (!OpenClipboard(nullptr)) return;
    EmptyClipboard();
    const int what = Below(3);
    if (what == 0) {
        const int w = 1 + Below(64), h = 1 + Below(64);
        std::vector<uint32_t> bits(static_cast<size_t>(w) * h);
        for (uint32_t& b : bits) b = Next();
        HBITMAP b = CreateBitmap(w, h, 1, 32, bits.data());
        if (!SetClipboardData(CF_BITMAP, b)) DeleteObject(b);
        Say("another program copies a %dx%d bitmap", w, h);
    } else if (what == 1) {
        const std::vector<uint8_t> png = ReadBytes(In("pic.png"));
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, png.size());
        memcpy(GlobalLock(block), png.data(), png.size());
        GlobalUnlock(block);
        if (!SetClipboardData(PngClipboardFormat(), block)) GlobalFree(block);
        Say("another program copies a PNG");
    } else {
        Say("another program empties the clipboard");
    }
    CloseClipboard();
}

// Another program writes its files again, over what the editor saved there.
std::map<std::string, std::vector<uint8_t>> Before;
void OtherProgramsFiles() {
    Say("another program writes its files again");
    WriteOddFiles();
    for (const char* name : {"pic.png", "modern.ico", "refused.ico"}) Before[name] = ReadBytes(In(name));
}

struct Action { int Weight; void (*Take)(); bool InMainWindow = true; };
const Action Table[] = {
    {30, Stroke},
    {4, PickFromBoard},
    {8, [] { int t = Below(ToolCount); Say("tool %d", t); Command(IDM_TOOLFIRST + t); }},
    {16, FromMenu},
    {6, PressKey, false},
    {6, [] { int id = IDC_SWATCH + Below(21); Say("palette button %d", id); Click(id); }},
    {5, Gradient},
    {5, [] { int id = IDC_NUDGEUP + Below(4); Say("nudge %d", id); Click(id); }},
    {8, [] { int id = IDC_STRIPNEXT + Below(6); Say("strip button %d", id); Click(id); }},
    {5, Resolution, false},
    {1, Drop},
    {1, OtherProgramsClipboard, false},
    {1, OtherProgramsFiles, false},
};

void TakeAction() {
    int total = 0;
    for (const Action& a : Table) total += a.Weight;
    const Action* a = Table;
    for (int pick = Below(total); pick >= a->Weight; ++a) pick -= a->Weight;
    // A click anywhere on the main window activates it, which closes the
    // resolution dialog; keys go where the focus is.
    if (a->InMainWindow && hModlessDlg) SetFocus(Main);
    a->Take();
}

// ---- What must always hold --------------------------------------------------
void CheckDocument() {
    const int index = OpenPaceMessageToMenu, rank = DepthRankOf(index);
    if (!IsFormatIndex(index) || FormatTable[index].Pace != Pace) Fail("format index %d at size %d", index, Pace);
    if (DinamicMem.Stored > UndoSlots || DinamicMem.NextSlot >= UndoSlots || DinamicMem.StepsBack < 0 ||
        DinamicMem.StepsBack > static_cast<int>(DinamicMem.Stored))
        Fail("undo ring: stored %u, next %u, back %d", DinamicMem.Stored, DinamicMem.NextSlot, DinamicMem.StepsBack);
    if ((NeedToSave | FileFlag) & ~1) Fail("NeedToSave %d, FileFlag %d", NeedToSave, FileFlag);
    if (CursorStr.HotX >= Pace || CursorStr.HotY >= Pace) Fail("hot spot %d,%d", CursorStr.HotX, CursorStr.HotY);
    if (DrawBar.Tool != CursorShape || DrawBar.Tool < 0 || DrawBar.Tool >= ToolCount) Fail("tool %d", DrawBar.Tool);
    const bool strip = ToolBarStr.StripActive != 0;
    if (strip) {
        const int count = ToolBarStr.StripCount;
        const int held = ToolBarStr.hStripList ? ImageList_GetImageCount(ToolBarStr.hStripList) : -1;
        if (held != count || count < 1) Fail("strip of %d images, its list holds %d", count, held);
        if (StripListPace(ToolBarStr.hStripList) != Pace) Fail("strip of %d pixel images at size %d",
                                                               StripListPace(ToolBarStr.hStripList), Pace);
        if (ToolBarStr.FirstVisible < 0 || ToolBarStr.SelSlot < 0 ||
            ToolBarStr.FirstVisible + ToolBarStr.SelSlot >= count)
            Fail("strip selection: first %d, slot %d of %d", ToolBarStr.FirstVisible, ToolBarStr.SelSlot, count);
    } else if (ToolBarStr.hStripList || ToolBarStr.StripCount) {
        Fail("icon mode with a strip of %d images", ToolBarStr.StripCount);
    }
    // The size, depth, mode and grid flags, and the menus' check marks made
    // from them, show the state (the size and depth: the format row's); the
    // greying as a menu opens follows the store and the clipboard.
    HMENU menu = static_cast<HMENU>(MenuStr.hMainMenu), popup = static_cast<HMENU>(MenuStr.hPopupMenu);
    const struct { HMENU Menu; int Id, Flag; bool On; } marks[] = {
        {menu, IDM_SIZE16, MenuStr.Size16, Pace == 16}, {popup, IDM_SIZE16, MenuStr.Size16, Pace == 16},
        {menu, IDM_SIZE32, MenuStr.Size32, Pace == 32}, {popup, IDM_SIZE32, MenuStr.Size32, Pace == 32},
        {menu, IDM_DEPTH1, MenuStr.Depth1, rank == 0}, {menu, IDM_DEPTH4, MenuStr.Depth4, rank == 1},
        {menu, IDM_DEPTH8, MenuStr.Depth8, rank == 2}, {menu, IDM_DEPTH24, MenuStr.Depth24, rank == 3},
        {menu, IDM_ICONMODE, MenuStr.IconMode, !strip}, {menu, IDM_TOOLBARMODE, MenuStr.ToolbarMode, strip},
        {menu, IDM_SHOWGRID, MenuStr.ShowGrid, !boolGreed}, {popup, IDM_SHOWGRID, MenuStr.ShowGrid, !boolGreed},
        {menu, IDM_GRIDSIMPLE, MenuStr.SimpleGrid, MenuStr.SimpleGrid != 0},
        {menu, IDM_GRIDINVERSION, MenuStr.InversionGrid, MenuStr.SimpleGrid == 0},
    };
    for (const auto& m : marks)
        if (!m.Flag != !m.On || Checked(m.Menu, m.Id) != m.On)
            Fail("menu item %d: flag %d, %schecked, at format index %d", m.Id, m.Flag, Checked(m.Menu, m.Id) ? "" : "not ",
                 index);
    const bool picture = IsClipboardFormatAvailable(CF_BITMAP) || IsClipboardFormatAvailable(PngClipboardFormat());
    const struct { int Id; bool On; } live[] = {{IDM_UNDO, UndoEnabled()}, {IDM_UNDOBACK, UndoBackEnabled()},
                                                {IDM_PASTE, picture}};
    for (const auto& l : live)
        if (Greyed(l.Id) == l.On) Fail("menu item %d is %sgreyed", l.Id, l.On ? "" : "not ");
}

// No question or dialog is left open, and the editor takes input.
void CheckWindows() {
    if (HWND left = OpenDialog()) {
        char text[128] = {};
        GetWindowTextA(left, text, sizeof text);
        Fail("a dialog was left open: \"%s\"", text);
    }
    if (!IsWindowEnabled(Main)) Fail("the main window takes no input");
}

// The board shows the working image: a few cells, sampled.
void CheckBoard() {
    if (IsIconic(Main)) Fail("the window stayed minimised");
    const int cell = 288 / Pace;
    HDC dc = GetDC(hwndChild);
    for (int k = 0; k < 4; ++k) {
        const int x = Below(Pace), y = Below(Pace);
        const COLORREF shown = GetPixel(dc, x * cell + cell / 2, y * cell + cell / 2);
        const COLORREF want = VirtualScreen[y * Pace + x] & 0x00FFFFFFu;
        if (shown != want) Fail("the board shows %06lx at cell %d,%d; the image holds %06lx", shown, x, y, want);
    }
    ReleaseDC(hwndChild, dc);
}

// Every file is its last complete content or a complete new one; a file
// the editor wrote reads back whole, and as written when the editor says
// it saved the document there.
int Kept;

void Keep(const std::vector<uint8_t>& bytes, const char* ext, const std::vector<uint32_t>& pixels, int width,
          int pace) {
    unsigned long long hash = 14695981039346656037ull;
    for (uint8_t b : bytes) hash = (hash ^ b) * 1099511628211ull;
    const std::string name = Text("kept\\%016llx.", hash);
    if (Exists(In(name + ext))) return;
    std::string rows;
    for (int y = 0; y < pace; ++y)
        for (int x = 0; x < width; ++x) {
            const uint32_t p = pixels[static_cast<size_t>(x / pace) * pace * pace + y * pace + x % pace];
            rows += Text("%02X%02X%02X%c", RedOf(p), GreenOf(p), BlueOf(p), x + 1 < width ? ' ' : '\n');
        }
    WriteAll(In(name + "txt"), std::vector<uint8_t>(rows.begin(), rows.end()));
    WriteAll(In(name + ext), bytes);
    ++Kept;
}

void CheckWritten(const std::string& name, const std::vector<uint8_t>& bytes) {
    MemoryStream in(bytes), again;
    if (bytes.size() > 2 && bytes[0] == 'B' && bytes[1] == 'M') {
        StripImages strip;
        if (ReadStripBitmap(in, strip) != 0 || WriteStripBitmap(again, strip) != 0 || again.data != bytes)
            Fail("%s does not read back whole as a strip (%zu bytes)", name.c_str(), bytes.size());
        Keep(bytes, "bmp", strip.Pixels, strip.Pace * strip.Count, strip.Pace);
        if (ToolBarStr.StripActive && !NeedToSave && In(name) == szFileName) {
            std::vector<uint32_t> image(ImagePixels);
            bool same = strip.Count == ToolBarStr.StripCount && strip.Pace == Pace;
            for (int k = 0; same && k < strip.Count; ++k)
                same = ReadStripImage(ToolBarStr.hStripList, k, image.data()) &&
                       std::equal(image.begin(), image.begin() + Pace * Pace, strip.Pixels.begin() + k * Pace * Pace);
            if (!same) Fail("%s does not hold the strip the editor says it saved there", name.c_str());
        }
        return;
    }
    std::vector<uint32_t> pixels(ImagePixels);
    const IconReadResult r = FormatOpen(in, pixels.data());
    if (r.Outcome != IconLoaded ||
        Format(again, pixels.data(), r.FormatIndex, r.IsCursorFile, r.HotX, r.HotY) != 0 || again.data != bytes)
        Fail("%s does not read back whole as an icon (%zu bytes)", name.c_str(), bytes.size());
    Keep(bytes, r.IsCursorFile ? "cur" : "ico", pixels, FormatTable[r.FormatIndex].Pace, FormatTable[r.FormatIndex].Pace);
}

// After a save the editor called a success, the file holds the document.
void CheckSaved() {
    if (NeedToSave || !szFileName[0] || ToolBarStr.StripActive) return;
    MemoryStream want;
    Format(want, VirtualScreen, OpenPaceMessageToMenu, IsCursorFileName(szFileName), CursorStr.HotX, CursorStr.HotY);
    if (ReadBytes(szFileName) != want.data) Fail("saved, but %s does not hold the image", szFileName);
}

void CheckFiles(bool saved) {
    std::map<std::string, std::vector<uint8_t>> now = FilesOf(Scratch);
    for (const auto& [name, bytes] : Before)
        if (!now.count(name)) Fail("%s is gone", name.c_str());
    for (const auto& [name, bytes] : now) {
        auto was = Before.find(name);
        if (was != Before.end() && was->second == bytes) continue;
        if (name == "ro.ico") Fail("the read-only ro.ico was written");
        if (!WrittenNow.count(In(name))) Fail("%s changed, though the editor wrote no file there", name.c_str());
        CheckWritten(name, bytes);
    }
    Before = std::move(now);
    if (saved) CheckSaved();
}

// GDI and USER objects of this process. Wine answers GetGuiResources with 0;
// there a handle with a zero upper word names whatever object holds that
// slot, so the objects are counted slot by slot.
struct Objects { DWORD Gdi, User; };
BOOL CALLBACK CountChild(HWND, LPARAM n) { return ++*reinterpret_cast<DWORD*>(n), TRUE; }
BOOL CALLBACK CountWindow(HWND w, LPARAM n) { return EnumChildWindows(w, CountChild, n), CountChild(w, n); }
Objects CountObjects() {
    Objects o = {GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS),
                 GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS)};
    if (o.Gdi && o.User) return o;
    for (UINT_PTR slot = 0; slot < 0x10000; ++slot) o.Gdi += GetObjectType(reinterpret_cast<HGDIOBJ>(slot)) != 0;
    EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&o.User));
    for (UINT_PTR slot = 0x20; slot < 0x10000; slot += 2) {
        ICONINFO info;
        if (IsMenu(reinterpret_cast<HMENU>(slot))) ++o.User;
        else if (GetIconInfo(reinterpret_cast<HICON>(slot), &info)) {
            ++o.User;
            if (info.hbmMask) DeleteObject(info.hbmMask);
            if (info.hbmColor) DeleteObject(info.hbmColor);
        }
    }
    return o;
}

void Start() {
    Main = StartEditor("");
    if (!Main) Fail("the editor did not start");
    Settle();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 4) {
        fprintf(stderr, "usage: pixtor_monkey ACTIONS SEED FOLDER [LIBRARY]\n");
        return 2;
    }
    Actions = wcstoul(argv[1], nullptr, 10);
    Seed = wcstoul(argv[2], nullptr, 10);
    Scratch = Utf8Text(argv[3]);
    if (Scratch.back() != '\\') Scratch += '\\';
    if (argc > 4) Library = Utf8Text(argv[4]);
    Random = 0x9E3779B97F4A7C15ull * (Seed + 1);
    SetUnhandledExceptionFilter(OnCrash);
    CloseHandle(CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr));
    FillFolder();
    ThePerson = {AnswerPrompt, AnswerSavePrompt, AnswerFileDialog, AnswerColour, Disk};
    SetWindowsHookExA(WH_CALLWNDPROC, SeeCommands, nullptr, GetCurrentThreadId());
    Before = FilesOf(Scratch);
    FILE* const trace = _wfopen(Wide(In("log\\actions.txt")).c_str(), L"w");
    if (!trace) Fail("cannot write the log of actions");
    Start();
    const Objects start = CountObjects();
    Objects settled = start;
    printf("seed %lu, %lu actions; objects at the start: %lu GDI, %lu USER\n", Seed, Actions, start.Gdi, start.User);
    for (Done = 0; Done < Actions; ++Done) {
        Now().clear();
        SaveCommand = DialogCancelled = ConvertDeclined = false;
        Prompts.clear();
        Dialogs.clear();
        WrittenNow.clear();
        InterlockedIncrement(&Heartbeat);
        TakeAction();
        Settle();
        SettleRead();
        if (Quit || !IsWindow(Main)) {   // Exit: the person starts the editor again
            Say(" | the editor ended; started again");
            StopEditor(Main);
            Quit = false;
            Start();
        }
        fprintf(trace, "%lu %s\n", Done, Now().c_str());
        CheckWindows();
        CheckDocument();
        CheckFiles(SaveCommand && !DialogCancelled);
        CheckBoard();
        if (Done + 1 == 1000 || (Done + 1) % 10000 == 0 || Done + 1 == Actions) {
            // Counted without the resolution dialog and its two dozen windows.
            if (hModlessDlg) {
                Say(" | a click on the editor before counting");
                SetFocus(Main);
                Settle();
            }
            const Objects o = CountObjects();
            printf("after %lu actions: %lu GDI, %lu USER objects\n", Done + 1, o.Gdi, o.User);
            fflush(stdout);
            if (Done + 1 == 1000) settled = o;
            else if (Done + 1 > 1000 && (o.Gdi > settled.Gdi + 32 || o.User > settled.User + 16))
                Fail("objects grew from %lu GDI, %lu USER after 1000 actions to %lu GDI, %lu USER", settled.Gdi,
                     settled.User, o.Gdi, o.User);
        }
    }
    printf("%lu actions, no fault; %d distinct files written and kept\n", Actions, Kept);
    fflush(stdout);
    StopEditor(Main);
    return 0;
}
