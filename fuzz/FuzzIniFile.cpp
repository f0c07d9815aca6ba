// libFuzzer harness: the settings file's INI reader and writer over arbitrary bytes. Parsing
// keeps the text byte for byte; values written read back unchanged, before and after the text
// is parsed again; keys that were not written keep their values.

#include "settings/IniFile.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

// Settings files are a few hundred bytes; longer inputs only slow the fuzzer down.
constexpr std::size_t kMaxInputBytes = 64 * 1024;
// Bounds the section x key reads, which are each linear in the text.
constexpr std::size_t kMaxNames = 16;

struct Entry {
    std::string section;
    std::string key;
    std::string value;
};

bool SameName(std::string_view a, std::string_view b)
{
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    const auto trim = [](std::string_view text) {
        const auto first = text.find_first_not_of(" \t");
        return first == std::string_view::npos ? std::string_view() : text.substr(first, text.find_last_not_of(" \t") + 1 - first);
    };
    a = trim(a);
    b = trim(b);
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

// A name the settings code could use: letters, digits and "_".
bool IsPlainName(std::string_view name)
{
    return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
    });
}

void AddName(std::vector<std::string>& names, std::string_view name)
{
    if (names.size() < kMaxNames)
        names.emplace_back(name);
}

// Section names ("[...]") and key names ("...=") that lines of the text look like they hold,
// plus names of the settings file that may be missing from it.
void CollectNames(std::string_view text, std::vector<std::string>& sections, std::vector<std::string>& keys)
{
    sections = {"PIC_SIZE", "PIC_SAVE"};
    keys = {"WIDTH", "DECIDES_STRING"};
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string_view line = text.substr(start, end - start);
        const std::size_t open = line.find('[');
        const std::size_t close = line.find(']', open == std::string_view::npos ? 0 : open);
        if (open != std::string_view::npos && close != std::string_view::npos)
            AddName(sections, line.substr(open + 1, close - open - 1));
        const std::size_t equals = line.find('=');
        if (equals != std::string_view::npos)
            AddName(keys, line.substr(0, equals));
        start = end + 1;
    }
}

bool WasWritten(const std::vector<Entry>& written, std::string_view section, std::string_view key)
{
    return std::any_of(written.begin(), written.end(),
                       [&](const Entry& entry) { return SameName(entry.section, section) && SameName(entry.key, key); });
}

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    if (size > kMaxInputBytes)
        return -1;
    FuzzedDataProvider input(data, size);
    std::vector<std::string> values;
    for (int i = 0; i < 3; ++i)
        values.push_back(input.ConsumeRandomLengthString(64));
    const std::string text = input.ConsumeRemainingBytesAsString();

    gustara::IniFile ini = gustara::IniFile::Parse(text);
    Require(ini.Text() == text);

    std::vector<std::string> sections;
    std::vector<std::string> keys;
    CollectNames(text, sections, keys);
    std::vector<std::optional<std::string>> before;
    for (const std::string& section : sections)
        for (const std::string& key : keys)
            before.push_back(ini.Read(section, key));

    // A key of the settings file, a key in a section that may be new, and one plainly named
    // key that the text itself holds, when there is one.
    std::vector<Entry> written{{"PIC_SAVE", "DECIDES_STRING", values[0]}, {"FUZZ_SECTION", "FUZZ_KEY", values[1]}};
    for (const std::string& section : sections)
        for (const std::string& key : keys)
            if (written.size() < 3 && IsPlainName(section) && IsPlainName(key) && !WasWritten(written, section, key))
                written.push_back({section, key, values[2]});
    for (const Entry& entry : written)
        ini.Write(entry.section, entry.key, entry.value);
    for (const Entry& entry : written)
        Require(ini.Read(entry.section, entry.key) == entry.value);

    const std::string saved = ini.Text();
    const gustara::IniFile reread = gustara::IniFile::Parse(saved);
    Require(reread.Text() == saved);
    for (const Entry& entry : written)
        Require(reread.Read(entry.section, entry.key) == entry.value);
    std::size_t index = 0;
    for (const std::string& section : sections)
        for (const std::string& key : keys) {
            const std::optional<std::string>& old = before[index++];
            if (!WasWritten(written, section, key))
                Require(reread.Read(section, key) == old);
        }
    return 0;
}
