// The resolution dialog and the menu check marks that follow size, depth
// and mode, through the real modeless dialog and menus.
#include "controls/Dialogs.h"
#include "formats/win32/IconFile.h"
#include "formats/StripBitmap.h"
#include "platform/WideNames.h"
#include "strip/ToolBarStrip.h"
#include "tests/gui/EditorFixture.h"

class ResolutionDialog : public Editor {
protected:
    HWND Open() {
        Command(IDM_RESOLUTION);
        EXPECT_TRUE(IsWindowVisible(hModlessDlg));
        return hModlessDlg;
    }
    void Choose(HWND dlg, int id) { SendDlgItemMessageA(dlg, id, BM_CLICK, 0, 0); }
    void OK(HWND dlg) {
        SendMessageA(dlg, WM_COMMAND, IDC_RESOK, 0);
        EXPECT_TRUE(!IsWindow(dlg) && !hModlessDlg) << "OK closes the dialog";
    }
    std::vector<int> RadiosOn(HWND dlg) {
        std::vector<int> on;
        for (int id : {IDC_RES16, IDC_RES32, IDC_RESDEPTH1, IDC_RESDEPTH4, IDC_RESDEPTH8, IDC_RESDEPTH24,
                       IDC_RESICONMODE, IDC_RESTOOLBARMODE})
            if (IsDlgButtonChecked(dlg, id) == BST_CHECKED) on.push_back(id);
        return on;
    }
};

// Size, depth and mode are chosen apart, in any order: on each opening the radios show the
// state, before OK they show the choice, and OK applies what they show; in toolbar mode
// another size and depth change nothing.
TEST_F(ResolutionDialog, RadiosShowTheStateAndTheChoiceAndOKAppliesIt) {
    HWND dlg = Open();
    Choose(dlg, IDC_RES32);
    SendMessageA(main, WM_SETFOCUS, 0, 0);
    EXPECT_FALSE(IsWindow(dlg)) << "focus back on the main window closes it, applying nothing";
    Click(3, 4);
    using Ids = std::vector<int>;
    Ids shown = {IDC_RES16, IDC_RESDEPTH24, IDC_RESICONMODE};   // what the next opening shows
    const struct { Ids Chosen, Radios; } steps[] = {
        {{IDC_RES32, IDC_RESDEPTH8}, {IDC_RES32, IDC_RESDEPTH8, IDC_RESICONMODE}},
        {{IDC_RES32, IDC_RESDEPTH4, IDC_RESTOOLBARMODE, IDC_RES16}, {IDC_RES16, IDC_RESDEPTH4, IDC_RESTOOLBARMODE}},
        {{IDC_RES32, IDC_RESDEPTH1}, {IDC_RES32, IDC_RESDEPTH1, IDC_RESTOOLBARMODE}},   // applies nothing
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(testing::Message() << "step " << &s - steps);
        HWND first = Open();
        dlg = Open();
        EXPECT_NE(dlg, first) << "two openings keep the newer one";
        EXPECT_EQ(RadiosOn(dlg), shown);
        const int pace = Pace;
        for (int id : s.Chosen) Choose(dlg, id);
        EXPECT_EQ(RadiosOn(dlg), s.Radios);
        EXPECT_EQ(Pace, pace) << "nothing applies before OK";
        OK(dlg);
        if (&s == steps) EXPECT_EQ(Pixel(6, 8) | Pixel(7, 9), 0u) << "the drawn pixel doubled with the image";
        shown = s.Radios;
    }
    UpdateWindow(ToolBarStr.hStripWnd);
    EXPECT_EQ(std::make_tuple(ToolBarStr.StripActive, ToolBarStr.StripCount, Dialogs.size()), std::make_tuple(1, 1, size_t(0)));

    // Back to icon mode: the bitmap save dialog is the question, and
    // cancelling it still empties the strip; the icon left is unnamed, so
    // Save cannot write it over the strip's bitmap.
    SetNames(szFileName, szTitleName, "C:\\strip.bmp");
    FileFlag = 1;
    NeedToSave = 1;
    dlg = Open();
    EXPECT_EQ(RadiosOn(dlg), (Ids{IDC_RES16, IDC_RESDEPTH4, IDC_RESTOOLBARMODE})) << "the last choice applied nothing";
    Choose(dlg, IDC_RESICONMODE);
    OK(dlg);
    ASSERT_EQ(Dialogs.size(), 1u);
    EXPECT_EQ(std::make_pair(Dialogs[0].Save, Dialogs[0].Filter), std::make_pair(true, std::string("Bitmap (*.BMP)|*.bmp|")));
    EXPECT_EQ(std::make_pair(SavePromptCount, DocState()), std::make_pair(0, std::make_tuple(0, 0, std::string())))
        << "no yes/no question first, and the icon left unnamed";
    EXPECT_EQ(std::make_pair(ToolBarStr.StripActive, OpenPaceMessageToMenu), std::make_pair(0, 2)) << "16x16, 4 bits";
}

// A size keeps the depth and a depth the size (the menus' marks follow the
// format after every action of the random session); in toolbar mode neither acts.
TEST_F(Editor, SizeAndDepthCommandsKeepEachOtherAndDoNothingToAStrip) {
    const struct { int Command, Format; } steps[] = {{IDM_SIZE32, 7}, {IDM_DEPTH8, 5}, {IDM_SIZE16, 4}, {IDM_DEPTH1, 0}};
    for (const auto& s : steps) {
        Command(s.Command);
        EXPECT_EQ(OpenPaceMessageToMenu, s.Format) << "command " << s.Command;
    }
    ToolBarStr.StripActive = 1;
    NeedToSave = 0;
    const int format = OpenPaceMessageToMenu;
    Command(IDM_SIZE32);
    Command(IDM_DEPTH8);
    EXPECT_EQ(std::make_tuple(OpenPaceMessageToMenu, Pace, NeedToSave), std::make_tuple(format, 16, 0));
    ToolBarStr.StripActive = 0;
}

TEST_F(Files, TheSavePromptAsksByNameAndItsThreeButtonsSaveLeaveAndStay) {
    const std::string bmp = folder + "ストリップ café.bmp", ico = folder + "saved.ico";
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
        std::string asked;   // the prompt's question while it stands
        int ink = 0;         // its green pixels on the screen
        bool faces = false;  // Yes, No and Cancel wear their pictures
        auto person = [&](HWND w) {
            HWND question = GetDlgItem(w, IDC_SAVETEXT);
            if (!question || !GetDlgItem(w, IDC_SAVECANCEL)) return false;
            faces = true;
            for (int k = 0; k < 3; ++k)
                faces &= SendDlgItemMessageA(w, IDC_SAVEYES + k, BM_GETIMAGE, IMAGE_BITMAP, 0) ==
                         reinterpret_cast<LRESULT>(hBitDialogue[k]);
            RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
            wchar_t text[NameLength + 64] = {};
            GetWindowTextW(question, text, NameLength + 64);   // the question as the prompt holds it
            asked = Utf8Text(text);
            const std::vector<COLORREF> shown = Shown(question);
            ink = static_cast<int>(std::count(shown.begin(), shown.end(), RGB(0, 255, 0)));
            SendDlgItemMessageA(w, c.Button, BM_CLICK, 0, 0);
            return true;
        };
        WithPerson(100, person, [this] { Command(IDM_EXIT); });
        EXPECT_EQ(std::make_pair(faces, asked), std::make_pair(true, c.Question));
        EXPECT_GT(ink, 50) << "the question shows, green on violet";
        EXPECT_EQ(std::make_pair(IsWindow(main) == FALSE, Dialogs.size()), std::make_pair(c.Closes, c.Dialogs));
    }
    EXPECT_GT(ReadBytes(ico).size(), 0u) << "Yes saved the drawing";
}
