// Menu check marks from the MenuStr flags, row by row in a fixed order.
#include "controls/Controls.h"
#include "document/Document.h"
#include "resources/Ids.h"

namespace {
enum WhichMenu { Main, RightClick };
struct CheckRow { WhichMenu Menu; int Id; int MenuRecord::*Flag; };

const CheckRow CheckRows[] = {
    {Main, IDM_SHOWGRID, &MenuRecord::ShowGrid},
    {RightClick, IDM_SHOWGRID, &MenuRecord::ShowGrid},
    {Main, IDM_GRIDSIMPLE, &MenuRecord::SimpleGrid},
    {Main, IDM_GRIDINVERSION, &MenuRecord::InversionGrid},
    {Main, IDM_SIZE16, &MenuRecord::Size16},
    {Main, IDM_SIZE32, &MenuRecord::Size32},
    {RightClick, IDM_SIZE16, &MenuRecord::Size16},
    {RightClick, IDM_SIZE32, &MenuRecord::Size32},
    {Main, IDM_ICONMODE, &MenuRecord::IconMode},
    {Main, IDM_TOOLBARMODE, &MenuRecord::ToolbarMode},
    {Main, IDM_DEPTH24, &MenuRecord::Depth24},
    {Main, IDM_DEPTH8, &MenuRecord::Depth8},
    {Main, IDM_DEPTH4, &MenuRecord::Depth4},
    {Main, IDM_DEPTH1, &MenuRecord::Depth1},
};
}

void UpdateMenu() {
    for (const CheckRow& row : CheckRows) {
        HMENU menu = static_cast<HMENU>(row.Menu == Main ? MenuStr.hMainMenu : MenuStr.hPopupMenu);
        CheckMenuItem(menu, row.Id, MF_BYCOMMAND | (MenuStr.*row.Flag ? MF_CHECKED : MF_UNCHECKED));
    }
}
