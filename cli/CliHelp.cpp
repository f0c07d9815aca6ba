#include "CliHelp.h"

#include "OptionRows.h"
#include "rules/DisplayText.h"
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
    DisplayCharacter previous{" ", U' ', 1};
    for (const DisplayCharacter& character : DisplayCharacters(line)) {
        Piece* piece = &pieces.back();
        const bool breaksHere = character.code == U' '
                                    ? !piece->text.empty()
                                    : previous.columns == 2 && character.columns == 2 && MayEndLine(previous.code)
                                          && MayStartLine(character.code);
        if (breaksHere)
            piece = &pieces.emplace_back();
        previous = character;
        if (character.code == U' ') {
            ++piece->spaces;
            continue;
        }
        piece->text += character.bytes;
        piece->columns += character.columns;
    }
    return pieces;
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
