#include "platform/UserLanguage.h"

#include <windows.h>

namespace gustara {

// The language the user chose for Windows' own menus and dialogs; the console takes UTF-8 once
// the command line has set it so, and the window draws any character.
Language UserLanguage()
{
    return PRIMARYLANGID(::GetUserDefaultUILanguage()) == LANG_JAPANESE ? Language::Japanese : Language::English;
}

bool UserCharsetIsUtf8()
{
    return true;
}

std::string InUserCharset(std::string_view text)
{
    return std::string(text);
}

} // namespace gustara
