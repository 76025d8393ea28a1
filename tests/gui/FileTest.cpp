// Open, Save, Save as, New and Exit through the real commands, with the
// dialogs answered from a script and the files checked byte by byte.
#include "formats/ByteStream.h"
#include "formats/FileErrors.h"
#include "formats/IcFormat.h"
#include "formats/win32/IconFile.h"
#include "strip/ToolBarStrip.h"
#include "tests/core/TestBytes.h"
#include "tests/gui/EditorFixture.h"

TEST_F(Files, AFailedWriteLeavesThePreviousFileAndTheNameItWasWritingTo) {
    const std::string target = folder + "kept.ico", other = folder + "other.ico";
    const std::vector<uint8_t> old = {0, 0, 1, 0, 1, 0, 'o', 'l', 'd'};
    WriteBytes(target, old);
    Draw();
    // Save as onto a read-only file: refused, the file never replaced, the
    // drawing still unsaved under the name in force before the dialog.
    SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY);
    SaveAs(target);
    SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(Said(), std::vector<std::string>{"Can't open file"});
    EXPECT_EQ(std::make_tuple(ReadBytes(target), FilesIn(folder), DocState()),
              std::make_tuple(old, 1, std::make_tuple(1, 0, std::string()))) << "no temporary file left either";

    // A named image whose save fails keeps that name: the next Save goes
    // to the same file, never to the earlier one.
    SaveAs(other);
    const std::vector<uint8_t> otherBytes = ReadBytes(other);
    SaveAs(target);
    HANDLE lock = Lock(target);
    Click(5, 5);
    Prompts.clear();
    Command(IDM_SAVE);
    CloseHandle(lock);
    EXPECT_EQ(std::make_pair(Prompted("Can't open file"), std::string(szFileName)), std::make_pair(true, target));
    Command(IDM_SAVE);
    EXPECT_EQ(std::make_pair(NeedToSave, ReadBytes(other)), std::make_pair(0, otherBytes));
}

TEST_F(Files, SaveAsksForANameAndExitAsksOnlyWithChanges) {
    Draw();
    Command(IDM_SAVE);
    ASSERT_EQ(Dialogs.size(), 1u);
    EXPECT_EQ(std::make_pair(Dialogs[0].Save, Dialogs[0].DefaultExtension), std::make_pair(true, std::string("ico")));
    EXPECT_EQ(DocState(), std::make_tuple(1, 0, std::string())) << "cancelled: still unsaved";
    NeedToSave = 0;
    Command(IDM_EXIT);
    EXPECT_EQ(std::make_pair(SavePromptCount, IsWindow(main)), std::make_pair(0, FALSE));

    // Yes, then a cancelled save dialog, still closes.
    Restart("");
    Draw();
    SavePromptAnswer = 0;   // and no name typed: the person cancels the save dialog
    Command(IDM_EXIT);
    EXPECT_EQ(std::make_tuple(SavePromptCount, Dialogs.size(), IsWindow(main)), std::make_tuple(1, size_t(1), FALSE));
}

TEST_F(Files, NewKeepsSizeDepthHotSpotAndHistory) {
    Command(IDM_SIZE32);
    Command(IDM_DEPTH8);
    CursorStr.HotX = 4, CursorStr.HotY = 9;
    Draw();
    VirtualScreen[ImagePixels - 1] = 0;   // the last pixel too
    const unsigned stored = DinamicMem.Stored;
    const int format = OpenPaceMessageToMenu;
    Command(IDM_NEW);   // answered No
    EXPECT_EQ(PaintedCells().size(), 2u);
    PromptAnswer = IDYES;
    Command(IDM_NEW);
    EXPECT_EQ(std::make_tuple(PaintedCells().empty(), Prompts.size(), OpenPaceMessageToMenu, HotSpot(), DinamicMem.Stored),
              std::make_tuple(true, size_t(2), format, std::make_pair(4, 9), stored));
    EXPECT_EQ(DocState(), std::make_tuple(0, 0, std::string()));
}

// Both dialogs as the system gets them: the record of the size every version
// takes, the open dialog offering PNG pictures too, the save dialog not.
TEST_F(Files, OpenWithUnsavedChangesAnsweredYesSavesFirst) {
    Draw();
    PromptAnswer = IDYES;
    DialogChoice = folder + "first.ico";   // the save dialog, then the open dialog, take it
    Command(IDM_OPEN);
    const std::string icons = "Icon and Cursor files(*.ICO,*.CUR)|*.ico;*.cur|Icon files(*.ICO)|*.ico|Cursor files(*.CUR)|*.cur|";
    const DWORD size = sizeof(void*) == 4 ? 76 : 136;
    ASSERT_EQ(Dialogs.size(), 2u);
    EXPECT_EQ(std::make_tuple(Dialogs[0].Save, Dialogs[0].Filter, Dialogs[0].Flags, Dialogs[0].Size),
              std::make_tuple(true, icons, DWORD(OFN_OVERWRITEPROMPT), size));
    EXPECT_EQ(std::make_tuple(Dialogs[1].Save, Dialogs[1].Filter, Dialogs[1].Flags, Dialogs[1].Size),
              std::make_tuple(false, icons + "PNG pictures (*.PNG)|*.png|", DWORD(OFN_HIDEREADONLY | OFN_CREATEPROMPT), size));
    EXPECT_EQ(std::make_tuple(Pixel(3, 4), UndoEnabled()), std::make_tuple(RGB(200, 10, 10), false))
        << "the drawing saved, then read again with a history of its own";
    EXPECT_EQ(DocState(), std::make_tuple(0, 1, DialogChoice));
}

// Paste scales any bitmap to the image and is one undo step; Copy puts the
// image on the clipboard at its own size and clears its fourth bytes.
TEST_F(Editor, PasteScalesAnyBitmapAndCopyGivesTheImage) {
    std::vector<uint32_t> bits(64 * 48);   // 64 x 48: left half red, right half blue
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) bits[y * 64 + x] = x < 32 ? 0x00FF0000u : 0x000000FFu;   // BGRA
    for (int pace : {16, 32}) {
        SCOPED_TRACE(pace);
        Command(pace == 16 ? IDM_SIZE16 : IDM_SIZE32);
        ClearImage();
        PutOnClipboard(main, CF_BITMAP, CreateBitmap(64, 48, 1, 32, bits.data()));
        NeedToSave = 0;
        Command(IDM_PASTE);
        for (int i = 0; i < ImagePixels; ++i)
            ASSERT_EQ(VirtualScreen[i] & 0xFFFFFFu,
                      i >= pace * pace ? MaskColor : i % pace < pace / 2 ? RGB(255, 0, 0) : RGB(0, 0, 255)) << i;
        EXPECT_EQ(NeedToSave, 1);   // Exit offers to save a pasted picture
        Command(IDM_UNDO);
        EXPECT_TRUE(PaintedCells().empty());

        const int n = pace * pace;
        for (int i = 0; i < n; ++i) VirtualScreen[i] = 0x7F000000u | RGB(i, 255 - i, i >> 8);
        Command(IDM_COPY);
        for (int i = 0; i < n; ++i) ASSERT_EQ(VirtualScreen[i], RGB(i, 255 - i, i >> 8)) << i;
        ASSERT_TRUE(OpenClipboard(main));
        HBITMAP bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
        BITMAP info = {};
        if (bitmap) GetObjectA(bitmap, sizeof info, &info);
        EXPECT_EQ(std::make_pair(info.bmWidth, info.bmHeight), std::make_pair(LONG(pace), LONG(pace)));
        const std::vector<COLORREF> shown = Render(pace, pace, [&](HDC hdc) {
            HDC memory = CreateCompatibleDC(hdc);
            HGDIOBJ old = SelectObject(memory, bitmap);
            BitBlt(hdc, 0, 0, pace, pace, memory, 0, 0, SRCCOPY);
            SelectObject(memory, old);
            DeleteDC(memory);
        });
        CloseClipboard();
        for (int i = 0; i < n; ++i) ASSERT_EQ(shown[i], RGB(i, 255 - i, i >> 8)) << i;
    }
}

TEST_F(Files, EditsMarkANamedImageChangedAndKeepItsName) {
    SaveAs(folder + "named.ico");
    ASSERT_EQ(FileFlag, 1);
    const struct { int Command, Marks; } commands[] = {{IDM_SIZE32, 1}, {IDM_GRADFIRST + 1, 1}, {IDC_NUDGELEFT, 1},
        {IDM_SIZE16, 1}, {IDM_UNDO, 0}, {IDM_DEPTH8, 0}, {IDM_UNDOBACK, 0}};   // undo and depth leave the mark alone
    for (const auto& c : commands) {
        NeedToSave = 0;
        Command(c.Command);
        EXPECT_EQ(DocState(), std::make_tuple(c.Marks, 1, DialogChoice)) << "command " << c.Command;
    }
}

// A disk that fills up while the file is written: run by CTest with a
// file-size limit of 2 KB on the process; skipped where 3 KB can be written.
TEST_F(Files, ADiskThatFillsUpDuringASaveKeepsTheOldFileAndTheDrawingUnsaved) {
    const std::string target = folder + "full.ico";
    WriteBytes(target, std::vector<uint8_t>(3072, 1));
    if (ReadBytes(target).size() >= 3072) GTEST_SKIP() << "needs a file-size limit";
    const std::vector<uint8_t> old = {0, 0, 1, 0, 1, 0, 'o', 'l', 'd'};
    WriteBytes(target, old);
    Command(IDM_SIZE32);   // 3262 bytes, beyond the limit
    Draw();
    SaveAs(target);
    EXPECT_TRUE(Prompted("Error writing file!"));
    EXPECT_EQ(std::make_tuple(NeedToSave, ReadBytes(target), FilesIn(folder)), std::make_tuple(1, old, 1)) << "no temporary file left";
}

// A save to a new name that fails (here a full disk) gives back the name and
// the save flag the picture had before the dialog, whichever way the save
// came: a file read with loss stays one that Save asks about, and is never
// replaced unasked; one read whole may still be saved to; a new strip (made
// from such a picture) stays unnamed and asked about. A name the program
// cannot hold fails alike; and the picture is never replaced after such a
// failure, not by the file that was to be opened either.
TEST_F(Files, AFailedSaveKeepsTheNameAndTheFlagTheyHadBeforeTheDialog) {
    const std::string two = folder + "two.ico", whole = folder + "whole.ico", other = folder + "other.ico";
    const std::vector<uint8_t> twoBytes = Patched(IconBytes(6, RGB(10, 20, 30)), {{4, 2, 2}});   // read first of two
    WriteBytes(two, twoBytes);
    WriteBytes(whole, IconBytes(6, RGB(10, 20, 30)));
    const struct { const char* Way; std::string Source; bool Strip; std::function<void()> Save; } ways[] = {
        {"Save as", two, false, [this] { Command(IDM_SAVEAS); }},
        {"Save as, read whole", whole, false, [this] { Command(IDM_SAVEAS); }},
        {"Save as, a name too long", whole, false, [this] {
             ThePerson.FileDialog = [this](const DialogRecord&) { return folder + std::string(MAX_PATH, 'n') + ".ico"; };
             Command(IDM_SAVEAS);
         }},
        {"Open", two, false, [this] { PromptAnswer = IDYES; Command(IDM_OPEN); }},
        {"a drop, read whole", whole, false, [this] { PromptAnswer = IDYES; DropFile(main, folder + "two.ico"); }},
        {"Exit", two, false, [this] { SavePromptAnswer = 0; Command(IDM_EXIT); }},
        {"Icon mode", two, true, [this] { SavePromptAnswer = 0; Command(IDM_ICONMODE); }},
        {"the resolution dialog", two, true, [this] { Resolve({IDC_RESICONMODE}); }},
    };
    for (const auto& w : ways) {
        SCOPED_TRACE(w.Way);
        Restart("\"" + w.Source + "\"");
        const int flag = w.Source == whole ? 1 : 0;
        ASSERT_EQ(FileFlag, flag);
        if (w.Strip) {
            Command(IDM_TOOLBARMODE);
            UpdateWindow(ToolBarStr.hStripWnd);
        }
        Draw();
        // The person names another file in the save dialog and nothing to open.
        ThePerson.FileDialog = [&](const DialogRecord& d) { return d.Save ? other : std::string(); };
        ThePerson.Disk = [&](const std::string& path) { return path == other ? 0LL : -1LL; };
        Prompts.clear();
        w.Save();
        ASSERT_FALSE(Prompts.empty());
        EXPECT_EQ(std::count_if(Prompts.begin(), Prompts.end(), [](const PromptRecord& p) { return p.Caption == "Error"; }), 1);
        EXPECT_EQ(Prompts.back().Caption, "Error") << "nothing asked or read after the failure";
        EXPECT_EQ(std::make_tuple(IsWindow(main), Pixel(3, 4), DocState(), ToolBarStr.StripActive),
                  std::make_tuple(TRUE, RGB(200, 10, 10), std::make_tuple(1, flag, w.Strip ? std::string() : w.Source), int(w.Strip)))
            << "the editor and the picture stay";
        Dialogs.clear();
        ThePerson.FileDialog = [](const DialogRecord&) { return std::string(); };
        Command(IDM_SAVE);
        EXPECT_EQ(Dialogs.size(), size_t(1 - flag)) << "Save asks, unless the file was read whole";
        if (!flag) EXPECT_EQ(ReadBytes(two), twoBytes);
    }
    EXPECT_FALSE(Exists(other));
}

// Every question and message with its caption, icon and buttons, in the
// order shown. Nothing of a file that is refused changes the picture, a
// cursor's hot spot included.
TEST_F(Files, QuestionsAndMessagesComeWithTheirCaptionsAndIconsInOrder) {
    const PromptRecord convert = {ConvertQuestion, "Pixtor", MB_ICONQUESTION | MB_YESNO},
                       several = {MultiImageWarning, "Warning", MB_ICONEXCLAMATION | MB_OK},
                       overwrite = {"Current image will be overwritten. Save?", "Pixtor", MB_YESNO | MB_ICONEXCLAMATION},
                       destroy = {"Current image will be destroyed. Proceed?", "Pixtor", MB_YESNO | MB_ICONEXCLAMATION},
                       cantOpen = {"Can't open file", "Error", MB_ICONSTOP | MB_OK},
                       unread = {"Error reading file!", "Error", MB_ICONSTOP | MB_OK};
    const std::vector<uint8_t> two = Patched(IconBytes(6, RGB(1, 2, 3)), {{4, 2, 2}});
    WriteBytes(folder + "whole.ico", IconBytes(7, RGB(7, 7, 7)));
    WriteBytes(folder + "wide.ico", Patched(IconBytes(6, RGB(1, 2, 3)), {{6, 1, 48}}));
    WriteBytes(folder + "two.ico", two);
    WriteBytes(folder + "two cut.ico", Slice(two, 0, 62));   // ends where the colour data begins
    // A cursor of no known depth, with a hot spot of its own.
    WriteBytes(folder + "deep.cur", Patched(IconBytes(2, RGB(1, 2, 3), true, 6, 9), {{8, 1, 0}, {36, 2, 0}}));
    const struct { const char* Name; std::function<void()> Act; std::vector<PromptRecord> Shown; } cases[] = {
        {"an icon of another size", [&] { OpenFile(folder + "wide.ico"); }, {convert}},
        {"the first of two", [&] { OpenFile(folder + "two.ico"); }, {several}},
        {"the first of two, unreadable", [&] { OpenFile(folder + "two cut.ico"); }, {several, unread}},
        {"a cursor of no known depth", [&] { OpenFile(folder + "deep.cur"); }, {}},
        {"Open with unsaved changes", [&] { Draw(); OpenFile(folder + "missing.ico"); }, {overwrite, cantOpen}},
        {"New", [&] { Command(IDM_NEW); }, {destroy}},
        {"an unknown error code", [&] { szFileName[0] = 0; MistakeHandler(7); }, {}},
    };
    const std::string whole = folder + "whole.ico";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Restart(whole);
        CursorStr.HotX = 1, CursorStr.HotY = 2;
        KeepNames();
        c.Act();
        ASSERT_EQ(Prompts.size(), c.Shown.size());
        for (size_t k = 0; k < Prompts.size(); ++k)
            EXPECT_EQ(std::make_tuple(Prompts[k].Text, Prompts[k].Caption, Prompts[k].Type),
                      std::make_tuple(c.Shown[k].Text, c.Shown[k].Caption, c.Shown[k].Type)) << k;
        if (c.Shown.empty()) EXPECT_EQ(std::make_tuple(HotSpot(), std::string(szFileName), OpenPaceMessageToMenu),
                                       std::make_tuple(std::make_pair(1, 2), whole, 7)) << "the names given back";
    }
}
