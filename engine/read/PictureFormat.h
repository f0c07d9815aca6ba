#pragma once

#include <array>
#include <string_view>

namespace gustara {

enum class PictureFormat { None, Bmp, Jpeg, Png, Gif };

struct FormatExtension {
    std::string_view extension;  // upper case, dot included
    PictureFormat format;
};

// The supported extensions and the format each is read as; the file dialog of the window
// offers the same list.
inline constexpr std::array<FormatExtension, 5> kSupportedExtensions = {{
    {".BMP", PictureFormat::Bmp},
    {".JPG", PictureFormat::Jpeg},
    {".JPEG", PictureFormat::Jpeg},
    {".PNG", PictureFormat::Png},
    {".GIF", PictureFormat::Gif},
}};

// The format a path is read as, by the upper-cased extension of its last component only,
// one of kSupportedExtensions. Contents are never sniffed; anything else is None.
PictureFormat PictureFormatOf(std::string_view path);

} // namespace gustara
