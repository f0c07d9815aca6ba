#pragma once

#include "rules/Messages.h"

#include <QString>

// The windows' texts come from the message table, in the window's current language.
namespace gustara {

// The text of `code` in the current language (SetLanguage) as a QString. Does not fail but
// for bad_alloc.
inline QString UiText(Message code)
{
    const std::string_view text = Text(code);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace gustara
