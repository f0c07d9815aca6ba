#include "rules/SettingsRules.h"

#include "rules/WholeNumber.h"

namespace gustara {

namespace {

// Takes the result of either parser: the parser decides the range a value must fit.
bool IsAtLeastTen(const std::optional<int64_t>& value)
{
    return value && *value >= 10;
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
    if (settings.typedBoxInUse) {
        if (!IsAtLeastTen(ParseWholeNumber32(settings.widthText)))
            return kMessageWidth;
        if (!IsAtLeastTen(ParseWholeNumber32(settings.heightText)))
            return kMessageHeight;
    }
    if (settings.targetSizeInUse && !IsAtLeastTen(ParseWholeNumber64(settings.fileSizeText)))
        return kMessageFileSize;
    if (settings.decidesName) {
        if (settings.fileNameAffix.empty())
            return kMessageAffixEmpty;
        if (!IsValidName(settings.fileNameAffix))
            return kMessageAffixInvalid;
    } else {
        if (settings.dirName.empty())
            return kMessageDirEmpty;
        if (!IsValidName(settings.dirName))
            return kMessageDirInvalid;
    }
    return std::nullopt;
}

} // namespace gustara
