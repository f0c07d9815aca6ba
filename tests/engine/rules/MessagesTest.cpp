#include "rules/Messages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <new>
#include <stdexcept>
#include <string>

namespace gustara {
namespace {

constexpr Message kEveryMessage[] = {
#define GUSTARA_MESSAGE(code, japanese, english) Message::code,
#include "rules/MessageList.h"
#undef GUSTARA_MESSAGE
};

// The placeholders of a text, sorted: both languages must fill the same values.
std::string Placeholders(std::string_view text)
{
    std::string found;
    for (std::size_t at = text.find('%'); at != std::string_view::npos; at = text.find('%', at + 1))
        found += text.substr(at, 2);
    std::sort(found.begin(), found.end());
    return found;
}

TEST(Messages, EveryTextHasBothLanguagesWithTheSamePlaceholders)
{
    for (const Message code : kEveryMessage) {
        const std::string_view japanese = Text(code, Language::Japanese);
        const std::string_view english = Text(code, Language::English);
        EXPECT_FALSE(english.empty()) << japanese;
        EXPECT_EQ(Placeholders(japanese), Placeholders(english)) << japanese << " / " << english;
    }
}

TEST(Messages, WindowHelpFitsEightyColumnsCountingJapaneseAsTwo)
{
    for (const Language language : {Language::Japanese, Language::English}) {
        const std::string_view help = Text(Message::WindowHelp, language);
        for (std::size_t start = 0, end; start < help.size(); start = end + 1) {
            end = help.find('\n', start);
            const std::string_view line = help.substr(start, end - start);
            const auto leadBytes = std::count_if(line.begin(), line.end(), [](char c) { return (c & 0xC0) == 0xC0; });
            const auto others = std::count_if(line.begin(), line.end(), [](char c) { return (c & 0x80) == 0; });
            EXPECT_LE(others + 2 * leadBytes, 80) << line;
        }
    }
}

TEST(Messages, FormatFillsPlaceholdersInTheCurrentLanguageOnce)
{
    EXPECT_EQ(Format(Message::Stopped, {"5", "3"}), "中止しました（5枚中3枚を保存）");
    EXPECT_EQ(Format(Message::Processing, {"%1 [a]%2.jpg"}), "[%1 [a]%2.jpg]を処理しています");
    SetLanguage(Language::English);
    EXPECT_EQ(Format(Message::Stopped, {"5", "3"}), "Stopped (3 of 5 pictures saved)");
    EXPECT_EQ(StoppedText(1, 0, 0), "Stopped (0 of 1 picture saved)");
    EXPECT_EQ(ReadFailureText(ReadFailure::NotThisFormat, "PNG", "x"), "the contents are not PNG; check the extension: x");
    SetLanguage(Language::Japanese);
    EXPECT_EQ(ReadFailureText(ReadFailure::NotThisFormat, "PNG"), "中身がPNG形式ではありません。拡張子を確かめてください");
}

// std::bad_alloc's own text ("std::bad_alloc") is no reason a user can act on.
TEST(Messages, AFailureWithoutMemoryIsToldAsOutOfMemory)
{
    EXPECT_EQ(FailureReason(std::bad_alloc()), Text(Message::ReadOutOfMemory));
    EXPECT_EQ(FailureReason(std::runtime_error("own words")), "own words");
}

TEST(Messages, LanguageFollowsLanguageThenTheFirstLocaleVariableThatIsSet)
{
    struct Case {
        const char* language;
        const char* lcAll;
        const char* lcMessages;
        const char* lang;
        Language expected;
    };
    const Case cases[] = {
        {"", "", "", "", Language::English},
        {"", "", "", "ja_JP.UTF-8", Language::Japanese},
        {"", "", "", "ja", Language::Japanese},
        {"", "", "ja_JP.eucJP", "C", Language::Japanese},
        {"", "C.UTF-8", "", "ja_JP.UTF-8", Language::English},
        {"", "", "en_US.UTF-8", "ja_JP.UTF-8", Language::English},
        {"", "", "", "jam", Language::English},
        // LANGUAGE, a list by preference, comes first unless the locale is C or POSIX.
        {"ja", "", "", "en_US.UTF-8", Language::Japanese},
        {"fr:ja_JP:en", "", "", "en_US.UTF-8", Language::Japanese},
        {"en_GB:ja", "", "", "ja_JP.UTF-8", Language::English},
        {"fr", "", "", "ja_JP.UTF-8", Language::English},
        {"ja", "", "", "", Language::English},
        {"ja", "POSIX", "", "en_US.UTF-8", Language::English},
        {"ja", "", "C.UTF-8", "en_US.UTF-8", Language::English},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LanguageOfLocale(c.language, c.lcAll, c.lcMessages, c.lang), c.expected)
            << c.language << "|" << c.lcAll << "|" << c.lcMessages << "|" << c.lang;
}

} // namespace
} // namespace gustara
