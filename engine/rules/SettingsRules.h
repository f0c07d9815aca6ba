#pragma once

#include "rules/Messages.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace gustara {

// The ranges that the window's check and the command line share: each side of a typed box and a
// target file size in KB are whole numbers of at least 10; a JPEG quality runs from 0 to 100.
inline constexpr int32_t kSmallestBoxSide = 10;
inline constexpr int64_t kSmallestTargetFileSize = 10;
inline constexpr int32_t kLowestQuality = 0;
inline constexpr int32_t kHighestQuality = 100;

// The values the check before a batch looks at, as the window or the command line holds them.
struct SettingsToCheck {
    bool typedBoxInUse = false;  // resizing on and the box typed (not a preset)
    std::string widthText;
    std::string heightText;
    bool targetSizeInUse = false;  // quality settings on and chosen by file size
    std::string fileSizeText;
    bool decidesName = true;  // affix mode; otherwise the sub-folder mode
    std::string fileNameAffix;
    std::string dirName;
};

// The message of the first failed test, in the window's order, or nullopt when all pass:
// the three checks below, each where its field is in use.
std::optional<std::string_view> FirstSettingsProblem(const SettingsToCheck& settings);

// Each check takes one setting as typed and returns the message of its first failed test, or
// nullopt when it passes. Never fails otherwise.
// A typed box: the width, then the height, each a whole number of at least 10.
std::optional<std::string_view> TypedBoxProblem(std::string_view widthText, std::string_view heightText);
// A target file size in KB: a whole number of at least 10.
std::optional<std::string_view> TargetSizeProblem(std::string_view fileSizeText);
// In affix mode (`decidesName`) the affix, otherwise the sub-folder's name: not empty and
// without any of \ / : * ? " < > |; the sub-folder is neither "." nor "..".
std::optional<std::string_view> SaveNameProblem(bool decidesName, std::string_view fileNameAffix,
                                                std::string_view dirName);

// True when the UTF-8 text holds none of \ / : * ? " < > | (tested per character).
bool IsValidName(std::string_view text);

} // namespace gustara
