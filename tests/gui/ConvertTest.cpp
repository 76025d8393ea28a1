// The icons other programs make: converted on Yes from their best picture,
// with transparency and hot spot, and never written back over unasked.
#include <windows.h>
#include <shlobj.h>
#include <cstring>
#include "formats/FileErrors.h"
#include "formats/PngImage.h"
#include "formats/win32/IconFile.h"
#include "tests/core/TestBytes.h"
#include "tests/gui/EditorFixture.h"

namespace {
const std::vector<std::string> Question = {ConvertQuestion};
uint32_t Quarters(int x, int y) { return x < y ? 0xFF0000FFu : x > y + 4 ? 0x00000000u : 0xC000FF00u; }
}  // namespace

TEST_F(Files, ModernIconsOpenFromTheirBestPictureAndSaveOnlyWhereAsked) {
    // What each shows, in order.
    const struct { const char* name; Bytes bytes; int answer; std::vector<std::string> shown; int index; int hotX, hotY; } cases[] = {
        // 48 px first, a 32 px picture after it: the 32 is taken as it is.
        {"multi.ico", IconFile({{48, Entry32(48, 48, Quarters)}, {32, Entry32(32, 32, Quarters)}}), IDYES, Question, 7, 0, 0},
        // A 64 px cursor averaged down, its hot spot with it.
        {"big.cur", IconFile({{64, Entry32(64, 64, [](int x, int y) { return Quarters(x / 2, y / 2); }), 40, 20}}, 2),
         IDYES, Question, 7, 20, 10},
        {"declined.ico", IconFile({{48, Entry32(48, 48, Quarters)}}), IDNO, Question, -1, 0, 0},
        {"nothing.ico", IconFile({{48, Patched(Entry32(48, 48, Quarters), {{14, 2, 16}})}}), IDYES,
         {ConvertQuestion, "Error reading file!"}, -1, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = folder + c.name;
        WriteBytes(path, c.bytes);
        Restart("");
        PromptAnswer = c.answer;
        DinamicSave();   // a step of history, which only a picture read replaces
        OpenFile(path);
        EXPECT_EQ(std::make_pair(Said(), UndoEnabled()), std::make_pair(c.shown, c.index < 0));
        if (c.index < 0) {   // refused: the picture and the unnamed document as they were
            EXPECT_EQ(std::make_tuple(OpenPaceMessageToMenu, IsMaskPixel(VirtualScreen[0]), std::string(szFileName)),
                      std::make_tuple(6, true, std::string()));
            continue;
        }
        EXPECT_EQ(OpenPaceMessageToMenu, c.index);
        // Red below the diagonal, green on it, the rest transparent.
        EXPECT_EQ(std::make_tuple(Pixel(0, 5), Pixel(5, 5), IsMaskPixel(VirtualScreen[31])),
                  std::make_tuple(RGB(255, 0, 0), RGB(0, 255, 0), true));
        EXPECT_EQ(std::make_tuple(CursorStr.HotX, CursorStr.HotY), std::make_tuple(uint16_t(c.hotX), uint16_t(c.hotY)));
        // Save asks, on the file's own name, and a cancel leaves the file whole.
        Dialogs.clear();
        DialogChoice = "";
        Command(IDM_SAVE);
        ASSERT_EQ(Dialogs.size(), 1u);
        EXPECT_EQ(std::make_tuple(Dialogs[0].Save, Dialogs[0].Initial, ReadBytes(path)), std::make_tuple(true, path, c.bytes));
    }
    // A refused file after a converted one leaves Save asking, as before.
    for (const char* name : {"multi.ico", "declined.ico"}) {
        PromptAnswer = name[0] == 'm' ? IDYES : IDNO;
        OpenFile(folder + name);
    }
    EXPECT_EQ(std::make_pair(std::string(szFileName), FileFlag), std::make_pair(folder + "multi.ico", 0));
}

// A dropped file opens as Open would: the unsaved picture offered first,
// saved under a new name, and a file that cannot be read leaves it that name.
TEST_F(Files, ADroppedFileOpensAsOpenWould) {
    Draw();
    PromptAnswer = IDYES;
    DialogChoice = folder + "second.ico";
    DropFile(main, folder + "missing.ico");
    EXPECT_TRUE(!Prompts.empty() && Prompts[0].Text == "Current image will be overwritten. Save?");
    EXPECT_EQ(DocState(), std::make_tuple(0, 1, DialogChoice));
}

// Paste takes a PNG where no bitmap is, its transparency as the mask
// colour; Copy offers a PNG too, transparent where the image is.
TEST_F(Editor, PasteTakesAPngAndCopyOffersOne) {
    std::vector<uint32_t> picture(32 * 32, MakeColour(9, 8, 7));
    for (int i : {0, 1, 32, 33}) picture[i] = MaskColor;   // one pixel of the 16 px image
    const std::vector<uint8_t> png = EncodePng(32, picture.data());
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, png.size());
    std::memcpy(GlobalLock(block), png.data(), png.size());
    GlobalUnlock(block);
    PutOnClipboard(main, PngClipboardFormat(), block);
    Command(IDM_PASTE);
    EXPECT_EQ(std::make_tuple(IsMaskPixel(VirtualScreen[0]), Pixel(1, 0), Pixel(15, 15), NeedToSave),
              std::make_tuple(true, RGB(9, 8, 7), RGB(9, 8, 7), 1));

    Command(IDM_COPY);
    ASSERT_TRUE(OpenClipboard(main));
    HGLOBAL copied = GetClipboardData(PngClipboardFormat());
    PngPicture back;
    const std::string problem = copied ? DecodePngWithAlpha(static_cast<const uint8_t*>(GlobalLock(copied)),
                                                             GlobalSize(copied), back) : "no PNG";
    if (copied) GlobalUnlock(copied);
    CloseClipboard();
    ASSERT_EQ(problem, "");
    EXPECT_EQ(std::make_tuple(back.Width, back.Pixels[0] >> 24, back.Pixels[1]),
              std::make_tuple(16, 0u, 0xFF000000u | MakeColour(9, 8, 7)));
}
