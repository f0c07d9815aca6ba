#include "rules/DisplayText.h"

#include "rules/Messages.h"
#include "rules/PathParts.h"

#include <cstdint>

namespace gustara {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// The length of the well-formed character at the start of `text`, or 0 when there is none
// (the ranges of the Unicode standard's table of well-formed byte sequences).
std::size_t CharacterLength(std::string_view text)
{
    const auto byte = [&](std::size_t i) { return static_cast<uint8_t>(text[i]); };
    const uint8_t lead = byte(0);
    if (lead < 0x80)
        return 1;
    std::size_t length = 0;
    uint8_t low = 0x80;
    uint8_t high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;   // no overlong form
        high = lead == 0xED ? 0x9F : 0xBF;  // no surrogate
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;   // no overlong form
        high = lead == 0xF4 ? 0x8F : 0xBF;  // nothing past U+10FFFF
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < low || byte(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF)
            return 0;
    }
    return length;
}

bool IsControl(std::string_view character)
{
    const auto lead = static_cast<uint8_t>(character[0]);
    return lead < 0x20 || lead == 0x7F || (lead == 0xC2 && static_cast<uint8_t>(character[1]) < 0xA0);
}

} // namespace

std::string ForDisplay(std::string_view bytes)
{
    std::string text;
    text.reserve(bytes.size());
    while (!bytes.empty()) {
        const std::size_t length = CharacterLength(bytes);
        if (length != 0 && IsControl(bytes)) {
            text += kReplacement;
            bytes.remove_prefix(length);
        } else if (length == 0) {
            text += kReplacement;
            bytes.remove_prefix(1);
        } else {
            text += bytes.substr(0, length);
            bytes.remove_prefix(length);
        }
    }
    return text;
}

namespace {

std::string_view NameOf(std::string_view path, PictureNaming naming)
{
    return naming == PictureNaming::ByPath ? path : NamePart(path);
}

} // namespace

std::string PictureProcessingMessage(std::string_view path, PictureNaming naming)
{
    return ProcessingText(ForDisplay(NameOf(path, naming)));
}

std::string PictureFailedMessage(std::string_view path, std::string_view reason, PictureNaming naming)
{
    return ForDisplay(WithDetail(FailedPictureText(NameOf(path, naming)), reason));
}

} // namespace gustara
