#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace gustara {

// A path is bytes: a name from a legacy encoding (Shift-JIS from a Windows archive) is a
// valid path but not UTF-8. Messages show such bytes through this function, never the
// conversion itself.

// The text with every byte that does not belong to a well-formed UTF-8 character (stray
// continuation bytes, truncated or overlong sequences, surrogates, values past U+10FFFF)
// replaced by U+FFFD, and every control character (U+0000 to U+001F, U+007F to U+009F) too,
// so that a name cannot move the cursor, start an escape sequence or break a line. Valid
// UTF-8 without control characters comes back unchanged. Does not fail.
std::string ForDisplay(std::string_view bytes);

// The columns that `text` (UTF-8, as ForDisplay makes it) takes on a terminal: two for a wide
// character (kana, CJK ideographs, Hangul, full-width forms, wide emoji) and for the "…" and the
// replacement character, which a Japanese terminal draws wide; one for any other. Does not fail.
std::size_t DisplayColumns(std::string_view text);

// `text` (as ForDisplay makes it) within `columns` by DisplayColumns: itself when it fits, else
// its start and its end around "…", whole characters only; "" when not even "…" fits. Throws
// only bad_alloc.
std::string ElideMiddle(std::string_view text, std::size_t columns);

// How a picture is named in messages: by its file name (the window), or by its path as given
// (the command line, where two pictures of one name may come from two folders).
enum class PictureNaming { ByFileName, ByPath };

// The status of a picture being converted, as the window and the command line show it:
// "[" name "]を処理しています", the name made displayable by ForDisplay.
std::string PictureProcessingMessage(std::string_view path, PictureNaming naming = PictureNaming::ByFileName);

// The report of a picture that failed, as the window and the command line show it:
// "[" name "]の処理に失敗しました: " reason, made displayable by ForDisplay.
std::string PictureFailedMessage(std::string_view path, std::string_view reason,
                                 PictureNaming naming = PictureNaming::ByFileName);

} // namespace gustara
