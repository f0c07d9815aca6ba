#include "rules/DropRules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

namespace gustara {
namespace {

std::vector<std::string> Entries(std::string_view reason, int count)
{
    std::vector<std::string> list;
    for (int i = 0; i < count; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "f%02d.tif", i);
        list.push_back(ErrorListEntry(reason, std::string("/d/") + name));
    }
    return list;
}

TEST(BuildErrorMessage, GroupsByReasonWithSortedNames)
{
    std::vector<std::string> list = {
        ErrorListEntry(Text(Message::ReasonFormat), "/d/B.tif"),
        ErrorListEntry(Text(Message::ReasonFolder), "/d/dir"),
        ErrorListEntry(Text(Message::ReasonFormat), "/d/a,b.tif"),
        ErrorListEntry(Text(Message::ReasonFolder), "/"),
    };
    // In byte order "「" (E3 80 8C) sorts before "フ" (E3 83 95): the format reason comes first;
    // letter case is ignored, so "a,b.tif" comes before "B.tif".
    const std::string expected = std::string("■") + std::string(Text(Message::ReasonFormat)) + "\r\n"
                               + "　　a,b.tif\r\n"
                               + "　　B.tif\r\n"
                               + "\r\n■" + std::string(Text(Message::ReasonFolder)) + "\r\n"
                               + "　　\r\n"
                               + "　　dir\r\n";
    EXPECT_EQ(BuildErrorMessage(list), expected);
}

TEST(BuildErrorMessage, ListsAtMost25EntriesThenCountsTheRest)
{
    std::vector<std::string> exactly25 = Entries(Text(Message::ReasonFormat), 25);
    const std::string message25 = BuildErrorMessage(exactly25);
    EXPECT_EQ(std::count(message25.begin(), message25.end(), '\n'), 26);
    EXPECT_EQ(message25.find("他"), std::string::npos);

    std::vector<std::string> thirty = Entries(Text(Message::ReasonFormat), 30);
    const std::string message30 = BuildErrorMessage(thirty);
    EXPECT_NE(message30.find("　　f24.tif\r\n\r\n他5件のエラー"), std::string::npos);
    EXPECT_EQ(message30.find("f25.tif"), std::string::npos);
    EXPECT_TRUE(message30.ends_with("他5件のエラー"));
}

TEST(ErrorListEntry, TakesTheLastPathComponent)
{
    EXPECT_EQ(ErrorListEntry("r", "/a/b/c.tif"), "r,c.tif");
    EXPECT_EQ(ErrorListEntry("r", "/a/b/"), "r,");
}

} // namespace
} // namespace gustara
