#include "read/PictureFormat.h"

#include "rules/PathParts.h"

namespace gustara {

PictureFormat PictureFormatOf(std::string_view path)
{
    const std::string extension = UpperAscii(ExtensionOf(path));
    if (extension == ".BMP")
        return PictureFormat::Bmp;
    if (extension == ".JPG" || extension == ".JPEG")
        return PictureFormat::Jpeg;
    if (extension == ".PNG")
        return PictureFormat::Png;
    if (extension == ".GIF")
        return PictureFormat::Gif;
    return PictureFormat::None;
}

bool IsSupportedExt(std::string_view path)
{
    return PictureFormatOf(path) != PictureFormat::None;
}

} // namespace gustara
