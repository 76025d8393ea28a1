// The gradient picker, its sliders, the colour chooser and the gradient
// fills, through the real windows; the pictures are checked pixel by pixel.
#include "colour/Gradient.h"
#include "document/IcColors.h"
#include "tests/gui/EditorFixture.h"

namespace {
COLORREF BrushColour(HBRUSH brush) {
    LOGBRUSH lb = {};
    GetObjectA(brush, sizeof lb, &lb);
    return lb.lbColor;
}

CHOOSECOLORA ChooserShown;
COLORREF ChooserResult;   // what the scripted person picks, or CLR_INVALID to cancel
COLORREF ChooserCustom4;  // what they leave in custom box 4

BOOL WINAPI ScriptedChooser(CHOOSECOLORA* cc) {
    ChooserShown = *cc;
    cc->lpCustColors[4] = ChooserCustom4;
    if (ChooserResult == CLR_INVALID) return FALSE;
    cc->rgbResult = ChooserResult;
    return TRUE;
}
}

constexpr int GW = 68, GH = 98;   // the gradient window's client size

class Picker : public Editor {
protected:
    void SetUp() override {
        Editor::SetUp();
        PixtorColourDialog = ScriptedChooser;
    }
    void Pick(int x, int y) { SendMessageA(Gradient, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y)); }
    void Drag(int slider, int y, WPARAM keys = MK_LBUTTON) {
        SendMessageA(OwnScroller[slider], WM_MOUSEMOVE, keys, MAKELPARAM(5, y));
    }
};

TEST_F(Picker, RampsAtStartAndAtTheSliderMaximum) {
    auto picture = [] { return Render(GW, GH, [](HDC hdc) { PaintGradientPicture(hdc, GW, GH); }); };
    std::vector<COLORREF> px = picture();
    auto at = [&](int x, int y) { return px[y * GW + x]; };
    // Right quadrants at the dark floor, left ones climbing by 3, separators at 34 and 68, the band.
    const struct { int X, Y, Level; } points[] = {
        {67, 10, 3}, {40, 50, 3}, {0, 5, 0}, {1, 5, 3}, {33, 5, 99}, {10, 35, 3},
        {10, 67, 99}, {34, 0, 44}, {34, 60, 44}, {5, 34, 44}, {5, 68, 44}, {3, GH - 3, 0}};
    for (const auto& p : points) EXPECT_EQ(at(p.X, p.Y), RGB(p.Level, p.Level, p.Level)) << p.X << "," << p.Y;

    MixedRed = MixedGreen = MixedBlue = 234;
    px = picture();
    EXPECT_EQ(at(5, 5), RGB(249, 249, 249));
    EXPECT_EQ(at(6, 5), RGB(250, 250, 250)) << "the ramp stops at its cap";
    EXPECT_EQ(at(36, 5), RGB(228, 228, 228));   // top right falls by 3 from its own edge
    EXPECT_EQ(at(3, GH - 3), RGB(234, 234, 234));
    // The read-out is drawn in the band's inverse.
    EXPECT_NE(std::find(px.begin() + 70 * GW, px.end(), RGB(21, 21, 21)), px.end());
}

// Each quadrant asks for its own fill; the separators count as the last quadrant, the band as none.
TEST_F(Picker, QuadrantClicksAskForTheirFillsAndTheBandForTheColour) {
    MixedRed = 100, MixedGreen = 60, MixedBlue = 20;   // each channel its own, so that none stands in for another
    const struct { int X, Y, Fill; } cases[] = {
        {10, 10, GradientColumnsUp}, {50, 10, GradientColumnsDown}, {10, 50, GradientRowsUp},
        {50, 50, GradientRowsDown}, {34, 10, GradientRowsDown}, {10, 34, GradientRowsDown}};
    std::vector<uint32_t> before;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "click at " << c.X << "," << c.Y);
        MouseBit = 0;
        NeedToSave = 0;
        const int stored = DinamicMem.Stored;
        before = Image();
        Pick(c.X, c.Y);
        std::vector<uint32_t> want(ImagePixels, 0);
        GradientFill(c.Fill, want.data(), Pace, 100, 60, 20);
        EXPECT_TRUE(std::equal(want.begin(), want.begin() + 256, VirtualScreen));
        EXPECT_EQ(MouseBit, 1);
        EXPECT_EQ(NeedToSave, 1);
        EXPECT_EQ(DinamicMem.Stored, std::min(stored + 1, 8));
    }
    Command(IDM_UNDO);
    EXPECT_EQ(Image(), before) << "the image before the last fill";

    ClearImage();
    MixedRed = 30;
    MixedBlue = 90;
    MouseBit = 0;
    Pick(10, 90);
    EXPECT_EQ(MouseBit, 1);
    EXPECT_TRUE(PaintedCells().empty()) << "no fill";
    RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    EXPECT_EQ(BrushColour(hPaleteTableItem[0]), RGB(30, 60, 90));
    EXPECT_EQ(ColorTable[0], RGB(30, 60, 90));
}

TEST_F(Picker, SliderDragsSetTheirOwnChannelAndThumb) {
    Drag(1, 40);
    EXPECT_EQ(MixedColour(), RGB(0, 120, 0));
    EXPECT_EQ(Green, 30);
    Drag(0, 10);
    Drag(2, 20);
    EXPECT_EQ(MixedColour(), RGB(60, 120, 30));
    EXPECT_EQ((std::vector<int>{Blue, Green, Red}), (std::vector<int>{0, 30, 10})) << "each thumb its own";
    // Up to four pixels below is the bottom; above it while captured, with Shift or no button: nothing.
    const struct { int Y; WPARAM Keys; int MouseBit; } drags[] = {
        {78 + 4, MK_LBUTTON, 0}, {78 + 5, MK_LBUTTON, 0}, {0xFFF0, MK_LBUTTON, 0},
        {5, MK_LBUTTON | MK_SHIFT, 1}, {5, 0, 1}};
    for (const auto& d : drags) {
        MouseBit = 0;
        Drag(2, d.Y, d.Keys);
        EXPECT_EQ(MixedRed, 234) << d.Y << " " << d.Keys;
        if (d.MouseBit) EXPECT_EQ(MouseBit, 1) << d.Y << " " << d.Keys;
    }

    // Each slider paints its thumb where its channel stands: blue at the top, green at 30, red at 68.
    auto slider = [](int k) { return Render(18, 78, [k](HDC hdc) { PaintSliderPicture(hdc, 18, 78, k); }); };
    EXPECT_EQ(Red, 68);
    EXPECT_EQ(slider(0)[0 * 18 + 8], RGB(0, 0, 30));
    const std::vector<COLORREF> green = slider(1);
    EXPECT_EQ(green[30 * 18 + 8], RGB(0, 0, 30));
    EXPECT_EQ(green[0 * 18 + 8], RGB(40, 0, 40)) << "green's thumb left the top";
    EXPECT_EQ(green[60 * 18 + 8], RGB(0, (3 * 60 + 30) % 256, 0)) << "its own channel's ramp";
}

TEST_F(Picker, ChooserRecordAndItsColoursOnTheButtons) {
    ColorTable[0] = RGB(1, 2, 3);
    ChooserResult = CLR_INVALID;
    ChooserCustom4 = RGB(9, 8, 7);
    Command(IDM_PALETTE);
    // Opened on the drawing colour.
    EXPECT_EQ(ChooserShown.hwndOwner, main);
    EXPECT_EQ(ChooserShown.rgbResult, RGB(1, 2, 3));
    // Cancelled: the drawing colour stays, the custom colour still shows.
    EXPECT_EQ(ColorTable[0], RGB(1, 2, 3));
    for (int k = 1; k <= 20; ++k) EXPECT_EQ(BrushColour(hPaleteTableItem[k]), crCustColors[k - 1]) << k;
    Command(IDC_PALETTEFIRST + 4);
    EXPECT_EQ(ColorTable[0], RGB(9, 8, 7));

    ChooserResult = RGB(200, 100, 50);
    Command(IDM_PALETTE);
    EXPECT_EQ(ColorTable[0], RGB(200, 100, 50));
    EXPECT_EQ(BrushColour(hPaleteTableItem[0]), RGB(200, 100, 50));
}

TEST_F(Picker, PaletteButtonsSetTheDrawingColourAndAnswerForTheirFaces) {
    EXPECT_EQ(BrushColour(hPaleteTableItem[0]), RGB(0, 0, 0));
    HDC hdc = GetDC(main);
    for (int id = IDC_PALETTEFIRST; id <= IDC_PALETTELAST; ++id) {
        SCOPED_TRACE(testing::Message() << "button " << id);
        SetFocus(hPalete[id - IDC_SWATCH]);
        Command(id);
        EXPECT_EQ(ColorTable[0], crCustColors[id - IDC_PALETTEFIRST]);
        EXPECT_EQ(BrushColour(hPaleteTableItem[0]), ColorTable[0]);
        EXPECT_EQ(GetFocus(), main);
        LRESULT face = SendMessageA(main, WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(hdc),
                                    reinterpret_cast<LPARAM>(hPalete[id - IDC_SWATCH]));
        EXPECT_EQ(face, reinterpret_cast<LRESULT>(hPaleteTableItem[id - IDC_SWATCH]));
    }
    // The swatch and every other button take the drawing colour's brush.
    for (HWND other : {hPalete[0], GetDlgItem(main, IDC_NUDGEUP)})
        EXPECT_EQ(SendMessageA(main, WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(hdc), reinterpret_cast<LPARAM>(other)),
                  reinterpret_cast<LRESULT>(hPaleteTableItem[0]));
    ReleaseDC(main, hdc);
}
