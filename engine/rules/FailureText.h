#pragma once

#include <string>
#include <string_view>

namespace gustara {

// How a picture that could not be converted is reported with the reason: "[" file name
// "]の処理に失敗しました: " reason. Throws nothing but bad_alloc.
std::string FailedPictureText(std::string_view path, std::string_view reason);

// The message that a drop of this one path alone shows when the drop rules refuse it for
// `reason` (a "■" header and the file name). Throws nothing but bad_alloc.
std::string RefusedPictureText(std::string_view path, std::string_view reason);

} // namespace gustara
