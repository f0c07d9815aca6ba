#include "settings/SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

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

std::optional<std::string> ReadSettingsFileBytes(const QString& path)
{
    QFile file(path);
    if (!file.exists())
        return std::string();
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes.toStdString();
}

bool ReplaceSettingsFile(const QString& path, const std::string& text)
{
    // QSaveFile refuses a read-only file or a folder of that name, as a direct write would.
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size())) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace gustara
