#pragma once

#include <string>
#include <string_view>

namespace gustara {

// A path is bytes: a name from a legacy encoding (Shift-JIS from a Windows archive) is a
// valid path but not UTF-8. Messages show such bytes through this function, never the
// conversion itself.

// The text with every byte that does not belong to a well-formed UTF-8 character (stray
// continuation bytes, truncated or overlong sequences, surrogates, values past U+10FFFF)
// replaced by U+FFFD. Valid UTF-8 comes back unchanged. Does not fail.
std::string ForDisplay(std::string_view bytes);

// The status of a picture being converted, as the window and the command line show it:
// "[" file name "]を処理しています", the name made displayable by ForDisplay.
std::string PictureProcessingMessage(std::string_view path);

// The report of a picture that failed, as the window and the command line show it:
// "[" file name "]の処理に失敗しました: " reason, made displayable by ForDisplay.
std::string PictureFailedMessage(std::string_view path, std::string_view reason);

} // namespace gustara
