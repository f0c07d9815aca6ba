#include "read/PictureFormat.h"

#include "rules/PathParts.h"

namespace gustara {

namespace {

template <std::size_t Count>
PictureFormat FormatIn(const std::array<FormatExtension, Count>& extensions, std::string_view extension)
{
    for (const FormatExtension& known : extensions) {
        if (extension == known.extension)
            return known.format;
    }
    return PictureFormat::None;
}

} // namespace

PictureFormat PictureFormatOf(std::string_view path)
{
    const std::string extension = UpperAscii(ExtensionOf(path));
    const PictureFormat format = FormatIn(kSupportedExtensions, extension);
    return format != PictureFormat::None ? format : FormatIn(kMoreExtensions, extension);
}

bool WantsMoreFormats(std::string_view path, MoreFormats more)
{
    return more == MoreFormats::Off && FormatIn(kMoreExtensions, UpperAscii(ExtensionOf(path))) != PictureFormat::None;
}

bool IsSupportedExt(std::string_view path, MoreFormats more)
{
    const std::string extension = UpperAscii(ExtensionOf(path));
    return FormatIn(kSupportedExtensions, extension) != PictureFormat::None
        || (more == MoreFormats::On && FormatIn(kMoreExtensions, extension) != PictureFormat::None);
}

} // namespace gustara
