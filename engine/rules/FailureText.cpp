#include "rules/FailureText.h"

#include "rules/DropRules.h"
#include "rules/PathParts.h"

#include <vector>

namespace gustara {

std::string FailedPictureText(std::string_view path, std::string_view reason)
{
    std::string text = "[";
    text += NamePart(path);
    text += "]の処理に失敗しました: ";
    text += reason;
    return text;
}

std::string RefusedPictureText(std::string_view path, std::string_view reason)
{
    std::vector<std::string> errorList{ErrorListEntry(reason, path)};
    return BuildErrorMessage(errorList, [](const std::string&, const std::string&) { return 0; });
}

} // namespace gustara
