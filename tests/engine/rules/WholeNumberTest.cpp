#include "rules/WholeNumber.h"

#include <gtest/gtest.h>

#include <limits>
#include <utility>

namespace gustara {
namespace {

TEST(ParseWholeNumber32, AcceptsTheWholeNumberSyntax)
{
    const std::pair<const char*, int32_t> cases[] = {
        {"0", 0},           {"800", 800},        {"  12", 12},        {"+7", 7},
        {"-1", -1},         {"$10", 16},         {"x1F", 31},         {"X1f", 31},
        {"0x10", 16},       {"0X10", 16},        {"-$10", -16},       {" -0x7FFFFFFF", -2147483647},
        {"2147483647", 2147483647},              {"-2147483648", std::numeric_limits<int32_t>::min()},
        {"007", 7},         {"$0", 0},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(ParseWholeNumber32(text), value) << text;
}

TEST(ParseWholeNumber32, RefusesEverythingElse)
{
    const char* cases[] = {"", " ", "+", "-", "$", "0x", "x", "1.5", "12.5", "abc", "12 ", "1 2",
                           "\t1", "--1", "+-1", "2147483648", "-2147483649", "0x80000000",
                           "99999999999999999999", "1e3", "0b1", "$G", "１２"};
    for (const char* text : cases)
        EXPECT_FALSE(ParseWholeNumber32(text).has_value()) << text;
}

TEST(ParseWholeNumber64, CoversTheSigned64BitRange)
{
    EXPECT_EQ(ParseWholeNumber64("9223372036854775807"), std::numeric_limits<int64_t>::max());
    EXPECT_EQ(ParseWholeNumber64("-9223372036854775808"), std::numeric_limits<int64_t>::min());
    EXPECT_EQ(ParseWholeNumber64("$7FFFFFFFFFFFFFFF"), std::numeric_limits<int64_t>::max());
    EXPECT_EQ(ParseWholeNumber64("4294967296"), int64_t{4294967296});
    EXPECT_FALSE(ParseWholeNumber64("9223372036854775808").has_value());
    EXPECT_FALSE(ParseWholeNumber64("-9223372036854775809").has_value());
}

} // namespace
} // namespace gustara
