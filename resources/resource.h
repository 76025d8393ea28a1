// Ids the resource script shares with the program. Command ids are the
// same numbers as the shell's command table (shell/Ids.h); identical
// definitions may meet in one translation unit.
#pragma once

// ---- Accelerator table --------------------------------------------------
#define IDA_MAIN            500

// ---- Menu commands ("Icon", "Icon2", "Icon1") -------------------------
#define IDM_NEW             301
#define IDM_OPEN            2
#define IDM_SAVE            3
#define IDM_SAVEAS          4
#define IDM_EXTRACT         25
#define IDM_EXIT            5
#define IDM_UNDO            6
#define IDM_UNDOBACK        7
#define IDM_COPY            313
#define IDM_PASTE           314
#define IDM_PALETTE         10
#define IDM_GRIDSIMPLE      310
#define IDM_GRIDINVERSION   311
#define IDM_SHOWGRID        11
#define IDM_ICONMODE        26
#define IDM_TOOLBARMODE     27
#define IDM_SIZE16          12
#define IDM_SIZE32          13
#define IDM_DEPTH24         20
#define IDM_DEPTH8          19
#define IDM_DEPTH4          18
#define IDM_DEPTH1          17
#define IDM_HELP            312
#define IDM_ABOUT           15

// ---- Dialog controls ---------------------------------------------------
// Save prompt: the three answers and the question text
#define IDC_SAVEYES         150
#define IDC_SAVENO          151
#define IDC_SAVECANCEL      152
#define IDC_SAVETEXT        153
// About box and extractor OK; the About animation
#define IDC_ABOUTOK         154
#define IDC_ANIMATION       400
// Resolution dialog: radio buttons carry the command ids of their choice
#define IDC_RES16           12
#define IDC_RES32           13
#define IDC_RESDEPTH1       17   // 17..20: depth rank = id - IDC_RESDEPTH1
#define IDC_RESDEPTH4       18
#define IDC_RESDEPTH8       19
#define IDC_RESDEPTH24      20
#define IDC_RESICONMODE     26
#define IDC_RESTOOLBARMODE  27
#define IDC_RESOK           155
// Extractor tree view
#define IDC_EXTRACTTREE     899
