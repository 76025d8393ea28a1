#include <gtest/gtest.h>
#include <string>
#include "document/FileNames.h"

namespace {

// Names cross to the system and back unchanged, or are refused whole: a
// byte sequence that is no UTF-8, or a lone surrogate, is never turned into
// another name.
TEST(FileNames, ConvertBothWaysExactlyOrRefuse) {
    std::u16string wide;
    std::string back;
    ASSERT_TRUE(Utf16FromUtf8("日本語 café\U0001F601.ico", wide));
    EXPECT_EQ(wide, u"日本語 café\U0001F601.ico");
    ASSERT_TRUE(Utf8FromUtf16(wide.data(), wide.size(), back));
    EXPECT_EQ(back, "日本語 café\U0001F601.ico");
    for (const char* bad : {"\xC3", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xFF", "a\x80"})
        EXPECT_FALSE(Utf16FromUtf8(bad, wide)) << bad;
    const char16_t lone[] = {u'a', 0xD800, u'b'}, late[] = {0xDC00};
    EXPECT_FALSE(Utf8FromUtf16(lone, 3, back));
    EXPECT_FALSE(Utf8FromUtf16(late, 1, back));
    // Kept loosely, such a name is one no strict reading takes.
    EXPECT_FALSE(Utf16FromUtf8(Utf8Loosely(lone, 3), wide));
}

// A path fits while its UTF-16 units and the terminating zero fit MAX_PATH,
// however many UTF-8 bytes it takes.
TEST(FileNames, APathFitsUpToTheSystemsLengthInItsOwnUnits) {
    std::string path = "C:\\";
    while (path.size() < 3 + 3 * 256) path += "語";   // three bytes, one unit each
    EXPECT_TRUE(FitsSystemPath(path));                 // 259 units
    EXPECT_FALSE(FitsSystemPath(path + "x"));
    EXPECT_FALSE(FitsSystemPath("C:\\\xFF.ico"));
    EXPECT_EQ(TitleOfPath("C:\\d.x\\favicon[1].ico"), "favicon[1].ico");
    EXPECT_EQ(TitleOfPath("C:name.cur"), "name.cur");
    EXPECT_EQ(TitleOfPath("/tmp/日本語.ico"), "日本語.ico");
}

}  // namespace
