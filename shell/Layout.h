// Where the main window's children stand, in client pixels of its fixed
// 512 x 512 layout. The main window creates them from here once; nothing
// moves afterwards.
#pragma once
#include "resources/Ids.h"

struct Place { int Id; int X, Y, Width, Height; };

constexpr int LayoutSize = 512;   // the client's width and height (xClient, yClient)

constexpr Place SepLinePlace = {IDC_SEPLINE, 4, 40, 500, 5};
constexpr Place StatusPlace = {IDC_STATUS, 10, 440, 200, 20};
constexpr Place PreviewPlace = {IDC_PREVIEW, 445, 50, 50, 68};
constexpr Place BoardPlace = {IDC_BOARD, 3 * LayoutSize / 32, LayoutSize / 4, 36 * LayoutSize / 64,
                              36 * LayoutSize / 64};
constexpr Place GradientPlace = {IDC_GRADIENT, 359, 128, 70, 100};
constexpr Place StripPlace = {IDC_STRIP, 40, 50, 300, 50};
constexpr Place HotSpotPlace = {IDC_HOTSPOT, 370, 50, 70, 30};

// The read-outs in hBut order: X, Y, drag, width, height, then A, R, G, B.
constexpr Place ReadOutPlaces[] = {
    {IDC_READX, LayoutSize - 170, LayoutSize - 62, 45, 12},
    {IDC_READY, LayoutSize - 120, LayoutSize - 62, 45, 12},
    {IDC_READDRAG, LayoutSize - 60, LayoutSize - 62, 45, 12},
    {IDC_READWIDTH, LayoutSize - 225, LayoutSize - 62, 51, 12},
    {IDC_READHEIGHT, LayoutSize - 280, LayoutSize - 62, 51, 12},
    {IDC_READA, LayoutSize - 420, LayoutSize - 93, 47, 11},
    {IDC_READR, LayoutSize - 370, LayoutSize - 93, 47, 11},
    {IDC_READG, LayoutSize - 320, LayoutSize - 93, 47, 11},
    {IDC_READB, LayoutSize - 270, LayoutSize - 93, 47, 11},
};

// The bitmap buttons 200..209: the four nudges, then the strip's buttons.
constexpr Place BitmapButtonPlaces[10] = {
    {IDC_NUDGEUP, 380, 358, 24, 24},  {IDC_NUDGEDOWN, 380, 406, 24, 24}, {IDC_NUDGERIGHT, 405, 381, 24, 24},
    {IDC_NUDGELEFT, 356, 382, 24, 24}, {IDC_STRIPNEXT, 340, 50, 24, 50},  {IDC_STRIPPREV, 15, 50, 24, 50},
    {IDC_STRIPADD, 40, 102, 24, 24},  {IDC_STRIPDELETE, 115, 102, 24, 24}, {IDC_STRIPUPDATE, 190, 102, 24, 24},
    {IDC_STRIPGET, 265, 102, 24, 24},
};

// Palette button k: 0 the swatch, 1..16 two columns of eight standard
// colours, 17..20 the picked-colour slots in two columns of two.
constexpr Place PalettePlace(int k) {
    return k == 0 ? Place{IDC_SWATCH, 450, 128, 44, 44}
           : k <= 16 ? Place{IDC_SWATCH + k, 450 + 23 * (k / 9), 180 + 23 * ((k - 1) % 8), 20, 20}
                     : Place{IDC_SWATCH + k, 450 + 23 * ((k - 17) / 2), 370 + 23 * ((k - 17) % 2), 20, 20};
}

// Slider k: blue, green, red from the left.
constexpr Place SliderPlace(int k) { return {IDC_SLIDERFIRST + 4 * k, 360 + 24 * k, 250, 20, 80}; }
