#include "settings/SettingsValues.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

namespace {

struct IntegerCase {
    const char* text;
    std::optional<int32_t> value;
};

TEST(SettingsValues, IntegersParseAsHexadecimalOrWholeNumbers)
{
    const IntegerCase cases[] = {
        {"0x10", 16},
        {"0X1f", 31},
        {"$10", 16},
        {"0x", std::nullopt},
        {"0x-1", std::nullopt},
        {"-0x10", -16},
        {"  7", 7},
        {"1.5", std::nullopt},
        {"", std::nullopt},
        {"2147483648", std::nullopt},
        {"-2147483648", INT32_MIN},
    };
    for (const IntegerCase& c : cases)
        EXPECT_EQ(gustara::ParseSettingsInteger(c.text), c.value) << c.text;
}

TEST(SettingsValues, TextsAreCutBetweenCharacters)
{
    // "あ" is three bytes: 2047 bytes hold 682 whole ones.
    std::string long3;
    for (int i = 0; i < 700; ++i)
        long3 += "あ";
    EXPECT_EQ(gustara::CutUtf8(long3, 2047).size(), std::size_t{2046});
    EXPECT_EQ(gustara::CutUtf8(std::string(3000, 'a'), 2047).size(), std::size_t{2047});
    EXPECT_EQ(gustara::CutUtf8(std::string(3000, '\x80'), 2047).size(), std::size_t{2044});
    EXPECT_EQ(gustara::CutUtf8("short", 2047), std::string_view("short"));
}

} // namespace
