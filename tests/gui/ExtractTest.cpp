// Extract icon through the real command and dialog: the tree of a file's
// icons, the choice, OK, and what the working image and document become.
// The test library and program are built with the project's own icons.
#include <windows.h>
#include <commctrl.h>
#include "formats/IcFormat.h"
#include "formats/win32/IconFile.h"
#include "tests/gui/EditorFixture.h"

namespace {
std::string Fixture(const char* name) {
    std::string path = std::string("Z:") + PIXTOR_FIXTURES + "/" + name;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

// Icon k of the library as the extractor must give it: 32x32, white where
// the icon is transparent, every fourth byte 0.
std::vector<uint32_t> Expected(int k) {
    std::vector<uint8_t> bytes = ReadBytes(Fixture(("Icon" + std::to_string(k) + ".ico").c_str()));
    MemoryStream in(bytes);
    std::vector<uint32_t> pixels(ImagePixels, 0);
    EXPECT_EQ(FormatOpen(in, pixels.data()).Outcome, IconLoaded) << "fixture icon " << k;
    for (uint32_t& p : pixels) p = IsMaskPixel(p) ? 0x00FFFFFFu : p & 0x00FFFFFFu;
    return pixels;
}

// What the person saw in the dialog, and what they do there.
struct Seen {
    bool Found = false, StayedOnEscape = false;
    std::string Root;
    std::vector<std::string> Children;
    std::vector<LPARAM> Data;
    int Images = -1;
};
Seen Dialog;
int Choice = -1;   // the item data of the child to click, or -1 to click none

std::string ItemText(HWND tree, HTREEITEM item, LPARAM* data) {
    char text[128] = {};
    TVITEMA tv = {};
    tv.mask = TVIF_TEXT | TVIF_PARAM;
    tv.hItem = item;
    tv.pszText = text;
    tv.cchTextMax = sizeof text;
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
    *data = tv.lParam;
    return text;
}

BOOL CALLBACK ActInExtractor(HWND w, LPARAM) {
    HWND tree = GetDlgItem(w, IDC_EXTRACTTREE);
    if (!tree) return TRUE;
    Dialog.Found = true;
    SendMessageA(w, WM_COMMAND, IDCANCEL, 0);   // Escape does not close it
    Dialog.StayedOnEscape = IsWindow(w) != 0;
    HIMAGELIST list = reinterpret_cast<HIMAGELIST>(SendMessageA(tree, TVM_GETIMAGELIST, TVSIL_NORMAL, 0));
    Dialog.Images = list ? ImageList_GetImageCount(list) : -1;
    HTREEITEM root = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    LPARAM data = -1;
    Dialog.Root = ItemText(tree, root, &data);
    Dialog.Data.push_back(data);
    HTREEITEM chosen = Choice == 0 ? root : nullptr;
    for (HTREEITEM child = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD,
                                                                    reinterpret_cast<LPARAM>(root)));
         child; child = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT,
                                                                 reinterpret_cast<LPARAM>(child)))) {
        Dialog.Children.push_back(ItemText(tree, child, &data));
        Dialog.Data.push_back(data);
        if (data == Choice) chosen = child;
    }
    if (chosen) SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(chosen));
    SendMessageA(w, WM_COMMAND, IDC_ABOUTOK, 0);
    return FALSE;
}

void CALLBACK PersonInDialog(HWND, UINT, UINT_PTR, DWORD) {
    EnumThreadWindows(GetCurrentThreadId(), ActInExtractor, 0);
}
}

class Extract : public Editor {
protected:
    // Alt+E on file, the person choosing child `choice` (or none) and OK.
    void ExtractFrom(const std::string& file, int choice) {
        Dialog = Seen();
        Choice = choice;
        DialogChoice = file;
        UINT_PTR timer = SetTimer(nullptr, 0, 100, PersonInDialog);
        Command(IDM_EXTRACT);   // returns once OK was pressed
        KillTimer(nullptr, timer);
        ASSERT_TRUE(Dialog.Found);
    }
};

TEST_F(Extract, TheLibrarysIconsInATreeAndTheChosenOneAsA24BitImage) {
    Click(1, 1);
    const std::vector<uint32_t> drawn = Image();
    Command(IDM_SIZE32);
    ExtractFrom(Fixture("extract-library.dll"), 3);
    ASSERT_EQ(Dialogs.size(), 1u);
    EXPECT_EQ(Dialogs[0].Filter, "Executable files (*.EXE)");
    EXPECT_TRUE(Dialog.StayedOnEscape);
    EXPECT_EQ(Dialog.Root, "extract-library.dll");
    EXPECT_EQ(Dialog.Children,
              (std::vector<std::string>{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11"}));
    EXPECT_EQ(Dialog.Data, (std::vector<LPARAM>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
    EXPECT_EQ(Dialog.Images, 12);
    EXPECT_EQ(Image(), Expected(3));
    EXPECT_EQ(OpenPaceMessageToMenu, 7);
    EXPECT_EQ(NeedToSave, 1);
    EXPECT_EQ(FileFlag, 1);
    EXPECT_STREQ(szFileName, "");
    DialogChoice.clear();   // the person cancels
    Command(IDM_SAVE);
    EXPECT_EQ(Dialogs.size(), 2u) << "Save asks for a name";

    // OK with nothing chosen takes the icon chosen last time.
    Command(IDM_DEPTH8);
    ExtractFrom(Fixture("extract-library.dll"), -1);
    EXPECT_EQ(Image(), Expected(3));
    EXPECT_EQ(OpenPaceMessageToMenu, 7) << "24 bits again";

    // From the group of a 16x16 and a 32x32 picture, the 32x32 one.
    ExtractFrom(Fixture("extract-library.dll"), 4);
    EXPECT_EQ(Image(), Expected(4));

    Command(IDM_UNDO);
    EXPECT_EQ(Image(), Expected(3)) << "each extraction is one undo step";
    Command(IDM_UNDO);
    Command(IDM_UNDO);
    Command(IDM_SIZE16);
    EXPECT_EQ(Image(), drawn);
}

TEST_F(Extract, AFileWithoutTheChosenIconChangesNothing) {
    Command(IDM_SIZE32);
    ExtractFrom(Fixture("extract-library.dll"), 5);
    DialogChoice = TestFolder() + "named.ico";
    Command(IDM_SAVEAS);
    Click(2, 2);
    const std::vector<uint32_t> before = Image();
    const unsigned history = DinamicMem.NextSlot;
    const std::string notIcons = TestFolder() + "words.txt";
    WriteBytes(notIcons, {'n', 'o', ' ', 'i', 'c', 'o', 'n', 's'});
    struct Case { std::string File; int Choice; size_t Children; };
    const Case cases[] = {
        {Fixture("extract-program.exe"), -1, 0},   // one icon; the last choice was the sixth
        {notIcons, -1, 0},
        {notIcons, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.File);
        ExtractFrom(c.File, c.Choice);
        EXPECT_EQ(Dialog.Children.size(), c.Children);
        EXPECT_EQ(Image(), before);
        EXPECT_EQ(NeedToSave, 1);
        EXPECT_EQ(FileFlag, 1);
        EXPECT_EQ(std::string(szFileName), TestFolder() + "named.ico");
        EXPECT_EQ(DinamicMem.NextSlot, history) << "no undo step for nothing";
    }
    // The program's one icon, chosen.
    ExtractFrom(Fixture("extract-program.exe"), 0);
    EXPECT_EQ(Dialog.Images, 1);
    EXPECT_EQ(Image(), Expected(7));
    DeleteFileA(notIcons.c_str());
    DeleteFileA((TestFolder() + "named.ico").c_str());
}

TEST_F(Extract, ASystemLibrarysIconsToo) {
    Command(IDM_SIZE32);
    ExtractFrom("C:\\windows\\system32\\shell32.dll", 1);
    EXPECT_GT(Dialog.Images, 10);
    EXPECT_EQ(Dialog.Children.size() + 1, static_cast<size_t>(Dialog.Images));
    int colours = 0;
    for (uint32_t p : Image()) colours += p != 0x00FFFFFFu;
    EXPECT_GT(colours, 20) << "a picture, not a white square";
}
