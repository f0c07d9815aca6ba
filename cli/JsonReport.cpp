#include "JsonReport.h"

#include <cstdio>

namespace gustara::cli {

namespace {

// The length of the well-formed UTF-8 character at the start of `bytes`; 0 when there is none
// (a stray continuation byte, a cut or overlong sequence, a surrogate, a value past U+10FFFF).
std::size_t CharacterLength(std::string_view bytes)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned lead = byte(0);
    if (lead < 0x80)
        return 1;
    const std::size_t length = lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                               : lead >= 0xF0 && lead <= 0xF4                                  ? 4
                                                                                               : 0;
    if (length == 0 || bytes.size() < length)
        return 0;
    for (std::size_t i = 1; i < length; ++i)
        if ((byte(i) & 0xC0) != 0x80)
            return 0;
    // The second byte's range that rules out overlong forms, surrogates and values too large.
    const unsigned second = byte(1);
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) || (lead == 0xF0 && second < 0x90)
        || (lead == 0xF4 && second > 0x8F))
        return 0;
    return length;
}

std::string NumberOrNull(const auto& value)
{
    return value ? std::to_string(*value) : "null";
}

} // namespace

std::string JsonString(std::string_view bytes)
{
    std::string json = "\"";
    while (!bytes.empty()) {
        const std::size_t length = CharacterLength(bytes);
        const auto first = static_cast<unsigned char>(bytes.front());
        if (length == 0) {
            json += "\\ufffd";
        } else if (first == '"' || first == '\\') {
            json += '\\';
            json += bytes.front();
        } else if (first < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", first);
            json += escaped;
        } else {
            json.append(bytes.substr(0, length));
        }
        bytes.remove_prefix(length == 0 ? 1 : length);
    }
    return json + "\"";
}

std::string JsonLine(const PictureReport& report)
{
    return "{\"source\":" + JsonString(report.source)
           + ",\"output\":" + (report.output ? JsonString(*report.output) : "null")
           + ",\"status\":" + JsonString(report.status)
           + ",\"reason\":" + (report.reason ? JsonString(*report.reason) : "null")
           + ",\"bytes\":" + NumberOrNull(report.bytes)
           + ",\"quality\":" + NumberOrNull(report.quality)
           + ",\"cut_short\":" + (report.cutShort ? "true" : "false") + "}";
}

} // namespace gustara::cli
