#include "settings/SettingsFile.h"

#include <QDir>

namespace gustara {

QString PrepareSettingsFolder()
{
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    if (!base.endsWith(QLatin1Char('/')))
        base += QLatin1Char('/');
    const QString folder = base + QStringLiteral("Ferrowin/GustaraWorks/");
    QDir().mkpath(folder);
    return folder;
}

std::string SettingsTextFromFile(const std::string& bytes)
{
    return bytes;
}

std::string SettingsFileFromText(const std::string& text)
{
    return text;
}

} // namespace gustara
