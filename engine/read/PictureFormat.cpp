#include "read/PictureFormat.h"

#include "rules/PathParts.h"

namespace gustara {

PictureFormat PictureFormatOf(std::string_view path)
{
    const std::string extension = UpperAscii(ExtensionOf(path));
    for (const FormatExtension& supported : kSupportedExtensions) {
        if (extension == supported.extension)
            return supported.format;
    }
    return PictureFormat::None;
}

} // namespace gustara
