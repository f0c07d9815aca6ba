#pragma once

// The user's language and the character set the user's terminal takes, as the system's settings
// give them: one file per system behind this header. The command line and the window's answer
// to --help speak this language and write in this character set.

#include "rules/Messages.h"

#include <string>
#include <string_view>

namespace gustara {

// The language of the user's messages: LanguageOfLocale of the environment's LANGUAGE, LC_ALL,
// LC_MESSAGES and LANG, but English when the character set of the user's locale cannot hold
// every Japanese text of the table. Does not fail.
Language UserLanguage();

// Whether InUserCharset passes every text as it is: the user's locale takes UTF-8, is the C
// locale (whose bytes go out as they are) or names no character set. Does not fail.
bool UserCharsetIsUtf8();

// `text`, UTF-8, in the character set of the user's locale (the first non-empty of LC_ALL,
// LC_CTYPE and LANG), for standard error and the help: a locale that is not installed counts
// by the set its name gives ("ja_JP.EUC-JP"). A character the set lacks, and a byte that is
// not UTF-8, becomes "?". Throws only bad_alloc.
std::string InUserCharset(std::string_view text);

} // namespace gustara
