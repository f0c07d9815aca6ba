#pragma once

#include <array>
#include <string_view>

namespace gustara {

enum class PictureFormat { None, Bmp, Jpeg, Png, Gif, Heif, Webp };

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

// Whether pictures as phones and the web save them are taken in besides those (MORE_FORMATS in
// the window's settings, --more-formats on the command line): off, the intake is as it always was.
enum class MoreFormats { Off, On };

// Their extensions: HEIF files as phones (.heic), other writers (.heif) and cameras (.hif) name
// them, AVIF, and WebP.
inline constexpr std::array<FormatExtension, 5> kMoreExtensions = {{
    {".HEIC", PictureFormat::Heif},
    {".HEIF", PictureFormat::Heif},
    {".HIF", PictureFormat::Heif},
    {".AVIF", PictureFormat::Heif},
    {".WEBP", PictureFormat::Webp},
}};

// The format a path is read as, by the upper-cased extension of its last component only, one
// of kSupportedExtensions or kMoreExtensions. Contents are never sniffed; anything else is None.
PictureFormat PictureFormatOf(std::string_view path);

// True when a refused `path` would have been taken in with MoreFormats On (`more` is Off and
// its extension is one of kMoreExtensions): the refusal then closes with where to turn them on.
bool WantsMoreFormats(std::string_view path, MoreFormats more);

// True when the path's extension is one of the five supported ones, or with `more` On one of
// kMoreExtensions.
bool IsSupportedExt(std::string_view path, MoreFormats more = MoreFormats::Off);

} // namespace gustara
