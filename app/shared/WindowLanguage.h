#pragma once

#include "rules/Messages.h"

#include <optional>

namespace gustara {

// The language the windows speak: `chosen` in the Settings menu, else (automatic) the user's
// language by the same rule as the command line (platform/UserLanguage.h). Does not fail.
Language WindowLanguage(std::optional<Language> chosen);

// Makes `language` the windows' language at once, without a restart: the message table's texts
// (SetLanguage), Qt's own texts (the edit fields' context menus, the standard buttons of message
// boxes, the file dialog: Qt's Japanese translation, or Qt's English without one), the default
// locale (the file dialog's dates). Then every open window, hidden
// ones too, gets QEvent::LanguageChange before this returns, which Qt passes on to each child;
// each window retranslates itself on it. The translators belong to the application. Needs the
// QApplication; when Qt's Japanese translation is not installed (Debian's
// qt6-translations-l10n) warns once and leaves Qt's texts in English. Throws only bad_alloc.
void ApplyWindowLanguage(Language language);

} // namespace gustara
