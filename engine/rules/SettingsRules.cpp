#include "rules/SettingsRules.h"

#include "rules/WholeNumber.h"

namespace gustara {

namespace {

// Takes the result of either parser: the parser decides the range a value must fit.
bool IsAtLeast(const std::optional<int64_t>& value, int64_t smallest)
{
    return value && *value >= smallest;
}

} // namespace

bool IsValidName(std::string_view text)
{
    // None of the nine characters is a UTF-8 lead or trail byte, so a byte search tests
    // whole characters.
    return text.find_first_of("\\/:*?\"<>|") == std::string_view::npos;
}

std::optional<std::string_view> FirstSettingsProblem(const SettingsToCheck& settings)
{
    if (settings.typedBoxInUse)
        if (const auto problem = TypedBoxProblem(settings.widthText, settings.heightText))
            return problem;
    if (settings.targetSizeInUse)
        if (const auto problem = TargetSizeProblem(settings.fileSizeText))
            return problem;
    return SaveNameProblem(settings.decidesName, settings.fileNameAffix, settings.dirName);
}

std::optional<std::string_view> TypedBoxProblem(std::string_view widthText, std::string_view heightText)
{
    if (!IsAtLeast(ParseWholeNumber32(widthText), kSmallestBoxSide))
        return Text(Message::SettingWidth);
    if (!IsAtLeast(ParseWholeNumber32(heightText), kSmallestBoxSide))
        return Text(Message::SettingHeight);
    return std::nullopt;
}

std::optional<std::string_view> TargetSizeProblem(std::string_view fileSizeText)
{
    if (!IsAtLeast(ParseWholeNumber64(fileSizeText), kSmallestTargetFileSize))
        return Text(Message::SettingFileSize);
    return std::nullopt;
}

std::optional<std::string_view> SaveNameProblem(bool decidesName, std::string_view fileNameAffix,
                                                std::string_view dirName)
{
    if (decidesName) {
        if (fileNameAffix.empty())
            return Text(Message::SettingAffixEmpty);
        if (!IsValidName(fileNameAffix))
            return Text(Message::SettingAffixInvalid);
    } else {
        if (dirName.empty())
            return Text(Message::SettingDirEmpty);
        if (!IsValidName(dirName))
            return Text(Message::SettingDirInvalid);
        // "." and ".." name the source's folder and its parent, not a sub-folder.
        if (dirName == "." || dirName == "..")
            return Text(Message::SettingDirDots);
    }
    return std::nullopt;
}

} // namespace gustara
