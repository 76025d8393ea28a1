// The icon extractor: every icon of an executable or a library listed in a
// tree, one of them taken as the working image.
#pragma once
#include <windows.h>

// The modal "EXTRACTOR" dialog on the file szFileNameEx. OK is its only way
// out; it ends with 1 when the chosen icon became the working image (32x32,
// white where the icon is transparent, one undo step), or 0 when the file
// holds no icon of the chosen number and nothing changed.
INT_PTR CALLBACK Extractor(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);

// Icons taken at most from one file: a bound on the listing, whatever the
// file claims.
constexpr int MaxExtractedIcons = 4096;
