#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gustara {

// The text of an INI file, held line by line so that a write touches only the line of its
// key and every other line (comments, blank lines, unknown keys and sections) keeps its
// bytes. A line "[name]" opens a section; a line "key=value" sets a key of the section
// above it; lines whose first non-blank character is ";" or "#", and all other lines, are
// kept but mean nothing. Section and key names are compared without their surrounding
// blanks and without regard to ASCII letter case; the first section of a name and the first
// key of a name within it count. Any bytes are accepted, and every operation takes time
// linear in the size of the text. Nothing here fails.
class IniFile {
public:
    // Splits the text into lines at "\n"; a "\r" right before it belongs to the line end, and
    // a "\r" that ends the text is a line end cut short (a line added after it completes it).
    static IniFile Parse(std::string_view text);

    // The decoded value of the key, or nullopt when the section or the key is missing.
    std::optional<std::string> Read(std::string_view section, std::string_view key) const;
    // Sets the key to the value. An existing key line is rewritten in place, keeping its key
    // spelling; a missing key goes after the last key line of its section (right after the
    // section line when it has none); a missing section goes at the end of the text.
    // New lines end like the first line of the text, or with "\n" when it has none.
    void Write(std::string_view section, std::string_view key, std::string_view value);

    // The whole text: byte for byte what was parsed, apart from the writes.
    std::string Text() const;

private:
    enum class LineKind { Other, Section, Key };
    struct Line {
        std::string content;  // without its line end
        std::string ending;   // "\n", "\r\n", a final "\r", or empty for an unterminated last line
        LineKind kind = LineKind::Other;
        std::string name;     // the section or key name, blanks removed
    };

    static Line MakeLine(std::string content, std::string ending);
    std::optional<std::size_t> FindSection(std::string_view section) const;
    std::string NewLineEnding() const;
    // Inserts a line "key=value" before line `position`.
    void InsertKeyLine(std::size_t position, std::string_view key, std::string_view value);

    std::vector<Line> lines_;
};

// How a value is written after "=": unchanged when it reads back unchanged that way;
// otherwise in double quotes with "\" written as "\\", a line feed as "\n" and a carriage
// return as "\r". Every byte string round-trips through EncodeIniValue and DecodeIniValue.
std::string EncodeIniValue(std::string_view value);
// The value of the text after "=": surrounding blanks (spaces, tabs) removed; then, when what
// is left starts and ends with a double quote, the quotes removed and the escapes "\\",
// "\n", "\r" undone (a "\" before any other character stays as it is).
std::string DecodeIniValue(std::string_view raw);

} // namespace gustara
