#include "shared/QtJapaneseTexts.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace gustara {

std::unique_ptr<QTranslator> InstallQtJapaneseTexts()
{
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))
        || !QCoreApplication::installTranslator(translator.get()))
        return nullptr;
    return translator;
}

} // namespace gustara
