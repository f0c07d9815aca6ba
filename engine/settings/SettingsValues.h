#pragma once

#include "settings/IniFile.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// How a value of the settings file is read: the encodings of flags, integers and texts, each
// falling back to its default without a message.
namespace gustara {

// A text value read from the settings file keeps at most this many bytes.
inline constexpr std::size_t kMaxSettingsTextBytes = 2047;

// An integer value: "0x" or "0X" followed by hexadecimal digits when longer than two
// characters, otherwise the whole-number syntax; nullopt when it is neither.
std::optional<int32_t> ParseSettingsInteger(std::string_view text);

// The setting as a flag (any non-zero integer is true) or an integer; the default when the
// key is missing or its value does not parse.
bool ReadSettingsFlag(const IniFile& ini, std::string_view section, std::string_view key, bool defaultValue);
int32_t ReadSettingsInteger(const IniFile& ini, std::string_view section, std::string_view key, int32_t defaultValue);
// The setting as a text of at most kMaxSettingsTextBytes bytes, cut before a UTF-8 character
// that would not fit whole; the default when the key is missing.
std::string ReadSettingsText(const IniFile& ini, std::string_view section, std::string_view key, std::string_view defaultValue);

// The longest prefix of the UTF-8 text of at most maxBytes bytes that ends between characters.
std::string_view CutUtf8(std::string_view text, std::size_t maxBytes);

} // namespace gustara
