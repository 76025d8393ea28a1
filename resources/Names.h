// The resources the program loads by name. The code that loads them and
// the tests walk these same tables, so a name added here is checked.
#pragma once

// The menu bar's five images and the "About" check mark, in hBit order.
inline constexpr const char* szBitName[] = {"Pixtor", "Pixtor1", "Pixtor2", "Pixtor3", "Pixtor4", "AboutMe"};
// The dialog buttons' faces: Yes, No, Cancel, OK (hBitDialogue order).
inline constexpr const char* szDlgSave[] = {"IconDlYesB", "IconDlNoB", "IconDlCnslB", "IconDlOK"};
// The board's pointer per tool, in tool order; the filled shapes share the
// pointers of the outlined ones.
inline constexpr const char* CursorNames[] = {"Icur", "Line", "Spill", "Round", nullptr,
                                             "Square", nullptr, "Masker", "Hot"};
// Normal and pressed face of each of the ten bitmap buttons, in button id
// order.
inline constexpr const char* FaceNames[][2] = {
    {"NudgeUpFirst", "NudgeUpSecond"},
    {"NudgeDownFirst", "NudgeDownSecond"},
    {"NudgeRightFirst", "NudgeRightSecond"},
    {"NudgeLeftFirst", "NudgeLeftSecond"},
    {"ToolBarRightFirst", "ToolBarRightSecond"},
    {"ToolBarLeftFirst", "ToolBarLeftSecond"},
    {"ToolBarAddFirst", "ToolBarAddSecond"},
    {"ToolBarDeleteFirst", "ToolBarDeleteSecond"},
    {"ToolBarUpdateFirst", "ToolBarUpdateSecond"},
    {"ToolBarRetrieveFirst", "ToolBarRetrieveSecond"},
};
// The command toolbar's and the drawing-tool toolbar's button strips.
inline constexpr const char* ToolbarStripNames[] = {"TOOL", "DrawTool"};
// The main window's separator line and status image.
inline constexpr const char* StatusImageNames[] = {"SepLine", "Status"};
// The About box's animation.
inline constexpr const char AboutClipName[] = "Myavi";
