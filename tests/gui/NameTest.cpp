// Names as people in other countries write them, in a folder named the
// same way: the command line, Open, Save as and a drop take them,
// and the windows that show a name hold it as it was written.
#include "platform/WideNames.h"
#include "tests/gui/EditorFixture.h"

class Names : public Files {
    std::string FolderName() const override { return "pixtor 日本語 café"; }
};

TEST_F(Names, AnyNameOpensSavesAndShowsAsWritten) {
    const std::string japanese = folder + "日本語 café.cur", favicon = folder + "favicon[1].ico";
    WriteBytes(japanese, IconBytes(5, RGB(0, 0, 255), true, 7, 9));   // 32x32, 8 bits
    Restart("\"" + japanese + "\"");   // quoted: its name, its title, size, depth, hot spot and picture
    EXPECT_EQ(std::make_tuple(DocState(), std::string(szTitleName), OpenPaceMessageToMenu, HotSpot(), Pixel(31, 31)),
              std::make_tuple(std::make_tuple(0, 1, japanese), std::string("日本語 café.cur"), 5, std::make_pair(7, 9),
                              RGB(0, 0, 255)));
    SendMessageA(main, WM_KILLFOCUS, 0, 0);
    wchar_t strip[2 * MAX_PATH] = {};
    GetWindowTextW(hMenuDialogue, strip, 2 * MAX_PATH);
    EXPECT_EQ(Utf8Text(strip), "日本語 café.cur") << "the title strip";
    SendMessageA(main, WM_SETFOCUS, 0, 0);

    Draw();
    // A name GetFileTitle refuses still gives its own title.
    SaveAs(favicon);
    EXPECT_EQ(std::make_tuple(DocState(), std::string(szTitleName)),
              std::make_tuple(std::make_tuple(0, 1, favicon), std::string("favicon[1].ico")));

    WriteBytes(japanese, IconBytes(7, RGB(0, 255, 0), true));
    OpenFile(japanese);
    EXPECT_EQ(std::make_tuple(DocState(), OpenPaceMessageToMenu, Pixel(3, 4)),
              std::make_tuple(std::make_tuple(0, 1, japanese), 7, RGB(0, 255, 0)));
    DropFile(main, favicon);
    EXPECT_EQ(std::make_tuple(DocState(), std::string(szTitleName), Pixel(3, 4)),
              std::make_tuple(std::make_tuple(0, 1, favicon), std::string("favicon[1].ico"), RGB(200, 10, 10)));
    EXPECT_EQ(std::make_pair(Prompts.size(), FilesIn(folder)), std::make_pair(size_t(0), 2)) << "no temporary file left";

    // A file that cannot be read leaves the drawing, still unsaved, and its name.
    std::vector<uint8_t> broken = IconBytes(7, RGB(0, 255, 0));
    broken.resize(30);
    WriteBytes(folder + "broken.ico", broken);
    Draw();
    OpenFile(folder + "broken.ico");   // not saved first
    EXPECT_TRUE(Prompted("Error reading file!"));
    EXPECT_EQ(std::make_tuple(DocState(), Pixel(31, 31)), std::make_tuple(std::make_tuple(1, 1, favicon), RGB(0, 0, 255)))
        << "nothing half-read";
}

// The file on the command line: all after the program's own name, quoted
// or not, blanks inside kept.
TEST(CommandLine, TheFileIsAllAfterTheProgramsName) {
    const struct { const wchar_t* Line; const wchar_t* File; } lines[] = {
        {L"\"C:\\Program Files\\pixtor.exe\"  \"C:\\日本語 café\\a b.ico\"", L"\"C:\\日本語 café\\a b.ico\""},
        {L"pixtor.exe\tC:\\a b.ico", L"C:\\a b.ico"},
        {L"pixtor.exe", L""},
    };
    for (const auto& l : lines) EXPECT_STREQ(AfterProgramName(l.Line), l.File);
}

// Longer than the system's paths: refused before anything is read or
// written, never cut to another file's name, even where the file exists.
// The longest it holds is written, its temporary file beside it.
TEST_F(Names, ANameTooLongIsRefusedAndTheLongestIsWritten) {
    const std::string longForm = "\\\\?\\";   // the system's own way to longer paths
    std::string deep = folder;
    for (int k = 0; k < 3; ++k) {
        deep += std::string(90, char('a' + k)) + "\\";
        CreateDirectoryW(Wide(longForm + deep).c_str(), nullptr);
    }
    const std::string tooLong = deep + "x.ico";
    const std::vector<uint8_t> bytes = IconBytes(6, RGB(0, 0, 255));
    ASSERT_TRUE(WriteBytes(longForm + tooLong, bytes));
    Restart(tooLong);
    EXPECT_EQ(Said(), std::vector<std::string>{"Can't open file"});
    EXPECT_EQ(std::make_pair(DocState(), PaintedCells().empty()), std::make_pair(std::make_tuple(0, 0, std::string()), true));
    Draw();
    PromptAnswer = IDYES;   // would save first
    DropFile(main, tooLong);
    EXPECT_TRUE(Prompted("Can't open file"));
    EXPECT_EQ(std::make_tuple(Dialogs.size(), NeedToSave, ReadBytes(longForm + tooLong)), std::make_tuple(size_t(0), 1, bytes))
        << "nothing offered, read or written";
    for (std::string d = deep; d.size() > folder.size(); d = d.substr(0, d.find_last_of('\\', d.size() - 2) + 1)) {
        EmptyFolder(longForm + d);
        RemoveDirectoryW(Wide(longForm + d).c_str());
    }

    const std::string longest = folder + std::string(MAX_PATH - 1 - Wide(folder).size() - 4, 'y') + ".ico";
    ASSERT_EQ(Wide(longest).size(), size_t(MAX_PATH - 1));
    SaveAs(longest);
    EXPECT_EQ(DocState(), std::make_tuple(0, 1, longest));
    ClearImage();
    OpenFile(longest);
    EXPECT_EQ(Pixel(3, 4), RGB(200, 10, 10)) << "read back";
}
