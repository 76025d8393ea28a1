// The drawing colour, the twenty palette colours and their buttons.
#pragma once
#include <windows.h>

constexpr int PaletteButtons = 21;   // 0: the swatch, 1..20: crCustColors[k - 1]
constexpr int PickedSlotFirst = 17;  // slots 17..20 take right-button picks

extern COLORREF ColorTable[1];       // entry 0: the drawing colour
extern COLORREF crCustColors[20];
extern HWND hPalete[PaletteButtons];
extern HWND hGlobalPalete_h;         // the swatch, same as hPalete[0]
extern HBRUSH hPaleteTableItem[PaletteButtons];
extern int RightMouse;               // right-button picks so far

void InitPalette();                  // the start colours (no windows touched)
void CreatePaletteBrushes();
void DeletePaletteBrushes();
// Button k shows colour: its brush is renewed and the button refilled at once.
void SetPaletteBrush(int k, COLORREF colour);
// A right-button pick from the board into the next picked-colour slot.
void PickColour(COLORREF colour);
