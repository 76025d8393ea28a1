// Command and control ids, in the numbered bands the program uses: the
// resource script and the code both take them from here. Menus,
// accelerators, toolbars and buttons all send these as WM_COMMAND ids.
#pragma once

// The format message, the main window's one private message (WM_USER):
// lParam carries a format index, which the main window applies. Always
// sent, so the sender's next step sees the new size and depth.
#define WM_FORMATINDEX      0x0400

// ---- File, document and mode commands ---------------------------------
#define IDM_OPEN            2
#define IDM_SAVE            3
#define IDM_SAVEAS          4
#define IDM_EXIT            5
#define IDM_UNDO            6
#define IDM_UNDOBACK        7
#define IDM_MINIMISE        8
#define IDM_BARLOGO         9    // third menu-bar image: no command
#define IDM_PALETTE         10
#define IDM_SHOWGRID        11
#define IDM_SIZE16          12
#define IDM_SIZE32          13
#define IDM_ABOUT           15
#define IDM_RESOLUTION      16
#define IDM_DEPTH1          17   // 17..20: depth rank = id - IDM_DEPTH1
#define IDM_DEPTH4          18
#define IDM_DEPTH8          19
#define IDM_DEPTH24         20
#define IDM_GRADFIRST       21   // 21..24: the four gradient fills
#define IDM_GRADLAST        24
#define IDM_EXTRACT         25
#define IDM_ICONMODE        26
#define IDM_TOOLBARMODE     27
#define IDM_NEW             301
#define IDM_GRIDSIMPLE      310
#define IDM_GRIDINVERSION   311
#define IDM_HELP            312
#define IDM_COPY            313
#define IDM_PASTE           314

// ---- Drawing tools: tool number = id - IDM_TOOLFIRST -------------------
#define IDM_TOOLFIRST       40
#define IDM_TOOLLAST        48

// ---- Palette buttons: 50 the swatch, 51..70 show crCustColors[id - 51] --
#define IDC_SWATCH          50
#define IDC_PALETTEFIRST    51
#define IDC_PALETTELAST     70
#define IDC_PICKEDFIRST     67   // the four right-button slots

// ---- Child windows and read-outs --------------------------------------
#define IDC_PREVIEW         80
#define IDC_BOARD           81
#define IDC_GRADIENT        83
#define IDC_SLIDERFIRST     84   // 84, 88, 92
#define IDC_STRIP           86
#define IDC_HOTSPOT         87
#define IDC_READX           100
#define IDC_READY           101
#define IDC_READDRAG        102
#define IDC_STATUS          103
#define IDC_READHEIGHT      104
#define IDC_READWIDTH       105
#define IDC_READA           106
#define IDC_READR           107
#define IDC_READG           108
#define IDC_READB           109
#define IDC_SEPLINE         120

// ---- Bitmap buttons: nudges 200..203, strip buttons 204..209 ----------
#define IDC_NUDGEUP         200
#define IDC_NUDGEDOWN       201
#define IDC_NUDGERIGHT      202
#define IDC_NUDGELEFT       203
#define IDC_STRIPNEXT       204
#define IDC_STRIPPREV       205
#define IDC_STRIPADD        206
#define IDC_STRIPDELETE     207
#define IDC_STRIPUPDATE     208
#define IDC_STRIPGET        209
#define IDC_BITMAPFIRST     200
#define IDC_BITMAPLAST      209

// ---- Accelerator table -------------------------------------------------
#define IDA_MAIN            500

// ---- Dialog controls ----------------------------------------------------
#define IDC_SAVEYES         150  // save prompt: Yes, No, Cancel and its text
#define IDC_SAVENO          151
#define IDC_SAVECANCEL      152
#define IDC_SAVETEXT        153
#define IDC_ABOUTOK         154  // also the extractor's OK
#define IDC_ANIMATION       400
#define IDC_RES16           12   // resolution dialog radios share the command ids
#define IDC_RES32           13
#define IDC_RESDEPTH1       17   // 17..20: depth rank = id - IDC_RESDEPTH1
#define IDC_RESDEPTH4       18
#define IDC_RESDEPTH8       19
#define IDC_RESDEPTH24      20
#define IDC_RESICONMODE     26
#define IDC_RESTOOLBARMODE  27
#define IDC_RESOK           155
#define IDC_EXTRACTTREE     899
