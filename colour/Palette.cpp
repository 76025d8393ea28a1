// Palette state: the drawing colour, the twenty palette colours, their
// buttons and brushes. A colour change renews its brush and refills its
// button at once.
#include "colour/Palette.h"
#include "platform/Gdi.h"

COLORREF ColorTable[1];
COLORREF crCustColors[20];
HWND hPalete[PaletteButtons];
HWND hGlobalPalete_h;
HBRUSH hPaleteTableItem[PaletteButtons];
int RightMouse;

// Entries 0..15 are the sixteen colours of 4-bit files, so every one has an
// exact entry there; 16..19 are the picked-colour slots.
static const COLORREF StartColours[20] = {
    0x0000FFFF, 0x00FF00FF, 0x000000FF, 0x00FFFF00, 0x0000FF00, 0x00FF0000, 0x00808080,
    0x00FFFFFF, 0x00C0C0C0, 0x00800000, 0x00008080, 0x00800080, 0x00000080, 0x00808000,
    0x00008000, 0x00000000, 0x0000FFFF, 0x000000FF, 0x0000FF00, 0x00FF0000,
};

void InitPalette() {
    ColorTable[0] = 0;
    for (int i = 0; i < 20; ++i) crCustColors[i] = StartColours[i];
    RightMouse = 0;
}

void CreatePaletteBrushes() {
    hPaleteTableItem[0] = CreateSolidBrush(ColorTable[0]);
    for (int k = 1; k < PaletteButtons; ++k) hPaleteTableItem[k] = CreateSolidBrush(crCustColors[k - 1]);
}

void DeletePaletteBrushes() {
    for (HBRUSH& brush : hPaleteTableItem) {
        if (brush) DeleteObject(brush);
        brush = nullptr;
    }
}

void SetPaletteBrush(int k, COLORREF colour) {
    if (k < 0 || k >= PaletteButtons) return;
    if (hPaleteTableItem[k]) DeleteObject(hPaleteTableItem[k]);
    hPaleteTableItem[k] = CreateSolidBrush(colour);
    if (HWND button = hPalete[k]) {
        RECT rc;
        GetClientRect(button, &rc);
        FillRect(WindowDC(button), &rc, hPaleteTableItem[k]);
    }
}

void PickColour(COLORREF colour) {
    int slot = PickedSlotFirst + RightMouse % 4;
    ++RightMouse;
    crCustColors[slot - 1] = colour;
    SetPaletteBrush(slot, colour);
}
