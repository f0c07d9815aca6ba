#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace gustara {

// The one whole-number syntax of the settings, the typed box and the command line:
// optional leading spaces, an optional + or - sign, then decimal digits, or hexadecimal
// digits introduced by "$", "x", "X", "0x" or "0X"; nothing may follow. The value must fit
// the result type. An empty text is not a whole number. Returns nullopt when not one.
std::optional<int32_t> ParseWholeNumber32(std::string_view text);
std::optional<int64_t> ParseWholeNumber64(std::string_view text);

} // namespace gustara
