#include <gtest/gtest.h>
#include <utility>
#include "document/Document.h"

namespace {

// The rows themselves are held by the static_assert beside the table and by
// the random session's check after every action.
TEST(Document, AnIndexOutsideTheTableOnlyClearsTheFlagsAndTheHotSpotStaysInThePicture) {
    ApplyFormatIndex(3);
    for (int index : {8, -1}) {
        ApplyFormatIndex(index);
        EXPECT_EQ(std::make_pair(OpenPaceMessageToMenu, Pace), std::make_pair(3, 32)) << index;
        EXPECT_EQ(MenuStr.Size16 + MenuStr.Size32 + MenuStr.Depth1 + MenuStr.Depth4 + MenuStr.Depth8 + MenuStr.Depth24, 0);
    }
    EXPECT_EQ(FormatIndexOf(48, 24), -1);
    CursorStr.HotX = 20;
    CursorStr.HotY = 7;
    ApplyFormatIndex(0);
    EXPECT_EQ(std::make_pair(CursorStr.HotX, CursorStr.HotY), std::make_pair(uint16_t(15), uint16_t(7)));
}

TEST(CursorName, OnlyALastExtensionOfCurInAnyCaseMakesACursor) {
    for (const char* name : {"arrow.cur", "C:\\Icons\\ARROW.CUR", "a.b.CuR"})
        EXPECT_TRUE(IsCursorFileName(name)) << name;
    for (const char* name : {"arrow.cur.ico", "arrow.ico", "arrow", "cur", "arrow.curs", "arrow.cu", ""})
        EXPECT_FALSE(IsCursorFileName(name)) << name;
    EXPECT_FALSE(IsCursorFileName(nullptr));
}

}  // namespace
