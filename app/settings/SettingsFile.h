#pragma once

#include "rules/Defaults.h"
#include "settings/IniFile.h"
#include "settings/SettingsValues.h"

#include <QSize>
#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

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

// The settings beyond the fifteen keys of the window's controls, in a section of their own that
// a file written from scratch holds after the other three, so those keep their order. To add
// a setting: a field here, one line in each of the two functions below.
inline constexpr char kExtensionSection[] = "GUSTARA_EXT";
// The quality group's choices while the group is shown (USE_QUALITY, BY_QUALITY, QUALITY_INDEX,
// FILE_SIZE); as constructed, the fixed values that the hidden group takes.
struct QualityChoices {
    bool useQuality = true;
    bool byQuality = true;  // quality by level; otherwise by file size
    int32_t qualityIndex = kFixedQualityLevel;
    std::string fileSize = std::to_string(kFixedTargetFileSize);
};
struct ExtensionSettings {
    bool keepGoing = false;  // KEEP_GOING: a batch goes on past a failed picture
    bool moreFormats = false;  // MORE_FORMATS: HEIC, HEIF, AVIF and WebP pictures are taken in too
    // COMPARE_WIDTH, COMPARE_HEIGHT: the comparison window's last size; none (and not
    // written) until the window has been used.
    std::optional<QSize> compareWindowSize;
    bool showQuality = false;  // SHOW_QUALITY: the quality group is shown and in use
    QualityChoices quality;    // kept also while the group is hidden
    bool folders = false;  // FOLDERS: a dropped folder's tree is taken in (PicturesInTree)
    bool keepDate = false;  // KEEP_DATE: outputs keep the capture date (TthPicConvert::KeepDate)
};
// Missing keys and values that do not parse give the defaults above. Does not fail.
ExtensionSettings ReadExtensionSettings(const IniFile& ini);
// Writes every key of the section, in the order of the fields. Does not fail.
void WriteExtensionSettings(IniFile& ini, const ExtensionSettings& settings);

} // namespace gustara
