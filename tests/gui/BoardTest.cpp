// The drawing board and its tools, driven with the messages a person's
// mouse would send, checked on the image and the read-outs.
#include "tests/gui/EditorFixture.h"
#include "board/Board.h"

using Cells = std::vector<std::pair<int, int>>;

TEST_F(Editor, BoardPositionsMapOntoImagePixelsAtBothSizes) {
    UseColour(RGB(255, 0, 0));
    const struct { int Size; std::vector<POINT> At; Cells Want; } sizes[] = {
        {IDM_SIZE16, {{100, 40}, {17, 17}, {18, 18}}, {{0, 0}, {1, 1}, {5, 2}}},
        {IDM_SIZE32, {{100, 40}, {287, 287}}, {{11, 4}, {31, 31}}}};
    for (const auto& size : sizes) {
        Command(size.Size);
        ClearImage();
        for (POINT p : size.At) {
            SendMessageA(board, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
            SendMessageA(board, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
        }
        EXPECT_EQ(PaintedCells(), size.Want) << size.Size;
    }
}

TEST_F(Editor, BrushMaskAndHotSpotFollowTheDrag) {
    UseColour(RGB(0, 0, 255));
    Press(3, 3);
    EXPECT_EQ(Pixel(3, 3), RGB(0, 0, 255)) << "at once on the press";
    DragTo(4, 3);
    DragTo(7, 3);   // a fast drag leaves a gap
    SendMessageA(board, WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, Cell(5, 6));   // Shift or Ctrl: no drawing
    SendMessageA(board, WM_MOUSEMOVE, MK_LBUTTON | MK_CONTROL, Cell(6, 6));
    EXPECT_EQ(Text(IDC_READX), "X=  6") << "but still the read-out";
    Release(6, 6);
    EXPECT_EQ(std::make_pair(PaintedCells(), NeedToSave), std::make_pair(Cells{{3, 3}, {4, 3}, {7, 3}}, 1));

    Tool(ToolMask);
    Press(4, 3); DragTo(7, 3); Release(7, 3);
    EXPECT_EQ(PaintedCells(), (Cells{{3, 3}}));

    Tool(ToolHotSpot);
    const unsigned stored = DinamicMem.Stored;
    Press(1, 2);
    EXPECT_EQ(HotSpot(), std::make_pair(1, 2));
    DragTo(9, 4);
    Release(9, 4);
    EXPECT_EQ(std::make_tuple(HotSpot(), DinamicMem.Stored, PaintedCells()), std::make_tuple(std::make_pair(9, 4), stored, Cells{{3, 3}}))
        << "no snapshot, nothing drawn";
    Command(IDM_SIZE32);
    EXPECT_EQ(HotSpot(), std::make_pair(18, 8)) << "on the same point of the rescaled picture";
    Command(IDM_SIZE16);
    EXPECT_EQ(HotSpot(), std::make_pair(9, 4));
}

// What a stroke changes after a save taken while its button is held stays
// unsaved: the brush's later pixels, the shape its release draws.
TEST_F(Files, WhatAStrokeDrawsAfterASaveDuringItIsUnsaved) {
    DialogChoice = folder + "held.ico";
    for (int tool : {ToolBrush, ToolLine}) {
        Tool(tool);
        Press(1, 1);
        Command(IDM_SAVEAS);
        EXPECT_EQ(NeedToSave, 0);
        DragTo(5, 5);
        Release(5, 5);
        Paint();
        EXPECT_EQ(NeedToSave, 1) << "tool " << tool;
    }
}

// Each drag takes one snapshot on its press and draws once on its release; the
// rubber band it shows on the way is only a preview and leaves no trace.
TEST_F(Editor, ToolsDrawTheirShapeOnceInEachDragDirection) {
    const struct { const char* Name; int Tool, X0, Y0, X1, Y1; Cells Has; size_t Count; int Committed; } drags[] = {
        {"a click of the line", ToolLine, 4, 7, 4, 7, {{4, 7}}, 1, LineCommitted},
        {"a line, both ends, one pixel per column", ToolLine, 2, 2, 6, 4, {{2, 2}, {6, 4}}, 5, LineCommitted},
        {"filled square", ToolFilledSquare, 1, 1, 3, 3, {{1, 1}, {3, 3}}, 9, ShapeCommitted},
        {"filled square dragged back", ToolFilledSquare, 3, 3, 1, 1, {{1, 1}, {2, 2}}, 4, ShapeCommitted},
        {"filled square dragged up", ToolFilledSquare, 1, 3, 3, 1, {{1, 1}, {2, 2}}, 4, ShapeCommitted},
        {"square outline, the inside left alone", ToolSquare, 2, 2, 6, 6, {{2, 2}, {6, 6}}, 16, ShapeCommitted},
    };
    for (const auto& d : drags) {
        SCOPED_TRACE(d.Name);
        ClearImage();
        Tool(d.Tool);
        const unsigned stored = DinamicMem.Stored;
        Press(d.X0, d.Y0);
        DragTo(8, 8);
        Paint();
        EXPECT_TRUE(PaintedCells().empty()) << "the rubber band alone";
        DragTo(d.X1, d.Y1);
        Paint();
        Release(d.X1, d.Y1);
        Paint();
        const Cells painted = PaintedCells();
        EXPECT_EQ(painted.size(), d.Count);
        for (auto cell : d.Has) EXPECT_NE(std::find(painted.begin(), painted.end(), cell), painted.end());
        EXPECT_EQ(std::make_pair(DrawBar.StartX, DinamicMem.Stored), std::make_pair(d.Committed, std::min(stored + 1, 8u)));
    }
    Command(IDM_UNDO);
    EXPECT_TRUE(PaintedCells().empty()) << "undo gives back the image before the press";

    ClearImage();
    Tool(ToolFilledRound);
    Stroke(2, 2, 11, 9);
    for (auto [x, y] : PaintedCells()) EXPECT_TRUE(x >= 2 && x <= 11 && y >= 2 && y <= 9) << x << "," << y;
    EXPECT_EQ(std::make_pair(IsMaskPixel(VirtualScreen[5 * 16 + 6]), IsMaskPixel(VirtualScreen[2 * 16 + 2])),
              std::make_pair(false, true)) << "the middle filled, a corner not";
    // A repaint, with or without the grid, changes nothing more.
    const std::vector<uint32_t> after = Image();
    Command(IDM_SHOWGRID);
    Paint();
    Command(IDM_SHOWGRID);
    Paint();
    EXPECT_EQ(Image(), after);
}

TEST_F(Editor, FillTakesTheConnectedRegionOnceAndTheSameColourChangesNothing) {
    UseColour(RGB(255, 255, 255));
    Tool(ToolLine);
    Stroke(0, 5, 15, 5);   // a wall across the image
    UseColour(RGB(255, 0, 0));
    Tool(ToolFill);
    Press(3, 2); Paint();
    DragTo(3, 9); Paint();   // dragging after the press fills nothing more
    Release(3, 9); Paint();
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)   // filled above the wall, left below it
            ASSERT_EQ(Pixel(x, y), y < 5 ? RGB(255, 0, 0) : y == 5 ? RGB(255, 255, 255) : MaskColor & 0xFFFFFF) << x << "," << y;
    const std::vector<uint32_t> before = Image();
    Click(3, 3);
    Paint();
    EXPECT_EQ(Image(), before);
}

TEST_F(Editor, ReadOutsShowPositionDragSizeAndColour) {
    EXPECT_EQ(Text(IDC_READX), "-----");
    UseColour(RGB(255, 0, 0));
    Press(5, 5);
    EXPECT_EQ(Text(IDC_READWIDTH), "Wth= 1");
    DragTo(2, 9);
    EXPECT_EQ(Text(IDC_READX) + Text(IDC_READY) + Text(IDC_READWIDTH) + Text(IDC_READHEIGHT), "X=  2Y=  9Wth= 4Hgt= 5");
    Release(2, 9);
    SendMessageA(board, WM_MOUSEMOVE, 0, Cell(5, 5));
    EXPECT_EQ(Text(IDC_READWIDTH) + Text(IDC_READHEIGHT) + Text(IDC_READR) + Text(IDC_READG) + Text(IDC_READB) + Text(IDC_READA),
              "Wth= 0Hgt= 0R=255G=  0B=  0A=  0");
    SendMessageA(board, WM_MOUSEMOVE, 0, Cell(12, 12));
    for (int id = IDC_READA; id <= IDC_READB; ++id) EXPECT_EQ(Text(id), "-----");

    Command(IDM_SIZE32);
    SendMessageA(board, WM_MOUSEMOVE, 0, MAKELPARAM(287, 287));
    EXPECT_EQ(Text(IDC_READX), "X= 12");   // a format change holds the read-outs...
    SendMessageA(main, WM_MOUSEMOVE, 0, MAKELPARAM(440, 100));
    SendMessageA(board, WM_MOUSEMOVE, 0, MAKELPARAM(287, 287));
    EXPECT_EQ(Text(IDC_READX), "X= 31");   // ...until the pointer crosses the window

    // A press that began outside the board draws nothing; its release clears the flag.
    const Cells drawn = PaintedCells();
    SendMessageA(main, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(440, 100));
    EXPECT_EQ(MouseBit, 1);
    SendMessageA(board, WM_MOUSEMOVE, MK_LBUTTON, Cell(3, 3));
    EXPECT_EQ(Text(IDC_READX), "X= 31") << "no read-out either";
    SendMessageA(board, WM_LBUTTONUP, 0, Cell(3, 3));
    EXPECT_EQ(std::make_pair(MouseBit, PaintedCells()), std::make_pair(0, drawn));
}

TEST_F(Editor, FivePicksFillTheFourSlotsInTurn) {
    const COLORREF colours[5] = {RGB(1, 2, 3), RGB(4, 5, 6), RGB(7, 8, 9), RGB(10, 11, 12), RGB(13, 14, 15)};
    std::copy(colours, colours + 5, VirtualScreen);
    VirtualScreen[2] |= 0xFF000000u;   // a strip image's fourth byte is no part of the colour picked
    for (int i = 0; i < 6; ++i) SendMessageA(board, WM_RBUTTONDOWN, MK_RBUTTON, Cell(i, 0));
    EXPECT_EQ(std::vector<uint32_t>(crCustColors + 16, crCustColors + 20),
              (std::vector<uint32_t>{colours[4], MaskColor, colours[2], colours[3]}));
    EXPECT_EQ(ColorTable[0], 0u);   // the drawing colour stays
    Command(IDC_PICKEDFIRST + 1);
    EXPECT_EQ(ColorTable[0], MaskColor);
}

TEST_F(Editor, GridsOutlineAndCellsLieWhereTheyShould) {
    // The board painted into memory, as PixelDrawProc0 composes it.
    auto picture = [this] {
        return Render(288, 288, [this](HDC hdc) { PixelDrawProc0(board, hdc, Pace, boolGreed, VirtualScreen); });
    };
    VirtualScreen[1 * 16 + 1] = RGB(255, 0, 0);
    std::vector<COLORREF> px = picture();
    const COLORREF mask = MaskColor & 0xFFFFFF, grey = RGB(126, 126, 126), inverted = (~mask) & 0xFFFFFF;
    EXPECT_EQ(px[0] | px[287 * 288 + 100], RGB(0, 0, 0));   // outline
    EXPECT_EQ(px[5 * 288 + 18], grey);              // a vertical grid line
    EXPECT_EQ(px[36 * 288 + 5], grey);              // a horizontal one
    EXPECT_EQ(px[5 * 288 + 17], mask);
    Command(IDM_SHOWGRID);
    EXPECT_EQ(picture()[5 * 288 + 18], mask) << "no grid";
    Command(IDM_GRIDINVERSION);
    Command(IDM_SHOWGRID);
    px = picture();
    EXPECT_EQ(px[5 * 288 + 18], inverted);
    EXPECT_EQ(px[18 * 288 + 18], RGB(255, 0, 0)) << "crossed twice: the cell's own colour";
    Command(IDM_SIZE32);
    px = picture();
    EXPECT_EQ(std::make_pair(px[5 * 288 + 9], px[5 * 288 + 10]), std::make_pair(inverted, mask));
}
