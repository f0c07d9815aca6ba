#include "settings/IniFile.h"

#include <algorithm>

namespace gustara {

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

char AsciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

std::string Unescape(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            const char next = text[i + 1];
            if (next == '\\' || next == 'n' || next == 'r') {
                out += next == '\\' ? '\\' : next == 'n' ? '\n' : '\r';
                ++i;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

bool EndsLine(std::string_view ending)
{
    return !ending.empty() && ending.back() == '\n';
}

// The end of a line that another line is to follow. A lone "\r" (the text's last byte) only
// gets its "\n": replaced by a bare "\n", it would leave a "\r" ending the content to be
// taken into the line end on the next parse.
std::string FinishedEnding(const std::string& ending, const std::string& newLine)
{
    if (EndsLine(ending))
        return ending;
    return ending.empty() ? newLine : ending + '\n';
}

std::string QuoteAndEscape(std::string_view text)
{
    std::string out = "\"";
    for (const char c : text) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else
            out += c;
    }
    out += '"';
    return out;
}

} // namespace

std::string DecodeIniValue(std::string_view raw)
{
    const std::string_view value = TrimBlanks(raw);
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        return Unescape(value.substr(1, value.size() - 2));
    return std::string(value);
}

std::string EncodeIniValue(std::string_view value)
{
    const bool fitsOneLine = value.find_first_of("\r\n") == std::string_view::npos;
    if (fitsOneLine && DecodeIniValue(value) == value)
        return std::string(value);
    return QuoteAndEscape(value);
}

IniFile::Line IniFile::MakeLine(std::string content, std::string ending)
{
    Line line{std::move(content), std::move(ending), LineKind::Other, {}};
    const std::string_view text = TrimBlanks(line.content);
    if (text.empty() || text.front() == ';' || text.front() == '#')
        return line;
    if (text.front() == '[') {
        const std::size_t close = text.find(']');
        if (close != std::string_view::npos) {
            line.kind = LineKind::Section;
            line.name = TrimBlanks(text.substr(1, close - 1));
        }
        return line;
    }
    const std::size_t equals = text.find('=');
    if (equals != std::string_view::npos && equals > 0) {
        line.kind = LineKind::Key;
        line.name = TrimBlanks(text.substr(0, equals));
    }
    return line;
}

IniFile IniFile::Parse(std::string_view text)
{
    IniFile file;
    std::size_t start = 0;
    while (start < text.size()) {
        // A "\r" at the very end is an end of line cut short: were it part of the content, it
        // would join the "\n" that a write adds after it and the value would lose it.
        const std::size_t feed = std::min(text.find('\n', start), text.size());
        std::size_t end = feed;
        if (end > start && text[end - 1] == '\r')
            --end;
        if (feed == text.size()) {
            file.lines_.push_back(MakeLine(std::string(text.substr(start, end - start)), std::string(text.substr(end))));
            break;
        }
        file.lines_.push_back(MakeLine(std::string(text.substr(start, end - start)),
                                       std::string(text.substr(end, feed + 1 - end))));
        start = feed + 1;
    }
    return file;
}

std::optional<std::size_t> IniFile::FindSection(std::string_view section) const
{
    const std::string_view wanted = TrimBlanks(section);
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind == LineKind::Section && SameName(lines_[i].name, wanted))
            return i;
    }
    return std::nullopt;
}

std::optional<std::string> IniFile::Read(std::string_view section, std::string_view key) const
{
    const auto header = FindSection(section);
    if (!header)
        return std::nullopt;
    const std::string_view wanted = TrimBlanks(key);
    for (std::size_t i = *header + 1; i < lines_.size() && lines_[i].kind != LineKind::Section; ++i) {
        const Line& line = lines_[i];
        if (line.kind == LineKind::Key && SameName(line.name, wanted))
            return DecodeIniValue(std::string_view(line.content).substr(line.content.find('=') + 1));
    }
    return std::nullopt;
}

void IniFile::Write(std::string_view section, std::string_view key, std::string_view value)
{
    const auto header = FindSection(section);
    if (!header) {
        if (!lines_.empty())
            lines_.back().ending = FinishedEnding(lines_.back().ending, NewLineEnding());
        std::string header = "[";
        header.append(section).append("]");
        lines_.push_back(MakeLine(std::move(header), NewLineEnding()));
        InsertKeyLine(lines_.size(), key, value);
        return;
    }
    const std::string_view wanted = TrimBlanks(key);
    std::size_t lastKeyLine = *header;
    for (std::size_t i = *header + 1; i < lines_.size() && lines_[i].kind != LineKind::Section; ++i) {
        Line& line = lines_[i];
        if (line.kind != LineKind::Key)
            continue;
        if (SameName(line.name, wanted)) {
            line.content.resize(line.content.find('=') + 1);
            line.content += EncodeIniValue(value);
            return;
        }
        lastKeyLine = i;
    }
    lines_[lastKeyLine].ending = FinishedEnding(lines_[lastKeyLine].ending, NewLineEnding());
    InsertKeyLine(lastKeyLine + 1, key, value);
}

void IniFile::InsertKeyLine(std::size_t position, std::string_view key, std::string_view value)
{
    std::string content(key);
    content.append("=").append(EncodeIniValue(value));
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(position), MakeLine(std::move(content), NewLineEnding()));
}

std::string IniFile::NewLineEnding() const
{
    if (!lines_.empty() && EndsLine(lines_.front().ending))
        return lines_.front().ending;
    return "\n";
}

std::string IniFile::Text() const
{
    std::size_t size = 0;
    for (const Line& line : lines_)
        size += line.content.size() + line.ending.size();
    std::string text;
    text.reserve(size);
    for (const Line& line : lines_) {
        text += line.content;
        text += line.ending;
    }
    return text;
}

} // namespace gustara
