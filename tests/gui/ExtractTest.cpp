// Extract icon through the real command and dialog: the tree of a file's icons, the choice,
// OK, and what the image and document become (the test library holds the project's icons).
#include <windows.h>
#include <commctrl.h>
#include "formats/FileErrors.h"
#include "formats/IcFormat.h"
#include "formats/win32/IconFile.h"
#include "platform/WideNames.h"
#include "tests/gui/EditorFixture.h"

namespace {
std::string Fixture(const char* name) {
    std::string path = std::string("Z:") + PIXTOR_FIXTURES + "/" + name;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

// Icon k of the library: 32x32, every fourth byte 0, and where the icon is
// transparent `clear`: white as the extractor must give it.
std::vector<uint32_t> Expected(int k, uint32_t clear = 0x00FFFFFFu) {
    MemoryStream in(ReadBytes(Fixture(("Icon" + std::to_string(k) + ".ico").c_str())));
    std::vector<uint32_t> pixels(ImagePixels, 0);
    EXPECT_EQ(FormatOpen(in, pixels.data()).Outcome, IconLoaded) << "fixture icon " << k;
    for (uint32_t& p : pixels) p = IsMaskPixel(p) ? clear : p & 0x00FFFFFFu;
    return pixels;
}

// The item's text as the tree holds it.
std::string ItemText(HWND tree, HTREEITEM item, LPARAM* data) {
    wchar_t text[MAX_PATH] = {};
    TVITEMW tv = {TVIF_TEXT | TVIF_PARAM, item, 0, 0, text, MAX_PATH};
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
    *data = tv.lParam;
    return Utf8Text(text);
}
}

class Extract : public Files {
protected:
    // What the person saw in the dialog.
    struct Seen {
        bool Found = false, StayedOnEscape = false, RootOpen = true;
        RECT Before = {};
        POINT Moved = {};   // how far a drag on the face took the dialog
        std::string Root;
        std::vector<std::string> Children;
        std::vector<LPARAM> Data;
        int Images = -1;
    } dialog;

    // Alt+E on file. First the person drags the dialog by its face; at the next visit looks at the
    // tree, chooses the child whose item data is `choice` (or none for -1) and presses OK.
    void ExtractFrom(const std::string& file, int choice) {
        dialog = Seen();
        DialogChoice = file;
        auto person = [&](HWND w) {
            HWND tree = GetDlgItem(w, IDC_EXTRACTTREE);
            if (!tree) return false;
            if (!dialog.Found) {
                dialog.Found = true;
                GetWindowRect(w, &dialog.Before);
                DragWithMouse(w, {20, 275}, {30, 20});   // below the tree, above OK
                return true;
            }
            RECT after;
            GetWindowRect(w, &after);
            dialog.Moved = {after.left - dialog.Before.left, after.top - dialog.Before.top};
            SendMessageA(w, WM_COMMAND, IDCANCEL, 0);   // Escape does not close it
            dialog.StayedOnEscape = IsWindowVisible(w) != 0;
            HIMAGELIST list = TreeView_GetImageList(tree, TVSIL_NORMAL);
            dialog.Images = list ? ImageList_GetImageCount(list) : -1;
            HTREEITEM root = TreeView_GetRoot(tree), chosen = choice == 0 ? root : nullptr;
            LPARAM data = -1;
            dialog.Root = ItemText(tree, root, &data);
            dialog.RootOpen = (TreeView_GetItemState(tree, root, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
            dialog.Data.push_back(data);
            for (HTREEITEM child = TreeView_GetChild(tree, root); child; child = TreeView_GetNextSibling(tree, child)) {
                dialog.Children.push_back(ItemText(tree, child, &data));
                dialog.Data.push_back(data);
                if (data == choice) chosen = child;
            }
            if (chosen) TreeView_SelectItem(tree, chosen);
            SendMessageA(w, WM_COMMAND, IDC_ABOUTOK, 0);
            return true;
        };
        WithPerson(100, person, [this] { Command(IDM_EXTRACT); });   // returns once OK was pressed
        ASSERT_TRUE(dialog.Found);
    }
};

// From a named, saved 8-bit document: the chosen icon becomes an unnamed, unsaved 24-bit
// image, one undo step; a file without it leaves everything as it was.
TEST_F(Extract, TheChosenIconBecomesA24BitImageAndAFileWithoutItChangesNothing) {
    const std::string library = Fixture("extract-library.dll"), program = Fixture("extract-program.exe"),
                      words = folder + "words.txt", named = folder + "named.ico";
    WriteBytes(words, {'n', 'o', ' ', 'i', 'c', 'o', 'n', 's'});
    const std::string copy = TestFolder("pixtor 日本語 café") + "日本語 café.dll";
    WriteBytes(copy, ReadBytes(library));
    struct Case { const char* Name; std::string File; int Choice, Images, Icon; };   // Icon -1: none taken
    const Case cases[] = {
        {"the chosen icon, the 32x32 picture of a group", library, 4, 12, 4},
        {"OK alone takes the last choice", library, -1, 12, 4},
        {"a file without the last choice", program, -1, 1, -1},
        {"no icons", words, -1, 0, -1},
        {"the program's one icon", program, 0, 1, 7},
        {"the library named in another language, in a folder named so", copy, 0, 12, 0},
    };
    Command(IDM_SIZE32);
    std::vector<uint32_t> before;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Command(IDM_DEPTH8);
        SaveAs(named);
        before = Image();
        const unsigned history = DinamicMem.NextSlot;
        ExtractFrom(c.File, c.Choice);
        EXPECT_EQ(std::make_pair(dialog.RootOpen, dialog.StayedOnEscape), std::make_pair(false, true))
            << "the tree opens with its root closed, and Escape leaves it open";
        EXPECT_EQ(std::make_pair(dialog.Moved.x, dialog.Moved.y), std::make_pair(30L, 20L)) << "dragged by its face";
        EXPECT_EQ(std::make_pair(std::max(dialog.Images, 0), dialog.Children.size() + 1), std::make_pair(c.Images, size_t(std::max(c.Images, 1))));
        const bool taken = c.Icon >= 0;
        EXPECT_EQ(Image(), taken ? Expected(c.Icon) : before);
        EXPECT_EQ(std::make_tuple(OpenPaceMessageToMenu, DocState(), DinamicMem.NextSlot),
                  std::make_tuple(taken ? 7 : 5, std::make_tuple(taken ? 1 : 0, 1, taken ? "" : named), history + (taken ? 1 : 0)))
            << "one undo step, or none for nothing";
    }
    DeleteFileW(Wide(copy).c_str());
    Command(IDM_UNDO);
    EXPECT_EQ(Image(), before);
    // The dialog's file filter, and what the last tree offered: the name as written, the library's icons.
    EXPECT_EQ(std::make_pair(Dialogs.back().Filter, dialog.Root),
              std::make_pair(std::string("Executable files (*.EXE)|*.exe|DLL files (*.DLL)|*.dll|"), std::string("日本語 café.dll")));
    EXPECT_EQ(dialog.Children,
              (std::vector<std::string>{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11"}));
    EXPECT_EQ(dialog.Data, (std::vector<LPARAM>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
}

// Open on a program, and Yes to converting it: the best 32x32 picture of
// its first icon group, transparent where the icon is, unnamed for Save.
TEST_F(Files, OpenOnAProgramTakesItsFirstIconOnYes) {
    PromptAnswer = IDYES;
    OpenFile(Fixture("extract-library.dll"));
    EXPECT_EQ(Said(), std::vector<std::string>{ConvertQuestion});
    EXPECT_EQ(std::make_tuple(OpenPaceMessageToMenu, Image(), FileFlag), std::make_tuple(7, Expected(0, MaskColor), 0));
}
