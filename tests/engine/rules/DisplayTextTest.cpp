#include "rules/DisplayText.h"

#include <gtest/gtest.h>

#include <string>

namespace gustara {
namespace {

constexpr const char* kR = "\xEF\xBF\xBD";  // U+FFFD

struct DisplayCase {
    std::string bytes;
    std::string shown;
};

class DisplayTextTest : public ::testing::TestWithParam<DisplayCase> {};

TEST_P(DisplayTextTest, ReplacesEachByteOutsideAWellFormedCharacter)
{
    EXPECT_EQ(ForDisplay(GetParam().bytes), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Texts, DisplayTextTest,
    ::testing::Values(
        DisplayCase{"", ""},
        DisplayCase{"photo.jpg", "photo.jpg"},
        // One, two, three and four bytes, the first and last of each length.
        DisplayCase{"\x01\x7f\xc2\x80\xdf\xbf\xe0\xa0\x80\xef\xbf\xbf\xf0\x90\x80\x80\xf4\x8f\xbf\xbf",
                    "\x01\x7f\xc2\x80\xdf\xbf\xe0\xa0\x80\xef\xbf\xbf\xf0\x90\x80\x80\xf4\x8f\xbf\xbf"},
        DisplayCase{"/写真/ラーメン.jpg", "/写真/ラーメン.jpg"},
        // 料理 in Shift-JIS: lead bytes without their continuation.
        DisplayCase{"\x97\xbf\x97\x9d.jpg", std::string(kR) + kR + kR + kR + ".jpg"},
        DisplayCase{"a\x80z", std::string("a") + kR + "z"},                 // stray continuation
        DisplayCase{"\xe6\x96", std::string(kR) + kR},                      // cut at the end
        DisplayCase{"\xe6\x96x", std::string(kR) + kR + "x"},               // cut before ASCII
        DisplayCase{"\xc0\xaf", std::string(kR) + kR},                      // overlong "/"
        DisplayCase{"\xe0\x80\xaf", std::string(kR) + kR + kR},             // overlong "/"
        DisplayCase{"\xed\xa0\x80", std::string(kR) + kR + kR},             // surrogate
        DisplayCase{"\xf4\x90\x80\x80", std::string(kR) + kR + kR + kR},    // past U+10FFFF
        DisplayCase{"\xf5\xff", std::string(kR) + kR}));

TEST(PictureFailedMessage, NamesThePictureAndItsReasonDisplayably)
{
    EXPECT_EQ(PictureFailedMessage("/写真/[ramen].png", "PNG ファイルではありません"),
              "[[ramen].png]の処理に失敗しました: PNG ファイルではありません");
    EXPECT_EQ(PictureFailedMessage("/x/\x97\xbf.jpg", "ファイル /x/\x97\xbf.jpg を開けません"),
              std::string("[") + kR + kR + ".jpg]の処理に失敗しました: ファイル /x/" + kR + kR + ".jpg を開けません");
}

} // namespace
} // namespace gustara
