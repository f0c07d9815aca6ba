#pragma once

#include "rules/DisplayText.h"
#include "rules/Messages.h"

#include <string>
#include <string_view>
#include <vector>

namespace gustara {

// An ErrorList entry: the reason, an ASCII comma and the path's file name (the window), or the
// path as given (the command line, ByPath).
std::string ErrorListEntry(std::string_view reason, std::string_view path,
                           PictureNaming naming = PictureNaming::ByFileName);

// The message that refuses a drop (or a command line) for the entries of errorList: sorts them
// in place by whole entries, ignoring the case of ASCII letters and otherwise in byte order
// (so entries of one reason stand together, ordered by file name), then per reason a "■"
// header, its file names indented by two ideographic spaces, an empty line between groups, at
// most `maxListed` entries (the window's box: 25) and then "他N件のエラー". Lines end in CR LF.
// The window and the command line both build their refusal here, so their lists cannot
// differ. Throws only bad_alloc.
std::string BuildErrorMessage(std::vector<std::string>& errorList, std::size_t maxListed = 25);

// `message` (one that BuildErrorMessage made) closed by an empty line and `line`, which ends in
// CR LF as every line there does; the message's own lines stay as they are. Throws only bad_alloc.
std::string WithClosingLine(std::string message, std::string_view line);

// The message that a drop of this one path alone shows when the path is refused for
// `reason`: BuildErrorMessage of its one entry. Throws nothing but bad_alloc.
std::string SingleRefusalMessage(std::string_view path, std::string_view reason);

} // namespace gustara
