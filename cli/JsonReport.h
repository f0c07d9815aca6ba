#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace gustara::cli {

// `bytes` as a JSON string, quotes included: well-formed UTF-8 is kept as it is, quotes,
// backslashes and control characters (U+0000 to U+001F) are escaped, and every byte that
// belongs to no well-formed UTF-8 character becomes U+FFFD, so the line is always valid JSON
// in UTF-8. Throws only bad_alloc.
std::string JsonString(std::string_view bytes);

// One picture's line of --json: what happened to it, as far as it is known.
struct PictureReport {
    std::string_view source;
    std::string_view status;  // "written", "failed", "skipped" or "planned"
    std::optional<std::string> output = {};
    std::optional<std::string> reason = {};
    std::optional<uint64_t> bytes = {};
    std::optional<int> quality = {};
    bool cutShort = false;
};

// The report as one JSON object on one line, without its newline: the keys source, output,
// status, reason, bytes, quality and cut_short, in that order, null where a value is not
// known. Throws only bad_alloc.
std::string JsonLine(const PictureReport& report);

} // namespace gustara::cli
