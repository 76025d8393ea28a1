// The drawing board and its tools, driven with the messages a person's
// mouse would send, checked on the image and the read-outs.
#include "tests/gui/EditorFixture.h"
#include "document/win32/Board.h"

using Cells = std::vector<std::pair<int, int>>;

static Cells Square(int x0, int y0, int x1, int y1) {
    Cells cells;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) cells.push_back({x, y});
    return cells;
}

// ---- Board pixels to image pixels --------------------------------------------

TEST_F(Editor, BoardPositionsMapOntoImagePixelsAtBothSizes) {
    const COLORREF red = RGB(255, 0, 0);
    UseColour(red);
    SendMessageA(board, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 40));
    SendMessageA(board, WM_LBUTTONUP, 0, MAKELPARAM(100, 40));
    EXPECT_EQ(Pixel(5, 2), red);
    EXPECT_EQ(PaintedCells().size(), 1u);

    SendMessageA(board, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(17, 17));
    SendMessageA(board, WM_LBUTTONUP, 0, MAKELPARAM(17, 17));
    EXPECT_EQ(Pixel(0, 0), red);
    SendMessageA(board, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(18, 18));
    SendMessageA(board, WM_LBUTTONUP, 0, MAKELPARAM(18, 18));
    EXPECT_EQ(Pixel(1, 1), red);

    Command(IDM_SIZE32);
    ASSERT_EQ(Pace, 32);
    for (uint32_t& p : VirtualScreen) p = MaskColor;
    SendMessageA(board, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 40));
    SendMessageA(board, WM_LBUTTONUP, 0, MAKELPARAM(100, 40));
    EXPECT_EQ(Pixel(11, 4), red);
    SendMessageA(board, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(287, 287));
    SendMessageA(board, WM_LBUTTONUP, 0, MAKELPARAM(287, 287));
    EXPECT_EQ(Pixel(31, 31), red);
    EXPECT_EQ(PaintedCells().size(), 2u);
}

// ---- Brush, mask and hot spot ----------------------------------------------------

TEST_F(Editor, BrushSetsThePressedPixelAtOnceAndEachReportedPosition) {
    UseColour(RGB(0, 0, 255));
    Press(3, 3);
    EXPECT_EQ(Pixel(3, 3), RGB(0, 0, 255));
    DragTo(4, 3);
    DragTo(7, 3);   // a fast drag leaves a gap
    Release(7, 3);
    EXPECT_EQ(PaintedCells(), (Cells{{3, 3}, {4, 3}, {7, 3}}));
    EXPECT_EQ(NeedToSave, 1);
}

TEST_F(Editor, MovesWithShiftOrCtrlHeldDrawNothingButStillReadOut) {
    Press(1, 1);
    SendMessageA(board, WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, Cell(5, 6));
    SendMessageA(board, WM_MOUSEMOVE, MK_LBUTTON | MK_CONTROL, Cell(6, 6));
    EXPECT_EQ(PaintedCells(), (Cells{{1, 1}}));
    EXPECT_EQ(Text(IDC_READX), "X=  6");
    EXPECT_EQ(Text(IDC_READY), "Y=  6");
    Release(6, 6);
}

TEST_F(Editor, MaskToolMakesPixelsTransparentAgain) {
    UseColour(RGB(10, 20, 30));
    Press(2, 2); DragTo(3, 2); DragTo(4, 2); Release(4, 2);
    ASSERT_EQ(PaintedCells().size(), 3u);
    Command(IDM_TOOLFIRST + ToolMask);
    Press(3, 2); DragTo(4, 2); Release(4, 2);
    EXPECT_EQ(PaintedCells(), (Cells{{2, 2}}));
}

TEST_F(Editor, HotSpotFollowsTheDragAndTakesNoSnapshot) {
    Command(IDM_TOOLFIRST + ToolHotSpot);
    unsigned stored = DinamicMem.Stored;
    Press(1, 2);
    EXPECT_EQ(CursorStr.HotX, 1);
    EXPECT_EQ(CursorStr.HotY, 2);
    DragTo(9, 4);
    EXPECT_EQ(CursorStr.HotX, 9);
    EXPECT_EQ(CursorStr.HotY, 4);
    Release(9, 4);
    EXPECT_EQ(DinamicMem.Stored, stored);
    EXPECT_TRUE(PaintedCells().empty());
}

// ---- Lines ---------------------------------------------------------------------------

TEST_F(Editor, LineClickSetsExactlyThePressPixel) {
    Command(IDM_TOOLFIRST + ToolLine);
    Press(4, 7);
    Release(4, 7);
    Paint();
    EXPECT_EQ(PaintedCells(), (Cells{{4, 7}}));
}

TEST_F(Editor, LineIncludesBothEnds) {
    UseColour(RGB(0, 128, 0));
    Command(IDM_TOOLFIRST + ToolLine);
    Press(2, 2); DragTo(6, 4); Release(6, 4);
    Paint();
    EXPECT_EQ(Pixel(2, 2), RGB(0, 128, 0));
    EXPECT_EQ(Pixel(6, 4), RGB(0, 128, 0));
    EXPECT_EQ(PaintedCells().size(), 5u);   // one pixel per column
    EXPECT_EQ(DrawBar.StartX, LineCommitted);
}

// ---- Shapes ----------------------------------------------------------------------------

TEST_F(Editor, FilledSquareCoversThePixelsOfEachDragDirection) {
    Command(IDM_TOOLFIRST + ToolFilledSquare);
    Press(1, 1); DragTo(3, 3); Release(3, 3); Paint();
    EXPECT_EQ(PaintedCells(), Square(1, 1, 3, 3));

    for (uint32_t& p : VirtualScreen) p = MaskColor;
    Press(3, 3); DragTo(1, 1); Release(1, 1); Paint();
    EXPECT_EQ(PaintedCells(), Square(1, 1, 2, 2));

    for (uint32_t& p : VirtualScreen) p = MaskColor;
    Press(1, 3); DragTo(3, 1); Release(3, 1); Paint();
    EXPECT_EQ(PaintedCells(), Square(1, 1, 2, 2));
    EXPECT_EQ(DrawBar.StartX, ShapeCommitted);
}

TEST_F(Editor, OutlinedSquareLeavesItsInsideAlone) {
    Command(IDM_TOOLFIRST + ToolSquare);
    Press(2, 2); DragTo(6, 6); Release(6, 6); Paint();
    Cells cells = PaintedCells();
    EXPECT_EQ(cells.size(), 16u);
    EXPECT_TRUE(IsMaskPixel(VirtualScreen[4 * 16 + 4]));
}

TEST_F(Editor, EllipsesStayInsideTheirRectangle) {
    Command(IDM_TOOLFIRST + ToolFilledRound);
    Press(2, 2); DragTo(11, 9); Release(11, 9); Paint();
    Cells cells = PaintedCells();
    ASSERT_FALSE(cells.empty());
    for (auto [x, y] : cells) {
        EXPECT_GE(x, 2); EXPECT_LE(x, 11);
        EXPECT_GE(y, 2); EXPECT_LE(y, 9);
    }
    EXPECT_FALSE(IsMaskPixel(VirtualScreen[5 * 16 + 6]));   // the middle is filled
    EXPECT_TRUE(IsMaskPixel(VirtualScreen[2 * 16 + 2]));    // a corner is not
}

TEST_F(Editor, RubberBandLeavesNoTraceOfEarlierPositions) {
    Command(IDM_TOOLFIRST + ToolFilledSquare);
    Press(1, 1);
    DragTo(8, 8); Paint();
    EXPECT_TRUE(PaintedCells().empty());    // only a preview while held
    DragTo(2, 2); Paint();
    Release(2, 2); Paint();
    EXPECT_EQ(PaintedCells(), Square(1, 1, 2, 2));
}

TEST_F(Editor, ReleaseCommitsTheShapeWithoutAPaintDuringTheDrag) {
    Command(IDM_TOOLFIRST + ToolSquare);
    Press(0, 0); DragTo(3, 3); Release(3, 3);
    Paint();
    EXPECT_EQ(PaintedCells().size(), 12u);
}

TEST_F(Editor, RepaintAfterACommittedShapeChangesNothing) {
    Command(IDM_TOOLFIRST + ToolFilledRound);
    Press(1, 1); DragTo(9, 9); Release(9, 9); Paint();
    std::vector<uint32_t> after(VirtualScreen, VirtualScreen + ImagePixels);
    Command(IDM_SHOWGRID);
    Paint();
    Command(IDM_SHOWGRID);
    Paint();
    EXPECT_EQ(std::vector<uint32_t>(VirtualScreen, VirtualScreen + ImagePixels), after);
}

// ---- Fill --------------------------------------------------------------------------

TEST_F(Editor, FillTakesTheConnectedRegionOnce) {
    UseColour(RGB(255, 255, 255));
    Command(IDM_TOOLFIRST + ToolLine);
    Press(0, 5); DragTo(15, 5); Release(15, 5); Paint();   // a wall across the image
    UseColour(RGB(255, 0, 0));
    Command(IDM_TOOLFIRST + ToolFill);
    Press(3, 2); Paint();
    DragTo(3, 9); Paint();   // dragging after the press fills nothing more
    Release(3, 9); Paint();
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            uint32_t want = y < 5 ? RGB(255, 0, 0) : y == 5 ? RGB(255, 255, 255) : (MaskColor & 0xFFFFFF);
            ASSERT_EQ(Pixel(x, y), want) << x << "," << y;
        }
}

TEST_F(Editor, FillingWithTheSameColourChangesNothing) {
    UseColour(RGB(0, 0, 255));
    Command(IDM_TOOLFIRST + ToolFilledSquare);
    Press(2, 2); DragTo(5, 5); Release(5, 5); Paint();
    std::vector<uint32_t> before(VirtualScreen, VirtualScreen + ImagePixels);
    Command(IDM_TOOLFIRST + ToolFill);
    Press(3, 3); Release(3, 3); Paint();
    EXPECT_EQ(std::vector<uint32_t>(VirtualScreen, VirtualScreen + ImagePixels), before);
}

// ---- Undo snapshots -----------------------------------------------------------------

TEST_F(Editor, EachPressTakesOneSnapshotAndUndoRestoresTheImageBeforeIt) {
    unsigned stored = DinamicMem.Stored;
    Command(IDM_TOOLFIRST + ToolFilledSquare);
    Press(1, 1); DragTo(4, 4); Release(4, 4); Paint();
    EXPECT_EQ(DinamicMem.Stored, stored + 1);
    std::vector<uint32_t> square(VirtualScreen, VirtualScreen + ImagePixels);
    Command(IDM_TOOLFIRST + ToolBrush);
    Press(10, 10); DragTo(11, 10); Release(11, 10);
    EXPECT_EQ(DinamicMem.Stored, stored + 2);
    Command(IDM_UNDO);
    EXPECT_EQ(std::vector<uint32_t>(VirtualScreen, VirtualScreen + ImagePixels), square);
}

// ---- Read-outs ------------------------------------------------------------------------

TEST_F(Editor, ReadOutsShowPositionDragSizeAndColour) {
    EXPECT_EQ(Text(IDC_READX), "-----");
    UseColour(RGB(255, 0, 0));
    Press(5, 5);
    EXPECT_EQ(Text(IDC_READWIDTH), "Wth= 1");
    DragTo(2, 9);
    EXPECT_EQ(Text(IDC_READX), "X=  2");
    EXPECT_EQ(Text(IDC_READY), "Y=  9");
    EXPECT_EQ(Text(IDC_READWIDTH), "Wth= 4");
    EXPECT_EQ(Text(IDC_READHEIGHT), "Hgt= 5");
    Release(2, 9);
    SendMessageA(board, WM_MOUSEMOVE, 0, Cell(5, 5));
    EXPECT_EQ(Text(IDC_READWIDTH), "Wth= 0");
    EXPECT_EQ(Text(IDC_READHEIGHT), "Hgt= 0");
    EXPECT_EQ(Text(IDC_READR), "R=255");
    EXPECT_EQ(Text(IDC_READG), "G=  0");
    EXPECT_EQ(Text(IDC_READB), "B=  0");
    EXPECT_EQ(Text(IDC_READA), "A=  0");
    SendMessageA(board, WM_MOUSEMOVE, 0, Cell(12, 12));
    for (int id = IDC_READA; id <= IDC_READB; ++id) EXPECT_EQ(Text(id), "-----");

    Command(IDM_SIZE32);
    SendMessageA(board, WM_MOUSEMOVE, 0, MAKELPARAM(287, 287));
    EXPECT_EQ(Text(IDC_READX), "X= 12");   // a format change holds the read-outs...
    SendMessageA(main, WM_MOUSEMOVE, 0, MAKELPARAM(440, 100));
    SendMessageA(board, WM_MOUSEMOVE, 0, MAKELPARAM(287, 287));
    EXPECT_EQ(Text(IDC_READX), "X= 31");   // ...until the pointer crosses the window
}

TEST_F(Editor, PressThatBeganOutsideTheBoardOnlyClearsTheFlagAtRelease) {
    SendMessageA(main, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(440, 100));
    EXPECT_EQ(MouseBit, 1);
    SendMessageA(board, WM_MOUSEMOVE, MK_LBUTTON, Cell(3, 3));
    EXPECT_EQ(Text(IDC_READX), "-----");
    EXPECT_TRUE(PaintedCells().empty());
    SendMessageA(board, WM_LBUTTONUP, 0, Cell(3, 3));
    EXPECT_EQ(MouseBit, 0);
}

// ---- Right-button picks --------------------------------------------------------------

TEST_F(Editor, FivePicksFillTheFourSlotsInTurn) {
    const COLORREF colours[5] = {RGB(1, 2, 3), RGB(4, 5, 6), RGB(7, 8, 9), RGB(10, 11, 12), RGB(13, 14, 15)};
    for (int i = 0; i < 5; ++i) VirtualScreen[i] = colours[i];
    VirtualScreen[5] = MaskColor;
    for (int i = 0; i < 5; ++i) SendMessageA(board, WM_RBUTTONDOWN, MK_RBUTTON, Cell(i, 0));
    EXPECT_EQ(crCustColors[16], colours[4]);
    EXPECT_EQ(crCustColors[17], colours[1]);
    EXPECT_EQ(crCustColors[18], colours[2]);
    EXPECT_EQ(crCustColors[19], colours[3]);
    SendMessageA(board, WM_RBUTTONDOWN, MK_RBUTTON, Cell(5, 0));
    EXPECT_EQ(crCustColors[17], MaskColor);
    EXPECT_EQ(ColorTable[0], 0u);   // the drawing colour stays
    Command(IDC_PICKEDFIRST + 1);
    EXPECT_EQ(ColorTable[0], MaskColor);
}

// ---- The board's own paint ---------------------------------------------------------

class BoardPaint : public Editor {
protected:
    // The board painted into memory, as PixelDrawProc0 composes it.
    std::vector<COLORREF> Render() {
        HDC screen = GetDC(nullptr);
        HDC memory = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, 288, 288);
        ReleaseDC(nullptr, screen);
        HGDIOBJ old = SelectObject(memory, bitmap);
        PixelDrawProc0(board, memory, Pace, boolGreed, VirtualScreen);
        std::vector<COLORREF> out(288 * 288);
        for (int y = 0; y < 288; ++y)
            for (int x = 0; x < 288; ++x) out[y * 288 + x] = GetPixel(memory, x, y);
        SelectObject(memory, old);
        DeleteObject(bitmap);
        DeleteDC(memory);
        return out;
    }
};



TEST_F(BoardPaint, SimpleGridOutlineAndCellsLieWhereTheyShould) {
    VirtualScreen[1 * 16 + 1] = RGB(255, 0, 0);
    std::vector<COLORREF> px = Render();
    const COLORREF mask = MaskColor & 0xFFFFFF, grey = RGB(126, 126, 126);
    EXPECT_EQ(px[0], RGB(0, 0, 0));                 // outline
    EXPECT_EQ(px[287 * 288 + 100], RGB(0, 0, 0));
    EXPECT_EQ(px[5 * 288 + 18], grey);              // a vertical grid line
    EXPECT_EQ(px[36 * 288 + 5], grey);              // a horizontal one
    EXPECT_EQ(px[5 * 288 + 17], mask);
    EXPECT_EQ(px[27 * 288 + 27], RGB(255, 0, 0));   // inside cell (1, 1)
    Command(IDM_SHOWGRID);
    px = Render();
    EXPECT_EQ(px[5 * 288 + 18], mask);              // no grid
}

TEST_F(BoardPaint, InversionGridInvertsBandsAndRestoresCrossings) {
    Command(IDM_GRIDINVERSION);
    std::vector<COLORREF> px = Render();
    const COLORREF mask = MaskColor & 0xFFFFFF, inverted = (~mask) & 0xFFFFFF;
    EXPECT_EQ(px[5 * 288 + 18], inverted);
    EXPECT_EQ(px[18 * 288 + 18], mask);   // crossed twice
    Command(IDM_SIZE32);
    px = Render();
    EXPECT_EQ(px[5 * 288 + 9], inverted);
    EXPECT_EQ(px[5 * 288 + 10], mask);
}
