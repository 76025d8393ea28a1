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
}

constexpr int GW = 68, GH = 98;   // the gradient window's client size

class Picker : public Editor {
protected:
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
        before = Image();
        Pick(c.X, c.Y);
        std::vector<uint32_t> want(ImagePixels, 0);
        GradientFill(c.Fill, want.data(), Pace, 100, 60, 20);
        EXPECT_TRUE(std::equal(want.begin(), want.begin() + 256, VirtualScreen));
        EXPECT_EQ(MouseBit, 1);
    }
    Command(IDM_UNDO);
    EXPECT_EQ(Image(), before) << "the image before the last fill";

    ClearImage();
    MixedRed = 30;
    MixedBlue = 90;
    MouseBit = 0;
    Pick(10, 90);
    EXPECT_EQ(std::make_pair(MouseBit, PaintedCells().empty()), std::make_pair(1, true)) << "no fill";
    RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    EXPECT_EQ(std::make_pair(BrushColour(hPaleteTableItem[0]), ColorTable[0]), std::make_pair(RGB(30, 60, 90), RGB(30, 60, 90)));
}

TEST_F(Picker, SliderDragsSetTheirOwnChannelAndThumb) {
    Drag(1, 40);
    EXPECT_EQ(std::make_pair(MixedColour(), Green), std::make_pair(RGB(0, 120, 0), 30));
    Drag(0, 10);
    Drag(2, 20);
    EXPECT_EQ(std::make_pair(MixedColour(), std::vector<int>{Blue, Green, Red}), std::make_pair(RGB(60, 120, 30), std::vector<int>{0, 30, 10}))
        << "each channel and thumb its own";
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
}

// The chooser opens on the drawing colour; cancelled, it keeps it, and the custom colours it
// leaves show on the palette buttons. Each button sets the drawing colour, hands the focus
// back and answers for its own face; a colour chosen becomes the drawing colour.
TEST_F(Picker, TheChooserAndThePaletteButtonsSetTheDrawingColour) {
    EXPECT_EQ(BrushColour(hPaleteTableItem[0]), RGB(0, 0, 0));
    ColorTable[0] = RGB(1, 2, 3);
    CHOOSECOLORA shown = {};
    COLORREF picked = CLR_INVALID;   // what the person picks; CLR_INVALID cancels
    ThePerson.Colour = [&](CHOOSECOLORA* cc) {
        shown = *cc;
        cc->lpCustColors[4] = RGB(9, 8, 7);   // and what they leave in custom box 4
        if (picked != CLR_INVALID) cc->rgbResult = picked;
        return picked != CLR_INVALID ? TRUE : FALSE;
    };
    Command(IDM_PALETTE);
    EXPECT_EQ(std::make_tuple(shown.hwndOwner, shown.rgbResult, ColorTable[0], crCustColors[4]),
              std::make_tuple(main, RGB(1, 2, 3), RGB(1, 2, 3), RGB(9, 8, 7)));
    for (int k = 1; k <= 20; ++k) EXPECT_EQ(BrushColour(hPaleteTableItem[k]), crCustColors[k - 1]) << k;
    HDC hdc = GetDC(main);
    for (int id = IDC_PALETTEFIRST; id <= IDC_PALETTELAST; ++id) {
        SCOPED_TRACE(testing::Message() << "button " << id);
        SetFocus(hPalete[id - IDC_SWATCH]);
        Command(id);
        EXPECT_EQ(std::make_tuple(ColorTable[0], BrushColour(hPaleteTableItem[0]), GetFocus()),
                  std::make_tuple(crCustColors[id - IDC_PALETTEFIRST], crCustColors[id - IDC_PALETTEFIRST], main));
        LRESULT face = SendMessageA(main, WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(hdc),
                                    reinterpret_cast<LPARAM>(hPalete[id - IDC_SWATCH]));
        EXPECT_EQ(face, reinterpret_cast<LRESULT>(hPaleteTableItem[id - IDC_SWATCH]));
    }
    // The swatch and every other button take the drawing colour's brush.
    for (HWND other : {hPalete[0], GetDlgItem(main, IDC_NUDGEUP)})
        EXPECT_EQ(SendMessageA(main, WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(hdc), reinterpret_cast<LPARAM>(other)),
                  reinterpret_cast<LRESULT>(hPaleteTableItem[0]));
    ReleaseDC(main, hdc);

    picked = RGB(200, 100, 50);
    Command(IDM_PALETTE);
    EXPECT_EQ(std::make_pair(ColorTable[0], BrushColour(hPaleteTableItem[0])), std::make_pair(RGB(200, 100, 50), RGB(200, 100, 50)));
}
