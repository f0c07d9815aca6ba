#include "settings/SettingsFile.h"

#include "settings/SettingsValues.h"

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

ExtensionSettings ReadExtensionSettings(const IniFile& ini)
{
    ExtensionSettings settings;
    settings.keepGoing = ReadSettingsFlag(ini, kExtensionSection, "KEEP_GOING", settings.keepGoing);
    settings.moreFormats = ReadSettingsFlag(ini, kExtensionSection, "MORE_FORMATS", settings.moreFormats);
    const int32_t compareWidth = ReadSettingsInteger(ini, kExtensionSection, "COMPARE_WIDTH", 0);
    const int32_t compareHeight = ReadSettingsInteger(ini, kExtensionSection, "COMPARE_HEIGHT", 0);
    if (compareWidth > 0 && compareHeight > 0)
        settings.compareWindowSize = QSize(compareWidth, compareHeight);
    settings.showQuality = ReadSettingsFlag(ini, kExtensionSection, "SHOW_QUALITY", settings.showQuality);
    QualityChoices& quality = settings.quality;
    quality.useQuality = ReadSettingsFlag(ini, kExtensionSection, "USE_QUALITY", quality.useQuality);
    quality.byQuality = ReadSettingsFlag(ini, kExtensionSection, "BY_QUALITY", quality.byQuality);
    quality.qualityIndex = ReadSettingsInteger(ini, kExtensionSection, "QUALITY_INDEX", quality.qualityIndex);
    quality.fileSize = ReadSettingsText(ini, kExtensionSection, "FILE_SIZE", quality.fileSize);
    settings.folders = ReadSettingsFlag(ini, kExtensionSection, "FOLDERS", settings.folders);
    settings.keepDate = ReadSettingsFlag(ini, kExtensionSection, "KEEP_DATE", settings.keepDate);
    return settings;
}

void WriteExtensionSettings(IniFile& ini, const ExtensionSettings& settings)
{
    ini.Write(kExtensionSection, "KEEP_GOING", settings.keepGoing ? "1" : "0");
    ini.Write(kExtensionSection, "MORE_FORMATS", settings.moreFormats ? "1" : "0");
    if (const auto& size = settings.compareWindowSize) {
        ini.Write(kExtensionSection, "COMPARE_WIDTH", std::to_string(size->width()));
        ini.Write(kExtensionSection, "COMPARE_HEIGHT", std::to_string(size->height()));
    }
    ini.Write(kExtensionSection, "SHOW_QUALITY", settings.showQuality ? "1" : "0");
    const QualityChoices& quality = settings.quality;
    ini.Write(kExtensionSection, "USE_QUALITY", quality.useQuality ? "1" : "0");
    ini.Write(kExtensionSection, "BY_QUALITY", quality.byQuality ? "1" : "0");
    ini.Write(kExtensionSection, "QUALITY_INDEX", std::to_string(quality.qualityIndex));
    ini.Write(kExtensionSection, "FILE_SIZE", quality.fileSize);
    ini.Write(kExtensionSection, "FOLDERS", settings.folders ? "1" : "0");
    ini.Write(kExtensionSection, "KEEP_DATE", settings.keepDate ? "1" : "0");
}

} // namespace gustara
