#include "shared/WindowLanguage.h"

#include "platform/UserLanguage.h"

#include <QApplication>
#include <QEvent>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QTranslator>
#include <QWidget>

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
        for (const auto& [english, message] :
             {std::pair("Folder", Message::QtFolder), std::pair("Drive", Message::QtDrive),
              std::pair("Unknown", Message::QtUnknownKind)}) {
            if (std::strcmp(source, english) == 0)
                return QString::fromUtf8(Text(message, Language::Japanese));
        }
        return {};
    }
};

// Qt's Japanese translation with the file kinds as its child, loaded on first use and owned by
// the application; null when the translation is not installed.
QTranslator* JapaneseTranslator()
{
    static QPointer<QTranslator> translator;
    static bool tried = false;
    if (!tried) {
        tried = true;
        auto* loaded = new QTranslator(QCoreApplication::instance());
        if (loaded->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            new FileKindTexts(loaded);
            translator = loaded;
        } else {
            delete loaded;
            qWarning("Qt's Japanese texts are not installed (qt6-translations-l10n); Qt's own texts stay in English");
        }
    }
    return translator;
}

} // namespace

Language WindowLanguage(std::optional<Language> chosen)
{
    return chosen ? *chosen : UserLanguage();
}

void ApplyWindowLanguage(Language language)
{
    SetLanguage(language);
    const bool japanese = language == Language::Japanese;
    if (QTranslator* translator = JapaneseTranslator()) {
        auto* fileKinds = translator->findChild<QTranslator*>();
        for (QTranslator* each : {translator, fileKinds}) {
            // Out first, so that a language chosen twice installs each translator once.
            QCoreApplication::removeTranslator(each);
            if (japanese)
                QCoreApplication::installTranslator(each);
        }
    }
    // Dates and the kinds of files in the file dialog follow the default locale.
    QLocale::setDefault(japanese ? QLocale(QLocale::Japanese, QLocale::Japan) : QLocale(QLocale::English));
    // Sent, not posted as Qt's own are: the windows speak the language when this returns.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        QEvent changed(QEvent::LanguageChange);
        QCoreApplication::sendEvent(window, &changed);
    }
}

} // namespace gustara
