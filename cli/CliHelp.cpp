#include "CliHelp.h"

#include "OptionRows.h"
#include "rules/Messages.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace gustara::cli {

namespace {

// The width of a terminal that --help fits, and the column where the options' texts start.
constexpr std::size_t kHelpWidth = 80;
constexpr std::size_t kHelpTextColumn = 24;

// One character of UTF-8 text: its code point (U+FFFD for a stray byte) and its bytes.
struct Character {
    char32_t code;
    std::string_view bytes;
};

// The character at `at`, which is before the end of `text`.
Character CharacterAt(std::string_view text, std::size_t at)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (length == 1 || at + length > text.size())
        return {lead < 0x80 ? lead : U'\uFFFD', text.substr(at, 1)};
    char32_t code = lead & (0x7F >> length);
    for (std::size_t next = 1; next < length; ++next)
        code = (code << 6) | (static_cast<unsigned char>(text[at + next]) & 0x3F);
    return {code, text.substr(at, length)};
}

// East Asian wide and full-width characters: the CJK blocks, kana, Hangul, full-width forms.
bool IsWide(char32_t code)
{
    return (code >= 0x1100 && code <= 0x115F) || (code >= 0x2E80 && code <= 0x303E) || (code >= 0x3041 && code <= 0xA4CF)
           || (code >= 0xAC00 && code <= 0xD7A3) || (code >= 0xF900 && code <= 0xFAFF) || (code >= 0xFE30 && code <= 0xFE4F)
           || (code >= 0xFF00 && code <= 0xFF60) || (code >= 0xFFE0 && code <= 0xFFE6) || (code >= 0x20000 && code <= 0x3FFFD);
}

// Japanese line breaking: closing marks and small kana never start a line, opening marks
// never end one.
bool MayStartLine(char32_t code)
{
    return std::u32string_view(U"、。，．・：；？！ー）」』】〕｝〉》ぁぃぅぇぉっゃゅょァィゥェォッャュョ").find(code)
           == std::u32string_view::npos;
}
bool MayEndLine(char32_t code)
{
    return std::u32string_view(U"（「『【〔｛〈《").find(code) == std::u32string_view::npos;
}

// A piece of a line that is never broken, and the spaces before it.
struct Piece {
    std::size_t spaces = 0;
    std::string text;
    std::size_t columns = 0;
};

std::vector<Piece> PiecesOf(std::string_view line)
{
    std::vector<Piece> pieces(1);
    char32_t previous = U' ';
    for (std::size_t at = 0; at < line.size();) {
        const Character character = CharacterAt(line, at);
        at += character.bytes.size();
        Piece* piece = &pieces.back();
        const bool breaksHere = character.code == U' '
                                    ? !piece->text.empty()
                                    : IsWide(previous) && IsWide(character.code) && MayEndLine(previous) && MayStartLine(character.code);
        if (breaksHere)
            piece = &pieces.emplace_back();
        previous = character.code;
        if (character.code == U' ') {
            ++piece->spaces;
            continue;
        }
        piece->text += character.bytes;
        piece->columns += IsWide(character.code) ? 2 : 1;
    }
    return pieces;
}

// The columns a terminal gives the UTF-8 text: two for each wide character, one for any other.
std::size_t DisplayColumns(std::string_view text)
{
    std::size_t columns = 0;
    for (std::size_t at = 0; at < text.size();) {
        const Character character = CharacterAt(text, at);
        at += character.bytes.size();
        columns += IsWide(character.code) ? 2 : 1;
    }
    return columns;
}

// The line, which starts at `column`, broken into lines of at most `width` columns where it
// may be: at spaces (dropped there), and between two wide characters that Japanese line
// breaking lets part. Every further line starts with `indent` spaces; a piece longer than a
// line stays whole.
std::string WrapLine(std::string_view line, std::size_t column, std::size_t width, std::size_t indent)
{
    std::string wrapped;
    bool lineHasText = false;
    for (const Piece& piece : PiecesOf(line)) {
        std::size_t spaces = piece.spaces;
        if (lineHasText && column + spaces + piece.columns > width) {
            wrapped += '\n' + std::string(indent, ' ');
            column = indent;
            spaces = 0;
        }
        wrapped += std::string(spaces, ' ') + piece.text;
        column += spaces + piece.columns;
        lineHasText = lineHasText || !piece.text.empty();
    }
    return wrapped;
}

// Each line of `text` wrapped from column 0; the lines keep their ends.
std::string WrapLines(std::string_view text)
{
    std::string wrapped;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        wrapped += WrapLine(text.substr(0, end), 0, kHelpWidth, 0);
        if (end == std::string_view::npos)
            break;
        wrapped += '\n';
        text.remove_prefix(end + 1);
    }
    return wrapped;
}

} // namespace

std::string HelpText()
{
    std::string help = WrapLines(Text(Message::CliHelpUsage)) + '\n';
    for (const OptionRow& row : kOptionRows) {
        // Names that fill their column are followed by two spaces.
        std::string names = "  " + OptionNames(row);
        names.resize(names.size() < kHelpTextColumn ? kHelpTextColumn : names.size() + 2, ' ');
        const std::string text = Format(row.help, {row.shownDefault ? row.shownDefault() : std::string(),
                                                   std::to_string(row.low), std::to_string(row.high)});
        help += names + WrapLine(text, DisplayColumns(names), kHelpWidth, kHelpTextColumn) + '\n';
    }
    return help + '\n' + WrapLines(Text(Message::CliHelpNotes));
}

} // namespace gustara::cli
