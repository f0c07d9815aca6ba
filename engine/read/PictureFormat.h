#pragma once

#include <string_view>

namespace gustara {

enum class PictureFormat { None, Bmp, Jpeg, Png, Gif };

// The format a path is read as, by the upper-cased extension of its last component only:
// ".BMP", ".JPG", ".JPEG", ".PNG", ".GIF". Contents are never sniffed; anything else is None.
PictureFormat PictureFormatOf(std::string_view path);

// True when the path's extension is one of the five supported ones.
bool IsSupportedExt(std::string_view path);

} // namespace gustara
