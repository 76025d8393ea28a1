// Toolbar mode through the real windows: the strip's requests and their order, its
// selection, its painted slots, and its bitmap file opened and saved through the commands.
#include <functional>
#include "formats/win32/IconFile.h"
#include "formats/StripBitmap.h"
#include "strip/StripList.h"
#include "strip/ToolBarStrip.h"
#include "tests/core/TestBytes.h"
#include "tests/gui/EditorFixture.h"

namespace {
// Image k of a test strip: a marker colour of its own at (0, 0), its other
// pixels telling x, y and k apart.
COLORREF Marker(int k) { return RGB(20 + 9 * k, 200 - 7 * k, 30 + 5 * k); }
COLORREF Picture(int k, int x, int y) {
    return x == 0 && y == 0 ? Marker(k) : RGB((11 * x + k) & 0xFF, (7 * y + 3 * k) & 0xFF, (x * y + 40) & 0xFF);
}

constexpr COLORREF StripBackground = RGB(128, 128, 128);   // the class's grey brush
}

class Strip : public Files {
protected:
    void SetUp() override {
        folder = TestFolder();
        EmptyFolder(folder);
    }
    // A strip file of count images of Picture (or of their markers alone);
    // fourth(k, x, y) the fourth byte of each pixel, as other programs leave it.
    std::string StripFile(const std::string& name, int pace, int count,
                          const std::function<uint8_t(int, int, int)>& fourth = nullptr, bool solid = false) {
        StripImages strip{pace, count, {}};
        for (int k = 0; k < count; ++k)
            for (int y = 0; y < pace; ++y)
                for (int x = 0; x < pace; ++x)
                    strip.Pixels.push_back((solid ? Marker(k) : Picture(k, x, y)) |
                                           (fourth ? uint32_t(fourth(k, x, y)) << 24 : 0u));
        MemoryStream out;
        EXPECT_EQ(WriteStripBitmap(out, strip), 0);
        WriteBytes(folder + name, out.data);
        return folder + name;
    }
    // From the command line the first time, then with Open, which toolbar mode reads as a strip.
    void OpenStrip(const std::string& path) {
        if (!main) return StartWith(path);
        NeedToSave = 0;
        DialogChoice = path;
        Command(IDM_OPEN);
        PaintStrip();
    }
    void StartWith(const std::string& commandLine) { Restart(commandLine); PaintStrip(); }
    void PaintStrip() { UpdateWindow(ToolBarStr.hStripWnd); }
    // A button pressed, and the strip's paint that follows it.
    void Button(int id, int times = 1) {
        for (int i = 0; i < times; ++i) { Command(id); PaintStrip(); }
    }
    // Pixel (x, y) of list image k, as a colour reference with its fourth byte.
    uint32_t ListPixel(int k, int x, int y) {
        uint32_t image[ImagePixels] = {};
        EXPECT_TRUE(ReadStripImage(ToolBarStr.hStripList, k, image)) << "image " << k;
        return image[y * Pace + x];
    }
    // The marker of every image in list order: which images the strip holds.
    std::vector<COLORREF> Markers() {
        std::vector<COLORREF> m;
        for (int k = 0; k < ToolBarStr.StripCount; ++k) m.push_back(ListPixel(k, 0, 0) & 0xFFFFFFu);
        return m;
    }
};

TEST_F(Strip, ABmpOnTheCommandLineOpensAtItsSizeAndSavesByteForByte) {
    for (int pace : {16, 32}) {
        SCOPED_TRACE(testing::Message() << pace << "x" << pace);
        // Other programs' bitmaps: 0xFF in the fourth byte, or anything.
        std::string path = StripFile("other.bmp", pace, 5, [](int k, int x, int y) {
            return static_cast<uint8_t>(k == 1 ? 0xFF : k == 2 ? x * 16 + y : 0);
        });
        std::vector<uint8_t> before = ReadBytes(path);
        StartWith("\"" + path + "\"");
        EXPECT_EQ(ToolBarStr.StripCount, 5);
        EXPECT_EQ(OpenPaceMessageToMenu, pace == 32 ? 7 : 6);
        EXPECT_TRUE(Checked(MenuStr.hMainMenu, IDM_TOOLBARMODE) && Checked(MenuStr.hMainMenu, pace == 32 ? IDM_SIZE32 : IDM_SIZE16));
        EXPECT_EQ(DocState(), std::make_tuple(0, 1, path));
        EXPECT_EQ(VirtualScreen[(pace - 1) * pace + 3], Picture(0, 3, pace - 1)) << "image 0 on the board";
        Command(IDM_SAVE);
        EXPECT_TRUE(Dialogs.empty());
        EXPECT_EQ(ReadBytes(path), before) << "every byte kept, the fourth ones too";
        Button(IDM_ICONMODE);
        EXPECT_EQ(std::string(szFileName) + szTitleName, "") << "leaving the mode leaves the strip's name behind";
    }
}

TEST_F(Strip, ToolbarModeMakesAStripOfTheBoardAndIconModeEndsIt) {
    Start("");
    DialogChoice = folder + "icon.ico";
    Command(IDM_SAVEAS);
    Draw();
    Button(IDM_TOOLBARMODE);
    EXPECT_TRUE(Checked(MenuStr.hMainMenu, IDM_TOOLBARMODE) && !Checked(MenuStr.hMainMenu, IDM_ICONMODE));
    ASSERT_EQ(ToolBarStr.StripCount, 1);
    EXPECT_EQ(ListPixel(0, 3, 4), RGB(200, 10, 10));
    EXPECT_TRUE(IsMaskPixel(ListPixel(0, 0, 0)));
    EXPECT_EQ(NeedToSave, 0) << "a new strip is a new document";
    EXPECT_STREQ(szFileName, "");

    Button(IDC_STRIPADD, 4);
    EXPECT_EQ(ToolBarStr.StripCount, 5);
    EXPECT_EQ(ToolBarStr.SelSlot, 0);
    EXPECT_EQ(NeedToSave, 1);
    Button(IDC_STRIPNEXT);
    NeedToSave = 0;
    Button(IDC_STRIPDELETE);
    EXPECT_EQ(NeedToSave, 1);
    Button(IDC_STRIPPREV);
    Button(IDM_TOOLBARMODE);
    EXPECT_EQ(ToolBarStr.StripCount, 4) << "toolbar mode again only refreshes the menus";
    PromptAnswer = IDYES;   // New clears the board; the strip stays unsaved
    Command(IDM_NEW);
    EXPECT_TRUE(PaintedCells().empty());
    EXPECT_EQ(ToolBarStr.StripCount, 4);
    EXPECT_EQ(NeedToSave, 1);
    Button(IDC_STRIPGET);   // image 0, the first picture, back on the board

    SavePromptAnswer = 2;   // cancel: nothing changes
    Button(IDM_ICONMODE);
    EXPECT_EQ(ToolBarStr.StripCount, 4);
    SavePromptAnswer = 1;   // no: the strip goes unsaved
    Button(IDM_ICONMODE);
    EXPECT_EQ(SavePromptCount, 2);
    EXPECT_EQ(ToolBarStr.hStripList, nullptr);
    EXPECT_EQ(MenuStr.IconMode, 1);
    EXPECT_EQ(DocState(), std::make_tuple(0, 0, std::string()));
    EXPECT_EQ(Pixel(3, 4), RGB(200, 10, 10)) << "the board keeps its picture";
    int width = 0;
    for (COLORREF shown : Shown(ToolBarStr.hStripWnd, &width)) ASSERT_EQ(shown, StripBackground);
}

TEST_F(Strip, RequestsMeetingInOnePaintActInTheirOrder) {
    // Commands all handled by one paint (leaving toolbar mode settles what came before it at once);
    // the strip's markers, selection (-1: no strip, nor any edit) and the board's marker afterwards.
    struct Case {
        const char* Name;
        int Images, Slot;
        bool FromIconMode;   // the strip left (discarded) before the commands
        std::vector<int> Commands;
        std::vector<COLORREF> Expected;
        int SelSlot;
        COLORREF Board;
    };
    // Requests no command can put together, set on the strip directly.
    const int CreateRequest = -1, DiscardRequest = -2;
    const Case cases[] = {
        {"delete before add", 1, 0, false, {IDC_STRIPADD, IDC_STRIPDELETE}, {Marker(0), MaskColor}, 0, Marker(0)},
        {"selection limits before add", 1, 0, false, {IDC_STRIPNEXT, IDC_STRIPADD}, {Marker(0), MaskColor}, 0,
         Marker(0)},
        {"delete before update", 3, 2, false, {IDC_STRIPUPDATE, IDC_STRIPDELETE}, {Marker(0), Marker(0)}, 1, Marker(0)},
        {"delete before retrieve", 3, 1, false, {IDC_STRIPGET, IDC_STRIPDELETE}, {Marker(0), Marker(2)}, 1, Marker(2)},
        {"a press past the end deletes the last", 3, 2, false, {IDC_STRIPNEXT, IDC_STRIPDELETE},
         {Marker(0), Marker(1)}, 1, Marker(0)},
        {"a press before the start deletes the first", 3, 0, false, {IDC_STRIPPREV, IDC_STRIPDELETE},
         {Marker(1), Marker(2)}, 0, Marker(0)},
        {"discard before every edit", 3, 1, false,
         {IDM_ICONMODE, IDC_STRIPGET, IDC_STRIPUPDATE, IDC_STRIPADD, IDC_STRIPDELETE}, {}, -1, Marker(0)},
        {"toolbar mode straight after icon mode", 3, 1, false, {IDM_ICONMODE, IDM_TOOLBARMODE}, {Marker(0)}, 0,
         Marker(0)},
        {"create before add", 3, 0, true, {IDM_TOOLBARMODE, IDC_STRIPADD}, {Marker(0), MaskColor}, 0, Marker(0)},
        {"create before the limits and retrieve", 3, 0, true,
         {IDM_TOOLBARMODE, IDC_STRIPNEXT, IDC_STRIPNEXT, IDC_STRIPADD, IDC_STRIPGET}, {Marker(0), MaskColor}, 0,
         Marker(0)},
        {"discard takes a create with it", 3, 0, false, {CreateRequest, DiscardRequest}, {}, -1, Marker(0)},
    };
    std::string path = StripFile("three.bmp", 16, 3);
    std::vector<uint8_t> three = ReadBytes(path);
    StripFile("one.bmp", 16, 1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        StartWith(folder + (c.Images == 1 ? "one.bmp" : "three.bmp"));
        Button(IDC_STRIPNEXT, c.Slot);
        if (c.FromIconMode) Button(IDM_ICONMODE);
        for (int id : c.Commands)
            if (id == CreateRequest) ToolBarStr.CreateRequest = 1;
            else if (id == DiscardRequest) ToolBarStr.DiscardRequest = 1;
            else Command(id);
        InvalidateRect(ToolBarStr.hStripWnd, nullptr, FALSE);
        PaintStrip();
        EXPECT_EQ(Markers(), c.Expected);
        EXPECT_EQ(std::make_pair(ToolBarStr.StripActive == 1, ToolBarStr.hStripList != nullptr),
                  std::make_pair(c.SelSlot >= 0, c.SelSlot >= 0));
        if (c.SelSlot >= 0) EXPECT_EQ(ToolBarStr.SelSlot, c.SelSlot);
        else EXPECT_EQ(std::make_tuple(NeedToSave, UndoEnabled()), std::make_tuple(0, false)) << "no edit after it";
        EXPECT_EQ(Pixel(0, 0), c.Board);
    }
    EXPECT_EQ(ReadBytes(path), three);
}

TEST_F(Strip, TheSelectionScrollsOneImagePerPaintAndStopsAtTheEnds) {
    // 18 slots at 16x16, nine at 32x32; Presses commands each painted, or
    // all in one paint.
    struct Step { int Button, Presses; bool OnePaint; int SelSlot, FirstVisible; };
    const struct { int Pace, Images; std::vector<Step> Steps; } strips[] = {
        {16, 25, {{IDC_STRIPNEXT, 17, false, 17, 0}, {IDC_STRIPNEXT, 1, false, 17, 1},
                  {IDC_STRIPNEXT, 12, false, 17, 7}, {IDC_STRIPPREV, 17, false, 0, 7},
                  {IDC_STRIPPREV, 1, false, 0, 6}, {IDC_STRIPPREV, 12, false, 0, 0},
                  {IDC_STRIPNEXT, 20, true, 17, 1}}},
        {32, 12, {{IDC_STRIPNEXT, 11, false, 8, 3}}},
        {16, 3, {{IDC_STRIPNEXT, 5, false, 2, 0}, {IDC_STRIPPREV, 3, false, 0, 0}}},   // shorter than its slots
        {16, 20, {{IDC_STRIPNEXT, 19, false, 17, 2}, {IDC_STRIPDELETE, 1, false, 17, 1}}},   // the view moves back
    };
    for (const auto& strip : strips) {
        OpenStrip(StripFile("many.bmp", strip.Pace, strip.Images));
        for (const Step& step : strip.Steps) {
            SCOPED_TRACE(testing::Message() << strip.Images << " images, " << step.Presses << " presses of "
                                            << step.Button);
            if (step.OnePaint) {
                for (int i = 0; i < step.Presses; ++i) Command(step.Button);
                PaintStrip();
            } else {
                Button(step.Button, step.Presses);
            }
            EXPECT_EQ(ToolBarStr.SelSlot, step.SelSlot);
            EXPECT_EQ(ToolBarStr.FirstVisible, step.FirstVisible);
        }
    }
}

TEST_F(Strip, UpdateAndGetMoveImagesBetweenBoardAndStrip) {
    StartWith(StripFile("alpha.bmp", 16, 3, [](int, int, int) { return uint8_t(0xFF); }));
    EXPECT_EQ(VirtualScreen[5], Picture(0, 5, 0)) << "on the board every fourth byte is 0";
    Draw();
    NeedToSave = 0;
    Command(IDC_STRIPGET);   // met in one paint, update comes first: the board comes back as drawn
    Button(IDC_STRIPUPDATE);
    EXPECT_EQ(NeedToSave, 1);
    EXPECT_EQ(Pixel(3, 4), RGB(200, 10, 10));
    for (int i = 0; i < 256; ++i) ASSERT_EQ(ListPixel(0, i % 16, i / 16), VirtualScreen[i]) << i;
    Button(IDC_STRIPNEXT);
    NeedToSave = 0;
    Button(IDC_STRIPGET);
    EXPECT_EQ(NeedToSave, 0);
    EXPECT_EQ(VirtualScreen[17], Picture(1, 1, 1));
    Command(IDM_UNDO);
    EXPECT_EQ(Pixel(3, 4), RGB(200, 10, 10)) << "Get is one undo step";
}

TEST_F(Strip, TheSlotsAndTheEnlargedSelectionArePaintedFromTheList) {
    for (int pace : {16, 32}) {
        SCOPED_TRACE(testing::Message() << pace << "x" << pace);
        // Solid images, three of them with a fourth byte the display must not use.
        OpenStrip(StripFile("solid.bmp", pace, 4, [](int k, int, int) { return uint8_t(k ? 0x7F : 0); }, true));
        Button(IDC_STRIPNEXT, 2);
        int width = 0;
        std::vector<COLORREF> shown = Shown(ToolBarStr.hStripWnd, &width);
        const int top = (48 - pace) / 2;
        auto at = [&](int x, int y) { return shown[y * width + x]; };
        for (int k = 0; k < 4; ++k) {   // where the enlarged image does not reach
            const int x = pace * k + 5 + pace / 2;
            EXPECT_EQ(at(x, top + pace / 2), Marker(k)) << "slot " << k;
            EXPECT_EQ(at(x, top + pace - 1), Marker(k)) << "slot " << k;
        }
        EXPECT_EQ(at(pace * 4 + 5, top), StripBackground) << "no image beyond the fourth";
        EXPECT_EQ(at(4, top), StripBackground);
        // The selected image (slot 2) covers its slot 3 pixels wider on every side.
        const int ex = 2 * pace + 2, ey = top - 3;
        EXPECT_EQ(at(ex, ey), Marker(2));
        EXPECT_EQ(at(ex + pace + 5, ey + pace + 5), Marker(2));
        EXPECT_EQ(at(ex - 1, ey + 10), Marker(1));
        EXPECT_EQ(at(ex + 10, ey - 1), StripBackground);
        EXPECT_EQ(at(ex + pace + 6, ey + 10), Marker(3));
    }
}

TEST_F(Strip, UnreadableStripsAreRefusedAndKeepTheStripAndItsName) {
    auto bitmap = [&](const char* name, int width, int height, int bits, uint32_t bytes) {   // pixel bytes all 0x40
        WriteBytes(folder + name, Bytes{'B', 'M'} + Le(4, 54 + bytes) + Le(4, 0) + Le(4, 54) + Le(4, 40) + Le(4, width) +
                                      Le(4, height) + Le(2, 1) + Le(2, bits) + Bytes(24, 0) + Bytes(bytes, 0x40));
        return folder + name;
    };
    const std::string unsupported = "File format is not supported!";
    // At start a strip that cannot be read leaves a new, unnamed strip.
    for (const auto& [path, message] : {std::pair<std::string, std::string>{bitmap("b16.bmp", 16, 16, 24, 768), unsupported},
                                        {folder + "missing.bmp", "Can't open file"}}) {
        SCOPED_TRACE(path);
        StartWith(path);
        EXPECT_TRUE(Prompts.size() == 1 && Prompts[0].Text == message);
        EXPECT_TRUE(Checked(MenuStr.hMainMenu, IDM_TOOLBARMODE) && !Checked(MenuStr.hMainMenu, IDM_ICONMODE));
        EXPECT_EQ(ToolBarStr.StripCount, 1);
        EXPECT_STREQ(szFileName, "");
    }
    // Opened later, it leaves the strip and its name as they were.
    const std::string good = StripFile("good.bmp", 32, 3);
    StartWith(good);
    const std::string title = szTitleName;
    for (const auto& [path, message] : {std::pair<std::string, std::string>{bitmap("b24.bmp", 48, 16, 24, 48 * 16 * 3), unsupported},
                                        {bitmap("beyond.bmp", 64, 16, 32, 32 * 16 * 4), "Error reading file!"}}) {
        SCOPED_TRACE(path);
        Prompts.clear();
        NeedToSave = 1;   // the person goes on without saving the strip first
        DialogChoice = path;
        Command(IDM_OPEN);
        PaintStrip();
        ASSERT_FALSE(Dialogs.empty());
        EXPECT_EQ(Dialogs.back().Filter, "Bitmap (*.BMP)|*.bmp|");
        ASSERT_EQ(Prompts.size(), 2u);
        EXPECT_EQ(Prompts[1].Text, message);
        EXPECT_EQ(DocState(), std::make_tuple(1, 1, good)) << "the strip that stays, still unsaved";
        EXPECT_EQ(szTitleName, title);
        EXPECT_EQ(Markers(), (std::vector<COLORREF>{Marker(0), Marker(1), Marker(2)}));
        EXPECT_EQ(Pace, 32);
    }
    // Toolbar mode entered at 8 bits: a strip that cannot be read still
    // leaves the strip's size at 24 bits, as one that can.
    Restart("");
    Command(IDM_SIZE32);
    Command(IDM_DEPTH8);
    Command(IDM_TOOLBARMODE);
    PaintStrip();
    DialogChoice = folder + "missing.bmp";
    Command(IDM_OPEN);
    EXPECT_EQ(std::make_pair(OpenPaceMessageToMenu, Checked(MenuStr.hMainMenu, IDM_DEPTH24)), std::make_pair(7, true));
}

TEST_F(Strip, AStripThatCannotBeSavedKeepsTheOldFileTheStripAndTheMode) {
    std::string path = StripFile("kept.bmp", 16, 3);
    std::vector<uint8_t> old = ReadBytes(path);
    StartWith(path);
    Button(IDC_STRIPADD);
    auto locked = [&](const std::function<void()>& action) {
        HANDLE lock = Lock(path);
        ASSERT_NE(lock, INVALID_HANDLE_VALUE);
        Prompts.clear();
        action();
        PaintStrip();
        CloseHandle(lock);
        ASSERT_FALSE(Prompts.empty());
        EXPECT_EQ(Prompts.back().Text, "Can't open file") << "the file in use cannot be replaced";
        EXPECT_EQ(ReadBytes(path), old);
        EXPECT_EQ(FilesIn(folder), 1) << "no temporary file left";
        EXPECT_EQ(std::make_tuple(ToolBarStr.StripActive, ToolBarStr.StripCount, NeedToSave), std::make_tuple(1, 4, 1));
    };
    locked([&] { Command(IDM_SAVE); });
    SavePromptAnswer = 0;   // yes: save first, into the same file
    DialogChoice = path;
    locked([&] { Command(IDM_ICONMODE); });
    locked([&] {
        Command(IDM_RESOLUTION);
        SendDlgItemMessageA(hModlessDlg, IDC_RESICONMODE, BM_CLICK, 0, 0);
        SendDlgItemMessageA(hModlessDlg, IDC_RES32, BM_CLICK, 0, 0);
        SendMessageA(hModlessDlg, WM_COMMAND, IDC_RESOK, 0);
    });
    EXPECT_EQ(Pace, 16) << "nothing of the dialog applied";

    // Free again, leaving saves the strip, with an image added just before it could paint.
    Command(IDC_STRIPADD);
    Button(IDM_ICONMODE);
    EXPECT_EQ(ToolBarStr.StripActive, 0);
    StripImages saved;
    MemoryStream in(ReadBytes(path));
    ASSERT_EQ(ReadStripBitmap(in, saved), 0);
    EXPECT_EQ(saved.Count, 5);
    EXPECT_EQ(saved.Pixels[3 * 256 + 7], MaskColor);
}
