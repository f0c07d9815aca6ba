#include "settings/SettingsFile.h"

#include <QFile>
#include <QSaveFile>

namespace gustara {

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
    return SettingsTextFromFile(bytes.toStdString());
}

bool ReplaceSettingsFile(const QString& path, const std::string& text)
{
    const std::string bytes = SettingsFileFromText(text);
    // QSaveFile refuses a read-only file or a folder of that name, as a direct write would.
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size())) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace gustara
