#include "rules/WholeNumber.h"

#include <limits>

namespace gustara {

namespace {

int DigitValue(char c, int base)
{
    int value = -1;
    if (c >= '0' && c <= '9')
        value = c - '0';
    else if (c >= 'a' && c <= 'f')
        value = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        value = c - 'A' + 10;
    return value < base ? value : -1;
}

// Parses the whole-number syntax into a value in [minValue, maxValue].
std::optional<int64_t> ParseInRange(std::string_view text, int64_t maxValue, int64_t minValue)
{
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == text.size())
        return std::nullopt;
    // Accumulate as a negative number: its range holds the magnitude of the minimum.
    const int64_t floor = negative ? minValue : -maxValue;
    int64_t value = 0;
    for (; i < text.size(); ++i) {
        const int digit = DigitValue(text[i], base);
        if (digit < 0)
            return std::nullopt;
        if (value < (floor + digit) / base) // value * base - digit would pass floor
            return std::nullopt;
        value = value * base - digit;
    }
    return negative ? value : -value;
}

} // namespace

std::optional<int32_t> ParseWholeNumber32(std::string_view text)
{
    const auto value = ParseInRange(text, std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::min());
    if (!value)
        return std::nullopt;
    return static_cast<int32_t>(*value);
}

std::optional<int64_t> ParseWholeNumber64(std::string_view text)
{
    return ParseInRange(text, std::numeric_limits<int64_t>::max(), std::numeric_limits<int64_t>::min());
}

} // namespace gustara
