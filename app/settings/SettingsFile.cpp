#include "settings/SettingsFile.h"

#include "rules/WholeNumber.h"

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

std::optional<int32_t> ParseSettingsInteger(std::string_view text)
{
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        return ParseWholeNumber32("$" + std::string(text.substr(2)));
    return ParseWholeNumber32(text);
}

bool ReadSettingsFlag(const IniFile& ini, std::string_view section, std::string_view key, bool defaultValue)
{
    return ReadSettingsInteger(ini, section, key, defaultValue ? 1 : 0) != 0;
}

int32_t ReadSettingsInteger(const IniFile& ini, std::string_view section, std::string_view key, int32_t defaultValue)
{
    const auto text = ini.Read(section, key);
    if (!text)
        return defaultValue;
    return ParseSettingsInteger(*text).value_or(defaultValue);
}

std::string ReadSettingsText(const IniFile& ini, std::string_view section, std::string_view key, std::string_view defaultValue)
{
    const auto text = ini.Read(section, key);
    return std::string(CutUtf8(text ? std::string_view(*text) : defaultValue, kMaxSettingsTextBytes));
}

ExtensionSettings ReadExtensionSettings(const IniFile& ini)
{
    ExtensionSettings settings;
    settings.keepGoing = ReadSettingsFlag(ini, kExtensionSection, "KEEP_GOING", settings.keepGoing);
    const int32_t compareWidth = ReadSettingsInteger(ini, kExtensionSection, "COMPARE_WIDTH", 0);
    const int32_t compareHeight = ReadSettingsInteger(ini, kExtensionSection, "COMPARE_HEIGHT", 0);
    if (compareWidth > 0 && compareHeight > 0)
        settings.compareWindowSize = QSize(compareWidth, compareHeight);
    return settings;
}

void WriteExtensionSettings(IniFile& ini, const ExtensionSettings& settings)
{
    ini.Write(kExtensionSection, "KEEP_GOING", settings.keepGoing ? "1" : "0");
    if (const auto& size = settings.compareWindowSize) {
        ini.Write(kExtensionSection, "COMPARE_WIDTH", std::to_string(size->width()));
        ini.Write(kExtensionSection, "COMPARE_HEIGHT", std::to_string(size->height()));
    }
}

std::string_view CutUtf8(std::string_view text, std::size_t maxBytes)
{
    if (text.size() <= maxBytes)
        return text;
    std::size_t end = maxBytes;
    // Step back over continuation bytes (10xxxxxx) to the start of the character cut in two.
    // A character has at most three of them; a longer run is not UTF-8 and is cut as bytes.
    while (end > 0 && maxBytes - end < 3 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return text.substr(0, end);
}

} // namespace gustara
