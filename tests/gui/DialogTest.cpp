// The resolution dialog and the menu check marks that follow size, depth
// and mode, through the real modeless dialog and menus.
#include "controls/Dialogs.h"
#include "formats/win32/IconFile.h"
#include "formats/StripBitmap.h"
#include "strip/ToolBarStrip.h"
#include "tests/gui/EditorFixture.h"

namespace {
// The checked items among the size, depth and mode entries of both menus.
std::vector<UINT> MenuChecks() {
    std::vector<UINT> on;
    for (UINT id : {IDM_SIZE16, IDM_SIZE32, IDM_DEPTH1, IDM_DEPTH4, IDM_DEPTH8, IDM_DEPTH24, IDM_ICONMODE,
                    IDM_TOOLBARMODE})
        if (Checked(MenuStr.hMainMenu, id)) on.push_back(id);
    for (UINT id : {IDM_SIZE16, IDM_SIZE32})
        if (Checked(MenuStr.hPopupMenu, id)) on.push_back(1000 + id);   // the right-click menu's own marks
    return on;
}
}

class ResolutionDialog : public Editor {
protected:
    HWND Open() {
        Command(IDM_RESOLUTION);
        EXPECT_NE(hModlessDlg, nullptr);
        EXPECT_TRUE(IsWindowVisible(hModlessDlg));
        return hModlessDlg;
    }
    void Choose(HWND dlg, int id) { SendDlgItemMessageA(dlg, id, BM_CLICK, 0, 0); }
    void OK(HWND dlg) {
        SendMessageA(dlg, WM_COMMAND, IDC_RESOK, 0);
        EXPECT_FALSE(IsWindow(dlg)) << "OK closes the dialog";
        EXPECT_EQ(hModlessDlg, nullptr);
    }
    std::vector<int> RadiosOn(HWND dlg) {
        std::vector<int> on;
        for (int id : {IDC_RES16, IDC_RES32, IDC_RESDEPTH1, IDC_RESDEPTH4, IDC_RESDEPTH8, IDC_RESDEPTH24,
                       IDC_RESICONMODE, IDC_RESTOOLBARMODE})
            if (IsDlgButtonChecked(dlg, id) == BST_CHECKED) on.push_back(id);
        return on;
    }
};

TEST_F(ResolutionDialog, RadiosStartFromTheMenusAndOKAppliesSizeDepthAndChecks) {
    HWND dlg = Open();
    Choose(dlg, IDC_RES32);
    SendMessageA(main, WM_SETFOCUS, 0, 0);
    EXPECT_FALSE(IsWindow(dlg)) << "focus back on the main window closes it, applying nothing";
    dlg = Open();
    EXPECT_EQ(RadiosOn(dlg), (std::vector<int>{IDC_RES16, IDC_RESDEPTH24, IDC_RESICONMODE}));
    Click(3, 4);
    Choose(dlg, IDC_RES32);
    Choose(dlg, IDC_RESDEPTH8);
    EXPECT_EQ(Pace, 16) << "nothing applies before OK";
    OK(dlg);
    EXPECT_EQ(OpenPaceMessageToMenu, 5);
    EXPECT_EQ(Pixel(6, 8) | Pixel(7, 9), 0u) << "the drawn pixel doubled with the image";
    EXPECT_EQ(MenuChecks(), (std::vector<UINT>{IDM_SIZE32, IDM_DEPTH8, IDM_ICONMODE, 1000 + IDM_SIZE32}));

    // Reopened, the radios follow the new state; two openings keep the newer one.
    dlg = Open();
    HWND second = Open();
    EXPECT_NE(second, dlg);
    EXPECT_EQ(RadiosOn(second), (std::vector<int>{IDC_RES32, IDC_RESDEPTH8, IDC_RESICONMODE}));
    Choose(second, IDC_RES16);
    Choose(second, IDC_RESDEPTH1);
    OK(second);
    EXPECT_EQ(OpenPaceMessageToMenu, 0);
    EXPECT_EQ(MenuChecks(), (std::vector<UINT>{IDM_SIZE16, IDM_DEPTH1, IDM_ICONMODE, 1000 + IDM_SIZE16}));
}

TEST_F(ResolutionDialog, ToolbarModeOnAndOffThroughTheDialog) {
    // Size, depth and mode are chosen apart; what the dialog shows is what OK applies.
    HWND dlg = Open();
    Choose(dlg, IDC_RES32);
    Choose(dlg, IDC_RESDEPTH4);
    Choose(dlg, IDC_RESTOOLBARMODE);
    Choose(dlg, IDC_RES16);
    EXPECT_EQ(RadiosOn(dlg), (std::vector<int>{IDC_RES16, IDC_RESDEPTH4, IDC_RESTOOLBARMODE}));
    OK(dlg);
    EXPECT_EQ(OpenPaceMessageToMenu, 2);
    EXPECT_EQ(ToolBarStr.StripActive, 1);
    EXPECT_EQ(ToolBarStr.CreateRequest, 1);
    EXPECT_EQ(MenuChecks(), (std::vector<UINT>{IDM_SIZE16, IDM_DEPTH4, IDM_TOOLBARMODE, 1000 + IDM_SIZE16}));

    // Toolbar radio again with another size and depth: nothing changes.
    dlg = Open();
    EXPECT_EQ(RadiosOn(dlg), (std::vector<int>{IDC_RES16, IDC_RESDEPTH4, IDC_RESTOOLBARMODE}));
    Choose(dlg, IDC_RES32);
    Choose(dlg, IDC_RESDEPTH1);
    OK(dlg);
    EXPECT_EQ(OpenPaceMessageToMenu, 2);
    EXPECT_TRUE(Dialogs.empty());

    // Back to icon mode: the bitmap save dialog is the question, and
    // cancelling it still empties the strip.
    NeedToSave = 1;
    ToolBarStr.DiscardRequest = 0;
    dlg = Open();
    Choose(dlg, IDC_RESICONMODE);
    OK(dlg);
    ASSERT_EQ(Dialogs.size(), 1u);
    EXPECT_TRUE(Dialogs[0].Save);
    EXPECT_EQ(Dialogs[0].Filter, "Bitmap (*.BMP)");
    EXPECT_EQ(SavePromptCount, 0) << "no yes/no question first";
    EXPECT_EQ(NeedToSave, 0);
    EXPECT_EQ(ToolBarStr.DiscardRequest, 1);
    EXPECT_EQ(MenuChecks(), (std::vector<UINT>{IDM_SIZE16, IDM_DEPTH4, IDM_ICONMODE, 1000 + IDM_SIZE16}));
}

TEST_F(Editor, MenuChecksFollowEverySizeAndDepthCommand) {
    struct Step { int command; std::vector<UINT> checks; int format; };
    const Step steps[] = {
        {IDM_SIZE32, {IDM_SIZE32, IDM_DEPTH24, IDM_ICONMODE, 1000 + IDM_SIZE32}, 7},
        {IDM_DEPTH8, {IDM_SIZE32, IDM_DEPTH8, IDM_ICONMODE, 1000 + IDM_SIZE32}, 5},
        {IDM_SIZE16, {IDM_SIZE16, IDM_DEPTH8, IDM_ICONMODE, 1000 + IDM_SIZE16}, 4},
        {IDM_SIZE16, {IDM_SIZE16, IDM_DEPTH8, IDM_ICONMODE, 1000 + IDM_SIZE16}, 4},
        {IDM_DEPTH1, {IDM_SIZE16, IDM_DEPTH1, IDM_ICONMODE, 1000 + IDM_SIZE16}, 0},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(testing::Message() << "command " << s.command);
        Command(s.command);
        EXPECT_EQ(MenuChecks(), s.checks);
        EXPECT_EQ(OpenPaceMessageToMenu, s.format);
    }
    // In toolbar mode the size and depth commands leave everything.
    ToolBarStr.StripActive = 1;
    NeedToSave = 0;
    Command(IDM_SIZE32);
    Command(IDM_DEPTH8);
    EXPECT_EQ(OpenPaceMessageToMenu, 0);
    EXPECT_EQ(NeedToSave, 0);
    ToolBarStr.StripActive = 0;
}

namespace {
int PromptButton;                     // the button the person clicks
std::string QuestionAsked;            // the prompt's question while it stands
int QuestionInk;                      // its green pixels on the screen
bool FacesRight;                      // Yes, No and Cancel wear their pictures

bool AnswerPrompt(HWND w) {
    HWND question = GetDlgItem(w, IDC_SAVETEXT);
    if (!question || !GetDlgItem(w, IDC_SAVECANCEL)) return false;
    FacesRight = true;
    for (int k = 0; k < 3; ++k)
        FacesRight &= SendDlgItemMessageA(w, IDC_SAVEYES + k, BM_GETIMAGE, IMAGE_BITMAP, 0) ==
                      reinterpret_cast<LRESULT>(hBitDialogue[k]);
    RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    char text[NameLength + 64];
    SaveQuestion(text);
    QuestionAsked = text;
    const std::vector<COLORREF> shown = Shown(question);
    QuestionInk = static_cast<int>(std::count(shown.begin(), shown.end(), RGB(0, 255, 0)));
    SendDlgItemMessageA(w, PromptButton, BM_CLICK, 0, 0);
    return true;
}
}

TEST_F(Files, TheSavePromptAsksByNameAndItsThreeButtonsSaveLeaveAndStay) {
    const std::string bmp = folder + "strip.bmp", ico = folder + "saved.ico";
    MemoryStream strip;
    WriteStripBitmap(strip, {16, 1, std::vector<uint32_t>(256, MaskColor)});
    WriteBytes(bmp, strip.data);
    struct Case { std::string Start; int Button; std::string Question; bool Closes; size_t Dialogs; };
    const Case cases[] = {
        {"", IDC_SAVECANCEL, "Save changes to icon 'New' ?", false, 0},
        {bmp, IDC_SAVENO, "Save changes to bitmap '" + bmp + "' ?", true, 0},
        {"", IDC_SAVEYES, "Save changes to icon 'New' ?", true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Button);
        Restart(c.Start);
        PixtorSavePrompt = RunSavePrompt;   // the real prompt, answered by the person below
        UpdateWindow(ToolBarStr.hStripWnd);
        Draw();
        DialogChoice = ico;
        PromptButton = c.Button;
        QuestionAsked.clear();
        QuestionInk = 0;
        FacesRight = false;
        WithPerson(100, AnswerPrompt, [this] { Command(IDM_EXIT); });
        EXPECT_TRUE(FacesRight);
        EXPECT_EQ(QuestionAsked, c.Question);
        EXPECT_GT(QuestionInk, 50) << "the question shows, green on violet";
        EXPECT_EQ(IsWindow(main) == FALSE, c.Closes);
        EXPECT_EQ(Dialogs.size(), c.Dialogs);
    }
    EXPECT_GT(ReadBytes(ico).size(), 0u) << "Yes saved the drawing";
}
