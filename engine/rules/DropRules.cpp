#include "rules/DropRules.h"

#include "rules/PathParts.h"

#include <algorithm>

namespace gustara {

namespace {

// Entries in byte order with ASCII letters compared without case: the same order on every
// machine and in every locale, so the window and the command line list a refusal alike.
bool ComesBefore(const std::string& a, const std::string& b)
{
    const auto folded = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [&](char x, char y) { return folded(x) < folded(y); });
}

} // namespace

std::string ErrorListEntry(std::string_view reason, std::string_view path, PictureNaming naming)
{
    std::string entry(reason);
    entry += ',';
    entry += naming == PictureNaming::ByPath ? path : NamePart(path);
    return entry;
}

std::string BuildErrorMessage(std::vector<std::string>& errorList, std::size_t maxListed)
{
    std::stable_sort(errorList.begin(), errorList.end(), ComesBefore);
    std::string message;
    std::string_view previousReason;
    const std::size_t listed = std::min(errorList.size(), maxListed);
    for (std::size_t i = 0; i < listed; ++i) {
        const std::string_view entry = errorList[i];
        const auto comma = entry.find(',');
        const std::string_view reason = entry.substr(0, comma);
        const std::string_view fileName = comma == std::string_view::npos ? std::string_view{} : entry.substr(comma + 1);
        if (reason != previousReason) {
            if (!message.empty())
                message += "\r\n";
            message += Format(Message::RefusalHeading, {reason});
            message += "\r\n";
        }
        previousReason = reason;
        message += Format(Message::RefusalName, {fileName});
        message += "\r\n";
    }
    if (errorList.size() > maxListed)
        message += "\r\n" + Format(Message::RefusalMore, {std::to_string(errorList.size() - maxListed)});
    return message;
}

std::string WithClosingLine(std::string message, std::string_view line)
{
    if (!message.ends_with("\r\n"))
        message += "\r\n";  // after the count of entries beyond those listed
    message.append("\r\n").append(line).append("\r\n");
    return message;
}

std::string SingleRefusalMessage(std::string_view path, std::string_view reason)
{
    std::vector<std::string> errorList{ErrorListEntry(reason, path)};
    return BuildErrorMessage(errorList);
}

} // namespace gustara
