#pragma once

#include <QTranslator>

#include <memory>

namespace gustara {

// Installs Qt's own Japanese texts (the edit fields' context menus, the standard buttons of
// message boxes, the file dialog) into the running application and makes Japanese the default
// locale (the file dialog's dates and kinds of file), so that they match the window's language
// whatever the user's locale. Widgets made afterwards use them. The caller owns the returned translator, which stays in
// use until it is destroyed. Returns nullptr, leaving Qt's English texts, when the translation
// is not installed on the system (Debian's qt6-translations-l10n); never throws but bad_alloc.
std::unique_ptr<QTranslator> InstallQtJapaneseTexts();

} // namespace gustara
