#include "settings/SettingsValues.h"

#include "rules/WholeNumber.h"

namespace gustara {

std::optional<int32_t> ParseSettingsInteger(std::string_view text)
{
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        return ParseWholeNumber32("$" + std::string(text.substr(2)));
    return ParseWholeNumber32(text);
}

bool ReadSettingsFlag(const IniFile& ini, std::string_view section, std::string_view key, bool defaultValue)
{
    return ReadSettingsInteger(ini, section, key, defaultValue ? 1 : 0) != 0;
}

int32_t ReadSettingsInteger(const IniFile& ini, std::string_view section, std::string_view key, int32_t defaultValue)
{
    const auto text = ini.Read(section, key);
    if (!text)
        return defaultValue;
    return ParseSettingsInteger(*text).value_or(defaultValue);
}

std::string ReadSettingsText(const IniFile& ini, std::string_view section, std::string_view key, std::string_view defaultValue)
{
    const auto text = ini.Read(section, key);
    return std::string(CutUtf8(text ? std::string_view(*text) : defaultValue, kMaxSettingsTextBytes));
}

std::string_view CutUtf8(std::string_view text, std::size_t maxBytes)
{
    if (text.size() <= maxBytes)
        return text;
    std::size_t end = maxBytes;
    // Step back over continuation bytes (10xxxxxx) to the start of the character cut in two.
    // A character has at most three of them; a longer run is not UTF-8 and is cut as bytes.
    while (end > 0 && maxBytes - end < 3 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return text.substr(0, end);
}

} // namespace gustara
