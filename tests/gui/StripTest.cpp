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
        OpenFile(path);
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
        EXPECT_EQ(std::make_tuple(ToolBarStr.StripActive, ToolBarStr.StripCount, OpenPaceMessageToMenu, DocState()),
                  std::make_tuple(1, 5, pace == 32 ? 7 : 6, std::make_tuple(0, 1, path)));
        EXPECT_EQ(VirtualScreen[(pace - 1) * pace + 3], Picture(0, 3, pace - 1)) << "image 0 on the board";
        Command(IDM_SAVE);
        EXPECT_EQ(std::make_pair(Dialogs.size(), ReadBytes(path)), std::make_pair(size_t(0), before))
            << "saved without a question, every byte kept, the fourth ones too";
        // Leaving through the resolution dialog saves the strip where asked.
        DialogChoice = folder + "copy.bmp";
        Command(IDM_RESOLUTION);
        SendDlgItemMessageA(hModlessDlg, IDC_RESICONMODE, BM_CLICK, 0, 0);
        SendMessageA(hModlessDlg, WM_COMMAND, IDC_RESOK, 0);
        EXPECT_EQ(std::make_pair(ToolBarStr.StripActive, ReadBytes(folder + "copy.bmp")), std::make_pair(0, before));
    }
}

TEST_F(Strip, ToolbarModeMakesAStripOfTheBoardAndIconModeEndsIt) {
    Start("");
    SaveAs(folder + "icon.ico");
    Draw();
    Command(IDM_TOOLBARMODE);
    ASSERT_EQ(ToolBarStr.StripCount, 1) << "made at once, not at the strip's next paint";
    EXPECT_TRUE(ListPixel(0, 3, 4) == RGB(200, 10, 10) && IsMaskPixel(ListPixel(0, 0, 0))) << "the board's picture";
    EXPECT_EQ(DocState(), std::make_tuple(0, 1, std::string())) << "a new strip is a new, unnamed document";

    Button(IDC_STRIPADD, 4);
    EXPECT_EQ(std::make_tuple(ToolBarStr.StripCount, ToolBarStr.SelSlot, NeedToSave), std::make_tuple(5, 0, 1));
    Button(IDC_STRIPNEXT);
    NeedToSave = 0;
    Button(IDC_STRIPDELETE);
    EXPECT_EQ(NeedToSave, 1);
    Button(IDC_STRIPPREV);
    Button(IDM_TOOLBARMODE);
    EXPECT_EQ(ToolBarStr.StripCount, 4) << "toolbar mode again only refreshes the menus";
    PromptAnswer = IDYES;   // New clears the board; the strip stays unsaved
    Command(IDM_NEW);
    EXPECT_EQ(std::make_tuple(PaintedCells().empty(), ToolBarStr.StripCount, NeedToSave), std::make_tuple(true, 4, 1));
    Button(IDC_STRIPGET);   // image 0, the first picture, back on the board

    Button(IDM_ICONMODE);   // answered No: the strip goes unsaved
    EXPECT_EQ(std::make_tuple(SavePromptCount, ToolBarStr.StripActive, DocState()),
              std::make_tuple(1, 0, std::make_tuple(0, 0, std::string())));
    EXPECT_EQ(Pixel(3, 4), RGB(200, 10, 10)) << "the board keeps its picture";
    for (COLORREF shown : Shown(ToolBarStr.hStripWnd)) ASSERT_EQ(shown, StripBackground);
}

TEST_F(Strip, RequestsMeetingInOnePaintActInTheirOrder) {
    // Commands all handled by one paint (leaving toolbar mode settles what came before it at once);
    // the strip's markers, selection (-1: no strip, nor any edit) and the board's marker afterwards.
    struct Case { const char* Name; int Images, Slot; std::vector<int> Commands; std::vector<COLORREF> Expected;
                  int SelSlot; COLORREF Board; };
    const Case cases[] = {
        {"delete before add", 1, 0, {IDC_STRIPADD, IDC_STRIPDELETE}, {Marker(0), MaskColor}, 0, Marker(0)},
        {"delete before update", 3, 2, {IDC_STRIPUPDATE, IDC_STRIPDELETE}, {Marker(0), Marker(0)}, 1, Marker(0)},
        {"delete before retrieve", 3, 1, {IDC_STRIPGET, IDC_STRIPDELETE}, {Marker(0), Marker(2)}, 1, Marker(2)},
        {"a press past the end deletes the last", 3, 2, {IDC_STRIPNEXT, IDC_STRIPDELETE}, {Marker(0), Marker(1)}, 1,
         Marker(0)},
        {"a press before the start deletes the first", 3, 0, {IDC_STRIPPREV, IDC_STRIPDELETE}, {Marker(1), Marker(2)},
         0, Marker(0)},
        {"discard before every edit", 3, 1, {IDM_ICONMODE, IDC_STRIPGET, IDC_STRIPUPDATE, IDC_STRIPADD, IDC_STRIPDELETE},
         {}, -1, Marker(0)},
        {"toolbar mode straight after icon mode: the board's picture, then the limits, add and retrieve", 3, 1,
         {IDM_ICONMODE, IDM_TOOLBARMODE, IDC_STRIPNEXT, IDC_STRIPNEXT, IDC_STRIPADD, IDC_STRIPGET},
         {Marker(0), MaskColor}, 0, Marker(0)},
    };
    std::string path = StripFile("three.bmp", 16, 3);
    std::vector<uint8_t> three = ReadBytes(path);
    StripFile("one.bmp", 16, 1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        StartWith(folder + (c.Images == 1 ? "one.bmp" : "three.bmp"));
        Button(IDC_STRIPNEXT, c.Slot);
        for (int id : c.Commands) Command(id);
        InvalidateRect(ToolBarStr.hStripWnd, nullptr, FALSE);
        PaintStrip();
        EXPECT_EQ(Markers(), c.Expected);
        EXPECT_EQ(ToolBarStr.StripActive, c.SelSlot >= 0 ? 1 : 0);
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
            for (int i = 0; step.OnePaint && i < step.Presses; ++i) Command(step.Button);   // all in one paint
            if (!step.OnePaint) Button(step.Button, step.Presses);
            PaintStrip();
            EXPECT_EQ(std::make_pair(ToolBarStr.SelSlot, ToolBarStr.FirstVisible), std::make_pair(step.SelSlot, step.FirstVisible));
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
    EXPECT_EQ(std::make_pair(NeedToSave, Pixel(3, 4)), std::make_pair(1, uint32_t(RGB(200, 10, 10))));
    for (int i = 0; i < 256; ++i) ASSERT_EQ(ListPixel(0, i % 16, i / 16), VirtualScreen[i]) << i;
    Button(IDC_STRIPNEXT);
    NeedToSave = 0;
    Button(IDC_STRIPGET);
    EXPECT_EQ(std::make_pair(NeedToSave, VirtualScreen[17]), std::make_pair(0, uint32_t(Picture(1, 1, 1))));
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
    // At start a strip that cannot be read leaves a new, unnamed strip.
    StartWith(folder + "missing.bmp");
    EXPECT_EQ(Said(), std::vector<std::string>{"Can't open file"});
    EXPECT_EQ(std::make_tuple(ToolBarStr.StripActive, ToolBarStr.StripCount, std::string(szFileName)),
              std::make_tuple(1, 1, std::string()));
    EXPECT_EQ(MenuChecks(), (std::vector<UINT>{IDM_SIZE16, IDM_DEPTH24, IDM_TOOLBARMODE, 1000 + IDM_SIZE16}));
    // Opened later, it leaves the strip and its name as they were.
    const std::string good = StripFile("good.bmp", 32, 3), beyond = StripFile("beyond.bmp", 16, 4);
    WriteBytes(beyond, Slice(ReadBytes(beyond), 0, 54 + 2 * 16 * 16 * 4));   // its pixels end half-way
    StartWith(good);
    const std::string title = szTitleName;
    NeedToSave = 1;   // the person goes on without saving the strip first
    OpenFile(beyond);
    PaintStrip();
    EXPECT_TRUE(!Dialogs.empty() && Dialogs.back().Filter == "Bitmap (*.BMP)|*.bmp|" && Prompted("Error reading file!"));
    EXPECT_EQ(std::make_tuple(DocState(), std::string(szTitleName), Pace), std::make_tuple(std::make_tuple(1, 1, good), title, 32))
        << "the strip that stays, still unsaved";
    EXPECT_EQ(Markers(), (std::vector<COLORREF>{Marker(0), Marker(1), Marker(2)}));
    WriteBytes(beyond, Patched(ReadBytes(good), {{28, 2, 24}}));   // 24 bits a pixel
    OpenFile(beyond);
    EXPECT_EQ(std::make_pair(Prompted("File format is not supported!"), ToolBarStr.StripCount), std::make_pair(true, 3));
    // Toolbar mode entered at 8 bits: a strip that cannot be read still
    // leaves the strip's size at 24 bits, as one that can.
    Restart("");
    Command(IDM_SIZE32);
    Command(IDM_DEPTH8);
    Command(IDM_TOOLBARMODE);
    PaintStrip();
    OpenFile(folder + "missing.bmp");
    EXPECT_EQ(OpenPaceMessageToMenu, 7);
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
        EXPECT_TRUE(Prompted("Can't open file")) << "the file in use cannot be replaced";
        EXPECT_EQ(std::make_tuple(ReadBytes(path), FilesIn(folder), ToolBarStr.StripActive, ToolBarStr.StripCount, NeedToSave),
                  std::make_tuple(old, 1, 1, 4, 1)) << "the old file, no temporary file, the strip unsaved";
    };
    locked([&] { Command(IDM_SAVE); });
    SavePromptAnswer = 0;   // yes: save first, into the same file
    DialogChoice = path;
    locked([&] { Command(IDM_ICONMODE); });
    locked([&] { Resolve({IDC_RESICONMODE, IDC_RES32}); });
    EXPECT_EQ(Pace, 16) << "nothing of the dialog applied";

    // Free again, leaving saves the strip, with an image added just before it could paint.
    Command(IDC_STRIPADD);
    Button(IDM_ICONMODE);
    EXPECT_EQ(ToolBarStr.StripActive, 0);
    StripImages saved;
    MemoryStream in(ReadBytes(path));
    ASSERT_EQ(ReadStripBitmap(in, saved), 0);
    EXPECT_EQ(std::make_pair(saved.Count, saved.Pixels[3 * 256 + 7]), std::make_pair(5, MaskColor));
}
