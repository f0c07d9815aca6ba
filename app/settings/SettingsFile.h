#pragma once

#include <QString>

#include <optional>
#include <string>

namespace gustara {

inline constexpr char kSettingsFileName[] = "config.ini";

// The folder of the settings file, with a trailing "/": "Ferrowin/GustaraWorks/" under
// $XDG_CONFIG_HOME, or under ~/.config when that is unset, empty or relative. Creates every
// missing folder of the path; a folder that cannot be created is left to the save to report.
QString PrepareSettingsFolder();

// The bytes of the settings file: empty when it does not exist, nullopt when it exists but
// cannot be read.
std::optional<std::string> ReadSettingsFileBytes(const QString& path);
// Replaces the file with `text` through a temporary file beside it, so that the file is
// either the old one or the new one, never a part. Returns false when that fails; the old
// file is then unchanged.
bool ReplaceSettingsFile(const QString& path, const std::string& text);

} // namespace gustara
