#include "platform/UserLanguage.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <clocale>
#include <cstdlib>
#include <iconv.h>
#include <langinfo.h>
#include <locale.h>
#include <memory>
#include <optional>

namespace gustara {

namespace {

std::string_view Variable(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

// The character set of the user's locale as iconv names it, or "" when text goes out as it is.
std::string ReadCharset()
{
    std::string name;
    if (const locale_t locale = ::newlocale(LC_CTYPE_MASK, "", nullptr)) {
        name = ::nl_langinfo_l(CODESET, locale);
        ::freelocale(locale);
    } else {
        // Not installed: the set its name gives after the dot, before any "@modifier".
        std::string_view ctype;
        for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
            ctype = Variable(variable);
            if (!ctype.empty())
                break;
        }
        const std::size_t dot = ctype.find('.');
        if (dot == std::string_view::npos)
            return "";
        name = ctype.substr(dot + 1, ctype.find('@', dot) - dot - 1);
    }
    std::string folded;
    for (const char c : name)
        if (std::isalnum(static_cast<unsigned char>(c)))
            folded += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    // The C locale's ASCII says nothing of the terminal, so its bytes pass as they always did.
    if (folded == "UTF8" || folded == "ANSIX341968" || folded == "ASCII" || folded == "USASCII")
        return "";
    return name;
}

const std::string& Charset()
{
    static const std::string charset = ReadCharset();
    return charset;
}

struct IconvCloser {
    void operator()(void* converter) const { ::iconv_close(static_cast<iconv_t>(converter)); }
};

// `text` converted from UTF-8 to `charset`, each character the set lacks replaced by "?", or,
// when `strict`, nothing at the first such character. `text` as it is when iconv does not know
// the set.
std::optional<std::string> Converted(std::string_view text, const std::string& charset, bool strict)
{
    const iconv_t opened = ::iconv_open(charset.c_str(), "UTF-8");
    if (opened == reinterpret_cast<iconv_t>(-1))
        return std::string(text);
    const std::unique_ptr<void, IconvCloser> converter(opened);
    std::string converted;
    char buffer[512];
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    while (true) {
        char* out = buffer;
        std::size_t outLeft = sizeof buffer;
        // Once the input is used up, a call without input ends a shifted state (ISO-2022-JP).
        const bool ending = inLeft == 0;
        const std::size_t result = ::iconv(opened, ending ? nullptr : &in, ending ? nullptr : &inLeft, &out, &outLeft);
        converted.append(buffer, out);
        if (result != static_cast<std::size_t>(-1)) {
            if (ending)
                break;
            continue;
        }
        if (errno == E2BIG)
            continue;
        if (ending)
            break;
        if (strict)
            return std::nullopt;
        converted += '?';
        // Past the whole character: its lead byte and its continuation bytes.
        do {
            ++in;
            --inLeft;
        } while (inLeft > 0 && (static_cast<unsigned char>(*in) & 0xC0) == 0x80);
    }
    return converted;
}

bool HoldsEveryJapaneseText()
{
    static constexpr Message kEveryMessage[] = {
#define GUSTARA_MESSAGE(code, japanese, english) Message::code,
#include "rules/MessageList.h"
#undef GUSTARA_MESSAGE
    };
    std::string all;
    for (const Message code : kEveryMessage)
        all.append(Text(code, Language::Japanese));
    return Converted(all, Charset(), true).has_value();
}

} // namespace

Language UserLanguage()
{
    const Language language =
        LanguageOfLocale(Variable("LANGUAGE"), Variable("LC_ALL"), Variable("LC_MESSAGES"), Variable("LANG"));
    if (language == Language::Japanese && !UserCharsetIsUtf8() && !HoldsEveryJapaneseText())
        return Language::English;
    return language;
}

bool UserCharsetIsUtf8()
{
    return Charset().empty();
}

std::string InUserCharset(std::string_view text)
{
    if (UserCharsetIsUtf8())
        return std::string(text);
    return *Converted(text, Charset(), false);
}

} // namespace gustara
