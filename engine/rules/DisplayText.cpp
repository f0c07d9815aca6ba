#include "rules/DisplayText.h"

#include "rules/Messages.h"
#include "rules/PathParts.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

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

constexpr std::string_view kEllipsis = "\xE2\x80\xA6";

// The code point of the well-formed character of `length` bytes at the start of `text`.
char32_t CodePoint(std::string_view text, std::size_t length)
{
    constexpr uint8_t kLeadBits[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    char32_t point = static_cast<uint8_t>(text[0]) & kLeadBits[length];
    for (std::size_t i = 1; i < length; ++i)
        point = point << 6 | (static_cast<uint8_t>(text[i]) & 0x3F);
    return point;
}

std::size_t CodePointColumns(char32_t point)
{
    // East Asian Wide and Fullwidth blocks, and the two ambiguous characters this program writes.
    static constexpr std::pair<char32_t, char32_t> kWide[] = {
        {0x1100, 0x115F}, {0x2026, 0x2026}, {0x2E80, 0x303E}, {0x3041, 0x33FF}, {0x3400, 0x4DBF},
        {0x4E00, 0x9FFF}, {0xA000, 0xA4CF}, {0xAC00, 0xD7A3}, {0xF900, 0xFAFF}, {0xFE30, 0xFE4F},
        {0xFF00, 0xFF60}, {0xFFE0, 0xFFE6}, {0xFFFD, 0xFFFD}, {0x1F300, 0x1F64F}, {0x1F900, 0x1F9FF},
        {0x20000, 0x3FFFD},
    };
    for (const auto& [first, last] : kWide)
        if (point >= first && point <= last)
            return 2;
    return 1;
}

// `text` cut into its characters (a stray byte stands alone), each with its columns.
std::vector<std::pair<std::string_view, std::size_t>> Characters(std::string_view text)
{
    std::vector<std::pair<std::string_view, std::size_t>> characters;
    while (!text.empty()) {
        const std::size_t length = std::max<std::size_t>(CharacterLength(text), 1);
        const std::string_view character = text.substr(0, length);
        characters.emplace_back(character, length == 1 ? 1 : CodePointColumns(CodePoint(character, length)));
        text.remove_prefix(length);
    }
    return characters;
}

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

std::size_t DisplayColumns(std::string_view text)
{
    std::size_t columns = 0;
    for (const auto& character : Characters(text))
        columns += character.second;
    return columns;
}

std::string ElideMiddle(std::string_view text, std::size_t columns)
{
    const auto characters = Characters(text);
    std::size_t width = 0;
    for (const auto& character : characters)
        width += character.second;
    if (width <= columns)
        return std::string(text);
    const std::size_t ellipsis = DisplayColumns(kEllipsis);
    if (columns < ellipsis)
        return "";
    // The start gets the odd column: a path's folder tells more than its extension.
    std::size_t headRoom = (columns - ellipsis + 1) / 2;
    std::size_t tailRoom = columns - ellipsis - headRoom;
    std::size_t head = 0;
    while (head < characters.size() && characters[head].second <= headRoom)
        headRoom -= characters[head++].second;
    std::size_t tail = characters.size();
    while (tail > head && characters[tail - 1].second <= tailRoom)
        tailRoom -= characters[--tail].second;
    std::string elided;
    for (std::size_t i = 0; i < head; ++i)
        elided += characters[i].first;
    elided += kEllipsis;
    for (std::size_t i = tail; i < characters.size(); ++i)
        elided += characters[i].first;
    return elided;
}

} // namespace gustara
