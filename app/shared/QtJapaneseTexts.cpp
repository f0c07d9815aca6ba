#include "shared/QtJapaneseTexts.h"

#include "rules/Messages.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

#include <cstring>

namespace gustara {

namespace {

// Qt's Japanese texts predate the file icon provider of Qt 6, which names the kind of an entry
// in the file dialog ("Folder"): those few come from the message table.
class FileKindTexts : public QTranslator {
public:
    using QTranslator::QTranslator;

    bool isEmpty() const override { return false; }

    QString translate(const char* context, const char* source, const char*, int) const override
    {
        if (std::strcmp(context, "QAbstractFileIconProvider") != 0)
            return {};
        for (const auto& [english, message] : {std::pair("Folder", Message::QtFolder), std::pair("Drive", Message::QtDrive),
                                               std::pair("Unknown", Message::QtUnknownKind)}) {
            if (std::strcmp(source, english) == 0)
                return QString::fromUtf8(Text(message, Language::Japanese));
        }
        return {};
    }
};

} // namespace

std::unique_ptr<QTranslator> InstallQtJapaneseTexts()
{
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))
        || !QCoreApplication::installTranslator(translator.get()))
        return nullptr;
    // A child, so that it goes with the translator that the caller owns.
    QCoreApplication::installTranslator(new FileKindTexts(translator.get()));
    // Dates and the kinds of files in the file dialog follow the default locale.
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    return translator;
}

} // namespace gustara
