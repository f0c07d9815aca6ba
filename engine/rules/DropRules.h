#pragma once

#include "rules/Messages.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace gustara {

// An ErrorList entry: the reason, an ASCII comma and the path's file name.
std::string ErrorListEntry(std::string_view reason, std::string_view path);

// Three-way comparison of two entries: negative, zero or positive.
using TextCompare = std::function<int(const std::string&, const std::string&)>;

// Sorts errorList in place with `compare` and returns the message: per reason a "■" header,
// its file names indented by two ideographic spaces, an empty line between groups, at most
// 25 entries and then "他N件のエラー". Lines end in CR LF.
std::string BuildErrorMessage(std::vector<std::string>& errorList, const TextCompare& compare);

// The message that a drop of this one path alone shows when the path is refused for
// `reason`: BuildErrorMessage of its one entry. Throws nothing but bad_alloc.
std::string SingleRefusalMessage(std::string_view path, std::string_view reason);

} // namespace gustara
