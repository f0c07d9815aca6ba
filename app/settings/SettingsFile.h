#pragma once

#include <QString>

#include <optional>
#include <string>

namespace gustara {

inline constexpr char kSettingsFileName[] = "config.ini";

// The folder of the settings file, with a trailing separator: "Ferrowin/GustaraWorks/" under
// $XDG_CONFIG_HOME, or under ~/.config when that is unset, empty or relative; on Windows
// "Ferrowin\GustaraWorks\" in the user's roaming application data (%APPDATA%). Creates every
// missing folder of the path; a folder that cannot be created is left to the save to report.
// (SettingsFileLinux.cpp, SettingsFileWindows.cpp)
QString PrepareSettingsFolder();

// The text of the settings file (UTF-8 inside): empty when it does not exist, nullopt when
// it exists but cannot be read. On Linux its bytes unchanged; on Windows as Notepad may have
// saved it (NotepadText.h).
std::optional<std::string> ReadSettingsFileBytes(const QString& path);
// Replaces the file with `text` through a temporary file beside it, so that the file is
// either the old one or the new one, never a part. Returns false when that fails; the old
// file is then unchanged. On Linux the bytes of `text`; on Windows UTF-8 with a byte-order
// mark and "\r\n" line ends.
bool ReplaceSettingsFile(const QString& path, const std::string& text);

// The text of the settings file's bytes, and the other way round, on this system.
// (SettingsFileLinux.cpp, SettingsFileWindows.cpp)
std::string SettingsTextFromFile(const std::string& bytes);
std::string SettingsFileFromText(const std::string& text);

} // namespace gustara
