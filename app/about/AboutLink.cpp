#include "about/AboutLink.h"

#include "shared/AppText.h"

#include <QCoreApplication>
#include <QDir>

namespace gustara {

AboutLink ChooseAboutLink(const QString& homepage, const QString& programFolder)
{
    if (!homepage.isEmpty())
        return {homepage, QUrl(homepage)};
    const QString readme = QDir::cleanPath(programFolder + QLatin1Char('/')
                                           + QString::fromUtf8(GUSTARA_README_FROM_PROGRAM));
    return {UiText(Message::AboutReadmeLink), QUrl::fromLocalFile(readme)};
}

AboutLink BuiltAboutLink()
{
    return ChooseAboutLink(QString::fromUtf8(GUSTARA_HOMEPAGE), QCoreApplication::applicationDirPath());
}

} // namespace gustara
