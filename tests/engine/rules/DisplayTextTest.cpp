#include "rules/DisplayText.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace gustara {
namespace {

const std::string kR = "\xEF\xBF\xBD";  // U+FFFD

TEST(DisplayText, ReplacesEachByteOutsideAWellFormedCharacter)
{
    // One, two, three and four bytes, the first and last of each length.
    const std::string lengths = "\x20\x7e\xc2\xa0\xdf\xbf\xe0\xa0\x80\xef\xbf\xbf\xf0\x90\x80\x80\xf4\x8f\xbf\xbf";
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {lengths, lengths},
        {"/写真/ラーメン.jpg", "/写真/ラーメン.jpg"},
        {"\x97\xbf\x97\x9d.jpg", kR + kR + kR + kR + ".jpg"},  // 料理 in Shift-JIS
        {"a\x80z", "a" + kR + "z"},                             // stray continuation
        {"\xe6\x96", kR + kR},                                  // cut at the end
        {"\xe6\x96x", kR + kR + "x"},                           // cut before ASCII
        {"\xc0\xaf", kR + kR},                                  // overlong "/"
        {"\xe0\x80\xaf", kR + kR + kR},                         // overlong "/"
        {"\xed\xa0\x80", kR + kR + kR},                         // surrogate
        {"\xf4\x90\x80\x80", kR + kR + kR + kR},                // past U+10FFFF
        {"\xf5\xff", kR + kR},
        {"a\x1b[2Jb\nc\x7f\xc2\x9b\x01.jpg", "a" + kR + "[2Jb" + kR + "c" + kR + kR + kR + ".jpg"},  // controls
    };
    for (const auto& [bytes, shown] : cases)
        EXPECT_EQ(ForDisplay(bytes), shown);
}

TEST(DisplayText, PictureFailedMessageNamesThePictureAndItsReasonDisplayably)
{
    EXPECT_EQ(PictureFailedMessage("/写真/[ramen].png", "PNG ファイルではありません"),
              "[[ramen].png]の処理に失敗しました: PNG ファイルではありません");
    EXPECT_EQ(PictureFailedMessage("/x/\x97\xbf.jpg", "ファイル /x/\x97\xbf.jpg を開けません"),
              "[" + kR + kR + ".jpg]の処理に失敗しました: ファイル /x/" + kR + kR + ".jpg を開けません");
}

TEST(DisplayText, ElideMiddleKeepsBothEndsWithinTheColumnsAWideCharacterTakingTwo)
{
    const struct {
        std::string text;
        std::size_t columns;
        std::string elided;
    } cases[] = {
        {"big/p1.jpg", 10, "big/p1.jpg"},
        {"big/p1.jpg", 9, "big/…jpg"},
        {"焼き鳥/ラーメン.jpg", 13, "焼き鳥….jpg"},
        {"焼き鳥/ラーメン.jpg", 11, "焼き….jpg"},
        {"abc", 2, "…"},
        {"abc", 1, ""},
        {"a" + kR + kR + "b", 5, "a…b"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ElideMiddle(c.text, c.columns), c.elided) << c.text << " " << c.columns;
        EXPECT_LE(DisplayColumns(ElideMiddle(c.text, c.columns)), c.columns) << c.text;
    }
}

} // namespace
} // namespace gustara
